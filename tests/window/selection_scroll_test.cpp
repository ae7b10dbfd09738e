// Check boxes, options and scrolling in a real window, driven by real mouse,
// wheel and key messages: option groups across boxes, toggling, wheel and
// key steps, thumb drags, "holdend", and hit tests and pixels at a scrolled
// offset.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/window/window_test_support.h"
#include "ui/control/check_box.h"
#include "ui/control/linear_layout.h"
#include "ui/control/option.h"
#include "ui/control/scrollable_box.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

using test::EventLog;
using test::PointParam;

// Two columns of options in one group, and a check box. "a1" starts
// selected.
constexpr wchar_t kSelectionSkin[] =
    L"<Window shadowattached=\"false\"><VBox bkcolor=\"white\"><HBox height=\"60\">"
    L"<VBox width=\"100\">"
    L"<Option name=\"a1\" width=\"100\" height=\"30\" group=\"g\" selected=\"true\"/>"
    L"<Option name=\"a2\" width=\"100\" height=\"30\" group=\"g\"/></VBox>"
    L"<VBox width=\"100\"><Option name=\"b1\" width=\"100\" height=\"30\" group=\"g\"/></VBox>"
    L"</HBox>"
    L"<CheckBox name=\"c\" width=\"40\" height=\"30\" normalcolor=\"white\" "
    L"selectednormalcolor=\"link_blue\" selectedhotcolor=\"link_blue\"/>"
    L"</VBox></Window>";

// A 100 x 100 list at (0, 0) holding ten rows of 30 pixels: range 200.
// The bar is 16 wide with 16-pixel buttons.
std::wstring ScrollSkin(const wchar_t* extra) {
  static const wchar_t* const kColors[] = {
      L"black", L"bk_caption", L"btn_primary", L"link_blue", L"bk_close_hover",
      L"white", L"splitline",  L"bk_wnd",      L"text_gold", L"text_hint"};
  std::wstring skin =
      L"<Window shadowattached=\"false\"><VBox bkcolor=\"white\">"
      L"<ScrollVBox name=\"list\" width=\"100\" height=\"100\" vscrollunit=\"30\" "
      L"vscrollbarstyle=\"autohidescroll=&quot;false&quot; thumbminlength=&quot;10&quot;\" ";
  skin += extra;
  skin += L">";
  for (int i = 0; i < 10; ++i) {
    skin += L"<Control name=\"row" + std::to_wstring(i) + L"\" height=\"30\" bkcolor=\"" +
            kColors[i] + L"\"/>";
  }
  skin += L"</ScrollVBox></VBox></Window>";
  return skin;
}

class SelectionScrollTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::UseShippedResources();
    GlobalResources::SetCustomControlFactory([](const std::wstring& name) -> Control* {
      if (name == L"ScrollVBox")
        return new ScrollableBox(std::make_unique<VLayout>());
      return nullptr;
    });
  }

  static void TearDownTestSuite() {
    GlobalResources::SetCustomControlFactory(nullptr);
    delete shared_;
    shared_ = nullptr;
  }

  // One window for the suite (Wine is slow to hide once-active windows);
  // every test gives it a fresh tree.
  void Load(const std::wstring& skin) {
    if (!shared_ || !shared_->GetHWND()) {
      delete shared_;
      shared_ = new test::HostWindow();
      ASSERT_TRUE(shared_->CreateWithSkin(skin, false, {200, 200, 500, 500}));
      ShowWindow(shared_->GetHWND(), SW_SHOW);
      SetForegroundWindow(shared_->GetHWND());
    } else {
      SkinBuilder builder;
      ASSERT_TRUE(shared_->AttachRoot(builder.Create(skin, nullptr, shared_, nullptr)));
    }
    window_ = shared_;
    hwnd_ = window_->GetHWND();
    window_->PaintNow();
  }

  void TearDown() override {
    if (window_ && window_->GetHWND()) {
      SendMessageW(hwnd_, WM_LBUTTONUP, 0, PointParam(-1, -1));
      SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
      window_->SetFocusControl(nullptr);
    }
  }

  Control* Find(const wchar_t* name) { return window_->FindControlByName(name); }
  ScrollableBox* List() { return static_cast<ScrollableBox*>(Find(L"list")); }
  int ScrollY() { return List()->GetScrollPos().y; }
  void Key(WPARAM key) {
    SendMessageW(hwnd_, WM_KEYDOWN, key, 0);
    SendMessageW(hwnd_, WM_KEYUP, key, 0);
  }
  void Wheel(int x, int y, int delta) {
    POINT screen = {x, y};
    ClientToScreen(hwnd_, &screen);
    SendMessageW(hwnd_, WM_MOUSEWHEEL,
                 MAKEWPARAM(0, static_cast<WORD>(static_cast<int16_t>(delta))),
                 PointParam(screen.x, screen.y));
  }
  // Waits for the line-step animation to settle at |y|.
  bool SettlesAt(int y) {
    return test::PumpUntil([&] { return ScrollY() == y; }, 2000);
  }

  static test::HostWindow* shared_;
  test::HostWindow* window_ = nullptr;
  HWND hwnd_ = nullptr;
  // Members, not locals: TearDown still sends events to the handlers.
  EventLog log_;
  std::vector<std::pair<std::wstring, EventType>> order_;
};

