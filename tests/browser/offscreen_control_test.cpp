// The off-screen browser control in a layered window against the stand-in
// runtime started for off-screen rendering: input sent as real window
// messages reaching the page, the page's pixels on the screen, and the
// frames and messages the control must refuse.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browser/control/browser_control_factory.h"
#include "browser/control/cef_control.h"
#include "browser/manager/cef_manager.h"
#include "runtime/standin/standin_probe.h"
#include "tests/browser/main_thread_for_test.h"
#include "tests/window/window_test_support.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace kel_comp {
namespace {

using test::WaitUntil;

constexpr int kLeft = 120;
constexpr int kTop = 90;
// The control sits 20 pixels right and 30 down in its window.
constexpr int kControlX = 20;
constexpr int kControlY = 30;
constexpr wchar_t kSkin[] =
    L"<Window size=\"400,300\" shadowattached=\"false\"><VBox bkcolor=\"white\">"
    L"<CefControl name=\"cef\" margin=\"20,30,0,0\"/></VBox></Window>";

std::wstring PageUrl(const std::string& html) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring url = L"data:text/html;charset=utf-8,";
  for (unsigned char c : html) {
    url += L'%';
    url += static_cast<wchar_t>(kHex[c >> 4]);
    url += static_cast<wchar_t>(kHex[c & 15]);
  }
  return url;
}

uint32_t ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return (static_cast<uint32_t>(GetRValue(color)) << 16) |
         (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

class HostWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelOffscreenControlTest"; }

  bool Open() {
    HWND hwnd = Create(nullptr, L"off-screen control test", WS_POPUP | WS_VISIBLE, 0,
                       /*layered=*/true, ui::UiRect{kLeft, kTop, kLeft + 400, kTop + 300});
    if (!hwnd)
      return false;
    AttachNativeWindow(hwnd);
    ui::SkinBuilder builder;
    ui::Control* root = builder.Create(kSkin, &CreateBrowserControl, this, nullptr);
    return root && AttachRoot(root);
  }
  CefControl* control() const { return dynamic_cast<CefControl*>(FindControlByName(L"cef")); }
};

class OffscreenControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One main thread, never ended, as for the windowed control's tests.
    if (!main_thread_)
      main_thread_ = new test::MainThreadForTest;
    folder_ = new test::TempFolder(L"qel_offscreen_control");
    settings_ = new CefSettings;
    // On the main thread, as at start-up: the helper windows made for
    // off-screen rendering belong to the thread that initialises, and the
    // runtime's thread waits for it to answer their messages.
    main_thread_->RunAndWait([] {
      initialized_ = CefManager::GetInstance()->Initialize(folder_->path() + L"cef_temp\\",
                                                           *settings_, /*offscreen=*/true);
    });
  }
  static void TearDownTestSuite() {
    main_thread_->RunAndWait([] { CefManager::GetInstance()->Shutdown(); });
    delete settings_;
    delete folder_;
  }

  void SetUp() override {
    ASSERT_TRUE(initialized_);
    ASSERT_TRUE(probe_.available());
    // The store belongs to the UI thread: the main thread, not this one.
    ASSERT_TRUE(main_.RunAndWait([] { ui::test::UseShippedResources(); }));
    // Away from the window, so that no real mouse move reaches the page.
    SetCursorPos(0, 0);
  }
  void TearDown() override {
    main_.RunAndWait([this] {
      BYTE keys[256] = {};
      SetKeyboardState(keys);
      if (window_ && window_->GetHWND())
        DestroyWindow(window_->GetHWND());
      delete window_;
      window_ = nullptr;
    });
    WaitUntil([this] { return probe_.BrowserCount() == 0; });
  }

  // Opens the window with `html` loaded and waits for its first frame on
  // the control.
  void Open(const std::string& html) {
    bool opened = false;
    ASSERT_TRUE(main_.RunAndWait([&] {
      window_ = new HostWindow;
      opened = window_->Open();
      control_ = opened ? window_->control() : nullptr;
      if (control_) {
        control_->AttachTitleChange([this](const std::wstring& title) { title_ = title; });
        control_->LoadURL(PageUrl(html));
      }
    }));
    ASSERT_TRUE(opened);
    ASSERT_NE(control_, nullptr) << "the factory makes the off-screen control";
    hwnd_ = window_->GetHWND();
    // The first browser of the process waits for the renderer's start.
    ASSERT_TRUE(WaitUntil([this] { return Browser() != nullptr; }, 30000));
    id_ = Browser()->GetIdentifier();
    ASSERT_TRUE(WaitUntil([this] { return probe_.BrowserIdle(id_); }));
    // A page frame can arrive before the window's first layout; input is
    // placed by the control's laid-out bounds, so wait for both.
    ASSERT_TRUE(WaitUntil([this] {
      bool ready = false;
      main_.RunAndWait([&] {
        ready = control_->view_bitmap().valid && !control_->GetBounds(false).IsEmpty();
      });
      return ready;
    }));
  }
  CefRefPtr<CefBrowser> Browser() { return control_->GetHandler()->GetBrowser(); }
  std::vector<cef_standin_input_t> Inputs() { return probe_.Inputs(id_); }
  // The inputs as "kind@x,y" for failure messages.
  std::string Describe() {
    std::string text;
    for (const cef_standin_input_t& input : Inputs()) {
      text += std::to_string(input.kind) + "@" + std::to_string(input.x) + "," +
              std::to_string(input.y) + " ";
    }
    return text;
  }
  // Waits until the page has received `count` inputs in all.
  bool WaitForInputs(size_t count) {
    return WaitUntil([&] { return Inputs().size() >= count; });
  }
  // Sets the main thread's key state: `down` keys pressed, `toggled` on.
  void SetKeys(std::vector<int> down, std::vector<int> toggled = {}) {
    main_.RunAndWait([&] {
      BYTE keys[256] = {};
      for (int key : down)
        keys[key] = 0x80;
      for (int key : toggled)
        keys[key] |= 0x01;
      SetKeyboardState(keys);
    });
  }
  void Focus() {
    main_.RunAndWait([this] { control_->SetFocus(); });
  }
  static LPARAM Point(int x, int y) { return ui::test::PointParam(x, y); }

  static test::TempFolder* folder_;
  static CefSettings* settings_;
  static bool initialized_;
  static test::MainThreadForTest* main_thread_;
  test::MainThreadForTest& main_ = *main_thread_;
  StandinProbe probe_;
  HostWindow* window_ = nullptr;
  CefControl* control_ = nullptr;
  HWND hwnd_ = nullptr;
  int id_ = 0;
  std::wstring title_;  // main thread
};

test::MainThreadForTest* OffscreenControlTest::main_thread_ = nullptr;
test::TempFolder* OffscreenControlTest::folder_ = nullptr;
CefSettings* OffscreenControlTest::settings_ = nullptr;
bool OffscreenControlTest::initialized_ = false;

constexpr char kButtonPage[] =
    "<body style='margin:0; background-color:#ff0000'><button id=b style='width:120px; "
    "height:40px' onclick=\"document.title = 'clicked'\">press</button></body>";

