#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/fake_host.h"
#include "tests/controls/recording_context.h"
#include "tests/controls/test_controls.h"
#include "tests/controls/test_environment.h"
#include "ui/core/global_resources.h"

namespace ui {
namespace {

using test::MakeBox;
using test::MakeControl;
using test::RecordingContext;
using Calls = std::vector<std::string>;

class PaintTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    GlobalResources::DefineColor(L"paint_red", 0xFFFF0000);
    GlobalResources::DefineColor(L"paint_blue", 0xFF0000FF);
    GlobalResources::DefineColor(L"paint_glass", 0x80FFFFFF);
    GlobalResources::DefineColor(L"paint_none", 0);
  }

  // A control placed at (0, 0)-(100, 50).
  std::unique_ptr<Control> Placed(const std::wstring& attributes) {
    auto control = std::make_unique<Control>();
    control->ApplyAttributeList(attributes);
    control->SetBounds({0, 0, 100, 50});
    return control;
  }

  RecordingContext context_;
};

TEST_F(PaintTest, ContentInOrderInsideClipAndOrigin) {
  auto control = Placed(
      L"bkcolor=\"paint_red\" normalcolor=\"paint_blue\" "
      L"bordercolor=\"paint_blue\" bordersize=\"1\"");
  control->Draw(&context_, {10, 10, 30, 30});
  EXPECT_EQ(context_.calls(), (Calls{"PushClip 0,0,100,50", "FillColor 10,10,30,30 ffff0000 255",
                                     "FillColor 10,10,30,30 paint_blue 255",
                                     "DrawRect 0,0,99,49 1 ff0000ff", "PopClip"}));
}

TEST_F(PaintTest, NothingOutsideThePaintRectangleOrAtAlphaZero) {
  auto control = Placed(L"bkcolor=\"paint_red\"");
  control->Draw(&context_, {200, 200, 300, 300});
  EXPECT_TRUE(context_.calls().empty());

  std::unique_ptr<Box> box(MakeBox());
  Control* child = MakeControl(10, 10);
  child->ApplyAttribute(L"bkcolor", L"paint_blue");
  box->Add(child);
  box->ApplyAttribute(L"alpha", L"0");
  box->SetBounds({0, 0, 100, 50});
  box->Draw(&context_, {0, 0, 100, 50});
  EXPECT_TRUE(context_.calls().empty());
}

TEST_F(PaintTest, TranslucentOrGradientBackgroundCoversTheWholeControl) {
  auto glass = Placed(L"bkcolor=\"paint_glass\"");
  glass->PaintContent(&context_, {10, 10, 20, 20});
  auto gradient = Placed(L"bkcolor=\"paint_red\" bkcolor1=\"paint_blue\"");
  gradient->PaintContent(&context_, {10, 10, 20, 20});
  auto half = Placed(L"bkcolor=\"paint_red\" bkcolor1=\"paint_none\"");
  half->PaintContent(&context_, {10, 10, 20, 20});
  auto unknown = Placed(L"bkcolor=\"paint_never_defined\"");
  unknown->PaintContent(&context_, {10, 10, 20, 20});
  EXPECT_EQ(context_.calls(), (Calls{"FillColor 0,0,100,50 80ffffff 255",
                                     "FillGradient 0,0,100,50 ffff0000 ff0000ff 255"}));
  // An unknown colour name enters the table as no colour.
  EXPECT_EQ(GlobalResources::ColorByName(L"paint_never_defined"), 0u);
}

TEST_F(PaintTest, StateColoursFallBack) {
  auto control = Placed(L"normalcolor=\"c_normal\" pushedcolor=\"c_pushed\"");
  control->SetEnabled(false);
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->SetEnabled(true);
  control->ApplyAttribute(L"state", L"hot");
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->ApplyAttribute(L"state", L"pushed");
  control->PaintContent(&context_, {0, 0, 100, 50});
  EXPECT_EQ(context_.calls(),
            (Calls{"FillColor 0,0,100,50 c_normal 255", "FillColor 0,0,100,50 c_normal 255",
                   "FillColor 0,0,100,50 c_pushed 255"}));
}

TEST_F(PaintTest, HotColourCrossFadesByHotAlpha) {
  auto control = Placed(L"normalcolor=\"c_normal\" hotcolor=\"c_hot\"");
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->SetHotAlpha(100);
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->ApplyAttribute(L"state", L"pushed");
  control->PaintContent(&context_, {0, 0, 100, 50});
  EXPECT_EQ(context_.calls(),
            (Calls{"FillColor 0,0,100,50 c_normal 255", "FillColor 0,0,100,50 c_normal 255",
                   "FillColor 0,0,100,50 c_hot 100", "FillColor 0,0,100,50 c_hot 255"}));
}

