// Real mouse, keyboard and focus messages at a window: hover, pushed state,
// capture, click delivery and bubbling, focus and tab order, tool tips.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/window/window_test_support.h"
#include "ui/control/box.h"
#include "ui/control/button.h"
#include "ui/control/control.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

using test::EventLog;

// Buttons a and b, a plain control c in one row; below it a control for
// the wheel with a context menu. Every control is a tab stop but the boxes.
constexpr wchar_t kSkin[] =
    L"<Window shadowattached=\"false\">"
    L"<VBox name=\"root\">"
    L"<HBox height=\"40\">"
    L"<Button name=\"a\" width=\"50\" height=\"40\" tooltiptext=\"tip a\" cursortype=\"hand\"/>"
    L"<Button name=\"b\" width=\"50\" height=\"40\"/>"
    L"<Control name=\"c\" width=\"50\" height=\"40\"/>"
    L"</HBox>"
    L"<Control name=\"wheel\" height=\"40\" menu=\"true\"/>"
    L"</VBox></Window>";

// Windows that were once active take Wine two seconds to hide when no
// window manager runs, so the tests of this suite share one window and give
// it a fresh tree each.
class InputTest : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    delete shared_;
    shared_ = nullptr;
  }

  void SetUp() override {
    test::UseShippedResources();
    if (!shared_ || !shared_->GetHWND()) {
      delete shared_;
      shared_ = new test::HostWindow();
      ASSERT_TRUE(shared_->CreateWithSkin(kSkin, false, {200, 200, 400, 300}));
      ShowWindow(shared_->GetHWND(), SW_SHOW);
      SetForegroundWindow(shared_->GetHWND());
    } else {
      SkinBuilder builder;
      ASSERT_TRUE(shared_->AttachRoot(builder.Create(kSkin, nullptr, shared_, nullptr)));
    }
    window_ = shared_;
    hwnd_ = window_->GetHWND();
    window_->PaintNow();
    for (const wchar_t* name : {L"a", L"b", L"c", L"wheel"}) {
      Control* control = window_->FindControlByName(name);
      ASSERT_TRUE(control) << name;
      control->AttachEvent(kEventAll, log_.Recorder(name));
    }
    root_ = static_cast<Box*>(window_->GetRoot());
    log_.Clear();
  }

  void TearDown() override {
    // The next tree replaces this one; its controls must not reach this
    // test's log afterwards.
    if (window_ && window_->GetHWND()) {
      SendMessageW(hwnd_, WM_LBUTTONUP, 0, test::PointParam(-1, -1));
      SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
      window_->SetFocusControl(nullptr);
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  Control* Find(const wchar_t* name) { return window_->FindControlByName(name); }

  void Key(UINT message, WPARAM key) { SendMessageW(hwnd_, message, key, 0); }

  void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }

  static test::HostWindow* shared_;
  test::HostWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  Box* root_ = nullptr;
  EventLog log_;
};

TEST_F(InputTest, AClickRunsDownUpAndAClickThatBubblesToTheRoot) {
  std::vector<std::wstring> clicked;
  root_->AttachBubbledEvent(kEventClick, [&](EventArgs* args) {
    clicked.push_back(args->sender->GetName());
    return true;
  });
  window_->SetFocusControl(Find(L"c"));
  log_.Clear();
  test::MouseMove(hwnd_, 10, 10);
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(10, 10));
  EXPECT_EQ(GetCapture(), hwnd_);
  EXPECT_TRUE(window_->IsMouseCaptured());
  EXPECT_EQ(Find(L"a")->GetState(), ControlState::kPushed);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"a")) << "a pressed control takes the focus";
  SendMessageW(hwnd_, WM_LBUTTONUP, 0, test::PointParam(12, 11));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Find(L"a")->GetState(), ControlState::kHot);

  EXPECT_EQ(log_.TypesOf(L"a"),
            (std::vector<EventType>{kEventMouseEnter, kEventMouseMove, kEventSetFocus,
                                    kEventMouseButtonDown, kEventMouseButtonUp, kEventClick}));
  EXPECT_EQ(clicked, std::vector<std::wstring>{L"a"});
}

TEST_F(InputTest, APressedControlKeepsTheMouseAndAReleaseElsewhereDoesNotClick) {
  test::MouseMove(hwnd_, 10, 10);
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(10, 10));
  log_.Clear();
  test::MouseMove(hwnd_, 75, 10);
  test::MouseMove(hwnd_, 80, 12);
  EXPECT_EQ(log_.Count(L"a", kEventMouseMove), 2) << "moves go to the pressed control";
  EXPECT_EQ(log_.Count(L"b", kEventMouseMove), 0);
  EXPECT_EQ(log_.Count(L"b", kEventMouseEnter), 1) << "the hover still follows the mouse";

  SendMessageW(hwnd_, WM_LBUTTONUP, 0, test::PointParam(80, 12));
  EXPECT_EQ(log_.Count(L"a", kEventMouseButtonUp), 1);
  EXPECT_EQ(log_.Count(L"a", kEventClick), 0);
  EXPECT_EQ(log_.Count(L"b", kEventMouseButtonUp), 0);
  EXPECT_EQ(Find(L"a")->GetState(), ControlState::kNormal);
}