test::HostWindow* SelectionScrollTest::shared_ = nullptr;

bool IsSelection(EventType type) {
  return type == kEventClick || type == kEventSelect || type == kEventUnSelect;
}

TEST_F(SelectionScrollTest, OptionGroupAcrossTwoBoxesKeepsExactlyOneSelected) {
  Load(kSelectionSkin);
  auto* a1 = static_cast<Option*>(Find(L"a1"));
  auto* a2 = static_cast<Option*>(Find(L"a2"));
  auto* b1 = static_cast<Option*>(Find(L"b1"));
  ASSERT_TRUE(a1 && a2 && b1);
  ASSERT_TRUE(window_->GetGroup(L"g"));
  EXPECT_EQ(window_->GetGroup(L"g")->size(), 3u);
  EXPECT_TRUE(a1->IsSelected());

  std::vector<std::pair<std::wstring, EventType>>& order = order_;
  for (const wchar_t* name : {L"a1", L"a2", L"b1"}) {
    Find(name)->AttachEvent(kEventAll, [this, name](EventArgs* args) {
      if (IsSelection(args->type))
        order_.emplace_back(name, args->type);
      return true;
    });
  }
  test::Click(hwnd_, 150, 10);  // b1, in the second box
  EXPECT_FALSE(a1->IsSelected());
  EXPECT_FALSE(a2->IsSelected());
  EXPECT_TRUE(b1->IsSelected());
  // The click first; then every other member unselects before the select.
  const std::vector<std::pair<std::wstring, EventType>> expected = {{L"b1", kEventClick},
                                                                    {L"a1", kEventUnSelect},
                                                                    {L"a2", kEventUnSelect},
                                                                    {L"b1", kEventSelect}};
  EXPECT_EQ(order, expected);

  // Clicking the selected option again does not unselect it.
  order.clear();
  test::Click(hwnd_, 150, 10);
  EXPECT_TRUE(b1->IsSelected());
  EXPECT_EQ(order.back(), (std::pair<std::wstring, EventType>{L"b1", kEventSelect}));

  test::Click(hwnd_, 50, 40);  // a2
  int selected = 0;
  for (Option* option : {a1, a2, b1})
    selected += option->IsSelected() ? 1 : 0;
  EXPECT_EQ(selected, 1);
  EXPECT_TRUE(a2->IsSelected());

  // A removed option leaves its group behind.
  static_cast<Box*>(a2->GetParent())->Remove(a2);
  SendMessageW(hwnd_, 0x8001, 0, 0);
  EXPECT_EQ(window_->GetGroup(L"g")->size(), 2u);
  test::Click(hwnd_, 150, 10);
  EXPECT_TRUE(b1->IsSelected());
}

TEST_F(SelectionScrollTest, CheckBoxTogglesByMouseAndKeyboardAndPaintsItsSelectedColour) {
  Load(kSelectionSkin);
  auto* check = static_cast<CheckBox*>(Find(L"c"));
  ASSERT_TRUE(check);
  check->AttachEvent(kEventAll, log_.Recorder(L"c"));
  const uint32_t white = GlobalResources::ColorByName(L"white");
  const uint32_t blue = GlobalResources::ColorByName(L"link_blue");
  EXPECT_EQ(test::PixelAt(*window_, 20, 75), white);

  test::Click(hwnd_, 20, 75);
  EXPECT_TRUE(check->IsSelected());
  EXPECT_EQ(window_->GetFocusControl(), check);
  window_->PaintNow();
  EXPECT_EQ(test::PixelAt(*window_, 20, 75), blue);

  Key(VK_SPACE);
  EXPECT_FALSE(check->IsSelected());
  Key(VK_RETURN);
  EXPECT_TRUE(check->IsSelected());
  Key(L'A');
  EXPECT_TRUE(check->IsSelected()) << "other keys do not toggle";

  std::vector<EventType> selection;
  for (EventType type : log_.TypesOf(L"c")) {
    if (IsSelection(type))
      selection.push_back(type);
  }
  // A check box toggles instead of clicking.
  EXPECT_EQ(selection, (std::vector<EventType>{kEventSelect, kEventUnSelect, kEventSelect}));
}

