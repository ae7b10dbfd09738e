#pragma once

#include <cstdint>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/control/control.h"
#include "ui/control/state_image.h"

namespace ui {

class ScrollableBox;

// The two directions a box scrolls in, and the steps a bar, a key or the
// wheel asks of it along one of them.
enum class ScrollAxis { kVertical, kHorizontal };
enum class ScrollStep { kLineBack, kLineForward, kPageBack, kPageForward, kHome, kEnd };

// A scroll bar: two buttons, a thumb and the rail between them. Owned by a
// scrollable box it scrolls that box; standing alone (a skin's
// "ScrollBar") it scrolls its own value and raises "scrollchange" on
// itself when input moves it.
class ScrollBar : public Control {
 public:
  // Positions beyond this are refused: thumb arithmetic stays exact in a
  // double, and 2^53 is more than any content can need.
  static constexpr int64_t kMaxRange = int64_t{1} << 53;
  static constexpr int32_t kDefaultThickness = 16;
  static constexpr int32_t kRepeatIntervalMs = 50;
  // Ticks of the press-repeat timer before a held press repeats.
  static constexpr int32_t kRepeatDelayTicks = 5;

  ScrollBar();
  ~ScrollBar() override;

  // Control.
  void SetBounds(const UiRect& rect) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override;
  int32_t GetTabFlags() const override;
  bool HasHotState() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintContent(IRenderContext* context, const UiRect& paint_rect) override;
  bool HandleEvent(EventArgs* args) override;
  bool OnMouseEnter(EventArgs* args) override;
  bool OnMouseLeave(EventArgs* args) override;
  void ClearImageCache() override;

  ScrollableBox* GetOwner() const { return owner_; }
  void SetOwner(ScrollableBox* owner) { owner_ = owner; }

  // Negative ranges become 0, ranges above kMaxRange kMaxRange. A range
  // of 0 hides the bar.
  void SetScrollRange(int64_t range);
  int64_t GetScrollRange() const { return range_; }
  // Kept within 0 … range.
  void SetBarPos(int64_t pos);
  int64_t GetScrollPos() const { return scroll_pos_; }
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal);
  int32_t GetLineSize() const { return line_size_; }
  void SetLineSize(int32_t size) { line_size_ = size; }
  int32_t GetThumbMinLength() const { return thumb_min_length_; }
  void SetThumbMinLength(int32_t length);
  bool IsAutoHide() const { return auto_hide_; }
  void SetAutoHide(bool auto_hide) { auto_hide_ = auto_hide; }
  bool IsButton1Shown() const { return show_button1_; }
  bool IsButton2Shown() const { return show_button2_; }

  // The bar's size across its direction, never negative.
  int32_t Thickness() const;
  const UiRect& Button1Rect() const { return button1_rect_; }
  const UiRect& Button2Rect() const { return button2_rect_; }
  const UiRect& ThumbRect() const { return thumb_rect_; }
  ControlState GetThumbState() const { return thumb_state_; }
  ControlState GetButton1State() const { return button1_state_; }
  ControlState GetButton2State() const { return button2_state_; }

 private:
  // What a press held down repeats.
  enum class Press { kNone, kButton1, kButton2, kThumb, kRailBefore, kRailAfter };

  // Lays out the buttons and the thumb inside the bounds.
  void ComputeParts();
  void SetPartStates(ControlState state);
  StateImage* ImageSetByPrefix(const std::wstring& name, std::wstring* state_name);

  void OnPress(EventArgs* args);
  void OnRelease(EventArgs* args);
  void OnDrag(EventArgs* args);
  void OnRepeatTick();
  // A line or page step: the owner's, or the bar's own value without one.
  void Step(ScrollStep step);
  ScrollAxis Axis() const { return horizontal_ ? ScrollAxis::kHorizontal : ScrollAxis::kVertical; }
  // A stand-alone bar moves its own value.
  void MoveOwnValue(int64_t pos);
  // The owner's position along the bar's direction becomes |pos|.
  void ApplyDragPosition();
  // Mouse position relative to the bar's coordinates (scroll offset added).
  UiPoint BarPoint(UiPoint window_point) const;
  bool PointBeyondThumb(UiPoint point) const;

  void PaintButton(IRenderContext* context,
                   StateImage& images,
                   ControlState part_state,
                   const UiRect& rect);
  bool DrawState(IRenderContext* context, StateImage& images, ControlState state);
  void SetPartModifier(const UiRect& rect);

  bool horizontal_ = false;
  bool show_button1_ = true;
  bool show_button2_ = true;
  bool auto_hide_ = true;
  int64_t range_ = 100;
  int64_t scroll_pos_ = 0;
  int32_t line_size_ = 8;
  int32_t thumb_min_length_ = 30;
  int64_t drag_start_pos_ = 0;
  int64_t drag_delta_ = 0;
  int32_t repeat_ticks_ = 0;
  ScrollableBox* owner_ = nullptr;
  UiPoint drag_start_point_;
  UiRect button1_rect_;
  UiRect button2_rect_;
  UiRect thumb_rect_;
  ControlState button1_state_ = ControlState::kNormal;
  ControlState button2_state_ = ControlState::kNormal;
  ControlState thumb_state_ = ControlState::kNormal;
  std::wstring part_modifier_;
  StateImage bk_images_;
  StateImage button1_images_;
  StateImage button2_images_;
  StateImage thumb_images_;
  StateImage rail_images_;
  kbase::WeakCallbackFlag repeat_flag_;
  Press press_ = Press::kNone;
};

}  // namespace ui
