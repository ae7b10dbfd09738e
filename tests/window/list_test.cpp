// List boxes, the virtual list and the combo box in real windows, driven by
// real key and mouse messages: selection events and their order, removal
// and moves that keep the selection, element reuse while the virtual list
// scrolls, and the combo's drop-down opening, choosing and closing.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/window/window_test_support.h"
#include "ui/control/combo.h"
#include "ui/control/list_box.h"
#include "ui/control/list_container_element.h"
#include "ui/control/tree_view.h"
#include "ui/control/virtual_list_box.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

using test::EventLog;

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseShippedResources(); }
  void TearDown() override {
    if (window_.GetHWND())
      DestroyWindow(window_.GetHWND());
  }

  void Open(const std::wstring& skin, const UiRect& rect) {
    ASSERT_TRUE(window_.CreateWithSkin(skin, false, rect));
    ShowWindow(window_.GetHWND(), SW_SHOWNA);
    window_.PaintNow();
  }
  template <typename T>
  T* Find(const wchar_t* name) {
    return dynamic_cast<T*>(window_.FindControlByName(name));
  }
  void Key(WPARAM key) {
    SendMessageW(window_.GetHWND(), WM_KEYDOWN, key, 0);
    SendMessageW(window_.GetHWND(), WM_KEYUP, key, 0);
  }

  test::HostWindow window_;
  EventLog log_;
};

// Four elements of 30 pixels in a list 60 high; element 3 is disabled.
std::wstring FourElements() {
  std::wstring skin =
      L"<Window shadowattached=\"false\"><VBox><VListBox name=\"list\" height=\"60\" "
      L"vscrollbar=\"true\">";
  for (int i = 0; i < 5; ++i) {
    skin += L"<ListContainerElement name=\"e" + std::to_wstring(i) + L"\" height=\"30\"" +
            (i == 3 ? L" enabled=\"false\"" : L"") + L"/>";
  }
  return skin + L"</VListBox></VBox></Window>";
}

TEST_F(ListTest, SelectionRaisesUnselectSelectAndTheListsSelectInOrder) {
  Open(FourElements(), {0, 0, 200, 100});
  auto* list = Find<ListBox>(L"list");
  ASSERT_TRUE(list);
  for (const wchar_t* name : {L"list", L"e0", L"e1", L"e2", L"e4"}) {
    Control* control = window_.FindControlByName(name);
    control->AttachEvent(kEventSelect, log_.Recorder(name));
    control->AttachEvent(kEventUnSelect, log_.Recorder(name));
  }
  std::vector<std::pair<uintptr_t, intptr_t>> list_params;
  list->AttachEvent(kEventSelect, [&](EventArgs* args) {
    list_params.emplace_back(args->wParam, args->lParam);
    return true;
  });

  test::Click(window_.GetHWND(), 50, 15);  // e0
  ASSERT_EQ(list->GetCurSel(), 0);
  log_.Clear();
  ASSERT_TRUE(list->SelectItem(2, false, true));
  EXPECT_EQ(log_.TypesOf(L"e0"), (std::vector<EventType>{kEventUnSelect}));
  EXPECT_EQ(log_.TypesOf(L"e2"), (std::vector<EventType>{kEventSelect}));
  ASSERT_EQ(list_params.size(), 2u);
  EXPECT_EQ(list_params.back(), (std::pair<uintptr_t, intptr_t>{2, 0}));
  EXPECT_NE(list->GetScrollPos().y, 0) << "element 2 was scrolled into view";

  // Down skips the disabled element 3.
  window_.SetFocusControl(list);
  Key(VK_DOWN);
  EXPECT_EQ(list->GetCurSel(), 4);
  // Down on the last element selects it again.
  log_.Clear();
  Key(VK_DOWN);
  EXPECT_EQ(list->GetCurSel(), 4);
  EXPECT_EQ(log_.TypesOf(L"e4"), (std::vector<EventType>{kEventUnSelect, kEventSelect}));
  Key(VK_HOME);
  EXPECT_EQ(list->GetCurSel(), 0);
}

