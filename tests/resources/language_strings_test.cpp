#include "ui/core/language_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/resources/test_files.h"

namespace ui {
namespace {

class LanguageStringsTest : public ::testing::Test {
 protected:
  bool Load(const std::string& text) {
    return strings_.LoadStringsFile(folder_.Write(L"gdstrings.ini", text));
  }

  test::TempFolder folder_;
  LanguageStrings strings_;
};

TEST_F(LanguageStringsTest, LinesBecomeStrings) {
  ASSERT_TRUE(
      Load("title=Hello\\nWorld\n"
           ";comment=ignored\n"
           "key;x=ignored too\n"
           "a=b=c\n"
           "novalue=\n"
           "=nokey\n"
           "  spaced  =  value with blanks  \r\n"
           "doubled==2\n"
           "tabbed\t=\ttext\t\n"
           "\n"
           "   \n"
           "cr=one\\rtwo\n"
           "chinese=\xE5\xBC\x80\xE5\xA7\x8B\xE6\xB8\xB8\xE6\x88\x8F\n"
           "title2=first\n"
           "title2=second\n"));
  EXPECT_EQ(strings_.StringById(L"title"), L"Hello\nWorld");
  EXPECT_EQ(strings_.StringById(L";comment"), L"");
  EXPECT_EQ(strings_.StringById(L"key;x"), L"");
  EXPECT_EQ(strings_.StringById(L"a"), L"");
  EXPECT_EQ(strings_.StringById(L"novalue"), L"");
  EXPECT_EQ(strings_.StringById(L"spaced"), L"value with blanks");
  EXPECT_EQ(strings_.StringById(L"doubled"), L"2");
  EXPECT_EQ(strings_.StringById(L"tabbed"), L"text");
  EXPECT_EQ(strings_.StringById(L"cr"), L"one\rtwo");
  EXPECT_EQ(strings_.StringById(L"chinese"), L"开始游戏");
  EXPECT_EQ(strings_.StringById(L"title2"), L"second");
  EXPECT_EQ(strings_.StringById(L""), L"");
  EXPECT_EQ(strings_.StringById(L"Title"), L"");
  EXPECT_EQ(strings_.size(), 7u);
}

TEST_F(LanguageStringsTest, OnlyBackslashRAndNAreTranslated) {
  ASSERT_TRUE(Load("path=C:\\\\temp\\tab\\\n"));
  // "\\" then "n"-less text: the backslash pair stays, "\t" stays, the
  // trailing backslash stays.
  EXPECT_EQ(strings_.StringById(L"path"), L"C:\\\\temp\\tab\\");
}

TEST_F(LanguageStringsTest, ByteOrderMarkDoesNotHideTheFirstKey) {
  ASSERT_TRUE(
      Load("\xEF\xBB\xBF"
           "first=1\nsecond=2\n"));
  EXPECT_EQ(strings_.StringById(L"first"), L"1");
  EXPECT_EQ(strings_.StringById(L"second"), L"2");
}

TEST_F(LanguageStringsTest, LongLinesArriveInPieces) {
  // A line longer than the reader's buffer is split; the tail becomes a
  // line of its own and does not corrupt its neighbours.
  const std::string long_value(5000, 'x');
  ASSERT_TRUE(Load("before=1\nlong=" + long_value + "=tail=\nafter=2\n"));
  EXPECT_EQ(strings_.StringById(L"before"), L"1");
  EXPECT_EQ(strings_.StringById(L"after"), L"2");
  EXPECT_EQ(strings_.StringById(L"long"), std::wstring(4095 - 5, L'x'));
}

TEST_F(LanguageStringsTest, MissingFileEmptiesTheTable) {
  ASSERT_TRUE(Load("kept=1\n"));
  EXPECT_EQ(strings_.StringById(L"kept"), L"1");
  EXPECT_FALSE(strings_.LoadStringsFile(folder_.path() + L"none.ini"));
  EXPECT_EQ(strings_.size(), 0u);
  EXPECT_EQ(strings_.StringById(L"kept"), L"");
}

TEST_F(LanguageStringsTest, BinaryGarbageLoadsWithoutHarm) {
  std::string garbage;
  for (int i = 0; i < 3000; ++i) {
    const char c = static_cast<char>((i * 37 + 11) % 256);
    // Ctrl-Z ends a file read in text mode.
    if (c != '\x1A')
      garbage.push_back(c);
  }
  EXPECT_TRUE(Load(garbage + "\nreal=value\n"));
  EXPECT_EQ(strings_.StringById(L"real"), L"value");
}

}  // namespace
}  // namespace ui
