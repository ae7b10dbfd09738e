#include <gtest/gtest.h>

#include <memory>

#include "tests/controls/test_controls.h"
#include "ui/control/linear_layout.h"
#include "ui/control/tile_layout.h"

namespace ui {
namespace {

using test::MakeBox;
using test::MakeControl;
using test::MakeStretch;

UiRect R(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {l, t, r, b};
}

// Horizontal layout -------------------------------------------------------

TEST(HorizontalLayoutTest, ThreeStretchChildrenShareWithRemainderToTheFirst) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* a = MakeStretch();
  Control* b = MakeStretch();
  Control* c = MakeStretch();
  box->Add(a);
  box->Add(b);
  box->Add(c);
  box->SetBounds(R(0, 0, 100, 30));
  EXPECT_EQ(a->GetBounds(), R(0, 0, 34, 30));
  EXPECT_EQ(b->GetBounds(), R(34, 0, 67, 30));
  EXPECT_EQ(c->GetBounds(), R(67, 0, 100, 30));
}

TEST(HorizontalLayoutTest, FiveStretchChildrenIn103PixelsGetThreeExtraPixels) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* children[5];
  for (Control*& child : children) {
    child = MakeStretch();
    box->Add(child);
  }
  box->SetBounds(R(10, 0, 113, 5));
  const int32_t expected_left[] = {10, 31, 52, 73, 93};
  const int32_t expected_right[] = {31, 52, 73, 93, 113};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(children[i]->GetBounds().left, expected_left[i]) << i;
    EXPECT_EQ(children[i]->GetBounds().right, expected_right[i]) << i;
  }
}

TEST(HorizontalLayoutTest, MarginsPaddingAndChildMarginTogether) {
  // Content (5,4)-(197,48): 192 x 44. Fixed total: 20+1+3 for a, 0 for
  // b, 2+2 for c, plus 2 x 10 between them = 48; stretch share
  // (192 - 48) / 2 = 72, no remainder.
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  box->ApplyAttribute(L"padding", L"5,4,3,2");
  box->ApplyAttribute(L"childmargin", L"10");
  Control* a = MakeControl(20, 10);
  a->SetMargin({1, 2, 3, 4});
  Control* b = MakeStretch();
  Control* c = MakeStretch();
  c->SetMargin({2, 0, 2, 0});
  box->Add(a);
  box->Add(b);
  box->Add(c);
  box->SetBounds(R(0, 0, 200, 50));
  EXPECT_EQ(a->GetBounds(), R(6, 6, 26, 16));
  EXPECT_EQ(b->GetBounds(), R(39, 4, 111, 48));
  EXPECT_EQ(c->GetBounds(), R(123, 4, 195, 48));
  // The last margin ends exactly at the content's right edge.
  EXPECT_EQ(c->GetBounds().right + c->GetMargin().right, 197);
  EXPECT_EQ(box->GetPaddingBounds(), R(5, 4, 197, 48));
}

TEST(HorizontalLayoutTest, FixedChildWiderThanTheBoxLeavesStretchChildrenNothing) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* wide = MakeControl(150, 10);
  Control* stretch = MakeStretch();
  box->Add(wide);
  box->Add(stretch);
  box->SetBounds(R(0, 0, 100, 20));
  EXPECT_EQ(wide->GetBounds(), R(0, 0, 150, 10));
  EXPECT_EQ(stretch->GetBounds(), R(150, 0, 150, 20));
}

TEST(HorizontalLayoutTest, MinimumAndMaximumClampAfterSharing) {
  // Shares of 50 each: the first is held to 30, the second raised to 70.
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* capped = MakeStretch();
  capped->SetMaxWidth(30);
  capped->SetMaxHeight(20);
  capped->ApplyAttribute(L"valign", L"center");
  Control* raised = MakeStretch();
  raised->SetMinWidth(70);
  box->Add(capped);
  box->Add(raised);
  box->SetBounds(R(0, 0, 100, 50));
  // Centred: 0 + (0 + 50 - 0 - 20 - 0) / 2 = 15.
  EXPECT_EQ(capped->GetBounds(), R(0, 15, 30, 35));
  EXPECT_EQ(raised->GetBounds(), R(30, 0, 100, 50));
}

TEST(HorizontalLayoutTest, NegativeMaximumWidthIsNoneButANegativeMaximumHeightCollapses) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* child = MakeStretch();
  child->ApplyAttribute(L"maxwidth", L"stretch");
  child->ApplyAttribute(L"maxheight", L"auto");
  box->Add(child);
  box->SetBounds(R(0, 0, 80, 40));
  // The height clamp always applies the maximum: min(40, -2) is empty.
  EXPECT_EQ(child->GetBounds(), R(0, 0, 80, 0));
}