TEST_F(InputTest, LeaveComesBeforeEnterAndLeavingTheWindowLeavesTheControl) {
  test::MouseMove(hwnd_, 10, 10);
  log_.Clear();
  test::MouseMove(hwnd_, 60, 10);
  ASSERT_EQ(log_.entries.size(), 3u);
  EXPECT_EQ(log_.entries[0].control, L"a");
  EXPECT_EQ(log_.entries[0].type, kEventMouseLeave);
  EXPECT_EQ(log_.entries[1].control, L"b");
  EXPECT_EQ(log_.entries[1].type, kEventMouseEnter);
  EXPECT_EQ(window_->GetHoverControl(), Find(L"b"));

  SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(log_.Count(L"b", kEventMouseLeave), 1);
  EXPECT_EQ(window_->GetHoverControl(), nullptr);
}

TEST_F(InputTest, TabWrapsForwardAndShiftTabWrapsBackward) {
  // The first layout pass gives the focus to the first tab stop.
  EXPECT_EQ(window_->GetFocusControl(), Find(L"a"));
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"b"));
  window_->SetFocusControl(Find(L"wheel"));
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"a")) << "from the last stop to the first";

  SetShift(true);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"wheel")) << "from the first stop to the last";
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"c"));
  SetShift(false);

  // Disabled controls are no stops.
  Find(L"a")->SetEnabled(false);
  window_->SetFocusControl(Find(L"wheel"));
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"b"));
}

TEST_F(InputTest, FocusChangesRaiseKillAndSetFocus) {
  window_->SetFocusControl(Find(L"b"));
  log_.Clear();
  window_->SetFocusControl(Find(L"c"));
  EXPECT_EQ(log_.TypesOf(L"b"), std::vector<EventType>{kEventKillFocus});
  EXPECT_EQ(log_.TypesOf(L"c"), std::vector<EventType>{kEventSetFocus});
  EXPECT_TRUE(Find(L"c")->IsFocused());
  EXPECT_FALSE(Find(L"b")->IsFocused());

  // Hidden controls cannot take it; the old focus is dropped anyway.
  Find(L"b")->SetVisible(false);
  window_->SetFocusControl(Find(L"b"));
  EXPECT_EQ(window_->GetFocusControl(), nullptr);
}

test::HostWindow* InputTest::shared_ = nullptr;

// A control that takes the Tab key itself, as a rich edit that wants Tab.
class TabEater : public Control {
 public:
  int32_t GetTabFlags() const override { return kTabStop | kTabFlagWantsTab; }
};

TEST_F(InputTest, AControlThatWantsTabKeepsTheFocus) {
  auto* eater = new TabEater();
  ASSERT_TRUE(root_->Add(eater));
  window_->SetFocusControl(eater);
  Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), eater);
}

TEST_F(InputTest, KeysGoToTheFocusAndSpaceClicksAButton) {
  window_->SetFocusControl(Find(L"c"));
  log_.Clear();
  Key(WM_KEYDOWN, 'X');
  Key(WM_CHAR, 'x');
  window_->SetFocusControl(Find(L"b"));
  Key(WM_KEYUP, 'X');
  EXPECT_EQ(log_.TypesOf(L"c"),
            (std::vector<EventType>{kEventKeyDown, kEventChar, kEventKillFocus, kEventKeyUp}))
      << "the key up goes where the key down went";

  log_.Clear();
  Key(WM_KEYDOWN, VK_SPACE);
  EXPECT_EQ(log_.Count(L"b", kEventClick), 1);
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(log_.Count(L"b", kEventClick), 2);
}

TEST_F(InputTest, TheWheelReachesTheControlUnderTheCursorWithItsDelta) {
  intptr_t delta = 0;
  Find(L"wheel")->AttachEvent(kEventMouseScrollWheel, [&](EventArgs* args) {
    delta = static_cast<intptr_t>(args->wParam);
    return true;
  });
  POINT screen = {20, 60};
  ClientToScreen(hwnd_, &screen);
  SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
               test::PointParam(screen.x, screen.y));
  EXPECT_EQ(delta, -120);
  EXPECT_EQ(window_->GetLastMousePos(), (UiPoint{20, 60}));
}

