// Progress bars and sliders: the filled part, the corrected values, the
// thumb and the slider's input.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/controls/recording_context.h"
#include "ui/control/slider.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

using test::RecordingContext;

TEST(ProgressTest, FillsInProportionAndCorrectsItsValuesWhenPainting) {
  GlobalResources::DefineColor(L"progress_gold", 0xFFD9A441);
  Progress progress;
  EXPECT_EQ(progress.GetFixedHeight(), 12);
  progress.ApplyAttributeList(L"width=\"200\" progresscolor=\" progress_gold\" value=\"25\"");
  progress.SetBounds({10, 0, 210, 12});
  EXPECT_EQ(progress.GetProgressRect(), (UiRect{0, 0, 50, 12}));
  RecordingContext context;
  progress.PaintContent(&context, {10, 0, 210, 12});
  EXPECT_EQ(context.CallsStartingWith("FillColor"),
            (std::vector<std::string>{"FillColor 10,0,60,12 ffd9a441 255"}));

  progress.ApplyAttribute(L"hor", L"false");
  progress.SetBounds({0, 0, 20, 200});
  EXPECT_EQ(progress.GetProgressRect(), (UiRect{0, 150, 20, 200}));

  // min 0 and max 0 paint as 0 to 1, and stay so; a value beyond is held.
  progress.ApplyAttributeList(L"min=\"0\" max=\"0\" value=\"7\"");
  progress.PaintContent(&context, {0, 0, 20, 200});
  EXPECT_EQ(progress.GetMax(), 1);
  EXPECT_EQ(progress.GetValue(), 1.0);
  progress.ApplyAttributeList(L"min=\"2147483647\" max=\"-5\" value=\"-9\"");
  progress.PaintContent(&context, {0, 0, 20, 200});
  EXPECT_LT(progress.GetMin(), progress.GetMax());
  EXPECT_EQ(progress.GetValue(), progress.GetMin());
}

TEST(SliderTest, ThumbFollowsTheValueAndInputRaisesValueChangeOnReleaseAndWheel) {
  Slider slider;
  slider.ApplyAttributeList(L"width=\"110\" height=\"20\" value=\"50\" thumbsize=\"10,10\"");
  slider.SetBounds({100, 0, 210, 20});
  EXPECT_EQ(slider.GetThumbRect(), (UiRect{150, 5, 160, 15}));
  // (110 - 10) x 50 / 100 + 5 + 0.5.
  EXPECT_EQ(slider.GetProgressRect().right, 55);

  int changes = 0;
  slider.AttachEvent(kEventValueChange, [&changes](EventArgs*) {
    ++changes;
    return true;
  });
  // A press on the thumb, a drag: the value follows, no event yet.
  slider.SendEvent(kEventMouseButtonDown, 0, 0, 0, 0.0f, {155, 10});
  EXPECT_TRUE(slider.IsMouseCaptured());
  slider.SendEvent(kEventMouseMove, 0, 0, 0, 0.0f, {130, 10});
  EXPECT_EQ(slider.GetValue(), 25.0);
  EXPECT_EQ(changes, 0);
  // The release at the right end sets the maximum and raises one event.
  slider.SendEvent(kEventMouseButtonUp, 0, 0, 0, 0.0f, {206, 10});
  EXPECT_FALSE(slider.IsMouseCaptured());
  EXPECT_EQ(slider.GetValue(), 100.0);
  EXPECT_EQ(changes, 1);
  // Moves without a capture change nothing.
  slider.SendEvent(kEventMouseMove, 0, 0, 0, 0.0f, {120, 10});
  EXPECT_EQ(slider.GetValue(), 100.0);

  // The wheel at the maximum steps past it until the next painting.
  slider.SendEvent(kEventMouseScrollWheel, 120);
  EXPECT_EQ(slider.GetValue(), 101.0);
  EXPECT_EQ(changes, 2);
  RecordingContext context;
  slider.PaintContent(&context, {100, 0, 210, 20});
  EXPECT_EQ(slider.GetValue(), 100.0);

  // Hostile sizes: a negative thumb is none; a zero-width track is safe.
  slider.ApplyAttribute(L"thumbsize", L"-50,-50");
  slider.SetBounds({100, 0, 100, 20});
  slider.SendEvent(kEventMouseButtonUp, 0, 0, 0, 0.0f, {100, 10});
  slider.PaintContent(&context, {100, 0, 100, 20});
  EXPECT_GE(slider.GetValue(), slider.GetMin());
  EXPECT_LE(slider.GetValue(), slider.GetMax());
}

}  // namespace
}  // namespace ui
