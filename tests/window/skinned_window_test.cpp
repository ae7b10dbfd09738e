// The skinned window base: the message box of a skin that cannot be loaded,
// hit testing of shadow, size box and caption, the system buttons, track
// sizes, the window region and sizing to an auto-sized skin.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/resources/test_files.h"
#include "tests/window/window_test_support.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

constexpr wchar_t kClassName[] = L"QelTestSkinnedWindow";

class SkinnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseShippedResources();
    // Skins of the tests sit beside the shipped theme's folders, so that the
    // default shadow image is found from them.
    GlobalResources::SetResourceFolder(folder_.path() + L"theme");
    folder_.Write(L"public\\bk\\bk_shadow.png",
                  test::EncodePng(61, 61, test::FilledPixels(61, 61, {0, 0, 0, 0x40})));
  }
  void TearDown() override { test::UseShippedResources(); }

  void WriteSkin(const std::wstring& file, const std::string& text) {
    folder_.Write(L"theme\\st\\" + file, text);
  }

  // Creates a layered skinned window of "st\<file>" at (100, 100).
  test::SkinnedWindow* Open(const std::wstring& file, bool* deleted) {
    auto* window = new test::SkinnedWindow(L"st", file, deleted);
    HWND hwnd = window->Create(nullptr, L"skinned", WS_OVERLAPPEDWINDOW, 0, true);
    if (!hwnd)
      return nullptr;
    SetWindowPos(hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    test::PumpFor(0);
    return window;
  }

  static LRESULT HitTest(HWND hwnd, int client_x, int client_y) {
    POINT screen = {client_x, client_y};
    ClientToScreen(hwnd, &screen);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, test::PointParam(screen.x, screen.y));
  }

  static void ClickControl(test::SkinnedWindow* window, const wchar_t* name) {
    Control* control = window->FindControlByName(name);
    ASSERT_TRUE(control) << name;
    const UiRect bounds = control->GetBounds(true);
    test::Click(window->GetHWND(), bounds.left + bounds.Width() / 2,
                bounds.top + bounds.Height() / 2);
  }

  test::TempFolder folder_;
};

TEST_F(SkinnedWindowTest, AMissingSkinShowsTheMessageBoxAndLeavesNoWindow) {
  test::MessageBoxWatcher watcher(L"Orvex");
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"st", L"missing.xml", &deleted);
  EXPECT_EQ(window->Create(nullptr, L"missing", WS_OVERLAPPEDWINDOW, 0, true), nullptr);
  EXPECT_TRUE(deleted) << "the object went with its refused native window";
  EXPECT_EQ(watcher.dismissed(), 1);
  EXPECT_EQ(watcher.text(), L"Failed to load xml file st\\missing.xml");
  EXPECT_EQ(test::CountWindowsOfClass(kClassName), 0);
}

TEST_F(SkinnedWindowTest, MalformedSkinsAndSkinsWithoutControlsShowTheMessageBoxToo) {
  WriteSkin(L"malformed.xml", "<Window><VBox></Window>");
  WriteSkin(L"unknown.xml", "<Window><Nothing><VBox/></Nothing></Window>");
  test::MessageBoxWatcher watcher(L"Orvex");
  int refused = 0;
  for (const wchar_t* file : {L"malformed.xml", L"unknown.xml"}) {
    bool deleted = false;
    auto* window = new test::SkinnedWindow(L"st", file, &deleted);
    refused += window->Create(nullptr, L"bad", WS_POPUP, 0, true) == nullptr ? 1 : 0;
    EXPECT_TRUE(deleted) << file;
  }
  EXPECT_EQ(refused, 2);
  EXPECT_EQ(watcher.dismissed(), 2);
  EXPECT_EQ(watcher.text(), L"Failed to load xml file st\\unknown.xml");
  EXPECT_EQ(test::CountWindowsOfClass(kClassName), 0);
}

TEST_F(SkinnedWindowTest, TheMessageTextIsCutAtItsLimit) {
  test::MessageBoxWatcher watcher(L"Orvex");
  const std::wstring folder(300, L'f');
  auto* window = new test::SkinnedWindow(folder, L"x.xml");
  EXPECT_EQ(window->Create(nullptr, L"long", WS_POPUP, 0, true), nullptr);
  EXPECT_EQ(watcher.text().size(), WindowImplBase::kSkinErrorMaxLength);
}