TEST_F(InputTest, RightClickRaisesTheMenuOfAControlThatHasOne) {
  test::MouseMove(hwnd_, 20, 60);
  SendMessageW(hwnd_, WM_RBUTTONDOWN, MK_RBUTTON, test::PointParam(20, 60));
  EXPECT_EQ(window_->GetClickTarget(), Find(L"wheel"));
  // The default handling of the release asks for the context menu, which
  // lets go of the pressed control.
  SendMessageW(hwnd_, WM_RBUTTONUP, 0, test::PointParam(20, 60));
  EXPECT_EQ(window_->GetClickTarget(), nullptr);
  EXPECT_EQ(log_.TypesOf(L"wheel"),
            (std::vector<EventType>{kEventMouseEnter, kEventMouseMove, kEventSetFocus,
                                    kEventMouseRightButtonDown, kEventMouseRightButtonUp,
                                    kEventMouseMenu}));

  // Without a pressed control the context menu reaches nobody.
  log_.Clear();
  POINT screen = {20, 60};
  ClientToScreen(hwnd_, &screen);
  SendMessageW(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_),
               test::PointParam(screen.x, screen.y));
  EXPECT_EQ(log_.Count(L"wheel", kEventMouseMenu), 0);
}

TEST_F(InputTest, ADoubleClickPressesWithoutTakingTheFocus) {
  window_->SetFocusControl(Find(L"c"));
  test::MouseMove(hwnd_, 60, 10);
  SendMessageW(hwnd_, WM_LBUTTONDBLCLK, MK_LBUTTON, test::PointParam(60, 10));
  EXPECT_EQ(Find(L"b")->GetState(), ControlState::kPushed);
  EXPECT_EQ(window_->GetFocusControl(), Find(L"c"));
  SendMessageW(hwnd_, WM_LBUTTONUP, 0, test::PointParam(60, 10));
  EXPECT_EQ(log_.Count(L"b", kEventClick), 1);
}

TEST_F(InputTest, HoverShowsTheToolTipOfTheControl) {
  test::MouseMove(hwnd_, 10, 10);
  SendMessageW(hwnd_, WM_MOUSEHOVER, 0, test::PointParam(10, 10));
  EXPECT_EQ(log_.Count(L"a", kEventMouseHover), 1);
  HWND tooltip = window_->GetTooltipWindow();
  ASSERT_TRUE(tooltip);
  wchar_t class_name[64] = {};
  GetClassNameW(tooltip, class_name, 64);
  EXPECT_STREQ(class_name, TOOLTIPS_CLASSW);
  EXPECT_EQ(GetWindow(tooltip, GW_OWNER), hwnd_);

  wchar_t text[64] = {};
  TOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(text, L"tip a");
}

TEST_F(InputTest, TheCursorComesFromTheControlUnderIt) {
  test::PlaceCursor(hwnd_, 10, 10);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_TRUE(SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

// A control that gives the mouse back when the window loses the focus, as
// a scroll bar does.
class Releaser : public Control {
 public:
  Releaser() { SetReleaseOnFocusLoss(true); }
};

TEST_F(InputTest, LosingTheFocusReleasesAControlThatAsksForIt) {
  auto* releaser = new Releaser();
  releaser->SetFixedHeight(20);
  ASSERT_TRUE(root_->Add(releaser));
  releaser->AttachEvent(kEventAll, log_.Recorder(L"releaser"));
  window_->PaintNow();
  const UiRect bounds = releaser->GetBounds(true);
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(5, bounds.top + 5));
  ASSERT_EQ(window_->GetClickTarget(), releaser);
  SendMessageW(hwnd_, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(window_->GetClickTarget(), nullptr);
  EXPECT_FALSE(window_->IsMouseCaptured());
  EXPECT_EQ(log_.Count(L"releaser", kEventMouseButtonUp), 1);
}

TEST_F(InputTest, ClosingLetsGoOfHoverAndPressWithoutClickingAndRaisesWindowClose) {
  std::vector<EventType> window_events;
  window_->AttachWindowEvent(kEventAll, [&](EventArgs* args) {
    window_events.push_back(args->type);
    return true;
  });
  window_->AttachWindowEvent(kEventWindowClose, [&](EventArgs* args) {
    window_events.push_back(static_cast<EventType>(args->type + 1000));
    return true;
  });
  window_->SetFocusControl(Find(L"a"));
  test::MouseMove(hwnd_, 10, 10);
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(10, 10));
  log_.Clear();
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_EQ(log_.TypesOf(L"a"),
            (std::vector<EventType>{kEventMouseLeave, kEventMouseButtonUp, kEventKillFocus}))
      << "a button held while the window closes does not click";
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(window_events, (std::vector<EventType>{static_cast<EventType>(kEventWindowClose + 1000),
                                                   kEventWindowClose}))
      << "handlers of windowclose run before those of all";
}

TEST_F(InputTest, SecondaryPointersAreSwallowed) {
  bool handled = false;
  // No primary flag in the high word.
  window_->HandleWindowMessage(0x0246, MAKEWPARAM(7, 0), 0, &handled);
  EXPECT_TRUE(handled);
  window_->SetPointerInputEnabled(false);
  window_->HandleWindowMessage(0x0246, MAKEWPARAM(7, 0), 0, &handled);
  EXPECT_FALSE(handled);
}

}  // namespace
}  // namespace ui
