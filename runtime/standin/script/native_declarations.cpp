#include "runtime/standin/script/native_declarations.h"

#include <algorithm>

namespace cef_standin::script {

namespace {

bool IsIdentifierStart(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L'$' || c > 0x7F;
}

bool IsIdentifierPart(wchar_t c) {
  return IsIdentifierStart(c) || (c >= L'0' && c <= L'9');
}

bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

size_t SkipSpace(const std::wstring& code, size_t at) {
  while (at < code.size() && IsSpace(code[at]))
    ++at;
  return at;
}

// Whether `word` stands at `at` as a whole word.
bool WordAt(const std::wstring& code, size_t at, const wchar_t* word) {
  const std::wstring_view text(word);
  if (code.compare(at, text.size(), text) != 0)
    return false;
  if (at > 0 && IsIdentifierPart(code[at - 1]))
    return false;
  const size_t end = at + text.size();
  return end >= code.size() || !IsIdentifierPart(code[end]);
}

// A declaration starting at `at` ("native"): its name, parameters and the
// index after its semicolon; false when the text is something else.
bool ParseDeclaration(const std::wstring& code,
                      size_t at,
                      std::wstring* name,
                      std::wstring* parameters,
                      size_t* end) {
  size_t i = SkipSpace(code, at + 6);
  if (i == at + 6 || !WordAt(code, i, L"function"))
    return false;
  i = SkipSpace(code, i + 8);
  const size_t name_start = i;
  if (i >= code.size() || !IsIdentifierStart(code[i]))
    return false;
  while (i < code.size() && IsIdentifierPart(code[i]))
    ++i;
  *name = code.substr(name_start, i - name_start);
  i = SkipSpace(code, i);
  if (i >= code.size() || code[i] != L'(')
    return false;
  const size_t close = code.find(L')', i);
  if (close == std::wstring::npos)
    return false;
  *parameters = code.substr(i + 1, close - i - 1);
  std::replace(parameters->begin(), parameters->end(), L'\n', L' ');
  i = SkipSpace(code, close + 1);
  if (i >= code.size() || code[i] != L';')
    return false;
  *end = i + 1;
  return true;
}

}  // namespace

TranslatedExtension TranslateNativeDeclarations(const std::wstring& code,
                                                const std::wstring& holder) {
  TranslatedExtension result;
  result.code.reserve(code.size() + 128);
  size_t i = 0;
  while (i < code.size()) {
    const wchar_t c = code[i];
    // Literals and comments are copied as they are.
    if (c == L'"' || c == L'\'' || c == L'`') {
      size_t j = i + 1;
      while (j < code.size() && code[j] != c)
        j += code[j] == L'\\' ? 2 : 1;
      j = std::min(j + 1, code.size());
      result.code.append(code, i, j - i);
      i = j;
      continue;
    }
    if (c == L'/' && i + 1 < code.size() && (code[i + 1] == L'/' || code[i + 1] == L'*')) {
      const bool line = code[i + 1] == L'/';
      size_t j = code.find(line ? L"\n" : L"*/", i + 2);
      j = j == std::wstring::npos ? code.size() : j + (line ? 0 : 2);
      result.code.append(code, i, j - i);
      i = j;
      continue;
    }
    std::wstring name;
    std::wstring parameters;
    size_t end = 0;
    if (c == L'n' && WordAt(code, i, L"native") &&
        ParseDeclaration(code, i, &name, &parameters, &end)) {
      if (std::find(result.native_names.begin(), result.native_names.end(), name) ==
          result.native_names.end())
        result.native_names.push_back(name);
      // Line breaks inside the declaration stay, so that line numbers do.
      std::wstring breaks;
      for (size_t k = i; k < end; ++k) {
        if (code[k] == L'\n')
          breaks.push_back(L'\n');
      }
      result.code += L"function " + name + L"(" + parameters + L") { return " + holder + L"[\"" +
                     name + L"\"].apply(this, arguments); }" + breaks;
      i = end;
      continue;
    }
    result.code.push_back(c);
    ++i;
  }
  return result;
}

}  // namespace cef_standin::script