TEST_F(SelectionScrollTest, WheelKeysAndThumbDragScrollByHandWorkedSteps) {
  Load(ScrollSkin(L""));
  ScrollableBox* list = List();
  ASSERT_TRUE(list && list->GetVerticalScrollBar());
  ScrollBar* bar = list->GetVerticalScrollBar();
  EXPECT_EQ(list->GetScrollRange().cy, 200);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetBounds(), (UiRect{84, 0, 100, 100}));
  // Thumb: max(100 x 68 / 300, 10) = 22 pixels below the first button.
  EXPECT_EQ(bar->ThumbRect(), (UiRect{84, 16, 100, 38}));

  int changes = 0;
  list->AttachEvent(kEventScrollChange, [&changes](EventArgs*) {
    ++changes;
    return true;
  });
  Wheel(40, 40, -120);
  EXPECT_TRUE(SettlesAt(30)) << ScrollY();
  EXPECT_GT(changes, 0);
  Wheel(40, 40, 120);
  EXPECT_TRUE(SettlesAt(0)) << ScrollY();

  test::Click(hwnd_, 40, 40);  // focuses a row; its keys reach the list
  Key(VK_DOWN);
  EXPECT_TRUE(SettlesAt(30)) << ScrollY();
  Key(VK_NEXT);
  EXPECT_EQ(ScrollY(), 130);
  Key(VK_END);
  EXPECT_EQ(ScrollY(), 200);
  Key(VK_HOME);
  EXPECT_EQ(ScrollY(), 0);

  // The track is 100 - 22 - 32 = 46 pixels for the range of 200: 23 pixels
  // of drag are 100.
  test::MouseMove(hwnd_, 92, 20);
  SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(92, 20));
  EXPECT_EQ(bar->GetThumbState(), ControlState::kPushed);
  SendMessageW(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, PointParam(92, 43));
  EXPECT_EQ(ScrollY(), 100);
  SendMessageW(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, PointParam(92, 400));
  EXPECT_EQ(ScrollY(), 200) << "a drag past the end stops at the range";
  SendMessageW(hwnd_, WM_LBUTTONUP, 0, PointParam(92, 400));
  EXPECT_NE(bar->GetThumbState(), ControlState::kPushed);

  // The down button steps one unit at the press.
  list->SetScrollPos({0, 0});
  test::Click(hwnd_, 92, 95);
  EXPECT_TRUE(SettlesAt(30)) << ScrollY();
}

TEST_F(SelectionScrollTest, HitTestsAndPixelsFollowTheScrolledOffset) {
  Load(ScrollSkin(L""));
  ScrollableBox* list = List();
  list->SetScrollPos({0, 95});
  EXPECT_EQ(ScrollY(), 95);
  // Window y 10 is content y 105: row 3 (90 to 120); y 30 is 125: row 4.
  EXPECT_EQ(window_->FindControlAt({40, 10}), Find(L"row3"));
  EXPECT_EQ(window_->FindControlAt({40, 30}), Find(L"row4"));
  EXPECT_EQ(Find(L"row4")->GetScrollOffset(), (UiPoint{0, 95}));
  window_->PaintNow();
  EXPECT_EQ(test::PixelAt(*window_, 40, 10), GlobalResources::ColorByName(L"link_blue"));
  EXPECT_EQ(test::PixelAt(*window_, 40, 30), GlobalResources::ColorByName(L"bk_close_hover"));
  // Nothing is drawn below the list: the rows are clipped to it.
  EXPECT_EQ(test::PixelAt(*window_, 40, 150), GlobalResources::ColorByName(L"white"));
  // Over the bar, a click reaches the bar, not the row beneath.
  EXPECT_EQ(window_->FindControlAt({92, 50}), list->GetVerticalScrollBar());
}

TEST_F(SelectionScrollTest, HoldEndKeepsTheEndThroughAResizeButNotAScrolledUpList) {
  Load(ScrollSkin(L"holdend=\"true\""));
  ScrollableBox* list = List();
  list->EndDown(false, false);
  ASSERT_EQ(ScrollY(), 200);
  list->SetFixedHeight(80);
  window_->PaintNow();
  EXPECT_EQ(list->GetScrollRange().cy, 220);
  EXPECT_EQ(ScrollY(), 220) << "at the end it stays at the end";

  list->LineUp(30, false);
  EXPECT_EQ(ScrollY(), 190);
  list->SetFixedHeight(60);
  window_->PaintNow();
  EXPECT_EQ(list->GetScrollRange().cy, 240);
  EXPECT_EQ(ScrollY(), 190) << "scrolled up, it keeps its place";

  // Taller than its content: the bar goes and the position returns to 0.
  list->SetFixedHeight(400);
  window_->PaintNow();
  EXPECT_EQ(list->GetScrollRange().cy, 0);
  EXPECT_EQ(ScrollY(), 0);
  EXPECT_FALSE(list->GetVerticalScrollBar()->IsVisible());
}

}  // namespace
}  // namespace ui
