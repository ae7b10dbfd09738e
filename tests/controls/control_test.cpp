#include <gtest/gtest.h>

#include <memory>

#include "tests/controls/fake_host.h"
#include "tests/controls/test_controls.h"
#include "ui/control/layout_pass.h"
#include "ui/core/language_strings.h"

namespace ui {
namespace {

using test::FakeHost;
using test::MakeBox;
using test::MakeControl;
using test::MakeStretch;

class ScrolledBox : public Box {
 public:
  bool HasScrollRange() const override { return true; }
  UiPoint GetScrollPos() const override { return {0, 40}; }
};

// root (0,0)-(100,100) > panel (0,0)-(100,50) > leaf, attached to a window.
class WindowedTest : public testing::Test {
 protected:
  void SetUp() override {
    root_.reset(MakeBox());
    host_.AttachRoot(root_.get());
    panel_ = MakeBox(kStretch, 50);
    panel_->ApplyAttribute(L"valign", L"top");
    leaf_ = MakeControl(20, 20);
    panel_->Add(leaf_);
    root_->Add(panel_);
    root_->SetBounds({0, 0, 100, 100});
    host_.invalidated().clear();
  }

  FakeHost host_;
  std::unique_ptr<Box> root_;
  Box* panel_ = nullptr;
  Control* leaf_ = nullptr;
};

TEST_F(WindowedTest, SetBoundsNormalisesAndInvalidatesTheMovedAreaOnce) {
  leaf_->SetBounds({30, 10, 20, 5});
  EXPECT_EQ(leaf_->GetBounds(), (UiRect{30, 10, 30, 10}));
  host_.invalidated().clear();

  leaf_->SetBounds({10, 10, 40, 30});
  leaf_->SetBounds({10, 10, 40, 30});
  // An empty old rectangle counts as the new one; nothing twice.
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{10, 10, 40, 30}));

  host_.invalidated().clear();
  leaf_->SetBounds({90, 40, 130, 80});
  // The union of old and new, clipped to the panel and the root.
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{10, 10, 100, 50}));

  leaf_->SetBounds({200, 200, 210, 210});
  host_.invalidated().clear();
  // Moving entirely outside the ancestors changes nothing on screen.
  leaf_->SetBounds({300, 300, 310, 310});
  EXPECT_TRUE(host_.invalidated().empty());
}

TEST_F(WindowedTest, AMovedBoxInvalidatesOnceForItsWholeSubtree) {
  // The root grows: the panel widens with it, inside the root's area.
  root_->SetBounds({0, 0, 120, 100});
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{0, 0, 120, 100}));

  // A child that moves inside a box that keeps its place repaints itself.
  leaf_->SetMargin({5, 0, 0, 0});
  host_.invalidated().clear();
  RunLayoutPass(root_.get(), {0, 0, 120, 100});
  EXPECT_EQ(leaf_->GetBounds(), (UiRect{5, 0, 25, 20}));
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{0, 0, 25, 20}));
}

TEST_F(WindowedTest, ChildrenOfABoxInAScrolledBoxInvalidateTheirOwnAreas) {
  // The panel's area is shifted by the scroll position; a child reaching
  // past the panel's bottom has area the shifted panel does not cover.
  auto* scrolled = MakeBox<ScrolledBox>(100, 100);
  Box* panel = MakeBox(100, 50);
  Control* tall = MakeControl(100, 100);
  panel->Add(tall);
  scrolled->Add(panel);
  root_->Add(scrolled);
  root_->SetBounds({0, 0, 100, 100});
  scrolled->SetBounds({0, 0, 100, 100});
  panel->SetBounds({0, 0, 100, 50});
  host_.invalidated().clear();

  panel->SetBounds({0, 10, 100, 60});
  EXPECT_EQ(tall->GetBounds(), (UiRect{0, 10, 100, 110}));
  ASSERT_EQ(host_.invalidated().size(), 2u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{0, 0, 100, 20}));
  EXPECT_EQ(host_.invalidated()[1], (UiRect{0, 10, 100, 60}));
}

TEST_F(WindowedTest, BoundsWithoutTheShadow) {
  leaf_->SetBounds({10, 10, 40, 30});
  host_.set_shadow({6, 4, 6, 8});
  EXPECT_EQ(leaf_->GetBounds(false), (UiRect{4, 6, 34, 26}));
  EXPECT_EQ(leaf_->GetBounds(true), (UiRect{10, 10, 40, 30}));
}

TEST_F(WindowedTest, InvalidateOnlyWhileVisibleAndShiftedByScrolling) {
  leaf_->Invalidate();
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], leaf_->GetBounds());
  panel_->SetVisible(false);
  host_.invalidated().clear();
  leaf_->Invalidate();
  EXPECT_TRUE(host_.invalidated().empty());

  auto* scrolled = new ScrolledBox;
  Control* inside = MakeControl(10, 10);
  scrolled->Add(inside);
  root_->Add(scrolled);
  root_->SetBounds({0, 0, 100, 100});
  host_.invalidated().clear();
  inside->Invalidate();
  ASSERT_EQ(host_.invalidated().size(), 1u);
  EXPECT_EQ(host_.invalidated()[0], (UiRect{0, -40, 10, -30}));
}

