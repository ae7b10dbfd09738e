#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/standin/page/page_view.h"
#include "runtime/standin/painted_frame.h"

namespace cef_standin {

// The painted view of one browser in the renderer: the frame kept from
// paint to paint so that only what changed is painted again, whether the
// view is shown, and, for a windowless browser, the pace of its frames and
// its <select> list as a pop-up widget painted apart from the page.
// Renderer thread only.
class RendererView {
 public:
  enum class Kind { kWindowed, kWindowless };

  // Frame rates of windowless views, frames a second.
  static constexpr int kDefaultFrameRate = 30;
  static constexpr int kMaxFrameRate = 60;
  // The largest view side painted; a larger view is clamped to it, so
  // that a frame never takes more than 64 MiB.
  static constexpr int kMaxSide = 4096;

  struct Params {
    Kind kind = Kind::kWindowed;
    int width = 0;
    int height = 0;
    // Windowless views only: 0 or less for the default.
    int frame_rate = 0;
  };

  // A frame's page in the composed view: the main frame's first, at the
  // view's origin, then child frames in their boxes (view coordinates).
  // A null view paints white.
  struct Layer {
    page::PageView* view = nullptr;
    page::Rect box;
  };

  // What one composition made; each part is absent when it did not change.
  struct Output {
    std::optional<PaintedFrame> view;
    std::optional<PopupChange> popup_change;
    std::optional<PaintedFrame> popup;
  };

  explicit RendererView(const Params& params);
  RendererView(const RendererView&) = delete;
  RendererView& operator=(const RendererView&) = delete;

  // A frame rate within 1 to 60.
  static int ClampFrameRate(int frame_rate);
  // The rate of the browser settings: 0 or less for the default.
  static int FrameRateOfSettings(int frame_rate);
  // Each side within 0 to kMaxSide; negative sizes are 0.
  static int ClampSide(int side);

  bool windowless() const { return kind_ == Kind::kWindowless; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool hidden() const { return hidden_; }

  // The next frame is painted whole after each of these.
  void Resize(int width, int height);
  void DamageAll();
  void SetHidden(bool hidden);

  void SetFrameRate(int frame_rate);
  // The pop-up's look changed: it is painted again with the next frame.
  void MarkPopupDirty();
  // Milliseconds to wait before the next frame may be made; 0 for now.
  int64_t DelayBeforeNextFrameMs() const;

  // Paints what changed since the last composition: nothing while hidden
  // or without pixels. Callers wait DelayBeforeNextFrameMs first.
  Output Compose(const std::vector<Layer>& layers);

 private:
  using Clock = std::chrono::steady_clock;

  std::optional<PaintedFrame> ComposeView(const std::vector<Layer>& layers);
  void ComposePopup(const std::vector<Layer>& layers, Output* output);

  const Kind kind_;
  int width_ = 0;
  int height_ = 0;
  bool hidden_ = false;
  bool damaged_all_ = true;
  bool popup_dirty_ = false;
  CefRect popup_rect_;
  // The view's pixels, width_ x height_, as last painted.
  std::vector<uint32_t> pixels_;
  // Windowless views make frames on the ticks of their frame interval
  // only, at most one a tick.
  Clock::duration frame_interval_{};
  Clock::time_point next_frame_{};
};

}  // namespace cef_standin
