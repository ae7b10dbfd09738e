#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "tests/controls/recording_context.h"
#include "tests/controls/test_environment.h"
#include "tests/resources/test_files.h"
#include "tests/support/message_pump.h"
#include "ui/control/control.h"
#include "ui/core/image_info.h"

namespace ui {
namespace {

using ::test::PumpUntil;

// Three frames of 50 ms each (5 hundredths of a second).
std::wstring WriteAnimation(const std::wstring& name) {
  const std::vector<test::GifFrame> frames = {
      {5, {1, 1, 1, 1}}, {5, {2, 2, 2, 2}}, {5, {3, 3, 3, 3}}};
  return test::WriteTestFile(name, test::EncodeGif(2, 2, frames));
}

class ImageAnimationTest : public testing::Test {
 protected:
  void SetUp() override {
    file_ = WriteAnimation(L"anim.gif");
    control_.SetBounds({0, 0, 20, 20});
  }

  std::wstring file_;
  Control control_;
  test::RecordingContext context_;
};

TEST_F(ImageAnimationTest, PlaysItsCyclesThenStopsOnTheLastFrameAndTells) {
  int finished = 0;
  control_.AttachImageEvent(kImageEventAnimationFinished, [&finished, this](EventArgs* args) {
    EXPECT_EQ(args->type, kEventNone);
    EXPECT_EQ(args->sender, &control_);
    ++finished;
    return true;
  });
  control_.SetBackgroundImage(L"file='" + file_ + L"' playcount='1'");
  control_.PaintContent(&context_, {0, 0, 20, 20});
  // The first paint starts the animation; the frames come with repaints.
  EXPECT_TRUE(control_.GetBackgroundImage().playing);
  EXPECT_TRUE(context_.CallsStartingWith("DrawImage").empty());
  ASSERT_TRUE(PumpUntil([&finished] { return finished > 0; }, 3000));
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(control_.GetBackgroundImage().playing);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 2);
  EXPECT_FALSE(control_.IsImageAnimationEnabled());
  control_.PaintContent(&context_, {0, 0, 20, 20});
  EXPECT_EQ(context_.CallsStartingWith("DrawImage").size(), 1u);
}

TEST_F(ImageAnimationTest, PlayCountZeroShowsTheFirstFrameOnly) {
  control_.SetBackgroundImage(L"file='" + file_ + L"' playcount='0'");
  control_.PaintContent(&context_, {0, 0, 20, 20});
  EXPECT_FALSE(control_.GetBackgroundImage().playing);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 0);
  EXPECT_EQ(context_.CallsStartingWith("DrawImage").size(), 1u);
}

TEST_F(ImageAnimationTest, HidingTheControlStopsIt) {
  control_.SetBackgroundImage(file_);
  control_.PaintContent(&context_, {0, 0, 20, 20});
  ASSERT_TRUE(control_.GetBackgroundImage().playing);
  ASSERT_TRUE(PumpUntil([this] { return control_.GetBackgroundImage().frameIndex > 0; }, 3000));
  control_.SetVisible(false);
  EXPECT_FALSE(control_.GetBackgroundImage().playing);
  const int32_t frame = control_.GetBackgroundImage().frameIndex;
  PumpUntil([] { return false; }, 150);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, frame);
}

TEST_F(ImageAnimationTest, StopImageAnimationPicksTheFrame) {
  control_.SetBackgroundImage(file_);
  control_.PaintContent(&context_, {0, 0, 20, 20});
  control_.StopImageAnimation(0xFFFF);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 2);
  control_.StopImageAnimation(1);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 1);
  control_.StopImageAnimation(-1);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 1);
  control_.StopImageAnimation(77);
  EXPECT_EQ(control_.GetBackgroundImage().frameIndex, 1);
  EXPECT_FALSE(control_.GetBackgroundImage().playing);
}

TEST_F(ImageAnimationTest, ADestroyedControlGetsNoFrames) {
  auto control = std::make_unique<Control>();
  control->SetBounds({0, 0, 20, 20});
  control->SetBackgroundImage(file_);
  control->PaintContent(&context_, {0, 0, 20, 20});
  ASSERT_TRUE(control->GetBackgroundImage().playing);
  control.reset();
  // The other control's animation keeps going while the dead one's frame
  // timer comes due and is dropped.
  control_.SetBackgroundImage(file_);
  control_.PaintContent(&context_, {0, 0, 20, 20});
  EXPECT_TRUE(PumpUntil([this] { return control_.GetBackgroundImage().frameIndex == 2; }, 3000));
}

}  // namespace
}  // namespace ui
