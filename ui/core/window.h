#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/callback/weak_callback.h"
#include "ui/control/control_host.h"
#include "ui/control/event.h"
#include "ui/core/global_resources.h"
#include "ui/core/shadow.h"
#include "ui/core/ui_message_filter.h"
#include "ui/render/geometry.h"

namespace ui {

class Box;
class Control;
class IRenderContext;

// Bit of a control's tab flags: the control takes the Tab key itself (a rich
// edit that wants Tab), so the window does not move the focus on Tab.
constexpr int32_t kTabFlagWantsTab = 2;

// The window's private message that deletes the controls queued for later
// deletion (WM_APP + 1).
constexpr UINT kMsgDeleteDeferred = 0x8001;

// Binds one native top-level window to one control tree: registers (or
// superclasses) the class, creates the native window with a pointer back,
// receives its messages and turns input into control events; keeps focus,
// hover, capture and tooltip state, the name index, option groups, window
// classes, message filters and window-level handlers; paints the tree,
// layered or not, fades in and out and carries the drawn shadow.
//
// Thread rules: UI thread only, the thread that created the native window.
// Debug builds check the out-of-line operations on the window's state
// against that thread once the native window exists; the inline accessors
// and the class-name hooks are unchecked.
//
// The window owns its root control (and through it the tree) and the
// controls queued for deletion; the object outlives its native window.
class Window : public virtual kbase::SupportWeakCallback, public ControlHost {
 public:
  // The font record of the window's default font.
  using DefaultFont = FontInfo;

  Window();
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The virtual operations keep this order.
  virtual std::wstring WindowClassName() const;
  // Non-empty: the class is registered as a superclass of this system class.
  virtual std::wstring SuperclassName() const;
  virtual UINT WindowClassStyle() const;
  // Null when the class cannot be registered or the window not created.
  // A window whose creation is refused may destroy this object on the way
  // (a skinned window deletes itself with its native window).
  virtual HWND Create(HWND parent,
                      const std::wstring& title,
                      DWORD style,
                      DWORD ex_style,
                      bool layered = false,
                      const UiRect& rect = {});
  // Fades the content out and closes about 300 ms later.
  virtual void Close(UINT result_code = IDOK);
  virtual void Show(bool show = true, bool activate = true);
  virtual void OnWindowDestroyed(HWND hwnd);
  virtual LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Fades the window in after its first layout.
  virtual void PlayShowAnimation();

  // ControlHost.
  Control* GetRoot() const override { return root_; }
  Control* GetFocusControl() const override { return focus_; }
  void SetFocusControl(Control* control) override;
  Control* GetHoverControl() const override { return hover_; }
  UiPoint GetLastMousePos() const override { return last_mouse_point_; }
  bool IsShadowAttached() const override { return shadow_.IsAttached(); }
  UiPadding GetShadowCorner() const override { return shadow_.Corner(); }
  IRenderContext* GetRenderContext() const override { return render_context_.get(); }
  void Invalidate(const UiRect& rect) override;
  void SetLayoutNeeded() override { layout_needed_ = true; }
  std::wstring WindowClassAttributes(const std::wstring& class_name) const override;
  Control* FindControlByName(const std::wstring& name) const override;
  bool RegisterSubtree(Control* control, Box* parent) override;
  void DeferDelete(Control* control) override;
  void ForgetControl(Control* control) override;
  std::wstring SkinFolder() const override { return skin_folder_; }

  HWND GetHWND() const { return handle_; }
  bool IsLayered() const { return layered_; }
  // The device context the window keeps for its native window, or null.
  HDC GetPaintDC() const { return paint_dc_; }
  // The procedure that handles what the window leaves: the default one, or
  // the base class's for a superclassed window.
  LRESULT CallPreviousProc(UINT message, WPARAM wparam, LPARAM lparam);

  // Takes the window's DC and a fresh render context and registers the
  // window for touch input.
  void AttachNativeWindow(HWND hwnd);
  // Makes |root| the root of the tree (the old root is deleted later).
  // False for null.
  bool AttachRoot(Control* root);

  // The handling shared by every window: filters, then input routing,
  // painting and bookkeeping. |handled| tells whether the message was
  // consumed.
  LRESULT HandleWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);

