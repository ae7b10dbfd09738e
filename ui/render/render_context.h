#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/render/geometry.h"

// Win32 maps DrawText to DrawTextW; the framework's operation keeps its name.
#undef DrawText

namespace ui {

class GdiplusImage;
class IBrush;
class IPath;
class IPen;
struct ArcStroke;

// The drawing surface of windows and controls: an off-screen 32-bit
// premultiplied-alpha bitmap selected into a memory device context.
// Rectangles are in logical coordinates (shifted by the drawing origin);
// right and bottom are exclusive. The virtual operations keep this order.
class IRenderContext : public kbase::SupportWeakCallback {
 public:
  virtual HDC DeviceContext() const = 0;
  // False when the size is already width x height; otherwise re-creates the
  // bitmap (contents lost, all zero) and tells whether that worked.
  virtual bool Resize(int width, int height, bool flip = true) = 0;
  virtual void Clear() = 0;
  virtual std::unique_ptr<IRenderContext> Clone() = 0;
  // The caller owns the returned bitmap; the context is left without one.
  virtual HBITMAP DetachBitmap() = 0;
  virtual void* Pixels() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void ResetPixels(const UiRect& rect, uint8_t value) = 0;
  virtual void FixAlpha(const UiRect& dirty, const UiPadding& padding, uint8_t marker) = 0;
  // When on, every bitmap piece of DrawImage is alpha-blended.
  virtual bool IsTransparentRendering() const = 0;
  virtual bool SetTransparentRendering(bool transparent) = 0;
  // One level only, independent of the clip stack.
  virtual int SaveState() = 0;
  virtual void RestoreState() = 0;
  // Each returns the previous origin.
  virtual UiPoint OffsetDrawingOrigin(int dx, int dy) = 0;
  virtual UiPoint SetDrawingOrigin(int x, int y) = 0;
  virtual UiPoint GetDrawingOrigin() const = 0;
  // Clips nest: each push narrows, each pop undoes the latest push.
  virtual void PushClip(const UiRect& rect) = 0;
  virtual void PushRoundClip(const UiRect& rect, int corner_width, int corner_height) = 0;
  virtual void PopClip() = 0;
  virtual void CopyTo(int x,
                      int y,
                      int width,
                      int height,
                      HDC source,
                      int source_x,
                      int source_y,
                      DWORD raster_operation) = 0;
  // AlphaBlend with constant `alpha` and per-pixel source alpha.
  virtual bool BlendFrom(int x,
                         int y,
                         int width,
                         int height,
                         HDC source,
                         int source_x,
                         int source_y,
                         int source_width,
                         int source_height,
                         uint8_t alpha) = 0;
  // Draws `source` of `bitmap` onto `dest` with nine-slice `corners`,
  // optional tiling of the centre and a constant alpha `fade`; only pieces
  // that meet `paint` are drawn.
  virtual void DrawImage(const UiRect& paint,
                         HBITMAP bitmap,
                         bool has_alpha,
                         const UiRect& dest,
                         const UiRect& source,
                         const UiRect& corners,
                         uint8_t fade,
                         bool tile_x,
                         bool tile_y) = 0;
  // By colour name, resolved through the colour table.
  virtual void FillColor(const UiRect& rect, const std::wstring& color_name, uint8_t fade) = 0;
  // Vertical gradient from `color1` (faded) at the top to `color2`.
  virtual void FillColor(const UiRect& rect, UiColor color1, UiColor color2, uint8_t fade) = 0;
  virtual void FillColor(const UiRect& rect, UiColor color, uint8_t fade) = 0;
  virtual void DrawLine(const IPen* pen, int x1, int y1, int x2, int y2) = 0;
  // From (left, top) to (right, bottom).
  virtual void DrawLine(const UiRect& rect, int width, UiColor color) = 0;
  virtual void
  DrawBezier(const IPen* pen, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
  virtual void DrawRect(const UiRect& rect, int width, UiColor color) = 0;
  // `corner` is the full width and height of the corner ellipse.
  virtual void DrawRoundRect(const UiRect& rect,
                             const UiSize& corner,
                             int width,
                             UiColor color) = 0;
  // `format` takes Win32 DT_ flags.
  virtual void DrawText(const UiRect& rect,
                        const std::wstring& text,
                        UiColor color,
                        const std::wstring& font_id,
                        UINT format,
                        uint8_t fade,
                        bool line_limit) = 0;
  virtual void DrawEllipse(const UiRect& rect, int width, UiColor color) = 0;
  virtual void FillEllipse(const UiRect& rect, UiColor color) = 0;
  // `width` -1 (any negative) measures without a width limit.
  virtual UiRect MeasureText(const std::wstring& text,
                             const std::wstring& font_id,
                             UINT format,
                             int width) = 0;
  virtual void DrawPath(const IPath* path, const IPen* pen) = 0;
  virtual void FillPath(const IPath* path, const IBrush* brush) = 0;
  // Anti-aliased.
  virtual void DrawArc(const ArcStroke& arc) = 0;
  // `image` at `dest`, turned by `degrees` (clockwise) around `center`.
  virtual void DrawRotatedImage(const GdiplusImage& image,
                                const UiRect& dest,
                                UiPoint center,
                                float degrees) = 0;
};

}  // namespace ui
