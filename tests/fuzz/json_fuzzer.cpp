// Arbitrary text must never crash the reader, and whatever it accepts must
// print to a text that reads back and prints the same. Numbers printed the
// script's way must read back to the same double.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/standin/json_text.h"

namespace {

using cef_standin::JsonNode;

void CheckRoundTrip(const std::u16string& text) {
  JsonNode first;
  std::string error;
  if (!cef_standin::ParseJson(text, &first, &error)) {
    if (error.empty())
      std::abort();  // a refusal always says why
    return;
  }
  const std::u16string printed = cef_standin::PrintJson(first);
  JsonNode second;
  if (!cef_standin::ParseJson(printed, &second, &error))
    std::abort();
  if (cef_standin::PrintJson(second) != printed)
    std::abort();
}

void CheckNumber(const uint8_t* data, size_t size) {
  if (size < sizeof(double))
    return;
  double value;
  std::memcpy(&value, data, sizeof(value));
  if (!std::isfinite(value))
    return;
  const std::string text = cef_standin::FormatScriptNumber(value);
  JsonNode node;
  std::string error;
  if (!cef_standin::ParseJson(std::u16string(text.begin(), text.end()), &node, &error) ||
      node.type != JsonNode::Type::kNumber || (node.number != value && !(value == 0)))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bytes once as Latin-1 code units, once as UTF-16LE code units
  // (which reaches surrogates).
  CheckRoundTrip(std::u16string(data, data + size));
  std::u16string wide(size / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  CheckRoundTrip(wide);
  CheckNumber(data, size);
  return 0;
}
