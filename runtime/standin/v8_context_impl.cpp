#include "runtime/standin/v8_context_impl.h"

#include <utility>
#include <vector>

#include "runtime/standin/runtime_context.h"
#include "runtime/standin/v8_json_functions.h"

namespace cef_standin {

namespace {

// The renderer thread's entered contexts. Never destroyed: the library may
// be unloaded while the process ends.
std::vector<CefRefPtr<V8ContextImpl>>& EnteredContexts() {
  static auto* entered = new std::vector<CefRefPtr<V8ContextImpl>>;
  return *entered;
}

bool OnRendererThread() {
  return RuntimeContext::Get().CurrentlyOn(TID_RENDERER);
}

}  // namespace

V8ContextImpl::V8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
    : browser_(std::move(browser)),
      frame_(std::move(frame)),
      heap_(std::make_shared<V8Heap>()),
      global_(V8ValueImpl::Object(heap_, nullptr)) {
  // Built-in, like the script engine's own: not enumerable.
  global_->SetValue(L"JSON", CreateJsonObject(heap_), V8_PROPERTY_ATTRIBUTE_DONTENUM);
}

CefRefPtr<V8ContextImpl> V8ContextImpl::Current() {
  if (!OnRendererThread() || EnteredContexts().empty())
    return nullptr;
  return EnteredContexts().back();
}

size_t V8ContextImpl::ForgetEntered() {
  std::vector<CefRefPtr<V8ContextImpl>> entered;
  entered.swap(EnteredContexts());
  return entered.size();
}

void V8ContextImpl::Invalidate() {
  if (!valid_)
    return;
  valid_ = false;
  heap_->Release();
  // Ends the cycles frame - context and browser - frame - context.
  global_ = nullptr;
  frame_ = nullptr;
  browser_ = nullptr;
}

bool V8ContextImpl::Enter() {
  if (!valid_ || !OnRendererThread())
    return false;
  EnteredContexts().push_back(this);
  return true;
}

bool V8ContextImpl::Exit() {
  std::vector<CefRefPtr<V8ContextImpl>>& entered = EnteredContexts();
  // Exits pair with enters: only the innermost context may leave.
  if (!OnRendererThread() || entered.empty() || entered.back().get() != this)
    return false;
  entered.pop_back();
  return true;
}

}  // namespace cef_standin
