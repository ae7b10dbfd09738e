// The browser sample's reading of typed addresses and of the page's
// message parameter, including what a page or a user may get wrong.

#include <gtest/gtest.h>

#include <string>

#include "tests/browser_windows/sample/sample_text.h"

namespace browser_sample {
namespace {

TEST(SampleTextTest, TypedAddressesAreTrimmedAndGetAWebSchemeWhenTheyNameNone) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* address;
  };
  const Case cases[] = {
      {L"127.0.0.1:8080/sample/", L"http://127.0.0.1:8080/sample/"},
      {L"  https://example.test/a b \t", L"https://example.test/a b"},
      {L"about:blank", L"about:blank"},
      {L"data:text/html,<p>hi</p>", L"data:text/html,<p>hi</p>"},
      {L"", L""},
      {L" \t\r\n ", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AddressFromTyped(c.typed), c.address) << c.typed;
}

TEST(SampleTextTest, AStringParameterIsShownDecodedAndAnythingElseAsItCame) {
  struct Case {
    std::string json;
    std::wstring shown;
  };
  const Case cases[] = {
      {"\"\xE4\xBD\xA0\xE5\xA5\xBD\"", L"\u4F60\u597D"},
      {R"(  "a\"b\\c\/d\n\t"  )", L"a\"b\\c/d\n\t"},
      {R"("\ud83d\ude00 \u00E9")", L"\xD83D\xDE00 \u00E9"},
      {R"("")", L""},
      // Unpaired surrogates cannot be shown: replaced.
      {R"("\ud83d alone \udc00")", L"\uFFFD alone \uFFFD"},
      // Not a string: shown as the page sent it.
      {R"({"text":"hi"})", L"{\"text\":\"hi\"}"},
      {"42", L"42"},
      // Broken strings: shown as sent, never cut or guessed at.
      {R"("unterminated)", L"\"unterminated"},
      {R"("a"b")", L"\"a\"b\""},
      {R"("bad \x escape")", L"\"bad \\x escape\""},
      {R"("short \u12")", L"\"short \\u12\""},
      {R"("ends in \")", L"\"ends in \\\""},
      {"\"tab\tinside\"", L"\"tab\tinside\""},
      // Not UTF-8 at all: nothing to show, and no crash.
      {"\"\xFF\xFE\"", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MessageFromJson(c.json), c.shown) << c.json;
}

}  // namespace
}  // namespace browser_sample
