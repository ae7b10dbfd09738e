// The window host's bookkeeping: creation, the name index, groups, filters,
// deferred deletion, root replacement, sizes with the shadow, centring.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "tests/support/check_recorder.h"
#include "tests/window/window_test_support.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/core/window.h"

namespace ui {
namespace {

using test::HostWindow;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseShippedResources(); }
};

// A control that tells when it is deleted.
class TrackedControl : public Control {
 public:
  explicit TrackedControl(bool* deleted) : deleted_(deleted) {}
  ~TrackedControl() override { *deleted_ = true; }

 private:
  bool* deleted_;
};

TEST_F(WindowTest, CreateBindsTheObjectAndDropsTheCaption) {
  HostWindow window;
  HWND hwnd = window.Create(nullptr, L"bound", WS_OVERLAPPEDWINDOW, 0, false, {10, 20, 210, 170});
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(window.GetHWND(), hwnd);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)), &window);
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 200);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  // One object, one native window.
  EXPECT_EQ(window.Create(nullptr, L"again", WS_POPUP, 0), nullptr);

  bool closed = false;
  window.AttachWindowEvent(kEventWindowClose, [&](EventArgs* args) {
    closed = args->type == kEventWindowClose;
    return true;
  });
  DestroyWindow(hwnd);
  EXPECT_TRUE(closed);
  EXPECT_EQ(window.GetHWND(), nullptr) << "a stale handle must not survive the window";
}

TEST_F(WindowTest, LayeredWindowsGetTheLayeredStyle) {
  HostWindow window;
  HWND hwnd = window.Create(nullptr, L"layered", WS_POPUP, 0, true, {0, 0, 50, 50});
  ASSERT_TRUE(hwnd);
  EXPECT_TRUE(window.IsLayered());
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

// A superclass of the system's static control: what the window leaves goes
// to the base class's procedure.
class StaticSuperclass : public Window {
 public:
  std::wstring WindowClassName() const override { return L"QelTestStaticSuperclass"; }
  std::wstring SuperclassName() const override { return L"STATIC"; }
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_SETTEXT)
      ++set_text_count;
    return Window::OnWindowMessage(message, wparam, lparam);
  }
  int set_text_count = 0;
};

TEST_F(WindowTest, SuperclassedWindowsReachTheBaseProcedure) {
  StaticSuperclass window;
  HWND hwnd = window.Create(nullptr, L"first", WS_POPUP, 0, false, {0, 0, 80, 20});
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(GetPropW(hwnd, L"WndX"), static_cast<Window*>(&window));
  SetWindowTextW(hwnd, L"second");
  wchar_t text[32] = {};
  GetWindowTextW(hwnd, text, 32);
  EXPECT_STREQ(text, L"second");
  EXPECT_GE(window.set_text_count, 1);

  class Missing : public Window {
    std::wstring WindowClassName() const override { return L"QelTestMissingBase"; }
    std::wstring SuperclassName() const override { return L"NoSuchSystemClass"; }
  } missing;
  EXPECT_EQ(missing.Create(nullptr, L"x", WS_POPUP, 0), nullptr);
}

TEST_F(WindowTest, NameIndexKeepsTheLaterControlAndForgetsOnlyItsOwnEntry) {
  HostWindow window;
  ASSERT_TRUE(window.CreateWithSkin(
      L"<Window shadowattached=\"false\"><VBox name=\"root\"><Control name=\"twin\" width=\"5\"/>"
      L"<Control name=\"twin\" width=\"7\"/><Control name=\"solo\"/></VBox></Window>",
      false, {0, 0, 100, 100}));
  Control* later = window.FindControlByName(L"twin");
  ASSERT_TRUE(later);
  EXPECT_EQ(later->GetFixedWidth(), 7);
  EXPECT_EQ(window.FindControlByName(L"Twin"), nullptr) << "names match exactly";

  auto* root = static_cast<Box*>(window.GetRoot());
  Control* earlier = root->GetItemAt(0);
  root->SetDelayedDestroy(false);
  root->Remove(earlier);
  EXPECT_EQ(window.FindControlByName(L"twin"), later);
  root->Remove(later);
  EXPECT_EQ(window.FindControlByName(L"twin"), nullptr);
}

