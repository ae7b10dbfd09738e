#include "ui/render/render_context_gdiplus.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "ui/render/arc_stroke.h"
#include "ui/render/brush.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/gdiplus_image.h"
#include "ui/render/nine_slice.h"
#include "ui/render/path.h"
#include "ui/render/pen.h"
#include "ui/render/pixel_graphics.h"
#include "ui/render/render_resources.h"
#include "ui/render/text_format.h"

namespace ui {
namespace {

// The face whose vertically centred text sits one pixel high in GDI+.
constexpr wchar_t kNSimSunFace[] = L"\u65b0\u5b8b\u4f53";
// A wide and a tall glyph, for the height of one line of text.
constexpr wchar_t kLineSample[] = L"\u6d4b\u8bd5";

// The colour's alpha scaled by fade / 255, truncated; colour bytes stay.
UiColor FadeColor(UiColor color, uint8_t fade) {
  if (fade == 255)
    return color;
  return ColorWithAlpha(color, static_cast<uint8_t>(ColorAlpha(color) * fade / 255));
}

gdip::GpRectF ToRectF(const UiRect& rect) {
  return gdip::GpRectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                       static_cast<float>(rect.Width()), static_cast<float>(rect.Height()));
}

bool IsInverted(const UiRect& rect) {
  return rect.right < rect.left || rect.bottom < rect.top;
}

INT TextLength(const std::wstring& text) {
  return static_cast<INT>(std::min<size_t>(text.size(), INT_MAX));
}

gdip::GpPen* NativePen(const IPen* pen) {
  const auto* gdiplus_pen = dynamic_cast<const Pen_GdiPlus*>(pen);
  return gdiplus_pen ? gdiplus_pen->native() : nullptr;
}

// The integer part, kept within int32 for absurd measurements.
int32_t Truncate(float v) {
  if (!(v > static_cast<float>(INT_MIN)))
    return INT_MIN;
  if (!(v < static_cast<float>(INT_MAX)))
    return INT_MAX;
  return static_cast<int32_t>(v);
}

gdip::ScopedPen MakePen(UiColor color, int width) {
  gdip::ScopedPen pen;
  gdip::GdipCreatePen1(color, static_cast<float>(width), gdip::UnitWorld, pen.receive());
  return pen;
}

gdip::ScopedBrush MakeSolidBrush(UiColor color) {
  gdip::GpSolidFill* solid = nullptr;
  gdip::GdipCreateSolidFill(color, &solid);
  return gdip::ScopedBrush(solid);
}

}  // namespace

RenderContext_GdiPlus::RenderContext_GdiPlus() {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
}

RenderContext_GdiPlus::~RenderContext_GdiPlus() {
  DeselectBitmap();
  if (dc_)
    DeleteDC(dc_);
}

bool RenderContext_GdiPlus::Resize(int width, int height, bool flip) {
  if (bitmap_.Width() == width && bitmap_.Height() == height)
    return false;
  DeselectBitmap();
  if (!bitmap_.Init(dc_, width, height, flip))
    return false;
  previous_object_ = SelectObject(dc_, bitmap_.Handle());
  return true;
}

void RenderContext_GdiPlus::Clear() {
  bitmap_.Clear();
}

std::unique_ptr<IRenderContext> RenderContext_GdiPlus::Clone() {
  auto copy = std::make_unique<RenderContext_GdiPlus>();
  const int width = Width();
  const int height = Height();
  if (HasBitmap() && copy->Resize(width, height, true)) {
    // The copy takes pixels, not logical coordinates: start at the pixel
    // that the current drawing origin maps to device (0, 0).
    POINT origin = {};
    GetWindowOrgEx(dc_, &origin);
    BitBlt(copy->dc_, 0, 0, width, height, dc_, origin.x, origin.y, SRCCOPY);
  }
  return copy;
}

HBITMAP RenderContext_GdiPlus::DetachBitmap() {
  if (!previous_object_)
    return nullptr;
  DeselectBitmap();
  return bitmap_.Detach();
}

void* RenderContext_GdiPlus::Pixels() const {
  return bitmap_.Pixels();
}

int RenderContext_GdiPlus::Width() const {
  return bitmap_.Width();
}

int RenderContext_GdiPlus::Height() const {
  return bitmap_.Height();
}

void RenderContext_GdiPlus::ResetPixels(const UiRect& rect, uint8_t value) {
  bitmap_.ResetPixels(rect, value);
}

void RenderContext_GdiPlus::FixAlpha(const UiRect& dirty,
                                     const UiPadding& padding,
                                     uint8_t marker) {
  bitmap_.FixAlpha(dirty, padding, marker);
}

