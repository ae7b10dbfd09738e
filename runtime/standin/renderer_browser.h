#pragma once

#include <vector>

#include "runtime/include/cef_browser.h"
#include "runtime/standin/renderer_frame.h"

namespace cef_standin {

// A browser as its renderer sees it: the page's frames, main frame first.
// Navigation is left to the browser process, so those calls do nothing
// here. Renderer thread only.
class RendererBrowser : public CefBrowser {
 public:
  // A browser with a main frame and `child_frames` frames inside it.
  static CefRefPtr<RendererBrowser> Create(int identifier, int child_frames);
  // A browser of the browser process, whose main frame has that
  // identifier there too.
  static CefRefPtr<RendererBrowser> CreateWithMainFrame(int identifier, int64 main_frame_id);

  CefRefPtr<RendererFrame> AddChildFrame(const CefRefPtr<RendererFrame>& parent, std::wstring name);
  // Takes the frame out of the page (its context was released before).
  void RemoveFrame(int64 identifier);

  const std::vector<CefRefPtr<RendererFrame>>& frames() const { return frames_; }
  CefRefPtr<RendererFrame> FindFrame(int64 identifier) const;
  // The browser is gone: its frames become invalid and are let go.
  void Invalidate();

  // A renderer's browser has no host.
  CefRefPtr<CefBrowserHost> GetHost() override { return nullptr; }
  int GetIdentifier() override { return identifier_; }
  bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == this; }
  bool IsPopup() override { return false; }
  bool HasDocument() override { return !frames_.empty(); }
  bool CanGoBack() override { return false; }
  void GoBack() override {}
  bool CanGoForward() override { return false; }
  void GoForward() override {}
  bool IsLoading() override { return false; }
  void Reload() override {}
  void StopLoad() override {}
  CefRefPtr<CefFrame> GetMainFrame() override;
  CefRefPtr<CefFrame> GetFocusedFrame() override { return GetMainFrame(); }
  CefRefPtr<CefFrame> GetFrame(int64 identifier) override { return FindFrame(identifier); }
  size_t GetFrameCount() override { return frames_.size(); }
  void GetFrameIdentifiers(std::vector<int64>& identifiers) override;

 private:
  explicit RendererBrowser(int identifier) : identifier_(identifier) {}

  const int identifier_;
  std::vector<CefRefPtr<RendererFrame>> frames_;

  IMPLEMENT_REFCOUNTING(RendererBrowser);
};

}  // namespace cef_standin
