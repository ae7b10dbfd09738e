#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "tests/controls/fake_host.h"
#include "tests/controls/test_controls.h"
#include "ui/control/attribute_value.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

using test::FakeHost;
using test::MakeBox;

TEST(AttributeValueTest, NumbersAreReadLeniently) {
  using attribute_value::ReadInt;
  EXPECT_EQ(ReadInt(L"42"), 42);
  EXPECT_EQ(ReadInt(L"  -7px"), -7);
  EXPECT_EQ(ReadInt(L"abc"), 0);
  EXPECT_EQ(ReadInt(L""), 0);
  EXPECT_EQ(ReadInt(L"99999999999999"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ReadInt(L"-99999999999999"), std::numeric_limits<int32_t>::min());

  using attribute_value::ReadPadding;
  EXPECT_EQ(ReadPadding(L"1,2,3,4"), (UiPadding{1, 2, 3, 4}));
  EXPECT_EQ(ReadPadding(L"1;2 3x4"), (UiPadding{1, 2, 3, 4}));
  EXPECT_EQ(ReadPadding(L"5,6"), (UiPadding{5, 6, 0, 0}));
  // An unreadable number ends where it started: the next is read from the
  // character after it, the separator, which reads nothing again.
  EXPECT_EQ(ReadPadding(L"x,2"), (UiPadding{0, 0, 2, 0}));
  EXPECT_EQ(attribute_value::ReadSize(L"7"), (UiSize{7, 0}));

  EXPECT_EQ(attribute_value::ReadLength(L"stretch"), kStretch);
  EXPECT_EQ(attribute_value::ReadLength(L"auto"), kAuto);
  EXPECT_EQ(attribute_value::ReadLength(L"Auto"), 0);
}

TEST(AttributeValueTest, OnlyTrueIsTrue) {
  EXPECT_TRUE(attribute_value::ReadBool(L"true"));
  EXPECT_FALSE(attribute_value::ReadBool(L"True"));
  EXPECT_FALSE(attribute_value::ReadBool(L"1"));
  EXPECT_FALSE(attribute_value::ReadBool(L" true"));
}

TEST(ControlAttributeTest, WidthAndHeightAcceptOnlyLengths) {
  Control control;
  control.ApplyAttribute(L"width", L"0");
  EXPECT_EQ(control.GetFixedWidth(), 0);
  control.ApplyAttribute(L"width", L"-3");
  EXPECT_EQ(control.GetFixedWidth(), 0);
  control.ApplyAttribute(L"width", L"auto");
  EXPECT_EQ(control.GetFixedWidth(), kAuto);
  control.ApplyAttribute(L"height", L"stretch");
  EXPECT_EQ(control.GetFixedHeight(), kStretch);
  control.ApplyAttribute(L"height", L"12abc");
  EXPECT_EQ(control.GetFixedHeight(), 12);
  control.ApplyAttribute(L"height", L"junk");
  EXPECT_EQ(control.GetFixedHeight(), 0);
  control.ApplyAttribute(L"minwidth", L"-5");
  EXPECT_EQ(control.GetMinWidth(), -1);
  control.ApplyAttribute(L"minwidth", L"5");
  EXPECT_EQ(control.GetMinWidth(), 5);
  control.ApplyAttribute(L"maxwidth", L"auto");
  EXPECT_EQ(control.GetMaxWidth(), kAuto);
  control.ApplyAttribute(L"maxheight", L"300");
  EXPECT_EQ(control.GetMaxHeight(), 300);
}

TEST(ControlAttributeTest, BooleansAndKeywordsAreExact) {
  Control control;
  control.ApplyAttribute(L"enabled", L"True");
  EXPECT_FALSE(control.IsEnabled());
  control.ApplyAttribute(L"enabled", L"true");
  EXPECT_TRUE(control.IsEnabled());
  control.ApplyAttribute(L"mouse", L"1");
  EXPECT_FALSE(control.IsMouseEnabled());
  control.ApplyAttribute(L"nofocus", L"false");
  EXPECT_TRUE(control.IsNoFocus());

  control.ApplyAttribute(L"halign", L"right");
  control.ApplyAttribute(L"halign", L"Middle");
  EXPECT_EQ(control.GetHorAlign(), HorAlign::kRight);
  control.ApplyAttribute(L"valign", L"center");
  control.ApplyAttribute(L"valign", L"");
  EXPECT_EQ(control.GetVerAlign(), VerAlign::kCenter);
  control.ApplyAttribute(L"cursortype", L"hand");
  control.ApplyAttribute(L"cursortype", L"wait");
  EXPECT_EQ(control.GetCursorType(), CursorType::kHand);
}

TEST(ControlAttributeTest, StateAttributeSetsStateAndHotAlpha) {
  Control control;
  control.ApplyAttribute(L"state", L"hot");
  EXPECT_EQ(control.GetState(), ControlState::kHot);
  EXPECT_EQ(control.GetHotAlpha(), 255);
  control.ApplyAttribute(L"state", L"disabled");
  EXPECT_EQ(control.GetState(), ControlState::kDisabled);
  EXPECT_TRUE(control.IsEnabled());
  control.ApplyAttribute(L"state", L"bogus");
  EXPECT_EQ(control.GetState(), ControlState::kDisabled);
  control.ApplyAttribute(L"state", L"normal");
  EXPECT_EQ(control.GetHotAlpha(), 0);
}

TEST(ControlAttributeTest, BorderSizesUniformOrPerSide) {
  Control control;
  control.ApplyAttribute(L"leftbordersize", L"3");
  EXPECT_EQ(control.GetBorderSizes(), (UiPadding{3, 0, 0, 0}));
  control.ApplyAttribute(L"bordersize", L"2");
  EXPECT_EQ(control.GetBorderSize(), 2);
  EXPECT_EQ(control.GetBorderSizes(), (UiPadding{0, 0, 0, 0}));
  control.ApplyAttribute(L"bordersize", L"1,0,1,0");
  EXPECT_EQ(control.GetBorderSizes(), (UiPadding{1, 0, 1, 0}));
  EXPECT_EQ(control.GetBorderSize(), 2);
  control.ApplyAttribute(L"borderround", L"4,6");
  EXPECT_EQ(control.GetBorderRound(), (UiSize{4, 6}));
}

TEST(ControlAttributeTest, ColoursKeepTheirNamesAndSkipLeadingBlanks) {
  Control control;
  control.ApplyAttribute(L"bkcolor", L" \t\nblue");
  EXPECT_EQ(control.GetBackgroundColor(), L"blue");
  control.ApplyAttribute(L"bkcolor1", L"  red");
  EXPECT_EQ(control.GetBackgroundColor2(), L"red");
  control.ApplyAttribute(L"hotcolor", L"hot_fill");
  EXPECT_EQ(control.GetStateColor(ControlState::kHot), L"hot_fill");
  // A hot colour switches the hot fade on.
  EXPECT_NE(control.GetAnimationManager().GetPlayer(AnimationType::kHot), nullptr);
}

TEST(ControlAttributeTest, AlphaStaysInRange) {
  Control control;
  control.ApplyAttribute(L"alpha", L"300");
  EXPECT_EQ(control.GetAlpha(), 255);
  control.ApplyAttribute(L"alpha", L"-4");
  EXPECT_EQ(control.GetAlpha(), 0);
  control.ApplyAttribute(L"alpha", L"128");
  EXPECT_EQ(control.GetAlpha(), 128);
}

TEST(ControlAttributeTest, ToolTipTurnsMarkersIntoLineBreaks) {
  Control control;
  control.ApplyAttribute(L"tooltiptext", L"first<n>second");
  EXPECT_EQ(control.GetToolTipText(), L"first\r\nsecond");
  control.SetToolTipTextUtf8("\xe4\xbd\xa0\xe5\xa5\xbd");
  EXPECT_EQ(control.GetToolTipText(), L"\x4f60\x597d");
  EXPECT_EQ(control.GetToolTipTextUtf8(), "\xe4\xbd\xa0\xe5\xa5\xbd");
  control.SetToolTipTextUtf8("");
  EXPECT_EQ(control.GetToolTipText(), L"");
  control.ApplyAttribute(L"dataid", L"row-7");
  EXPECT_EQ(control.GetDataIdUtf8(), "row-7");
}

TEST(ControlAttributeTest, UnknownNamesAndAbsurdValuesAreHarmless) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  Control* child = new Control;
  box->Add(child);
  child->ApplyAttribute(L"frobnicate", L"yes");
  child->ApplyAttribute(L"", L"");
  child->ApplyAttribute(L"Width", L"10");
  EXPECT_EQ(child->GetFixedWidth(), kStretch);
  child->ApplyAttribute(L"width", L"2147483647");
  child->ApplyAttribute(L"margin", L"2147483647,-2147483648,2147483647,9");
  box->ApplyAttribute(L"childmargin", L"2147483647");
  box->Add(new Control);
  box->SetBounds({0, 0, 100, 100});
  EXPECT_EQ(child->GetFixedWidth(), std::numeric_limits<int32_t>::max());
  box->ApplyAttribute(L"padding", L"-50,-50,-50,-50");
  box->SetBounds({0, 0, 10, 10});
  EXPECT_GE(child->GetBounds().Width(), 0);
}

