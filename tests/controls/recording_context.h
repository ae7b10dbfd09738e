#pragma once

#include <string>
#include <vector>

#include "ui/render/render_context.h"

namespace ui::test {

// A render context that draws nothing and logs the drawing calls, one
// line each ("FillColor 0,0,10,10 ff00ff00 255"), in order. Clips and
// origin moves are logged too.
class RecordingContext : public IRenderContext {
 public:
  const std::vector<std::string>& calls() const { return calls_; }
  // Only the calls whose text starts with |prefix|.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  void ClearLog() { calls_.clear(); }

  HDC DeviceContext() const override { return nullptr; }
  bool Resize(int width, int height, bool flip = true) override;
  void Clear() override {}
  std::unique_ptr<IRenderContext> Clone() override { return nullptr; }
  HBITMAP DetachBitmap() override { return nullptr; }
  void* Pixels() const override { return nullptr; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void ResetPixels(const UiRect&, uint8_t) override {}
  void FixAlpha(const UiRect&, const UiPadding&, uint8_t) override {}
  bool IsTransparentRendering() const override { return transparent_; }
  bool SetTransparentRendering(bool transparent) override;
  int SaveState() override { return 0; }
  void RestoreState() override {}
  UiPoint OffsetDrawingOrigin(int dx, int dy) override;
  UiPoint SetDrawingOrigin(int x, int y) override;
  UiPoint GetDrawingOrigin() const override { return origin_; }
  void PushClip(const UiRect& rect) override;
  void PushRoundClip(const UiRect& rect, int corner_width, int corner_height) override;
  void PopClip() override;
  void CopyTo(int, int, int, int, HDC, int, int, DWORD) override {}
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
  void DrawLine(const IPen*, int, int, int, int) override {}
  void DrawLine(const UiRect& rect, int width, UiColor color) override;
  void DrawBezier(const IPen*, int, int, int, int, int, int, int, int) override {}
  void DrawRect(const UiRect& rect, int width, UiColor color) override;
  void DrawRoundRect(const UiRect& rect, const UiSize& corner, int width, UiColor color) override;
  void DrawText(const UiRect&,
                const std::wstring&,
                UiColor,
                const std::wstring&,
                UINT,
                uint8_t,
                bool) override {}
  void DrawEllipse(const UiRect&, int, UiColor) override {}
  void FillEllipse(const UiRect&, UiColor) override {}
  UiRect MeasureText(const std::wstring&, const std::wstring&, UINT, int) override { return {}; }
  void DrawPath(const IPath*, const IPen*) override {}
  void FillPath(const IPath*, const IBrush*) override {}
  void DrawArc(const ArcStroke& arc) override;
  void DrawRotatedImage(const GdiplusImage& image,
                        const UiRect& dest,
                        UiPoint center,
                        float degrees) override;

 private:
  void Log(const std::string& text) { calls_.push_back(text); }

  std::vector<std::string> calls_;
  UiPoint origin_;
  int width_ = 0;
  int height_ = 0;
  bool transparent_ = false;
};

std::string ToString(const UiRect& rect);

}  // namespace ui::test