TEST(HorizontalLayoutTest, VerticalAlignmentInsideTheRow) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* top = MakeControl(10, 10);
  top->SetMargin({0, 3, 0, 0});
  Control* middle = MakeControl(10, 10);
  middle->ApplyAttribute(L"valign", L"center");
  middle->SetMargin({0, 4, 0, 0});
  Control* bottom = MakeControl(10, 10);
  bottom->ApplyAttribute(L"valign", L"bottom");
  bottom->SetMargin({0, 0, 0, 5});
  box->Add(top);
  box->Add(middle);
  box->Add(bottom);
  box->SetBounds(R(0, 100, 30, 141));
  EXPECT_EQ(top->GetBounds(), R(0, 103, 10, 113));
  // 100 + (4 + 141 - 0 - 10 - 100) / 2 = 117.
  EXPECT_EQ(middle->GetBounds(), R(10, 117, 20, 127));
  EXPECT_EQ(bottom->GetBounds(), R(20, 126, 30, 136));
}

TEST(HorizontalLayoutTest, HiddenChildrenTakeNoSpace) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  box->ApplyAttribute(L"childmargin", L"4");
  Control* a = MakeStretch();
  Control* hidden = MakeControl(30, 10);
  Control* b = MakeStretch();
  box->Add(a);
  box->Add(hidden);
  box->Add(b);
  hidden->SetVisible(false);
  box->SetBounds(R(0, 0, 94, 10));
  // One gap of 4 between the two visible children: (94 - 4) / 2 = 45.
  EXPECT_EQ(a->GetBounds(), R(0, 0, 45, 10));
  EXPECT_EQ(b->GetBounds(), R(49, 0, 94, 10));
}

TEST(HorizontalLayoutTest, FloatingChildIsPlacedOnItsOwnAndMovesNoSibling) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  box->ApplyAttribute(L"padding", L"10,10,10,10");
  Control* a = MakeStretch();
  Control* floating = MakeControl(10, 10);
  floating->ApplyAttributeList(
      L"float=\"true\" halign=\"right\" valign=\"bottom\" margin=\"0,0,5,5\"");
  Control* b = MakeStretch();
  box->Add(a);
  box->Add(floating);
  box->Add(b);
  box->SetBounds(R(0, 0, 120, 70));
  EXPECT_EQ(a->GetBounds(), R(10, 10, 60, 60));
  EXPECT_EQ(b->GetBounds(), R(60, 10, 110, 60));
  // Content (10,10)-(110,60) less the margins: (10,10)-(105,55).
  EXPECT_EQ(floating->GetBounds(), R(95, 45, 105, 55));
}

TEST(HorizontalLayoutTest, ZeroAndNegativeSpace) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* stretch = MakeStretch();
  Control* fixed = MakeControl(10, kStretch);
  fixed->SetMargin({5, 5, 5, 5});
  box->Add(stretch);
  box->Add(fixed);
  box->SetBounds(R(20, 20, 10, 15));  // inverted: becomes empty
  EXPECT_EQ(box->GetBounds(), R(20, 20, 20, 20));
  EXPECT_EQ(stretch->GetBounds(), R(20, 20, 20, 20));
  // A stretched height smaller than the margins is empty, never negative.
  EXPECT_EQ(fixed->GetBounds(), R(25, 25, 35, 25));
}

TEST(HorizontalLayoutTest, ArrangeReportsTheLengthUsed) {
  HLayout layout;
  layout.SetChildMargin(3);
  std::unique_ptr<Control> a(MakeControl(10, 7));
  std::unique_ptr<Control> b(MakeControl(20, 9));
  a->SetMargin({1, 0, 1, 0});
  const UiSize used = layout.ArrangeChildren({a.get(), b.get()}, R(0, 0, 100, 100));
  EXPECT_EQ(used, (UiSize{10 + 2 + 20 + 3, 9}));
  EXPECT_EQ(layout.ArrangeChildren({}, R(0, 0, 100, 100)), (UiSize{0, 0}));
}

