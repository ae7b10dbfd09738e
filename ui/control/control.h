#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/callback/weak_callback.h"
#include "ui/control/animation_manager.h"
#include "ui/control/event.h"
#include "ui/control/image_spec.h"
#include "ui/control/place_holder.h"
#include "ui/control/state_color_map.h"
#include "ui/control/state_image.h"

namespace ui {

class IRenderContext;

// Opaque data code attaches to a control; the control owns it.
class UserData {
 public:
  virtual ~UserData() = default;
};

// Finds a control during FindControl: returns |control| when it matches,
// else null.
using FindControlProc = Control* (*)(Control* control, void* data);

// Key of the handlers told when the background image animation ends.
constexpr int32_t kImageEventAnimationFinished = 1;

// Every visible, interactive element of a window: skin attributes, state,
// colours, images, border, alpha, tool tip, cursor, painting, hit testing
// and events. The virtual operations keep this order, after those of
// PlaceHolder.
class Control : public PlaceHolder {
 public:
  Control();
  ~Control() override;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // PlaceHolder.
  UiSize Measure(UiSize available) override;
  // The resize event is only sent when a handler listens to it (its own
  // lists or its boxes' bubbled ones); overriding HandleEvent alone does
  // not make a control see it.
  void SetBounds(const UiRect& rect) override;

