#pragma once

#include <windows.h>

#include <string>

#include "browser/shadow/shadow_wnd_base.h"
#include "ui/control/event.h"

namespace kel_comp {
class CefControlBase;
}
namespace ui {
class Control;
class RichEdit;
template <typename Base>
class CheckBoxTemplate;
template <typename Base>
class LabelTemplate;
}  // namespace ui

// The browser sample: a skinned window with its own shadow window that
// hosts one windowed browser control made by the forms' control factory.
// Its toolbar goes back and forward (dimmed when there is nowhere to go),
// reloads, shows and takes the address, mutes the page (the speaker shows
// the state) and opens and closes the developer tools. Pages may call
// "ShowMessageBox" with a text: the window shows it as a toast it owns and
// answers the page with the length shown.
//
// Created on the heap on the main thread; it deletes itself once its
// window is gone.
class BrowserSampleForm : public kel_comp::ShadowWndBase {
 public:
  static constexpr wchar_t kClassName[] = L"QelBrowserSample";
  static constexpr wchar_t kMessageFunction[] = L"ShowMessageBox";

  // What closing the window does besides closing it.
  enum class OnClose {
    kCloseOnly,
    // The program ends once its browsers have closed.
    kQuitWhenBrowsersClosed,
  };

  BrowserSampleForm(std::wstring start_address, OnClose on_close);
  ~BrowserSampleForm() override;

  // Creates, centres and shows the window; false (the form is gone then)
  // when it could not be created.
  bool Open();

  // WindowImplBase.
  std::wstring WindowClassName() const override { return kClassName; }
  std::wstring SkinFolder() override { return L"browser_sample"; }
  std::wstring SkinFile() override { return L"browser_sample.xml"; }
  using kel_comp::ShadowWndBase::SkinFolder;
  void OnSkinAttached() override;
  LONG SkinnedFrameStyle() override;
  ui::Control* CreateCustomControl(const std::wstring& element_name) override;
  LRESULT OnWmClose(UINT message, WPARAM wparam, LPARAM lparam, bool* handled) override;

  kel_comp::CefControlBase* browser_control() const { return browser_; }

 private:
  using CheckBox = ui::CheckBoxTemplate<ui::Control>;

  bool OnClicked(ui::EventArgs* args);
  bool OnSelectionChanged(ui::EventArgs* args);
  bool OnAddressReturn(ui::EventArgs* args);
  void OnBrowserCreated();
  void OnNavigationState(bool can_go_back, bool can_go_forward);
  void OnTitle(const std::wstring& title);
  void OnMainAddress(const std::wstring& address);
  void OnDevToolsVisible(bool visible);
  void SetMuted(bool muted);
  // The page's "ShowMessageBox": a toast over this window, then the reply.
  void RegisterMessageFunction();

  const std::wstring start_address_;
  const OnClose on_close_;
  kel_comp::CefControlBase* browser_ = nullptr;
  ui::LabelTemplate<ui::Control>* title_ = nullptr;
  ui::RichEdit* address_ = nullptr;
  ui::Control* back_ = nullptr;
  ui::Control* forward_ = nullptr;
  CheckBox* mute_ = nullptr;
  CheckBox* devtools_ = nullptr;
};
