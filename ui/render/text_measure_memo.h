#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "ui/render/geometry.h"

namespace ui {

// What measuring text with one font gave before, so that a layout pass that
// measures the same label again, or a skin that repeats a text, asks GDI+
// only once. A memo belongs to one GDI+ font of one context's font cache and
// dies with it: a changed font table entry is a different font, and so a
// different memo, so nothing here ever needs invalidating.
//
// The measuring format depends on nothing but the single-line flag, and the
// layout rectangle on nothing but the width, so those two and the text are
// the whole key.
class TextMeasureMemo {
 public:
  // Enough for every text of a large window; a memo that fills up starts
  // over rather than tracking use.
  static constexpr size_t kMaxEntries = 512;

  struct Key {
    std::wstring text;
    bool single_line = false;
    // Negative for "no limit".
    int32_t width = -1;

    bool operator==(const Key& other) const = default;
  };

  const UiRect* Find(const Key& key) const;
  void Store(Key key, const UiRect& measured);

  // The height of one line of text in the single-line format.
  std::optional<float> line_height;

 private:
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };

  std::unordered_map<Key, UiRect, KeyHash> entries_;
};

}  // namespace ui