bool RenderContext_GdiPlus::SetTransparentRendering(bool transparent) {
  const bool previous = transparent_;
  transparent_ = transparent;
  return previous;
}

int RenderContext_GdiPlus::SaveState() {
  saved_state_ = SaveDC(dc_);
  return saved_state_;
}

void RenderContext_GdiPlus::RestoreState() {
  RestoreDC(dc_, saved_state_);
}

UiPoint RenderContext_GdiPlus::OffsetDrawingOrigin(int dx, int dy) {
  const UiPoint old = GetDrawingOrigin();
  SetWindowOrgEx(dc_, old.x + dx, old.y + dy, nullptr);
  return old;
}

UiPoint RenderContext_GdiPlus::SetDrawingOrigin(int x, int y) {
  POINT old = {};
  SetWindowOrgEx(dc_, x, y, &old);
  return {old.x, old.y};
}

UiPoint RenderContext_GdiPlus::GetDrawingOrigin() const {
  POINT origin = {};
  GetWindowOrgEx(dc_, &origin);
  return {origin.x, origin.y};
}

void RenderContext_GdiPlus::PushClip(const UiRect& rect) {
  clip_.CreateClip(dc_, rect);
}

void RenderContext_GdiPlus::PushRoundClip(const UiRect& rect, int corner_width, int corner_height) {
  clip_.CreateRoundClip(dc_, rect, corner_width, corner_height);
}

void RenderContext_GdiPlus::PopClip() {
  clip_.ClearClip(dc_);
}

void RenderContext_GdiPlus::CopyTo(int x,
                                   int y,
                                   int width,
                                   int height,
                                   HDC source,
                                   int source_x,
                                   int source_y,
                                   DWORD raster_operation) {
  BitBlt(dc_, x, y, width, height, source, source_x, source_y, raster_operation);
}

bool RenderContext_GdiPlus::BlendFrom(int x,
                                      int y,
                                      int width,
                                      int height,
                                      HDC source,
                                      int source_x,
                                      int source_y,
                                      int source_width,
                                      int source_height,
                                      uint8_t alpha) {
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  return AlphaBlend(dc_, x, y, width, height, source, source_x, source_y, source_width,
                    source_height, blend) != FALSE;
}

void RenderContext_GdiPlus::DrawImage(const UiRect& paint,
                                      HBITMAP bitmap,
                                      bool has_alpha,
                                      const UiRect& dest,
                                      const UiRect& source,
                                      const UiRect& corners,
                                      uint8_t fade,
                                      bool tile_x,
                                      bool tile_y) {
  if (!bitmap || !HasBitmap() || !dest.Intersects(paint))
    return;
  HDC source_dc = CreateCompatibleDC(dc_);
  if (!source_dc)
    return;
  HGDIOBJ old_bitmap = SelectObject(source_dc, bitmap);
  if (old_bitmap && old_bitmap != HGDI_ERROR) {
    const int old_mode = SetStretchBltMode(dc_, HALFTONE);
    // HALFTONE needs the brush origin set afresh.
    SetBrushOrgEx(dc_, 0, 0, nullptr);
    const bool always_blend = transparent_ || has_alpha || fade < 255;
    ForEachNineSlicePiece({paint, dest, source, corners, tile_x, tile_y},
                          [&](const ImagePiece& piece) {
                            const bool same_size = piece.dest.Width() == piece.source.Width() &&
                                                   piece.dest.Height() == piece.source.Height();
                            DrawImagePiece(source_dc, piece, always_blend || same_size, fade);
                          });
    SetStretchBltMode(dc_, old_mode);
    SelectObject(source_dc, old_bitmap);
  }
  DeleteDC(source_dc);
}

void RenderContext_GdiPlus::DrawImagePiece(HDC source_dc,
                                           const ImagePiece& piece,
                                           bool blend,
                                           uint8_t fade) {
  const UiRect& d = piece.dest;
  const UiRect& s = piece.source;
  if (blend) {
    const BLENDFUNCTION function = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    AlphaBlend(dc_, d.left, d.top, d.Width(), d.Height(), source_dc, s.left, s.top, s.Width(),
               s.Height(), function);
  } else {
    StretchBlt(dc_, d.left, d.top, d.Width(), d.Height(), source_dc, s.left, s.top, s.Width(),
               s.Height(), SRCCOPY);
  }
}

void RenderContext_GdiPlus::FillColor(const UiRect& rect,
                                      const std::wstring& color_name,
                                      uint8_t fade) {
  if (color_name.empty())
    return;
  FillColor(rect, RenderResources::ColorByName(color_name), fade);
}

