// The skin builder: element table and factories, attributes in document
// order, window settings, global and window classes, colours, Include,
// Event and BubbledEvent, and skins that are broken on purpose.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/resources/test_files.h"
#include "tests/window/window_test_support.h"
#include "ui/control/box.h"
#include "ui/control/button.h"
#include "ui/control/control.h"
#include "ui/control/label.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/core/skin_builder.h"

namespace ui {
namespace {

// Counts its instances, so that a test sees what the builder deleted.
class Tracked : public Control {
 public:
  Tracked() { ++alive; }
  ~Tracked() override { --alive; }
  static int alive;
};
int Tracked::alive = 0;

ControlFactory TrackedFactory() {
  return [](const std::wstring& name) -> Control* {
    return name == L"Tracked" ? new Tracked() : nullptr;
  };
}

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseShippedResources();
    Tracked::alive = 0;
  }
  void TearDown() override {
    GlobalResources::SetCustomControlFactory(nullptr);
    test::UseShippedResources();
  }

  // Builds |skin| without a parent; the caller owns the result.
  std::unique_ptr<Control> Build(const std::wstring& skin,
                                 Window* window = nullptr,
                                 ControlFactory factory = nullptr) {
    SkinBuilder builder;
    return std::unique_ptr<Control>(builder.Create(skin, std::move(factory), window, nullptr));
  }

  static int Depth(Control* control) {
    auto* box = dynamic_cast<Box*>(control);
    int deepest = 0;
    if (box) {
      for (Control* child : box->children())
        deepest = std::max(deepest, Depth(child));
    }
    return deepest + 1;
  }
};

TEST_F(BuilderTest, TheFirstControlAfterTheDefinitionsIsTheResult) {
  auto root = Build(L"<Window><Font id=\"bt_f\" name=\"Tahoma\"/><VBox name=\"v\"/></Window>");
  ASSERT_TRUE(root);
  EXPECT_TRUE(dynamic_cast<VBox*>(root.get()));
  EXPECT_EQ(root->GetName(), L"v");
  EXPECT_EQ(GlobalResources::FontById(L"bt_f"), nullptr) << "fonts belong to Global roots";

  EXPECT_FALSE(Build(L"<Window><Font name=\"Tahoma\"/><Class name=\"x\"/></Window>"));
  EXPECT_FALSE(Build(L"<!-- nothing -->"));
}

TEST_F(BuilderTest, TheElementTableIsExact) {
  std::unique_ptr<Control> button(SkinBuilder::CreateControlByName(L"Button"));
  ASSERT_TRUE(dynamic_cast<Button*>(button.get()));
  EXPECT_EQ(static_cast<Button*>(button.get())->GetTextStyle(), 0x8125u);
  std::unique_ptr<Control> label(SkinBuilder::CreateControlByName(L"Label"));
  ASSERT_TRUE(dynamic_cast<Label*>(label.get()));
  EXPECT_EQ(static_cast<Label*>(label.get())->GetTextStyle(), 0x8120u);
  std::unique_ptr<Control> box(SkinBuilder::CreateControlByName(L"ButtonBox"));
  EXPECT_TRUE(dynamic_cast<ButtonBox*>(box.get()));
  std::unique_ptr<Control> hbox(SkinBuilder::CreateControlByName(L"HBox"));
  EXPECT_TRUE(dynamic_cast<HBox*>(hbox.get()));
  std::unique_ptr<Control> tile(SkinBuilder::CreateControlByName(L"TileBox"));
  EXPECT_TRUE(dynamic_cast<TileBox*>(tile.get()));
  EXPECT_EQ(SkinBuilder::CreateControlByName(L"button"), nullptr);
  EXPECT_EQ(SkinBuilder::CreateControlByName(L"Event"), nullptr);
}

TEST_F(BuilderTest, FactoriesComeAfterTheTableTheApplicationsFirst) {
  GlobalResources::SetCustomControlFactory([](const std::wstring& name) -> Control* {
    if (name != L"Shared")
      return nullptr;
    auto* control = new Control();
    control->SetName(L"from_application");
    return control;
  });
  auto callback = [](const std::wstring& name) -> Control* {
    auto* control = new Control();
    control->SetName(L"from_window_" + name);
    return control;
  };
  auto root = Build(L"<Window><VBox><Shared/><Own/></VBox></Window>", nullptr, callback);
  auto* box = dynamic_cast<Box*>(root.get());
  ASSERT_TRUE(box);
  ASSERT_EQ(box->GetCount(), 2);
  EXPECT_EQ(box->GetItemAt(0)->GetName(), L"from_application");
  EXPECT_EQ(box->GetItemAt(1)->GetName(), L"from_window_Own");
}

