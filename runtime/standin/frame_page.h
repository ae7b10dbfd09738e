#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/include/internal/cef_types.h"
#include "runtime/standin/page/document.h"
#include "runtime/standin/page/page_view.h"

namespace cef_standin {

// What a frame's page asks of the renderer around it. Renderer thread.
class FramePageHost {
 public:
  virtual void OnPageNavigate(int64 frame_id, const page::NavigationRequest& request) = 0;
  virtual void OnPageFocusChanged(int64 frame_id, const page::NodePtr& node) = 0;
  virtual void OnPageCursor(int64 frame_id, page::CursorKind cursor) = 0;
  virtual void OnPageInvalidated(int64 frame_id) = 0;
  virtual void OnPageNeedsImages(int64 frame_id, const std::vector<std::string>& urls) = 0;
  virtual void OnPageFileChooser(int64 frame_id, const page::NodePtr& input) = 0;

 protected:
  ~FramePageHost() = default;
};

// One load of a frame in the renderer: the document read from the
// response, the scripts fetched for it, and its view (layout, painting and
// input). Replaced with the frame's next load. Renderer thread only.
class FramePage : private page::ViewDelegate {
 public:
  FramePage(FramePageHost* host,
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

  FramePageHost* const host_;
  const int64 frame_id_;
  const uint64_t load_id_;
  const bool error_page_;
  std::shared_ptr<page::Document> document_;
  page::PageView view_;
  std::map<std::string, std::string> scripts_;
  // An image that is the response itself, handed to the view when shown.
  std::string own_image_;
};

}  // namespace cef_standin
