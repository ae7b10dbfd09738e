#pragma once

#include "ui/render/bitmap.h"
#include "ui/render/clip.h"
#include "ui/render/render_context.h"
#include "ui/render/solid_fill.h"
#include "ui/render/text_format.h"

namespace ui {

struct ImagePiece;

// IRenderContext over a GDI memory device context, a DIB section, GDI
// blits for bitmaps and GDI+ for anti-aliased shapes, gradients and text.
// Without a bitmap (before the first successful Resize) drawing does
// nothing; measuring text still works.
class RenderContext_GdiPlus : public IRenderContext {
 public:
  RenderContext_GdiPlus();
  ~RenderContext_GdiPlus() override;

  HDC DeviceContext() const override { return dc_; }
  bool Resize(int width, int height, bool flip = true) override;
  void Clear() override;
  std::unique_ptr<IRenderContext> Clone() override;
  HBITMAP DetachBitmap() override;
  void* Pixels() const override;
  int Width() const override;
  int Height() const override;
  void ResetPixels(const UiRect& rect, uint8_t value) override;
  void FixAlpha(const UiRect& dirty, const UiPadding& padding, uint8_t marker) override;
  bool IsTransparentRendering() const override { return transparent_; }
  bool SetTransparentRendering(bool transparent) override;
  int SaveState() override;
  void RestoreState() override;
  UiPoint OffsetDrawingOrigin(int dx, int dy) override;
  UiPoint SetDrawingOrigin(int x, int y) override;
  UiPoint GetDrawingOrigin() const override;
  void PushClip(const UiRect& rect) override;
  void PushRoundClip(const UiRect& rect, int corner_width, int corner_height) override;
  void PopClip() override;
  void CopyTo(int x,
              int y,
              int width,
              int height,
              HDC source,
              int source_x,
              int source_y,
              DWORD raster_operation) override;
  bool BlendFrom(int x,
                 int y,
                 int width,
                 int height,
                 HDC source,
                 int source_x,
                 int source_y,
                 int source_width,
                 int source_height,
                 uint8_t alpha) override;
  void DrawImage(const UiRect& paint,
                 HBITMAP bitmap,
                 bool has_alpha,
                 const UiRect& dest,
                 const UiRect& source,
                 const UiRect& corners,
                 uint8_t fade,
                 bool tile_x,
                 bool tile_y) override;
  void FillColor(const UiRect& rect, const std::wstring& color_name, uint8_t fade) override;
  void FillColor(const UiRect& rect, UiColor color1, UiColor color2, uint8_t fade) override;
  void FillColor(const UiRect& rect, UiColor color, uint8_t fade) override;
  void DrawLine(const IPen* pen, int x1, int y1, int x2, int y2) override;
  void DrawLine(const UiRect& rect, int width, UiColor color) override;
  void DrawBezier(const IPen* pen, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
      override;
  void DrawRect(const UiRect& rect, int width, UiColor color) override;
  void DrawRoundRect(const UiRect& rect, const UiSize& corner, int width, UiColor color) override;
  void DrawText(const UiRect& rect,
                const std::wstring& text,
                UiColor color,
                const std::wstring& font_id,
                UINT format,
                uint8_t fade,
                bool line_limit) override;
  void DrawEllipse(const UiRect& rect, int width, UiColor color) override;
  void FillEllipse(const UiRect& rect, UiColor color) override;
  UiRect MeasureText(const std::wstring& text,
                     const std::wstring& font_id,
                     UINT format,
                     int width) override;
  void DrawPath(const IPath* path, const IPen* pen) override;
  void FillPath(const IPath* path, const IBrush* brush) override;
  void DrawArc(const ArcStroke& arc) override;
  void DrawRotatedImage(const GdiplusImage& image,
                        const UiRect& dest,
                        UiPoint center,
                        float degrees) override;

 private:
  bool HasBitmap() const { return bitmap_.Handle() != nullptr; }
  // Puts the object that was there before the bitmap back into the DC.
  void DeselectBitmap();
  void DrawImagePiece(HDC source_dc, const ImagePiece& piece, bool blend, uint8_t fade);

  HDC dc_ = nullptr;
  int saved_state_ = 0;
  HGDIOBJ previous_object_ = nullptr;
  bool transparent_ = false;
  GdiClip clip_;
  GdiBitmap bitmap_;
  SolidFill solid_fill_;
  TextFontCache fonts_;
};

}  // namespace ui