TEST(HorizontalLayoutTest, MeasureSumsChildrenMarginsAndPadding) {
  std::unique_ptr<HBox> box(MakeBox<HBox>(kAuto, kAuto));
  box->ApplyAttribute(L"padding", L"2,3,4,5");
  box->ApplyAttribute(L"childmargin", L"6");
  Control* a = MakeControl(20, 10);
  a->SetMargin({1, 1, 1, 1});
  Control* b = MakeControl(30, 15);
  box->Add(a);
  box->Add(b);
  // Width: 22 + 30 + 6 + 2 + 4; height: max(12, 15) + 3 + 5.
  EXPECT_EQ(box->Measure({500, 500}), (UiSize{64, 23}));
}

TEST(HorizontalLayoutTest, StretchChildContributesItsClampedMinusOneToAnAutoBox) {
  std::unique_ptr<HBox> box(MakeBox<HBox>(kAuto, 20));
  Control* fixed = MakeControl(50, 10);
  Control* stretch = MakeStretch();
  box->Add(fixed);
  box->Add(stretch);
  // The default minimum of -1 keeps the stretch marker: 50 - 1.
  EXPECT_EQ(box->Measure({500, 500}).cx, 49);
  stretch->SetMinWidth(15);
  EXPECT_EQ(box->Measure({500, 500}).cx, 65);
}

// Vertical layout ---------------------------------------------------------

TEST(VerticalLayoutTest, StretchHeightsWithRemainderAndHorizontalAlignment) {
  // Content 101 high: fixed 20 + margins 2 + gaps 2 x 3 = 28; the two
  // stretch children share 73: 37 and 36.
  std::unique_ptr<VBox> box(MakeBox<VBox>());
  box->ApplyAttribute(L"childmargin", L"3");
  Control* a = MakeStretch();
  Control* fixed = MakeControl(40, 20);
  fixed->ApplyAttribute(L"halign", L"right");
  fixed->SetMargin({0, 1, 7, 1});
  Control* b = MakeStretch();
  b->SetMaxWidth(50);
  b->ApplyAttribute(L"halign", L"center");
  box->Add(a);
  box->Add(fixed);
  box->Add(b);
  box->SetBounds(R(0, 0, 100, 101));
  EXPECT_EQ(a->GetBounds(), R(0, 0, 100, 37));
  EXPECT_EQ(fixed->GetBounds(), R(53, 41, 93, 61));
  EXPECT_EQ(b->GetBounds(), R(25, 65, 75, 101));
}

TEST(VerticalLayoutTest, AutoSizedChildGetsItsContentSize) {
  // An auto box whose width comes from its children, centred in a column.
  std::unique_ptr<VBox> column(MakeBox<VBox>());
  auto* row = MakeBox<HBox>(kAuto, kAuto);
  row->ApplyAttribute(L"halign", L"center");
  row->ApplyAttribute(L"padding", L"2,2,2,2");
  row->ApplyAttribute(L"childmargin", L"5");
  row->Add(MakeControl(20, 8));
  row->Add(MakeControl(30, 12));
  column->Add(row);
  column->SetBounds(R(0, 0, 200, 100));
  // 20 + 5 + 30 + 4 = 59 wide, 12 + 4 = 16 high; (200 - 59) / 2 = 70.
  EXPECT_EQ(row->GetBounds(), R(70, 0, 129, 16));
  EXPECT_EQ(row->GetItemAt(0)->GetBounds(), R(72, 2, 92, 10));
  EXPECT_EQ(row->GetItemAt(1)->GetBounds(), R(97, 2, 127, 14));
}

TEST(VerticalLayoutTest, AutoSizeFromTextWithoutImage) {
  std::unique_ptr<VBox> box(MakeBox<VBox>());
  auto* text = new test::TextControl(42);
  text->SetFixedWidth(kAuto);
  text->SetFixedHeight(kAuto);
  Control* empty = MakeControl(kAuto, kAuto);
  box->Add(text);
  box->Add(empty);
  box->SetBounds(R(0, 0, 100, 100));
  EXPECT_EQ(text->GetBounds(), R(0, 0, 42, 10));
  // Neither image nor text: nothing in either direction.
  EXPECT_EQ(empty->GetBounds(), R(0, 10, 0, 10));
}

// Base layout and floating placement ----------------------------------------

