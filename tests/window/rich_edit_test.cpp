// The rich edit over the system's text services in a real window: typing,
// selection and the clipboard, Return and Tab, number-only input, the
// prompt, natural size, the input method, painting into a layered window
// and hostile input.

#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>
#include <ole2.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "tests/window/window_test_support.h"
#include "ui/control/on_screen_keyboard.h"
#include "ui/control/rich_edit.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

using test::EventLog;

constexpr wchar_t kSkin[] =
    L"<Window shadowattached=\"false\">"
    L"<VBox name=\"root\" bkcolor=\"white\">"
    L"<RichEdit name=\"edit\" height=\"60\" multiline=\"true\" wantreturnmsg=\"true\""
    L" returnmsgwantctrl=\"true\" prompttext=\"Type here\" promptcolor=\"text_hint\"/>"
    L"<RichEdit name=\"number\" height=\"30\" number=\"true\"/>"
    L"<RichEdit name=\"tabs\" height=\"30\" wanttab=\"true\" font=\"system_14\""
    L" normaltextcolor=\"black\"/>"
    L"</VBox></Window>";

void SetKeyHeld(int key, bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[key] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool PutClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner))
    return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  const bool stored = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return stored;
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner))
    return L"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

class RichEditTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
    OleUninitialize();
  }

  void SetUp() override {
    test::UseShippedResources();
    if (!window_ || !window_->GetHWND()) {
      delete window_;
      window_ = new test::HostWindow();
      ASSERT_TRUE(window_->CreateWithSkin(kSkin, false, {100, 100, 400, 300}));
      ShowWindow(window_->GetHWND(), SW_SHOW);
      SetForegroundWindow(window_->GetHWND());
    } else {
      SkinBuilder builder;
      ASSERT_TRUE(window_->AttachRoot(builder.Create(kSkin, nullptr, window_, nullptr)));
    }
    hwnd_ = window_->GetHWND();
    window_->PaintNow();
    edit_ = static_cast<RichEdit*>(window_->FindControlByName(L"edit"));
    number_ = static_cast<RichEdit*>(window_->FindControlByName(L"number"));
    tabs_ = static_cast<RichEdit*>(window_->FindControlByName(L"tabs"));
    ASSERT_TRUE(edit_ && number_ && tabs_);
    ASSERT_TRUE(edit_->HasTextServices()) << "msftedit.dll's text services are missing";
    for (RichEdit* edit : {edit_, number_, tabs_})
      edit->AttachEvent(kEventAll, log_.Recorder(edit->GetName()));
  }

  void TearDown() override {
    for (int key : {VK_CONTROL, VK_SHIFT, VK_TAB})
      SetKeyHeld(key, false);
    if (window_ && window_->GetHWND())
      window_->SetFocusControl(nullptr);
  }

  void Focus(RichEdit* edit) {
    window_->SetFocusControl(edit);
    ASSERT_EQ(window_->GetFocusControl(), edit);
  }

  void Type(const std::wstring& text) {
    for (wchar_t c : text)
      SendMessageW(hwnd_, WM_CHAR, c, 1);
  }

  void KeyDown(WPARAM key) { SendMessageW(hwnd_, WM_KEYDOWN, key, 1); }

  void CtrlKey(WPARAM key) {
    SetKeyHeld(VK_CONTROL, true);
    KeyDown(key);
    SendMessageW(hwnd_, WM_KEYUP, key, 1);
    SetKeyHeld(VK_CONTROL, false);
  }

  static test::HostWindow* window_;
  HWND hwnd_ = nullptr;
  RichEdit* edit_ = nullptr;
  RichEdit* number_ = nullptr;
  RichEdit* tabs_ = nullptr;
  EventLog log_;
};

test::HostWindow* RichEditTest::window_ = nullptr;

