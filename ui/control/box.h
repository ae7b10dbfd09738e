#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/control/control.h"
#include "ui/control/layout.h"

namespace ui {

// A control that owns an ordered list of children and a layout that
// measures and places them. Children are painted and laid out in list
// order. The virtual operations added here keep this order.
//
// Ownership: Add and AddAt take the control when they return true;
// removed children are deleted (at once, or by the window later when
// delayed destruction is on) unless auto-destruction is off.
class Box : public Control {
 public:
  // Without a layout the box places every child by its own alignment and
  // margins.
  explicit Box(std::unique_ptr<Layout> layout = nullptr);
  ~Box() override;

  // PlaceHolder and Control.
  void SetWindowAndParent(ControlHost* window, Box* parent, bool init) override;
  UiSize Measure(UiSize available) override;
  void SetBounds(const UiRect& rect) override;
  void SetInternalVisible(bool visible) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  int32_t GetTabFlags() const override;
  Control* FindControl(FindControlProc proc,
                       void* data,
                       uint32_t flags,
                       UiPoint scroll_offset = {}) override;
  bool DispatchEvent(EventArgs* args) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintChildren(IRenderContext* context, const UiRect& paint_rect) override;
  void AttachCachedImage() override;
  void UnloadImages() override;
  void ClearImageCache() override;

  // The first visible, enabled list element from |start| in the given
  // direction; backwards falls back to the first one forwards. -1 if none.
  virtual int32_t FindSelectableIndex(int32_t start, bool forward) const;
  virtual Control* GetItemAt(int32_t index) const;
  virtual int32_t GetItemIndex(const Control* control) const;
  virtual bool SetItemIndex(Control* control, int32_t index);
  virtual int32_t GetCount() const;
  virtual bool Add(Control* control);
  // |index| may equal the count (appends).
  virtual bool AddAt(Control* control, int32_t index);
  virtual bool Remove(Control* control);
  virtual bool RemoveAt(int32_t index);
  virtual void RemoveAll();
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool auto_destroy);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool delayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool enabled);
  virtual Layout* GetLayout() const;
  virtual void ReplaceLayout(std::unique_ptr<Layout> layout);
  virtual UiRect GetPaddingBounds() const;
  // Scrolling, answered by scrollable boxes: whether a scroll bar has a
  // range, and the scroll position that shifts the children.
  virtual bool HasScrollRange() const;
  virtual bool HasVerticalScrollRange() const;
  virtual UiPoint GetScrollPos() const;

  // Handlers for events whose sender is this box or one of its
  // descendants; they run after the sender's own.
  void AttachBubbledEvent(EventType type, EventHandler handler);
  // For the window builder's skin handlers.
  void AttachXmlBubbledEvent(EventType type, EventHandler handler);
  // Whether a bubbled handler (code or skin) would see an event of |type|.
  bool HasBubbledHandler(EventType type) const {
    return bubbled_events_.Listens(type) || xml_bubbled_events_.Listens(type);
  }

  // The control of that name (ignoring case) in this box's subtree.
  Control* FindSubControl(const std::wstring& name);

  // After a layout pass: clears the arrange-pending marks of the visible
  // paths below which nothing waits any more. Returns whether this box or
  // a control below it still waits.
  bool RefreshArrangePending();

  const std::vector<Control*>& children() const { return children_; }

  // True while this box lays out its children after it invalidated its
  // whole new rectangle, or inside an ancestor that did: whatever they
  // move is repainted anyway, since a control's own area is clipped to
  // its ancestors.
  bool IsChildAreaInvalidated() const { return child_area_invalidated_; }
  // True while this box moves its children along with itself, which no
  // resize handler sees.
  bool IsMovingUnobserved() const { return moving_unobserved_; }

 protected:
  // SetBounds in parts, for boxes that arrange their children their own
  // way: PlaceBox places the box itself (false when a resize handler
  // destroyed it); an arrangement of the children after it goes between
  // BeginArrange (given the bounds before PlaceBox) and EndArrange (given
  // what BeginArrange returned).
  bool PlaceBox(const UiRect& rect);
  bool BeginArrange(const UiRect& old_bounds);
  void EndArrange(bool was_covering);
  // Deletes a removed child now, or hands it to the window to delete later.
  void DisposeChild(Control* child);
  // A removed child that lives on forgets this box.
  void ReleaseChild(Control* child);
  void PlaceIntoList(Control* control, size_t index);

  EventMap xml_bubbled_events_;
  std::unique_ptr<Layout> layout_;
  bool auto_destroy_ = true;
  bool delayed_destroy_ = true;
  bool mouse_child_enabled_ = true;
  std::vector<Control*> children_;
  EventMap bubbled_events_;

 private:
  // How a clean box that only moves may move its children along instead of
  // arranging them again: the layouts whose arithmetic does not depend on
  // where the box is. A tile centres its children with divisions that
  // truncate toward zero, which shifts alike only at positive coordinates.
  enum class ShiftRule { kNever, kAnywhere, kPositiveOnly };
  static ShiftRule ShiftRuleOf(const Layout& layout);

  // Whether the children of this clean box may follow it to |rect| by the
  // move alone: same size, a layout that allows it, nothing near the
  // saturation limits, and no resize handler that could react to a move.
  bool CanShiftTo(const UiRect& rect) const;
  // Places the box at |rect| and gives every visible child its rectangle
  // moved by as much.
  void ShiftTo(const UiRect& rect);
  // After the children were arranged: whether the box is clean now, and
  // whether a control below it still waits for the layout pass.
  // |changes_before| is LayoutChangeCount() at the start.
  void FinishArrangement(uint32_t changes_before);
  void OnBubbledHandlersChanged();
  // Whether the box's SetBounds that just ran leaves its children nothing
  // to invalidate; |old_bounds| are the bounds before it.
  bool CoversChildAreas(const UiRect& old_bounds) const;
  bool RunBubbledHandlers(EventArgs* args, const LivenessWatch& watch, bool* result);
  Control* FindInChildren(FindControlProc proc, void* data, uint32_t flags, UiPoint scroll_offset);

  bool child_area_invalidated_ = false;
  bool moving_unobserved_ = false;
  ShiftRule shift_rule_ = ShiftRule::kNever;
};

// Children side by side.
class HBox : public Box {
 public:
  HBox();
};

// Children one below the other.
class VBox : public Box {
 public:
  VBox();
};

// Children in a grid of equal cells.
class TileBox : public Box {
 public:
  TileBox();
};

}  // namespace ui
