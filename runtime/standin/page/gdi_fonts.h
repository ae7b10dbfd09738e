#pragma once

// Fonts of the page view: GDI fonts by size, weight and slant in the
// page's face ("微软雅黑" where the system has it, else the first of a few
// fallbacks that cover CJK text), and text measured from cached character
// widths so that layout of long text stays fast. Renderer thread only.

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "runtime/standin/page/layout.h"

namespace cef_standin::page {

class GdiFonts : public TextMeasurer {
 public:
  GdiFonts();
  ~GdiFonts();
  GdiFonts(const GdiFonts&) = delete;
  GdiFonts& operator=(const GdiFonts&) = delete;

  FontMetrics Metrics(const FontKey& font) override;
  int TextWidth(const FontKey& font, std::u16string_view text) override;
  // The GDI font for `font`, owned here.
  HFONT Font(const FontKey& font);
  // The face chosen for this system.
  const std::wstring& face() const { return face_; }

 private:
  struct Entry {
    FontKey key;
    HFONT font = nullptr;
    FontMetrics metrics;
    // Widths of BMP characters in pages of 256, filled on first use.
    std::array<std::unique_ptr<std::array<int, 256>>, 256> widths;
  };
  Entry& Find(const FontKey& font);

  HDC dc_;
  std::wstring face_;
  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace cef_standin::page
