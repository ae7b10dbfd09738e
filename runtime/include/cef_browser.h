#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_frame.h"

// A browser: one page with its frames. In the browser process it also has
// a host (its window, focus and developer tools).
class CefBrowser : public virtual CefBaseRefCounted {
 public:
  // Unique within the process, and the same in the browser process and
  // the renderer.
  virtual int GetIdentifier() = 0;
  virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
  virtual bool IsPopup() = 0;
  virtual bool HasDocument() = 0;
  virtual bool CanGoBack() = 0;
  virtual void GoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual void GoForward() = 0;
  virtual bool IsLoading() = 0;
  virtual void Reload() = 0;
  virtual void StopLoad() = 0;
  virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
  virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
  // Null when the browser has no frame with that identifier.
  virtual CefRefPtr<CefFrame> GetFrame(int64 identifier) = 0;
  virtual size_t GetFrameCount() = 0;
  virtual void GetFrameIdentifiers(std::vector<int64>& identifiers) = 0;
};
