#include <gtest/gtest.h>

#include <string>

#include "tests/markup/markup_test_support.h"
#include "ui/core/markup.h"

namespace ui {
namespace {

using test::Load;
using test::Show;
using test::Text;

struct ErrorCase {
  const char16_t* text;
  const char* message;
  const char* location;
};

void PrintTo(const ErrorCase& error, std::ostream* out) {
  *out << Show(Text(error.text));
}

class MarkupErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(MarkupErrorTest, FailsWithMessageAndLocation) {
  const ErrorCase& error = GetParam();
  MarkupDocument document;
  EXPECT_FALSE(Load(document, error.text));
  EXPECT_EQ(Show(document.LastErrorMessage()), error.message);
  EXPECT_EQ(Show(document.LastErrorLocation()), error.location);
  // A failed load leaves nothing behind.
  EXPECT_FALSE(document.Root().IsValid());
  EXPECT_EQ(document.ElementCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    StartTags,
    MarkupErrorTest,
    testing::Values(ErrorCase{u"text", "Expected start tag", "text"},
                    ErrorCase{u"  x<a/>", "Expected start tag", "x<a/>"},
                    ErrorCase{u"<a></a>trailing", "Expected start tag", "trailing"},
                    ErrorCase{u"<a/>\n junk", "Expected start tag", "junk"},
                    // Text between children.
                    ErrorCase{u"<a><b/>text</a>", "Expected start tag", "text</a>"},
                    // A BOM handed over as text is not skipped.
                    ErrorCase{u"\ufeff<a/>", "Expected start tag", "\\uFEFF<a/>"},
                    // The text ends where a child of element 2 would start.
                    ErrorCase{u"<a><b><c/>", "Expected start tag", ""},
                    ErrorCase{u"<a", "Error parsing element name", ""},
                    ErrorCase{u"<a><bcd", "Error parsing element name", ""},
                    ErrorCase{u"<", "Error parsing element name", ""},
                    ErrorCase{u"<a/ >", "Expected start-tag closing", "/ >"},
                    ErrorCase{u"<a x=\"1\"", "Expected start-tag closing", ""},
                    ErrorCase{u"<a x=\"1\"/", "Expected start-tag closing", "/"}));

INSTANTIATE_TEST_SUITE_P(
    EndTags,
    MarkupErrorTest,
    testing::Values(ErrorCase{u"<a><b><c>text", "Expected end-tag start", ""},
                    ErrorCase{u"<a><b></c></a>", "Unmatched closing tag", "c></a>"},
                    ErrorCase{u"<a></A>", "Unmatched closing tag", "A>"},
                    // Only the start tag's name length is compared; the rest must be ">".
                    ErrorCase{u"<a></ab>", "Unmatched closing tag", ">"},
                    ErrorCase{u"<a></a x>", "Unmatched closing tag", ">"},
                    ErrorCase{u"<abc></ab", "Unmatched closing tag", "ab"},
                    ErrorCase{u"<a></a", "Unmatched closing tag", ""},
                    ErrorCase{u"<a></a ", "Unmatched closing tag", ""}));

INSTANTIATE_TEST_SUITE_P(
    Attributes,
    MarkupErrorTest,
    testing::Values(ErrorCase{u"<a x>", "Error while parsing attributes", ">"},
                    ErrorCase{u"<a x y=\"1\"/>", "Error while parsing attributes", "y=\"1\"/>"},
                    ErrorCase{u"<a x=\"1\"y=\"2\" z/>", "Error while parsing attributes", "/>"},
                    ErrorCase{u"<a x=\"1\" ?>", "Error while parsing attributes", "?>"},
                    ErrorCase{u"<a x='1'/>", "Expected attribute value", "1'/>"},
                    ErrorCase{u"<a x=1/>", "Expected attribute value", "/>"},
                    ErrorCase{u"<a x=", "Expected attribute value", ""},
                    ErrorCase{u"<a x=\"abc", "Error while parsing attribute string", ""},
                    ErrorCase{u"<a x=\"abc/>", "Error while parsing attribute string", ""},
                    ErrorCase{u"<a x=\"&amp;", "Error while parsing attribute string", ""}));

TEST(MarkupErrorTextTest, TheLocationIsCutTo49Units) {
  MarkupDocument document;
  EXPECT_FALSE(Load(document, std::u16string(100, u'x')));
  EXPECT_EQ(Show(document.LastErrorLocation()), std::string(49, 'x'));
}

TEST(MarkupErrorTextTest, ASuccessfulLoadClearsTheErrorTexts) {
  MarkupDocument document;
  ASSERT_FALSE(Load(document, u"<a x='1'/>"));
  ASSERT_NE(Show(document.LastErrorMessage()), "");
  ASSERT_TRUE(Load(document, u"<a x=\"1\"/>"));
  EXPECT_EQ(Show(document.LastErrorMessage()), "");
  EXPECT_EQ(Show(document.LastErrorLocation()), "");
}

TEST(MarkupErrorTextTest, BlanksBetweenTheEndTagNameAndTheBracketAreAccepted) {
  MarkupDocument document;
  EXPECT_TRUE(Load(document, u"<a><b></ b \t\r\n></a >"));
  EXPECT_EQ(Show(document.Root().FirstChild().Name()), "b");
}

}  // namespace
}  // namespace ui