TEST_F(OffscreenControlTest, KeysReachThePageWithTheirModifiersFlagByFlag) {
  Open(kButtonPage);
  // Not focused: the keys are the window's, not the page's.
  main_.RunAndWait([this] { window_->SetFocusControl(nullptr); });
  SendMessageW(hwnd_, WM_KEYDOWN, 'A', 0x001E0001);
  Focus();

  constexpr LPARAM kExtended = 1 << 24;
  struct Case {
    std::vector<int> down;
    std::vector<int> toggled;
    UINT message;
    WPARAM key;
    LPARAM lparam;
    cef_standin_input_kind_t kind;
    uint32 modifiers;
    int system;
  };
  const std::vector<Case> cases = {
      {{VK_SHIFT, VK_LSHIFT},
       {VK_NUMLOCK},
       WM_KEYDOWN,
       VK_NUMPAD5,
       0x004C0001,
       STANDIN_INPUT_RAW_KEY_DOWN,
       EVENTFLAG_SHIFT_DOWN | EVENTFLAG_NUM_LOCK_ON | EVENTFLAG_IS_KEY_PAD,
       0},
      {{VK_SHIFT, VK_RSHIFT},
       {},
       WM_KEYDOWN,
       VK_SHIFT,
       0x00360001,
       STANDIN_INPUT_RAW_KEY_DOWN,
       EVENTFLAG_SHIFT_DOWN | EVENTFLAG_IS_RIGHT,
       0},
      {{VK_CONTROL, VK_LCONTROL},
       {},
       WM_KEYUP,
       VK_CONTROL,
       static_cast<LPARAM>(0xC01D0001u),
       STANDIN_INPUT_KEY_UP,
       EVENTFLAG_CONTROL_DOWN | EVENTFLAG_IS_LEFT,
       0},
      {{VK_MENU, VK_RMENU},
       {},
       WM_SYSKEYDOWN,
       VK_MENU,
       0x21380001,
       STANDIN_INPUT_RAW_KEY_DOWN,
       EVENTFLAG_ALT_DOWN | EVENTFLAG_IS_RIGHT,
       1},
      {{},
       {},
       WM_KEYDOWN,
       VK_RETURN,
       0x001C0001 | kExtended,
       STANDIN_INPUT_RAW_KEY_DOWN,
       EVENTFLAG_IS_KEY_PAD,
       0},
      {{}, {}, WM_KEYDOWN, VK_RETURN, 0x001C0001, STANDIN_INPUT_RAW_KEY_DOWN, 0, 0},
      {{},
       {},
       WM_KEYDOWN,
       VK_HOME,
       0x00470001,
       STANDIN_INPUT_RAW_KEY_DOWN,
       EVENTFLAG_IS_KEY_PAD,
       0},
      {{},
       {},
       WM_KEYUP,
       VK_HOME,
       static_cast<LPARAM>(0xC0470001u) | kExtended,
       STANDIN_INPUT_KEY_UP,
       0,
       0},
      {{}, {}, WM_KEYDOWN, VK_LWIN, 0x015B0001, STANDIN_INPUT_RAW_KEY_DOWN, EVENTFLAG_IS_LEFT, 0},
      {{}, {}, WM_KEYDOWN, VK_RWIN, 0x015C0001, STANDIN_INPUT_RAW_KEY_DOWN, EVENTFLAG_IS_RIGHT, 0},
      {{}, {VK_CAPITAL}, WM_CHAR, L'Q', 0x00100001, STANDIN_INPUT_CHAR, EVENTFLAG_CAPS_LOCK_ON, 0},
      {{VK_MENU}, {}, WM_SYSCHAR, L'x', 0x202D0001, STANDIN_INPUT_CHAR, EVENTFLAG_ALT_DOWN, 1},
      {{VK_CONTROL},
       {},
       WM_SYSKEYUP,
       VK_F10,
       static_cast<LPARAM>(0xC0440001u),
       STANDIN_INPUT_KEY_UP,
       EVENTFLAG_CONTROL_DOWN,
       1},
  };
  for (const Case& c : cases) {
    SetKeys(c.down, c.toggled);
    EXPECT_EQ(SendMessageW(hwnd_, c.message, c.key, c.lparam), 0);
  }
  ASSERT_TRUE(WaitForInputs(cases.size()));
  const std::vector<cef_standin_input_t> inputs = Inputs();
  ASSERT_EQ(inputs.size(), cases.size())
      << "nothing while the control had no focus: " << Describe();
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(inputs[i].kind, cases[i].kind);
    EXPECT_EQ(inputs[i].windows_key_code, static_cast<int>(cases[i].key));
    EXPECT_EQ(inputs[i].modifiers, cases[i].modifiers);
    EXPECT_EQ(inputs[i].is_system_key, cases[i].system);
    if (cases[i].kind != STANDIN_INPUT_CHAR) {
      EXPECT_EQ(inputs[i].native_key_code, static_cast<int>(cases[i].lparam));
    }
  }
}

