// Layouts that reuse earlier work: the layout pass searches only the paths
// that lead to a control waiting for arrangement, boxes whose subtree did
// not change skip arranging it or move it along. None of that may change
// where anything ends up.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/controls/fake_host.h"
#include "tests/controls/test_controls.h"
#include "ui/control/layout_pass.h"
#include "ui/control/linear_layout.h"
#include "ui/control/tile_layout.h"

namespace ui {
namespace {

using test::FakeHost;
using test::MakeBox;
using test::MakeControl;

// Counts what layout asks of it.
template <typename Base>
class Counted : public Base {
 public:
  UiSize Measure(UiSize available) override {
    ++measures_;
    return Base::Measure(available);
  }
  void SetBounds(const UiRect& rect) override {
    ++placements_;
    Base::SetBounds(rect);
  }
  // Only the layout pass's searches count.
  Control* FindControl(FindControlProc proc,
                       void* data,
                       uint32_t flags,
                       UiPoint scroll_offset) override {
    if (flags & kFindArrangePending)
      ++searches_;
    return Base::FindControl(proc, data, flags, scroll_offset);
  }
  int touches() const { return measures_ + placements_ + searches_; }
  void Reset() { measures_ = placements_ = searches_ = 0; }

 private:
  int measures_ = 0;
  int placements_ = 0;
  int searches_ = 0;
};

// Five rows of ten counted leaves.
struct Rows {
  FakeHost host;
  std::unique_ptr<VBox> root{MakeBox<VBox>()};
  std::vector<std::vector<Counted<Control>*>> leaves;

  Rows() {
    host.AttachRoot(root.get());
    for (int row = 0; row < 5; ++row) {
      HBox* box = MakeBox<HBox>(kStretch, 20);
      leaves.emplace_back();
      for (int i = 0; i < 10; ++i) {
        auto* leaf = new Counted<Control>;
        leaf->SetFixedWidth(10);
        leaf->SetFixedHeight(10);
        box->Add(leaf);
        leaves.back().push_back(leaf);
      }
      root->Add(box);
    }
    RunLayoutPass(root.get(), {0, 0, 200, 100});
  }
  void ResetCounts() {
    for (auto& row : leaves) {
      for (auto* leaf : row)
        leaf->Reset();
    }
  }
  int RowTouches(int row) const {
    int touches = 0;
    for (auto* leaf : leaves[row])
      touches += leaf->touches();
    return touches;
  }
};

TEST(IncrementalLayoutTest, UntouchedRowsAreNeitherSearchedNorArranged) {
  Rows rows;
  rows.ResetCounts();
  Counted<Control>* changed = rows.leaves[2][4];
  changed->SetFixedWidth(30);
  EXPECT_EQ(RunLayoutPass(rows.root.get(), {0, 0, 200, 100}), 1u);
  EXPECT_EQ(rows.leaves[2][5]->GetBounds(), (UiRect{70, 40, 80, 50}));
  for (int row : {0, 1, 3, 4})
    EXPECT_EQ(rows.RowTouches(row), 0) << row;
  // Nothing waits any more: the next pass searches nothing below the root.
  rows.ResetCounts();
  EXPECT_EQ(RunLayoutPass(rows.root.get(), {0, 0, 200, 100}), 0u);
  EXPECT_EQ(rows.RowTouches(2), 0);

  // The window grows taller: the rows keep their rectangles, and their
  // children are not arranged again.
  rows.root->SetBounds({0, 0, 200, 160});
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(rows.RowTouches(row), 0) << row;
  // The rows move down and take their children along, one placement each
  // and no measuring.
  rows.root->ApplyAttribute(L"padding", L"0,7,0,0");
  EXPECT_EQ(RunLayoutPass(rows.root.get(), {0, 0, 200, 160}), 1u);
  EXPECT_EQ(rows.leaves[4][9]->GetBounds(), (UiRect{90, 87, 100, 97}));
  EXPECT_EQ(rows.RowTouches(4), 10);
}

TEST(IncrementalLayoutTest, ChangesWithoutALayoutRequestAreStillFound) {
  Rows rows;
  rows.ResetCounts();
  // Alignment asks for no layout; the next arrangement from above applies
  // it, though the row's rectangle is the same.
  rows.leaves[1][0]->SetVerAlign(VerAlign::kBottom);
  rows.root->SetBounds({0, 0, 200, 100});
  EXPECT_EQ(rows.leaves[1][0]->GetBounds(), (UiRect{0, 30, 10, 40}));
  EXPECT_EQ(rows.RowTouches(0), 0);

  // A control added to a hidden box waits for arrangement, and nothing is
  // asked for when the box is shown by its own parent.
  HBox* row = static_cast<HBox*>(rows.root->GetItemAt(3));
  row->SetInternalVisible(false);
  Control* late = MakeControl(15, 15);
  row->Add(late);
  EXPECT_TRUE(late->NeedsArrange());
  row->SetInternalVisible(true);
  EXPECT_EQ(RunLayoutPass(rows.root.get(), {0, 0, 200, 100}), 1u);
  EXPECT_FALSE(late->NeedsArrange());
  EXPECT_EQ(rows.RowTouches(0), 0);
}

// Repeated layout against a fresh one ---------------------------------------

// Text |length| pixels long in lines 10 high, wrapped at its fixed width or
// at the width offered; like a label, it is measured again every time.
class WrappingText : public Control {
 public:
  explicit WrappingText(int32_t length) : length_(length) {}
  UiSize MeasureText(UiSize available, bool* needs_measure) override {
    *needs_measure = true;
    const int32_t width = std::max(fixed_width_ > 0 ? fixed_width_ : available.cx, 1);
    const int32_t lines = (length_ + width - 1) / width;
    return {std::min(length_, width), lines * 10};
  }
  void SetLength(int32_t length) {
    length_ = length;
    RequestAncestorLayout();
  }

