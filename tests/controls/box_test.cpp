#include <gtest/gtest.h>

#include <memory>

#include "tests/controls/fake_host.h"
#include "tests/controls/test_controls.h"
#include "ui/control/layout_pass.h"
#include "ui/control/linear_layout.h"

namespace ui {
namespace {

using test::FakeHost;
using test::MakeBox;
using test::MakeControl;
using test::MakeStretch;

// Tells its witness when it is destroyed.
class Witness : public Control {
 public:
  explicit Witness(bool* destroyed) : destroyed_(destroyed) {}
  ~Witness() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

class ListItem : public Control {
 public:
  bool IsListItem() const override { return true; }
};

// A box scrolled by a fixed amount.
class ScrolledBox : public Box {
 public:
  explicit ScrolledBox(UiPoint position) : position_(position) {}
  bool HasScrollRange() const override { return true; }
  bool HasVerticalScrollRange() const override { return true; }
  UiPoint GetScrollPos() const override { return position_; }

 private:
  UiPoint position_;
};

Control* Accept(Control* control, void*) {
  return control;
}

Control* HitTest(Control* root, int32_t x, int32_t y) {
  UiPoint point = {x, y};
  return root->FindControl(&Accept, &point, kFindVisible | kFindHitTest | kFindTopFirst);
}

// Ownership -----------------------------------------------------------------

TEST(BoxOwnershipTest, AddRefusesNullAndPositionsPastTheEnd) {
  std::unique_ptr<Box> box(MakeBox());
  EXPECT_FALSE(box->Add(nullptr));
  EXPECT_FALSE(box->AddAt(nullptr, 0));
  std::unique_ptr<Control> outsider(MakeStretch());
  EXPECT_FALSE(box->AddAt(outsider.get(), 1));
  EXPECT_FALSE(box->AddAt(outsider.get(), -1));
  EXPECT_EQ(box->GetCount(), 0);

  Control* first = MakeStretch();
  Control* last = MakeStretch();
  Control* middle = MakeStretch();
  EXPECT_TRUE(box->AddAt(first, 0));
  EXPECT_TRUE(box->AddAt(last, 1));  // equal to the count: appends
  EXPECT_TRUE(box->AddAt(middle, 1));
  EXPECT_EQ(box->GetItemAt(0), first);
  EXPECT_EQ(box->GetItemAt(1), middle);
  EXPECT_EQ(box->GetItemAt(2), last);
  EXPECT_EQ(box->GetItemAt(3), nullptr);
  EXPECT_EQ(box->GetItemAt(-1), nullptr);
  EXPECT_EQ(box->GetItemIndex(last), 2);
  EXPECT_EQ(box->GetItemIndex(outsider.get()), -1);
  EXPECT_EQ(first->GetParent(), box.get());
}

TEST(BoxOwnershipTest, SetItemIndexMovesWithinTheList) {
  std::unique_ptr<Box> box(MakeBox());
  Control* a = MakeStretch();
  Control* b = MakeStretch();
  Control* c = MakeStretch();
  box->Add(a);
  box->Add(b);
  box->Add(c);
  EXPECT_TRUE(box->SetItemIndex(a, 2));
  EXPECT_EQ(box->GetItemAt(0), b);
  EXPECT_EQ(box->GetItemAt(2), a);
  EXPECT_FALSE(box->SetItemIndex(a, 3));
  std::unique_ptr<Control> outsider(MakeStretch());
  EXPECT_FALSE(box->SetItemIndex(outsider.get(), 0));
}

TEST(BoxOwnershipTest, RemoveWithoutWindowDeletesAtOnce) {
  std::unique_ptr<Box> box(MakeBox());
  bool destroyed = false;
  Control* child = new Witness(&destroyed);
  box->Add(child);
  std::unique_ptr<Control> outsider(MakeStretch());
  EXPECT_FALSE(box->Remove(outsider.get()));
  EXPECT_FALSE(box->Remove(nullptr));
  EXPECT_TRUE(box->Remove(child));
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(box->GetCount(), 0);
  EXPECT_FALSE(box->RemoveAt(0));
}

TEST(BoxOwnershipTest, DelayedRemovalWaitsForTheWindow) {
  FakeHost host;
  std::unique_ptr<Box> root(MakeBox());
  host.AttachRoot(root.get());
  bool destroyed = false;
  Control* child = new Witness(&destroyed);
  root->Add(child);
  EXPECT_EQ(child->GetWindow(), &host);
  EXPECT_TRUE(root->Remove(child));
  EXPECT_FALSE(destroyed);
  ASSERT_EQ(host.deferred().size(), 1u);
  // It keeps its window but no longer has a parent.
  EXPECT_EQ(child->GetWindow(), &host);
  EXPECT_EQ(child->GetParent(), nullptr);
  host.DeleteDeferred();
  EXPECT_TRUE(destroyed);
}

TEST(BoxOwnershipTest, WithoutAutoDestroyRemovedChildrenLiveOn) {
  std::unique_ptr<Box> box(MakeBox());
  box->SetAutoDestroy(false);
  std::unique_ptr<Control> child(MakeStretch());
  box->Add(child.get());
  EXPECT_TRUE(box->Remove(child.get()));
  EXPECT_EQ(child->GetParent(), nullptr);
  box->Add(child.get());
  box.reset();
  EXPECT_EQ(child->GetParent(), nullptr);
}

TEST(BoxOwnershipTest, RemoveAllAndDestructionDeleteEveryChild) {
  bool a_destroyed = false;
  bool b_destroyed = false;
  bool nested_destroyed = false;
  {
    FakeHost host;
    auto* root = MakeBox();
    host.AttachRoot(root);
    auto* inner = MakeBox();
    inner->Add(new Witness(&nested_destroyed));
    root->Add(new Witness(&a_destroyed));
    root->Add(inner);
    root->SetDelayedDestroy(false);
    root->RemoveAll();
    EXPECT_TRUE(a_destroyed);
    EXPECT_TRUE(nested_destroyed);
    EXPECT_EQ(root->GetCount(), 0);

    root->SetDelayedDestroy(true);
    root->Add(new Witness(&b_destroyed));
    // Destruction deletes at once, delayed or not.
    delete root;
    EXPECT_TRUE(b_destroyed);
    EXPECT_TRUE(host.deferred().empty());
  }
}

TEST(BoxOwnershipTest, DestroyedControlsAreForgottenByTheirWindow) {
  FakeHost host;
  std::unique_ptr<Box> root(MakeBox());
  host.AttachRoot(root.get());
  Control* child = MakeStretch();
  child->SetName(L"child");
  root->Add(child);
  EXPECT_EQ(host.FindControlByName(L"child"), child);
  root->SetDelayedDestroy(false);
  root->Remove(child);
  EXPECT_EQ(host.FindControlByName(L"child"), nullptr);
  ASSERT_EQ(host.forgotten().size(), 1u);
  EXPECT_EQ(host.forgotten()[0], child);
}

TEST(BoxOwnershipTest, ChildrenAreInitialisedBeforeTheirBox) {
  class InitLog : public Box {
   public:
    InitLog(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
    void OnInit() override { log_->push_back(name_); }

   private:
    std::vector<std::string>* log_;
    std::string name_;
  };
  std::vector<std::string> log;
  FakeHost host;
  std::unique_ptr<Box> root(MakeBox());
  host.AttachRoot(root.get());
  auto* outer = new InitLog(&log, "outer");
  outer->Add(new InitLog(&log, "inner"));
  EXPECT_TRUE(log.empty());
  root->Add(outer);
  EXPECT_EQ(log, (std::vector<std::string>{"inner", "outer"}));
}

// Visibility ----------------------------------------------------------------

TEST(BoxVisibilityTest, HiddenBoxHidesItsChildren) {
  std::unique_ptr<Box> box(MakeBox());
  Control* child = MakeStretch();
  box->Add(child);
  box->SetVisible(false);
  EXPECT_FALSE(child->IsVisible());
  Control* late = MakeStretch();
  box->Add(late);
  EXPECT_FALSE(late->IsVisible());
  box->SetVisible(true);
  EXPECT_TRUE(child->IsVisible());
  EXPECT_TRUE(late->IsVisible());

  // Moved from a hidden box to a visible one: visible again.
  std::unique_ptr<Box> hidden(MakeBox());
  hidden->SetAutoDestroy(false);
  hidden->SetVisible(false);
  std::unique_ptr<Control> traveller(MakeStretch());
  hidden->Add(traveller.get());
  hidden->Remove(traveller.get());
  EXPECT_FALSE(traveller->IsVisible());
  box->SetAutoDestroy(false);
  box->Add(traveller.get());
  EXPECT_TRUE(traveller->IsVisible());
  box->Remove(traveller.get());
  box->SetAutoDestroy(true);
}

TEST(BoxVisibilityTest, DisablingABoxDisablesItsChildren) {
  std::unique_ptr<Box> box(MakeBox());
  Control* child = MakeStretch();
  box->Add(child);
  box->SetEnabled(false);
  EXPECT_FALSE(child->IsEnabled());
  EXPECT_EQ(child->GetState(), ControlState::kDisabled);
  box->SetEnabled(true);
  EXPECT_TRUE(child->IsEnabled());
  EXPECT_EQ(child->GetState(), ControlState::kNormal);
}

// Hit testing ---------------------------------------------------------------

TEST(BoxHitTestTest, FindsTheTopmostChildUnderThePoint) {
  std::unique_ptr<Box> root(MakeBox());
  Control* below = MakeStretch();
  Control* above = MakeControl(20, 20);
  root->Add(below);
  root->Add(above);
  root->SetBounds({0, 0, 100, 100});
  EXPECT_EQ(HitTest(root.get(), 10, 10), above);
  EXPECT_EQ(HitTest(root.get(), 50, 50), below);
  EXPECT_EQ(HitTest(root.get(), 150, 50), nullptr);
  // Without "top first" the first child in the list wins.
  UiPoint point = {10, 10};
  EXPECT_EQ(root->FindControl(&Accept, &point, kFindVisible | kFindHitTest), below);
}

TEST(BoxHitTestTest, PaddingAreaFindsTheBoxNotAChildReachingIntoIt) {
  std::unique_ptr<Box> root(MakeBox());
  root->ApplyAttribute(L"padding", L"10,10,10,10");
  Control* child = MakeControl(50, 50);
  Control* floating = MakeControl(5, 5);
  floating->ApplyAttributeList(L"float=\"true\" margin=\"-8,-8,0,0\"");
  root->Add(child);
  root->SetBounds({0, 0, 100, 100});
  // The child is moved into the padding area by hand.
  child->SetBounds({0, 0, 50, 50});
  EXPECT_EQ(HitTest(root.get(), 5, 5), root.get());
  EXPECT_EQ(HitTest(root.get(), 20, 20), child);
  // A floating child is found in the padding.
  root->Add(floating);
  root->SetBounds({0, 0, 100, 101});
  EXPECT_EQ(floating->GetBounds(), (UiRect{2, 2, 7, 7}));
  EXPECT_EQ(HitTest(root.get(), 3, 3), floating);
}

TEST(BoxHitTestTest, MouseChildAndMouseFlags) {
  std::unique_ptr<Box> root(MakeBox());
  Box* group = MakeBox();
  Control* leaf = MakeStretch();
  group->Add(leaf);
  root->Add(group);
  root->SetBounds({0, 0, 100, 100});
  EXPECT_EQ(HitTest(root.get(), 50, 50), leaf);
  leaf->SetMouseEnabled(false);
  EXPECT_EQ(HitTest(root.get(), 50, 50), group);
  leaf->SetMouseEnabled(true);
  group->ApplyAttribute(L"mousechild", L"false");
  EXPECT_EQ(HitTest(root.get(), 50, 50), group);
  group->SetMouseEnabled(false);
  EXPECT_EQ(HitTest(root.get(), 50, 50), root.get());
}

TEST(BoxHitTestTest, MeFirstTestsTheBoxBeforeItsChildren) {
  std::unique_ptr<Box> root(MakeBox());
  Control* child = MakeStretch();
  root->Add(child);
  root->SetBounds({0, 0, 10, 10});
  EXPECT_EQ(root->FindControl(&Accept, nullptr, kFindMeFirst), root.get());
  EXPECT_EQ(root->FindControl(&Accept, nullptr, 0), child);
  child->SetVisible(false);
  EXPECT_EQ(root->FindControl(&Accept, nullptr, kFindVisible), root.get());
}

TEST(BoxHitTestTest, ScrolledBoxShiftsThePointForItsChildren) {
  std::unique_ptr<ScrolledBox> root(new ScrolledBox({0, 100}));
  Control* first = MakeControl(kStretch, 100);
  Control* second = MakeControl(kStretch, 100);
  root->ReplaceLayout(std::make_unique<VLayout>());
  root->Add(first);
  root->Add(second);
  root->SetBounds({0, 0, 50, 100});
  UiPoint point = {10, 10};
  EXPECT_EQ(root->FindControl(&Accept, &point, kFindVisible | kFindHitTest, {0, 100}), second);
  EXPECT_TRUE(second->ContainsPointScrolled({10, 10}));
  EXPECT_FALSE(first->ContainsPointScrolled({10, 10}));
  EXPECT_EQ(second->GetScrollOffset(), (UiPoint{0, 100}));
  // A floating child of a vertically scrolled box does not move.
  second->SetFloat(true);
  EXPECT_EQ(second->GetScrollOffset(), (UiPoint{0, 0}));
}

TEST(BoxHitTestTest, FindSubControlIgnoresCaseAndSearchesDeep) {
  std::unique_ptr<Box> root(MakeBox());
  Box* group = MakeBox();
  Control* title = MakeStretch();
  title->SetName(L"Title");
  group->Add(title);
  root->Add(group);
  EXPECT_EQ(root->FindSubControl(L"title"), title);
  EXPECT_EQ(root->FindSubControl(L"TITLE"), title);
  EXPECT_EQ(root->FindSubControl(L"caption"), nullptr);
}

TEST(BoxSelectionTest, FindSelectableIndexSkipsWhatCannotBeSelected) {
  std::unique_ptr<Box> box(MakeBox());
  EXPECT_EQ(box->FindSelectableIndex(0, true), -1);
  box->Add(MakeStretch());  // 0: not a list item
  box->Add(new ListItem);   // 1
  box->Add(new ListItem);   // 2: disabled below
  box->Add(MakeStretch());  // 3
  box->GetItemAt(2)->SetEnabled(false);
  EXPECT_EQ(box->FindSelectableIndex(0, true), 1);
  EXPECT_EQ(box->FindSelectableIndex(2, true), -1);
  EXPECT_EQ(box->FindSelectableIndex(99, false), 1);
  EXPECT_EQ(box->FindSelectableIndex(-5, true), 1);
  box->GetItemAt(1)->SetVisible(false);
  // Backwards finds nothing and falls back to forwards from the start.
  EXPECT_EQ(box->FindSelectableIndex(3, false), -1);
}

// The window's layout pass ---------------------------------------------------

TEST(LayoutPassTest, ALeafChangeLaysOutFromItsNearestFixedSizeAncestor) {
  FakeHost host;
  std::unique_ptr<VBox> root(MakeBox<VBox>());
  host.AttachRoot(root.get());
  HBox* untouched_row = MakeBox<HBox>(kStretch, 30);
  untouched_row->Add(MakeControl(10, 10));
  HBox* row = MakeBox<HBox>(kStretch, 30);
  HBox* auto_group = MakeBox<HBox>(kAuto, kStretch);
  Control* leaf = MakeControl(10, 10);
  Control* after = MakeControl(10, 10);
  auto_group->Add(leaf);
  row->Add(auto_group);
  row->Add(after);
  root->Add(untouched_row);
  root->Add(row);
  EXPECT_EQ(RunLayoutPass(root.get(), {0, 0, 200, 100}), 1u);
  EXPECT_EQ(after->GetBounds(), (UiRect{10, 30, 20, 40}));
  EXPECT_FALSE(row->NeedsArrange());

  leaf->SetFixedWidth(25);
  // The auto-sized group is measured again; its fixed-size parent is laid
  // out; nothing above it.
  EXPECT_TRUE(auto_group->NeedsMeasure());
  EXPECT_TRUE(row->NeedsArrange());
  EXPECT_FALSE(root->NeedsArrange());
  EXPECT_GT(host.layout_requests(), 0);
  EXPECT_EQ(RunLayoutPass(root.get(), {0, 0, 200, 100}), 1u);
  EXPECT_EQ(auto_group->GetBounds(), (UiRect{0, 30, 25, 60}));
  EXPECT_EQ(after->GetBounds(), (UiRect{25, 30, 35, 40}));
  EXPECT_FALSE(row->NeedsArrange());
}

TEST(LayoutPassTest, RootThatAsksForLayoutGetsTheClientRectangle) {
  FakeHost host;
  std::unique_ptr<HBox> root(MakeBox<HBox>());
  host.AttachRoot(root.get());
  Control* child = MakeStretch();
  root->Add(child);
  RunLayoutPass(root.get(), {0, 0, 60, 40});
  EXPECT_EQ(child->GetBounds(), (UiRect{0, 0, 60, 40}));
  root->RequestLayout();
  RunLayoutPass(root.get(), {0, 0, 80, 40});
  EXPECT_EQ(child->GetBounds(), (UiRect{0, 0, 80, 40}));
  EXPECT_EQ(RunLayoutPass(nullptr, {}), 0u);
}

}  // namespace
}  // namespace ui