TEST_F(OffscreenControlTest, MouseMessagesReachThePageAtTheControlsOrigin) {
  Open(kButtonPage);
  const int x = kControlX + 30;
  const int y = kControlY + 20;
  SendMessageW(hwnd_, WM_MOUSEMOVE, MK_CONTROL, Point(x, y));
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, Point(x, y));
  SendMessageW(hwnd_, WM_LBUTTONUP, 0, Point(x, y));
  bool clicked = false;
  ASSERT_TRUE(WaitUntil([&] {
    main_.RunAndWait([&] { clicked = title_ == L"clicked"; });
    return clicked;
  })) << "the button's script ran; the page had: " << Describe();
  bool focused = false;
  main_.RunAndWait([&] { focused = control_->IsFocused(); });
  EXPECT_TRUE(focused) << "a press focuses the control";

  // Outside the control a press is the window's.
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
  // The wheel over the window, with Shift horizontal; over another window
  // (here: the desktop) it is ignored.
  SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), Point(kLeft + x, kTop + y));
  SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA),
               Point(kLeft + x, kTop + y));
  EXPECT_EQ(
      SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), Point(kLeft + 600, kTop + 50)),
      0);
  SendMessageW(hwnd_, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(x, y));
  SendMessageW(hwnd_, WM_CAPTURECHANGED, 0, 0);
  ASSERT_TRUE(WaitForInputs(8));
  test::PumpFor(100);

  const std::vector<cef_standin_input_t> inputs = Inputs();
  ASSERT_EQ(inputs.size(), 8u) << Describe();
  EXPECT_EQ(inputs[0].kind, STANDIN_INPUT_MOUSE_MOVE);
  EXPECT_EQ(inputs[0].x, 30);
  EXPECT_EQ(inputs[0].y, 20);
  EXPECT_EQ(inputs[0].modifiers, static_cast<uint32>(EVENTFLAG_CONTROL_DOWN));
  EXPECT_EQ(inputs[1].kind, STANDIN_INPUT_MOUSE_DOWN);
  EXPECT_EQ(inputs[1].button, MBT_LEFT);
  EXPECT_EQ(inputs[1].modifiers,
            static_cast<uint32>(EVENTFLAG_LEFT_MOUSE_BUTTON | EVENTFLAG_SHIFT_DOWN));
  EXPECT_EQ(inputs[2].kind, STANDIN_INPUT_MOUSE_UP);
  EXPECT_EQ(inputs[3].kind, STANDIN_INPUT_CAPTURE_LOST) << "the window released its capture";
  EXPECT_EQ(inputs[4].kind, STANDIN_INPUT_WHEEL);
  EXPECT_EQ(inputs[4].x, 30);
  EXPECT_EQ(inputs[4].y, 20);
  EXPECT_EQ(inputs[4].delta_x, 0);
  EXPECT_EQ(inputs[4].delta_y, WHEEL_DELTA);
  EXPECT_EQ(inputs[5].kind, STANDIN_INPUT_WHEEL);
  EXPECT_EQ(inputs[5].delta_x, -WHEEL_DELTA);
  EXPECT_EQ(inputs[5].delta_y, 0);
  EXPECT_EQ(inputs[6].kind, STANDIN_INPUT_DOUBLE_CLICK) << "the wheel outside was dropped";
  EXPECT_EQ(inputs[7].kind, STANDIN_INPUT_CAPTURE_LOST);
}

TEST_F(OffscreenControlTest, ThePaintedPageIsOnTheScreenThroughTheLayeredWindow) {
  Open(
      "<body style='margin:0; background-color:#00ff00'><div style='background-color:#0000ff; "
      "width:50px; height:40px'></div></body>");
  ASSERT_TRUE(window_->IsLayered());
  // The window's white, the page's blue box, and its green body beside it.
  EXPECT_TRUE(WaitUntil([] {
    return ScreenPixel(kLeft + kControlX + 10, kTop + kControlY + 10) == 0x0000FF &&
           ScreenPixel(kLeft + kControlX + 80, kTop + kControlY + 10) == 0x00FF00;
  })) << std::hex
      << ScreenPixel(kLeft + kControlX + 10, kTop + kControlY + 10) << " "
      << ScreenPixel(kLeft + kControlX + 80, kTop + kControlY + 10);
  EXPECT_EQ(ScreenPixel(kLeft + kControlX - 5, kTop + kControlY + 10), 0xFFFFFFu);
  EXPECT_EQ(ScreenPixel(kLeft + kControlX + 10, kTop + kControlY - 5), 0xFFFFFFu);
}