TEST_F(RichEditTest, TypedCharactersEnterTheTextMoveTheCaretAndRaiseTextChange) {
  Focus(edit_);
  const UiPoint caret_before = edit_->GetCaretPos();
  Type(L"hello");
  EXPECT_EQ(edit_->GetText(), L"hello");
  EXPECT_GE(log_.Count(L"edit", kEventTextChange), 5);
  EXPECT_GT(edit_->GetCaretPos().x, caret_before.x);
  EXPECT_TRUE(edit_->IsCaretVisible());
  EXPECT_GT(edit_->GetCaretSize().cy, 0);

  // Backspace is a key of its own, not a character.
  KeyDown(VK_BACK);
  EXPECT_EQ(edit_->GetText(), L"hell");

  // A click into the text moves the caret there (the services' hit test).
  test::Click(hwnd_, edit_->bounds().left + 1, edit_->bounds().top + 5);
  int32_t start = -1;
  int32_t end = -1;
  edit_->GetSel(&start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  window_->SetFocusControl(nullptr);
  EXPECT_FALSE(edit_->IsCaretVisible());
}

TEST_F(RichEditTest, CopyAndPasteGoThroughTheRealClipboard) {
  Focus(edit_);
  edit_->SetText(L"hello world");
  edit_->SetSel(0, 5);
  CtrlKey('C');
  EXPECT_EQ(ClipboardText(hwnd_), L"hello");

  edit_->SetSel(-1, -1);
  CtrlKey('V');
  EXPECT_EQ(edit_->GetText(), L"hello worldhello");

  ASSERT_TRUE(PutClipboardText(hwnd_, L"XY"));
  edit_->SetSel(0, 5);
  CtrlKey('V');
  EXPECT_EQ(edit_->GetText(), L"XY worldhello");
}

TEST_F(RichEditTest, NumberOnlyDropsLettersAndPastesOnlyDigitsKeepingTheClipboard) {
  Focus(number_);
  Type(L"1a2-b3");
  EXPECT_EQ(number_->GetText(), L"123");

  ASSERT_TRUE(PutClipboardText(hwnd_, L"a1b2"));
  CtrlKey('V');
  EXPECT_EQ(number_->GetText(), L"12312");
  EXPECT_EQ(ClipboardText(hwnd_), L"a1b2");

  // No digits: nothing is pasted, and the clipboard stays.
  ASSERT_TRUE(PutClipboardText(hwnd_, L"abc"));
  CtrlKey('V');
  EXPECT_EQ(number_->GetText(), L"12312");
  EXPECT_EQ(ClipboardText(hwnd_), L"abc");
}

TEST_F(RichEditTest, ReturnWithCtrlRaisesTheReturnEventAndReturnAloneBreaksTheLine) {
  Focus(edit_);
  Type(L"ab");
  KeyDown(VK_RETURN);
  Type(L"\r");
  EXPECT_EQ(log_.Count(L"edit", kEventReturn), 0);
  EXPECT_EQ(edit_->GetText(), L"ab\r");

  SetKeyHeld(VK_CONTROL, true);
  KeyDown(VK_RETURN);
  Type(L"\n");
  SetKeyHeld(VK_CONTROL, false);
  EXPECT_EQ(log_.Count(L"edit", kEventReturn), 1);
  EXPECT_EQ(edit_->GetText(), L"ab\r");
}

TEST_F(RichEditTest, TabRaisesTheTabEventUnlessTheEditWantsTab) {
  Focus(edit_);
  SetKeyHeld(VK_TAB, true);
  Type(L"\t");
  SetKeyHeld(VK_TAB, false);
  EXPECT_EQ(log_.Count(L"edit", kEventTab), 1);
  EXPECT_EQ(edit_->GetText(), L"");

  // The window leaves the Tab key to an edit that wants it.
  Focus(tabs_);
  KeyDown(VK_TAB);
  EXPECT_EQ(window_->GetFocusControl(), tabs_);
  Type(L"\t");
  EXPECT_EQ(tabs_->GetText(), L"\t");
  EXPECT_EQ(log_.Count(L"tabs", kEventTab), 0);
}

TEST_F(RichEditTest, PromptIsPaintedOnlyWhileTheTextIsEmptyAlsoWhenFocused) {
  window_->PaintNow();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(edit_->WasPromptPainted());
  Focus(edit_);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(edit_->WasPromptPainted());
  Type(L"x");
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(edit_->WasPromptPainted());
  // The edit without a prompt never paints one.
  EXPECT_FALSE(number_->WasPromptPainted());
}

TEST_F(RichEditTest, NaturalHeightGrowsWithWrappedLinesForAFixedWidth) {
  edit_->SetText(L"word");
  const UiSize one_line = edit_->GetNaturalSize(120);
  ASSERT_GT(one_line.cy, 5);
  EXPECT_LE(one_line.cx, 120);

  edit_->SetText(L"word word word word word word word word word word word word");
  const UiSize wrapped = edit_->GetNaturalSize(120);
  EXPECT_LE(wrapped.cx, 120);
  EXPECT_GE(wrapped.cy, 3 * one_line.cy);
  // The same text in a wider box takes fewer lines.
  EXPECT_LT(edit_->GetNaturalSize(400).cy, wrapped.cy);
}

TEST_F(RichEditTest, CompositionPlacesTheInputMethodWindowAtTheCaret) {
  Focus(edit_);
  Type(L"abc");
  SendMessageW(hwnd_, WM_IME_STARTCOMPOSITION, 0, 0);
  EXPECT_TRUE(edit_->IsComposing());
  HIMC context = ImmGetContext(hwnd_);
  ASSERT_TRUE(context);
  COMPOSITIONFORM form = {};
  ASSERT_TRUE(ImmGetCompositionWindow(context, &form));
  EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
  EXPECT_EQ(form.ptCurrentPos.x, std::max(edit_->GetCaretPos().x, 1));
  EXPECT_EQ(form.ptCurrentPos.y, std::max(edit_->GetCaretPos().y, 1));
  ImmReleaseContext(hwnd_, context);
  SendMessageW(hwnd_, WM_IME_ENDCOMPOSITION, 0, 0);
  EXPECT_FALSE(edit_->IsComposing());

  // The composed result reaches the edit as WM_IME_CHAR, which the default
  // handling turns into characters.
  PostMessageW(hwnd_, WM_IME_CHAR, L'\x4E2D', 1);
  test::PumpFor(50);
  EXPECT_EQ(edit_->GetText(), L"abc\x4E2D");
}

TEST_F(RichEditTest, AClickOnALinkRaisesTheLinkEventInsteadOfPlacingTheCaret) {
  edit_->SetText(L"http://example.com/page and more");
  edit_->SetSel(0, 23);
  CHARFORMAT2W link = {};
  link.cbSize = sizeof(link);
  link.dwMask = CFM_LINK;
  link.dwEffects = CFE_LINK;
  edit_->SendTextMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&link), nullptr);
  edit_->SetSel(-1, -1);
  window_->PaintNow();
  test::Click(hwnd_, edit_->bounds().left + 10, edit_->bounds().top + 5);
  EXPECT_EQ(log_.Count(L"edit", kEventCustomLinkClick), 1);
  // Beyond the link the click is the services' again.
  const UiSize text = edit_->GetNaturalSize(edit_->bounds().Width());
  test::Click(hwnd_, edit_->bounds().left + text.cx - 3, edit_->bounds().top + 5);
  EXPECT_EQ(log_.Count(L"edit", kEventCustomLinkClick), 1);
}