TEST_F(BuilderTest, UnknownElementsMakeNothingAndTheirChildrenAreSkipped) {
  auto root = Build(
      L"<Window><VBox><Mystery><Control name=\"hidden\"/></Mystery>"
      L"<Control name=\"seen\"/></VBox></Window>");
  auto* box = dynamic_cast<Box*>(root.get());
  ASSERT_TRUE(box);
  ASSERT_EQ(box->GetCount(), 1);
  EXPECT_EQ(box->GetItemAt(0)->GetName(), L"seen");
}

TEST_F(BuilderTest, ControlsNobodyCanOwnAreDeleted) {
  // A control cannot hold children; one more at the top level has no owner.
  auto root =
      Build(L"<Window><VBox><Control><Tracked/></Control><Tracked/></VBox><Tracked/></Window>",
            nullptr, TrackedFactory());
  ASSERT_TRUE(root);
  EXPECT_EQ(Tracked::alive, 1);
  EXPECT_EQ(static_cast<Box*>(root.get())->GetCount(), 2);
  root.reset();
  EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(BuilderTest, AttributesApplyInDocumentOrderAndClassesResolveGlobalFirst) {
  test::HostWindow window;
  GlobalResources::DefineClass(L"bt_both", L"width=\"1\"");
  auto root = Build(
      L"<Window><Class name=\"bt_wc\" value=\"width=&quot;7&quot;\" height=\"9\"/>"
      L"<Class name=\"bt_both\" width=\"2\"/>"
      L"<VBox><Control name=\"classed\" class=\"bt_wc\"/>"
      L"<Control name=\"overridden\" class=\"bt_wc\" width=\"3\"/>"
      L"<Control name=\"both\" class=\"bt_both\"/>"
      L"<Control name=\"before\" width=\"3\" class=\"bt_wc\"/></VBox></Window>",
      &window);
  ASSERT_TRUE(root);
  EXPECT_EQ(window.WindowClassAttributes(L"bt_wc"), L"width=\"7\" height=\"9\"");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"bt_wc"), L"") << "window classes stay local";
  auto* box = static_cast<Box*>(root.get());
  EXPECT_EQ(box->GetItemAt(0)->GetFixedWidth(), 7);
  EXPECT_EQ(box->GetItemAt(0)->GetFixedHeight(), 9);
  EXPECT_EQ(box->GetItemAt(1)->GetFixedWidth(), 3) << "later attributes win";
  EXPECT_EQ(box->GetItemAt(2)->GetFixedWidth(), 1) << "the global class wins";
  EXPECT_EQ(box->GetItemAt(3)->GetFixedWidth(), 7);
}

TEST_F(BuilderTest, GlobalRootsFileClassesAndColours) {
  test::HostWindow window;
  EXPECT_FALSE(
      Build(L"<Global><Class name=\"bt_gc\" value=\"a=&quot;1&quot;\" b=\"2\"/>"
            L"<TextColor name=\"bt_hash\" value=\"#FF102030\"/>"
            L"<TextColor name=\"bt_plain\" value=\"80123456\"/></Global>",
            &window));
  EXPECT_EQ(GlobalResources::ClassAttributes(L"bt_gc"), L"a=\"1\" b=\"2\"");
  EXPECT_EQ(GlobalResources::ColorByName(L"bt_hash"), 0xFF102030u);
  EXPECT_EQ(GlobalResources::ColorByName(L"bt_plain"), 0x00123456u) << "the first digit is lost";

  // Without a window a build files nothing.
  Build(L"<Global><TextColor name=\"bt_nowindow\" value=\"#FF000001\"/></Global>");
  EXPECT_EQ(GlobalResources::ColorByName(L"bt_nowindow"), 0u);
}

