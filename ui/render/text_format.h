#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/render/gdiplus_api.h"
#include "ui/render/text_measure_memo.h"

namespace ui {

// The GDI+ font and string formats behind text drawing and measuring.

struct TextFont {
  // Borrowed from the cache, or `owned`.
  gdip::GpFont* font = nullptr;
  gdip::ScopedFont owned;
  // The requested face (what the font table asked for), else GDI+'s family.
  std::wstring face_name;
  float size = 0;
  // The cache's memo of this font's measurements; null for a font made
  // just for this use.
  TextMeasureMemo* memo = nullptr;
};

// The GDI+ fonts a context has made from font-table fonts, so that drawing
// with the same font again does not make it again. Keyed by the LOGFONT
// itself, so a font handle reused for other attributes is never confused.
class TextFontCache {
 public:
  TextFontCache() = default;
  TextFontCache(const TextFontCache&) = delete;
  TextFontCache& operator=(const TextFontCache&) = delete;
  ~TextFontCache();

  // The font of `font_id` from the font table; for an id that is not there,
  // the device context's font; for a device context font GDI+ cannot use
  // (a raster font, as a fresh memory context has), the stock GUI font.
  // `out->font` stays null when no font could be made.
  void Find(HDC dc, const std::wstring& font_id, TextFont* out);

 private:
  struct Entry {
    LOGFONTW logfont;
    gdip::GpFont* font;
    float size;
    std::unique_ptr<TextMeasureMemo> memo;
  };
  static constexpr size_t kMaxEntries = 16;

  bool FromFontHandle(HDC dc, HFONT handle, TextFont* out);

  std::vector<Entry> entries_;
};

// Generic typographic format for drawing, set up from Win32 DT_ flags.
gdip::ScopedStringFormat CreateDrawFormat(UINT dt_format, bool line_limit);

// Generic typographic format for measuring: no-wrap for DT_SINGLELINE,
// otherwise no format flags at all.
gdip::ScopedStringFormat CreateMeasureFormat(UINT dt_format);

}  // namespace ui
