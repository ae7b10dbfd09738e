#include "ui/render/path.h"

#include <cmath>
#include <vector>

#include "ui/render/matrix.h"
#include "ui/render/pen.h"

namespace ui {
namespace {

std::vector<gdip::GpPoint> ToGdiplus(const UiPoint* points, int count) {
  std::vector<gdip::GpPoint> result;
  if (!points || count <= 0)
    return result;
  result.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    result.push_back(gdip::GpPoint(points[i].x, points[i].y));
  return result;
}

gdip::GpPen* NativePen(const IPen* pen) {
  const auto* gdiplus_pen = dynamic_cast<const Pen_GdiPlus*>(pen);
  return gdiplus_pen ? gdiplus_pen->native() : nullptr;
}

}  // namespace

Path_Gdiplus::Path_Gdiplus() {
  Track(gdip::GdipCreatePath(gdip::FillModeAlternate, &path_));
}

Path_Gdiplus::Path_Gdiplus(gdip::GpPath* path) : path_(path) {}

Path_Gdiplus::~Path_Gdiplus() {
  if (path_)
    gdip::GdipDeletePath(path_);
}

std::unique_ptr<IPath> Path_Gdiplus::Clone() const {
  gdip::GpPath* copy = nullptr;
  if (path_)
    Track(gdip::GdipClonePath(path_, &copy));
  return std::unique_ptr<IPath>(new Path_Gdiplus(copy));
}

void Path_Gdiplus::Reset() {
  Track(gdip::GdipResetPath(path_));
}

void Path_Gdiplus::SetFillMode(PathFillMode mode) {
  Track(gdip::GdipSetPathFillMode(path_, static_cast<gdip::FillMode>(mode)));
}

PathFillMode Path_Gdiplus::GetFillMode() const {
  gdip::FillMode mode = gdip::FillModeAlternate;
  Track(gdip::GdipGetPathFillMode(path_, &mode));
  return static_cast<PathFillMode>(mode);
}

void Path_Gdiplus::StartFigure() {
  Track(gdip::GdipStartPathFigure(path_));
}

void Path_Gdiplus::CloseFigure() {
  Track(gdip::GdipClosePathFigure(path_));
}

void Path_Gdiplus::AddLine(int x1, int y1, int x2, int y2) {
  Track(gdip::GdipAddPathLineI(path_, x1, y1, x2, y2));
}

void Path_Gdiplus::AddLines(const UiPoint* points, int count) {
  const auto native = ToGdiplus(points, count);
  if (!native.empty())
    Track(gdip::GdipAddPathLine2I(path_, native.data(), count));
}

void Path_Gdiplus::AddBezier(const UiPoint& p1,
                             const UiPoint& p2,
                             const UiPoint& p3,
                             const UiPoint& p4) {
  Track(gdip::GdipAddPathBezierI(path_, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y));
}

void Path_Gdiplus::AddCurve(const UiPoint* points, int count) {
  const auto native = ToGdiplus(points, count);
  if (!native.empty())
    Track(gdip::GdipAddPathCurveI(path_, native.data(), count));
}

void Path_Gdiplus::AddRect(const UiRect& rect) {
  Track(gdip::GdipAddPathRectangleI(path_, rect.left, rect.top, rect.Width(), rect.Height()));
}

void Path_Gdiplus::AddRect(int left, int top, int right, int bottom) {
  AddRect(UiRect{left, top, right, bottom});
}

void Path_Gdiplus::AddEllipse(const UiRect& rect) {
  Track(gdip::GdipAddPathEllipseI(path_, rect.left, rect.top, rect.Width(), rect.Height()));
}

void Path_Gdiplus::AddEllipse(int left, int top, int right, int bottom) {
  AddEllipse(UiRect{left, top, right, bottom});
}

void Path_Gdiplus::AddArc(int x,
                          int y,
                          int width,
                          int height,
                          float start_angle,
                          float sweep_angle) {
  Track(gdip::GdipAddPathArcI(path_, x, y, width, height, start_angle, sweep_angle));
}

void Path_Gdiplus::AddPie(int x,
                          int y,
                          int width,
                          int height,
                          float start_angle,
                          float sweep_angle) {
  Track(gdip::GdipAddPathPieI(path_, x, y, width, height, start_angle, sweep_angle));
}

void Path_Gdiplus::AddPolygon(const UiPoint* points, int count) {
  const auto native = ToGdiplus(points, count);
  if (!native.empty())
    Track(gdip::GdipAddPathPolygonI(path_, native.data(), count));
}

UiRect Path_Gdiplus::GetBounds(const IPen* pen) const {
  gdip::GpRectF bounds;
  bounds.X = bounds.Y = bounds.Width = bounds.Height = 0;
  Track(gdip::GdipGetPathWorldBounds(path_, &bounds, nullptr, NativePen(pen)));
  // Outward rounding, so that the rectangle holds every covered pixel, with
  // a little slack for the float noise of transforms (-3.0000002 is -3).
  constexpr float kSlack = 1e-3f;
  return {static_cast<int32_t>(std::floor(bounds.X + kSlack)),
          static_cast<int32_t>(std::floor(bounds.Y + kSlack)),
          static_cast<int32_t>(std::ceil(bounds.X + bounds.Width - kSlack)),
          static_cast<int32_t>(std::ceil(bounds.Y + bounds.Height - kSlack))};
}

bool Path_Gdiplus::ContainsPoint(int x, int y) const {
  BOOL inside = FALSE;
  Track(gdip::GdipIsVisiblePathPointI(path_, x, y, nullptr, &inside));
  return inside != FALSE;
}

bool Path_Gdiplus::StrokeContainsPoint(int x, int y, const IPen* pen) const {
  BOOL inside = FALSE;
  Track(gdip::GdipIsOutlineVisiblePathPointI(path_, x, y, NativePen(pen), nullptr, &inside));
  return inside != FALSE;
}

void Path_Gdiplus::Transform(const IMatrix* matrix) {
  const auto* gdiplus_matrix = dynamic_cast<const Matrix_Gdiplus*>(matrix);
  if (gdiplus_matrix)
    Track(gdip::GdipTransformPath(path_, gdiplus_matrix->native()));
}

void Path_Gdiplus::Track(gdip::Status status) const {
  if (status != gdip::Ok)
    last_status_ = status;
}

}  // namespace ui