  virtual ImageSpec* GetSizingImage();
  virtual CursorType GetCursorType() const;
  virtual std::wstring GetToolTipText() const;
  virtual std::string GetToolTipTextUtf8() const;
  // Every "<n>" becomes a line break.
  virtual void SetToolTipText(const std::wstring& text);
  virtual void SetToolTipTextUtf8(const std::string& text);
  virtual void SetToolTipTextId(const std::wstring& id);
  virtual void SetToolTipTextIdUtf8(const std::string& id);
  virtual void SetToolTipWidth(int32_t width);
  virtual int32_t GetToolTipWidth() const;
  virtual bool IsContextMenuEnabled() const;
  virtual void SetContextMenuEnabled(bool enabled);
  virtual std::wstring GetDataId() const;
  virtual std::string GetDataIdUtf8() const;
  virtual void SetDataId(const std::wstring& id);
  virtual void SetDataIdUtf8(const std::string& id);
  virtual UserData* GetUserData() const;
  virtual void SetUserData(std::unique_ptr<UserData> data);
  virtual void SetFadeVisible(bool visible);
  virtual void SetInternalVisible(bool visible);
  virtual void SetVisible(bool visible);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool enabled);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool enabled);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool enabled);
  virtual bool IsFocused() const;
  virtual void SetFocus();
  virtual int32_t GetTabFlags() const;
  virtual bool IsMouseCaptured() const;
  virtual void SetMouseCaptured(bool captured);
  virtual bool IsActivatable() const;
  virtual void Activate();
  // |data| is a UiPoint* for hit tests (kFindHitTest). Boxes add
  // |scroll_offset| to the point they pass to their children.
  virtual Control* FindControl(FindControlProc proc,
                               void* data,
                               uint32_t flags,
                               UiPoint scroll_offset = {});
  virtual UiPadding GetMargin() const;
  virtual void SetMargin(const UiPadding& margin);
  // The size of the control's text; |needs_measure| may be set again when
  // the text must be measured once more.
  virtual UiSize MeasureText(UiSize available, bool* needs_measure);
  virtual bool ContainsPointScrolled(UiPoint point) const;
  virtual bool DispatchEvent(EventArgs* args);
  virtual bool HasHotState();
  virtual void ApplyAttribute(const std::wstring& name, const std::wstring& value);
  virtual void Draw(IRenderContext* context, const UiRect& paint_rect);
  virtual void PaintContent(IRenderContext* context, const UiRect& paint_rect);
  virtual void PaintChildren(IRenderContext* context, const UiRect& paint_rect);
  virtual void AttachCachedImage();
  virtual void UnloadImages();
  virtual void ClearImageCache();
  virtual bool HandleEvent(EventArgs* args);
  virtual bool OnMouseEnter(EventArgs* args);
  virtual bool OnMouseLeave(EventArgs* args);
  virtual bool OnButtonDown(EventArgs* args);
  virtual bool OnButtonUp(EventArgs* args);
  virtual void PaintBackgroundColor(IRenderContext* context);
  virtual void PaintBackgroundImage(IRenderContext* context);
  virtual void PaintStateColor(IRenderContext* context);
  virtual void PaintStateImage(IRenderContext* context);
  virtual void PaintText(IRenderContext* context);
  virtual void PaintBorder(IRenderContext* context);
  // Beyond the base set: true for list elements, which keyboard selection
  // in boxes stops at.
  virtual bool IsListItem() const;

  // Skin attributes.
  void ApplyAttributeList(const std::wstring& list);
  void ApplyClass(const std::wstring& names);

  ControlState GetState() const { return state_; }
  void SetState(ControlState state);
  bool IsNoFocus() const { return no_focus_; }
  void SetNoFocus(bool no_focus) { no_focus_ = no_focus; }
  bool IsClipEnabled() const { return clip_enabled_; }
  void SetClipEnabled(bool enabled) { clip_enabled_ = enabled; }
  bool IsReceivePointer() const { return receive_pointer_; }
  void SetReceivePointer(bool receive) { receive_pointer_ = receive; }
  bool IsReleaseOnFocusLoss() const { return release_on_focus_loss_; }
  void SetReleaseOnFocusLoss(bool release) { release_on_focus_loss_ = release; }
  void SetCursorType(CursorType type) { cursor_type_ = type; }
  const std::wstring& GetToolTipTextId() const { return tool_tip_text_id_; }

  int32_t GetBorderSize() const { return border_size_; }
  void SetBorderSize(int32_t size);
  UiPadding GetBorderSizes() const { return border_sizes_; }
  void SetBorderSizes(const UiPadding& sizes);
  void SetLeftBorderSize(int32_t size);
  void SetTopBorderSize(int32_t size);
  void SetRightBorderSize(int32_t size);
  void SetBottomBorderSize(int32_t size);
  UiSize GetBorderRound() const { return border_round_; }
  void SetBorderRound(UiSize round);
  const std::wstring& GetBorderColor() const { return border_color_; }
  void SetBorderColor(const std::wstring& color_name);
  const std::wstring& GetBackgroundColor() const { return background_color_; }
  void SetBackgroundColor(const std::wstring& color_name);
  const std::wstring& GetBackgroundColor2() const { return background_color2_; }
  void SetBackgroundColor2(const std::wstring& color_name);

  int32_t GetAlpha() const { return alpha_; }
  // Kept within 0 to 255.
  void SetAlpha(int32_t alpha);
  int32_t GetHotAlpha() const { return hot_alpha_; }
  void SetHotAlpha(int32_t alpha);
  UiPoint GetRenderOffset() const { return render_offset_; }
  void SetRenderOffset(UiPoint offset);
  void SetRenderOffsetX(int32_t x);
  void SetRenderOffsetY(int32_t y);

  std::wstring GetStateColor(ControlState state) const;
  // Setting the hot colour switches the hot fade on.
  void SetStateColor(ControlState state, const std::wstring& color_name);
  std::wstring GetStateImage(ControlState state) const;
  // Background state set; the hot image switches the hot fade on.
  void SetStateImage(ControlState state, const std::wstring& image);
  std::wstring GetForeStateImage(ControlState state) const;
  void SetForeStateImage(ControlState state, const std::wstring& image);
  const ImageSpec& GetBackgroundImage() const { return background_image_; }
  void SetBackgroundImage(const std::wstring& image);
  StateImageMap& GetStateImageMap() { return state_images_; }

  // Draws |descriptor| over the control with the pairs of |modification|
  // overriding a copy of its properties; |fade| -1 keeps the image's own.
  // False when there is nothing to draw.
  bool DrawImage(IRenderContext* context,
                 ImageSpec& descriptor,
                 const std::wstring& modification = {},
                 int32_t fade = -1);
  // Stops the background image animation on |frame|: -1 keeps the current
  // frame, 0 the first, 0xFFFF the last.
  void StopImageAnimation(int32_t frame = -1);
  bool IsImageAnimationEnabled() const { return image_animation_enabled_; }
  void AttachImageEvent(int32_t key, EventHandler handler);

  // Builds an event about this control and dispatches it here. A point of
  // (0, 0) means the window's last mouse position.
  bool SendEvent(EventType type,
                 uintptr_t wparam = 0,
                 intptr_t lparam = 0,
                 wchar_t key_char = 0,
                 float pressure = 0.0f,
                 UiPoint point = {});
  void AttachEvent(EventType type, EventHandler handler);
  // For the window builder's skin handlers.
  void AttachXmlEvent(EventType type, EventHandler handler);

  AnimationManager& GetAnimationManager() { return animations_; }
  UiSize GetMeasuredSize() const { return measured_size_; }
  const UiRect& GetPaintRect() const { return paint_rect_; }

 protected:
  // Runs the own handler lists (code, then skin) for an event this control
  // sent. False when the control was destroyed by a handler.
  bool RunOwnHandlers(EventArgs* args, const LivenessWatch& watch, bool* result);
  // Passes the event to the parent's dispatch; true without a parent.
  bool ForwardToParent(EventArgs* args);
  // Where an auto-sized control takes its size from has changed.
  void RequestLayoutOrInvalidate();
  // Stops a playing background animation when the control cannot be seen.
  void StopImageAnimationIfHidden();
  void DropFocusIfFocused();

  // Filled through AttachEvent and AttachXmlEvent only, which keep
  // own_resize_handler_ up to date.
  EventMap xml_events_;
  EventMap events_;
  std::map<int32_t, std::vector<EventHandler>> image_events_;
  std::unique_ptr<UserData> user_data_;
  bool context_menu_enabled_ = false;
  bool enabled_ = true;
  bool mouse_enabled_ = true;
  bool keyboard_enabled_ = true;
  bool focused_ = false;
  bool mouse_captured_ = false;
  bool in_resize_event_ = false;
  bool no_focus_ = false;
  bool clip_enabled_ = true;
  bool image_animation_enabled_ = true;
  bool receive_pointer_ = true;
  bool release_on_focus_loss_ = false;
  int32_t border_size_ = 0;
  int32_t tool_tip_width_ = 300;
  int32_t alpha_ = 255;
  int32_t hot_alpha_ = 0;
  UiPoint render_offset_;
  UiSize border_round_;
  UiRect paint_rect_;
  UiPadding border_sizes_;
  CursorType cursor_type_ = CursorType::kArrow;
  ControlState state_ = ControlState::kNormal;
  std::wstring tool_tip_text_;
  std::wstring tool_tip_text_id_;
  std::wstring data_id_;
  std::wstring background_color_;
  std::wstring background_color2_;
  StateColorMap state_colors_;
  ImageSpec background_image_;
  StateImageMap state_images_;
  std::wstring border_color_;
  kbase::WeakCallbackFlag image_timer_flag_;
  AnimationManager animations_;

 private:
  bool ApplyLayoutAttribute(const std::wstring& name, const std::wstring& value);
  bool ApplyLookAttribute(const std::wstring& name, const std::wstring& value);
  bool ApplyBehaviourAttribute(const std::wstring& name, const std::wstring& value);
  bool ApplyImageAttribute(const std::wstring& name, const std::wstring& value);
  bool ApplyAnimationAttribute(const std::wstring& name, const std::wstring& value);

  // Draws through an off-screen copy: for a translucent control, or for a
  // cached one. False when no copy can be made.
  bool DrawThroughCache(IRenderContext* context, const UiRect& paint_rect, const UiRect& area);
  void PaintDirectly(IRenderContext* context, const UiRect& paint_rect);
  void PaintUniformBorder(IRenderContext* context, uint32_t color);
  void PaintSideBorders(IRenderContext* context, uint32_t color);
  // Background image animation.
  bool StartImageAnimation();
  void OnImageAnimationTick();
  void RestartImageTimer(int32_t delay_ms);
  void NotifyImageAnimationFinished();
  void InvalidateMovedArea(const UiRect& old_bounds);
  // SetBounds; |box_listens| tells that this control is a box whose
  // bubbled handlers listen to its own resize event. False when a resize
  // handler destroyed the control.
  bool PlaceAt(const UiRect& requested, bool box_listens);
  // Whether a handler would see this control's resize event: one of its
  // own, or a bubbled one of a box it lies in.
  bool IsResizeObserved() const;
  // Keeps own_resize_handler_ up to date after a handler was attached.
  void OnHandlersChanged();

  friend class Box;
};

}  // namespace ui
