#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_download_item.h"

// Starts a download: to `download_path` (a full path, or empty for the
// suggested name in the default folder), through a save dialog when
// `show_dialog` is set. A download whose callback is never called does not
// start.
class CefBeforeDownloadCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue(const CefString& download_path, bool show_dialog) = 0;
};

// Controls a running download.
class CefDownloadItemCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Cancel() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
};

// Downloads of a browser, on the runtime's UI thread.
class CefDownloadHandler : public virtual CefBaseRefCounted {
 public:
  // A response is to be saved as a file.
  virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefDownloadItem> download_item,
                                const CefString& suggested_name,
                                CefRefPtr<CefBeforeDownloadCallback> callback) = 0;
  // Progress, completion and cancellation of a started download.
  virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> /*browser*/,
                                 CefRefPtr<CefDownloadItem> /*download_item*/,
                                 CefRefPtr<CefDownloadItemCallback> /*callback*/) {}
};