  // The topmost visible, mouse-enabled control at |point| (client
  // coordinates), or null.
  Control* FindControlAt(UiPoint point) const;
  // Tab order: the next (or previous) control that takes Tab.
  void MoveFocus(bool forward);
  // Sends |type| to |control| with the last mouse position.
  void SendNotify(Control* control, EventType type, WPARAM wparam = 0, LPARAM lparam = 0);
  // Runs the window-level handlers of "windowclose", then those of "all".
  void RaiseWindowClose();
  // |handler| must not be empty.
  void AttachWindowEvent(EventType type, EventHandler handler);

  void SetSkinFolder(const std::wstring& folder);
  void DefineWindowClass(const std::wstring& class_name, const std::wstring& attributes);

  // False when |control| is already in the group; it must not be null.
  bool AddToGroup(const std::wstring& group, Control* control) override;
  // Null when there is no such group.
  const std::vector<Control*>* GetGroup(const std::wstring& group) const override;
  void RemoveFromGroup(const std::wstring& group, Control* control) override;

  // |filter| is not owned and must not be null nor added twice.
  void AddMessageFilter(IUIMessageFilter* filter);
  bool RemoveMessageFilter(IUIMessageFilter* filter);

  // The native title becomes the language string |id|.
  void SetTextId(const std::wstring& id);

  // Sizes include the shadow: non-zero values get its thickness added.
  void SetMinSize(int32_t cx, int32_t cy);
  void SetMaxSize(int32_t cx, int32_t cy);
  UiSize GetMinSize() const { return min_size_; }
  UiSize GetMaxSize() const { return max_size_; }
  // Also resizes the native window while no root is attached.
  void SetInitialSize(int32_t cx, int32_t cy);
  UiSize GetInitialSize() const { return initial_size_; }
  // Stores an initial size that already includes the shadow.
  void SetInitialSizeWithShadow(UiSize size);
  // SetWindowPos with |rect| grown by the shadow.
  void SetWindowPosWithShadow(const UiRect& rect, HWND insert_after, UINT flags);
  // Centres on the owner, or on the monitor's work area, inside the work
  // area.
  void CenterWindow();

  UiPadding GetSizeBox() const { return size_box_; }
  void SetSizeBox(const UiPadding& size_box) { size_box_ = size_box; }
  // Left, top and right are margins; bottom is the caption's height.
  UiRect GetCaption() const { return caption_; }
  void SetCaption(const UiRect& caption) { caption_ = caption; }
  UiSize GetRoundCorner() const { return round_corner_; }
  void SetRoundCorner(UiSize corner) { round_corner_ = corner; }
  UiPadding GetAlphaFixMargins() const { return alpha_fix_margins_; }
  void SetAlphaFixMargins(const UiPadding& margins) { alpha_fix_margins_ = margins; }

  // Painting (window_paint.cpp).
  // How long the parts of the last paint took, in performance-counter
  // ticks (for measurements).
  struct PaintTimings {
    int64_t layout = 0;
    int64_t paint = 0;
    int64_t output = 0;
  };
  const PaintTimings& LastPaintTimings() const { return paint_timings_; }
  uint8_t GetWindowAlpha() const { return window_alpha_; }
  UiPoint GetRenderOffset() const { return render_offset_; }
  void SetRenderOffset(UiPoint offset);
  bool IsLayoutNeeded() const { return layout_needed_; }
  bool IsFirstPaintPending() const { return first_paint_pending_; }

  // Shadow (shadow.cpp): wraps |root| in the shadow box when a shadow is
  // attached and returns the new root.
  Control* AttachShadow(Control* root);
  void ShadowMaximized(bool maximized);
  UiPadding ShadowCorner() const { return shadow_.Corner(); }
  WindowShadow& Shadow() { return shadow_; }
  const WindowShadow& Shadow() const { return shadow_; }

  const DefaultFont& GetDefaultFont() const { return default_font_; }
  HWND GetTooltipWindow() const { return tooltip_window_; }
  bool IsMouseCaptured() const { return mouse_captured_; }
  Control* GetClickTarget() const { return click_target_; }
  bool IsPointerInputEnabled() const { return pointer_input_; }
  void SetPointerInputEnabled(bool enabled) { pointer_input_ = enabled; }

 protected:
  // Redraws the whole client area on the next paint.
  void InvalidateAll();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK SuperclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // Hands a message of the bound native window to OnWindowMessage.
  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  // The end of the native window: the previous procedure, then unbinding.
  static LRESULT OnNcDestroy(Window* window, HWND hwnd, WPARAM wparam, LPARAM lparam);

