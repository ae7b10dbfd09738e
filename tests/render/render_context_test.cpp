#include "ui/render/render_context_gdiplus.h"

#include <gtest/gtest.h>

#include "tests/render/render_test_support.h"
#include "ui/render/clip.h"
#include "ui/render/render_factory.h"

namespace ui {
namespace {

using test::CountPixels;
using test::MakeContext;
using test::PixelAt;

constexpr UiColor kRed = 0xFFFF0000;
constexpr UiColor kBlue = 0xFF0000FF;

int CountColor(const IRenderContext& context, uint32_t color) {
  return CountPixels(context, {0, 0, context.Width(), context.Height()},
                     [color](uint32_t p) { return p == color; });
}

TEST(RenderContextTest, ResizeRecreatesOnlyOnAChangeOfSize) {
  RenderContext_GdiPlus context;
  EXPECT_EQ(context.Width(), 0);
  EXPECT_FALSE(context.Resize(0, 0));  // already 0 x 0
  ASSERT_TRUE(context.Resize(8, 6));
  EXPECT_EQ(CountColor(context, 0), 48);

  context.FillColor({0, 0, 8, 6}, kRed, 255);
  EXPECT_FALSE(context.Resize(8, 6));
  EXPECT_EQ(CountColor(context, kRed), 48) << "same size keeps the pixels";

  ASSERT_TRUE(context.Resize(9, 6));
  EXPECT_EQ(context.Width(), 9);
  EXPECT_EQ(CountColor(context, 0), 54) << "a new size starts all zero";
}

TEST(RenderContextTest, FailedResizeLeavesAContextThatDrawsNothing) {
  RenderContext_GdiPlus context;
  ASSERT_TRUE(context.Resize(4, 4));
  EXPECT_FALSE(context.Resize(-1, 5));
  EXPECT_FALSE(context.Resize(60000, 60000));
  EXPECT_EQ(context.Width(), 0);
  EXPECT_EQ(context.Pixels(), nullptr);
  // None of these may crash or touch memory.
  context.Clear();
  context.FillColor({0, 0, 10, 10}, kRed, 255);
  context.FillColor({0, 0, 10, 10}, kRed, kBlue, 255);
  context.DrawRect({0, 0, 10, 10}, 1, kRed);
  context.ResetPixels({0, 0, 10, 10}, 1);
  context.FixAlpha({0, 0, 10, 10}, {}, 0);
  context.DrawText({0, 0, 10, 10}, L"x", kRed, L"", 0, 255, false);
  EXPECT_EQ(context.DetachBitmap(), nullptr);
  EXPECT_TRUE(context.Resize(4, 4)) << "usable again afterwards";
}

TEST(RenderContextTest, ClearAndResetPixels) {
  auto context = MakeContext(5, 5);
  context->FillColor({0, 0, 5, 5}, kRed, 255);
  context->ResetPixels({1, 1, 3, 100}, 0x7F);
  EXPECT_EQ(PixelAt(*context, 1, 4), 0x7F7F7F7Fu);
  EXPECT_EQ(PixelAt(*context, 3, 1), kRed);
  EXPECT_EQ(CountColor(*context, 0x7F7F7F7F), 8);
  context->Clear();
  EXPECT_EQ(CountColor(*context, 0), 25);
}

TEST(RenderContextTest, DrawingOriginShiftsEverythingDrawn) {
  auto context = MakeContext(20, 20);
  EXPECT_EQ(context->GetDrawingOrigin(), (UiPoint{0, 0}));
  EXPECT_EQ(context->SetDrawingOrigin(5, 5), (UiPoint{0, 0}));
  EXPECT_EQ(context->OffsetDrawingOrigin(2, -1), (UiPoint{5, 5}));
  EXPECT_EQ(context->GetDrawingOrigin(), (UiPoint{7, 4}));

  // Logical (10, 10) is device (3, 6) under origin (7, 4).
  context->FillColor({10, 10, 12, 12}, kRed, 255);
  EXPECT_EQ(PixelAt(*context, 3, 6), kRed);
  EXPECT_EQ(PixelAt(*context, 4, 7), kRed);
  EXPECT_EQ(CountColor(*context, kRed), 4);
  EXPECT_EQ(PixelAt(*context, 10, 10), 0u);
}

TEST(RenderContextTest, NestedClipsNarrowAndPopOneLevelAtATime) {
  auto context = MakeContext(20, 20);
  context->PushClip({0, 0, 10, 10});
  context->PushClip({5, 5, 20, 20});
  context->FillColor({0, 0, 20, 20}, kRed, 255);
  EXPECT_EQ(CountColor(*context, kRed), 25);  // only (5..10) x (5..10)
  EXPECT_EQ(PixelAt(*context, 5, 5), kRed);
  EXPECT_EQ(PixelAt(*context, 10, 10), 0u);

  context->PopClip();
  context->FillColor({0, 0, 20, 20}, kBlue, 255);
  EXPECT_EQ(CountColor(*context, kBlue), 100) << "the first clip is in force again";
  EXPECT_EQ(PixelAt(*context, 12, 12), 0u);

  context->PopClip();
  context->FillColor({15, 15, 20, 20}, kBlue, 255);
  EXPECT_EQ(PixelAt(*context, 19, 19), kBlue) << "no clip left";
}

TEST(RenderContextTest, ClipRectanglesFollowTheDrawingOrigin) {
  auto context = MakeContext(20, 20);
  context->SetDrawingOrigin(-10, 0);  // logical x maps to device x + 10
  context->PushClip({0, 0, 2, 20});   // device columns 10 and 11
  context->SetDrawingOrigin(0, 0);
  context->FillColor({0, 0, 20, 1}, kRed, 255);
  context->PopClip();
  EXPECT_EQ(PixelAt(*context, 10, 0), kRed);
  EXPECT_EQ(PixelAt(*context, 11, 0), kRed);
  EXPECT_EQ(CountColor(*context, kRed), 2);
}

TEST(RenderContextTest, EmptyAndInvertedClipsHideEverythingUntilPopped) {
  auto context = MakeContext(10, 10);
  for (const UiRect& clip : {UiRect{2, 2, 2, 8}, UiRect{8, 8, 2, 2}}) {
    context->PushClip(clip);
    context->FillColor({0, 0, 10, 10}, kRed, 255);
    context->PushRoundClip(clip, 4, 4);
    context->FillColor({0, 0, 10, 10}, kRed, 255);
    context->PopClip();
    context->PopClip();
    EXPECT_EQ(CountColor(*context, kRed), 0);
  }
  context->FillColor({0, 0, 10, 10}, kRed, 255);
  EXPECT_EQ(CountColor(*context, kRed), 100);
}

TEST(RenderContextTest, RoundClipCutsTheCorners) {
  auto context = MakeContext(30, 30);
  context->PushRoundClip({0, 0, 29, 29}, 16, 16);
  context->FillColor({0, 0, 30, 30}, kRed, 255);
  context->PopClip();
  EXPECT_EQ(PixelAt(*context, 0, 0), 0u);
  EXPECT_EQ(PixelAt(*context, 29, 0), 0u);
  EXPECT_EQ(PixelAt(*context, 0, 29), 0u);
  EXPECT_EQ(PixelAt(*context, 15, 15), kRed);
  EXPECT_EQ(PixelAt(*context, 15, 0), kRed);
  // The rounded region ends at the rectangle's exclusive right and bottom.
  EXPECT_EQ(PixelAt(*context, 15, 28), kRed);
  EXPECT_EQ(PixelAt(*context, 28, 15), kRed);
  EXPECT_EQ(PixelAt(*context, 15, 29), 0u);
  EXPECT_EQ(PixelAt(*context, 29, 15), 0u);
}

TEST(RenderContextTest, AutoClipPopsWhatItPushed) {
  auto context = MakeContext(10, 10);
  {
    AutoClip clip(context.get(), {0, 0, 3, 3});
    AutoClip disabled(context.get(), {0, 0, 1, 1}, false);
    context->FillColor({0, 0, 10, 10}, kRed, 255);
  }
  EXPECT_EQ(CountColor(*context, kRed), 9);
  { AutoClip round(context.get(), {5, 5, 9, 9}, 2, 2); }
  context->FillColor({0, 0, 10, 10}, kBlue, 255);
  EXPECT_EQ(CountColor(*context, kBlue), 100);
  AutoClip without_context(nullptr, {0, 0, 1, 1});
}

TEST(RenderContextTest, SaveStateKeepsOneLevel) {
  auto context = MakeContext(4, 4);
  context->SetDrawingOrigin(1, 1);
  EXPECT_GT(context->SaveState(), 0);
  context->SetDrawingOrigin(3, 3);
  context->PushClip({3, 3, 4, 4});
  context->RestoreState();
  EXPECT_EQ(context->GetDrawingOrigin(), (UiPoint{1, 1}));
  context->FillColor({1, 1, 5, 5}, kRed, 255);
  EXPECT_EQ(CountColor(*context, kRed), 16) << "the later clip went with the state";
}

TEST(RenderContextTest, TransparentRenderingSwitchReturnsThePreviousValue) {
  RenderContext_GdiPlus context;
  EXPECT_FALSE(context.IsTransparentRendering());
  EXPECT_FALSE(context.SetTransparentRendering(true));
  EXPECT_TRUE(context.SetTransparentRendering(true));
  EXPECT_TRUE(context.IsTransparentRendering());
}

TEST(RenderContextTest, CloneCopiesThePixelsWhateverTheOrigin) {
  auto context = MakeContext(6, 4);
  context->FillColor({0, 0, 3, 4}, 0x80800000, 255);
  context->SetDrawingOrigin(2, 1);
  auto copy = context->Clone();
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->Width(), 6);
  ASSERT_EQ(copy->Height(), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(PixelAt(*copy, x, y), PixelAt(*context, x, y)) << x << "," << y;
  }
  EXPECT_EQ(copy->GetDrawingOrigin(), (UiPoint{0, 0}));

