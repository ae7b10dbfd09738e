// Scrollable boxes and scroll bars without a window: hostile attribute
// values, extreme ranges and content that keeps changing its mind about
// needing a bar.

#include <gtest/gtest.h>

#include <memory>

#include "tests/controls/test_controls.h"
#include "ui/control/linear_layout.h"
#include "ui/control/scrollable_box.h"

namespace ui {
namespace {

using test::MakeControl;

// Ten rows of 30 in a 100 x 100 box with a vertical bar: range 200.
std::unique_ptr<ScrollableBox> MakeList() {
  auto box = std::make_unique<ScrollableBox>(std::make_unique<VLayout>());
  box->ApplyAttribute(L"vscrollbar", L"true");
  for (int i = 0; i < 10; ++i)
    box->Add(MakeControl(kStretch, 30));
  box->SetBounds({0, 0, 100, 100});
  return box;
}

// Tall while wide and short while narrow: a bar that takes room makes it
// fit, and without the bar it overflows again.
class ContraryControl : public Control {
 public:
  UiSize Measure(UiSize available) override { return {kStretch, available.cx >= 100 ? 300 : 50}; }
};

TEST(ScrollUnitTest, HostileUnitsStepByTheFallbackOrStayWithinTheRange) {
  std::unique_ptr<ScrollableBox> box = MakeList();
  ASSERT_EQ(box->GetScrollRange().cy, 200);
  for (const wchar_t* unit : {L"0", L"-50", L"abc", L""}) {
    box->SetScrollPos({0, 0});
    box->ApplyAttribute(L"vscrollunit", unit);
    box->LineDown(-1, false);
    EXPECT_EQ(box->GetScrollPos().y, 20) << "unit " << unit;
  }
  box->ApplyAttribute(L"vscrollunit", L"99999999999");
  box->LineDown(-1, false);
  EXPECT_EQ(box->GetScrollPos().y, 200);
  box->LineUp(-1, false);
  EXPECT_EQ(box->GetScrollPos().y, 0);
  // Positions outside the range are clamped.
  box->SetScrollPos({-5, -1000});
  EXPECT_EQ(box->GetScrollPos(), (UiPoint{0, 0}));
  box->SetScrollPos({0, 1 << 30});
  EXPECT_EQ(box->GetScrollPos().y, 200);
}

TEST(ScrollBarTest, HostileBarValuesKeepTheThumbInsideTheBar) {
  ScrollBar bar;
  bar.SetBounds({0, 0, 16, 200});
  // 200 x 168 / 1200 = 28, raised to the minimum of 30.
  bar.SetScrollRange(1000);
  EXPECT_EQ(bar.ThumbRect(), (UiRect{0, 16, 16, 46}));

  bar.ApplyAttribute(L"range", L"-5");
  EXPECT_EQ(bar.GetScrollRange(), 0);
  EXPECT_FALSE(bar.IsVisible());
  bar.SetScrollRange(int64_t{1} << 60);
  EXPECT_EQ(bar.GetScrollRange(), ScrollBar::kMaxRange);
  bar.SetBarPos(ScrollBar::kMaxRange);
  EXPECT_EQ(bar.ThumbRect().bottom, bar.Button2Rect().top);

  bar.ApplyAttribute(L"thumbminlength", L"2147483647");
  EXPECT_EQ(bar.ThumbRect(), (UiRect{0, 16, 16, 184})) << "never longer than its track";
  bar.ApplyAttribute(L"thumbminlength", L"-100");
  EXPECT_GE(bar.ThumbRect().Height(), 0);
  EXPECT_GE(bar.ThumbRect().top, bar.Button1Rect().bottom);

  bar.ApplyAttribute(L"width", L"-3");
  EXPECT_EQ(bar.Thickness(), 16) << "a width of -3 is ignored";
  bar.ApplyAttribute(L"width", L"auto");
  EXPECT_EQ(bar.Thickness(), 0);
  bar.SetBounds({0, 0, 16, 201});
  EXPECT_TRUE(bar.Button1Rect().IsEmpty());
  bar.ApplyAttribute(L"value", L"nonsense");
  EXPECT_EQ(bar.GetScrollPos(), 0);
  for (const wchar_t* name : {L"thumbnormalimage", L"bkhotimage", L"button1pushedimage"})
    bar.ApplyAttribute(name, L"");
}

TEST(ScrollLayoutTest, ContentThatFitsOnlyBesideTheBarSettlesWithHostilePadding) {
  ScrollableBox box(std::make_unique<VLayout>());
  box.ApplyAttribute(L"vscrollbar", L"true");
  box.ApplyAttribute(L"scrollbarfloat", L"false");
  box.ApplyAttribute(L"scrollbarpadding", L"-2147483647,2147483647,-2147483647,2147483647");
  box.Add(new ContraryControl);
  box.SetBounds({0, 0, 100, 100});
  const UiPoint pos = box.GetScrollPos();
  EXPECT_GE(pos.y, 0);
  EXPECT_LE(pos.y, box.GetScrollRange().cy);
  ScrollBar* bar = box.GetVerticalScrollBar();
  EXPECT_GE(bar->GetBounds().Width(), 0);
  EXPECT_GE(bar->GetBounds().Height(), 0);
}

TEST(ScrollLayoutTest, GrowingViewHidesTheBarAndResetsThePosition) {
  std::unique_ptr<ScrollableBox> box = MakeList();
  box->SetScrollPos({0, 150});
  box->SetBounds({0, 0, 100, 250});
  EXPECT_EQ(box->GetScrollRange().cy, 50);
  EXPECT_EQ(box->GetScrollPos().y, 50) << "kept within the smaller range";
  box->SetBounds({0, 0, 100, 1200});
  EXPECT_EQ(box->GetScrollRange().cy, 0);
  EXPECT_EQ(box->GetScrollPos().y, 0);
  // Non-floating bars take their width from the children.
  box->ApplyAttribute(L"scrollbarfloat", L"false");
  box->SetBounds({0, 0, 100, 100});
  EXPECT_EQ(box->GetItemAt(0)->GetBounds().Width(), 84);
}

}  // namespace
}  // namespace ui
