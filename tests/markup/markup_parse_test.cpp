#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/markup/markup_test_support.h"
#include "ui/core/markup.h"

namespace ui {
namespace {

using test::Load;
using test::Show;
using test::Text;

// Names of the element's children, in order.
std::vector<std::string> ChildNames(const MarkupElement& element) {
  std::vector<std::string> names;
  for (MarkupElement child = element.FirstChild(); child.IsValid(); child = child.NextSibling())
    names.push_back(Show(child.Name()));
  return names;
}

TEST(MarkupStructureTest, LinksChildrenAndSiblingsInDocumentOrder) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<r><a/><b>\n  <b1/><b2/>\n</b><c x=\"1\"/></r>"));
  const MarkupElement root = document.Root();
  EXPECT_EQ(Show(root.Name()), "r");
  EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "b", "c"}));
  const MarkupElement b = root.FirstChild().NextSibling();
  EXPECT_TRUE(b.HasChildren());
  EXPECT_EQ(ChildNames(b), (std::vector<std::string>{"b1", "b2"}));
  EXPECT_FALSE(root.FirstChild().HasChildren());
  EXPECT_FALSE(root.NextSibling().IsValid());
  // Row 0 is reserved; six elements follow.
  EXPECT_EQ(document.ElementCount(), 7u);
}

TEST(MarkupStructureTest, EmptyElementsWithAndWithoutBlankBeforeTheSlash) {
  for (const char16_t* text : {u"<Control/>", u"<Control />", u"<Control\t\r\n/>"}) {
    MarkupDocument document;
    ASSERT_TRUE(Load(document, text)) << Show(Text(text));
    const MarkupElement root = document.Root();
    EXPECT_EQ(Show(root.Name()), "Control");
    EXPECT_FALSE(root.HasChildren());
    EXPECT_EQ(root.AttributeCount(), 0);
    EXPECT_EQ(document.ElementCount(), 2u);
  }
}

TEST(MarkupStructureTest, FurtherTopLevelElementsAreSiblingsOfTheRoot) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a/>\n<b></b>\n<c/>"));
  EXPECT_EQ(Show(document.Root().Name()), "a");
  EXPECT_EQ(Show(document.Root().NextSibling().Name()), "b");
  EXPECT_EQ(Show(document.Root().NextSibling().NextSibling().Name()), "c");
}

TEST(MarkupStructureTest, AStrayTopLevelEndTagEndsTheDocument) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a/></b> anything <at all"));
  EXPECT_EQ(Show(document.Root().Name()), "a");
  EXPECT_FALSE(document.Root().NextSibling().IsValid());
}

TEST(MarkupStructureTest, BlanksAreEveryUnitFromOneTo32) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"\x01<a\x02x\x1f=\x10\"1\"\x20/>\x1f"));
  EXPECT_EQ(Show(document.Root().AttributeName(0)), "x");
  // DEL is no blank.
  EXPECT_FALSE(Load(document, u"\x7f<a/>"));
}

TEST(MarkupStructureTest, NamesTakeLettersDigitsUnderscoresAndColons) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<ns:Item_2 x_1:y=\"v\"/>"));
  EXPECT_EQ(Show(document.Root().Name()), "ns:Item_2");
  EXPECT_EQ(Show(document.Root().AttributeName(0)), "x_1:y");
  // Letters beyond ASCII count as the runtime library sees them.
  ASSERT_TRUE(Load(document, u"<\u00e9l\u00e8ve \u540d\u5b57=\"1\"/>"));
  EXPECT_EQ(Show(document.Root().Name()), "\\u00E9l\\u00E8ve");
  EXPECT_EQ(Show(document.Root().AttributeName(0)), "\\u540D\\u5B57");
}

TEST(MarkupStructureTest, HyphenatedAttributeNamesAreNotNames) {
  MarkupDocument document;
  EXPECT_FALSE(Load(document, u"<a data-x=\"1\"/>"));
  EXPECT_EQ(Show(document.LastErrorMessage()), "Error while parsing attributes");
}

