// The output side of the window host: layout before paint, sizing to
// content, painting the damaged rectangle of the tree into the render
// context, ordinary and layered output, and the fades.

#include <algorithm>

#include "base/thread/thread_checker.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/control/layout_pass.h"
#include "ui/core/timer_queue.h"
#include "ui/core/window.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

// The available size an auto-sized root is measured with.
constexpr int32_t kUnboundedSize = 99999;
// Delay between the start of the close fade and the close itself.
constexpr int32_t kCloseDelayMs = 300;
// Layout rounds per paint; each round arranges what the previous one left.
constexpr int kMaxLayoutRounds = 16;

bool IsVistaOrLater() {
  static const bool vista = [] {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
  }();
  return vista;
}

int64_t Counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

UiRect ToUiRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The size an auto-sized control wants, within its minimum and maximum.
UiSize ContentSize(Control* root) {
  const UiSize measured = root->Measure({kUnboundedSize, kUnboundedSize});
  int32_t width = std::max(measured.cx, root->GetMinWidth());
  if (root->GetMaxWidth() >= 0)
    width = std::min(width, root->GetMaxWidth());
  int32_t height = std::max(measured.cy, root->GetMinHeight());
  height = std::min(height, root->GetMaxHeight());
  return {width, height};
}

}  // namespace

void Window::SetRenderOffset(UiPoint offset) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (offset == render_offset_)
    return;
  render_offset_ = offset;
  InvalidateAll();
}

void Window::SizeToContent() {
  if (!root_->NeedsArrange() || !root_->IsAutoSized())
    return;
  const UiSize size = ContentSize(root_);
  RECT window_rect = {};
  GetWindowRect(handle_, &window_rect);
  MoveWindow(handle_, window_rect.left, window_rect.top, size.cx, size.cy, TRUE);
}

void Window::ExtendUpdateToVirtualScreen(const RECT& window_rect, RECT* update) const {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  RECT client = {};
  GetClientRect(handle_, &client);
  // Parts of a layered window beyond the screen are never reported damaged;
  // the update must still reach the window's edge there.
  if (window_rect.left < left && update->left + window_rect.left == left)
    update->left = client.left;
  if (window_rect.top < top && update->top + window_rect.top == top)
    update->top = client.top;
  if (window_rect.right > width && update->right + window_rect.left == left + width)
    update->right = client.right;
  if (window_rect.bottom > height && update->bottom + window_rect.top == top + height)
    update->bottom = client.bottom;
}

void Window::RunLayout(const UiRect& client) {
  layout_needed_ = false;
  if (!client.IsEmpty()) {
    for (int round = 0; round < kMaxLayoutRounds; ++round) {
      if (RunLayoutPass(root_, client) == 0)
        break;
    }
  }
  if (first_paint_pending_) {
    first_paint_pending_ = false;
    PlayShowAnimation();
  }
  if (focus_next_pending_)
    MoveFocus(true);
}