  bool RegisterWindowClass();
  bool RegisterSuperclass();
  void ReleasePaintDC();
  void PostPaint();
  void ClearTargets();
  void IndexNames(Control* control);
  bool BelongsHere(const Control* control) const;
  // Sends |type| to |control| when it is not null.
  void Send(Control* control,
            EventType type,
            WPARAM wparam,
            LPARAM lparam,
            wchar_t key_char = 0,
            float pressure = 0.0f,
            UiPoint point = {});

  // Input routing (window_input.cpp); each returns whether it consumed the
  // message.
  bool RunMessageFilters(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool OnSize(WPARAM wparam);
  void OnKillFocus(WPARAM wparam, LPARAM lparam);
  void OnClose(WPARAM wparam, LPARAM lparam);
  bool OnSetCursor(WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result);
  bool OnReflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  void OnContextMenu(WPARAM wparam, LPARAM lparam);
  void OnKeyDown(WPARAM wparam, LPARAM lparam);
  void OnKeyUp(WPARAM wparam, LPARAM lparam);
  void OnMouseMove(WPARAM wparam, LPARAM lparam);
  void OnButtonDown(UINT message, WPARAM wparam, LPARAM lparam);
  void OnButtonUp(UINT message, WPARAM wparam, LPARAM lparam);
  void OnMouseWheel(WPARAM wparam, LPARAM lparam);
  bool OnMouseHover(WPARAM wparam, LPARAM lparam);
  void OnMouseLeave();
  void OnTouch(WPARAM wparam, LPARAM lparam);
  bool OnPointer(UINT message, WPARAM wparam, LPARAM lparam);
  void DeleteDeferred();
  // Makes the control at |point| the new hover and tells the old and new
  // hover; false when that control belongs to another window.
  bool UpdateHover(UiPoint point, WPARAM wparam, LPARAM lparam);
  void ArmMouseTracking();
  void ShowToolTip(Control* control);
  void HideToolTip();
  // Captures the mouse for a control that was pressed, touched or pointed
  // at; false when |control| was destroyed on the way.
  bool TakeCapture(Control* control, bool take_focus);

  // Painting (window_paint.cpp).
  void OnPaint();
  void SizeToContent();
  void RunLayout(const UiRect& client);
  void ExtendUpdateToVirtualScreen(const RECT& window_rect, RECT* update) const;
  void OutputLayered(const UiRect& update, const RECT& window_rect, const UiSize& client);
  UiRect RootPaddingRect(UiPadding* layout_padding) const;
  void OnFadeValue(int32_t value);

  HWND handle_ = nullptr;
  WNDPROC previous_proc_ = ::DefWindowProcW;
  bool subclassed_ = false;
  Control* root_ = nullptr;
  std::map<EventType, std::vector<EventHandler>> window_events_;
  UiSize min_size_;
  UiSize max_size_;
  UiSize initial_size_;
  UiPadding size_box_;
  UiPadding alpha_fix_margins_;
  UiSize round_corner_;
  UiRect caption_;
  HDC paint_dc_ = nullptr;
  std::unique_ptr<IRenderContext> render_context_;
  bool layered_ = false;
  uint8_t window_alpha_ = 255;
  UiPoint render_offset_;
  bool first_paint_pending_ = true;
  bool layout_needed_ = true;
  // A WM_PAINT posted to the layered window has not been handled yet.
  bool paint_posted_ = false;
  HWND tooltip_window_ = nullptr;
  TOOLINFOW tool_info_ = {};
  // The text tool_info_ points at while the tooltip shows it.
  std::wstring tool_tip_text_;
  Control* focus_ = nullptr;
  Control* new_hover_ = nullptr;
  Control* hover_ = nullptr;
  Control* click_target_ = nullptr;
  Control* key_target_ = nullptr;
  UiPoint last_mouse_point_ = {-1, -1};
  Control* touch_target_ = nullptr;
  UiPoint last_touch_point_ = {-1, -1};
  Control* pointer_target_ = nullptr;
  bool pointer_input_ = true;
  bool mouse_tracking_ = false;
  bool focus_next_pending_ = false;
  bool mouse_captured_ = false;
  std::wstring skin_folder_;
  DefaultFont default_font_;
  std::map<std::wstring, std::wstring> classes_;
  std::map<std::wstring, std::vector<Control*>> option_groups_;
  std::vector<IUIMessageFilter*> message_filters_;
  std::vector<Control*> deferred_deletions_;
  std::map<std::wstring, Control*> name_index_;
  kbase::WeakCallbackFlag weak_flag_;
  WindowShadow shadow_;
  PaintTimings paint_timings_;
};

}  // namespace ui