 private:
  int32_t length_;
};

enum class Kind { kLeaf, kText, kBox, kHBox, kVBox, kTile };

// What a control is, so that a fresh tree can be built in the final state
// of one changed step by step.
struct Plan {
  Kind kind = Kind::kLeaf;
  int32_t width = kStretch;
  int32_t height = kStretch;
  UiPadding margin;
  HorAlign hor_align = HorAlign::kLeft;
  VerAlign ver_align = VerAlign::kTop;
  bool is_float = false;
  bool visible = true;
  bool unbounded = false;  // a maximum width of -1: floating text wraps
  int32_t length = 0;
  UiPadding padding;
  int32_t child_margin = 0;
  int32_t columns = 1;
  std::vector<Plan> children;
  Control* live = nullptr;

  bool IsBox() const { return kind >= Kind::kBox; }
};

Control* Build(Plan* plan) {
  Control* control = nullptr;
  switch (plan->kind) {
    case Kind::kLeaf:
      control = new Control;
      break;
    case Kind::kText:
      control = new WrappingText(plan->length);
      break;
    case Kind::kBox:
      control = new Box;
      break;
    case Kind::kHBox:
      control = new HBox;
      break;
    case Kind::kVBox:
      control = new VBox;
      break;
    case Kind::kTile:
      control = new TileBox;
      break;
  }
  control->SetFixedWidth(plan->width);
  control->SetFixedHeight(plan->height);
  control->SetMargin(plan->margin);
  control->SetHorAlign(plan->hor_align);
  control->SetVerAlign(plan->ver_align);
  control->SetFloat(plan->is_float);
  control->SetVisible(plan->visible);
  if (plan->unbounded)
    control->SetMaxWidth(-1);
  if (plan->IsBox()) {
    auto* box = static_cast<Box*>(control);
    box->GetLayout()->SetPadding(plan->padding);
    box->GetLayout()->SetChildMargin(plan->child_margin);
    if (plan->kind == Kind::kTile)
      static_cast<TileLayout*>(box->GetLayout())->SetColumns(plan->columns);
    for (Plan& child : plan->children)
      box->Add(Build(&child));
  }
  plan->live = control;
  return control;
}

class TreeMaker {
 public:
  explicit TreeMaker(uint32_t seed) : random_(seed) {}

  int32_t Between(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random_);
  }
  bool OneIn(int32_t n) { return Between(1, n) == 1; }

  int32_t Length() {
    switch (Between(0, 3)) {
      case 0:
        return kStretch;
      case 1:
        return kAuto;
      default:
        return Between(0, 60);
    }
  }
  UiPadding Margin() {
    // Now and then negative, so that tiles reach negative coordinates.
    const int32_t low = OneIn(4) ? -6 : 0;
    return {Between(low, 5), Between(low, 5), Between(low, 5), Between(low, 5)};
  }

  Plan Leaf() {
    Plan plan;
    plan.kind = OneIn(2) ? Kind::kText : Kind::kLeaf;
    plan.length = Between(1, 150);
    plan.width = Length();
    plan.height = Length();
    plan.margin = Margin();
    plan.hor_align = static_cast<HorAlign>(Between(0, 2));
    plan.ver_align = static_cast<VerAlign>(Between(0, 2));
    plan.is_float = OneIn(6);
    plan.visible = !OneIn(8);
    plan.unbounded = OneIn(3);
    return plan;
  }