void RenderContext_GdiPlus::FillColor(const UiRect& rect,
                                      UiColor color1,
                                      UiColor color2,
                                      uint8_t fade) {
  if (!HasBitmap() || rect.IsEmpty())
    return;
  gdip::ScopedGraphics graphics(dc_, false);
  if (!graphics)
    return;
  const gdip::GpRectF area = ToRectF(rect);
  gdip::GpLineGradient* gradient = nullptr;
  gdip::GdipCreateLineBrushFromRectWithAngle(&area, FadeColor(color1, fade), color2, 90.0f, FALSE,
                                             gdip::WrapModeTile, &gradient);
  const gdip::ScopedBrush brush(gradient);
  if (brush)
    gdip::GdipFillRectangle(graphics.get(), brush.get(), area.X, area.Y, area.Width, area.Height);
}

void RenderContext_GdiPlus::FillColor(const UiRect& rect, UiColor color, uint8_t fade) {
  const UiColor faded = FadeColor(color, fade);
  // Fully transparent paint changes no pixel.
  if (!HasBitmap() || rect.IsEmpty() || ColorAlpha(faded) == 0)
    return;
  if (solid_fill_.Fill(dc_, rect, faded))
    return;
  // Without its one-pixel source the fill falls back to a GDI+ brush.
  gdip::ScopedGraphics graphics(dc_, false);
  const gdip::ScopedBrush brush = MakeSolidBrush(faded);
  if (!graphics || !brush)
    return;
  const gdip::GpRectF area = ToRectF(rect);
  gdip::GdipFillRectangle(graphics.get(), brush.get(), area.X, area.Y, area.Width, area.Height);
}

void RenderContext_GdiPlus::DrawLine(const IPen* pen, int x1, int y1, int x2, int y2) {
  gdip::GpPen* native = NativePen(pen);
  if (!HasBitmap() || !native)
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  if (graphics)
    gdip::GdipDrawLineI(graphics.get(), native, x1, y1, x2, y2);
}

void RenderContext_GdiPlus::DrawLine(const UiRect& rect, int width, UiColor color) {
  if (!HasBitmap())
    return;
  PixelGraphics graphics(dc_, bitmap_, false);
  const gdip::ScopedPen pen = MakePen(color, width);
  if (graphics && pen)
    gdip::GdipDrawLineI(graphics.get(), pen.get(), rect.left, rect.top, rect.right, rect.bottom);
}

void RenderContext_GdiPlus::DrawBezier(const IPen* pen,
                                       int x1,
                                       int y1,
                                       int x2,
                                       int y2,
                                       int x3,
                                       int y3,
                                       int x4,
                                       int y4) {
  gdip::GpPen* native = NativePen(pen);
  if (!HasBitmap() || !native)
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  if (graphics)
    gdip::GdipDrawBezierI(graphics.get(), native, x1, y1, x2, y2, x3, y3, x4, y4);
}

void RenderContext_GdiPlus::DrawRect(const UiRect& rect, int width, UiColor color) {
  if (!HasBitmap() || IsInverted(rect))
    return;
  PixelGraphics graphics(dc_, bitmap_, false);
  const gdip::ScopedPen pen = MakePen(color, width);
  if (graphics && pen) {
    gdip::GdipDrawRectangleI(graphics.get(), pen.get(), rect.left, rect.top, rect.Width(),
                             rect.Height());
  }
}

void RenderContext_GdiPlus::DrawRoundRect(const UiRect& rect,
                                          const UiSize& corner,
                                          int width,
                                          UiColor color) {
  if (!HasBitmap() || IsInverted(rect))
    return;
  gdip::ScopedPath path;
  gdip::GdipCreatePath(gdip::FillModeAlternate, path.receive());
  const gdip::ScopedPen pen = MakePen(color, width);
  if (!path || !pen)
    return;
  const auto l = static_cast<float>(rect.left), t = static_cast<float>(rect.top);
  const auto r = static_cast<float>(rect.right), b = static_cast<float>(rect.bottom);
  const auto cx = static_cast<float>(corner.cx), cy = static_cast<float>(corner.cy);
  gdip::GpPath* p = path.get();
  gdip::GdipAddPathArc(p, l, t, cx, cy, 180, 90);
  gdip::GdipAddPathLine(p, l + cx, t, r - cx, t);
  gdip::GdipAddPathArc(p, r - cx, t, cx, cy, 270, 90);
  gdip::GdipAddPathLine(p, r, t + cy, r, b - cy);
  gdip::GdipAddPathArc(p, r - cx, b - cy, cx, cy, 0, 90);
  gdip::GdipAddPathLine(p, r - cx, b, l + cx, b);
  gdip::GdipAddPathArc(p, l, b - cy, cx, cy, 90, 90);
  gdip::GdipAddPathLine(p, l, b - cy, l, t + cy);
  gdip::GdipClosePathFigure(p);
  PixelGraphics graphics(dc_, bitmap_, true);
  if (graphics)
    gdip::GdipDrawPath(graphics.get(), pen.get(), p);
}

