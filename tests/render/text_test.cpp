#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "tests/render/render_test_support.h"
#include "ui/render/render_context.h"
#include "ui/render/render_factory.h"
#include "ui/render/render_resources.h"

namespace ui {
namespace {

using test::CountPixels;
using test::InkBounds;
using test::kTestFontId;
using test::MakeContext;

uint32_t MaxAlpha(const IRenderContext& context) {
  uint32_t most = 0;
  CountPixels(context, {0, 0, context.Width(), context.Height()}, [&](uint32_t p) {
    most = std::max(most, p >> 24);
    return false;
  });
  return most;
}

bool Inside(const UiRect& inner, const UiRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

class TextTest : public ::testing::Test {
 protected:
  test::ScopedRenderResources resources_;
};

TEST_F(TextTest, OpaqueTextKeepsItsAlphaAt254) {
  auto context = MakeContext(120, 30);
  context->DrawText({0, 0, 120, 30}, L"Hello World", 0xFF000000, kTestFontId, DT_SINGLELINE, 255,
                    false);
  EXPECT_GT(CountPixels(*context, {0, 0, 120, 30}, [](uint32_t p) { return p != 0; }), 20);
  EXPECT_EQ(MaxAlpha(*context), 254u);
  EXPECT_EQ(CountPixels(*context, {0, 0, 120, 30},
                        [](uint32_t p) { return (p & 0xFFFFFF) != 0 && (p >> 24) == 0; }),
            0)
      << "no colour without alpha (what GDI text would leave)";
  EXPECT_TRUE(test::IsPremultiplied(*context));
}

TEST_F(TextTest, FadeScalesTheTextAlpha) {
  auto context = MakeContext(120, 30);
  context->DrawText({0, 0, 120, 30}, L"Hello World", 0xFFFFFFFF, kTestFontId, DT_SINGLELINE, 128,
                    false);
  EXPECT_LE(MaxAlpha(*context), 128u);
  EXPECT_GE(MaxAlpha(*context), 120u);
  EXPECT_TRUE(test::IsPremultiplied(*context));
}

TEST_F(TextTest, MeasuredBoxHoldsTheDrawnText) {
  auto context = MakeContext(300, 60);
  const std::wstring text = L"Measure me, 20 chars";
  const UiRect box = context->MeasureText(text, kTestFontId, DT_SINGLELINE, -1);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_GT(box.Width(), 60);
  EXPECT_GT(box.Height(), 10);
  EXPECT_LT(box.Height(), 40);

  const UiRect at = box.Offset(10, 10);
  context->DrawText(at, text, 0xFF000000, kTestFontId, DT_SINGLELINE, 255, false);
  const UiRect ink = InkBounds(*context);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_TRUE(Inside(ink, at)) << ink.left << "," << ink.top << "," << ink.right << ","
                               << ink.bottom;
  // The measure is tight: the ink spans most of it.
  EXPECT_GT(ink.Width(), box.Width() * 3 / 4);
}

TEST_F(TextTest, LongerTextMeasuresWiderAndAWidthLimitWraps) {
  auto context = MakeContext(1, 1);
  const UiRect short_box = context->MeasureText(L"abc", kTestFontId, DT_SINGLELINE, -1);
  const UiRect long_box = context->MeasureText(L"abcabcabc", kTestFontId, DT_SINGLELINE, -1);
  EXPECT_GT(long_box.Width(), short_box.Width() * 2);

  const std::wstring words = L"several words that need more than one line";
  const UiRect one_line = context->MeasureText(words, kTestFontId, 0, -1);
  const UiRect wrapped = context->MeasureText(words, kTestFontId, 0, 80);
  EXPECT_LE(wrapped.Width(), 81);
  EXPECT_GT(wrapped.Height(), one_line.Height() * 2);

  // Single line with a width: no wrapping, one line high.
  const UiRect single = context->MeasureText(words, kTestFontId, DT_SINGLELINE, 80);
  EXPECT_LE(single.Height(), one_line.Height() + 1);
}

TEST_F(TextTest, RepeatedMeasuresGiveTheFirstAnswers) {
  // Measures are remembered per text, single-line flag and width: asked
  // again in another order, each must come back as it was, never another
  // layout's answer.
  auto context = MakeContext(1, 1);
  const std::wstring words = L"several words that need more than one line";
  struct Ask {
    UINT format;
    int width;
  };
  const Ask asks[] = {{0, 80},
                      {DT_SINGLELINE, 80},
                      {0, -1},
                      {DT_SINGLELINE, -1},
                      {0, 0},
                      {0, 160},
                      {DT_SINGLELINE | DT_CENTER, 80}};
  std::vector<UiRect> first;
  for (const Ask& ask : asks)
    first.push_back(context->MeasureText(words, kTestFontId, ask.format, ask.width));
  EXPECT_NE(first[0], first[1]);
  EXPECT_NE(first[0], first[5]);
  for (size_t i = std::size(asks); i-- > 0;) {
    EXPECT_EQ(context->MeasureText(words, kTestFontId, asks[i].format, asks[i].width), first[i])
        << "ask " << i;
  }
}

TEST_F(TextTest, MeasuringWorksBeforeTheContextHasABitmap) {
  auto context = MakeContext(1, 1);
  const UiRect with_bitmap = context->MeasureText(L"layout", kTestFontId, DT_SINGLELINE, -1);
  context->DetachBitmap();
  DeleteObject(context->DetachBitmap());
  EXPECT_EQ(context->MeasureText(L"layout", kTestFontId, DT_SINGLELINE, -1), with_bitmap);
}

TEST_F(TextTest, AlignmentFlagsPlaceTheText) {
  const UiRect area{0, 0, 200, 60};
  const auto ink_for = [&](UINT flags) {
    auto context = MakeContext(200, 60);
    context->DrawText(area, L"Tag", 0xFF000000, kTestFontId, flags | DT_SINGLELINE, 255, false);
    return InkBounds(*context);
  };
  const UiRect leading = ink_for(0);
  const UiRect right = ink_for(DT_RIGHT);
  const UiRect centre = ink_for(DT_CENTER | DT_VCENTER);
  const UiRect bottom = ink_for(DT_BOTTOM);
  EXPECT_LT(leading.left, 10);
  EXPECT_LT(leading.top, 10);
  EXPECT_GT(right.left, 150);
  EXPECT_GT(centre.left, 70);
  EXPECT_LT(centre.right, 130);
  EXPECT_GT(centre.top, 15);
  EXPECT_LT(centre.bottom, 45);
  EXPECT_GT(bottom.top, 30);
}

TEST_F(TextTest, EllipsisKeepsLongTextInsideItsRectangle) {
  auto context = MakeContext(200, 30);
  const UiRect area{0, 0, 60, 30};
  context->DrawText(area, L"A rather long label that cannot fit", 0xFF000000, kTestFontId,
                    DT_SINGLELINE | DT_END_ELLIPSIS, 255, false);
  const UiRect ink = InkBounds(*context);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_LE(ink.right, 60);
}

TEST_F(TextTest, NoClipLetsTextOutOfItsRectangle) {
  // A 16-pixel font in a rectangle 6 pixels high.
  const auto ink_bottom = [](UINT flags) {
    auto context = MakeContext(200, 30);
    context->DrawText({0, 0, 200, 6}, L"Overflowing", 0xFF000000, kTestFontId,
                      DT_SINGLELINE | flags, 255, false);
    return InkBounds(*context).bottom;
  };
  EXPECT_LE(ink_bottom(0), 6);
  EXPECT_GT(ink_bottom(DT_NOCLIP), 6);
}

TEST_F(TextTest, TextObeysTheClip) {
  auto context = MakeContext(120, 30);
  context->PushClip({0, 0, 30, 30});
  context->DrawText({0, 0, 120, 30}, L"Hello World", 0xFF000000, kTestFontId, DT_SINGLELINE, 255,
                    false);
  context->PopClip();
  EXPECT_LE(InkBounds(*context).right, 30);
}

TEST_F(TextTest, TextFollowsTheDrawingOriginUnderAClip) {
  auto context = MakeContext(200, 60);
  context->SetDrawingOrigin(-50, -20);
  context->PushClip({0, 0, 40, 40});
  context->DrawText({0, 0, 150, 40}, L"Hello World", 0xFF000000, kTestFontId, DT_SINGLELINE, 255,
                    false);
  context->PopClip();
  const UiRect ink = InkBounds(*context);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.left, 50);
  EXPECT_GE(ink.top, 20);
  EXPECT_LE(ink.right, 90);
}

// The pixel of image row `y`, whichever way the rows are stored.
uint32_t ImagePixel(const IRenderContext& context, bool top_down, int x, int y) {
  const int row = top_down ? y : context.Height() - 1 - y;
  return static_cast<const uint32_t*>(context.Pixels())[row * context.Width() + x];
}

// Text under a clip is the same text drawn without one, cut by the clip:
// not a pixel moved, whatever the origin, the clip's shape and the order of
// the bitmap's rows.
TEST_F(TextTest, ClippedTextIsTheUnclippedTextCut) {
  RenderFactory_GdiPlus factory;
  for (const bool top_down : {true, false}) {
    for (const bool round : {false, true}) {
      SCOPED_TRACE(testing::Message() << "top-down " << top_down << ", round " << round);
      auto whole = factory.CreateRenderContext();
      auto cut = factory.CreateRenderContext();
      ASSERT_TRUE(whole->Resize(200, 60, top_down));
      ASSERT_TRUE(cut->Resize(200, 60, top_down));
      const UiRect layout{10, -5, 190, 40};
      const UiRect clip{40, 12, 140, 30};  // logical; device is moved by (13, -7)
      for (IRenderContext* context : {whole.get(), cut.get()}) {
        context->SetDrawingOrigin(-13, 7);
        if (context == cut.get()) {
          if (round)
            context->PushRoundClip(clip, 16, 16);
          else
            context->PushClip(clip);
        }
        context->DrawText(layout, L"Server 12: Dragonfly", 0xFF203040, kTestFontId,
                          DT_SINGLELINE | DT_VCENTER, 255, false);
        if (context == cut.get())
          context->PopClip();
      }
      HRGN shape =
          round ? CreateRoundRectRgn(53, 5, 154, 24, 16, 16) : CreateRectRgn(53, 5, 153, 23);
      int inside = 0, outside = 0;
      for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
          const uint32_t expected =
              PtInRegion(shape, x, y) ? ImagePixel(*whole, top_down, x, y) : 0;
          ASSERT_EQ(ImagePixel(*cut, top_down, x, y), expected) << x << "," << y;
          (expected ? inside : outside) += ImagePixel(*whole, top_down, x, y) ? 1 : 0;
        }
      }
      DeleteObject(shape);
      EXPECT_GT(inside, 50) << "the clip lets some of the text through";
      EXPECT_GT(outside, 50) << "and cuts some of it away";
    }
  }
}

