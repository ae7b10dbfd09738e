#include "ui/render/text_measure_memo.h"

#include <functional>
#include <utility>

namespace ui {

size_t TextMeasureMemo::KeyHash::operator()(const Key& key) const {
  const size_t text = std::hash<std::wstring>()(key.text);
  const size_t layout = std::hash<int64_t>()(static_cast<int64_t>(key.width) * 2 + key.single_line);
  return text ^ (layout + (text << 6) + (text >> 2));
}

const UiRect* TextMeasureMemo::Find(const Key& key) const {
  const auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

void TextMeasureMemo::Store(Key key, const UiRect& measured) {
  if (entries_.size() >= kMaxEntries)
    entries_.clear();
  entries_.insert_or_assign(std::move(key), measured);
}

}  // namespace ui