TEST_F(WindowTest, RemovedChildrenLiveUntilTheDeferredDeletion) {
  HostWindow window;
  ASSERT_TRUE(window.CreateWithSkin(L"<Window shadowattached=\"false\"><VBox/></Window>", false,
                                    {0, 0, 100, 100}));
  auto* root = static_cast<Box*>(window.GetRoot());
  bool deleted = false;
  auto* child = new TrackedControl(&deleted);
  ASSERT_TRUE(root->Add(child));
  ASSERT_TRUE(root->Remove(child));
  EXPECT_FALSE(deleted);
  test::PumpUntil([&] { return deleted; }, 1000);
  EXPECT_TRUE(deleted);
}

TEST_F(WindowTest, AttachingANewRootDeletesTheOldOneLaterAndTheSameRootNever) {
  HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"roots", WS_POPUP, 0, false, {0, 0, 50, 50}));
  window.AttachNativeWindow(window.GetHWND());
  bool first_deleted = false;
  auto* first = new Box();
  first->Add(new TrackedControl(&first_deleted));
  ASSERT_TRUE(window.AttachRoot(first));
  ASSERT_TRUE(window.AttachRoot(first));
  test::PumpFor(50);
  EXPECT_FALSE(first_deleted);

  ASSERT_TRUE(window.AttachRoot(new Box()));
  test::PumpUntil([&] { return first_deleted; }, 1000);
  EXPECT_TRUE(first_deleted);
  EXPECT_FALSE(window.AttachRoot(nullptr));
}

TEST_F(WindowTest, GroupsAndClassesAreKeptPerWindow) {
  HostWindow window;
  Control a;
  Control b;
  EXPECT_TRUE(window.AddToGroup(L"g", &a));
  EXPECT_FALSE(window.AddToGroup(L"g", &a));
  EXPECT_TRUE(window.AddToGroup(L"g", &b));
  ASSERT_TRUE(window.GetGroup(L"g"));
  EXPECT_EQ(window.GetGroup(L"g")->size(), 2u);
  window.RemoveFromGroup(L"g", &a);
  window.RemoveFromGroup(L"g", &b);
  EXPECT_EQ(window.GetGroup(L"g"), nullptr) << "an empty group goes";

  window.DefineWindowClass(L"c", L"width=\"3\"");
  EXPECT_EQ(window.WindowClassAttributes(L"c"), L"width=\"3\"");
  EXPECT_EQ(window.WindowClassAttributes(L"unknown"), L"");

  window.SetSkinFolder(L"cef");
  EXPECT_EQ(window.SkinFolder(), L"cef\\");
  window.SetSkinFolder(L"cef/");
  EXPECT_EQ(window.SkinFolder(), L"cef/");
}

TEST_F(WindowTest, SizesIncludeTheShadow) {
  HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"sizes", WS_POPUP, 0, false, {0, 0, 10, 10}));
  window.SetMinSize(100, 0);
  EXPECT_EQ(window.GetMinSize(), (UiSize{128, 0}));
  window.SetMaxSize(0, 300);
  EXPECT_EQ(window.GetMaxSize(), (UiSize{0, 328}));
  window.SetInitialSize(200, 100);
  EXPECT_EQ(window.GetInitialSize(), (UiSize{228, 128}));
  RECT rect = {};
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.right - rect.left, 228) << "applied while no root is attached";

  window.Shadow().SetAttached(false);
  window.SetMinSize(100, 50);
  EXPECT_EQ(window.GetMinSize(), (UiSize{100, 50}));
  window.SetWindowPosWithShadow({5, 6, 25, 36}, nullptr, SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.right - rect.left, 20);
}

