#include "runtime/standin/renderer_browser.h"

#include <string>

namespace cef_standin {

CefRefPtr<RendererBrowser> RendererBrowser::Create(int identifier, int child_frames) {
  CefRefPtr<RendererBrowser> browser = new RendererBrowser(identifier);
  CefRefPtr<RendererFrame> main_frame =
      new RendererFrame(browser, RendererFrame::NextIdentifier(), nullptr, std::wstring());
  browser->frames_.push_back(main_frame);
  for (int i = 0; i < child_frames; ++i) {
    browser->frames_.push_back(new RendererFrame(browser, RendererFrame::NextIdentifier(),
                                                 main_frame, L"frame" + std::to_wstring(i + 1)));
  }
  return browser;
}

CefRefPtr<RendererBrowser> RendererBrowser::CreateWithMainFrame(int identifier,
                                                                int64 main_frame_id) {
  CefRefPtr<RendererBrowser> browser = new RendererBrowser(identifier);
  browser->frames_.push_back(new RendererFrame(browser, main_frame_id, nullptr, std::wstring()));
  return browser;
}

CefRefPtr<RendererFrame> RendererBrowser::AddChildFrame(const CefRefPtr<RendererFrame>& parent,
                                                        std::wstring name) {
  CefRefPtr<RendererFrame> frame(
      new RendererFrame(this, RendererFrame::NextIdentifier(), parent, std::move(name)));
  frames_.push_back(frame);
  return frame;
}

void RendererBrowser::RemoveFrame(int64 identifier) {
  for (auto it = frames_.begin(); it != frames_.end(); ++it) {
    if ((*it)->GetIdentifier() == identifier && !(*it)->IsMain()) {
      CefRefPtr<RendererFrame> frame = *it;
      frames_.erase(it);
      frame->Invalidate();
      return;
    }
  }
}

CefRefPtr<RendererFrame> RendererBrowser::FindFrame(int64 identifier) const {
  for (const CefRefPtr<RendererFrame>& frame : frames_) {
    if (frame->GetIdentifier() == identifier)
      return frame;
  }
  return nullptr;
}

void RendererBrowser::Invalidate() {
  // Frames hold their browser: letting them go ends the cycle.
  std::vector<CefRefPtr<RendererFrame>> frames;
  frames.swap(frames_);
  for (const CefRefPtr<RendererFrame>& frame : frames)
    frame->Invalidate();
}

CefRefPtr<CefFrame> RendererBrowser::GetMainFrame() {
  return frames_.empty() ? nullptr : frames_.front();
}

void RendererBrowser::GetFrameIdentifiers(std::vector<int64>& identifiers) {
  identifiers.clear();
  for (const CefRefPtr<RendererFrame>& frame : frames_)
    identifiers.push_back(frame->GetIdentifier());
}

}  // namespace cef_standin