TEST_F(RichEditTest, HostileTextAndAttributesNeitherCrashNorHang) {
  // Lone surrogates are kept as they are.
  const std::wstring broken = {L'a', 0xD800, L'b', 0xDC00, 0xDBFF};
  edit_->SetText(broken);
  EXPECT_EQ(edit_->GetText().size(), broken.size());

  // Megabytes are cut at the services' limit, not at half a character.
  // (Short lines: the system's layout of one paragraph of tens of thousands
  // of characters takes seconds under Wine.)
  std::wstring huge;
  while (huge.size() < 4 * 1024 * 1024)
    huge += L"line\r";
  huge[32766] = 0xD83D;
  const DWORD start = GetTickCount();
  edit_->SetText(huge);
  EXPECT_EQ(edit_->GetText().size(), 32766u);
  EXPECT_GT(edit_->GetNaturalSize(200).cy, 1000);
  window_->PaintNow();
  EXPECT_LT(GetTickCount() - start, 10000u);

  SkinBuilder builder;
  Control* root = builder.Create(
      L"<Window><VBox><RichEdit name=\"bad\" number=\"maybe\" align=\"\" font=\"nope\""
      L" normaltextcolor=\"   \" focusedimage=\"file=''\" vscrollbar=\"1\" width=\"-7\""
      L" height=\"auto\" prompttextid=\"no_such_id\" text=\"{\\rtf1 not rtf}\"/></VBox></Window>",
      nullptr, window_, nullptr);
  ASSERT_TRUE(window_->AttachRoot(root));
  auto* bad = static_cast<RichEdit*>(window_->FindControlByName(L"bad"));
  ASSERT_TRUE(bad);
  EXPECT_FALSE(bad->IsNumberOnly());
  EXPECT_EQ(bad->GetText(), L"{\\rtf1 not rtf}");
  window_->PaintNow();
}