  RenderContext_GdiPlus empty;
  EXPECT_EQ(empty.Clone()->Width(), 0);
}

TEST(RenderContextTest, DetachedBitmapBelongsToTheCaller) {
  RenderContext_GdiPlus context;
  EXPECT_EQ(context.DetachBitmap(), nullptr);
  ASSERT_TRUE(context.Resize(3, 2));
  context.FillColor({0, 0, 3, 2}, kRed, 255);
  HBITMAP bitmap = context.DetachBitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(context.Width(), 0);
  EXPECT_EQ(context.DetachBitmap(), nullptr);

  // The caller can select it elsewhere: it is no longer in the context's DC.
  HDC other = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(other, bitmap);
  EXPECT_NE(old, nullptr);
  EXPECT_EQ(GetPixel(other, 2, 1), RGB(255, 0, 0));
  SelectObject(other, old);
  DeleteDC(other);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(context.Resize(3, 2));
}

TEST(RenderContextTest, CopyToCopiesBytesExactly) {
  auto source = MakeContext(4, 4);
  source->ResetPixels({0, 0, 4, 4}, 0x40);
  auto target = MakeContext(8, 8);
  target->CopyTo(2, 3, 4, 4, source->DeviceContext(), 0, 0, SRCCOPY);
  EXPECT_EQ(PixelAt(*target, 2, 3), 0x40404040u);
  EXPECT_EQ(PixelAt(*target, 5, 6), 0x40404040u);
  EXPECT_EQ(PixelAt(*target, 6, 6), 0u);
}

TEST(RenderContextTest, BlendFromUsesPremultipliedSourceAlpha) {
  auto source = MakeContext(2, 1);
  auto* s = static_cast<uint32_t*>(source->Pixels());
  s[0] = 0xFF00FF00;  // opaque green
  s[1] = 0x80400000;  // half-transparent red, premultiplied
  auto target = MakeContext(2, 1);
  target->FillColor({0, 0, 2, 1}, kBlue, 255);
  ASSERT_TRUE(target->BlendFrom(0, 0, 2, 1, source->DeviceContext(), 0, 0, 2, 1, 255));
  EXPECT_EQ(PixelAt(*target, 0, 0), 0xFF00FF00u);
  // red 0x40 + 0 * 0.5; blue 0xFF * (1 - 0.5) ~ 0x7F; alpha stays opaque.
  const uint32_t p = PixelAt(*target, 1, 0);
  EXPECT_EQ(p >> 24, 0xFFu);
  EXPECT_EQ((p >> 16) & 0xFF, 0x40u);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 0x7F, 1);
}

