// Image strings come from skin files: any text must parse without reading
// out of bounds, and the parse must be repeatable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/control/image_spec.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;

// Two input bytes per UTF-16 unit, as the skins' wide strings hold them.
std::wstring WideFrom(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2)
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = WideFrom(data, size);

  ui::ImageSpec descriptor;
  descriptor.SetImageString(text);
  Check(descriptor.attributeString == text);
  Check(descriptor.image == nullptr && descriptor.frameIndex == 0 && !descriptor.playing);

  ui::ImageSpec again;
  again.SetImageString(text);
  Check(again.fileName == descriptor.fileName && again.dest == descriptor.dest &&
        again.source == descriptor.source && again.corner == descriptor.corner && again.fade == descriptor.fade &&
        again.xTiled == descriptor.xTiled && again.yTiled == descriptor.yTiled &&
        again.playCount == descriptor.playCount);

  // Applying the same pairs once more changes nothing but the file name
  // (which a string without a "file" pair does not touch).
  ui::ImageSpec modified = descriptor;
  modified.ApplyImageString(text);
  Check(modified.fileName == descriptor.fileName && modified.dest == descriptor.dest &&
        modified.fade == descriptor.fade && modified.playCount == descriptor.playCount);

  size_t end = 0;
  ui::image_string::ReadInt32(text, 0, &end);
  Check(end <= text.size());
  ui::image_string::ReadUInt32(text, text.size() / 2, &end);
  Check(end <= text.size());
  ui::image_string::ReadRect(text);
  return 0;
}