TEST_F(OffscreenControlTest, InputWhileTheBrowserClosesIsHarmless) {
  Open(kButtonPage);
  Focus();
  ASSERT_TRUE(main_.RunAndWait([this] { control_->GetHandler()->CloseAllBrowsers(); }));
  for (int i = 0; i < 50; ++i) {
    SendMessageW(hwnd_, WM_MOUSEMOVE, 0, Point(kControlX + i, kControlY + i));
    SendMessageW(hwnd_, WM_KEYDOWN, 'A', 0x001E0001);
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(kControlX + 5, kControlY + 5));
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, Point(kControlX + 5, kControlY + 5));
  }
  EXPECT_TRUE(WaitUntil([this] { return probe_.BrowserCount() == 0; }));
  bool has_browser = true;
  main_.RunAndWait([&] { has_browser = Browser() != nullptr; });
  EXPECT_FALSE(has_browser);
  // With the browser gone the messages are the window's again.
  EXPECT_EQ(SendMessageW(hwnd_, WM_KEYDOWN, 'A', 0x001E0001), 0);
}

// The control's frame handling on its own, without a window or browser.
TEST_F(OffscreenControlTest, BadFramesAreRefusedAndSizesDecideRecreation) {
  ASSERT_TRUE(main_.RunAndWait([] {
    CefControl control;
    PaintBuffer buffer;
    const std::vector<uint32_t> pixels(8 * 4, 0xFF112233u);
    buffer.Write(pixels.data(), pixels.size() * 4);
    CefRenderHandler::RectList dirty;

    control.OnPopupSize(nullptr, CefRect(1, 1, 2, 2));
    control.OnPaint(nullptr, PET_POPUP, dirty, buffer, 2, 2);
    EXPECT_FALSE(control.popup_bitmap().valid) << "a pop-up before any view is dropped";

    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 0, 0);
    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 16384, 16384);
    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 16, 16);
    EXPECT_FALSE(control.view_bitmap().valid) << "empty, huge and larger than the buffer";

    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 8, 4);
    ASSERT_TRUE(control.view_bitmap().valid);
    const HBITMAP first = control.view_bitmap().bitmap;
    EXPECT_EQ(static_cast<const uint32_t*>(control.view_bitmap().info.bmBits)[31], 0xFF112233u);
    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 8, 4);
    EXPECT_EQ(control.view_bitmap().bitmap, first) << "same size, same bitmap";
    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 16384, 16384);
    EXPECT_EQ(control.view_bitmap().bitmap, first) << "a refused frame leaves the view alone";
    control.OnPaint(nullptr, PET_VIEW, dirty, buffer, 4, 8);
    EXPECT_EQ(control.view_bitmap().width, 4);
    EXPECT_EQ(control.view_bitmap().height, 8);

    control.OnPaint(nullptr, PET_POPUP, dirty, buffer, 2, 2);
    EXPECT_TRUE(control.popup_bitmap().valid);
    control.OnPopupSize(nullptr, CefRect(0, 0, 0, 5));
    EXPECT_EQ(control.popup_rect(), CefRect(1, 1, 2, 2)) << "an empty size is not taken";
    control.OnPopupShow(nullptr, false);
    EXPECT_EQ(control.popup_rect(), CefRect(0, 0, 0, 0));

    // The handler refuses a frame too large to copy before it reads a byte.
    CefRefPtr<BrowserHandler> handler = new BrowserHandler;
    handler->SetHandlerDelegate(&control);
    handler->OnPaint(nullptr, PET_VIEW, dirty, pixels.data(), 16384, 16384);
    handler->SetHandlerDelegate(nullptr);
  }));
}

}  // namespace
}  // namespace kel_comp
