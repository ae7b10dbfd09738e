#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"

// Answers a page dialog the program shows itself: once, on any thread.
class CefJSDialogCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue(bool success, const CefString& user_input) = 0;
};

// A page's alert, confirm, prompt and leave-page dialogs, on the runtime's
// UI thread.
class CefJSDialogHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_jsdialog_type_t JSDialogType;

  // True when the program shows the dialog and answers `callback`. With
  // false the runtime shows its own dialog, unless `suppress_message` is
  // set: then the dialog is dropped and the script call returns at once as
  // if cancelled.
  virtual bool OnJSDialog(CefRefPtr<CefBrowser> /*browser*/,
                          const CefString& /*origin_url*/,
                          JSDialogType /*dialog_type*/,
                          const CefString& /*message_text*/,
                          const CefString& /*default_prompt_text*/,
                          CefRefPtr<CefJSDialogCallback> /*callback*/,
                          bool& /*suppress_message*/) {
    return false;
  }
  virtual bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> /*browser*/,
                                    const CefString& /*message_text*/,
                                    bool /*is_reload*/,
                                    CefRefPtr<CefJSDialogCallback> /*callback*/) {
    return false;
  }
  virtual void OnResetDialogState(CefRefPtr<CefBrowser> /*browser*/) {}
  virtual void OnDialogClosed(CefRefPtr<CefBrowser> /*browser*/) {}
};
