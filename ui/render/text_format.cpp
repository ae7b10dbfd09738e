#include "ui/render/text_format.h"

#include "ui/render/render_resources.h"

namespace ui {
namespace {

bool FontFromLogfont(HDC dc, HFONT handle, TextFont* out) {
  LOGFONTW logfont = {};
  if (!handle || GetObjectW(handle, sizeof(logfont), &logfont) <= 0)
    return false;
  gdip::GpFont* font = nullptr;
  if (gdip::GdipCreateFontFromLogfontW(dc, &logfont, &font) != gdip::Ok || !font)
    return false;
  *out->font.receive() = font;
  out->face_name = logfont.lfFaceName;
  return true;
}

bool FontFromDeviceContext(HDC dc, TextFont* out) {
  gdip::GpFont* font = nullptr;
  if (gdip::GdipCreateFontFromDC(dc, &font) != gdip::Ok || !font)
    return false;
  *out->font.receive() = font;
  gdip::GpFontFamily* family = nullptr;
  if (gdip::GdipGetFamily(font, &family) == gdip::Ok && family) {
    WCHAR name[LF_FACESIZE] = {};
    if (gdip::GdipGetFamilyName(family, name, LANG_NEUTRAL) == gdip::Ok)
      out->face_name = name;
    gdip::GdipDeleteFontFamily(family);
  }
  return true;
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

void CreateTextFont(HDC dc, const std::wstring& font_id, TextFont* out) {
  if (!FontFromLogfont(dc, RenderResources::FontById(font_id), out) &&
      !FontFromDeviceContext(dc, out) &&
      !FontFromLogfont(dc, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), out)) {
    return;
  }
  gdip::GdipGetFontSize(out->font.get(), &out->size);
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
