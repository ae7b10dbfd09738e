// The renderer's part of showing hosted browsers: each browser's view
// composes its main frame's page with its child frames' pages in their
// boxes, paints what changed and hands the frame to the browser process,
// at once for a window, at the view's frame rate for a windowless browser,
// whose open <select> list goes as a pop-up widget of its own. Renderer
// thread.

#include <utility>
#include <vector>

#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/renderer_pages.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

void RendererPages::SchedulePaint(int browser_id) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end() || found->second.paint_pending || found->second.view->hidden())
    return;
  found->second.paint_pending = true;
  RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([this, browser_id] { Paint(browser_id); }),
                                 found->second.view->DelayBeforeNextFrameMs());
}

void RendererPages::Paint(int browser_id) {
  auto hosted = hosted_.find(browser_id);
  if (hosted == hosted_.end())
    return;
  RendererView& view = *hosted->second.view;
  // A timer that fired early waits for the frame's tick.
  if (const int64_t wait = view.DelayBeforeNextFrameMs(); wait > 0) {
    RuntimeContext::Get().PostTask(TID_RENDERER,
                                   MakeTask([this, browser_id] { Paint(browser_id); }), wait);
    return;
  }
  hosted->second.paint_pending = false;
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  CefRefPtr<RendererFrame> main = browser ? browser->frames().front() : nullptr;
  if (!main)
    return;
  std::vector<RendererView::Layer> layers;
  FramePage* page = main->page();
  layers.push_back({page ? &page->view() : nullptr, page::Rect{0, 0, view.width(), view.height()}});
  if (page) {
    for (const page::ChildFrameBox& box : page->view().ChildFrames()) {
      const auto child_id = page->child_frames.find(box.iframe.get());
      if (child_id == page->child_frames.end() || box.rect.IsEmpty())
        continue;
      CefRefPtr<RendererFrame> child = browser->FindFrame(child_id->second);
      if (child && child->page())
        layers.push_back({&child->page()->view(), box.rect});
    }
  }
  RendererView::Output output = view.Compose(layers);
  if (output.view)
    browser_link::FrameRendered(browser_id, std::move(*output.view));
  if (output.popup_change)
    browser_link::PopupChanged(browser_id, *output.popup_change);
  if (output.popup)
    browser_link::PopupRendered(browser_id, std::move(*output.popup));
}

void RendererPages::Resize(int browser_id, int width, int height) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  RendererView& view = *found->second.view;
  view.Resize(width, height);
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  if (browser && !browser->frames().empty() && browser->frames().front()->page())
    browser->frames().front()->page()->view().SetViewportSize(view.width(), view.height());
  SchedulePaint(browser_id);
}

void RendererPages::Invalidate(int browser_id, cef_paint_element_type_t type) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  if (type == PET_POPUP)
    found->second.view->MarkPopupDirty();
  else
    found->second.view->DamageAll();
  SchedulePaint(browser_id);
}

void RendererPages::SetHidden(int browser_id, bool hidden) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  found->second.view->SetHidden(hidden);
  SchedulePaint(browser_id);
}

void RendererPages::SetFrameRate(int browser_id, int frame_rate) {
  if (auto found = hosted_.find(browser_id); found != hosted_.end())
    found->second.view->SetFrameRate(frame_rate);
}

void RendererPages::OnPagePopupChanged(int64 frame_id) {
  const int browser_id = BrowserOfFrame(frame_id);
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  found->second.view->MarkPopupDirty();
  SchedulePaint(browser_id);
}

}  // namespace cef_standin
