// Tab boxes and child boxes as skins build them: which page shows, what a
// removal shows next, and child skins that are missing or include
// themselves.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/resources/test_files.h"
#include "tests/window/window_test_support.h"
#include "ui/control/child_box.h"
#include "ui/control/tab_box.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

class ContainerBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseShippedResources();
    GlobalResources::SetResourceFolder(folder_.path());
  }
  void TearDown() override { test::UseShippedResources(); }

  static std::unique_ptr<TabBox> BuildTabs(const std::wstring& tab_attributes) {
    SkinBuilder builder;
    const std::wstring skin = L"<Window><TabBox " + tab_attributes +
                              L"><Control name=\"a\"/><Control name=\"b\"/>"
                              L"<VBox name=\"c\"><Control/></VBox></TabBox></Window>";
    Control* root = builder.Create(skin, nullptr, nullptr, nullptr);
    auto* tabs = dynamic_cast<TabBox*>(root);
    EXPECT_TRUE(tabs);
    if (!tabs)
      delete root;
    return std::unique_ptr<TabBox>(tabs);
  }

  test::TempFolder folder_;
};

TEST_F(ContainerBoxTest, TheSelectedPageShowsAloneAndARemovalShowsTheFirst) {
  auto tabs = BuildTabs(L"selectedid=\"1\"");
  ASSERT_TRUE(tabs);
  ASSERT_EQ(tabs->GetCount(), 3);
  EXPECT_EQ(tabs->GetSelectedIndex(), 1);
  EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
  EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible());
  EXPECT_FALSE(tabs->GetItemAt(2)->IsVisible());
  EXPECT_FALSE(tabs->GetItemAt(2)->IsMouseEnabled());
  EXPECT_FALSE(static_cast<Box*>(tabs->GetItemAt(2))->IsMouseChildEnabled());

  // A page inserted before the shown one moves the selection along.
  ASSERT_TRUE(tabs->AddAt(new Control(), 0));
  EXPECT_EQ(tabs->GetSelectedIndex(), 2);
  EXPECT_EQ(tabs->GetItemAt(2)->GetName(), L"b");

  ASSERT_TRUE(tabs->RemoveAt(2));
  EXPECT_EQ(tabs->GetSelectedIndex(), 0);
  EXPECT_TRUE(tabs->GetItemAt(0)->IsVisible());
  EXPECT_TRUE(tabs->GetItemAt(0)->IsMouseEnabled());
  EXPECT_EQ(tabs->GetItemAt(0)->GetAlpha(), 255);

  tabs->RemoveAll();
  EXPECT_EQ(tabs->GetSelectedIndex(), -1);
  ASSERT_TRUE(tabs->Add(new Control()));
  EXPECT_EQ(tabs->GetSelectedIndex(), 0) << "the first visible page of an empty box";
}

TEST_F(ContainerBoxTest, FadeSwitchKeepsHiddenPagesVisibleAtAlphaZero) {
  auto tabs = BuildTabs(L"fadeswitch=\"true\"");
  ASSERT_TRUE(tabs);
  EXPECT_EQ(tabs->GetSelectedIndex(), 0);
  for (int32_t i = 1; i < 3; ++i) {
    Control* page = tabs->GetItemAt(i);
    EXPECT_TRUE(page->IsVisible()) << i;
    EXPECT_EQ(page->GetAlpha(), 0) << i;
    EXPECT_FALSE(page->IsMouseEnabled()) << i;
  }
  EXPECT_EQ(tabs->GetItemAt(0)->GetAlpha(), 255);
}

TEST_F(ContainerBoxTest, OutOfRangeSelectionsHideEveryPageWithoutHarm) {
  for (const wchar_t* id : {L"7", L"-3", L"x"}) {
    auto tabs = BuildTabs(std::wstring(L"selectedid=\"") + id + L"\"");
    ASSERT_TRUE(tabs);
    int shown = 0;
    for (int32_t i = 0; i < tabs->GetCount(); ++i)
      shown += tabs->GetItemAt(i)->IsVisible() ? 1 : 0;
    // "x" reads as 0, the first page.
    EXPECT_EQ(shown, std::wstring(id) == L"x" ? 1 : 0) << id;
    while (tabs->GetCount() > 0)
      ASSERT_TRUE(tabs->RemoveAt(0)) << id;
  }
}

TEST_F(ContainerBoxTest, AChildBoxBuildsItsSkinOnceAndRefusesToIncludeItself) {
  folder_.Write(
      L"page.xml",
      std::string("<Window><VBox name=\"page\"><Control name=\"inner\"/></VBox></Window>"));
  folder_.Write(L"self.xml", std::string("<Window><VBox name=\"outer\"><ChildBox name=\"again\" "
                                         "xmlfile=\"self.xml\"/></VBox></Window>"));
  test::HostWindow window;
  ASSERT_TRUE(window.CreateWithSkin(
      L"<Window size=\"200,100\"><VBox><ChildBox name=\"page_box\" xmlfile=\"page.xml\"/>"
      L"<ChildBox name=\"missing_box\" xmlfile=\"missing.xml\"/>"
      L"<ChildBox name=\"self_box\" xmlfile=\"self.xml\"/></VBox></Window>",
      false, {0, 0, 200, 100}));

  auto* page_box = dynamic_cast<ChildBox*>(window.FindControlByName(L"page_box"));
  ASSERT_TRUE(page_box);
  ASSERT_EQ(page_box->GetCount(), 1);
  EXPECT_EQ(page_box->GetItemAt(0)->GetName(), L"page");
  EXPECT_TRUE(window.FindControlByName(L"inner"));

  auto* missing = dynamic_cast<ChildBox*>(window.FindControlByName(L"missing_box"));
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->GetCount(), 0);

  // self.xml holds a child box of itself: one level is built, the nested
  // one stays empty.
  auto* self = dynamic_cast<ChildBox*>(window.FindControlByName(L"self_box"));
  ASSERT_TRUE(self);
  ASSERT_EQ(self->GetCount(), 1);
  auto* again = dynamic_cast<ChildBox*>(window.FindControlByName(L"again"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->GetCount(), 0);

  // Attached again, the content is built anew, not added a second time.
  page_box->Init();
  EXPECT_EQ(page_box->GetCount(), 1);
  DestroyWindow(window.GetHWND());
}

}  // namespace
}  // namespace ui