TEST(ControlAttributeTest, AttributeListStopsAtTheFirstMalformedPair) {
  Control control;
  control.ApplyAttributeList(L"width=\"10\" height=\"20\" name=\"abc");
  EXPECT_EQ(control.GetFixedWidth(), 10);
  EXPECT_EQ(control.GetFixedHeight(), 20);
  EXPECT_EQ(control.GetName(), L"");

  Control other;
  other.ApplyAttributeList(L"width=10 height=\"20\"");
  EXPECT_EQ(other.GetFixedWidth(), kStretch);
  EXPECT_EQ(other.GetFixedHeight(), kStretch);
  other.ApplyAttributeList(L"width=\"5\"height=\"6\"");
  EXPECT_EQ(other.GetFixedWidth(), 5);
  EXPECT_EQ(other.GetFixedHeight(), kStretch);
  other.ApplyAttributeList(L"width=\"7\" ");
  EXPECT_EQ(other.GetFixedWidth(), 7);
  other.ApplyAttributeList(L"");
  other.ApplyAttributeList(L"=\"\"");
  other.ApplyAttributeList(L"tooltiptext=\"a=b\" dataid=\"\"");
  EXPECT_EQ(other.GetToolTipText(), L"a=b");
}

TEST(ControlAttributeTest, ClassesComeFromGlobalThenWindowAndLaterAttributesWin) {
  FakeHost host;
  std::unique_ptr<Box> root(MakeBox());
  host.AttachRoot(root.get());
  Control* control = new Control;
  root->Add(control);
  GlobalResources::DefineClass(L"attr_test_shared", L"width=\"11\" height=\"12\"");
  host.DefineClass(L"attr_test_shared", L"width=\"99\"");
  host.DefineClass(L"attr_test_window", L"height=\"33\" name=\"from_window\"");
  control->ApplyAttribute(L"class", L"  attr_test_shared  attr_test_window attr_test_missing");
  EXPECT_EQ(control->GetFixedWidth(), 11);
  EXPECT_EQ(control->GetFixedHeight(), 33);
  EXPECT_EQ(control->GetName(), L"from_window");
  control->ApplyAttributeList(L"class=\"attr_test_shared\" width=\"40\"");
  EXPECT_EQ(control->GetFixedWidth(), 40);
}