// GDI leaves alpha 0 where it draws; in a layered window over a
// transparent background the text must come out opaque and the rest stay
// transparent.
TEST(RichEditLayeredTest, TextPixelsAreOpaqueAndTheBackgroundStaysTransparent) {
  test::UseShippedResources();
  test::HostWindow window;
  ASSERT_TRUE(
      window.CreateWithSkin(L"<Window shadowattached=\"false\"><VBox><RichEdit name=\"e\" "
                            L"width=\"200\" font=\"system_bold_18\""
                            L" normaltextcolor=\"btn_primary\" text=\"WWWWWWWW\"/></VBox></Window>",
                            true, {50, 50, 350, 150}));
  ShowWindow(window.GetHWND(), SW_SHOWNOACTIVATE);
  window.PaintNow();
  auto* edit = static_cast<RichEdit*>(window.FindControlByName(L"e"));
  ASSERT_TRUE(edit && edit->HasTextServices());
  const UiSize text = edit->GetNaturalSize(300);
  ASSERT_GT(text.cx, 20);
  int opaque = 0;
  int gold = 0;
  int transparent_gaps = 0;
  for (int x = 0; x < text.cx; ++x) {
    for (int y = 0; y < text.cy; ++y) {
      const uint8_t alpha = test::AlphaAt(window, x, y);
      opaque += alpha == 255;
      // In the text's gold, not the services' default black.
      const uint32_t pixel = test::PixelAt(window, x, y);
      if (alpha == 255 && ((pixel >> 16) & 0xFF) > (pixel & 0xFF) + 0x40)
        ++gold;
      transparent_gaps += alpha == 0;
    }
  }
  EXPECT_GT(opaque, 20);
  EXPECT_GT(gold, opaque / 2);
  EXPECT_GT(transparent_gaps, 20);
  // Beyond the text nothing was drawn.
  EXPECT_EQ(test::AlphaAt(window, 290, text.cy / 2), 0);
  DestroyWindow(window.GetHWND());
}

// The text's rows in the render context, to compare one paint with another.
std::vector<uint32_t> Pixels(const Window& window, const UiRect& rect) {
  std::vector<uint32_t> pixels;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x)
      pixels.push_back(test::PixelAt(window, x, y));
  }
  return pixels;
}

