#pragma once

#include <windows.h>

#include <string>

#include "ui/control/event.h"
#include "ui/core/ui_message_filter.h"
#include "ui/core/window.h"

namespace ui {

class Control;

// The base of every application window: a subclass names its skin folder,
// skin file and window class; the base builds the skin when the native
// window is created, wraps it in the shadow, wires the system buttons
// ("closebtn", "minbtn", "maxbtn", "restorebtn") and replaces the system
// frame: no caption and no non-client area, while the skin's caption, size
// box and round corner decide where the window is dragged and resized and
// what shape it has.
//
// Create it on the heap. From Create on it belongs to the framework and
// deletes itself after its native window is destroyed; a Create that returns
// null has already deleted it.
//
// Thread rules: those of Window, the thread of the native window; the
// message entry point and the operations a caller starts (BringToFront,
// SetTitleText, OnSystemButton) are checked in debug builds.
class WindowImplBase : public Window, public IUIMessageFilter {
 public:
  // The caption of the message box shown when a skin cannot be loaded.
  static constexpr wchar_t kSkinErrorCaption[] = L"Orvex";
  // The longest text of that message box.
  static constexpr size_t kSkinErrorMaxLength = 259;

  WindowImplBase();
  ~WindowImplBase() override;

  // Window.
  std::wstring WindowClassName() const override = 0;
  UINT WindowClassStyle() const override;
  void OnWindowDestroyed(HWND hwnd) override;
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // The virtual operations added here keep this order. Every message
  // handler receives |handled| set and clears it to pass the message on.
  virtual void OnSkinAttached();
  virtual LONG SkinnedFrameStyle();
  virtual std::wstring SkinArchiveName();
  virtual Control* CreateCustomControl(const std::wstring& element_name);
  virtual LRESULT OnWmClose(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmDestroy(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmNcActivate(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmNcCalcSize(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmWindowPosChanging(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmNcPaint(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmNcLButtonDblClk(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmNcHitTest(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmGetMinMaxInfo(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmMouseWheel(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmMouseHover(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmDpiChanged(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmSize(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmChar(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmSysCommand(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmKeyDown(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmKillFocus(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmSetFocus(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmLButtonDown(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmLButtonUp(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual LRESULT OnWmMouseMove(UINT message, WPARAM wparam, LPARAM lparam, bool* handled);
  virtual void BringToFront();
  virtual void SetTitleText(const std::wstring& text);
  // The subclass's skin folder below the resource folder ("cef"), without
  // a separator. Not to be confused with the const SkinFolder of the window,
  // which controls read: the folder as stored, with its separator.
  virtual std::wstring SkinFolder() = 0;
  virtual std::wstring SkinFile() = 0;
  using Window::SkinFolder;

  // IUIMessageFilter: passes every message on.
  LRESULT FilterMessage(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

  // The click handler of the system buttons.
  bool OnSystemButton(EventArgs* args);

  // The skin file below the resource folder: skin folder and file.
  std::wstring SkinPath();

 private:
  LRESULT OnCreate();
  // Routes a message to its handler slot; false when it has none.
  bool DispatchToSlot(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result, bool* handled);
  void SizeToSkin();
  void WireSystemButtons();
  // The maximise and restore buttons, when the skin has both.
  bool FindMaxRestorePair(Control** max_button, Control** restore_button) const;
};

}  // namespace ui
