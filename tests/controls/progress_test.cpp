// Progress bars and sliders: the filled part, range correction, the
// image's destination, the thumb's place and how the mouse and the wheel
// move the value.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/fake_host.h"
#include "tests/controls/recording_context.h"
#include "tests/controls/test_environment.h"
#include "ui/control/circle_progress.h"
#include "ui/control/progress.h"
#include "ui/control/slider.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

using test::RecordingContext;
using Calls = std::vector<std::string>;

class ProgressTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { GlobalResources::DefineColor(L"progress_green", 0xFF00C000); }

  RecordingContext context_;
};

TEST_F(ProgressTest, TheBarFillsInProportionFromTheLeftOrTheBottom) {
  Progress bar;
  bar.ApplyAttributeList(L"progresscolor=\" progress_green\" value=\"25\"");
  bar.SetBounds({10, 0, 210, 200});
  bar.PaintStateImage(&context_);
  bar.ApplyAttribute(L"hor", L"false");
  bar.PaintStateImage(&context_);
  EXPECT_EQ(context_.CallsStartingWith("FillColor"),
            (Calls{"FillColor 10,0,60,200 ff00c000 255", "FillColor 10,150,210,200 ff00c000 255"}));
}

TEST_F(ProgressTest, AnEmptyRangeAndOutOfRangeValuesAreCorrectedAndKept) {
  Progress bar;
  bar.ApplyAttributeList(L"min=\"0\" max=\"0\" value=\"7\" progresscolor=\"progress_green\"");
  bar.SetBounds({0, 0, 100, 10});
  bar.PaintStateImage(&context_);
  EXPECT_EQ(bar.GetMaxValue(), 1);
  EXPECT_EQ(bar.GetValue(), 1.0);
  EXPECT_EQ(context_.CallsStartingWith("FillColor"), (Calls{"FillColor 0,0,100,10 ff00c000 255"}));

  // The top of the int32 range must not wrap into a negative range.
  bar.ApplyAttributeList(L"min=\"2147483647\" max=\"5\" value=\"-9\"");
  bar.PaintStateImage(&context_);
  EXPECT_LT(bar.GetMinValue(), bar.GetMaxValue());
  EXPECT_EQ(bar.GetValue(), bar.GetMinValue());
}

TEST_F(ProgressTest, AnUnstretchedImageShowsThePartUnderTheFill) {
  const std::wstring file = test::WriteBmp(L"progress_fore.bmp", 100, 10, 0x00FF00);
  Progress bar;
  bar.ApplyAttributeList(L"value=\"40\" progressimage=\"" + file + L"\"");
  bar.SetBounds({5, 5, 105, 15});
  bar.PaintStateImage(&context_);
  bar.ApplyAttribute(L"isstretchfore", L"false");
  bar.PaintStateImage(&context_);
  const Calls images = context_.CallsStartingWith("DrawImage");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].rfind("DrawImage 5,5,45,15 source 0,0,100,10 ", 0), 0u) << images[0];
  EXPECT_EQ(images[1].rfind("DrawImage 5,5,45,15 source 0,0,40,10 ", 0), 0u) << images[1];
}

TEST_F(ProgressTest, TheCircleSitsInsideTheSquareAndItsArcGrowsFromTheTop) {
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

TEST_F(ProgressTest, AnIndicatorInsetsTheCircleAndTurnsWithTheArc) {
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

class SliderTest : public testing::Test {
 protected:
  void SetUp() override {
    slider_ = new Slider();
    slider_->ApplyAttributeList(L"thumbsize=\"10,10\" value=\"50\"");
    host_.AttachRoot(slider_);
    slider_->SetBounds({20, 0, 130, 20});
    slider_->AttachEvent(kEventValueChange, [this](EventArgs*) {
      ++changes_;
      return true;
    });
  }
  void TearDown() override { delete slider_; }

  void Send(EventType type, int x, uintptr_t wparam = 0) {
    EventArgs args;
    args.type = type;
    args.sender = slider_;
    args.mousePoint = {x, 10};
    args.wParam = wparam;
    slider_->HandleEvent(&args);
  }

  test::FakeHost host_;
  Slider* slider_ = nullptr;
  int changes_ = 0;
};

TEST_F(SliderTest, TheThumbSitsAtTheValueAndDraggingRaisesNothingUntilTheRelease) {
  EXPECT_EQ(slider_->GetThumbRect(), (UiRect{70, 5, 80, 15}));
  Send(kEventMouseButtonDown, 75);
  EXPECT_TRUE(slider_->IsMouseCaptured());
  Send(kEventMouseMove, 50);
  EXPECT_NEAR(slider_->GetValue(), 25.0, 1e-9);
  EXPECT_EQ(changes_, 0);
  Send(kEventMouseButtonUp, 126);
  EXPECT_FALSE(slider_->IsMouseCaptured());
  EXPECT_EQ(slider_->GetValue(), 100.0) << "within half a thumb of the end";
  EXPECT_EQ(changes_, 1);

  // A press beside the thumb captures nothing; moves then leave the value.
  Send(kEventMouseButtonDown, 30);
  Send(kEventMouseMove, 60);
  EXPECT_EQ(slider_->GetValue(), 100.0);
  Send(kEventMouseButtonUp, 20);
  EXPECT_EQ(slider_->GetValue(), 0.0) << "a release sets the value wherever it is";
  EXPECT_EQ(changes_, 2);
}

TEST_F(SliderTest, TheWheelStepsPastTheEndUntilPaintingClamps) {
  slider_->SetValue(100);
  Send(kEventMouseScrollWheel, 50, 120);
  EXPECT_EQ(slider_->GetValue(), 101.0);
  EXPECT_EQ(changes_, 1);
  RecordingContext context;
  slider_->PaintStateImage(&context);
  EXPECT_EQ(slider_->GetValue(), 100.0);
  Send(kEventMouseScrollWheel, 50, static_cast<uintptr_t>(-120));
  EXPECT_EQ(slider_->GetValue(), 99.0);
  EXPECT_EQ(changes_, 2);
}

TEST_F(SliderTest, AnEmptyRangeOrAWildValueKeepsTheThumbInside) {
  slider_->ApplyAttributeList(L"min=\"5\" max=\"5\"");
  EXPECT_EQ(slider_->GetThumbRect(), (UiRect{20, 5, 30, 15}));
  slider_->ApplyAttributeList(L"min=\"0\" max=\"100\"");
  slider_->SetValue(1e300);
  EXPECT_EQ(slider_->GetThumbRect(), (UiRect{120, 5, 130, 15}));
  Send(kEventMouseButtonUp, 60);
  EXPECT_GE(slider_->GetValue(), 0.0);
}

TEST_F(SliderTest, ADisabledSliderIgnoresPressesAndReleases) {
  slider_->SetEnabled(false);
  Send(kEventMouseButtonDown, 75);
  Send(kEventMouseButtonUp, 120);
  EXPECT_FALSE(slider_->IsMouseCaptured());
  EXPECT_EQ(slider_->GetValue(), 50.0);
  EXPECT_EQ(changes_, 0);
}

}  // namespace
}  // namespace ui
