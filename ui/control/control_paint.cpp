#include <algorithm>

#include "ui/control/control.h"
#include "ui/control/control_host.h"
#include "ui/core/global_resources.h"
#include "ui/core/image_info.h"
#include "ui/core/timer_queue.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

constexpr int32_t kLastFrame = 0xFFFF;

bool IsOpaque(uint32_t color) {
  return (color >> 24) == 0xFF;
}

// Undoes the clips a paint pushed, newest first.
void PopClips(IRenderContext* context, bool clipped, bool round_clipped) {
  if (round_clipped)
    context->PopClip();
  if (clipped)
    context->PopClip();
}

}  // namespace

void Control::Draw(IRenderContext* context, const UiRect& paint_rect) {
  if (alpha_ == 0 || !context)
    return;
  const UiRect area = UiRect::Intersection(paint_rect, bounds_);
  if (area.IsEmpty())
    return;
  if ((alpha_ != 255 || use_cache_) && DrawThroughCache(context, paint_rect, area))
    return;
  PaintDirectly(context, paint_rect);
}

bool Control::DrawThroughCache(IRenderContext* context,
                               const UiRect& paint_rect,
                               const UiRect& area) {
  const bool translucent = alpha_ != 255;
  if (!cache_context_) {
    cache_context_ = GlobalResources::CreateRenderContext();
    if (!cache_context_)
      return false;
  }
  IRenderContext* cache = cache_context_.get();
  const int32_t width = bounds_.Width();
  const int32_t height = bounds_.Height();
  // A translucent copy is thrown away after each paint, children included.
  if (cache->Resize(width, height) || translucent)
    cache_dirty_ = true;

  if (cache_dirty_) {
    cache->Clear();
    const UiRect local = {0, 0, width, height};
    const bool round_clip = border_round_.cx > 0 || border_round_.cy > 0;
    if (clip_enabled_)
      cache->PushClip(local);
    if (round_clip)
      cache->PushRoundClip(local, border_round_.cx, border_round_.cy);
    IRenderContext* window_context = window_ ? window_->GetRenderContext() : context;
    const bool was_transparent =
        window_context ? window_context->SetTransparentRendering(true) : false;
    const UiPoint origin =
        cache->OffsetDrawingOrigin(bounds_.left + render_offset_.x, bounds_.top + render_offset_.y);
    PaintContent(cache, bounds_);
    if (translucent)
      PaintChildren(context, paint_rect);
    cache->SetDrawingOrigin(origin.x, origin.y);
    if (window_context)
      window_context->SetTransparentRendering(was_transparent);
    PopClips(cache, clip_enabled_, round_clip);
    cache_dirty_ = false;
  }

  context->BlendFrom(area.left, area.top, area.Width(), area.Height(), cache->DeviceContext(),
                     area.left - bounds_.left, area.top - bounds_.top, area.Width(), area.Height(),
                     static_cast<uint8_t>(translucent ? alpha_ : 255));
  if (translucent)
    cache_context_.reset();
  else
    PaintChildren(context, paint_rect);
  return true;
}

void Control::PaintDirectly(IRenderContext* context, const UiRect& paint_rect) {
  const bool round_clip = border_round_.cx > 0 || border_round_.cy > 0;
  if (clip_enabled_)
    context->PushClip(bounds_);
  if (round_clip)
    context->PushRoundClip(bounds_, border_round_.cx, border_round_.cy);
  // Moving the origin by nothing would cost two device calls per control.
  const bool offset = render_offset_.x != 0 || render_offset_.y != 0;
  UiPoint origin;
  if (offset)
    origin = context->OffsetDrawingOrigin(render_offset_.x, render_offset_.y);
  PaintContent(context, paint_rect);
  PaintChildren(context, paint_rect);
  if (offset)
    context->SetDrawingOrigin(origin.x, origin.y);
  PopClips(context, clip_enabled_, round_clip);
}

void Control::PaintContent(IRenderContext* context, const UiRect& paint_rect) {
  paint_rect_ = UiRect::Intersection(paint_rect, bounds_);
  if (paint_rect_.IsEmpty())
    return;
  PaintBackgroundColor(context);
  PaintBackgroundImage(context);
  PaintStateColor(context);
  PaintStateImage(context);
  PaintText(context);
  PaintBorder(context);
}

