#include "ui/core/shadow.h"

#include "base/thread/thread_checker.h"
#include "ui/control/control_types.h"
#include "ui/core/window.h"

namespace ui {

namespace {

constexpr UiPadding kDefaultCorner = {
    WindowShadow::kDefaultThickness, WindowShadow::kDefaultThickness,
    WindowShadow::kDefaultThickness, WindowShadow::kDefaultThickness};

bool IsValidLength(int32_t length) {
  return length >= 0 || length == kStretch || length == kAuto;
}

// A content length seen from the shadow box: fixed lengths grow by the
// shadow, stretch and auto stay what they are.
int32_t WithShadow(int32_t length, int32_t before, int32_t after) {
  return length > 0 ? length + before + after : length;
}

}  // namespace

ShadowBox::ShadowBox() = default;

void ShadowBox::PaintContent(IRenderContext* context, const UiRect& paint_rect) {
  const UiRect content = GetPaddingBounds();
  if (paint_rect.left < content.left || paint_rect.top < content.top ||
      paint_rect.right > content.right || paint_rect.bottom > content.bottom) {
    Box::PaintContent(context, paint_rect);
  }
}

WindowShadow::WindowShadow()
    : corner_(kDefaultCorner),
      configured_corner_(kDefaultCorner),
      restore_corner_(kDefaultCorner) {}

UiPadding WindowShadow::Corner() const {
  return attached_ ? corner_ : UiPadding{};
}

void WindowShadow::SetImage(const std::wstring& image) {
  image_ = image;
  default_image_ = false;
}

void WindowShadow::SetConfiguredCorner(const UiPadding& corner) {
  corner_ = corner;
  configured_corner_ = corner;
  restore_corner_ = corner;
}

Control* WindowShadow::Attach(Control* root) {
  if (!attached_ || !root)
    return root;
  auto* box = new ShadowBox();
  box->GetLayout()->SetPadding(corner_);

  const int32_t width = WithShadow(root->GetFixedWidth(), corner_.left, corner_.right);
  if (IsValidLength(width) && width != box->GetFixedWidth())
    box->SetFixedWidth(width, true);
  const int32_t height = WithShadow(root->GetFixedHeight(), corner_.top, corner_.bottom);
  if (IsValidLength(height) && height != box->GetFixedHeight())
    box->SetFixedHeight(height);

  if (default_image_)
    root->SetBorderRound(kDefaultContentRound);
  box->Add(root);
  box->SetBackgroundImage(image_);
  box_ = box;
  return box;
}

void WindowShadow::ApplyCorner(const UiPadding& corner, UiSize content_round) {
  corner_ = corner;
  box_->GetLayout()->SetPadding(corner);
  if (!default_image_)
    return;
  if (Control* content = box_->GetItemAt(0))
    content->SetBorderRound(content_round);
}

void WindowShadow::SetMaximized(bool maximized) {
  if (!attached_ || !box_)
    return;
  if (maximized)
    ApplyCorner({}, {0, 0});
  else
    ApplyCorner(restore_corner_, kDefaultContentRound);
}

void WindowShadow::ResetCorner() {
  corner_ = configured_corner_;
  if (attached_ && box_)
    box_->GetLayout()->SetPadding(corner_);
}

Control* Window::AttachShadow(Control* root) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  return shadow_.Attach(root);
}

void Window::ShadowMaximized(bool maximized) {
  KBASE_DCHECK_ON_WINDOW_THREAD(handle_);
  shadow_.SetMaximized(maximized);
}

}  // namespace ui
