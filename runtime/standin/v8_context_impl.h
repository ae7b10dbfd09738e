#pragma once

#include <memory>

#include "runtime/include/cef_v8.h"
#include "runtime/standin/v8_heap.h"
#include "runtime/standin/v8_value_impl.h"

namespace cef_standin {

// The script context of one page load of a frame: its global object (with
// the native JSON object) and the heap its objects live in. Valid until
// the page goes; entered contexts form a stack per renderer thread, whose
// top is the current one. Renderer thread only.
class V8ContextImpl : public CefV8Context {
 public:
  V8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame);

  // The top of the renderer thread's entered contexts; null when none is
  // entered or on any other thread.
  static CefRefPtr<V8ContextImpl> Current();
  // Forgets the entered contexts (a page left entered at shutdown); the
  // number forgotten.
  static size_t ForgetEntered();

  const std::shared_ptr<V8Heap>& heap() const { return heap_; }
  // The page is gone: the context, its global and its objects become
  // invalid and let go of the browser and frame.
  void Invalidate();

  bool IsValid() override { return valid_; }
  CefRefPtr<CefBrowser> GetBrowser() override { return browser_; }
  CefRefPtr<CefFrame> GetFrame() override { return frame_; }
  CefRefPtr<CefV8Value> GetGlobal() override { return global_; }
  bool Enter() override;
  bool Exit() override;
  bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == this; }

 private:
  bool valid_ = true;
  CefRefPtr<CefBrowser> browser_;
  CefRefPtr<CefFrame> frame_;
  std::shared_ptr<V8Heap> heap_;
  CefRefPtr<V8ValueImpl> global_;

  IMPLEMENT_REFCOUNTING(V8ContextImpl);
};

}  // namespace cef_standin