// 200 lines in a 120-pixel edit with the box's vertical bar, through real
// mouse input: the bar shows the services' figures, and moving it scrolls
// them.
TEST(RichEditScrollTest, TheBarFollowsTheServicesAndScrollsThem) {
  test::UseShippedResources();
  test::HostWindow window;
  ASSERT_TRUE(window.CreateWithSkin(
      L"<Window shadowattached=\"false\">"
      L"<Class name=\"vscrollbar\" autohidescroll=\"false\" thumbminlength=\"0\"/>"
      L"<VBox bkcolor=\"white\"><RichEdit name=\"e\" width=\"200\" height=\"130\""
      L" padding=\"0,0,0,10\" multiline=\"true\" vscrollbar=\"true\" autovscroll=\"true\""
      L" normaltextcolor=\"black\"/></VBox></Window>",
      false, {50, 50, 350, 300}));
  HWND hwnd = window.GetHWND();
  ShowWindow(hwnd, SW_SHOW);
  // Past the fade-in, whose steps repaint the whole window.
  ASSERT_TRUE(test::PumpUntil(
      [&] { return !window.IsFirstPaintPending() && window.GetWindowAlpha() == 255; }, 2000));
  auto* edit = static_cast<RichEdit*>(window.FindControlByName(L"e"));
  ASSERT_TRUE(edit && edit->HasTextServices());
  ScrollBar* bar = edit->GetVerticalScrollBar();
  ASSERT_TRUE(bar);
  std::wstring text;
  for (int i = 0; i < 200; ++i)
    text += L"line " + std::to_wstring(i) + L"\r";
  edit->SetText(text);
  auto services_y = [edit] {
    POINT scroll = {-1, -1};
    edit->SendTextMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll), nullptr);
    return static_cast<int64_t>(scroll.y);
  };

  // The bar takes 16 pixels from the text; what scrolls is the text's
  // height less the 120 pixels shown, and the thumb's share of the 88
  // pixels between the buttons is the shown share.
  const UiRect text_rect = edit->GetTextRect();
  EXPECT_EQ(text_rect, (UiRect{0, 0, 184, 120}));
  EXPECT_EQ(bar->GetBounds(), (UiRect{184, 0, 200, 120}));
  const int32_t height = edit->GetNaturalSize(text_rect.Width()).cy;
  const int32_t line = height / 201;  // 200 lines and the empty last one
  ASSERT_GT(line, 5);
  EXPECT_EQ(bar->GetScrollRange(), height - 120);
  const UiRect thumb = bar->ThumbRect();
  EXPECT_EQ(thumb.Height(), 88 * 120 / height);

  // Caret keys: the services scroll by themselves just as far as the caret
  // leaves the view, and the bar follows.
  window.SetFocusControl(edit);
  edit->SetSel(0, 0);
  for (int i = 0; i < 12; ++i)
    SendMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(services_y(), 13 * line - 120);
  EXPECT_EQ(bar->GetScrollPos(), services_y());
  EXPECT_EQ(edit->GetCaretPos().y + edit->GetCaretSize().cy, 120);
  window.SetFocusControl(nullptr);
  edit->SetScrollPos({0, 0});
  window.PaintNow();
  EXPECT_TRUE(bar->IsVisible());

  // A thumb drag of half the track is half the range.
  const int64_t range = bar->GetScrollRange();
  const int track = 120 - thumb.Height() - 32;
  const int x = (thumb.left + thumb.right) / 2;
  test::MouseMove(hwnd, x, thumb.top);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, test::PointParam(x, thumb.top));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, test::PointParam(x, thumb.top + track / 2));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, test::PointParam(x, thumb.top + track / 2));
  const int64_t half = range * (track / 2) / track;
  EXPECT_NEAR(static_cast<double>(bar->GetScrollPos()), static_cast<double>(half), 1.0);
  EXPECT_EQ(services_y(), bar->GetScrollPos());
  LRESULT first_line = -1;
  edit->SendTextMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &first_line);
  EXPECT_EQ(first_line, services_y() / line);

  // One wheel notch is one 30-pixel step; the text is repainted where the
  // services scrolled it, as a full repaint would draw it.
  test::MouseMove(hwnd, 60, 60);
  window.PaintNow();
  const int64_t before_wheel = bar->GetScrollPos();
  POINT screen = {60, 60};
  ClientToScreen(hwnd, &screen);
  SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
               test::PointParam(screen.x, screen.y));
  EXPECT_TRUE(test::PumpUntil([&] { return bar->GetScrollPos() == before_wheel + 30; }, 2000))
      << bar->GetScrollPos() - before_wheel;
  EXPECT_EQ(services_y(), before_wheel + 30);
  window.PaintNow();
  const std::vector<uint32_t> scrolled = Pixels(window, text_rect);
  window.Invalidate(edit->GetBounds());
  window.PaintNow();
  EXPECT_TRUE(scrolled == Pixels(window, text_rect)) << "stale pixels after the scroll";

  // Typing at the end of the text, scrolled to the top, brings the end into
  // view with the caret in the text; the bar follows the services.
  test::Click(hwnd, 60, 60);
  ASSERT_EQ(window.GetFocusControl(), edit);
  edit->SetSel(-1, -1);
  edit->SetScrollPos({0, 0});
  ASSERT_EQ(services_y(), 0);
  EXPECT_GE(edit->GetCaretPos().y, 120) << "the caret moves with its line";
  SendMessageW(hwnd, WM_CHAR, L'x', 1);
  EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
  EXPECT_EQ(services_y(), bar->GetScrollPos());
  const UiPoint caret = edit->GetCaretPos();
  EXPECT_GE(caret.y, 0);
  EXPECT_LE(caret.y + edit->GetCaretSize().cy, 120);

  // Half a line up, the caret reaches into the padding below the text, and
  // is cut off at the text's edge.
  edit->SetScrollPos({0, static_cast<int32_t>(bar->GetScrollRange()) - line / 2});
  ASSERT_GT(edit->GetCaretPos().y + edit->GetCaretSize().cy, 120);
  ASSERT_LT(edit->GetCaretPos().y, 120);
  window.Invalidate(edit->GetBounds());
  window.PaintNow();
  ASSERT_TRUE(edit->IsCaretVisible());
  const uint32_t white = GlobalResources::ColorByName(L"white");
  EXPECT_EQ(test::PixelAt(window, edit->GetCaretPos().x, 121), white);

  // Beyond 65,535 pixels the services report their figures scaled to 16
  // bits; the bar still spans the whole text, and its end is the text's.
  std::wstring tall;
  for (int i = 0; i < 6000; ++i)
    tall += L"l\r";
  edit->SetText(tall);
  const int32_t tall_height = edit->GetNaturalSize(text_rect.Width()).cy;
  ASSERT_GT(tall_height, 65535);
  EXPECT_EQ(bar->GetScrollRange(), tall_height - 120);
  // (Their EM_GETSCROLLPOS is scaled too: the last lines tell the end.)
  edit->SetScrollPos({0, INT32_MAX});
  EXPECT_EQ(bar->GetScrollPos(), tall_height - 120);
  edit->SendTextMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &first_line);
  EXPECT_EQ(first_line, (tall_height - 120) / line);

  // A short text needs no bar: it hides, and the text gets its room back.
  edit->SetText(L"short");
  window.PaintNow();
  EXPECT_EQ(bar->GetScrollRange(), 0);
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ(edit->GetTextRect(), (UiRect{0, 0, 200, 120}));
  DestroyWindow(hwnd);
}