  Plan Node(int depth) {
    if (depth == 0 || OneIn(3))
      return Leaf();
    Plan plan = Leaf();
    plan.kind = static_cast<Kind>(
        Between(static_cast<int32_t>(Kind::kBox), static_cast<int32_t>(Kind::kTile)));
    plan.padding = {Between(0, 4), Between(0, 4), Between(0, 4), Between(0, 4)};
    plan.child_margin = Between(0, 3);
    plan.columns = Between(1, 4);
    const int32_t count = Between(0, 5);
    for (int32_t i = 0; i < count; ++i)
      plan.children.push_back(Node(depth - 1));
    return plan;
  }

 private:
  std::mt19937 random_;
};

void Collect(Plan* plan, std::vector<Plan*>* all) {
  all->push_back(plan);
  for (Plan& child : plan->children)
    Collect(&child, all);
}

void LayOut(Control* root, const UiRect& client) {
  // As the window does: rounds until nothing waits.
  for (int round = 0; round < 16 && RunLayoutPass(root, client) > 0; ++round) {
  }
}

// Every visible control of |live| stands where the same control of a tree
// built fresh in the final state stands after one layout.
void ExpectSameAsFresh(const Plan& live, Plan* fresh, const char* trace) {
  ASSERT_EQ(live.live->IsVisible(), fresh->live->IsVisible()) << trace;
  if (!live.live->IsVisible())
    return;
  EXPECT_EQ(live.live->GetBounds(), fresh->live->GetBounds()) << trace;
  for (size_t i = 0; i < live.children.size(); ++i)
    ExpectSameAsFresh(live.children[i], &fresh->children[i], trace);
}

TEST(IncrementalLayoutTest, ATreeLaidOutAgainAndAgainEndsWhereAFreshOneDoes) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    TreeMaker maker(seed);
    Plan plan;
    plan.kind = Kind::kVBox;
    for (int i = 0; i < 4; ++i)
      plan.children.push_back(maker.Node(3));
    FakeHost host;
    std::unique_ptr<Control> root(Build(&plan));
    host.AttachRoot(root.get());
    UiRect client = {0, 0, 300, 200};
    LayOut(root.get(), client);

    for (int step = 0; step < 60; ++step) {
      std::vector<Plan*> all;
      Collect(&plan, &all);
      Plan* target =
          all[static_cast<size_t>(maker.Between(1, static_cast<int32_t>(all.size())) - 1)];
      const bool not_root = target != &plan;
      // Alignment asks for no layout; a resize or move arranges from the
      // root.
      bool from_root = false;
      switch (maker.Between(0, 8)) {
        case 0:
          if (target->kind == Kind::kText) {
            target->length = maker.Between(1, 150);
            static_cast<WrappingText*>(target->live)->SetLength(target->length);
          }
          break;
        case 1:
          target->hor_align = static_cast<HorAlign>(maker.Between(0, 2));
          target->ver_align = static_cast<VerAlign>(maker.Between(0, 2));
          target->live->SetHorAlign(target->hor_align);
          target->live->SetVerAlign(target->ver_align);
          from_root = true;
          break;
        case 2:
          target->margin = maker.Margin();
          target->live->SetMargin(target->margin);
          break;
        case 3:
          if (not_root) {
            target->visible = !target->visible;
            target->live->SetVisible(target->visible);
          }
          break;
        case 4:
          if (not_root) {
            target->width = maker.Length();
            target->live->SetFixedWidth(target->width);
          }
          break;
        case 5:
          if (target->IsBox()) {
            target->padding = maker.Margin();
            static_cast<Box*>(target->live)->GetLayout()->SetPadding(target->padding);
          }
          break;
        case 6:
          if (target->IsBox() && !target->children.empty() && maker.OneIn(2)) {
            static_cast<Box*>(target->live)->RemoveAt(0);
            target->children.erase(target->children.begin());
          } else if (target->IsBox()) {
            target->children.push_back(maker.Leaf());
            static_cast<Box*>(target->live)->Add(Build(&target->children.back()));
          }
          break;
        case 7:
          client = client.Offset(maker.Between(-40, 40), maker.Between(-40, 40));
          from_root = true;
          break;
        default:
          client.right = client.left + maker.Between(0, 400);
          client.bottom = client.top + maker.Between(0, 300);
          from_root = true;
          break;
      }
      if (from_root)
        root->SetBounds(client);
      LayOut(root.get(), client);
      host.DeleteDeferred();

      Plan fresh_plan = plan;
      FakeHost fresh_host;
      std::unique_ptr<Control> fresh(Build(&fresh_plan));
      fresh_host.AttachRoot(fresh.get());
      LayOut(fresh.get(), client);
      const std::string trace = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ExpectSameAsFresh(plan, &fresh_plan, trace.c_str());
      if (testing::Test::HasFailure())
        return;
    }
  }
}

}  // namespace
}  // namespace ui
