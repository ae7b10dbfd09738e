#pragma once

#include "runtime/include/cef_base.h"

typedef cef_dom_node_type_t CefDOMNodeType;

// A node of a page's document, valid on the renderer's main thread during
// the callback that hands it out.
class CefDOMNode : public virtual CefBaseRefCounted {
 public:
  virtual CefDOMNodeType GetType() = 0;
  virtual bool IsText() = 0;
  virtual bool IsElement() = 0;
  // True for text inputs, text areas and content-editable elements.
  virtual bool IsEditable() = 0;
  virtual bool IsFormControlElement() = 0;
  virtual CefString GetName() = 0;
  virtual CefString GetValue() = 0;
  virtual CefString GetElementTagName() = 0;
};