TEST_F(ListTest, RemovalAndMovesKeepIndexesAndTheSelectedElement) {
  Open(FourElements(), {0, 0, 200, 100});
  auto* list = Find<ListBox>(L"list");
  ASSERT_TRUE(list);
  ASSERT_TRUE(list->SelectItem(4, false, false));
  Control* e4 = list->GetItemAt(4);
  ASSERT_TRUE(list->SetItemIndex(e4, 1));
  EXPECT_EQ(list->GetCurSel(), 1);
  for (int32_t i = 0; i < list->GetCount(); ++i)
    EXPECT_EQ(static_cast<ListContainerElement*>(list->GetItemAt(i))->GetIndex(), i);

  // Removing the selected element selects the one that moved into its place.
  ASSERT_TRUE(list->Remove(e4));
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_EQ(list->GetItemAt(1)->GetName(), L"e1");
  for (int32_t i = 0; i < list->GetCount(); ++i)
    EXPECT_EQ(static_cast<ListContainerElement*>(list->GetItemAt(i))->GetIndex(), i);
  EXPECT_FALSE(list->SelectItem(99, false, true));
  EXPECT_EQ(list->GetCurSel(), -1) << "a refused selection leaves none";
  EXPECT_FALSE(list->Remove(nullptr));

  // A tree view takes nothing it is handed, and says it did.
  auto tree = std::make_unique<TreeView>();
  EXPECT_TRUE(tree->Add(new Control()));
  EXPECT_EQ(tree->GetCount(), 0);
}

// Items 0 to count - 1, each element showing the index it was filled with.
class CountingProvider : public VirtualListDataProvider {
 public:
  Control* CreateElement() override {
    auto* element = new ListContainerElement();
    element->SetFixedHeight(20);
    ++created;
    return element;
  }
  void FillElement(Control* element, int32_t index) override {
    element->SetDataId(std::to_wstring(index));
  }
  int32_t GetElementCount() override { return count; }

  int32_t count = 1000;
  int created = 0;
};

TEST_F(ListTest, AVirtualListReusesItsElementsAcrossAllItsData) {
  CountingProvider provider;
  Open(
      L"<Window shadowattached=\"false\"><VBox><VirtualListBox name=\"virtual\" height=\"100\" "
      L"vscrollbar=\"true\"/>"
      L"</VBox></Window>",
      {0, 0, 200, 100});
  auto* list = Find<VirtualListBox>(L"virtual");
  ASSERT_TRUE(list);
  list->SetDataProvider(&provider);
  list->SetElementHeight(20);
  list->InitElements(10);
  list->SetBounds({0, 0, 200, 100});
  window_.PaintNow();
  ASSERT_EQ(list->GetCount(), 10);
  EXPECT_EQ(list->GetScrollRange().cy, 1000 * 20 - 100);
  // Four spares above the view, then items 0 to 5.
  for (int32_t j = 4; j < 10; ++j) {
    EXPECT_EQ(list->GetItemAt(j)->GetDataId(), std::to_wstring(j - 4)) << j;
    EXPECT_EQ(list->GetItemAt(j)->GetBounds(true).top, (j - 4) * 20) << j;
  }

  list->SetScrollPos({0, 45});
  EXPECT_EQ(list->GetItemAt(0)->GetBounds(true).top, 40);
  for (int32_t j = 0; j < 10; ++j)
    EXPECT_EQ(list->GetItemAt(j)->GetDataId(), std::to_wstring(2 + j)) << j;

  // Far down and back: still ten elements, filled for where the view is.
  for (int pos = 0; pos <= 19000; pos += 997)
    list->SetScrollPos({0, pos});
  list->SetScrollPos({0, 19900});
  const int32_t top_item = list->GetScrollPos().y / 20;
  bool shows_top = false;
  for (int32_t j = 0; j < list->GetCount(); ++j)
    shows_top |= list->GetItemAt(j)->GetDataId() == std::to_wstring(top_item);
  EXPECT_TRUE(shows_top);
  EXPECT_EQ(provider.created, 10);

  // The data shrinks, vanishes and grows to millions.
  provider.count = 3;
  list->Refresh();
  EXPECT_EQ(list->GetCount(), 3);
  provider.count = -5;
  list->Refresh();
  EXPECT_EQ(list->GetCount(), 0);
  provider.count = 5000000;
  list->Refresh();
  window_.PaintNow();
  EXPECT_EQ(list->GetCount(), 10) << "as many elements as the list was given room for";
  EXPECT_EQ(provider.created, 20);
  EXPECT_EQ(list->GetScrollRange().cy, 5000000 * 20 - 100);
}