void RenderContext_GdiPlus::DrawText(const UiRect& rect,
                                     const std::wstring& text,
                                     UiColor color,
                                     const std::wstring& font_id,
                                     UINT format,
                                     uint8_t fade,
                                     bool line_limit) {
  // GDI+ reads an empty layout rectangle as "no limit"; an empty or
  // inverted rectangle has no room for text instead.
  if (text.empty() || !HasBitmap() || rect.IsEmpty())
    return;
  TextFont font;
  fonts_.Find(dc_, font_id, &font);
  const gdip::ScopedStringFormat string_format = CreateDrawFormat(format, line_limit);
  // Opaque text on a device context goes through GDI, which leaves the
  // alpha bytes at 0; 254 keeps GDI+ rendering it with its alpha.
  auto alpha = static_cast<uint8_t>(ColorAlpha(color) * fade / 255);
  if (alpha == 255)
    alpha = 254;
  const gdip::ScopedBrush brush = MakeSolidBrush(ColorWithAlpha(color, alpha));
  if (!font.font || !string_format || !brush)
    return;

  UiRect layout = rect;
  if ((format & DT_VCENTER) && font.face_name == kNSimSunFace &&
      static_cast<float>(rect.Height()) >= font.size + 2) {
    layout = layout.Offset(0, 1);
  }
  // Without "no clip" the text stays inside its layout rectangle; saying so
  // explicitly keeps GDI+ implementations that do not clip text in line.
  const bool clip_to_layout = !(format & DT_NOCLIP);
  PixelGraphics graphics(dc_, bitmap_, false, clip_to_layout ? &layout : nullptr,
                         PixelGraphics::Extent::kVisibleArea);
  if (!graphics)
    return;
  const gdip::GpRectF layout_f = ToRectF(layout);
  gdip::GdipDrawString(graphics.get(), text.c_str(), TextLength(text), font.font, &layout_f,
                       string_format.get(), brush.get());
}

void RenderContext_GdiPlus::DrawEllipse(const UiRect& rect, int width, UiColor color) {
  if (!HasBitmap() || IsInverted(rect))
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  const gdip::ScopedPen pen = MakePen(color, width);
  if (graphics && pen) {
    gdip::GdipDrawEllipseI(graphics.get(), pen.get(), rect.left, rect.top, rect.Width(),
                           rect.Height());
  }
}

void RenderContext_GdiPlus::FillEllipse(const UiRect& rect, UiColor color) {
  if (!HasBitmap() || rect.IsEmpty())
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  const gdip::ScopedBrush brush = MakeSolidBrush(color);
  if (graphics && brush) {
    gdip::GdipFillEllipseI(graphics.get(), brush.get(), rect.left, rect.top, rect.Width(),
                           rect.Height());
  }
}

UiRect RenderContext_GdiPlus::MeasureText(const std::wstring& text,
                                          const std::wstring& font_id,
                                          UINT format,
                                          int width) {
  TextFont font;
  fonts_.Find(dc_, font_id, &font);
  const bool single_line = (format & DT_SINGLELINE) != 0;
  TextMeasureMemo::Key key{text, single_line, std::max(width, -1)};
  if (font.memo) {
    if (const UiRect* known = font.memo->Find(key))
      return *known;
  }

  gdip::ScopedGraphics graphics(dc_, false);
  if (!graphics)
    return {};
  const gdip::ScopedStringFormat string_format = CreateMeasureFormat(format);
  if (!font.font || !string_format)
    return {};

  gdip::GpRectF layout(0, 0, 0, 0);
  if (width >= 0) {
    float height = 0;
    if (single_line) {
      if (font.memo && font.memo->line_height) {
        height = *font.memo->line_height;
      } else {
        const gdip::GpRectF unbounded(0, 0, 0, 0);
        gdip::GpRectF sample(0, 0, 0, 0);
        gdip::GdipMeasureString(graphics.get(), kLineSample, 2, font.font, &unbounded,
                                string_format.get(), &sample, nullptr, nullptr);
        height = sample.Height;
        if (font.memo)
          font.memo->line_height = height;
      }
    }
    layout = gdip::GpRectF(0, 0, static_cast<float>(width), height);
  }
  gdip::GpRectF box(0, 0, 0, 0);
  gdip::GdipMeasureString(graphics.get(), text.c_str(), TextLength(text), font.font, &layout,
                          string_format.get(), &box, nullptr, nullptr);
  const UiRect measured{Truncate(box.X), Truncate(box.Y), Truncate(box.X + box.Width + 1),
                        Truncate(box.Y + box.Height + 1)};
  if (font.memo)
    font.memo->Store(std::move(key), measured);
  return measured;
}