TEST(ControlAttributeTest, AClassThatNamesItselfDoesNotRecurseForever) {
  GlobalResources::DefineClass(L"attr_test_loop", L"class=\"attr_test_loop\" width=\"8\"");
  Control control;
  control.ApplyAttribute(L"class", L"attr_test_loop");
  EXPECT_EQ(control.GetFixedWidth(), 8);
}

TEST(BoxAttributeTest, LayoutAttributesFirstThenBoxThenControl) {
  std::unique_ptr<TileBox> box(MakeBox<TileBox>());
  box->ApplyAttribute(L"padding", L"1,2,3,4");
  box->ApplyAttribute(L"childmargin", L"5");
  box->ApplyAttribute(L"columns", L"3");
  box->ApplyAttribute(L"mousechild", L"false");
  box->ApplyAttribute(L"width", L"50");
  EXPECT_EQ(box->GetLayout()->GetPadding(), (UiPadding{1, 2, 3, 4}));
  EXPECT_EQ(box->GetLayout()->GetChildMargin(), 5);
  EXPECT_FALSE(box->IsMouseChildEnabled());
  EXPECT_EQ(box->GetFixedWidth(), 50);
  std::unique_ptr<HBox> row(MakeBox<HBox>());
  row->ApplyAttribute(L"columns", L"3");  // not a row's attribute: ignored
  EXPECT_EQ(row->GetLayout()->GetChildMargin(), 0);
}

}  // namespace
}  // namespace ui
