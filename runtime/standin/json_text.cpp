#include "runtime/standin/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <utility>

namespace cef_standin {

namespace {

bool IsJsonSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

// A recursive descent reader over the whole text; the depth bound keeps
// the recursion within the stack.
class JsonReader {
 public:
  explicit JsonReader(std::u16string_view text) : text_(text) {}

  bool Read(JsonNode* result, std::string* error) {
    SkipSpace();
    bool ok = ReadValue(result, 0);
    if (ok) {
      SkipSpace();
      ok = AtEnd() || Fail();  // only space may follow the value
    }
    if (!ok && error)
      *error = error_;
    return ok;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char16_t Peek() const { return AtEnd() ? 0 : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd() && IsJsonSpace(text_[pos_]))
      ++pos_;
  }

  // Records why reading stopped at the current position; always false.
  bool Fail() {
    if (AtEnd()) {
      error_ = "Unexpected end of JSON input";
    } else {
      error_ = "Unexpected token in JSON at position " + std::to_string(pos_);
    }
    return false;
  }

  bool Expect(std::u16string_view word) {
    for (char16_t c : word) {
      if (Peek() != c)
        return Fail();
      ++pos_;
    }
    return true;
  }

  bool ReadValue(JsonNode* node, int depth) {
    switch (Peek()) {
      case u'{':
        return ReadObject(node, depth + 1);
      case u'[':
        return ReadArray(node, depth + 1);
      case u'"':
        node->type = JsonNode::Type::kString;
        return ReadString(&node->string);
      case u't':
        node->type = JsonNode::Type::kBool;
        node->boolean = true;
        return Expect(u"true");
      case u'f':
        node->type = JsonNode::Type::kBool;
        node->boolean = false;
        return Expect(u"false");
      case u'n':
        node->type = JsonNode::Type::kNull;
        return Expect(u"null");
      default:
        node->type = JsonNode::Type::kNumber;
        return ReadNumber(&node->number);
    }
  }

  bool EnterContainer(int depth) {
    if (depth <= kMaxJsonDepth)
      return true;
    error_ = "JSON nesting is deeper than " + std::to_string(kMaxJsonDepth) + " levels";
    return false;
  }

  bool ReadArray(JsonNode* node, int depth) {
    if (!EnterContainer(depth))
      return false;
    node->type = JsonNode::Type::kArray;
    ++pos_;  // [
    SkipSpace();
    if (Peek() == u']') {
      ++pos_;
      return true;
    }
    for (;;) {
      node->items.emplace_back();
      if (!ReadValue(&node->items.back(), depth))
        return false;
      SkipSpace();
      if (Peek() == u']') {
        ++pos_;
        return true;
      }
      if (Peek() != u',')
        return Fail();
      ++pos_;
      SkipSpace();
    }
  }

  bool ReadObject(JsonNode* node, int depth) {
    if (!EnterContainer(depth))
      return false;
    node->type = JsonNode::Type::kObject;
    ++pos_;  // {
    SkipSpace();
    if (Peek() == u'}') {
      ++pos_;
      return true;
    }
    std::unordered_map<std::u16string, size_t> index;
    for (;;) {
      if (Peek() != u'"')
        return Fail();
      std::u16string key;
      if (!ReadString(&key))
        return false;
      SkipSpace();
      if (Peek() != u':')
        return Fail();
      ++pos_;
      SkipSpace();
      JsonNode value;
      if (!ReadValue(&value, depth))
        return false;
      // A repeated key keeps its first place and takes the last value, as
      // a script object does.
      const auto [found, added] = index.emplace(key, node->keys.size());
      if (added) {
        node->keys.push_back(std::move(key));
        node->items.push_back(std::move(value));
      } else {
        node->items[found->second] = std::move(value);
      }
      SkipSpace();
      if (Peek() == u'}') {
        ++pos_;
        return true;
      }
      if (Peek() != u',')
        return Fail();
      ++pos_;
      SkipSpace();
    }
  }

  bool ReadString(std::u16string* output) {
    ++pos_;  // "
    for (;;) {
      if (AtEnd())
        return Fail();
      const char16_t c = text_[pos_];
      if (c == u'"') {
        ++pos_;
        return true;
      }
      if (c < 0x20)
        return Fail();
      if (c != u'\\') {
        output->push_back(c);
        ++pos_;
        continue;
      }
      ++pos_;
      if (!ReadEscape(output))
        return false;
    }
  }

  bool ReadEscape(std::u16string* output) {
    const char16_t c = Peek();
    char16_t decoded = 0;
    switch (c) {
      case u'"':
      case u'\\':
      case u'/':
        decoded = c;
        break;
      case u'b':
        decoded = u'\b';
        break;
      case u'f':
        decoded = u'\f';
        break;
      case u'n':
        decoded = u'\n';
        break;
      case u'r':
        decoded = u'\r';
        break;
      case u't':
        decoded = u'\t';
        break;
      case u'u': {
        ++pos_;
        int code = 0;
        for (int i = 0; i < 4; ++i) {
          const int digit = HexValue(Peek());
          if (digit < 0)
            return Fail();
          code = code * 16 + digit;
          ++pos_;
        }
        // Surrogates, paired or not, are kept as the code units they are.
        output->push_back(static_cast<char16_t>(code));
        return true;
      }
      default:
        return Fail();
    }
    output->push_back(decoded);
    ++pos_;
    return true;
  }

  bool ReadDigits() {
    if (!IsDigit(Peek()))
      return Fail();
    while (IsDigit(Peek()))
      ++pos_;
    return true;
  }

