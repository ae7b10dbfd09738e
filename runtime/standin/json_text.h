#pragma once

#include <string>
#include <string_view>
#include <vector>

// JSON text as page script reads and writes it, kept apart from the script
// values so that it builds on any platform. Strings are UTF-16 code units,
// as in script, and may hold lone surrogates.
namespace cef_standin {

// Deeper nesting is refused by both reading and writing instead of
// exhausting the stack.
inline constexpr int kMaxJsonDepth = 512;

struct JsonNode {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };

  Type type = Type::kNull;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  // An object's keys, unique and in insertion order; `items` holds the
  // array's elements or the object's values beside their keys.
  std::vector<std::u16string> keys;
  std::vector<JsonNode> items;
};

// Reads a whole text as JSON.parse does. On failure returns false and sets
// `error` to a message for the script exception.
bool ParseJson(std::u16string_view text, JsonNode* result, std::string* error);

// Writes a tree as JSON.stringify does without indentation: numbers that
// are not finite become null. Trees deeper than kMaxJsonDepth are written
// only to that depth; callers build them no deeper.
std::u16string PrintJson(const JsonNode& node);

// Appends `text` as a JSON string literal with JSON.stringify's escapes.
void AppendJsonString(std::u16string_view text, std::u16string* output);

// A number as script prints it: integers without a fraction, others in the
// shortest form that reads back the same ("0.1", "1e+21", "1.5e-7"),
// "NaN", "Infinity" and "-Infinity".
std::string FormatScriptNumber(double value);

}  // namespace cef_standin
