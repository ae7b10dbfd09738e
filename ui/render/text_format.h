#pragma once

#include <windows.h>

#include <string>

#include "ui/render/gdiplus_api.h"

namespace ui {

// The GDI+ font and string formats behind text drawing and measuring.

struct TextFont {
  gdip::ScopedFont font;
  // The requested face (what the font table asked for), else GDI+'s family.
  std::wstring face_name;
  float size = 0;
};

// The font of `font_id` from the font table; for an id that is not there,
// the device context's font; for a device context font GDI+ cannot use (a
// raster font, as a fresh memory context has), the stock GUI font.
void CreateTextFont(HDC dc, const std::wstring& font_id, TextFont* out);

// Generic typographic format for drawing, set up from Win32 DT_ flags.
gdip::ScopedStringFormat CreateDrawFormat(UINT dt_format, bool line_limit);

// Generic typographic format for measuring: no-wrap for DT_SINGLELINE,
// otherwise no format flags at all.
gdip::ScopedStringFormat CreateMeasureFormat(UINT dt_format);

}  // namespace ui