TEST_F(BuilderTest, WindowAttributesApplyToALiveWindowInOrder) {
  test::HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"attrs", WS_POPUP, 0));
  LanguageStrings::Instance()->AddLine(L"bt_title=Skinned title");
  Build(
      L"<Window size=\"100,50\" shadowcorner=\"2,3,4,5\" sizebox=\"1,2,3,4\" "
      L"caption=\"0,0,0,30\" roundcorner=\"6,7\" mininfo=\"80,0\" maxinfo=\"0,500\" "
      L"textid=\"bt_title\" custom_shadow=\"1,1,1,1\" shadowimage=\"file='s.png'\">"
      L"<Control/></Window>",
      &window);
  EXPECT_EQ(window.GetInitialSize(), (UiSize{128, 78})) << "the old corner was in force";
  RECT rect = {};
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.right - rect.left, 128);
  EXPECT_EQ(window.ShadowCorner(), (UiPadding{2, 3, 4, 5}));
  EXPECT_EQ(window.GetSizeBox(), (UiPadding{1, 2, 3, 4}));
  EXPECT_EQ(window.GetCaption(), (UiRect{0, 0, 0, 30}));
  EXPECT_EQ(window.GetRoundCorner(), (UiSize{6, 7}));
  EXPECT_EQ(window.GetMinSize(), (UiSize{86, 0}));
  EXPECT_EQ(window.GetMaxSize(), (UiSize{0, 508}));
  EXPECT_EQ(window.GetAlphaFixMargins(), (UiPadding{1, 1, 1, 1}));
  EXPECT_FALSE(window.Shadow().HasDefaultImage());
  wchar_t title[64] = {};
  GetWindowTextW(window.GetHWND(), title, 64);
  EXPECT_STREQ(title, L"Skinned title");

  Build(L"<Window size=\"100,50\" shadowattached=\"false\"><Control/></Window>", &window);
  EXPECT_EQ(window.GetInitialSize(), (UiSize{106, 58})) << "the size came before the change";
  EXPECT_FALSE(window.IsShadowAttached());
  Build(L"<Window shadowattached=\"True\"><Control/></Window>", &window);
  EXPECT_FALSE(window.IsShadowAttached()) << "only \"true\" is true";
}

TEST_F(BuilderTest, HeightPercentTakesAShareOfTheWorkArea) {
  test::HostWindow window;
  ASSERT_TRUE(window.Create(nullptr, L"percent", WS_POPUP, 0));
  Build(L"<Window size=\"300,10\" heightpercent=\"0.5\"><Control/></Window>", &window);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const int work = monitor.rcWork.bottom - monitor.rcWork.top;
  EXPECT_EQ(window.GetInitialSize(), (UiSize{328, work / 2 + 28}));

  Build(L"<Window maxinfo=\"0,100\" heightpercent=\"0.9\"><Control/></Window>", &window);
  EXPECT_EQ(window.GetInitialSize().cy, 128) << "limited by the maximum height";
}

TEST_F(BuilderTest, WithoutANativeWindowOnlyClassesAreDefined) {
  test::HostWindow window;
  Build(L"<Window size=\"100,50\"><Class name=\"bt_nw\" width=\"1\"/><Control/></Window>", &window);
  EXPECT_EQ(window.GetInitialSize(), (UiSize{}));
  EXPECT_EQ(window.WindowClassAttributes(L"bt_nw"), L"width=\"1\"");
}

TEST_F(BuilderTest, EventsAttachOneHandlerPerTypeAndReceiver) {
  auto root = Build(
      L"<Window><VBox name=\"box\"><Control name=\"r1\"/><Control name=\"Target\"/>"
      L"<Event type=\"mouseenter  buttondown\" receiver=\"./r1 ./target\" "
      L"applyattribute=\"width=&quot;11&quot;\"/>"
      L"<BubbledEvent type=\"keydown\" receiver=\"./r1\" applyattribute=\"height=&quot;5&quot;\"/>"
      L"<Control name=\"leaf\"><BubbledEvent type=\"keydown\" receiver=\"./leaf\" "
      L"applyattribute=\"height=&quot;9&quot;\"/></Control>"
      L"</VBox></Window>");
  auto* box = dynamic_cast<Box*>(root.get());
  ASSERT_TRUE(box);
  Control* r1 = box->GetItemAt(0);
  Control* target = box->GetItemAt(1);
  for (EventType type : {kEventMouseEnter, kEventMouseButtonDown}) {
    r1->SetFixedWidth(kStretch);
    target->SetFixedWidth(kStretch);
    box->SendEvent(type);
    EXPECT_EQ(r1->GetFixedWidth(), 11) << type;
    EXPECT_EQ(target->GetFixedWidth(), 11) << "receiver names ignore case inside: " << type;
  }
  r1->SetFixedWidth(kStretch);
  box->SendEvent(kEventMouseLeave);
  EXPECT_EQ(r1->GetFixedWidth(), kStretch);

  // Bubbled handlers hear events of descendants; a plain control has none.
  Control* leaf = box->GetItemAt(2);
  leaf->SendEvent(kEventKeyDown);
  EXPECT_EQ(r1->GetFixedHeight(), 5);
  EXPECT_EQ(leaf->GetFixedHeight(), kStretch);
}

