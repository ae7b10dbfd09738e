#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/render/geometry.h"

namespace ui {

// The colour table and the font table belong to the process-wide resources,
// which sit above the render library; they plug their lookups in here at
// start-up. Without a lookup every colour name resolves to 0 (not drawn)
// and every font id to no font (the device context's font is used).
class RenderResources {
 public:
  using ColorLookup = std::function<UiColor(const std::wstring& name)>;
  using FontLookup = std::function<HFONT(const std::wstring& font_id)>;

  RenderResources() = delete;

  static void SetColorLookup(ColorLookup lookup);
  static void SetFontLookup(FontLookup lookup);

  static UiColor ColorByName(const std::wstring& name);
  static HFONT FontById(const std::wstring& font_id);
};

}  // namespace ui
