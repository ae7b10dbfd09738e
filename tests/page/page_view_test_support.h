#pragma once

// A page view on a document made from markup, with a delegate that records
// what the view asks for, and a bitmap to paint into.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/standin/page/page_view.h"

namespace page_test {

using namespace cef_standin::page;

class RecordingDelegate : public ViewDelegate {
 public:
  void OnNavigate(const NavigationRequest& request) override { navigations.push_back(request); }
  void OnFocusedNodeChanged(const NodePtr& node) override { focus_changes.push_back(node); }
  void OnCursorChanged(CursorKind cursor) override { cursors.push_back(cursor); }
  void OnInvalidate(const Rect& dirty) override { invalidated.push_back(dirty); }
  void OnImagesNeeded(const std::vector<std::string>& urls) override {
    images.insert(images.end(), urls.begin(), urls.end());
  }
  void OnFileChooserRequested(const NodePtr& input) override { file_choosers.push_back(input); }
  void OnPopupChanged() override { ++popup_changes; }

  std::vector<NavigationRequest> navigations;
  std::vector<NodePtr> focus_changes;
  std::vector<CursorKind> cursors;
  std::vector<Rect> invalidated;
  std::vector<std::string> images;
  std::vector<NodePtr> file_choosers;
  int popup_changes = 0;
};

struct ViewFixture {
  explicit ViewFixture(const std::string& markup,
                       int view_width = 400,
                       int view_height = 300,
                       const std::string& url = "http://host/dir/page.html")
      : document(std::make_shared<Document>(url)),
        view(&delegate),
        width(view_width),
        height(view_height) {
    document->LoadUtf8(markup);
    view.SetDocument(document);
    view.SetViewportSize(width, height);
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  }

  void Paint() { view.Paint({pixels.data(), width, height, width * 4}, {0, 0, width, height}); }
  std::uint32_t Pixel(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] &
           0xFFFFFF;
  }
  // Pixels in the rectangle that are not the background colour.
  int InkIn(const Rect& rect, std::uint32_t background = 0xFFFFFF) const {
    int ink = 0;
    for (int y = std::max(0, rect.y); y < std::min(height, rect.bottom()); ++y) {
      for (int x = std::max(0, rect.x); x < std::min(width, rect.right()); ++x)
        ink += Pixel(x, y) != background;
    }
    return ink;
  }
  void ClickAt(const NodePtr& element) {
    const Rect box = view.ElementRect(element);
    const int x = box.x + box.width / 2;
    const int y = box.y + box.height / 2;
    view.MouseDown(x, y, MouseButton::kLeft, {});
    view.MouseUp(x, y, MouseButton::kLeft, {});
  }
  void Type(const std::u16string& text) {
    for (char16_t unit : text)
      view.Char(unit);
  }

  RecordingDelegate delegate;
  std::shared_ptr<Document> document;
  PageView view;
  std::vector<std::uint32_t> pixels;
  int width = 0;
  int height = 0;
};

}  // namespace page_test
