#include "ui/render/text_format.h"

#include <algorithm>
#include <cwchar>

#include "ui/render/render_resources.h"

namespace ui {
namespace {

bool FontFromDeviceContext(HDC dc, TextFont* out) {
  gdip::GpFont* font = nullptr;
  if (gdip::GdipCreateFontFromDC(dc, &font) != gdip::Ok || !font)
    return false;
  *out->owned.receive() = font;
  out->font = font;
  gdip::GdipGetFontSize(font, &out->size);
  gdip::GpFontFamily* family = nullptr;
  if (gdip::GdipGetFamily(font, &family) == gdip::Ok && family) {
    WCHAR name[LF_FACESIZE] = {};
    if (gdip::GdipGetFamilyName(family, name, LANG_NEUTRAL) == gdip::Ok)
      out->face_name = name;
    gdip::GdipDeleteFontFamily(family);
  }
  return true;
}

bool SameLogfont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
         a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

gdip::ScopedStringFormat CloneGenericTypographic() {
  // The generic format is GDI+'s own shared object: cloned, never changed.
  gdip::GpStringFormat* generic = nullptr;
  gdip::ScopedStringFormat format;
  if (gdip::GdipStringFormatGetGenericTypographic(&generic) == gdip::Ok && generic)
    gdip::GdipCloneStringFormat(generic, format.receive());
  return format;
}

}  // namespace

TextFontCache::~TextFontCache() {
  for (const Entry& entry : entries_)
    gdip::GdipDeleteFont(entry.font);
}

void TextFontCache::Find(HDC dc, const std::wstring& font_id, TextFont* out) {
  if (FromFontHandle(dc, RenderResources::FontById(font_id), out) ||
      FontFromDeviceContext(dc, out)) {
    return;
  }
  FromFontHandle(dc, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), out);
}

bool TextFontCache::FromFontHandle(HDC dc, HFONT handle, TextFont* out) {
  LOGFONTW logfont = {};
  if (!handle || GetObjectW(handle, sizeof(logfont), &logfont) <= 0)
    return false;
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return SameLogfont(e.logfont, logfont); });
  if (found == entries_.end()) {
    gdip::GpFont* font = nullptr;
    if (gdip::GdipCreateFontFromLogfontW(dc, &logfont, &font) != gdip::Ok || !font)
      return false;
    if (entries_.size() == kMaxEntries) {
      gdip::GdipDeleteFont(entries_.front().font);
      entries_.erase(entries_.begin());
    }
    float size = 0;
    gdip::GdipGetFontSize(font, &size);
    entries_.push_back({logfont, font, size, std::make_unique<TextMeasureMemo>()});
    found = entries_.end() - 1;
  }
  out->font = found->font;
  out->size = found->size;
  out->face_name = found->logfont.lfFaceName;
  out->memo = found->memo.get();
  return true;
}

gdip::ScopedStringFormat CreateDrawFormat(UINT dt_format, bool line_limit) {
  gdip::ScopedStringFormat format = CloneGenericTypographic();
  if (!format)
    return format;
  if (dt_format & DT_END_ELLIPSIS)
    gdip::GdipSetStringFormatTrimming(format.get(), gdip::StringTrimmingEllipsisCharacter);

  INT flags = 0;
  if (dt_format & DT_NOCLIP)
    flags |= gdip::StringFormatFlagsNoClip;
  if (dt_format & DT_SINGLELINE)
    flags |= gdip::StringFormatFlagsNoWrap;
  if (line_limit)
    flags |= gdip::StringFormatFlagsLineLimit;
  gdip::GdipSetStringFormatFlags(format.get(), flags);

  gdip::StringAlignment horizontal = gdip::StringAlignmentNear;
  if (dt_format & DT_CENTER)
    horizontal = gdip::StringAlignmentCenter;
  else if (dt_format & DT_RIGHT)
    horizontal = gdip::StringAlignmentFar;
  gdip::GdipSetStringFormatAlign(format.get(), horizontal);

  gdip::StringAlignment vertical = gdip::StringAlignmentNear;
  if (dt_format & DT_VCENTER)
    vertical = gdip::StringAlignmentCenter;
  else if (dt_format & DT_BOTTOM)
    vertical = gdip::StringAlignmentFar;
  gdip::GdipSetStringFormatLineAlign(format.get(), vertical);
  return format;
}

gdip::ScopedStringFormat CreateMeasureFormat(UINT dt_format) {
  gdip::ScopedStringFormat format = CloneGenericTypographic();
  if (format) {
    gdip::GdipSetStringFormatFlags(format.get(),
                                   (dt_format & DT_SINGLELINE) ? gdip::StringFormatFlagsNoWrap : 0);
  }
  return format;
}

}  // namespace ui
