#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"

// Answers a file dialog the program shows itself: once, with the chosen
// paths (and the index of the filter used) or a cancel.
class CefFileDialogCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue(int selected_accept_filter, const std::vector<CefString>& file_paths) = 0;
  virtual void Cancel() = 0;
};

// File dialogs a page opens (file inputs), on the runtime's UI thread.
class CefDialogHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_file_dialog_mode_t FileDialogMode;

  // True when the program shows the dialog and answers `callback`; false
  // for the system's own dialog.
  virtual bool OnFileDialog(CefRefPtr<CefBrowser> /*browser*/,
                            FileDialogMode /*mode*/,
                            const CefString& /*title*/,
                            const CefString& /*default_file_path*/,
                            const std::vector<CefString>& /*accept_filters*/,
                            int /*selected_accept_filter*/,
                            CefRefPtr<CefFileDialogCallback> /*callback*/) {
    return false;
  }
};
