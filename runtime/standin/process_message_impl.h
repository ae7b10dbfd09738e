#pragma once

#include <string>

#include "runtime/include/cef_process_message.h"
#include "runtime/standin/list_value_impl.h"

namespace cef_standin {

class ProcessMessageImpl : public CefProcessMessage {
 public:
  explicit ProcessMessageImpl(std::wstring name)
      : name_(std::move(name)), arguments_(new ListValueImpl(true)) {}

  // Called when the message is sent: from then on nobody changes it.
  void SetReadOnly() {
    read_only_ = true;
    arguments_->SetReadOnly();
  }

  bool IsValid() override { return true; }
  bool IsReadOnly() override { return read_only_; }
  CefRefPtr<CefProcessMessage> Copy() override {
    CefRefPtr<ProcessMessageImpl> copy = new ProcessMessageImpl(name_);
    copy->arguments_->CopyValuesFrom(*arguments_);
    return copy;
  }
  CefString GetName() override { return name_; }
  CefRefPtr<CefListValue> GetArgumentList() override { return arguments_; }

 private:
  const std::wstring name_;
  CefRefPtr<ListValueImpl> arguments_;
  bool read_only_ = false;

  IMPLEMENT_REFCOUNTING(ProcessMessageImpl);
};

}  // namespace cef_standin
