#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/control/animation_player.h"
#include "ui/control/box.h"
#include "ui/control/scroll_bar.h"

namespace ui {

// A box whose children may need more room than it has. It lays them out
// unscrolled, shows the part its scroll position selects and owns up to two
// scroll bars whose ranges follow the content at every layout. The wheel,
// the keys, touch and pointer dragging scroll it. The virtual operations
// added here keep this order, after those of Box.
class ScrollableBox : public Box {
 public:
  static constexpr int32_t kDefaultUnit = 30;
  // A unit of 0 (or less) steps this far.
  static constexpr int32_t kFallbackUnit = 20;
  // Children this far outside the view give back their decoded images.
  static constexpr int32_t kImageWindowMargin = 730;

  explicit ScrollableBox(std::unique_ptr<Layout> layout = nullptr);
  ~ScrollableBox() override;

  // PlaceHolder, Control and Box.
  void SetWindowAndParent(ControlHost* window, Box* parent, bool init) override;
  void SetBounds(const UiRect& rect) override;
  void SetMouseEnabled(bool enabled) override;
  Control* FindControl(FindControlProc proc,
                       void* data,
                       uint32_t flags,
                       UiPoint scroll_offset = {}) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintChildren(IRenderContext* context, const UiRect& paint_rect) override;
  void ClearImageCache() override;
  bool HandleEvent(EventArgs* args) override;
  bool OnMouseEnter(EventArgs* args) override;
  bool OnMouseLeave(EventArgs* args) override;
  bool HasScrollRange() const override;
  bool HasVerticalScrollRange() const override;
  UiPoint GetScrollPos() const override;

  // The bars' ranges; 0 for a missing bar.
  virtual UiSize GetScrollRange() const;
  // Kept within 0 … range; a change invalidates and raises "scrollchange".
  virtual void SetScrollPos(UiPoint pos);
  virtual void SetScrollPosY(int32_t y);
  virtual void SetScrollPosX(int32_t x);
  // A step of -1, or one larger than the unit, is one unit.
  virtual void LineUp(int32_t step = -1, bool animate = true);
  virtual void LineDown(int32_t step = -1, bool animate = true);
  virtual void LineLeft(int32_t step = -1);
  virtual void LineRight(int32_t step = -1);
  virtual void PageUp();
  virtual void PageDown();
  virtual void HomeUp();
  // |rearrange| lays out first; |animate| slides the content into place.
  virtual void EndDown(bool rearrange = true, bool animate = true);
  virtual void PageLeft();
  virtual void PageRight();
  virtual void HomeLeft();
  virtual void EndRight();
  virtual void TouchUp(int32_t distance);
  virtual void TouchDown(int32_t distance);
  virtual void EnableScrollBar(bool vertical, bool horizontal);
  virtual ScrollBar* GetVerticalScrollBar() const;
  virtual ScrollBar* GetHorizontalScrollBar() const;
  virtual void ProcessVerticalBar(const UiRect& rect, int32_t required);
  virtual void ProcessHorizontalBar(const UiRect& rect, int32_t required);
  virtual UiSize ArrangeForScroll(const UiRect& content);

  // One step along |axis| through the operations above (LineUp … EndDown
  // and their horizontal twins). |distance| is the line step's; vertical
  // line steps animate.
  void Scroll(ScrollAxis axis, ScrollStep step, int32_t distance = -1);

  int32_t GetVerticalUnit() const { return vertical_unit_; }
  void SetVerticalUnit(int32_t unit) { vertical_unit_ = unit; }
  int32_t GetHorizontalUnit() const { return horizontal_unit_; }
  void SetHorizontalUnit(int32_t unit) { horizontal_unit_ = unit; }
  bool IsHoldEnd() const { return hold_end_; }
  void SetHoldEnd(bool hold_end) { hold_end_ = hold_end; }
  bool IsScrollBarFloat() const { return scroll_bar_float_; }
  void SetScrollBarFloat(bool is_float);
  UiPadding GetScrollBarPadding() const { return scroll_bar_padding_; }
  void SetScrollBarPadding(const UiPadding& padding);
  AnimationPlayer& GetScrollAnimation() { return scroll_animation_; }

 private:
  static bool HasRange(const ScrollBar* bar) { return bar && bar->GetScrollRange() != 0; }
  ScrollBar* BarOf(ScrollAxis axis) const;
  // The bar's range and room along |axis| follow |required|.
  void ProcessBar(ScrollAxis axis, const UiRect& rect, int32_t required);
  // Where the bar along |axis| lies in |rect|, inside the bar padding.
  UiRect BarRect(ScrollAxis axis, const UiRect& rect, int32_t thickness) const;
  // Lays out again with the current bounds, unless the bars keep asking
  // for it (content whose size depends on whether a bar takes room).
  void Relayout();
  void AnimateVertical(int32_t from, int64_t target);
  // Decoded images for the children near the view, none for the others.
  void RefreshImageWindow(bool downward);
  void FadeBars(bool visible);
  std::unique_ptr<ScrollBar> CreateBar(bool horizontal);
  // Keys and the wheel along |axis|, touch and pointer drags vertically;
  // false for input that does not scroll.
  bool HandleScrollInput(ScrollAxis axis, EventArgs* args);
  bool HandleTouchDrag(EventArgs* args);
  void LineStep(ScrollAxis axis, bool forward, int32_t step, bool animate);
  void PageStep(ScrollAxis axis, bool forward);
  // The position along |axis| becomes |pos|, the other one stays.
  void MoveAlong(ScrollAxis axis, int64_t pos);
  // The line step along |axis|: its unit, or the fallback for a unit of 0.
  int32_t UnitOf(ScrollAxis axis) const;

  std::unique_ptr<ScrollBar> vertical_bar_;
  std::unique_ptr<ScrollBar> horizontal_bar_;
  int32_t vertical_unit_ = kDefaultUnit;
  int32_t horizontal_unit_ = kDefaultUnit;
  bool in_scroll_bar_update_ = false;
  bool hold_end_ = false;
  bool scroll_bar_float_ = true;
  UiPadding scroll_bar_padding_;
  UiPoint last_touch_point_ = {-1, -1};
  AnimationPlayer scroll_animation_;
  AnimationPlayer render_offset_animation_;
  int32_t relayout_depth_ = 0;
};

}  // namespace ui
