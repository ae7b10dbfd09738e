// A rich edit whose text services cannot be created (the program's own
// "msftedit50.dll" refuses them) stays inert in a real window: input,
// painting and measuring neither crash nor reach any services.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/message_pump.h"
#include "ui/control/rich_edit.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace ui {
namespace {

class PlainWindow : public Window {
 public:
  std::wstring WindowClassName() const override { return L"QelNoServicesWindow"; }
};

std::wstring ProgramFolder() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring path = module;
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

TEST(NoTextServicesTest, TheEditStaysInertAndKeepsItsText) {
  // The program lives one folder below the shipped resources.
  GlobalResources::Startup(ProgramFolder() + L"..\\resources\\", nullptr, L"themes\\default",
                           L"lang\\zh_CN");
  PlainWindow window;
  HWND hwnd = window.Create(nullptr, L"inert", WS_POPUP, 0, false, {100, 100, 300, 200});
  ASSERT_TRUE(hwnd);
  window.AttachNativeWindow(hwnd);
  SkinBuilder builder;
  ASSERT_TRUE(window.AttachRoot(builder.Create(
      L"<Window shadowattached=\"false\"><VBox><RichEdit name=\"e\" text=\"given\""
      L" prompttext=\"prompt\" promptcolor=\"text_hint\" number=\"true\"/></VBox></Window>",
      nullptr, &window, nullptr)));
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  auto* edit = static_cast<RichEdit*>(window.FindControlByName(L"e"));
  ASSERT_TRUE(edit);
  EXPECT_FALSE(edit->HasTextServices());

  window.SetFocusControl(edit);
  for (wchar_t c : std::wstring(L"12ab\r\t"))
    SendMessageW(hwnd, WM_CHAR, c, 1);
  SendMessageW(hwnd, WM_KEYDOWN, 'V', 1);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  UpdateWindow(hwnd);
  ::test::PumpFor(50);

  EXPECT_EQ(edit->GetText(), L"given");
  EXPECT_FALSE(edit->WasPromptPainted());
  LRESULT result = 1;
  EXPECT_EQ(edit->SendTextMessage(WM_GETTEXTLENGTH, 0, 0, &result), S_FALSE);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(edit->GetNaturalSize(100).cy, 0);
  DestroyWindow(hwnd);
  GlobalResources::Shutdown();
}

}  // namespace
}  // namespace ui