TEST(BaseLayoutTest, EveryChildIsPlacedByItsOwnAlignment) {
  std::unique_ptr<Box> box(MakeBox());
  Control* centred = MakeControl(20, 10);
  centred->ApplyAttributeList(L"halign=\"center\" valign=\"center\"");
  Control* corner = MakeControl(7, 5);
  corner->ApplyAttributeList(L"halign=\"right\" valign=\"bottom\" margin=\"0,0,1,2\"");
  Control* stretch = MakeStretch();
  stretch->SetMargin({3, 3, 3, 3});
  box->Add(centred);
  box->Add(corner);
  box->Add(stretch);
  box->SetBounds(R(0, 0, 101, 51));
  // x = 0 + (101 - 20 - 0) / 2 = 40; y = (51 - 10) / 2 = 20.
  EXPECT_EQ(centred->GetBounds(), R(40, 20, 60, 30));
  EXPECT_EQ(corner->GetBounds(), R(93, 44, 100, 49));
  EXPECT_EQ(stretch->GetBounds(), R(3, 3, 98, 48));
}

TEST(BaseLayoutTest, MarginsLargerThanTheSpaceGiveAnEmptyRectangle) {
  std::unique_ptr<Box> box(MakeBox());
  Control* child = MakeStretch();
  child->SetMargin({8, 8, 8, 8});
  box->Add(child);
  box->SetBounds(R(0, 0, 10, 10));
  EXPECT_EQ(child->GetBounds(), R(8, 8, 8, 8));
}

TEST(BaseLayoutTest, AutoBoxWithoutVisibleChildrenMeasuresMinus9999PlusItsPadding) {
  std::unique_ptr<Box> box(MakeBox(kAuto, kAuto));
  box->ApplyAttribute(L"padding", L"1,2,3,4");
  Control* hidden = MakeControl(50, 50);
  box->Add(hidden);
  hidden->SetVisible(false);
  EXPECT_EQ(box->Measure({100, 100}), (UiSize{-9995, -9993}));

  // In a row the clamps make that -1, an empty rectangle that moves its
  // sibling by nothing.
  std::unique_ptr<HBox> row(MakeBox<HBox>());
  Box* empty = MakeBox(kAuto, kAuto);
  Control* next = MakeControl(10, 10);
  row->Add(empty);
  row->Add(next);
  row->SetBounds(R(0, 0, 100, 10));
  EXPECT_EQ(empty->GetBounds(), R(0, 0, 0, 0));
  EXPECT_EQ(next->GetBounds(), R(0, 0, 10, 10));
}

TEST(BaseLayoutTest, AutoTextWrapsAtTheWidthOffered) {
  // 120 pixels of text offered 50: three lines of 50, then auto again.
  std::unique_ptr<Box> box(MakeBox());
  auto* text = new test::TextControl(120);
  text->ApplyAttributeList(L"width=\"auto\" height=\"auto\" maxwidth=\"stretch\"");
  box->Add(text);
  box->SetBounds(R(0, 0, 50, 100));
  EXPECT_EQ(text->GetBounds(), R(0, 0, 50, 30));
  EXPECT_EQ(text->GetFixedWidth(), kAuto);
  EXPECT_TRUE(text->NeedsMeasure());
}

TEST(BaseLayoutTest, HiddenFloatingChildIsNotPlaced) {
  std::unique_ptr<Control> child(MakeControl(10, 10));
  child->SetVisible(false);
  EXPECT_EQ(Layout::PlaceFloating(child.get(), R(0, 0, 50, 50)), (UiSize{0, 0}));
  EXPECT_EQ(child->GetBounds(), R(0, 0, 0, 0));
}

// Tile layout ---------------------------------------------------------------

TEST(TileLayoutTest, CellsShareTheExtraPixelsFromTheLeft) {
  // 305 / 3: cells of 102, 102 and 101; children 50 x 20 centred in them.
  std::unique_ptr<TileBox> box(MakeBox<TileBox>());
  box->ApplyAttribute(L"columns", L"3");
  Control* children[5];
  for (Control*& child : children) {
    child = MakeControl(50, 20);
    box->Add(child);
  }
  box->SetBounds(R(0, 0, 305, 200));
  EXPECT_EQ(children[0]->GetBounds(), R(26, 0, 76, 20));
  EXPECT_EQ(children[1]->GetBounds(), R(128, 0, 178, 20));
  // (204 + 305 - 50) / 2 = 229.
  EXPECT_EQ(children[2]->GetBounds(), R(229, 0, 279, 20));
  EXPECT_EQ(children[3]->GetBounds(), R(26, 20, 76, 40));
  EXPECT_EQ(children[4]->GetBounds(), R(128, 20, 178, 40));
}

