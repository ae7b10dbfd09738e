// Image strings come from skin files: any text must parse without reading
// out of bounds, and the parse must be repeatable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/control/image_spec.h"

namespace {

// Two input bytes per UTF-16 unit, as the skins' wide strings hold them.
std::wstring WideFrom(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2)
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

void Check(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = WideFrom(data, size);

  ui::ImageSpec spec;
  spec.SetImageString(text);
  Check(spec.attributeString == text);
  Check(spec.image == nullptr && spec.frameIndex == 0 && !spec.playing);

  ui::ImageSpec again;
  again.SetImageString(text);
  Check(again.fileName == spec.fileName && again.dest == spec.dest &&
        again.source == spec.source && again.corner == spec.corner && again.fade == spec.fade &&
        again.xTiled == spec.xTiled && again.yTiled == spec.yTiled &&
        again.playCount == spec.playCount);

  // Applying the same pairs once more changes nothing but the file name
  // (which a string without a "file" pair does not touch).
  ui::ImageSpec modified = spec;
  modified.ApplyImageString(text);
  Check(modified.fileName == spec.fileName && modified.dest == spec.dest &&
        modified.fade == spec.fade && modified.playCount == spec.playCount);

  size_t end = 0;
  ui::image_string::ReadInt32(text, 0, &end);
  Check(end <= text.size());
  ui::image_string::ReadUInt32(text, text.size() / 2, &end);
  Check(end <= text.size());
  ui::image_string::ReadRect(text);
  return 0;
}
