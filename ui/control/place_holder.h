#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/control/control_types.h"
#include "ui/control/liveness_watch.h"
#include "ui/render/geometry.h"

namespace ui {

class Box;
class ControlHost;
class IRenderContext;

// What layout needs of a control: name, window, parent, sizing rules,
// bounds, alignment, floating, visibility and the stale-measure and
// stale-arrangement flags; and the operations that request layout and
// repainting. The virtual operations keep this order.
class PlaceHolder : public virtual kbase::SupportWeakCallback {
 public:
  PlaceHolder();
  ~PlaceHolder() override;

  virtual ControlHost* GetWindow() const;
  virtual void SetWindow(ControlHost* window);
  // Boxes pass the call on to their children first, with themselves as
  // parent. |init| runs Init when there is a parent.
  virtual void SetWindowAndParent(ControlHost* window, Box* parent, bool init);
  virtual void Init();
  // Subclasses create their parts here.
  virtual void OnInit();
  virtual bool IsVisible() const;
  // The size the control wants of |available|; a direction may be kStretch.
  virtual UiSize Measure(UiSize available);
  // Window client coordinates; without |include_shadow| relative to the
  // window's corner inside its shadow.
  virtual UiRect GetBounds(bool include_shadow = true) const;
  virtual void SetBounds(const UiRect& rect);
  virtual void RequestLayout();
  // Marks this control and its auto-sized ancestors stale and lays out
  // from the nearest ancestor whose size does not depend on its content.
  virtual void RequestAncestorLayout();
  virtual void Invalidate();
  virtual void RequestSelfLayout();

  // The rectangle the parent's layout gave, as GetBounds(true) without the
  // virtual call; for walks over many controls.
  const UiRect& bounds() const { return bounds_; }

  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }
  Box* GetParent() const { return parent_; }

  int32_t GetFixedWidth() const { return fixed_width_; }
  int32_t GetFixedHeight() const { return fixed_height_; }
  // Accept a pixel count, kStretch or kAuto; other negatives are ignored.
  // Without |request_layout| a change only marks the measure stale.
  void SetFixedWidth(int32_t width, bool request_layout = true);
  void SetFixedHeight(int32_t height);
  bool IsAutoSized() const { return fixed_width_ == kAuto || fixed_height_ == kAuto; }

  int32_t GetMinWidth() const { return min_width_; }
  int32_t GetMinHeight() const { return min_height_; }
  int32_t GetMaxWidth() const { return max_width_; }
  int32_t GetMaxHeight() const { return max_height_; }
  // Negative minimums are ignored.
  void SetMinWidth(int32_t width);
  void SetMinHeight(int32_t height);
  // A negative maximum means no maximum.
  void SetMaxWidth(int32_t width);
  void SetMaxHeight(int32_t height);

  HorAlign GetHorAlign() const { return hor_align_; }
  VerAlign GetVerAlign() const { return ver_align_; }
  // Taken into account the next time the parent arranges its children; no
  // layout is requested.
  void SetHorAlign(HorAlign align);
  void SetVerAlign(VerAlign align);

  bool IsFloat() const { return is_float_; }
  void SetFloat(bool is_float);

  bool NeedsMeasure() const { return needs_measure_; }
  bool NeedsArrange() const { return needs_arrange_; }

  // Layout bookkeeping that changes nothing a layout computes, only how
  // much of the tree it visits.
  //
  // Clean: the control and its subtree stand exactly where arranging them
  // again inside the current bounds would put them, because nothing that
  // decides where they go has changed since they were last arranged.
  // Every such change marks the control and, up to the first ancestor that
  // is already marked, its ancestors; a visible control that is not clean
  // never has a clean parent.
  bool IsLayoutClean() const { return layout_clean_; }
  // Some control below this one (not this one itself) waits for the
  // window's layout pass to arrange it; every ancestor of such a control
  // carries the mark, so the pass searches the marked paths only.
  bool HasArrangePendingBelow() const { return arrange_pending_below_; }
  // How many layout-relevant changes the controls of this thread have
  // seen; an arrangement during which the count moved is not clean.
  static uint32_t LayoutChangeCount();

  bool IsCacheEnabled() const { return use_cache_; }
  void SetCacheEnabled(bool enabled);
  bool IsCacheDirty() const { return cache_dirty_; }

  // Maps bounds to where the control is drawn inside scrolled ancestors.
  UiPoint GetScrollOffset() const;

 protected:
  // Follow-up of a changed minimum or maximum size.
  void OnSizeLimitChanged();
  // Something that decides where this control or its subtree goes has
  // changed: neither it nor its ancestors are clean any more.
  void MarkLayoutChanged();
  // Tells the ancestors that this control, or one below it, waits for the
  // layout pass.
  void PropagateArrangePending();
  // Follow-up of a change of IsVisible(): the parent's arrangement changes,
  // and a control that waits for arrangement becomes findable again.
  void OnVisibilityChanged();

  // What a layout pass reads of every control comes first, so that it
  // shares as few cache lines as possible; what a box that skips or moves
  // its subtree reads (the pointers, the bounds and the flags) comes
  // before the sizes.
  ControlHost* window_ = nullptr;
  Box* parent_ = nullptr;
  UiRect bounds_;
  bool is_float_ = false;
  bool needs_measure_ = true;
  bool visible_ = true;
  bool internal_visible_ = true;
  bool needs_arrange_ = true;
  bool layout_clean_ = false;
  bool arrange_pending_below_ = false;
  // Control's: whether its own handler lists hold one that sees resize
  // events; kept here, on the cache line SetBounds reads anyway, rather
  // than with the lists.
  bool own_resize_handler_ = false;
  int32_t fixed_width_ = kStretch;
  int32_t fixed_height_ = kStretch;
  int32_t min_width_ = -1;
  int32_t min_height_ = -1;
  int32_t max_width_ = kDefaultMaxSize;
  int32_t max_height_ = kDefaultMaxSize;
  // The control's margin and last measured size (Control's; kept here with
  // the rest of the layout data).
  UiPadding margin_;
  UiSize measured_size_;
  HorAlign hor_align_ = HorAlign::kLeft;
  VerAlign ver_align_ = VerAlign::kTop;
  bool use_cache_ = false;
  bool cache_dirty_ = false;
  LivenessWatch::Anchor liveness_;
  std::wstring name_;
  std::unique_ptr<IRenderContext> cache_context_;
};

}  // namespace ui
