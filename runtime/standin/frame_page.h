#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/include/internal/cef_types.h"
#include "runtime/standin/audio/pcm_stream.h"
#include "runtime/standin/page/document.h"
#include "runtime/standin/page/page_view.h"
#include "runtime/standin/script/page_host.h"
#include "runtime/standin/script/page_script.h"

namespace cef_standin {

namespace audio {
class PageSounds;
}

// What a frame's page asks of the renderer around it. Renderer thread.
class FramePageHost {
 public:
  virtual void OnPageNavigate(int64 frame_id, const page::NavigationRequest& request) = 0;
  virtual void OnPageFocusChanged(int64 frame_id, const page::NodePtr& node) = 0;
  virtual void OnPageCursor(int64 frame_id, page::CursorKind cursor) = 0;
  virtual void OnPageInvalidated(int64 frame_id) = 0;
  // The page's open <select> list changed (pages that paint it apart).
  virtual void OnPagePopupChanged(int64 frame_id) = 0;
  virtual void OnPageNeedsImages(int64 frame_id, const std::vector<std::string>& urls) = 0;
  virtual void OnPageFileChooser(int64 frame_id, const page::NodePtr& input) = 0;

 protected:
  ~FramePageHost() = default;
};

// One load of a frame in the renderer: the document read from the
// response, the scripts fetched for it, and its view (layout, painting and
// input). Replaced with the frame's next load. Renderer thread only.
class FramePage : private page::ViewDelegate, private script::PageHost {
 public:
  FramePage(FramePageHost* host,
            int browser_id,
            int64 frame_id,
            uint64_t load_id,
            const std::wstring& url,
            bool error_page);
  ~FramePage();
  FramePage(const FramePage&) = delete;
  FramePage& operator=(const FramePage&) = delete;

  // Reads the response: HTML as it is, plain text as preformatted text,
  // an image as a page showing it.
  void Load(const std::string& body, const std::wstring& mime_type, const std::wstring& charset);
  // The document goes to the view: laid out at the given size.
  void Show(int width, int height);
  // The page's scripts run in `context` (fetched ones from ScriptUrls),
  // in document order.
  void RunScripts(CefRefPtr<V8ContextImpl> context, bool main_frame);
  // The document is complete: DOMContentLoaded and load.
  void FinishLoading();
  // The sounds the page plays by itself (<audio autoplay>), once; they
  // stop when the page goes. Error pages have none.
  void StartSounds(audio::Mute mute);
  // Null when the page has no sound.
  audio::PageSounds* sounds() const { return sounds_.get(); }
  // Script run for the browser (ExecuteJavaScript) or a test; false when
  // the page has no script or it threw.
  bool RunScript(const std::wstring& code, const std::wstring& url, int line);

  uint64_t load_id() const { return load_id_; }
  bool error_page() const { return error_page_; }
  page::Document& document() { return *document_; }
  page::PageView& view() { return view_; }

  // Scripts with src still to fetch before scripts run (each once).
  std::vector<std::string> ScriptUrls() const;
  void AddScript(const std::string& url, std::string source);
  // Null when it was not fetched or failed.
  const std::string* Script(const std::string& url) const;
  int pending_fetches = 0;
  // The page's iframes and the frames made for them.
  std::map<const page::Node*, int64> child_frames;
  // Images the first layout asked for, still to arrive.
  int pending_images = 0;
  bool ready_reported = false;

 private:
  // page::ViewDelegate
  void OnNavigate(const page::NavigationRequest& request) override;
  void OnFocusedNodeChanged(const page::NodePtr& node) override;
  void OnCursorChanged(page::CursorKind cursor) override;
  void OnInvalidate(const page::Rect& dirty) override;
  void OnImagesNeeded(const std::vector<std::string>& urls) override;
  void OnFileChooserRequested(const page::NodePtr& input) override;
  void OnPopupChanged() override;

  // script::PageHost
  void Navigate(const script::NavigationRequest& request) override;
  void GoHistory(int offset) override;
  int HistoryLength() override;
  void Reload() override;
  bool OpenPopup(const script::PopupRequest& request) override;
  void Alert(const std::wstring& message) override;
  bool Confirm(const std::wstring& message) override;
  std::optional<std::wstring> Prompt(const std::wstring& message,
                                     const std::wstring& default_text) override;
  void AddConsoleMessage(const script::ConsoleMessage& message) override;
  void TitleChanged(const std::wstring& title) override;
  void RequestQuota(int64_t bytes, std::function<void(script::QuotaDecision)> done) override;
  std::wstring UserAgent() override;
  void PostRendererTask(std::function<void()> task, int64_t delay_ms) override;
  std::wstring Origin() const;

  FramePageHost* const host_;
  const int browser_id_;
  const int64 frame_id_;
  bool main_frame_ = false;
  const uint64_t load_id_;
  const bool error_page_;
  std::shared_ptr<page::Document> document_;
  page::PageView view_;
  // After the view: destroyed first, while the document still exists.
  std::unique_ptr<script::PageScript> script_;
  std::map<std::string, std::string> scripts_;
  // An image that is the response itself, handed to the view when shown.
  std::string own_image_;
  std::unique_ptr<audio::PageSounds> sounds_;
};

}  // namespace cef_standin