TEST_F(TextTest, UnknownFontsFallBackAndStillDraw) {
  auto context = MakeContext(120, 30);
  context->DrawText({0, 0, 120, 30}, L"Fallback", 0xFF000000, L"no_such_font", DT_SINGLELINE, 255,
                    false);
  EXPECT_FALSE(InkBounds(*context).IsEmpty());
  EXPECT_FALSE(context->MeasureText(L"Fallback", L"no_such_font", DT_SINGLELINE, -1).IsEmpty());
}

TEST(TextFontTest, AFontIdWhoseFontChangesIsMadeAfresh) {
  // The same id and, possibly, the same handle value: only the attributes
  // tell the fonts apart.
  HFONT current = nullptr;
  RenderResources::SetFontLookup([&current](const std::wstring&) { return current; });
  const auto make_font = [](int height) {
    LOGFONTW logfont = {};
    logfont.lfHeight = -height;
    wcscpy_s(logfont.lfFaceName, test::kTestFontFace);
    return CreateFontIndirectW(&logfont);
  };
  auto context = MakeContext(1, 1);
  current = make_font(12);
  const int small = context->MeasureText(L"Size", L"f", DT_SINGLELINE, -1).Height();
  DeleteObject(current);
  current = make_font(36);
  const int large = context->MeasureText(L"Size", L"f", DT_SINGLELINE, -1).Height();
  DeleteObject(current);
  RenderResources::SetFontLookup(nullptr);
  EXPECT_GT(large, small * 2);
}

TEST_F(TextTest, EmptyTextAndEmptyRectanglesDrawNothing) {
  auto context = MakeContext(60, 30);
  context->DrawText({0, 0, 60, 30}, L"", 0xFF000000, kTestFontId, 0, 255, false);
  context->DrawText({10, 10, 10, 30}, L"Text", 0xFF000000, kTestFontId, 0, 255, false);
  context->DrawText({50, 20, 0, 0}, L"Text", 0xFF000000, kTestFontId, 0, 255, false);
  EXPECT_EQ(InkBounds(*context), (UiRect{}));
}

}  // namespace
}  // namespace ui