TEST_F(WindowedTest, LayoutRequestsClimbTheAutoSizedChain) {
  // root > panel (fixed height) > group (auto) > inner (auto) > leaf
  Box* group = MakeBox(kAuto, kAuto);
  Box* inner = MakeBox(kAuto, kAuto);
  Control* deep = MakeControl(5, 5);
  inner->Add(deep);
  group->Add(inner);
  panel_->Add(group);
  root_->SetBounds({0, 0, 100, 101});
  EXPECT_FALSE(panel_->NeedsArrange());
  const int requests = host_.layout_requests();

  deep->SetFixedWidth(9);
  EXPECT_TRUE(inner->NeedsMeasure());
  EXPECT_TRUE(group->NeedsMeasure());
  EXPECT_TRUE(panel_->NeedsArrange());
  EXPECT_FALSE(root_->NeedsArrange());
  EXPECT_EQ(host_.layout_requests(), requests + 1);

  // With only auto-sized ancestors the root lays out.
  FakeHost other;
  std::unique_ptr<Box> auto_root(MakeBox(kAuto, kAuto));
  other.AttachRoot(auto_root.get());
  Control* child = MakeControl(5, 5);
  auto_root->Add(child);
  RunLayoutPass(auto_root.get(), {0, 0, 50, 50});
  EXPECT_FALSE(auto_root->NeedsArrange());
  child->SetFixedHeight(7);
  EXPECT_TRUE(auto_root->NeedsArrange());
}

TEST_F(WindowedTest, SettersCompareBeforeTheyAct) {
  leaf_->SetMargin({1, 1, 1, 1});
  root_->SetBounds({0, 0, 100, 100});
  const int requests = host_.layout_requests();
  host_.invalidated().clear();
  leaf_->SetMargin({1, 1, 1, 1});
  leaf_->SetFixedWidth(20);
  leaf_->SetMinWidth(-3);
  EXPECT_EQ(host_.layout_requests(), requests);
  leaf_->SetBackgroundColor(L"x");
  leaf_->SetBackgroundColor(L"x");
  leaf_->SetBorderSize(0);
  leaf_->SetAlpha(255);
  EXPECT_EQ(host_.invalidated().size(), 1u);
  leaf_->SetMinWidth(30);
  EXPECT_EQ(host_.layout_requests(), requests + 1);
}

TEST_F(WindowedTest, HidingRequestsLayoutAndDropsTheFocus) {
  leaf_->SetFocus();
  ASSERT_EQ(host_.GetFocusControl(), leaf_);
  EXPECT_FALSE(panel_->NeedsArrange());
  leaf_->SetVisible(false);
  EXPECT_EQ(host_.GetFocusControl(), nullptr);
  EXPECT_TRUE(panel_->NeedsArrange());
  root_->SetBounds({0, 0, 100, 100});
  // A control hidden by its box requests nothing itself.
  leaf_->SetVisible(true);
  root_->SetBounds({0, 0, 100, 100});
  panel_->SetInternalVisible(false);
  EXPECT_FALSE(leaf_->IsVisible());
  EXPECT_FALSE(panel_->NeedsArrange());
}

TEST(ControlTest, ToolTipFromTheLanguageStringsWhenItHasNoText) {
  LanguageStrings::Instance()->AddLine(L"control_test_tip=First\\nSecond");
  Control control;
  control.SetToolTipTextId(L"control_test_tip");
  EXPECT_EQ(control.GetToolTipText(), L"First\nSecond");
  control.SetToolTipText(L"own");
  EXPECT_EQ(control.GetToolTipText(), L"own");
  control.SetToolTipTextIdUtf8("missing");
  EXPECT_EQ(control.GetToolTipTextId(), L"missing");
}

TEST(ControlTest, UserDataIsOwnedAndReplaced) {
  struct Data : UserData {
    explicit Data(int* deleted) : deleted_(deleted) {}
    ~Data() override { ++*deleted_; }
    int* deleted_;
  };
  int deleted = 0;
  {
    Control control;
    control.SetUserData(std::make_unique<Data>(&deleted));
    control.SetUserData(std::make_unique<Data>(&deleted));
    EXPECT_EQ(deleted, 1);
    EXPECT_NE(control.GetUserData(), nullptr);
  }
  EXPECT_EQ(deleted, 2);
}

TEST(ControlTest, MeasureOfFixedAndStretchedControls) {
  std::unique_ptr<Control> fixed(MakeControl(12, kStretch));
  EXPECT_EQ(fixed->Measure({100, 100}), (UiSize{12, kStretch}));
  std::unique_ptr<Control> stretch(MakeStretch());
  EXPECT_EQ(stretch->Measure({100, 100}), (UiSize{kStretch, kStretch}));
  test::TextControl text(25);
  text.SetFixedWidth(kAuto);
  EXPECT_EQ(text.Measure({100, 100}), (UiSize{25, kStretch}));
  EXPECT_FALSE(text.NeedsMeasure());
  text.set_length(40);
  EXPECT_EQ(text.Measure({100, 100}).cx, 25);
}

TEST(ControlTest, TabStopsAndActivation) {
  Control control;
  Box box;
  EXPECT_EQ(control.GetTabFlags(), kTabStop);
  EXPECT_EQ(box.GetTabFlags(), 0);
  EXPECT_TRUE(control.IsActivatable());
  control.SetEnabled(false);
  EXPECT_FALSE(control.IsActivatable());
}

}  // namespace
}  // namespace ui