TEST(MarkupStructureTest, DeepNestingNeedsNoStack) {
  constexpr int kDepth = 200000;
  std::u16string text;
  for (int i = 0; i < kDepth; ++i)
    text += u"<e>";
  for (int i = 0; i < kDepth; ++i)
    text += u"</e>";
  MarkupDocument document;
  ASSERT_TRUE(Load(document, text));
  int depth = 0;
  for (MarkupElement element = document.Root(); element.IsValid(); element = element.FirstChild())
    ++depth;
  EXPECT_EQ(depth, kDepth);
}

TEST(MarkupStructureTest, TheElementTableGrowsByHalfAndFiveHundredRows) {
  // Rows in use including row 0 -> rows allocated.
  const std::vector<std::pair<int, uint32_t>> cases = {
      {2, 500}, {500, 500}, {501, 1250}, {1250, 1250}, {1251, 2375}};
  for (const auto& [rows, capacity] : cases) {
    std::u16string text = u"<r>";
    for (int i = 2; i < rows; ++i)
      text += u"<c/>";
    text += u"</r>";
    MarkupDocument document;
    ASSERT_TRUE(Load(document, text));
    EXPECT_EQ(document.ElementCount(), static_cast<uint32_t>(rows));
    EXPECT_EQ(document.ElementCapacity(), capacity) << rows;
  }
}

// Comments, declarations and processing instructions --------------------------

TEST(MarkupDeclarationTest, DeclarationsAndCommentsAreSkipped) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document,
                   u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                   u"<!-- a <b> in a comment -->\n"
                   u"<Window>\n  <!-- - > -- -->\n  <?pi data?>\n  <Box/>\n</Window>\n"
                   u"<!-- trailing -->"));
  EXPECT_EQ(Show(document.Root().Name()), "Window");
  EXPECT_EQ(ChildNames(document.Root()), (std::vector<std::string>{"Box"}));
}

TEST(MarkupDeclarationTest, OnlyDeclarationsAndBlanksGiveNoRoot) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u" <?xml version=\"1.0\"?>\n<!-- nothing -->\n "));
  EXPECT_FALSE(document.Root().IsValid());
  ASSERT_TRUE(Load(document, u""));
  EXPECT_FALSE(document.Root().IsValid());
  EXPECT_EQ(Show(document.LastErrorMessage()), "");
}

TEST(MarkupDeclarationTest, ADeclarationWithoutArrowSwallowsTheRest) {
  MarkupDocument document;
  // A doctype has no "->", so it runs to the end: the element is never seen.
  ASSERT_TRUE(Load(document, u"<!DOCTYPE skin><a/>"));
  EXPECT_FALSE(document.Root().IsValid());
  // CDATA is no exception; inside the first element that is still success.
  ASSERT_TRUE(Load(document, u"<a><![CDATA[<b/>]]></a>"));
  EXPECT_FALSE(document.Root().HasChildren());
  // The shortest forms close at once.
  ASSERT_TRUE(Load(document, u"<!-><?><a/>"));
  EXPECT_EQ(Show(document.Root().Name()), "a");
}

// Text ending early ------------------------------------------------------------

TEST(MarkupEarlyEndTest, TextMayEndInsideTheFirstElementOrItsChild) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<Window size=\"1,2\"><Box width=\"3\">some text"));
  const MarkupElement window = document.Root();
  EXPECT_EQ(Show(window.Name()), "Window");
  const MarkupElement box = window.FirstChild();
  // The name ends at the name even though no end tag was read.
  EXPECT_EQ(Show(box.Name()), "Box");
  ASSERT_EQ(box.AttributeCount(), 1);
  EXPECT_EQ(Show(box.AttributeValue(0)), "3");
  EXPECT_EQ(window.AttributeCount(), 1);

  ASSERT_TRUE(Load(document, u"<Window>"));
  EXPECT_EQ(Show(document.Root().Name()), "Window");
  ASSERT_TRUE(Load(document, u"<a><b/>"));
  EXPECT_TRUE(document.Root().HasChildren());
}