TEST(TileLayoutTest, RowsAreAsHighAsTheirTallestChildAndChildMarginSeparatesThem) {
  TileLayout layout;
  layout.SetColumns(2);
  layout.SetChildMargin(10);
  std::unique_ptr<Control> a(MakeControl(20, 10));
  std::unique_ptr<Control> b(MakeControl(20, 30));
  std::unique_ptr<Control> c(MakeControl(kStretch, kStretch));
  const UiSize used = layout.ArrangeChildren({a.get(), b.get(), c.get()}, R(0, 0, 100, 500));
  // Cells 50 wide; edges inset by half the child margin.
  EXPECT_EQ(a->GetBounds(), R(15, 10, 35, 20));
  EXPECT_EQ(b->GetBounds(), R(65, 0, 85, 30));
  // Second row starts at 30 + 10; a stretched child measured into a row
  // of its own height, which is 0 when it has no height.
  EXPECT_EQ(c->GetBounds().left, 5);
  EXPECT_EQ(c->GetBounds().right, 45);
  EXPECT_EQ(c->GetBounds().top, 40);
  EXPECT_EQ(used, (UiSize{100, 40}));
}

TEST(TileLayoutTest, ItemWidthDecidesTheColumnsAndZeroColumnsAreIgnored) {
  std::unique_ptr<TileBox> box(MakeBox<TileBox>());
  auto* layout = static_cast<TileLayout*>(box->GetLayout());
  box->ApplyAttribute(L"columns", L"0");
  box->ApplyAttribute(L"columns", L"-4");
  EXPECT_EQ(layout->GetColumns(), 1);
  box->ApplyAttribute(L"itemsize", L"100,40");
  EXPECT_EQ(layout->GetItemSize(), (UiSize{100, 40}));
  Control* a = MakeControl(100, 40);
  Control* b = MakeControl(100, 40);
  box->Add(a);
  box->Add(b);
  box->SetBounds(R(0, 0, 250, 100));
  // 250 / 100 = 2 columns of 125.
  EXPECT_EQ(a->GetBounds(), R(12, 0, 112, 40));
  EXPECT_EQ(b->GetBounds(), R(137, 0, 237, 40));
}

TEST(TileLayoutTest, MeasureCountsRowsOfTheFirstChildsHeight) {
  std::unique_ptr<TileBox> box(MakeBox<TileBox>(90, kAuto));
  box->ApplyAttributeList(L"columns=\"2\" childmargin=\"4\" padding=\"1,2,3,5\"");
  for (int i = 0; i < 5; ++i)
    box->Add(MakeControl(30, 25));
  // 3 rows: 3 x 25 + 2 + 5 + 2 x 4.
  EXPECT_EQ(box->Measure({500, 500}), (UiSize{90, 90}));
}

TEST(TileLayoutTest, MeasureWithAnAutoSizedBoxAndItemWidthKeepsOneColumnAtLeast) {
  std::unique_ptr<TileBox> box(MakeBox<TileBox>(kAuto, kAuto));
  box->ApplyAttribute(L"itemsize", L"1,1");
  box->Add(MakeControl(10, 10));
  box->Add(MakeControl(10, 10));
  const UiSize size = box->Measure({500, 500});
  EXPECT_EQ(size.cy, 20);
  EXPECT_GE(size.cx, 0);
}

TEST(TileLayoutTest, AutoHeightFirstChildIsMeasured) {
  std::unique_ptr<TileBox> box(MakeBox<TileBox>(100, kAuto));
  auto* text = new test::TextControl(30);
  text->SetFixedWidth(kAuto);
  text->SetFixedHeight(kAuto);
  box->Add(text);
  EXPECT_EQ(box->Measure({500, 500}).cy, 10);
}

// Measure caching -----------------------------------------------------------

TEST(MeasureCacheTest, AutoBoxReusesItsSizeUntilAChildChanges) {
  std::unique_ptr<HBox> box(MakeBox<HBox>(kAuto, kAuto));
  auto* text = new test::TextControl(40);
  text->SetFixedWidth(kAuto);
  text->SetFixedHeight(kAuto);
  box->Add(text);
  EXPECT_EQ(box->Measure({500, 500}).cx, 40);
  const int measured = text->measure_count();
  text->set_length(70);
  EXPECT_EQ(box->Measure({500, 500}).cx, 40);
  EXPECT_EQ(text->measure_count(), measured);
  // A size change of the child marks its auto-sized parent stale too.
  text->RequestAncestorLayout();
  EXPECT_TRUE(box->NeedsMeasure());
  EXPECT_EQ(box->Measure({500, 500}).cx, 70);
}

}  // namespace
}  // namespace ui