class IncludeTest : public BuilderTest {
 protected:
  void SetUp() override {
    BuilderTest::SetUp();
    GlobalResources::SetResourceFolder(folder_.path());
  }
  test::TempFolder folder_;
};

TEST_F(IncludeTest, IncludeInsertsTheFileCountTimes) {
  folder_.Write(L"part.xml", std::string("<Window><Control name=\"part\"/><Label/></Window>"));
  auto root = Build(
      L"<Window><VBox><Include source=\"part.xml\" count=\"3\"/><Include source=\"part.xml\"/>"
      L"<Include source=\"missing.xml\"/><Include count=\"2\"/></VBox></Window>");
  auto* box = dynamic_cast<Box*>(root.get());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->GetCount(), 8);
}

TEST_F(IncludeTest, SelfAndMutualIncludesEndAndBrokenFilesBuildNothing) {
  folder_.Write(L"self.xml",
                std::string("<Window><VBox><Control/><Include source=\"self.xml\" count=\"5\"/>"
                            "</VBox></Window>"));
  SkinBuilder builder;
  std::unique_ptr<Control> self(builder.Create(L"self.xml", nullptr, nullptr, nullptr));
  ASSERT_TRUE(self);
  EXPECT_EQ(static_cast<Box*>(self.get())->GetCount(), 1);

  folder_.Write(L"a.xml", std::string("<Window><VBox><Include source=\"b.xml\"/></VBox></Window>"));
  folder_.Write(L"b.xml", std::string("<Window><Control/><Include source=\"a.xml\"/></Window>"));
  SkinBuilder mutual;
  std::unique_ptr<Control> a(mutual.Create(L"a.xml", nullptr, nullptr, nullptr));
  ASSERT_TRUE(a);
  EXPECT_EQ(static_cast<Box*>(a.get())->GetCount(), 1) << "b's control, and no second a";
  EXPECT_EQ(Depth(a.get()), 2);

  folder_.Write(L"broken.xml", std::string("<Window><VBox></Window>"));
  SkinBuilder broken;
  EXPECT_EQ(broken.Create(L"broken.xml", nullptr, nullptr, nullptr), nullptr);
  SkinBuilder missing;
  EXPECT_EQ(missing.Create(L"nowhere.xml", nullptr, nullptr, nullptr), nullptr);
}

TEST_F(IncludeTest, AVeryDeepSkinIsCutNotCrashed) {
  std::wstring skin = L"<Window>";
  constexpr int kLevels = 5000;
  for (int i = 0; i < kLevels; ++i)
    skin += L"<VBox>";
  for (int i = 0; i < kLevels; ++i)
    skin += L"</VBox>";
  skin += L"</Window>";
  auto root = Build(skin);
  ASSERT_TRUE(root);
  EXPECT_EQ(Depth(root.get()), SkinBuilder::kMaxElementDepth);
}

TEST_F(IncludeTest, CachedSkinsAreParsedOnce) {
  folder_.Write(L"cached.xml", std::string("<Window><HBox><Control/></HBox></Window>"));
  std::unique_ptr<Control> first(GlobalResources::BuildFromSkinFile(L"cached.xml", nullptr));
  ASSERT_TRUE(dynamic_cast<HBox*>(first.get()));
  folder_.Write(L"cached.xml", std::string("<Window><VBox/></Window>"));
  std::unique_ptr<Control> second(GlobalResources::BuildFromSkinFile(L"cached.xml", nullptr));
  ASSERT_TRUE(dynamic_cast<HBox*>(second.get())) << "built from the kept document";
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(static_cast<Box*>(second.get())->GetCount(), 1);

  EXPECT_EQ(GlobalResources::BuildFromSkinFile(L"uncached.xml", nullptr), nullptr);
  folder_.Write(L"uncached.xml", std::string("<Window><VBox/></Window>"));
  std::unique_ptr<Control> late(GlobalResources::BuildFromSkinFile(L"uncached.xml", nullptr));
  EXPECT_TRUE(dynamic_cast<VBox*>(late.get())) << "a failure is not cached";
}

}  // namespace
}  // namespace ui