TEST(RichEditWithoutServicesTest, IsInertAndKeepsItsText) {
  RichEdit edit;
  edit.SetText(L"kept");
  LRESULT result = 7;
  EXPECT_EQ(edit.SendTextMessage(WM_CHAR, 'x', 0, &result), S_FALSE);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(edit.GetText(), L"kept");
  EXPECT_EQ(edit.GetNaturalSize(-5).cx, 0);
  EXPECT_EQ(edit.GetNaturalSize(80).cy, 0);
}

int close_commands = 0;

LRESULT CALLBACK KeyboardWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
    ++close_commands;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Under Wine there is no touch keyboard: asking for it does nothing visible
// and opens no window or message box.
TEST(OnScreenKeyboardTest, RequestsWithoutAKeyboardDoNothingAndAVisibleOneGetsOneClose) {
  OnScreenKeyboardManager* manager = OnScreenKeyboardManager::Instance();
  manager->ShowKeyboard(true);
  manager->ShowKeyboard(false);
  manager->ShowKeyboard(true);
  test::PumpFor(100);
  EXPECT_FALSE(OnScreenKeyboardManager::IsKeyboardShown());
  EXPECT_EQ(test::CountWindowsOfClass(L"#32770"), 0);

  // A stand-in keyboard window: while it is visible, applying the wish to
  // hide it (the last request) posts exactly one close command. (Wine's
  // default prefix reports Windows 7, where requests alone do nothing.)
  close_commands = 0;
  WNDCLASSW keyboard_class = {};
  keyboard_class.lpfnWndProc = &KeyboardWindowProc;
  keyboard_class.hInstance = GetModuleHandleW(nullptr);
  keyboard_class.lpszClassName = OnScreenKeyboardManager::kKeyboardWindowClass;
  RegisterClassW(&keyboard_class);
  HWND keyboard = CreateWindowExW(WS_EX_NOACTIVATE, OnScreenKeyboardManager::kKeyboardWindowClass,
                                  L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(OnScreenKeyboardManager::IsKeyboardShown());
  ASSERT_FALSE(manager->show_wanted());
  manager->ApplyKeyboardState();
  test::PumpFor(50);
  EXPECT_EQ(close_commands, 1);
  EnableWindow(keyboard, FALSE);
  EXPECT_FALSE(OnScreenKeyboardManager::IsKeyboardShown())
      << "a disabled keyboard counts as hidden";
  manager->ApplyKeyboardState();
  test::PumpFor(50);
  EXPECT_EQ(close_commands, 1);
  SetWindowPos(keyboard, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  DestroyWindow(keyboard);

  const std::wstring tail = L"\\microsoft shared\\ink\\TabTip.exe";
  SetEnvironmentVariableW(L"CommonProgramW6432", nullptr);
  EXPECT_EQ(OnScreenKeyboardManager::TabTipPath(), L"C:\\\\Program Files\\Common Files" + tail);
  SetEnvironmentVariableW(L"CommonProgramW6432", L"D:\\Common");
  EXPECT_EQ(OnScreenKeyboardManager::TabTipPath(), L"D:\\Common" + tail);
  SetEnvironmentVariableW(L"CommonProgramW6432", nullptr);
}

}  // namespace
}  // namespace ui
