#include "runtime/standin/renderer_view.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace cef_standin {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

CefRect ToCefRect(const page::Rect& rect) {
  return CefRect(rect.x, rect.y, rect.width, rect.height);
}

size_t PixelCount(int width, int height) {
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

// A copy of `pixels` for a frame; null when memory ran out, so that a
// frame is dropped rather than the renderer.
std::shared_ptr<const std::vector<uint32_t>> CopyPixels(const std::vector<uint32_t>& pixels) {
  try {
    return std::make_shared<const std::vector<uint32_t>>(pixels);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool ResizePixels(std::vector<uint32_t>* pixels, size_t count) {
  try {
    pixels->assign(count, kWhite);
    return true;
  } catch (const std::bad_alloc&) {
    pixels->clear();
    pixels->shrink_to_fit();
    return false;
  }
}

void Fill(std::vector<uint32_t>* pixels, int stride, const page::Rect& area, uint32_t value) {
  for (int y = area.y; y < area.bottom(); ++y) {
    auto row = pixels->begin() + static_cast<std::ptrdiff_t>(y) * stride;
    std::fill(row + area.x, row + area.right(), value);
  }
}

}  // namespace

RendererView::RendererView(const Params& params)
    : kind_(params.kind), width_(ClampSide(params.width)), height_(ClampSide(params.height)) {
  SetFrameRate(FrameRateOfSettings(params.frame_rate));
}

int RendererView::ClampFrameRate(int frame_rate) {
  return std::clamp(frame_rate, 1, kMaxFrameRate);
}

int RendererView::FrameRateOfSettings(int frame_rate) {
  return frame_rate <= 0 ? kDefaultFrameRate : ClampFrameRate(frame_rate);
}

int RendererView::ClampSide(int side) {
  return std::clamp(side, 0, kMaxSide);
}

void RendererView::Resize(int width, int height) {
  width = ClampSide(width);
  height = ClampSide(height);
  if (width == width_ && height == height_)
    return;
  width_ = width;
  height_ = height;
  DamageAll();
}

void RendererView::DamageAll() {
  damaged_all_ = true;
  popup_dirty_ = true;
}

void RendererView::SetHidden(bool hidden) {
  if (hidden == hidden_)
    return;
  hidden_ = hidden;
  if (!hidden)
    DamageAll();
}

void RendererView::SetFrameRate(int frame_rate) {
  frame_interval_ = std::chrono::duration_cast<Clock::duration>(
      std::chrono::microseconds(1000000 / ClampFrameRate(frame_rate)));
}

void RendererView::MarkPopupDirty() {
  popup_dirty_ = true;
}

int64_t RendererView::DelayBeforeNextFrameMs() const {
  if (!windowless())
    return 0;
  const Clock::duration wait = next_frame_ - Clock::now();
  if (wait <= Clock::duration::zero())
    return 0;
  // Rounded up: a frame made early would take the tick before its own.
  return std::chrono::ceil<std::chrono::milliseconds>(wait).count();
}

RendererView::Output RendererView::Compose(const std::vector<Layer>& layers) {
  Output output;
  if (hidden_ || width_ <= 0 || height_ <= 0)
    return output;
  output.view = ComposeView(layers);
  if (windowless())
    ComposePopup(layers, &output);
  if (windowless() && (output.view || output.popup)) {
    // The next frame waits for the tick after this one.
    const Clock::duration now = Clock::now().time_since_epoch();
    next_frame_ = Clock::time_point((now / frame_interval_ + 1) * frame_interval_);
  }
  return output;
}

std::optional<PaintedFrame> RendererView::ComposeView(const std::vector<Layer>& layers) {
  const page::Rect bounds{0, 0, width_, height_};
  if (pixels_.size() != PixelCount(width_, height_)) {
    if (!ResizePixels(&pixels_, PixelCount(width_, height_)))
      return std::nullopt;
    damaged_all_ = true;
  }
  // Every page's damage is taken, each in its box, even where the whole
  // view is painted anyway: what a page reports now it must not report
  // again with the next frame.
  page::Rect dirty = damaged_all_ ? bounds : page::Rect{};
  damaged_all_ = false;
  for (const Layer& layer : layers) {
    if (!layer.view)
      continue;
    const page::Rect damage = layer.view->TakeDamage();
    const page::Rect placed{damage.x + layer.box.x, damage.y + layer.box.y, damage.width,
                            damage.height};
    dirty = dirty.Union(placed.Intersection(layer.box));
  }
  dirty = dirty.Intersection(bounds);
  if (dirty.IsEmpty())
    return std::nullopt;

  Fill(&pixels_, width_, dirty, kWhite);
  for (size_t i = 0; i < layers.size(); ++i) {
    const Layer& layer = layers[i];
    const page::Rect area = dirty.Intersection(layer.box);
    if (!layer.view || area.IsEmpty())
      continue;
    if (i == 0) {
      layer.view->Paint({pixels_.data(), width_, height_, width_ * 4}, area);
      continue;
    }
    // A child frame paints into a bitmap of its own, from its origin to
    // the end of the area, which is then copied into its box.
    const int width = area.right() - layer.box.x;
    const int height = area.bottom() - layer.box.y;
    std::vector<uint32_t> inner;
    if (!ResizePixels(&inner, PixelCount(width, height)))
      continue;
    const page::Rect inner_area{area.x - layer.box.x, area.y - layer.box.y, area.width,
                                area.height};
    layer.view->Paint({inner.data(), width, height, width * 4}, inner_area);
    for (int y = 0; y < area.height; ++y) {
      const uint32_t* from =
          inner.data() + PixelCount(width, inner_area.y + y) + static_cast<size_t>(inner_area.x);
      uint32_t* to = pixels_.data() + PixelCount(width_, area.y + y) + static_cast<size_t>(area.x);
      std::memcpy(to, from, static_cast<size_t>(area.width) * sizeof(uint32_t));
    }
  }
  PaintedFrame frame;
  frame.pixels = CopyPixels(pixels_);
  if (!frame.pixels)
    return std::nullopt;
  frame.width = width_;
  frame.height = height_;
  frame.dirty = ToCefRect(dirty);
  return frame;
}

void RendererView::ComposePopup(const std::vector<Layer>& layers, Output* output) {
  page::PageView* owner = nullptr;
  page::Rect rect;
  for (const Layer& layer : layers) {
    const page::Rect open = layer.view ? layer.view->PopupRect() : page::Rect{};
    if (!open.IsEmpty()) {
      owner = layer.view;
      rect = {open.x + layer.box.x, open.y + layer.box.y, open.width, open.height};
      break;
    }
  }
  const CefRect shown = ToCefRect(rect);
  if (shown != popup_rect_) {
    PopupChange change;
    change.shown = owner != nullptr;
    change.rect = shown;
    output->popup_change = change;
    popup_rect_ = shown;
    popup_dirty_ = true;
  }
  if (!owner || !popup_dirty_)
    return;
  popup_dirty_ = false;
  std::vector<uint32_t> pixels;
  if (!ResizePixels(&pixels, PixelCount(rect.width, rect.height)))
    return;
  owner->PaintPopup({pixels.data(), rect.width, rect.height, rect.width * 4});
  PaintedFrame frame;
  frame.pixels = std::make_shared<const std::vector<uint32_t>>(std::move(pixels));
  frame.width = rect.width;
  frame.height = rect.height;
  frame.dirty = CefRect(0, 0, rect.width, rect.height);
  output->popup = frame;
}

}  // namespace cef_standin
