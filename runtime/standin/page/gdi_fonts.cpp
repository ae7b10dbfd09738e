#include "runtime/standin/page/gdi_fonts.h"

#include <algorithm>

namespace cef_standin::page {

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFace(HDC dc, const wchar_t* face) {
  LOGFONTW query = {};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The page's face, then faces that also carry CJK characters, then common
// Latin faces.
std::wstring ChooseFace(HDC dc) {
  static constexpr const wchar_t* kFaces[] = {L"\u5FAE\u8F6F\u96C5\u9ED1",
                                              L"Microsoft YaHei",
                                              L"WenQuanYi Micro Hei",
                                              L"SimSun",
                                              L"Tahoma",
                                              L"Arial"};
  for (const wchar_t* face : kFaces) {
    if (HasFace(dc, face))
      return face;
  }
  return kFaces[0];
}

}  // namespace

GdiFonts::GdiFonts() : dc_(CreateCompatibleDC(nullptr)) {
  face_ = ChooseFace(dc_);
}

GdiFonts::~GdiFonts() {
  for (const std::unique_ptr<Entry>& entry : entries_)
    DeleteObject(entry->font);
  DeleteDC(dc_);
}

GdiFonts::Entry& GdiFonts::Find(const FontKey& font) {
  for (const std::unique_ptr<Entry>& entry : entries_) {
    if (entry->key == font)
      return *entry;
  }
  auto entry = std::make_unique<Entry>();
  entry->key = font;
  entry->font = CreateFontW(-std::clamp(font.size, 1, 400), 0, 0, 0,
                            font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE,
                            FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, face_.c_str());
  HGDIOBJ old = SelectObject(dc_, entry->font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc_, &metrics);
  SelectObject(dc_, old);
  entry->metrics = {static_cast<int>(metrics.tmAscent), static_cast<int>(metrics.tmDescent)};
  entries_.push_back(std::move(entry));
  return *entries_.back();
}

HFONT GdiFonts::Font(const FontKey& font) {
  return Find(font).font;
}

FontMetrics GdiFonts::Metrics(const FontKey& font) {
  return Find(font).metrics;
}

int GdiFonts::TextWidth(const FontKey& font, std::u16string_view text) {
  Entry& entry = Find(font);
  int width = 0;
  HGDIOBJ old = nullptr;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      // Outside the BMP: measured as the pair, uncached.
      if (!old)
        old = SelectObject(dc_, entry.font);
      SIZE size = {};
      GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data() + i), 2, &size);
      width += size.cx;
      ++i;
      continue;
    }
    std::unique_ptr<std::array<int, 256>>& page = entry.widths[c >> 8];
    if (!page) {
      if (!old)
        old = SelectObject(dc_, entry.font);
      page = std::make_unique<std::array<int, 256>>();
      const UINT first = static_cast<UINT>(c & 0xFF00);
      if (!GetCharWidth32W(dc_, first, first + 255, page->data())) {
        for (UINT j = 0; j < 256; ++j) {
          const wchar_t one = static_cast<wchar_t>(first + j);
          SIZE size = {};
          GetTextExtentPoint32W(dc_, &one, 1, &size);
          (*page)[j] = size.cx;
        }
      }
    }
    width += (*page)[c & 0xFF];
  }
  if (old)
    SelectObject(dc_, old);
  return width;
}

}  // namespace cef_standin::page