  bool ReadNumber(double* value) {
    const size_t start = pos_;
    if (Peek() == u'-')
      ++pos_;
    if (Peek() == u'0') {
      ++pos_;
    } else if (!ReadDigits()) {
      return false;
    }
    if (Peek() == u'.') {
      ++pos_;
      if (!ReadDigits())
        return false;
    }
    if (Peek() == u'e' || Peek() == u'E') {
      ++pos_;
      if (Peek() == u'+' || Peek() == u'-')
        ++pos_;
      if (!ReadDigits())
        return false;
    }
    // The grammar above admits ASCII only.
    const std::string digits(text_.begin() + static_cast<std::ptrdiff_t>(start),
                             text_.begin() + static_cast<std::ptrdiff_t>(pos_));
    const auto [end, status] =
        std::from_chars(digits.data(), digits.data() + digits.size(), *value);
    if (status == std::errc::result_out_of_range) {
      // Too large or too small for a double: strtod rounds to infinity,
      // zero or a subnormal the way script does.
      *value = std::strtod(digits.c_str(), nullptr);
    } else if (status != std::errc() || end != digits.data() + digits.size()) {
      pos_ = start;
      return Fail();
    }
    return true;
  }

  std::u16string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

// The two-character escape JSON.stringify writes for `c`, or null.
const char16_t* ShortEscape(char16_t c) {
  switch (c) {
    case u'"':
      return u"\\\"";
    case u'\\':
      return u"\\\\";
    case u'\b':
      return u"\\b";
    case u'\f':
      return u"\\f";
    case u'\n':
      return u"\\n";
    case u'\r':
      return u"\\r";
    case u'\t':
      return u"\\t";
    default:
      return nullptr;
  }
}

void AppendHexEscape(char16_t c, std::u16string* output) {
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  output->append(u"\\u");
  for (int shift = 12; shift >= 0; shift -= 4)
    output->push_back(kHex[(c >> shift) & 0xF]);
}

bool IsLeadSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsTrailSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendAscii(std::string_view text, std::u16string* output) {
  output->append(text.begin(), text.end());
}

void Print(const JsonNode& node, int depth, std::u16string* output) {
  switch (node.type) {
    case JsonNode::Type::kNull:
      output->append(u"null");
      return;
    case JsonNode::Type::kBool:
      output->append(node.boolean ? u"true" : u"false");
      return;
    case JsonNode::Type::kNumber:
      AppendAscii(std::isfinite(node.number) ? FormatScriptNumber(node.number) : "null", output);
      return;
    case JsonNode::Type::kString:
      AppendJsonString(node.string, output);
      return;
    case JsonNode::Type::kArray:
    case JsonNode::Type::kObject:
      break;
  }
  const bool is_object = node.type == JsonNode::Type::kObject;
  output->push_back(is_object ? u'{' : u'[');
  if (depth < kMaxJsonDepth) {
    for (size_t i = 0; i < node.items.size(); ++i) {
      if (i > 0)
        output->push_back(u',');
      if (is_object) {
        AppendJsonString(i < node.keys.size() ? node.keys[i] : std::u16string(), output);
        output->push_back(u':');
      }
      Print(node.items[i], depth + 1, output);
    }
  }
  output->push_back(is_object ? u'}' : u']');
}

}  // namespace

bool ParseJson(std::u16string_view text, JsonNode* result, std::string* error) {
  JsonNode node;
  if (!JsonReader(text).Read(&node, error))
    return false;
  *result = std::move(node);
  return true;
}

std::u16string PrintJson(const JsonNode& node) {
  std::u16string output;
  Print(node, 0, &output);
  return output;
}

void AppendJsonString(std::u16string_view text, std::u16string* output) {
  output->push_back(u'"');
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (const char16_t* escape = ShortEscape(c)) {
      output->append(escape);
      continue;
    }
    if (c < 0x20) {
      AppendHexEscape(c, output);
    } else if (IsLeadSurrogate(c) && i + 1 < text.size() && IsTrailSurrogate(text[i + 1])) {
      output->push_back(c);
      output->push_back(text[++i]);
    } else if (IsLeadSurrogate(c) || IsTrailSurrogate(c)) {
      // A lone surrogate is no character: it is written as its escape so
      // that the text stays well-formed UTF-16.
      AppendHexEscape(c, output);
    } else {
      output->push_back(c);
    }
  }
  output->push_back(u'"');
}

std::string FormatScriptNumber(double value) {
  if (std::isnan(value))
    return "NaN";
  if (std::isinf(value))
    return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0)
    return "0";  // -0 too

  // The shortest digits that read back the same, as d.ddde±x.
  char buffer[64];
  const auto printed = std::to_chars(buffer, buffer + sizeof(buffer), std::fabs(value),
                                     std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<size_t>(printed.ptr - buffer));
  const size_t e = text.find('e');
  std::string digits(1, text[0]);
  if (e > 2)
    digits.append(text.substr(2, e - 2));
  std::string_view exponent_text = text.substr(e + 1);
  if (!exponent_text.empty() && exponent_text[0] == '+')
    exponent_text.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);

  // Script's own layout: k digits with the decimal point after n of them.
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;
  std::string result = value < 0 ? "-" : "";
  if (k <= n && n <= 21) {
    result += digits;
    result.append(static_cast<size_t>(n - k), '0');
  } else if (0 < n && n <= 21) {
    result.append(digits, 0, static_cast<size_t>(n));
    result += '.';
    result.append(digits, static_cast<size_t>(n));
  } else if (-6 < n && n <= 0) {
    result += "0.";
    result.append(static_cast<size_t>(-n), '0');
    result += digits;
  } else {
    result += digits[0];
    if (k > 1) {
      result += '.';
      result.append(digits, 1);
    }
    result += n - 1 < 0 ? "e-" : "e+";
    result += std::to_string(std::abs(n - 1));
  }
  return result;
}

}  // namespace cef_standin
