// Circular progress: where the circle sits, how its arc grows and how an
// indicator image insets it and turns with the arc's end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/controls/recording_context.h"
#include "tests/controls/test_environment.h"
#include "ui/control/circle_progress.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

using test::RecordingContext;
using Calls = std::vector<std::string>;

class CircleProgressTest : public testing::Test {
 protected:
  RecordingContext context_;
};

TEST_F(CircleProgressTest, TheCircleSitsInsideTheSquareAndItsArcGrowsFromTheTop) {
  GlobalResources::DefineColor(L"circle_back", 0xFF202020);
  GlobalResources::DefineColor(L"circle_fore", 0xFF00A0FF);
  CircleProgress circle;
  circle.ApplyAttributeList(
      L"circlewidth=\"4\" bgcolor=\"circle_back\" fgcolor=\" circle_fore\" value=\"25\"");
  circle.SetBounds({0, 0, 100, 60});  // cx 50, cy 30, a 60 pixel square
  circle.PaintStateImage(&context_);
  circle.ApplyAttributeList(L"clockwise=\"false\" gradientcolor=\"circle_back\"");
  circle.PaintStateImage(&context_);
  EXPECT_EQ(context_.CallsStartingWith("DrawArc"),
            (Calls{"DrawArc 23,3 54x54 from 270 by 360 width 4 ff202020",
                   "DrawArc 23,3 54x54 from 270 by 90 width 4 ff00a0ff",
                   "DrawArc 23,3 54x54 from 270 by 360 width 4 ff202020",
                   "DrawArc 23,3 54x54 from 270 by -90 width 4 ff00a0ff to ff202020 over "
                   "20,0,80,60"}));
}

TEST_F(CircleProgressTest, AnIndicatorInsetsTheCircleAndTurnsWithTheArc) {
  // 8 wide and 6 high, a quarter turn makes it 6 wide and 8 high.
  const std::wstring file = test::WriteBmp(L"circle_indicator.bmp", 8, 6, 0xFF0000);
  CircleProgress circle;
  circle.ApplyAttributeList(L"value=\"50\" indicator=\"" + file + L"\"");
  ASSERT_TRUE(circle.HasIndicator());
  circle.SetBounds({0, 0, 60, 60});
  circle.PaintStateImage(&context_);
  EXPECT_EQ(context_.CallsStartingWith("DrawArc 4,4 52x52").size(), 2u);
  EXPECT_EQ(context_.CallsStartingWith("DrawRotatedImage"),
            (Calls{"DrawRotatedImage 27,0,33,8 about 30,30 by 180"}));

  circle.ApplyAttribute(L"indicator", L"no_such_indicator.png");
  EXPECT_FALSE(circle.HasIndicator());
  context_.ClearLog();
  circle.PaintStateImage(&context_);
  EXPECT_TRUE(context_.CallsStartingWith("DrawRotatedImage").empty());
}

}  // namespace
}  // namespace ui
