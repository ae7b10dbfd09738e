// Windowless browsers: the page painted into frames for the client's
// render handler, its <select> list as a pop-up widget, the frame rate,
// visibility and size, input sent by the client, and developer tools.

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/include/cef_render_handler.h"
#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using Events = std::vector<std::wstring>;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A client that paints for its windowless browsers: it answers the view's
// place and size as a test sets them, and keeps every frame's facts and
// the last frame's pixels of each kind.
class PaintingClient : public RecordingClient, public CefRenderHandler {
 public:
  struct Frame {
    PaintElementType type = PET_VIEW;
    std::vector<CefRect> dirty;
    int width = 0;
    int height = 0;
    DWORD at_ms = 0;
    bool on_ui_thread = false;
  };

  CefRefPtr<CefRenderHandler> GetRenderHandler() override { return this; }

  void GetViewRect(CefRefPtr<CefBrowser>, CefRect& rect) override {
    std::lock_guard<std::mutex> lock(mutex_);
    rect = view_rect_;
  }
  bool GetScreenPoint(CefRefPtr<CefBrowser>, int x, int y, int& screen_x, int& screen_y) override {
    screen_x = kScreenOrigin.x + x;
    screen_y = kScreenOrigin.y + y;
    return true;
  }
  void OnPopupShow(CefRefPtr<CefBrowser>, bool show) override {
    Record(L"OnPopupShow " + Flag(show));
  }
  void OnPopupSize(CefRefPtr<CefBrowser>, const CefRect& rect) override {
    Record(L"OnPopupSize " + std::to_wstring(rect.x) + L" " + std::to_wstring(rect.y) + L" " +
           std::to_wstring(rect.width) + L" " + std::to_wstring(rect.height));
  }
  void OnPaint(CefRefPtr<CefBrowser>,
               PaintElementType type,
               const RectList& dirty,
               const void* buffer,
               int width,
               int height) override {
    Frame frame;
    frame.type = type;
    frame.dirty = dirty;
    frame.width = width;
    frame.height = height;
    frame.at_ms = GetTickCount();
    frame.on_ui_thread = CefCurrentlyOn(TID_UI);
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<uint32_t>& pixels = type == PET_VIEW ? view_pixels_ : popup_pixels_;
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    std::memcpy(pixels.data(), buffer, pixels.size() * sizeof(uint32_t));
    frames_.push_back(frame);
  }
  void OnCursorChange(CefRefPtr<CefBrowser>,
                      CefCursorHandle cursor,
                      CursorType type,
                      const CefCursorInfo&) override {
    const bool system_cursor = cursor == LoadCursorW(nullptr, type == CT_HAND    ? IDC_HAND
                                                              : type == CT_IBEAM ? IDC_IBEAM
                                                                                 : IDC_ARROW);
    Record(L"OnCursorChange " + std::to_wstring(type) + (system_cursor ? L"" : L" (no cursor)"));
  }

  void SetViewRect(const CefRect& rect) {
    std::lock_guard<std::mutex> lock(mutex_);
    view_rect_ = rect;
  }
  std::vector<Frame> Frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  size_t FrameCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.size();
  }
  // A pixel of the last view or pop-up frame, 0xAARRGGBB; 0 outside it.
  uint32_t Pixel(PaintElementType type, int x, int y, int width) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::vector<uint32_t>& pixels = type == PET_VIEW ? view_pixels_ : popup_pixels_;
    const size_t index =
        static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    return index < pixels.size() ? pixels[index] : 0;
  }

  static constexpr POINT kScreenOrigin = {200, 150};

 private:
  std::mutex mutex_;
  CefRect view_rect_{0, 0, 400, 300};
  std::vector<Frame> frames_;
  std::vector<uint32_t> view_pixels_;
  std::vector<uint32_t> popup_pixels_;
};

class WindowlessTest : public BrowserTest {
 protected:
  WindowlessTest() { windowless_rendering_ = true; }