void Window::OnPaint() {
  if (!root_ || !render_context_ || IsIconic(handle_)) {
    PAINTSTRUCT paint = {};
    BeginPaint(handle_, &paint);
    EndPaint(handle_, &paint);
    return;
  }
  if (layout_needed_)
    SizeToContent();

  RECT update_rect = {};
  GetUpdateRect(handle_, &update_rect, FALSE);
  if (IsRectEmpty(&update_rect) && !first_paint_pending_)
    return;
  RECT client_rect = {};
  RECT window_rect = {};
  GetClientRect(handle_, &client_rect);
  GetWindowRect(handle_, &window_rect);
  if (layered_)
    ExtendUpdateToVirtualScreen(window_rect, &update_rect);

  PAINTSTRUCT paint = {};
  BeginPaint(handle_, &paint);
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  const UiRect client = ToUiRect(client_rect);
  const int64_t layout_start = Counter();
  if (layout_needed_)
    RunLayout(client);
  const int64_t paint_start = Counter();
  // Layout runs handlers that may close the window or replace the root.
  if (alive.expired())
    return;
  if (!root_ || !handle_) {
    if (handle_)
      EndPaint(handle_, &paint);
    return;
  }

  UiRect update = ToUiRect(update_rect);
  if (render_context_->Resize(client.Width(), client.Height(), true)) {
    render_context_->SetTransparentRendering(!shadow_.IsAttached());
    update = client;
  }
  if (layered_)
    render_context_->ResetPixels(update, 0);

  render_context_->PushClip(update);
  const UiPoint origin = render_context_->OffsetDrawingOrigin(render_offset_.x, render_offset_.y);
  // The root is painted without Draw: its alpha, cache and clip do not
  // apply to it (the window's own alpha fades the whole window).
  root_->PaintContent(render_context_.get(), update);
  root_->PaintChildren(render_context_.get(), update);
  render_context_->SetDrawingOrigin(origin.x, origin.y);

  const int64_t output_start = Counter();
  if (layered_)
    OutputLayered(update, window_rect, {client.Width(), client.Height()});
  else if (paint_dc_)
    BitBlt(paint_dc_, update.left, update.top, update.Width(), update.Height(),
           render_context_->DeviceContext(), update.left, update.top, SRCCOPY);

  EndPaint(handle_, &paint);
  render_context_->PopClip();
  const int64_t end = Counter();
  paint_timings_ = {paint_start - layout_start, output_start - paint_start, end - output_start};
}

UiRect Window::RootPaddingRect(UiPadding* layout_padding) const {
  *layout_padding = {};
  if (const Box* box = dynamic_cast<const Box*>(root_))
    *layout_padding = box->GetLayout()->GetPadding();
  return root_->GetBounds(true).Deflate(*layout_padding);
}

void Window::OutputLayered(const UiRect& update, const RECT& window_rect, const UiSize& client) {
  // GDI drawing leaves alpha 0 behind; the content area is made opaque again
  // while the shadow keeps its image's alpha.
  UiPadding layout_padding;
  const UiRect padding_rect = RootPaddingRect(&layout_padding);
  const UiPadding& fix = alpha_fix_margins_;
  if (shadow_.IsAttached() && render_offset_ == UiPoint{}) {
    const UiPadding around = {layout_padding.left + 1, layout_padding.top + 1,
                              layout_padding.right + 1, layout_padding.bottom + 1};
    render_context_->FixAlpha(UiRect::Intersection(update, padding_rect), around, 0);
  } else if (fix.left > 0 || fix.top > 0 || fix.right > 0 || fix.bottom > 0) {
    render_context_->FixAlpha(UiRect::Intersection(update, padding_rect.Deflate(fix)), {}, 0);
  }

  POINT destination = {window_rect.left, window_rect.top};
  SIZE size = {client.cx, client.cy};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, window_alpha_, AC_SRC_ALPHA};
  UpdateLayeredWindow(handle_, nullptr, &destination, &size, render_context_->DeviceContext(),
                      &source, 0, &blend, ULW_ALPHA);
}

void Window::PlayShowAnimation() {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!root_ || !IsVistaOrLater())
    return;
  AnimationManager& animations = root_->GetAnimationManager();
  animations.SwitchAlpha(true);
  if (AnimationPlayer* player = animations.GetPlayer(AnimationType::kAlpha)) {
    player->SetValueCallback(
        weak_flag_.MakeWeakCallback([this](int32_t value) { OnFadeValue(value); }));
  }
  window_alpha_ = 0;
  root_->SetFadeVisible(true);
}

void Window::OnFadeValue(int32_t value) {
  window_alpha_ = static_cast<uint8_t>(std::clamp(value, 0, 255));
  if (root_)
    Invalidate(root_->GetBounds(true));
}

void Window::Close(UINT result_code) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  if (!handle_)
    return;
  if (!root_ || !IsVistaOrLater()) {
    PostMessageW(handle_, WM_CLOSE, result_code, 0);
    return;
  }
  root_->SetFadeVisible(false);
  TimerQueue::Instance()->AddTimer(
      weak_flag_.AcquireWeakFlag(),
      [this, result_code] {
        if (handle_)
          PostMessageW(handle_, WM_CLOSE, result_code, 0);
      },
      kCloseDelayMs, 1);
}

}  // namespace ui
