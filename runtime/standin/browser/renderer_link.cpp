#include "runtime/standin/browser/renderer_link.h"

#include <utility>

#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin::renderer_link {

namespace {

void OnRenderer(std::function<void(RendererPages&)> work) {
  RuntimeContext& runtime = RuntimeContext::Get();
  runtime.PostTask(
      TID_RENDERER,
      MakeTask([work = std::move(work)] { work(RuntimeContext::Get().renderer_pages()); }), 0);
}

}  // namespace

void CreateBrowser(int browser_id, int64 main_frame_id, const RendererView::Params& view) {
  OnRenderer(
      [=](RendererPages& pages) { pages.CreateHostedBrowser(browser_id, main_frame_id, view); });
}

void DestroyBrowser(int browser_id) {
  OnRenderer([browser_id](RendererPages& pages) { pages.DestroyBrowser(browser_id); });
}

void Commit(CommitParams params) {
  OnRenderer([params = std::move(params)](RendererPages& pages) mutable {
    pages.CommitDocument(std::move(params));
  });
}

void DeliverMessage(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message) {
  OnRenderer([=](RendererPages& pages) { pages.DeliverMessage(browser_id, frame_id, message); });
}

void ExecuteJavaScript(int browser_id,
                       int64 frame_id,
                       const std::wstring& code,
                       const std::wstring& script_url,
                       int start_line) {
  OnRenderer([=](RendererPages& pages) {
    pages.ExecuteJavaScript(browser_id, frame_id, code, script_url, start_line);
  });
}

void Resize(int browser_id, int width, int height) {
  OnRenderer([=](RendererPages& pages) { pages.Resize(browser_id, width, height); });
}

void Invalidate(int browser_id, cef_paint_element_type_t type) {
  OnRenderer([=](RendererPages& pages) { pages.Invalidate(browser_id, type); });
}

void SetHidden(int browser_id, bool hidden) {
  OnRenderer([=](RendererPages& pages) { pages.SetHidden(browser_id, hidden); });
}

void SetFrameRate(int browser_id, int frame_rate) {
  OnRenderer([=](RendererPages& pages) { pages.SetFrameRate(browser_id, frame_rate); });
}

void Mouse(int browser_id, const BrowserWindowDelegate::MouseInput& input) {
  OnRenderer([=](RendererPages& pages) { pages.Mouse(browser_id, input); });
}

void Wheel(int browser_id, int x, int y, int delta_x, int delta_y, uint32_t modifiers) {
  OnRenderer(
      [=](RendererPages& pages) { pages.Wheel(browser_id, x, y, delta_x, delta_y, modifiers); });
}

void Key(int browser_id, const BrowserWindowDelegate::KeyInput& input) {
  OnRenderer([=](RendererPages& pages) { pages.Key(browser_id, input); });
}

void Focus(int browser_id, bool focused) {
  OnRenderer([=](RendererPages& pages) { pages.Focus(browser_id, focused); });
}

void SetAudioMuted(int browser_id, bool muted) {
  OnRenderer([=](RendererPages& pages) { pages.SetAudioMuted(browser_id, muted); });
}

void DescribeDocument(int browser_id, std::function<void(std::wstring)> done) {
  OnRenderer([browser_id, done = std::move(done)](RendererPages& pages) {
    done(pages.DescribeDocument(browser_id));
  });
}

void Crash() {
  OnRenderer([](RendererPages& pages) { pages.Crash(); });
}

}  // namespace cef_standin::renderer_link