  void SetUp() override {
    BrowserTest::SetUp();
    painter_ = new PaintingClient;
  }

  bool CreateWindowless(const CefRefPtr<CefClient>& client,
                        const std::wstring& url,
                        int frame_rate = 0) {
    CefWindowInfo info;
    info.SetAsWindowless(window_);
    CefBrowserSettings settings;
    settings.windowless_frame_rate = frame_rate;
    return CefBrowserHost::CreateBrowser(info, client, url, settings, nullptr, nullptr);
  }

  // A windowless browser of `painter_` on `url`, once it has loaded and
  // painted.
  CefRefPtr<CefBrowser> Open(const std::wstring& url, int frame_rate = 0) {
    if (!CreateWindowless(painter_.get(), url, frame_rate))
      return nullptr;
    if (!test::PumpUntil(
            [&] {
              return painter_->HasEvent(L"OnLoadingStateChange loading=0 back=0 forward=0") &&
                     painter_->FrameCount() > 0;
            },
            10000))
      return nullptr;
    return painter_->Browser();
  }

  // Pumps until a view frame arrived after the first `count` frames; the
  // frame, or one of size 0 after the time out.
  PaintingClient::Frame WaitForViewFrame(size_t count, DWORD timeout_ms = 5000) {
    PaintingClient::Frame found;
    test::PumpUntil(
        [&] {
          const std::vector<PaintingClient::Frame> frames = painter_->Frames();
          for (size_t i = count; i < frames.size(); ++i) {
            if (frames[i].type == PET_VIEW) {
              found = frames[i];
              return true;
            }
          }
          return false;
        },
        timeout_ms);
    return found;
  }

  // View frames that arrived in `duration_ms` from now.
  int ViewFramesIn(DWORD duration_ms) {
    const size_t before = painter_->FrameCount();
    test::PumpFor(duration_ms);
    const std::vector<PaintingClient::Frame> frames = painter_->Frames();
    int count = 0;
    for (size_t i = before; i < frames.size(); ++i)
      count += frames[i].type == PET_VIEW;
    return count;
  }

  static bool IsWholeView(const PaintingClient::Frame& frame) {
    return frame.dirty.size() == 1 && frame.dirty[0] == CefRect(0, 0, frame.width, frame.height);
  }

  CefRefPtr<PaintingClient> painter_;
};

// A red box at the view's top-left corner, and a button that turns it blue.
const char kBoxPage[] =
    "<body style='margin:0'><div id=box style='background-color:#ff0000; width:100px; "
    "height:50px'></div><p>some text</p><button id=blue onclick=\"document.getElementById('box')"
    ".style.backgroundColor = '#0000ff'\">blue</button></body>";

TEST_F(WindowlessTest, ThePageIsPaintedIntoViewFramesWithWhatChanged) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl(kBoxPage));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  EXPECT_EQ(probe_.BrowserWindow(id), nullptr) << "no window of its own";
  EXPECT_EQ(browser->GetHost()->GetWindowHandle(), window_) << "the host's window, as the runtime";
  EXPECT_TRUE(browser->GetHost()->IsWindowRenderingDisabled());
  test::PumpFor(200);
  for (const PaintingClient::Frame& frame : painter_->Frames()) {
    EXPECT_TRUE(frame.on_ui_thread);
    EXPECT_EQ(frame.type, PET_VIEW);
    EXPECT_EQ(frame.width, 400);
    EXPECT_EQ(frame.height, 300);
  }
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 50, 25, 400), kRed);
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 300, 25, 400), kWhite);
  uint32 shown = 0;
  EXPECT_TRUE(probe_.FramePixel(id, 50, 25, &shown));
  EXPECT_EQ(shown, kRed);

  // A change repaints the box, not the whole view.
  size_t count = painter_->FrameCount();
  ASSERT_TRUE(probe_.ClickElement(id, L"blue"));
  PaintingClient::Frame frame = WaitForViewFrame(count);
  ASSERT_EQ(frame.dirty.size(), 1u);
  const CefRect dirty = frame.dirty[0];
  EXPECT_LE(dirty.x, 0);
  EXPECT_LE(dirty.y, 0);
  EXPECT_GE(dirty.x + dirty.width, 100);
  EXPECT_GE(dirty.y + dirty.height, 50);
  EXPECT_LT(dirty.height, 150) << "only the box (and the button) changed";
  test::PumpFor(100);
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 50, 25, 400), kBlue);

  // Invalidate asks for a whole frame of an unchanged page.
  count = painter_->FrameCount();
  browser->GetHost()->Invalidate(PET_VIEW);
  frame = WaitForViewFrame(count);
  EXPECT_TRUE(IsWholeView(frame));
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 50, 25, 400), kBlue);
}