void Control::PaintChildren(IRenderContext* /*context*/, const UiRect& /*paint_rect*/) {}

void Control::PaintBackgroundColor(IRenderContext* context) {
  if (background_color_.empty())
    return;
  if (!background_color2_.empty()) {
    const uint32_t top = GlobalResources::ColorByName(background_color_);
    const uint32_t bottom = GlobalResources::ColorByName(background_color2_);
    // The gradient spans the whole control, or a partial repaint would
    // squeeze it into the damaged band.
    if (top != 0 && bottom != 0)
      context->FillColor(bounds_, top, bottom, 255);
    return;
  }
  const uint32_t color = GlobalResources::ColorByName(background_color_);
  if (color == 0)
    return;
  context->FillColor(IsOpaque(color) ? paint_rect_ : bounds_, color, 255);
}

void Control::PaintBackgroundImage(IRenderContext* context) {
  DrawImage(context, background_image_);
}

void Control::PaintStateColor(IRenderContext* context) {
  state_colors_.Paint(context, paint_rect_, state_);
}

void Control::PaintStateImage(IRenderContext* context) {
  state_images_.Paint(context, StateImageType::kBackground, state_);
  state_images_.Paint(context, StateImageType::kForeground, state_);
}

void Control::PaintText(IRenderContext* /*context*/) {}

void Control::PaintBorder(IRenderContext* context) {
  if (border_color_.empty())
    return;
  const uint32_t color = GlobalResources::ColorByName(border_color_);
  if (color == 0)
    return;
  const UiPadding& sides = border_sizes_;
  if (sides.left < 1 && sides.top < 1 && sides.right < 1 && sides.bottom < 1)
    PaintUniformBorder(context, color);
  else
    PaintSideBorders(context, color);
}

void Control::PaintUniformBorder(IRenderContext* context, uint32_t color) {
  if (border_size_ < 1)
    return;
  // The pen is centred on the outline: keep it inside the bounds.
  const int32_t half = border_size_ / 2;
  const int32_t odd = border_size_ % 2;
  const UiRect rect = {bounds_.left + half, bounds_.top + half, bounds_.right - half - odd,
                       bounds_.bottom - half - odd};
  if (border_round_.cx > 0 || border_round_.cy > 0)
    context->DrawRoundRect(rect, border_round_, border_size_, color);
  else
    context->DrawRect(rect, border_size_, color);
}

void Control::PaintSideBorders(IRenderContext* context, uint32_t color) {
  const UiRect& b = bounds_;
  const UiPadding& sides = border_sizes_;
  // A one-pixel line would otherwise reach one pixel past the corner.
  auto shorten = [](int32_t size) { return size == 1 ? 1 : 0; };
  if (sides.left > 0) {
    const int32_t x = b.left + sides.left / 2;
    context->DrawLine({x, b.top, x, b.bottom - shorten(sides.left)}, sides.left, color);
  }
  if (sides.top > 0) {
    const int32_t y = b.top + sides.top / 2;
    context->DrawLine({b.left, y, b.right - shorten(sides.top), y}, sides.top, color);
  }
  if (sides.right > 0) {
    const int32_t x = b.right - (sides.right + 1) / 2;
    context->DrawLine({x, b.top, x, b.bottom - shorten(sides.right)}, sides.right, color);
  }
  if (sides.bottom > 0) {
    const int32_t y = b.bottom - (sides.bottom + 1) / 2;
    context->DrawLine({b.left, y, b.right - shorten(sides.bottom), y}, sides.bottom, color);
  }
}

