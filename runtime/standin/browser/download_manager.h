#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "runtime/include/internal/cef_ptr.h"
#include "runtime/standin/net/resource_loader.h"

namespace cef_standin {

class BrowserHostImpl;

// Responses saved as files: OnBeforeDownload asks the client where to,
// the file is written on a worker thread, and OnDownloadUpdated reports
// progress until the download completes or is cancelled. Callbacks on
// the UI thread.
class DownloadManager {
 public:
  // UI thread: `response` (with its body) is to be saved.
  static void Start(CefRefPtr<BrowserHostImpl> browser,
                    const std::wstring& url,
                    LoadResult response);
  // UI thread: loads `url` first, then as Start.
  static void StartFromUrl(CefRefPtr<BrowserHostImpl> browser, const std::wstring& url);
};

}  // namespace cef_standin