TEST_F(WindowlessTest, AnAnimationAt200HzGetsNoMoreFramesThanTheFrameRate) {
  const std::wstring page = PageUrl(
      "<div id=box style='background-color:#ff0000; width:100px; height:50px'></div><script>"
      "var on = false; setInterval(function () { on = !on; document.getElementById('box')"
      ".style.backgroundColor = on ? '#0000ff' : '#ff0000'; }, 5);</script>");
  CefRefPtr<CefBrowser> browser = Open(page, /*frame_rate=*/10);
  ASSERT_TRUE(browser);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  EXPECT_EQ(host->GetWindowlessFrameRate(), 10);
  int frames = ViewFramesIn(1000);
  EXPECT_LE(frames, 11);
  EXPECT_GE(frames, 3) << "the page animates";

  host->SetWindowlessFrameRate(60);
  EXPECT_EQ(host->GetWindowlessFrameRate(), 60);
  test::PumpFor(100);
  frames = ViewFramesIn(1000);
  EXPECT_LE(frames, 61);
  EXPECT_GT(frames, 11) << "faster than before";

  // Rates outside 1 to 60 are clamped.
  host->SetWindowlessFrameRate(1000);
  EXPECT_EQ(host->GetWindowlessFrameRate(), 60);
  host->SetWindowlessFrameRate(-5);
  EXPECT_EQ(host->GetWindowlessFrameRate(), 1);
}

TEST_F(WindowlessTest, HidingResizingAndBadSizesChangeWhatIsPainted) {
  const std::wstring page = PageUrl(
      "<body style='margin:0; background-color:#ff0000'><script>var n = 0; setInterval("
      "function () { document.title = 'tick ' + (n++); }, 20);</script><p id=p>text</p></body>");
  CefRefPtr<CefBrowser> browser = Open(page);
  ASSERT_TRUE(browser);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  ASSERT_TRUE(probe_.RunScript(browser->GetIdentifier(),
                               L"setInterval(function () { document.getElementById('p')"
                               L".textContent = 'text ' + (n % 10); }, 20);"));
  EXPECT_GT(ViewFramesIn(300), 0);

  // Hidden, nothing is painted; shown, a whole frame comes.
  host->WasHidden(true);
  test::PumpFor(100);
  EXPECT_EQ(ViewFramesIn(400), 0);
  size_t count = painter_->FrameCount();
  host->WasHidden(false);
  EXPECT_TRUE(IsWholeView(WaitForViewFrame(count)));

  // Resized, whole frames of the new size, and none of the old after it.
  painter_->SetViewRect(CefRect(0, 0, 200, 100));
  host->WasResized();
  count = painter_->FrameCount();
  PaintingClient::Frame frame = WaitForViewFrame(count);
  EXPECT_EQ(frame.width, 200);
  EXPECT_EQ(frame.height, 100);
  EXPECT_TRUE(IsWholeView(frame));
  test::PumpFor(200);
  std::vector<PaintingClient::Frame> frames = painter_->Frames();
  for (size_t i = count; i < frames.size(); ++i)
    EXPECT_EQ(frames[i].width, 200);
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 199, 99, 200), kRed);

  // A view of nothing paints nothing; a huge one is clamped to 4096 a
  // side (64 MiB a frame) instead of a gigabyte.
  painter_->SetViewRect(CefRect(0, 0, 0, 0));
  host->WasResized();
  test::PumpFor(100);
  EXPECT_EQ(ViewFramesIn(300), 0);
  painter_->SetViewRect(CefRect(0, 0, 16384, 16384));
  host->WasResized();
  count = painter_->FrameCount();
  frame = WaitForViewFrame(count, 10000);
  EXPECT_EQ(frame.width, 4096);
  EXPECT_EQ(frame.height, 4096);
  EXPECT_EQ(painter_->Pixel(PET_VIEW, 4095, 4095, 4096), kRed);
}

