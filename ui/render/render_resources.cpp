#include "ui/render/render_resources.h"

#include <utility>

namespace ui {
namespace {

RenderResources::ColorLookup& ColorLookupSlot() {
  static RenderResources::ColorLookup lookup;
  return lookup;
}

RenderResources::FontLookup& FontLookupSlot() {
  static RenderResources::FontLookup lookup;
  return lookup;
}

}  // namespace

void RenderResources::SetColorLookup(ColorLookup lookup) {
  ColorLookupSlot() = std::move(lookup);
}

void RenderResources::SetFontLookup(FontLookup lookup) {
  FontLookupSlot() = std::move(lookup);
}

UiColor RenderResources::ColorByName(const std::wstring& name) {
  const auto& lookup = ColorLookupSlot();
  return lookup ? lookup(name) : 0;
}

HFONT RenderResources::FontById(const std::wstring& font_id) {
  const auto& lookup = FontLookupSlot();
  return lookup ? lookup(font_id) : nullptr;
}

}  // namespace ui
