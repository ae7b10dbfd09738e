// The widget sample on the screen: a combo, lists, a virtual list of a
// million rows, a tree, progress, slider, circular progress, a tab box and
// a child box built from their skin and painted.
//
// To look at it yourself, hold the window open and grab the display:
//   QEL_SAMPLE_HOLD_MS=8000 wine window_tests.exe --gtest_filter=WidgetsTest.*
//   xwd -root -display $DISPLAY -silent | convert xwd:- shot.png

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/window/window_test_support.h"
#include "ui/control/child_box.h"
#include "ui/control/combo.h"
#include "ui/control/list_container_element.h"
#include "ui/control/progress.h"
#include "ui/control/tab_box.h"
#include "ui/control/virtual_list_box.h"

namespace ui {
namespace {

class MillionRows : public VirtualListDataProvider {
 public:
  Control* CreateElement() override {
    auto* row = new ListContainerElement();
    row->ApplyAttributeList(
        L"height=\"28\" textpadding=\"10,4,10,4\" selectednormalcolor=\"selected_blue\"");
    return row;
  }
  void FillElement(Control* element, int32_t index) override {
    static_cast<ListContainerElement*>(element)->SetText(L"Row " + std::to_wstring(index + 1));
  }
  int32_t GetElementCount() override { return 1000000; }
};

TEST(WidgetsTest, TheWidgetSampleBuildsAndPaints) {
  test::UseShippedResources();
  MillionRows rows;
  bool deleted = false;
  auto* window = new test::SkinnedWindow(L"widgets", L"widgets.xml", &deleted);
  HWND hwnd = window->Create(nullptr, L"Qelmora widgets", WS_POPUP, 0, false);
  ASSERT_TRUE(hwnd);
  SetWindowPos(hwnd, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);

  auto* virtual_list = dynamic_cast<VirtualListBox*>(window->FindControlByName(L"virtual"));
  ASSERT_TRUE(virtual_list);
  virtual_list->SetDataProvider(&rows);
  virtual_list->SetElementHeight(28);
  virtual_list->InitElements(12);
  static_cast<Combo*>(window->FindControlByName(L"combo"))->SelectItem(2);
  window->Show(true, true);
  ASSERT_TRUE(test::PumpUntil([&] { return !window->IsFirstPaintPending(); }, 2000));
  if (const char* hold = std::getenv("QEL_SAMPLE_HOLD_MS"))
    test::PumpFor(static_cast<DWORD>(std::atoi(hold)));

  EXPECT_EQ(virtual_list->GetCount(), 12);
  EXPECT_EQ(virtual_list->GetScrollRange().cy, 1000000 * 28 - 200);
  auto* tabs = dynamic_cast<TabBox*>(window->FindControlByName(L"tabs"));
  ASSERT_TRUE(tabs);
  EXPECT_TRUE(window->FindControlByName(L"page_one")->IsVisible());
  EXPECT_FALSE(window->FindControlByName(L"page_two")->IsVisible());
  EXPECT_TRUE(window->FindControlByName(L"child_text")) << "the child box built its skin";

  // The progress bar is filled with the primary colour to 65 %.
  const Control* progress = window->FindControlByName(L"progress");
  ASSERT_TRUE(progress);
  const UiRect bar = progress->GetBounds(true);
  EXPECT_EQ(test::PixelAt(*window, bar.left + bar.Width() / 2, bar.top + 6), 0xFFD9A441u);
  EXPECT_NE(test::PixelAt(*window, bar.right - 10, bar.top + 6), 0xFFD9A441u);

  DestroyWindow(hwnd);
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace ui