TEST_F(WindowlessTest, ASelectListIsAPopupWidgetWithFramesOfItsOwn) {
  CefRefPtr<CefBrowser> browser =
      Open(PageUrl("<body style='margin:0'><select id=s onchange='document.title = this.value'>"
                   "<option value=a>Alpha<option value=b>Beta<option value=c>Gamma</select>"
                   "<p>text under the list</p></body>"));
  ASSERT_TRUE(browser);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  test::PumpFor(100);
  const size_t count = painter_->FrameCount();
  CefMouseEvent event;
  event.x = 10;
  event.y = 8;
  host->SendMouseClickEvent(event, MBT_LEFT, false, 1);
  host->SendMouseClickEvent(event, MBT_LEFT, true, 1);
  ASSERT_TRUE(WaitForEvent(painter_, L"OnPopupShow 1"));
  ASSERT_TRUE(test::PumpUntil(
      [&] {
        for (const PaintingClient::Frame& frame : painter_->Frames()) {
          if (frame.type == PET_POPUP)
            return true;
        }
        return false;
      },
      5000));
  const Events sizes = painter_->Events({L"OnPopupShow", L"OnPopupSize"});
  ASSERT_EQ(sizes.size(), 2u);
  int x = 0, y = 0, width = 0, height = 0;
  ASSERT_EQ(swscanf(sizes[1].c_str(), L"OnPopupSize %d %d %d %d", &x, &y, &width, &height), 4);
  EXPECT_EQ(x, 0);
  EXPECT_GT(y, 10) << "below the select";
  EXPECT_GT(height, 3 * 12);
  PaintingClient::Frame popup;
  for (const PaintingClient::Frame& frame : painter_->Frames()) {
    if (frame.type == PET_POPUP)
      popup = frame;
  }
  EXPECT_EQ(popup.width, width);
  EXPECT_EQ(popup.height, height);
  EXPECT_EQ(painter_->Pixel(PET_POPUP, 0, 0, width), 0xFF767676u) << "the list's border";
  // The view frames show the page alone.
  EXPECT_GT(painter_->FrameCount(), count);
  EXPECT_EQ(painter_->Pixel(PET_VIEW, x + 3, y + height - 3, 400), kWhite);

  // The last row, clicked in view coordinates, is the choice.
  event.y = y + height - 4;
  host->SendMouseClickEvent(event, MBT_LEFT, false, 1);
  host->SendMouseClickEvent(event, MBT_LEFT, true, 1);
  ASSERT_TRUE(WaitForEvent(painter_, L"OnTitleChange c"));
  ASSERT_TRUE(WaitForEvent(painter_, L"OnPopupShow 0"));
}