void RenderContext_GdiPlus::DrawPath(const IPath* path, const IPen* pen) {
  const auto* native_path = dynamic_cast<const Path_Gdiplus*>(path);
  gdip::GpPen* native_pen = NativePen(pen);
  if (!HasBitmap() || !native_path || !native_path->native() || !native_pen)
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  if (graphics)
    gdip::GdipDrawPath(graphics.get(), native_pen, native_path->native());
}

void RenderContext_GdiPlus::FillPath(const IPath* path, const IBrush* brush) {
  const auto* native_path = dynamic_cast<const Path_Gdiplus*>(path);
  const auto* native_brush = dynamic_cast<const Brush_Gdiplus*>(brush);
  if (!HasBitmap() || !native_path || !native_path->native() || !native_brush ||
      !native_brush->fill_brush()) {
    return;
  }
  PixelGraphics graphics(dc_, bitmap_, true);
  if (graphics)
    gdip::GdipFillPath(graphics.get(), native_brush->fill_brush(), native_path->native());
}

void RenderContext_GdiPlus::DeselectBitmap() {
  if (previous_object_) {
    SelectObject(dc_, previous_object_);
    previous_object_ = nullptr;
  }
}

void RenderContext_GdiPlus::DrawArc(const ArcStroke& arc) {
  if (!HasBitmap() || arc.width <= 0 || arc.height <= 0 || arc.pen_width <= 0)
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  if (!graphics)
    return;
  gdip::ScopedPen pen;
  if (arc.gradient_color != 0) {
    const gdip::GpRect box(arc.gradient_box.left, arc.gradient_box.top, arc.gradient_box.Width(),
                           arc.gradient_box.Height());
    gdip::ScopedBrush brush;
    gdip::GpLineGradient* gradient = nullptr;
    if (gdip::GdipCreateLineBrushFromRectI(&box, arc.color, arc.gradient_color,
                                           gdip::LinearGradientModeVertical, gdip::WrapModeTile,
                                           &gradient) != gdip::Ok) {
      return;
    }
    *brush.receive() = gradient;
    const float factors[] = {0.0f, 0.4f, 0.6f, 1.0f};
    const float positions[] = {0.0f, 0.2f, 0.8f, 1.0f};
    gdip::GdipSetLineBlend(gradient, factors, positions, 4);
    gdip::GdipCreatePen2(brush.get(), static_cast<float>(arc.pen_width), gdip::UnitWorld,
                         pen.receive());
  } else {
    gdip::GdipCreatePen1(arc.color, static_cast<float>(arc.pen_width), gdip::UnitWorld,
                         pen.receive());
  }
  if (pen) {
    gdip::GdipDrawArc(graphics.get(), pen.get(), arc.x, arc.y, arc.width, arc.height,
                      arc.start_angle, arc.sweep_angle);
  }
}

void RenderContext_GdiPlus::DrawRotatedImage(const GdiplusImage& image,
                                             const UiRect& dest,
                                             UiPoint center,
                                             float degrees) {
  if (!HasBitmap() || dest.IsEmpty())
    return;
  PixelGraphics graphics(dc_, bitmap_, true);
  if (!graphics)
    return;
  // The graphics already maps logical to bitmap coordinates; the turn
  // about the centre comes before that, so each step is prepended in
  // reverse.
  const auto cx = static_cast<float>(center.x);
  const auto cy = static_cast<float>(center.y);
  gdip::GdipTranslateWorldTransform(graphics.get(), cx, cy, gdip::MatrixOrderPrepend);
  gdip::GdipRotateWorldTransform(graphics.get(), degrees, gdip::MatrixOrderPrepend);
  gdip::GdipTranslateWorldTransform(graphics.get(), -cx, -cy, gdip::MatrixOrderPrepend);
  gdip::GdipDrawImageRectI(graphics.get(), image.native(), dest.left, dest.top, dest.Width(),
                           dest.Height());
}

}  // namespace ui
