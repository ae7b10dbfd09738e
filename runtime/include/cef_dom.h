#pragma once

#include "runtime/include/cef_base.h"

// A node of a page's document, valid on the renderer's main thread during
// the callback that hands it out.
class CefDOMNode : public virtual CefBaseRefCounted {
 public:
  typedef cef_dom_node_type_t Type;

  virtual Type GetType() = 0;
  virtual bool IsText() = 0;
  virtual bool IsElement() = 0;
  // True for text inputs, text areas and content-editable elements.
  virtual bool IsEditable() = 0;
  virtual bool IsFormControlElement() = 0;
  virtual CefString GetName() = 0;
  virtual CefString GetValue() = 0;
  virtual CefString GetElementTagName() = 0;
};