// A combo 100 x 24 at the window's corner with three items of 30 pixels.
constexpr wchar_t kComboSkin[] =
    L"<Window shadowattached=\"false\"><VBox bkcolor=\"white\">"
    L"<Combo name=\"combo\" width=\"100\" height=\"24\" dropboxsize=\"200,100\">"
    L"<ListContainerElement name=\"i0\" height=\"30\" text=\"first\"/>"
    L"<ListContainerElement name=\"i1\" height=\"30\" text=\"second\"/>"
    L"<ListContainerElement name=\"i2\" height=\"30\" text=\"third\"/>"
    L"</Combo></VBox></Window>";

// The combo's open drop-down window.
Combo* g_combo = nullptr;
HWND DropDown() {
  CComboWnd* drop = g_combo ? g_combo->GetDropWindow() : nullptr;
  HWND hwnd = drop ? drop->GetHWND() : nullptr;
  if (hwnd) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    EXPECT_STREQ(name, L"ComboWnd");
  }
  return hwnd;
}

TEST_F(ListTest, AComboOpensBelowChoosesAnItemAndClosesOnEscapeOrOutside) {
  Open(kComboSkin, {100, 100, 400, 300});
  auto* combo = Find<Combo>(L"combo");
  ASSERT_TRUE(combo);
  g_combo = combo;
  int clicks = 0;
  std::vector<std::pair<uintptr_t, intptr_t>> selects;
  combo->AttachEvent(kEventClick, [&](EventArgs*) {
    ++clicks;
    return true;
  });
  combo->AttachEvent(kEventSelect, [&](EventArgs* args) {
    selects.emplace_back(args->wParam, args->lParam);
    return true;
  });

  test::Click(window_.GetHWND(), 50, 12);
  ASSERT_TRUE(test::PumpUntil([] { return DropDown() && IsWindowVisible(DropDown()); }, 3000));
  EXPECT_EQ(clicks, 1) << "opening raises a click";
  RECT popup = {};
  GetWindowRect(DropDown(), &popup);
  EXPECT_EQ(popup.left, 100);
  EXPECT_EQ(popup.top, 100 + 24 + 1);
  EXPECT_EQ(popup.right - popup.left, 200);
  EXPECT_EQ(popup.bottom - popup.top, 92);

  // The second item, in the drop-down's own client coordinates.
  test::Click(DropDown(), 50, 1 + 30 + 15);
  ASSERT_TRUE(test::PumpUntil([] { return !DropDown(); }, 3000));
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetText(), L"second");
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0], (std::pair<uintptr_t, intptr_t>{1, -1}));
  EXPECT_EQ(window_.GetFocusControl(), combo);

  // Escape closes without a choice.
  combo->Activate();
  ASSERT_TRUE(test::PumpUntil([] { return DropDown() != nullptr; }, 3000));
  SendMessageW(DropDown(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(test::PumpUntil([] { return !DropDown(); }, 3000));
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(selects.size(), 1u);

  // So does the focus going to another window.
  combo->Activate();
  ASSERT_TRUE(test::PumpUntil([] { return DropDown() != nullptr; }, 3000));
  SetFocus(window_.GetHWND());
  ASSERT_TRUE(test::PumpUntil([] { return !DropDown(); }, 3000));
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_FALSE(combo->SelectItem(1)) << "already selected";
  EXPECT_TRUE(combo->SelectItem(2));
  EXPECT_EQ(selects.size(), 1u) << "SelectItem raises nothing";
}

TEST_F(ListTest, AComboNearTheBottomOfTheWorkAreaOpensAbove) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const LONG top = monitor.rcWork.bottom - 60;
  Open(kComboSkin, {300, top, 600, top + 60});
  auto* combo = Find<Combo>(L"combo");
  ASSERT_TRUE(combo);
  g_combo = combo;
  combo->Activate();
  ASSERT_TRUE(test::PumpUntil([] { return DropDown() != nullptr; }, 3000));
  RECT popup = {};
  GetWindowRect(DropDown(), &popup);
  EXPECT_EQ(popup.bottom, top) << "it ends at the combo's top edge";
  EXPECT_EQ(popup.bottom - popup.top, 92);
  SendMessageW(DropDown(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(test::PumpUntil([] { return !DropDown(); }, 3000));
}

}  // namespace
}  // namespace ui
