#pragma once

#include <string>
#include <utility>

#include "runtime/include/cef_dom.h"

namespace cef_standin {

// An element of a page's document, as handed to OnFocusedNodeChanged.
class DomNodeImpl : public CefDOMNode {
 public:
  DomNodeImpl(std::wstring tag_name,
              bool editable,
              std::wstring name = std::wstring(),
              std::wstring value = std::wstring())
      : tag_name_(std::move(tag_name)),
        editable_(editable),
        name_(std::move(name)),
        value_(std::move(value)) {}

  Type GetType() override { return DOM_NODE_TYPE_ELEMENT; }
  bool IsText() override { return false; }
  bool IsElement() override { return true; }
  bool IsEditable() override { return editable_; }
  bool IsFormControlElement() override {
    return tag_name_ == L"INPUT" || tag_name_ == L"TEXTAREA" || tag_name_ == L"SELECT" ||
           tag_name_ == L"BUTTON";
  }
  CefString GetName() override { return name_; }
  CefString GetValue() override { return value_; }
  CefString GetElementTagName() override { return tag_name_; }

 private:
  const std::wstring tag_name_;
  const bool editable_;
  const std::wstring name_;
  const std::wstring value_;

  IMPLEMENT_REFCOUNTING(DomNodeImpl);
};

}  // namespace cef_standin
