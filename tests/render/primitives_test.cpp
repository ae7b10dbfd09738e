#include <gtest/gtest.h>

#include "tests/render/render_test_support.h"
#include "ui/render/bitmap.h"
#include "ui/render/brush.h"
#include "ui/render/matrix.h"
#include "ui/render/path.h"
#include "ui/render/pen.h"

namespace ui {
namespace {

TEST(PenTest, PropertiesRoundTripThroughGdiplus) {
  Pen_GdiPlus pen(0xFF112233, 3);
  EXPECT_FLOAT_EQ(pen.GetWidth(), 3);
  EXPECT_EQ(pen.GetColor(), 0xFF112233u);
  pen.SetWidth(1.5f);
  pen.SetColor(0x80FFFFFF);
  pen.SetStartCap(PenCap::kRound);
  pen.SetEndCap(PenCap::kArrowAnchor);
  pen.SetDashCap(PenDashCap::kTriangle);
  pen.SetLineJoin(PenLineJoin::kBevel);
  pen.SetDashStyle(PenDashStyle::kDashDot);
  EXPECT_FLOAT_EQ(pen.GetWidth(), 1.5f);
  EXPECT_EQ(pen.GetColor(), 0x80FFFFFFu);
  EXPECT_EQ(pen.GetStartCap(), PenCap::kRound);
  EXPECT_EQ(pen.GetEndCap(), PenCap::kArrowAnchor);
  EXPECT_EQ(pen.GetDashCap(), PenDashCap::kTriangle);
  EXPECT_EQ(pen.GetLineJoin(), PenLineJoin::kBevel);
  EXPECT_EQ(pen.GetDashStyle(), PenDashStyle::kDashDot);
  EXPECT_EQ(pen.last_status(), gdip::Ok);
}

TEST(PenTest, ClonesAreIndependent) {
  Pen_GdiPlus pen(0xFF000000, 2);
  pen.SetDashStyle(PenDashStyle::kDot);
  auto copy = pen.Clone();
  pen.SetWidth(7);
  EXPECT_FLOAT_EQ(copy->GetWidth(), 2);
  EXPECT_EQ(copy->GetDashStyle(), PenDashStyle::kDot);
  EXPECT_EQ(copy->GetColor(), 0xFF000000u);
}

TEST(BrushTest, SolidTextureAndOwnedBitmapBrushes) {
  Brush_Gdiplus solid(0xFF00FF00);
  EXPECT_EQ(solid.GetColor(), 0xFF00FF00u);
  EXPECT_NE(solid.solid_brush(), nullptr);
  EXPECT_EQ(solid.texture_brush(), nullptr);
  EXPECT_EQ(solid.GetBitmap(), nullptr);
  auto copy = solid.Clone();
  EXPECT_EQ(copy->GetColor(), 0xFF00FF00u);
  EXPECT_NE(static_cast<Brush_Gdiplus*>(copy.get())->solid_brush(), solid.solid_brush());

  HBITMAP image = test::MakeBitmap(2, 2, [](int, int) { return 0xFF0000FFu; });
  Brush_Gdiplus texture(image);
  DeleteObject(image);
  EXPECT_EQ(texture.solid_brush(), nullptr);
  EXPECT_NE(texture.texture_brush(), nullptr);
  EXPECT_EQ(texture.fill_brush(), texture.texture_brush());

  auto bitmap = std::make_unique<GdiBitmap>();
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(bitmap->Init(dc, 2, 2, true));
  DeleteDC(dc);
  IBitmap* raw = bitmap.get();
  Brush_Gdiplus owning(std::move(bitmap));
  EXPECT_EQ(owning.GetBitmap(), raw);
  EXPECT_NE(owning.texture_brush(), nullptr);

  Brush_Gdiplus from_null(static_cast<HBITMAP>(nullptr));
  EXPECT_EQ(from_null.fill_brush(), nullptr);
  EXPECT_NE(from_null.last_status(), gdip::Ok);
}

TEST(PathTest, FiguresBoundsAndHitTests) {
  Path_Gdiplus path;
  path.AddRect({10, 10, 30, 20});
  EXPECT_EQ(path.GetBounds(), (UiRect{10, 10, 30, 20}));
  EXPECT_TRUE(path.ContainsPoint(15, 15));
  EXPECT_FALSE(path.ContainsPoint(5, 15));

  Pen_GdiPlus wide(0xFF000000, 6);
  EXPECT_TRUE(path.StrokeContainsPoint(10, 15, &wide));
  EXPECT_FALSE(path.StrokeContainsPoint(20, 15, &wide));
  const UiRect stroked = path.GetBounds(&wide);
  EXPECT_LE(stroked.left, 8);
  EXPECT_GE(stroked.right, 32);

  path.Reset();
  EXPECT_EQ(path.GetBounds(), (UiRect{}));
}

TEST(PathTest, FillModeDecidesOverlappingFigures) {
  Path_Gdiplus path;
  EXPECT_EQ(path.GetFillMode(), PathFillMode::kAlternate);
  path.AddRect(0, 0, 20, 20);
  path.AddRect(5, 5, 15, 15);
  EXPECT_FALSE(path.ContainsPoint(10, 10)) << "alternate: the overlap is a hole";
  path.SetFillMode(PathFillMode::kWinding);
  EXPECT_TRUE(path.ContainsPoint(10, 10));
}

TEST(PathTest, LinesCurvesArcsAndPolygons) {
  Path_Gdiplus path;
  const UiPoint triangle[] = {{0, 0}, {20, 0}, {10, 20}};
  path.AddPolygon(triangle, 3);
  EXPECT_TRUE(path.ContainsPoint(10, 5));
  EXPECT_EQ(path.GetBounds(), (UiRect{0, 0, 20, 20}));

  Path_Gdiplus open;
  open.StartFigure();
  open.AddLine(0, 0, 10, 0);
  open.AddLines(triangle, 3);
  open.AddBezier({0, 0}, {5, 30}, {15, 30}, {20, 0});
  open.AddCurve(triangle, 3);
  open.AddArc(0, 0, 40, 40, 0, 90);
  open.AddPie(0, 0, 40, 40, 90, 90);
  open.AddEllipse({50, 50, 60, 60});
  open.AddEllipse(70, 70, 80, 80);
  open.CloseFigure();
  EXPECT_EQ(open.last_status(), gdip::Ok);
  EXPECT_EQ(open.GetBounds().right, 80);

  // Nothing to add is not an error worth a crash.
  open.AddLines(nullptr, 3);
  open.AddPolygon(triangle, 0);
}

TEST(PathTest, ClonesAreIndependent) {
  Path_Gdiplus path;
  path.AddRect({0, 0, 10, 10});
  auto copy = path.Clone();
  path.AddRect({0, 0, 50, 50});
  EXPECT_EQ(copy->GetBounds(), (UiRect{0, 0, 10, 10}));
}

TEST(MatrixTest, TransformsMovePaths) {
  Path_Gdiplus path;
  path.AddRect({0, 0, 10, 4});
  Matrix_Gdiplus move;
  move.Translate(5, 7);
  path.Transform(&move);
  EXPECT_EQ(path.GetBounds(), (UiRect{5, 7, 15, 11}));

  Matrix_Gdiplus scale;
  scale.Scale(2, 3);
  path.Transform(&scale);
  EXPECT_EQ(path.GetBounds(), (UiRect{10, 21, 30, 33}));

  path.Transform(nullptr);
  EXPECT_EQ(path.GetBounds(), (UiRect{10, 21, 30, 33}));
}

TEST(MatrixTest, RotateAtTurnsAboutTheGivenCentre) {
  Path_Gdiplus path;
  path.AddRect({0, 0, 10, 4});  // centre (5, 2)
  Matrix_Gdiplus turn;
  turn.RotateAt(90, {5, 2});
  path.Transform(&turn);
  EXPECT_EQ(path.GetBounds(), (UiRect{3, -3, 7, 7}));

  Path_Gdiplus other;
  other.AddRect({0, 0, 10, 4});
  Matrix_Gdiplus plain;
  plain.Rotate(90);  // about the origin
  other.Transform(&plain);
  EXPECT_EQ(other.GetBounds(), (UiRect{-4, 0, 0, 10}));
}

TEST(MatrixTest, OperationsArePrepended) {
  // Scale then translate, prepended: points are translated first.
  Path_Gdiplus path;
  path.AddRect({0, 0, 1, 1});
  Matrix_Gdiplus m;
  m.Scale(10, 10);
  m.Translate(1, 1);
  path.Transform(&m);
  EXPECT_EQ(path.GetBounds(), (UiRect{10, 10, 20, 20}));
}

}  // namespace
}  // namespace ui
