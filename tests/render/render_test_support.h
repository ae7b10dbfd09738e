#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/render/geometry.h"
#include "ui/render/render_context.h"

namespace ui::test {

// Fonts the tests register in the font table: a TrueType face Wine ships.
inline constexpr wchar_t kTestFontId[] = L"test_font";
inline constexpr wchar_t kTestFontFace[] = L"Tahoma";

std::unique_ptr<IRenderContext> MakeContext(int width, int height);

// The pixel at (x, y) as 0xAARRGGBB.
uint32_t PixelAt(const IRenderContext& context, int x, int y);

// Counts the pixels of `area` for which `predicate` holds.
int CountPixels(const IRenderContext& context,
                const UiRect& area,
                const std::function<bool(uint32_t)>& predicate);

// The smallest rectangle holding every pixel with a non-zero alpha; empty
// when there is none.
UiRect InkBounds(const IRenderContext& context);

// True when no colour byte exceeds the alpha byte anywhere.
bool IsPremultiplied(const IRenderContext& context);

// A top-down 32-bit DIB section the caller owns, each pixel from `color_at`.
HBITMAP MakeBitmap(int width, int height, const std::function<uint32_t(int x, int y)>& color_at);

// Installs colour and font lookups for the test's lifetime; the colour
// table adds unknown names with 0, as the global resources do.
class ScopedRenderResources {
 public:
  ScopedRenderResources();
  ~ScopedRenderResources();

  void DefineColor(const std::wstring& name, UiColor color);
  bool HasColor(const std::wstring& name) const;

 private:
  struct Tables;
  std::unique_ptr<Tables> tables_;
};

}  // namespace ui::test