TEST_F(WindowlessTest, SentInputReachesThePageWithEveryFlag) {
  CefRefPtr<CefBrowser> browser = Open(
      PageUrl("<body style='margin:0'><button id=b style='width:120px; height:40px' "
              "onclick=\"document.title = 'clicked'\">press</button><p><a href='#x'>a link</a></p>"
              "<input id=field></body>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  host->SendFocusEvent(true);

  // A click at the button reaches its script.
  CefMouseEvent mouse;
  mouse.x = 30;
  mouse.y = 20;
  mouse.modifiers = EVENTFLAG_SHIFT_DOWN | EVENTFLAG_CONTROL_DOWN;
  host->SendMouseMoveEvent(mouse, false);
  mouse.modifiers |= EVENTFLAG_LEFT_MOUSE_BUTTON;
  host->SendMouseClickEvent(mouse, MBT_LEFT, false, 1);
  host->SendMouseClickEvent(mouse, MBT_LEFT, true, 1);
  ASSERT_TRUE(WaitForEvent(painter_, L"OnTitleChange clicked"));

  CefMouseEvent wheel;
  wheel.x = 7;
  wheel.y = 9;
  wheel.modifiers = EVENTFLAG_ALT_DOWN | EVENTFLAG_NUM_LOCK_ON;
  host->SendMouseWheelEvent(wheel, 120, -240);
  CefKeyEvent key;
  key.type = KEYEVENT_RAWKEYDOWN;
  key.windows_key_code = VK_NUMPAD5;
  key.native_key_code = 0x004C0001;
  key.modifiers = EVENTFLAG_IS_KEY_PAD | EVENTFLAG_NUM_LOCK_ON | EVENTFLAG_SHIFT_DOWN |
                  EVENTFLAG_IS_LEFT | EVENTFLAG_CAPS_LOCK_ON;
  host->SendKeyEvent(key);
  key.type = KEYEVENT_KEYUP;
  key.windows_key_code = VK_MENU;
  key.is_system_key = 1;
  key.modifiers = EVENTFLAG_ALT_DOWN | EVENTFLAG_IS_RIGHT;
  host->SendKeyEvent(key);
  key.type = KEYEVENT_CHAR;
  key.windows_key_code = L'q';
  key.is_system_key = 0;
  key.modifiers = EVENTFLAG_CONTROL_DOWN;
  host->SendKeyEvent(key);
  host->SendCaptureLostEvent();
  mouse.modifiers = EVENTFLAG_MIDDLE_MOUSE_BUTTON | EVENTFLAG_RIGHT_MOUSE_BUTTON;
  host->SendMouseMoveEvent(mouse, true);
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.Inputs(id).size() >= 9; }, 5000));

  const std::vector<cef_standin_input_t> inputs = probe_.Inputs(id);
  ASSERT_EQ(inputs.size(), 9u);
  EXPECT_EQ(inputs[0].kind, STANDIN_INPUT_MOUSE_MOVE);
  EXPECT_EQ(inputs[0].modifiers,
            static_cast<uint32>(EVENTFLAG_SHIFT_DOWN | EVENTFLAG_CONTROL_DOWN));
  EXPECT_EQ(inputs[1].kind, STANDIN_INPUT_MOUSE_DOWN);
  EXPECT_EQ(inputs[1].x, 30);
  EXPECT_EQ(inputs[1].y, 20);
  EXPECT_EQ(inputs[1].button, MBT_LEFT);
  EXPECT_EQ(inputs[1].modifiers, static_cast<uint32>(EVENTFLAG_SHIFT_DOWN | EVENTFLAG_CONTROL_DOWN |
                                                     EVENTFLAG_LEFT_MOUSE_BUTTON));
  EXPECT_EQ(inputs[2].kind, STANDIN_INPUT_MOUSE_UP);
  EXPECT_EQ(inputs[3].kind, STANDIN_INPUT_WHEEL);
  EXPECT_EQ(inputs[3].x, 7);
  EXPECT_EQ(inputs[3].delta_x, 120);
  EXPECT_EQ(inputs[3].delta_y, -240);
  EXPECT_EQ(inputs[3].modifiers, static_cast<uint32>(EVENTFLAG_ALT_DOWN | EVENTFLAG_NUM_LOCK_ON));
  EXPECT_EQ(inputs[4].kind, STANDIN_INPUT_RAW_KEY_DOWN);
  EXPECT_EQ(inputs[4].windows_key_code, VK_NUMPAD5);
  EXPECT_EQ(inputs[4].native_key_code, 0x004C0001);
  EXPECT_EQ(inputs[4].modifiers,
            static_cast<uint32>(EVENTFLAG_IS_KEY_PAD | EVENTFLAG_NUM_LOCK_ON |
                                EVENTFLAG_SHIFT_DOWN | EVENTFLAG_IS_LEFT | EVENTFLAG_CAPS_LOCK_ON));
  EXPECT_EQ(inputs[5].kind, STANDIN_INPUT_KEY_UP);
  EXPECT_EQ(inputs[5].is_system_key, 1);
  EXPECT_EQ(inputs[5].modifiers, static_cast<uint32>(EVENTFLAG_ALT_DOWN | EVENTFLAG_IS_RIGHT));
  EXPECT_EQ(inputs[6].kind, STANDIN_INPUT_CHAR);
  EXPECT_EQ(inputs[6].windows_key_code, L'q');
  EXPECT_EQ(inputs[6].modifiers, static_cast<uint32>(EVENTFLAG_CONTROL_DOWN));
  EXPECT_EQ(inputs[7].kind, STANDIN_INPUT_CAPTURE_LOST);
  EXPECT_EQ(inputs[8].kind, STANDIN_INPUT_MOUSE_LEAVE);
  EXPECT_EQ(inputs[8].modifiers,
            static_cast<uint32>(EVENTFLAG_MIDDLE_MOUSE_BUTTON | EVENTFLAG_RIGHT_MOUSE_BUTTON));
  EXPECT_TRUE(probe_.HasFocus(id));

  // The cursor follows the page: a hand over the link, the system's own.
  mouse.modifiers = 0;
  mouse.y = 60;
  for (mouse.x = 2; mouse.x < 60 && !painter_->HasEvent(L"OnCursorChange 2"); mouse.x += 4) {
    host->SendMouseMoveEvent(mouse, false);
    test::PumpFor(20);
  }
  EXPECT_TRUE(WaitForEvent(painter_, L"OnCursorChange " + std::to_wstring(CT_HAND), 2000));

  // Numbers no window could send are clamped, not overflowed in the page.
  CefMouseEvent distant;
  distant.x = INT_MIN;
  distant.y = INT_MAX;
  const size_t before_distant = probe_.Inputs(id).size();
  host->SendMouseClickEvent(distant, MBT_LEFT, false, 1);
  host->SendMouseClickEvent(distant, MBT_LEFT, true, 1);
  host->SendMouseWheelEvent(distant, INT_MIN, INT_MAX);
  ASSERT_TRUE(
      test::PumpUntil([&] { return probe_.Inputs(id).size() >= before_distant + 3; }, 5000));
  const cef_standin_input_t distant_wheel = probe_.Inputs(id)[before_distant + 2];
  EXPECT_EQ(distant_wheel.x, -(1 << 20));
  EXPECT_EQ(distant_wheel.y, 1 << 20);
  EXPECT_EQ(distant_wheel.delta_x, -32767);
  EXPECT_EQ(distant_wheel.delta_y, 32767);

  // Input while the browser closes, and after, reaches nothing and
  // breaks nothing.
  host->CloseBrowser(true);
  for (int i = 0; i < 20; ++i) {
    host->SendMouseMoveEvent(mouse, false);
    host->SendKeyEvent(key);
  }
  ASSERT_TRUE(WaitForEvent(painter_, L"OnBeforeClose " + std::to_wstring(id)));
  const size_t received = probe_.Inputs(id).size();
  host->SendMouseClickEvent(mouse, MBT_LEFT, false, 1);
  host->SendMouseWheelEvent(mouse, 0, 120);
  host->SendKeyEvent(key);
  host->SendFocusEvent(false);
  host->SendCaptureLostEvent();
  host->WasResized();
  host->WasHidden(true);
  host->Invalidate(PET_VIEW);
  test::PumpFor(200);
  EXPECT_EQ(probe_.Inputs(id).size(), received);
}

BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32768" || !IsWindowVisible(window))
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The menu window the thread shows, or null.
HWND FindMenuOf(DWORD thread_id) {
  HWND found = nullptr;
  EnumThreadWindows(thread_id, &FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(WindowlessTest, TheContextMenuIsPlacedWhereTheRenderHandlerPutsThePoint) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl("<p>right-click me</p>"));
  ASSERT_TRUE(browser);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  CefMouseEvent mouse;
  mouse.x = 50;
  mouse.y = 60;
  host->SendMouseClickEvent(mouse, MBT_RIGHT, false, 1);
  host->SendMouseClickEvent(mouse, MBT_RIGHT, true, 1);
  HWND menu = nullptr;
  ASSERT_TRUE(test::PumpUntil(
      [&] { return (menu = FindMenuOf(probe_.ThreadId(TID_UI))) != nullptr; }, 5000));
  RECT rect = {};
  GetWindowRect(menu, &rect);
  EXPECT_NEAR(rect.left, PaintingClient::kScreenOrigin.x + 50, 2);
  EXPECT_NEAR(rect.top, PaintingClient::kScreenOrigin.y + 60, 2);
  // Escape closes it, as a user would.
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !FindMenuOf(probe_.ThreadId(TID_UI)); }, 5000));
}

TEST_F(WindowlessTest, DeveloperToolsPaintIntoAWindowlessViewOfTheirOwn) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl("<title>Inspected</title><p>page</p>"));
  ASSERT_TRUE(browser);
  CefRefPtr<PaintingClient> tools = new PaintingClient;
  tools->SetViewRect(CefRect(0, 0, 320, 240));
  CefWindowInfo info;
  info.SetAsWindowless(window_);
  browser->GetHost()->ShowDevTools(info, tools.get(), CefBrowserSettings(), CefPoint());
  ASSERT_TRUE(test::PumpUntil(
      [&] { return tools->HasEvent(L"OnLoadingStateChange loading=0 back=0 forward=0"); }, 10000));
  ASSERT_TRUE(test::PumpUntil(
      [&] {
        const std::vector<PaintingClient::Frame> frames = tools->Frames();
        return !frames.empty() && frames.back().width == 320 && frames.back().height == 240;
      },
      5000));
  CefRefPtr<CefBrowser> devtools = tools->Browser();
  ASSERT_TRUE(devtools);
  EXPECT_TRUE(devtools->GetHost()->IsWindowRenderingDisabled());
  EXPECT_EQ(probe_.BrowserWindow(devtools->GetIdentifier()), nullptr);
  EXPECT_TRUE(probe_.HasDevTools(browser->GetIdentifier()));
}

TEST_F(WindowlessTest, AClientWithoutARenderHandlerGetsNoWindowlessBrowser) {
  EXPECT_FALSE(CreateWindowless(client_.get(), L"about:blank"));
  test::PumpFor(100);
  EXPECT_EQ(probe_.BrowserCount(), 0);
}

using WindowlessOffTest = BrowserTest;

TEST_F(WindowlessOffTest, WithoutWindowlessRenderingInTheSettingsNoWindowlessBrowserIsMade) {
  CefRefPtr<PaintingClient> painter = new PaintingClient;
  CefWindowInfo info;
  info.SetAsWindowless(window_);
  EXPECT_FALSE(CefBrowserHost::CreateBrowser(info, painter.get(), L"about:blank",
                                             CefBrowserSettings(), nullptr, nullptr));
  test::PumpFor(100);
  EXPECT_EQ(probe_.BrowserCount(), 0);
  EXPECT_EQ(painter->FrameCount(), 0u);
}

}  // namespace
}  // namespace browser_test