TEST_F(SkinnedWindowTest, HitTestsKnowShadowSizeBoxAndCaption) {
  WriteSkin(L"hit.xml",
            "<Window size=\"200,150\" sizebox=\"4,4,4,4\" caption=\"0,0,0,30\">"
            "<VBox enabled=\"false\"><HBox height=\"30\"><Control/>"
            "<RichEdit width=\"40\" height=\"30\"/>"
            "<Button name=\"btn\" width=\"30\" height=\"30\"/></HBox></VBox></Window>");
  bool deleted = false;
  test::SkinnedWindow* window = Open(L"hit.xml", &deleted);
  ASSERT_TRUE(window);
  HWND hwnd = window->GetHWND();
  RECT client = {};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 228) << "no non-client area";
  EXPECT_EQ(client.bottom, 178);

  EXPECT_EQ(HitTest(hwnd, 10, 80), HTCLIENT) << "inside the shadow";
  EXPECT_EQ(HitTest(hwnd, 16, 80), HTLEFT);
  EXPECT_EQ(HitTest(hwnd, 212, 80), HTRIGHT);
  EXPECT_EQ(HitTest(hwnd, 15, 15), HTTOPLEFT);
  EXPECT_EQ(HitTest(hwnd, 100, 15), HTTOP);
  EXPECT_EQ(HitTest(hwnd, 212, 16), HTTOPRIGHT);
  EXPECT_EQ(HitTest(hwnd, 15, 162), HTBOTTOMLEFT);
  EXPECT_EQ(HitTest(hwnd, 100, 162), HTBOTTOM);
  EXPECT_EQ(HitTest(hwnd, 212, 162), HTBOTTOMRIGHT);
  EXPECT_EQ(HitTest(hwnd, 100, 30), HTCAPTION);
  EXPECT_EQ(HitTest(hwnd, 195, 30), HTCLIENT) << "a button in the caption stays clickable";
  EXPECT_EQ(HitTest(hwnd, 160, 30), HTCLIENT) << "and so does a rich edit";
  EXPECT_EQ(HitTest(hwnd, 100, 60), HTCLIENT) << "below the caption";

  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  window->PaintNow();
  EXPECT_TRUE(IsZoomed(hwnd));
  EXPECT_EQ(HitTest(hwnd, 1, 80), HTCLIENT) << "no resize borders when maximised";
  EXPECT_EQ(HitTest(hwnd, 100, 10), HTCAPTION);

  SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(deleted) << "the system close closes at once";
}

TEST_F(SkinnedWindowTest, TheSampleSkinsSystemButtonsWork) {
  test::UseShippedResources();
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"window_sample", L"sample.xml", &deleted);
  HWND hwnd = window->Create(nullptr, L"sample", WS_OVERLAPPEDWINDOW, 0, true);
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(window->skin_attached_count, 1);
  window->Show(true, false);
  window->PaintNow();
  Control* max_button = window->FindControlByName(L"maxbtn");
  Control* restore_button = window->FindControlByName(L"restorebtn");
  ASSERT_TRUE(max_button && restore_button);

  ClickControl(window, L"maxbtn");
  EXPECT_TRUE(IsZoomed(hwnd));
  EXPECT_FALSE(max_button->IsVisible());
  EXPECT_TRUE(restore_button->IsVisible());
  window->PaintNow();

  ClickControl(window, L"restorebtn");
  EXPECT_FALSE(IsZoomed(hwnd));
  EXPECT_TRUE(max_button->IsVisible());
  EXPECT_FALSE(restore_button->IsVisible());
  window->PaintNow();

  ClickControl(window, L"minbtn");
  EXPECT_TRUE(IsIconic(hwnd));
  window->BringToFront();
  EXPECT_FALSE(IsIconic(hwnd));
  window->PaintNow();

  ClickControl(window, L"closebtn");
  EXPECT_FALSE(deleted) << "the close waits for the fade";
  EXPECT_TRUE(test::PumpUntil([&] { return deleted; }, 2000));
}

// Real mouse input from a helper thread while the window's thread runs the
// system's move and size loops.
void DragWithTheMouse(POINT from, POINT to) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  auto send = [&](POINT at, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (width - 1);
    input.mi.dy = at.y * 65535 / (height - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(30);
  };
  send(from, 0);
  send(from, MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 5; ++step) {
    send({from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5}, 0);
  }
  send(to, MOUSEEVENTF_LEFTUP);
}