TEST_F(PaintTest, UniformBorderStaysInsideTheBounds) {
  auto odd = Placed(L"bordercolor=\"paint_red\" bordersize=\"3\"");
  odd->PaintContent(&context_, {0, 0, 100, 50});
  auto round = Placed(L"bordercolor=\"paint_red\" bordersize=\"2\" borderround=\"4,6\"");
  round->PaintContent(&context_, {0, 0, 100, 50});
  auto colourless = Placed(L"bordercolor=\"paint_none\" bordersize=\"2\"");
  colourless->PaintContent(&context_, {0, 0, 100, 50});
  EXPECT_EQ(context_.calls(),
            (Calls{"DrawRect 1,1,98,48 3 ffff0000", "DrawRoundRect 1,1,99,49 4,6 2 ffff0000"}));
}

TEST_F(PaintTest, SideBordersAreLinesOfTheirOwnWidth) {
  auto thin = Placed(L"bordercolor=\"paint_red\" bordersize=\"1,0,1,0\"");
  thin->PaintContent(&context_, {0, 0, 100, 50});
  auto thick = Placed(
      L"bordercolor=\"paint_red\" bordersize=\"9\" topbordersize=\"2\" "
      L"bottombordersize=\"3\"");
  thick->PaintContent(&context_, {0, 0, 100, 50});
  EXPECT_EQ(context_.calls(),
            (Calls{"DrawLine 0,0,0,49 1 ffff0000", "DrawLine 99,0,99,49 1 ffff0000",
                   "DrawLine 0,1,100,1 2 ffff0000", "DrawLine 0,48,100,48 3 ffff0000"}));
}

TEST_F(PaintTest, RoundClipAndRenderOffset) {
  auto control = Placed(L"borderround=\"8,8\" renderoffset=\"5,-6\"");
  control->SetClipEnabled(false);
  control->Draw(&context_, {0, 0, 100, 50});
  EXPECT_EQ(context_.calls(),
            (Calls{"PushRoundClip 0,0,100,50 8,8", "Origin 5,-6", "Origin 0,0", "PopClip"}));
}

TEST_F(PaintTest, BoxPaintsItsVisibleChildrenInOrder) {
  std::unique_ptr<HBox> box(MakeBox<HBox>());
  const wchar_t* colours[] = {L"c_first", L"c_hidden", L"c_last"};
  for (const wchar_t* colour : colours) {
    Control* child = MakeControl(10, 10);
    child->SetClipEnabled(false);
    child->ApplyAttribute(L"normalcolor", colour);
    box->Add(child);
  }
  box->GetItemAt(1)->SetVisible(false);
  box->SetClipEnabled(false);
  box->SetBounds({0, 0, 100, 10});
  box->Draw(&context_, {0, 0, 100, 10});
  EXPECT_EQ(context_.CallsStartingWith("FillColor"),
            (Calls{"FillColor 0,0,10,10 c_first 255", "FillColor 10,0,20,10 c_last 255"}));
}

// Off-screen copies -------------------------------------------------------------

class CountingControl : public Control {
 public:
  void PaintBackgroundColor(IRenderContext* context) override {
    ++paints_;
    Control::PaintBackgroundColor(context);
  }
  int paints() const { return paints_; }

 private:
  int paints_ = 0;
};

TEST_F(PaintTest, TranslucentControlDrawsChildrenDirectlyThenBlendsItsContent) {
  test::FakeHost host;
  host.set_render_context(&context_);
  std::unique_ptr<Box> box(MakeBox());
  host.AttachRoot(box.get());
  Control* child = MakeControl(10, 10);
  child->SetClipEnabled(false);
  child->ApplyAttribute(L"normalcolor", L"c_child");
  box->Add(child);
  box->ApplyAttributeList(L"alpha=\"128\" bkcolor=\"paint_red\"");
  box->SetBounds({20, 10, 120, 60});
  box->Draw(&context_, {0, 0, 70, 40});
  EXPECT_EQ(context_.calls(), (Calls{"Transparent on", "FillColor 20,10,30,20 c_child 255",
                                     "Transparent off", "BlendFrom 20,10,70,40 from 0,0 128"}));
}

TEST_F(PaintTest, CachedControlRepaintsItsCopyOnlyWhenInvalidated) {
  CountingControl control;
  control.ApplyAttributeList(L"cache=\"true\" bkcolor=\"paint_red\"");
  control.SetBounds({0, 0, 40, 30});
  control.Draw(&context_, {0, 0, 40, 30});
  control.Draw(&context_, {0, 0, 40, 30});
  EXPECT_EQ(control.paints(), 1);
  EXPECT_EQ(context_.CallsStartingWith("BlendFrom"),
            (Calls{"BlendFrom 0,0,40,30 from 0,0 255", "BlendFrom 0,0,40,30 from 0,0 255"}));
  control.Invalidate();
  control.Draw(&context_, {0, 0, 40, 30});
  EXPECT_EQ(control.paints(), 2);
  control.SetBounds({0, 0, 50, 30});
  control.Draw(&context_, {0, 0, 50, 30});
  EXPECT_EQ(control.paints(), 3);
}