TEST(MarkupEarlyEndTest, TextEndingOneLevelDeeperFails) {
  MarkupDocument document;
  EXPECT_FALSE(Load(document, u"<a><b><c>text"));
  EXPECT_EQ(Show(document.LastErrorMessage()), "Expected end-tag start");
  EXPECT_EQ(Show(document.LastErrorLocation()), "");
  EXPECT_FALSE(document.Root().IsValid());
  EXPECT_EQ(document.ElementCount(), 0u);
  // A later top-level element is not element 1: its children may not end
  // early.
  EXPECT_FALSE(Load(document, u"<a/><b><c>text"));
  EXPECT_EQ(Show(document.LastErrorMessage()), "Expected end-tag start");
  EXPECT_TRUE(Load(document, u"<a/><b>text"));
}

// Entities ------------------------------------------------------------------------

TEST(MarkupReferenceTest, ThePredefinedReferencesAreDecoded) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a v=\"&amp;&lt;&gt;&quot;&apos;\" w=\"x &lt; y\"/>"));
  EXPECT_EQ(Show(document.Root().AttributeValue(0)), "&<>\"'");
  EXPECT_EQ(Show(document.Root().AttributeValue(1)), "x < y");
}

TEST(MarkupReferenceTest, OtherReferencesStayAsWritten) {
  const char16_t* const kUnchanged[] = {
      u"&euro;", u"&#65;", u"&#x41;", u"&#xFFFFFFFF;", u"&#99999999999;", u"&#0;",
      u"&AMP;",  u"&amp",  u"&",      u"&;",           u"a & b",          u"&ampx;",
  };
  for (const char16_t* value : kUnchanged) {
    MarkupDocument document;
    const std::u16string text = u"<a v=\"" + std::u16string(value) + u"\"/>";
    ASSERT_TRUE(Load(document, text)) << Show(Text(text));
    EXPECT_EQ(Show(document.Root().AttributeValue(0)), Show(Text(value)));
  }
}

TEST(MarkupReferenceTest, DecodingIsSinglePassAndConsecutive) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a v=\"&amp;amp;&&amp;&lt;&lt;\"/>"));
  EXPECT_EQ(Show(document.Root().AttributeValue(0)), "&amp;&&<<");
}

TEST(MarkupReferenceTest, ShortenedValuesLeaveTheFollowingAttributesIntact) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a v=\"&quot;&quot;&quot;\" w=\"2\"><b x=\"&lt;\"/></a>"));
  const MarkupElement a = document.Root();
  ASSERT_EQ(a.AttributeCount(), 2);
  EXPECT_EQ(Show(a.AttributeValue(0)), "\"\"\"");
  EXPECT_EQ(Show(a.AttributeName(1)), "w");
  EXPECT_EQ(Show(a.AttributeValue(1)), "2");
  EXPECT_EQ(Show(a.FirstChild().AttributeValue(0)), "<");
}

TEST(MarkupReferenceTest, BlanksAndBreaksInValuesAreKept) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a v=\" x\ty\r\nz \" w=\"/>'\"/>"));
  EXPECT_EQ(Show(document.Root().AttributeValue(0)), " x\\u0009y\\u000D\\u000Az ");
  EXPECT_EQ(Show(document.Root().AttributeValue(1)), "/>'");
}

TEST(MarkupReferenceTest, ElementTextWithReferencesDoesNotDisturbChildren) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a>&lt;&gt;&amp;<b x=\"1\"/></a>"));
  EXPECT_EQ(ChildNames(document.Root()), (std::vector<std::string>{"b"}));
  EXPECT_EQ(document.Root().AttributeCount(), 0);
  EXPECT_EQ(document.Root().FirstChild().AttributeCount(), 1);
}

}  // namespace
}  // namespace ui