TEST_F(SkinnedWindowTest, TheSampleIsDraggedByItsCaptionAndResizedByItsBorder) {
  test::UseShippedResources();
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"window_sample", L"sample.xml", &deleted);
  HWND hwnd = window->Create(nullptr, L"sample", WS_OVERLAPPEDWINDOW, 0, true);
  ASSERT_TRUE(hwnd);
  SetWindowPos(hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  window->Show(true, true);
  window->PaintNow();
  RECT before = {};
  GetWindowRect(hwnd, &before);

  std::thread mover([&] {
    DragWithTheMouse({before.left + 200, before.top + 30}, {before.left + 260, before.top + 70});
  });
  test::PumpFor(600);
  mover.join();
  test::PumpFor(100);
  RECT moved = {};
  GetWindowRect(hwnd, &moved);
  EXPECT_EQ(moved.left - before.left, 60);
  EXPECT_EQ(moved.top - before.top, 40);
  EXPECT_EQ(moved.right - moved.left, before.right - before.left);

  // The right border lies inside the shadow's inner edge.
  const int border_x = moved.right - 14 - 2;
  std::thread sizer([&] {
    DragWithTheMouse({border_x, moved.top + 150}, {border_x + 50, moved.top + 150});
  });
  test::PumpFor(600);
  sizer.join();
  test::PumpFor(100);
  RECT sized = {};
  GetWindowRect(hwnd, &sized);
  EXPECT_EQ(sized.left, moved.left);
  EXPECT_EQ(sized.right - sized.left, moved.right - moved.left + 50);
  window->PaintNow();
  Control* content = window->FindControlByName(L"content");
  ASSERT_TRUE(content);
  EXPECT_EQ(content->GetBounds(true).right, sized.right - sized.left - 14) << "laid out again";
  DestroyWindow(hwnd);
  EXPECT_TRUE(deleted);
}

TEST_F(SkinnedWindowTest, AMaximiseButtonAloneHidesNothing) {
  WriteSkin(L"max.xml",
            "<Window size=\"100,60\"><VBox><Button name=\"maxbtn\" width=\"100\" "
            "height=\"20\"/></VBox></Window>");
  bool deleted = false;
  test::SkinnedWindow* window = Open(L"max.xml", &deleted);
  ASSERT_TRUE(window);
  ClickControl(window, L"maxbtn");
  EXPECT_TRUE(IsZoomed(window->GetHWND()));
  EXPECT_TRUE(window->FindControlByName(L"maxbtn")->IsVisible());
  DestroyWindow(window->GetHWND());
  EXPECT_TRUE(deleted);
}

TEST_F(SkinnedWindowTest, TrackSizesRegionAndCustomControls) {
  WriteSkin(L"limits.xml",
            "<Window size=\"200,100\" mininfo=\"150,80\" roundcorner=\"8,8\">"
            "<VBox enabled=\"false\"><Fancy name=\"fancy\"/></VBox></Window>");
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"st", L"limits.xml", &deleted);
  window->custom_controls = [](const std::wstring& name) -> Control* {
    return name == L"Fancy" ? new Control() : nullptr;
  };
  HWND hwnd = window->Create(nullptr, L"limits", WS_OVERLAPPEDWINDOW, 0, true);
  ASSERT_TRUE(hwnd);
  EXPECT_TRUE(window->FindControlByName(L"fancy")) << "the window's own factory";

  MINMAXINFO info = {};
  info.ptMaxTrackSize = {12345, 12345};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 178);
  EXPECT_EQ(info.ptMinTrackSize.y, 108);
  EXPECT_EQ(info.ptMaxTrackSize.x, 12345) << "no maximum was given";
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_EQ(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left);

  SetWindowPos(hwnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corner is cut";
  EXPECT_TRUE(PtInRegion(region, 150, 100));
  EXPECT_TRUE(PtInRegion(region, 299, 100));
  DeleteObject(region);
  DestroyWindow(hwnd);
  EXPECT_TRUE(deleted);
}

TEST_F(SkinnedWindowTest, AnAutoSizedSkinSizesTheWindowAtCreation) {
  WriteSkin(L"auto.xml",
            "<Window><HBox width=\"auto\" height=\"auto\" enabled=\"false\">"
            "<Control width=\"90\" height=\"30\"/></HBox></Window>");
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"st", L"auto.xml", &deleted);
  HWND hwnd = window->Create(nullptr, L"auto", WS_POPUP, 0, true, {50, 50, 60, 60});
  ASSERT_TRUE(hwnd);
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.right - rect.left, 90 + 28);
  EXPECT_EQ(rect.bottom - rect.top, 30 + 28);
  DestroyWindow(hwnd);
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace ui
