#include "ui/control/attribute_value.h"

#include "ui/control/control_types.h"
#include "ui/control/image_spec.h"

namespace ui::attribute_value {

bool ReadBool(const std::wstring& value) {
  return value == L"true";
}

int32_t ReadInt(const std::wstring& value) {
  size_t end = 0;
  return image_string::ReadInt32(value, 0, &end);
}

void ReadInts(const std::wstring& value, int32_t* numbers, size_t count) {
  size_t position = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t end = position;
    numbers[i] = image_string::ReadInt32(value, position, &end);
    // Steps over the separator, never past the end of the text.
    position = end < value.size() ? end + 1 : end;
  }
}

UiPadding ReadPadding(const std::wstring& value) {
  int32_t n[4] = {};
  ReadInts(value, n, 4);
  return {n[0], n[1], n[2], n[3]};
}

UiSize ReadSize(const std::wstring& value) {
  int32_t n[2] = {};
  ReadInts(value, n, 2);
  return {n[0], n[1]};
}

UiPoint ReadPoint(const std::wstring& value) {
  int32_t n[2] = {};
  ReadInts(value, n, 2);
  return {n[0], n[1]};
}

int32_t ReadLength(const std::wstring& value) {
  if (value == L"stretch")
    return kStretch;
  if (value == L"auto")
    return kAuto;
  return ReadInt(value);
}

std::wstring SkipLeadingBlanks(const std::wstring& value) {
  size_t i = 0;
  while (i < value.size() && value[i] >= 1 && value[i] <= 32)
    ++i;
  return value.substr(i);
}

}  // namespace ui::attribute_value
