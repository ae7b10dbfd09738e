#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/markup/markup_test_support.h"
#include "ui/core/markup.h"

namespace ui {
namespace {

using test::Load;
using test::Show;
using test::Text;

using ValueBuffer = std::array<MarkupChar, MarkupElement::kValueBufferSize>;

std::u16string ElementWithAttributes(int count) {
  std::u16string text = u"<e";
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(i);
    const std::u16string wide(number.begin(), number.end());
    text += u" a" + wide + u"=\"v" + wide + u"\"";
  }
  return text + u"/>";
}

TEST(MarkupAttributeTest, NamesAndValuesInDocumentOrder) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<Window size=\"800,600\" caption=\"0,0,0,36\"/>"));
  const MarkupElement window = document.Root();
  ASSERT_EQ(window.AttributeCount(), 2);
  EXPECT_EQ(Show(window.AttributeName(0)), "size");
  EXPECT_EQ(Show(window.AttributeValue(0)), "800,600");
  EXPECT_EQ(Show(window.AttributeName(1)), "caption");
  EXPECT_EQ(Show(window.AttributeValue(1)), "0,0,0,36");
  // Out of range gives the empty string, not null.
  EXPECT_EQ(Show(window.AttributeName(2)), "");
  EXPECT_EQ(Show(window.AttributeValue(-1)), "");
}

TEST(MarkupAttributeTest, FindAttributeMatchesNamesExactly) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<Window size=\"800,600\" caption=\"0,0,0,36\" size=\"1,1\"/>"));
  const MarkupElement window = document.Root();
  ValueBuffer buffer;
  buffer.fill(u'#');
  EXPECT_FALSE(window.FindAttribute(Text(u"Size").c_str(), buffer));
  EXPECT_FALSE(window.FindAttribute(Text(u"siz").c_str(), buffer));
  EXPECT_FALSE(window.FindAttribute(Text(u"sizes").c_str(), buffer));
  EXPECT_EQ(buffer[0], u'#');  // untouched on failure

  // The first of two equal names wins.
  ASSERT_TRUE(window.FindAttribute(Text(u"size").c_str(), buffer));
  EXPECT_EQ(Show(buffer.data()), "800,600");
  ASSERT_TRUE(window.FindAttribute(Text(u"caption").c_str(), buffer));
  EXPECT_EQ(Show(buffer.data()), "0,0,0,36");
}

TEST(MarkupAttributeTest, FindAttributeCutsLongValuesTo499Units) {
  const std::u16string value(600, u'v');
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<e x=\"\" long=\"" + value + u"\"/>"));
  ValueBuffer buffer;
  buffer.fill(u'#');
  ASSERT_TRUE(document.Root().FindAttribute(Text(u"long").c_str(), buffer));
  EXPECT_EQ(Show(buffer.data()), std::string(499, 'v'));
  // An empty value is found and copied as empty.
  ASSERT_TRUE(document.Root().FindAttribute(Text(u"x").c_str(), buffer));
  EXPECT_EQ(buffer[0], 0);
}

TEST(MarkupAttributeTest, AnElementShowsAtMost64Attributes) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, ElementWithAttributes(70)));
  const MarkupElement element = document.Root();
  EXPECT_EQ(element.AttributeCount(), 64);
  EXPECT_EQ(Show(element.AttributeName(63)), "a63");
  EXPECT_EQ(Show(element.AttributeValue(63)), "v63");
  EXPECT_EQ(Show(element.AttributeName(64)), "");
  ValueBuffer buffer;
  EXPECT_FALSE(element.FindAttribute(Text(u"a64").c_str(), buffer));
  EXPECT_TRUE(element.FindAttribute(Text(u"a0").c_str(), buffer));

  ASSERT_TRUE(Load(document, ElementWithAttributes(64)));
  EXPECT_EQ(document.Root().AttributeCount(), 64);
}

TEST(MarkupAttributeTest, AttributesOfElementsWithTextAndChildren) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a p=\"1\" q = \"2\" >\"text\" &amp; more<b r=\"3\">x</b><c/></a>"));
  // The text after the start tag is no attribute, nor is anything later.
  EXPECT_EQ(document.Root().AttributeCount(), 2);
  EXPECT_EQ(Show(document.Root().AttributeValue(1)), "2");
}

TEST(MarkupAttributeTest, EmptyNamesAndValues) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a =\"x\" b=\"\"/>"));
  const MarkupElement a = document.Root();
  ASSERT_EQ(a.AttributeCount(), 2);
  EXPECT_EQ(Show(a.AttributeName(0)), "");
  EXPECT_EQ(Show(a.AttributeValue(0)), "x");
  EXPECT_EQ(Show(a.AttributeValue(1)), "");
}

TEST(MarkupHandleTest, AnInvalidHandleYieldsNothing) {
  const MarkupElement invalid;
  EXPECT_FALSE(invalid.IsValid());
  EXPECT_FALSE(invalid.FirstChild().IsValid());
  EXPECT_FALSE(invalid.NextSibling().IsValid());
  EXPECT_FALSE(invalid.HasChildren());
  EXPECT_EQ(invalid.Name(), nullptr);
  EXPECT_EQ(invalid.AttributeCount(), 0);
  EXPECT_EQ(invalid.AttributeName(0), nullptr);
  EXPECT_EQ(invalid.AttributeValue(0), nullptr);
  ValueBuffer buffer{};
  EXPECT_FALSE(invalid.FindAttribute(Text(u"x").c_str(), buffer));

  MarkupDocument empty;
  EXPECT_FALSE(empty.Root().IsValid());
  EXPECT_EQ(empty.ElementCount(), 0u);
}

TEST(MarkupHandleTest, HandlesOfAReleasedDocumentTurnInvalid) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a x=\"1\"><b/></a>"));
  const MarkupElement child = document.Root().FirstChild();
  ASSERT_TRUE(child.IsValid());
  document.Release();
  EXPECT_FALSE(child.IsValid());
  EXPECT_EQ(child.Name(), nullptr);
  EXPECT_FALSE(child.NextSibling().IsValid());
  EXPECT_EQ(document.ElementCount(), 0u);
  EXPECT_EQ(document.ElementCapacity(), 0u);
}

TEST(MarkupHandleTest, CopiesKeepTheMappedAttributes) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a x=\"1\" y=\"2\"/><b z=\"3\"/>"));
  MarkupElement a = document.Root();
  ASSERT_EQ(a.AttributeCount(), 2);
  const MarkupElement copy = a;
  EXPECT_EQ(Show(copy.AttributeValue(1)), "2");

  MarkupElement b = a.NextSibling();
  ASSERT_EQ(b.AttributeCount(), 1);
  b = a;
  EXPECT_EQ(b.AttributeCount(), 2);
  EXPECT_EQ(Show(b.AttributeName(0)), "x");
  a = a.NextSibling();  // assignment from a fresh handle remaps
  EXPECT_EQ(a.AttributeCount(), 1);
  EXPECT_EQ(Show(a.AttributeValue(0)), "3");
}

TEST(MarkupLoadTest, ReloadingReplacesTheDocument) {
  MarkupDocument document;
  ASSERT_TRUE(Load(document, u"<a><b/><c/></a>"));
  ASSERT_TRUE(Load(document, u"<z/>"));
  EXPECT_EQ(Show(document.Root().Name()), "z");
  EXPECT_EQ(document.ElementCount(), 2u);
  ASSERT_TRUE(document.LoadFromString(nullptr));
  EXPECT_FALSE(document.Root().IsValid());
}

}  // namespace
}  // namespace ui