TEST_F(PaintTest, TranslucentPixelsArePremultiplied) {
  std::unique_ptr<IRenderContext> target = GlobalResources::CreateRenderContext();
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(target->Resize(20, 20));
  target->Clear();
  Control control;
  control.ApplyAttributeList(L"alpha=\"128\" bkcolor=\"paint_red\"");
  control.SetBounds({0, 0, 10, 20});
  control.Draw(target.get(), {0, 0, 20, 20});
  const auto* pixels = static_cast<const uint8_t*>(target->Pixels());
  const uint8_t* inside = pixels + (5 * 20 + 5) * 4;
  const uint8_t* outside = pixels + (5 * 20 + 15) * 4;
  EXPECT_NEAR(inside[3], 128, 2);  // alpha
  EXPECT_NEAR(inside[2], 128, 2);  // red, premultiplied
  EXPECT_EQ(inside[0], 0);
  EXPECT_EQ(outside[3], 0);
}

// Images ---------------------------------------------------------------------------

TEST_F(PaintTest, BackgroundImageDrawsOverTheWholeControlOrItsDestination) {
  const std::wstring file = test::WriteBmp(L"paint_bk.bmp", 4, 3, 0x00FF00);
  auto control = Placed(L"");
  control->SetBounds({10, 20, 110, 70});
  control->SetBackgroundImage(file);
  control->PaintContent(&context_, {0, 0, 200, 200});
  control->SetBackgroundImage(L"file='" + file +
                              L"' dest='1,2,3,4' source='0,0,2,2' "
                              L"corner='1,1,1,1' fade='300' xtiled='true'");
  control->PaintContent(&context_, {0, 0, 200, 200});
  EXPECT_EQ(context_.calls(),
            (Calls{"DrawImage 10,20,110,70 source 0,0,4,3 corners 0,0,0,0 fade 255 paint "
                   "10,20,110,70",
                   "DrawImage 11,22,13,24 source 0,0,2,2 corners 1,1,1,1 fade 44 tx paint "
                   "10,20,110,70"}));
}

TEST_F(PaintTest, AMissingImageIsTriedOnce) {
  auto control = Placed(L"bkimage=\"file='no_such_file.png' fade='10'\"");
  control->PaintContent(&context_, {0, 0, 100, 50});
  EXPECT_TRUE(context_.calls().empty());
  EXPECT_TRUE(control->GetBackgroundImage().fileName.empty());
}

TEST_F(PaintTest, PushedWithoutItsOwnImageShowsTheHotOneOpaque) {
  const std::wstring normal = test::WriteBmp(L"paint_normal.bmp", 2, 2, 0x0000FF);
  const std::wstring hot = test::WriteBmp(L"paint_hot.bmp", 3, 3, 0xFF0000);
  auto control = Placed(L"");
  control->SetStateImage(ControlState::kNormal, normal);
  control->SetStateImage(ControlState::kHot, L"file='" + hot + L"' fade='100'");
  // The hot image switched the hot fade on: normal, then hot at its fade
  // scaled by the hot alpha.
  control->SetHotAlpha(51);
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->ApplyAttribute(L"state", L"pushed");
  control->PaintContent(&context_, {0, 0, 100, 50});
  control->PaintContent(&context_, {0, 0, 100, 50});
  const Calls images = context_.CallsStartingWith("DrawImage");
  ASSERT_EQ(images.size(), 4u);
  EXPECT_NE(images[0].find("source 0,0,2,2"), std::string::npos);
  EXPECT_NE(images[0].find("fade 255"), std::string::npos);
  EXPECT_NE(images[1].find("source 0,0,3,3"), std::string::npos);
  EXPECT_NE(images[1].find("fade 20"), std::string::npos);
  EXPECT_NE(images[2].find("source 0,0,3,3 corners 0,0,0,0 fade 255"), std::string::npos);
  // The hot image keeps its own fade for the next time.
  EXPECT_EQ(images[3], images[2]);
  EXPECT_EQ(
      control->GetStateImageMap().Get(StateImageType::kBackground).Get(ControlState::kHot).fade,
      100);
}

TEST_F(PaintTest, ImageSizesAnAutoSizedControl) {
  const std::wstring file = test::WriteBmp(L"paint_size.bmp", 7, 5, 0x123456);
  Control control;
  control.ApplyAttributeList(L"width=\"auto\" height=\"auto\"");
  control.SetBackgroundImage(file);
  EXPECT_EQ(control.Measure({100, 100}), (UiSize{7, 5}));

  test::TextControl text(30);
  text.ApplyAttributeList(L"width=\"auto\" height=\"auto\"");
  text.SetStateImage(ControlState::kNormal, file);
  EXPECT_EQ(text.Measure({100, 100}), (UiSize{30, 10}));

  Control missing;
  missing.ApplyAttributeList(L"width=\"auto\" height=\"auto\" bkimage=\"nothing_here.bmp\"");
  EXPECT_EQ(missing.Measure({100, 100}), (UiSize{0, 0}));
}

TEST_F(PaintTest, ImageWithAFullDestinationFixesTheSize) {
  Control control;
  control.ApplyAttributeList(
      L"width=\"auto\" height=\"auto\" bkimage=\"file='absent.png' dest='5,5,35,45'\"");
  EXPECT_EQ(control.Measure({100, 100}), (UiSize{30, 40}));
  EXPECT_EQ(control.GetFixedWidth(), 30);
  EXPECT_EQ(control.GetFixedHeight(), 40);
}

}  // namespace
}  // namespace ui