bool Control::DrawImage(IRenderContext* context,
                        ImageSpec& descriptor,
                        const std::wstring& modification,
                        int32_t fade) {
  if (descriptor.fileName.empty())
    return false;
  descriptor.ResolveAndLoad(window_ ? window_->SkinFolder() : std::wstring());
  if (!descriptor.image) {
    // A missing file is tried once only.
    descriptor.Reset();
    return false;
  }

  ImageSpec modified;
  const ImageSpec* drawn = &descriptor;
  if (!modification.empty()) {
    modified = descriptor;
    modified.ApplyImageString(modification);
    drawn = &modified;
  }
  const ImageInfo& image = *descriptor.image;
  const UiRect dest = drawn->HasDest() ? drawn->dest.Offset(bounds_.left, bounds_.top) : bounds_;
  const UiRect source =
      drawn->HasSource() ? drawn->source : UiRect{0, 0, image.width, image.height};

  if (&descriptor == &background_image_ && image.FrameCount() >= 2 && image_animation_enabled_ &&
      !descriptor.playing && StartImageAnimation()) {
    // The first frame comes with the repaint the animation asked for.
    return true;
  }

  const int32_t alpha = fade < 0 ? drawn->fade : std::min(fade, 255);
  const size_t frame = descriptor.frameIndex < 0 ? 0 : static_cast<size_t>(descriptor.frameIndex);
  context->DrawImage(paint_rect_, image.Frame(frame), image.alphaChannel, dest, source,
                     drawn->corner, static_cast<uint8_t>(alpha), drawn->xTiled, drawn->yTiled);
  return true;
}

bool Control::StartImageAnimation() {
  ImageSpec& image = background_image_;
  image.frameIndex = 0;
  image_timer_flag_.Cancel();
  const int32_t delay = image.image->FrameDelayMs(0);
  if (delay <= 0) {
    // Without frame timing the image cannot play; show its first frame.
    image_animation_enabled_ = false;
    return false;
  }
  image.playing = true;
  RestartImageTimer(delay);
  Invalidate();
  return true;
}

void Control::RestartImageTimer(int32_t delay_ms) {
  image_timer_flag_.Cancel();
  TimerQueue::Instance()->AddTimer(
      image_timer_flag_.AcquireWeakFlag(), [this] { OnImageAnimationTick(); }, delay_ms,
      TimerQueue::kRepeatForever);
}

void Control::OnImageAnimationTick() {
  ImageSpec& image = background_image_;
  if (!image.image || image.playCount == 0 ||
      (image.playCount > 0 && image.cyclesPlayed >= image.playCount)) {
    StopImageAnimation();
    return;
  }
  const int32_t frames = static_cast<int32_t>(image.image->FrameCount());
  const int32_t old_delay = image.image->FrameDelayMs(static_cast<size_t>(image.frameIndex));
  if (++image.frameIndex >= frames) {
    image.frameIndex = 0;
    ++image.cyclesPlayed;
  }
  if (image.playCount > 0 && image.cyclesPlayed >= image.playCount) {
    image_animation_enabled_ = false;
    StopImageAnimation(kLastFrame);
    const LivenessWatch watch(liveness_);
    NotifyImageAnimationFinished();
    if (!watch.IsDestroyed())
      Invalidate();
    return;
  }
  const int32_t new_delay = image.image->FrameDelayMs(static_cast<size_t>(image.frameIndex));
  if (old_delay == 0 || new_delay == 0) {
    image.playing = false;
    image_timer_flag_.Cancel();
  } else if (new_delay != old_delay) {
    RestartImageTimer(new_delay);
  }
  Invalidate();
}

void Control::NotifyImageAnimationFinished() {
  auto found = image_events_.find(kImageEventAnimationFinished);
  if (found == image_events_.end())
    return;
  EventArgs args;
  args.type = kEventNone;
  args.sender = this;
  args.timestamp = GetTickCount();
  const LivenessWatch watch(liveness_);
  const std::vector<EventHandler> handlers = found->second;
  for (const EventHandler& handler : handlers) {
    handler(&args);
    if (watch.IsDestroyed())
      return;
  }
}

void Control::StopImageAnimation(int32_t frame) {
  ImageSpec& image = background_image_;
  image.playing = false;
  image_timer_flag_.Cancel();
  if (!image.image || frame == -1)
    return;
  const int32_t frames = static_cast<int32_t>(image.image->FrameCount());
  if (frames < 1)
    return;
  if (frame == kLastFrame)
    image.frameIndex = frames - 1;
  else if (frame >= 0 && frame < frames)
    image.frameIndex = frame;
}

void Control::StopImageAnimationIfHidden() {
  if (IsVisible() || !background_image_.playing)
    return;
  StopImageAnimation();
  Invalidate();
}

}  // namespace ui