TEST(RenderContextTest, BlendFromWithConstantAlphaOntoTransparentKeepsPremultiplication) {
  auto source = MakeContext(1, 1);
  *static_cast<uint32_t*>(source->Pixels()) = 0xFFFF0000;
  auto target = MakeContext(1, 1);
  ASSERT_TRUE(target->BlendFrom(0, 0, 1, 1, source->DeviceContext(), 0, 0, 1, 1, 128));
  const uint32_t p = PixelAt(*target, 0, 0);
  EXPECT_NEAR(static_cast<int>(p >> 24), 128, 1);
  EXPECT_EQ((p >> 16) & 0xFF, p >> 24) << "colour scaled with alpha, no dark fringe";
  EXPECT_TRUE(test::IsPremultiplied(*target));
}

TEST(RenderContextTest, BlendFromRejectsDegenerateInput) {
  auto source = MakeContext(2, 2);
  auto target = MakeContext(2, 2);
  EXPECT_FALSE(target->BlendFrom(0, 0, 2, 2, nullptr, 0, 0, 2, 2, 255));
  EXPECT_FALSE(target->BlendFrom(0, 0, -2, 2, source->DeviceContext(), 0, 0, 2, 2, 255));
  EXPECT_FALSE(target->BlendFrom(0, 0, 2, 2, source->DeviceContext(), 0, 0, 5, 5, 255))
      << "source outside the bitmap";
}

TEST(RenderFactoryTest, CreatesEveryKindOfObject) {
  RenderFactory_GdiPlus factory;
  IRenderFactory& f = factory;
  EXPECT_NE(f.CreatePen(kRed, 2), nullptr);
  EXPECT_NE(f.CreateBrush(kRed), nullptr);
  EXPECT_NE(f.CreateMatrix(), nullptr);
  EXPECT_NE(f.CreatePath(), nullptr);
  auto bitmap = f.CreateBitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Handle(), nullptr);
  auto context = f.CreateRenderContext();
  ASSERT_NE(context, nullptr);
  EXPECT_NE(context->DeviceContext(), nullptr);
  EXPECT_EQ(context->Width(), 0);
}

}  // namespace
}  // namespace ui