TEST_F(WindowTest, CenterWindowCentresOnTheWorkArea) {
  HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"centre", WS_POPUP, 0, false, {0, 0, 300, 200}));
  window.CenterWindow();
  RECT rect = {};
  GetWindowRect(window.GetHWND(), &rect);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_EQ(rect.left, work.left + (work.right - work.left - 300) / 2);
  EXPECT_EQ(rect.top, work.top + (work.bottom - work.top - 200) / 2);

  // Larger than the work area: the top-left edge stays inside.
  SetWindowPos(window.GetHWND(), nullptr, 0, 0, 5000, 5000, SWP_NOMOVE | SWP_NOZORDER);
  window.CenterWindow();
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.left, work.left);
  EXPECT_EQ(rect.top, work.top);
}

// Only the entries in the order they were added, and a filter may stop a
// message (but not a mouse move).
class RecordingFilter : public IUIMessageFilter {
 public:
  explicit RecordingFilter(UINT stop) : stop_(stop) {}
  LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool* handled) override {
    seen.push_back(message);
    *handled = message == stop_;
    return 42;
  }
  std::vector<UINT> seen;

 private:
  UINT stop_;
};

TEST_F(WindowTest, FiltersStopMessagesButNotMouseMoves) {
  HostWindow window;
  ASSERT_TRUE(window.CreateWithSkin(
      L"<Window shadowattached=\"false\"><VBox><Button name=\"b\" width=\"50\" height=\"50\"/>"
      L"</VBox></Window>",
      false, {0, 0, 100, 100}));
  HWND hwnd = window.GetHWND();
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  window.PaintNow();
  test::EventLog log;
  Control* button = window.FindControlByName(L"b");
  ASSERT_TRUE(button);
  button->AttachEvent(kEventAll, log.Recorder(L"b"));
  window.SetFocusControl(button);

  RecordingFilter mouse_filter(WM_MOUSEMOVE);
  RecordingFilter key_filter(WM_KEYDOWN);
  window.AddMessageFilter(&mouse_filter);
  window.AddMessageFilter(&key_filter);
  test::MouseMove(hwnd, 10, 10);
  EXPECT_EQ(log.Count(L"b", kEventMouseEnter), 1) << "a filtered mouse move still hovers";
  EXPECT_EQ(SendMessageW(hwnd, WM_KEYDOWN, 'A', 0), 42);
  EXPECT_EQ(log.Count(L"b", kEventKeyDown), 0);
  EXPECT_NE(std::find(key_filter.seen.begin(), key_filter.seen.end(), UINT{WM_KEYDOWN}),
            key_filter.seen.end());

  EXPECT_TRUE(window.RemoveMessageFilter(&key_filter));
  EXPECT_FALSE(window.RemoveMessageFilter(&key_filter));
  SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(log.Count(L"b", kEventKeyDown), 1);
  window.RemoveMessageFilter(&mouse_filter);
}

TEST_F(WindowTest, CallsFromAnotherThreadAndNullRegistrationsFailChecks) {
  if (!::test::CheckRecorder::kChecksEnabled)
    GTEST_SKIP() << "checks are compiled out";
  HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"rules", WS_POPUP, 0, false, {0, 0, 50, 50}));
  ::test::CheckRecorder checks;
  // Reads only: this thread waits in the join and answers no messages.
  std::thread([&] {
    window.FindControlByName(L"b");
    GlobalResources::ResourceFolder();
    LanguageStrings::Instance()->StringById(L"id");
  }).join();
  EXPECT_EQ(checks.failures(), 3) << "the window, the store and the strings are the UI thread's";

  RecordingFilter filter(0);
  window.AddMessageFilter(nullptr);
  window.AddMessageFilter(&filter);
  EXPECT_EQ(checks.failures(), 4);
  window.AddMessageFilter(&filter);
  EXPECT_EQ(checks.failures(), 5) << "the same filter twice";
  window.AttachWindowEvent(kEventAll, nullptr);
  EXPECT_EQ(checks.failures(), 6);
  window.AddToGroup(L"g", nullptr);
  EXPECT_EQ(checks.failures(), 7);
  window.RemoveFromGroup(L"g", nullptr);
  while (window.RemoveMessageFilter(&filter)) {
  }
  window.RaiseWindowClose();
  EXPECT_EQ(checks.failures(), 7);
}

}  // namespace
}  // namespace ui
