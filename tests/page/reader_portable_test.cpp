// The page engine's portable half: the markup reader, the document model,
// charsets, addresses, the style subset and form submissions.

#include <gtest/gtest.h>

#include <string>

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/document.h"
#include "runtime/standin/page/form_submission.h"
#include "runtime/standin/page/style.h"
#include "runtime/standin/page/url.h"

namespace {

using namespace cef_standin::page;

std::string BodyOf(const std::string& markup) {
  Document document("http://host/a/b.html");
  document.LoadUtf8(markup);
  return document.body()->InnerHtml();
}

TEST(PageReader, RepairsMarkupTheWayBrowsersDo) {
  struct Case {
    const char* markup;
    const char* body;
  };
  const Case cases[] = {
      {"<p>one<p>two", "<p>one</p><p>two</p>"},
      {"<ul><li>a<li>b</ul>after", "<ul><li>a</li><li>b</li></ul>after"},
      {"<p>text<div>block</div>", "<p>text</p><div>block</div>"},
      {"<div><span>open", "<div><span>open</span></div>"},
      {"a<br>b<img src=x>c</img>", "a<br>b<img src=\"x\">c"},
      {"<b>bold</i>still</b>", "<b>boldstill</b>"},
      {"x</p>y", "x<p></p>y"},
      {"<table><tr><td>1<td>2<tr><td>3</table>",
       "<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>"},
      {"<select><option>a<option>b</select>",
       "<select><option>a</option><option>b</option></select>"},
      {"<!-- note --><!DOCTYPE x><?pi?>t", "t"},
      {"a < b <3", "a &lt; b &lt;3"},
      {"<A HREF='q' Class=x>L</A>", "<a href=\"q\" class=\"x\">L</a>"},
      {"<input value=\"&quot;q&quot;\" disabled>", "<input value=\"&quot;q&quot;\" disabled=\"\">"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BodyOf(c.markup), c.body) << c.markup;
}

TEST(PageReader, DecodesCharacterReferences) {
  Document document;
  document.LoadUtf8(
      "<p id=p>&amp; &lt;&gt; &#233;&#xE9;&#X4E2D; &nbsp;&copy &unknown; &#x110000; &#128; &</p>");
  EXPECT_EQ(document.GetElementById("p")->TextContent(),
            "& <> \xC3\xA9\xC3\xA9\xE4\xB8\xAD \xC2\xA0\xC2\xA9 &unknown; \xEF\xBF\xBD "
            "\xE2\x82\xAC &");
}

TEST(PageReader, SplitsHeadFromBodyAndListsScriptsInOrder) {
  Document document("http://host/dir/page.html");
  document.LoadUtf8(
      "<html><head><title> The  page\n</title><base href='/root/'>"
      "<script src='a.js'></script></head><body class=main>"
      "<script>if (a < b && c) { x = '</div>'; }</script><p>text</p>"
      "<style>p { color: red }</style></body></html>");
  EXPECT_EQ(document.Title(), "The page");
  EXPECT_EQ(document.body()->AttributeOr("class"), "main");
  EXPECT_EQ(document.head()->children().size(), 3u);
  ASSERT_EQ(document.scripts().size(), 2u);
  EXPECT_EQ(document.scripts()[0].src_url, "http://host/root/a.js");
  EXPECT_EQ(document.scripts()[1].text, "if (a < b && c) { x = '</div>'; }");
  EXPECT_EQ(document.ResolveUrl("x.png"), "http://host/root/x.png");
  document.SetTitle("New");
  EXPECT_EQ(document.Title(), "New");
}

TEST(PageReader, HostileDocumentsStayWithinTheLimits) {
  std::string deep;
  for (int i = 0; i < 200000; ++i)
    deep += "<div>";
  deep += "bottom";
  for (int i = 0; i < 200000; ++i)
    deep += "</div>";
  deep += "<p id=after>after</p>";
  Document nested;
  nested.LoadUtf8(deep);
  int depth = 0;
  for (const Node* node = nested.body().get(); node && !node->children().empty();
       node = node->children().front().get())
    ++depth;
  EXPECT_LE(depth, Document::kMaxDepth);
  EXPECT_NE(nested.body()->TextContent().find("bottom"), std::string::npos);
  // The dropped tags' end tags closed nothing: the paragraph is the body's.
  ASSERT_TRUE(nested.GetElementById("after"));
  EXPECT_EQ(nested.GetElementById("after")->parent(), nested.body().get());

  std::string many;
  for (std::size_t i = 0; i < Document::kMaxNodes + 1000; ++i)
    many += "<br>";
  Document wide;
  wide.LoadUtf8(many);
  EXPECT_LE(wide.node_count(), Document::kMaxNodes + 3);

  Document huge;
  huge.LoadUtf8("<p>" + std::string(50u << 20, 'x') + "</p>");
  EXPECT_EQ(huge.body()->TextContent().size(), Document::kMaxTextBytes);
}

TEST(PageModel, TreeEditsKeepParentLinksAndRefuseCycles) {
  Document document;
  document.LoadUtf8("<div id=outer><span id=inner>x</span></div>");
  const NodePtr outer = document.GetElementById("outer");
  const NodePtr inner = document.GetElementById("inner");
  EXPECT_FALSE(inner->AppendChild(outer));
  EXPECT_FALSE(inner->AppendChild(inner));
  const NodePtr added = document.CreateElement("B");
  EXPECT_EQ(added->tag_name(), "b");
  outer->InsertBefore(added, inner.get());
  EXPECT_EQ(outer->InnerHtml(), "<b></b><span id=\"inner\">x</span>");
  document.body()->AppendChild(inner);  // moves it
  EXPECT_EQ(inner->parent(), document.body().get());
  EXPECT_EQ(outer->children().size(), 1u);
  EXPECT_FALSE(outer->RemoveChild(inner.get()));

  const auto count = document.change_count();
  outer->SetInnerHtml("<i>one</i> &amp; <u>two");
  EXPECT_GT(document.change_count(), count);
  EXPECT_EQ(outer->InnerHtml(), "<i>one</i> &amp; <u>two</u>");
  EXPECT_EQ(outer->TextContent(), "one & two");
  outer->SetTextContent("<plain>");
  EXPECT_EQ(outer->InnerHtml(), "&lt;plain&gt;");
}

TEST(PageModel, NodesHeldByScriptOutliveRemovalAndTheirDocument) {
  NodePtr kept;
  NodePtr child;
  {
    Document document;
    document.LoadUtf8("<div id=d><p>text</p></div>");
    kept = document.GetElementById("d");
    child = kept->children().front();
    document.body()->RemoveChild(kept.get());
    EXPECT_FALSE(kept->IsConnected());
    EXPECT_EQ(kept->parent(), nullptr);
  }
  EXPECT_EQ(kept->document(), nullptr);
  EXPECT_EQ(child->parent(), kept.get());
  kept->SetAttribute("class", "orphan");
  kept->SetInnerHtml("<b>still works</b>");
  EXPECT_EQ(kept->TextContent(), "still works");
  EXPECT_EQ(child->parent(), nullptr);
  EXPECT_EQ(child->TextContent(), "text");
}

TEST(PageModel, SelectorsMatchTheSimpleSubset) {
  Document document;
  document.LoadUtf8(
      "<div id=list class='servers big'><p class=row data-id=1><a href=x>a</a></p>"
      "<p class='row busy'>b</p><span class=row>c</span></div><p id=other>d</p>");
  struct Case {
    const char* selector;
    std::size_t count;
  };
  const Case cases[] = {{"p", 3},           {"#list", 1},         {".row", 3},
                        {"p.row", 2},       {"p.row.busy", 1},    {"[data-id]", 1},
                        {"[data-id=1]", 1}, {"[data-id='2']", 0}, {"div p", 2},
                        {"#list a", 1},     {"span, #other", 2},  {"*", 9},
                        {"div > p", 0},     {"p:first-child", 0}, {"", 0},
                        {"[x", 0}};
  for (const Case& c : cases)
    EXPECT_EQ(document.QuerySelectorAll(c.selector).size(), c.count) << c.selector;
  EXPECT_EQ(document.QuerySelector(".busy")->TextContent(), "b");
  EXPECT_TRUE(document.GetElementById("list")->HasClass("big"));
}

TEST(PageModel, FormStateStartsFromAttributesAndChangesApart) {
  Document document;
  document.LoadUtf8(
      "<input id=t value=start><input id=c type=checkbox checked>"
      "<textarea id=a>typed &amp; kept</textarea>"
      "<select id=s><option value=1>one<option selected>two</select>");
  const NodePtr text = document.GetElementById("t");
  text->SetValue("changed");
  EXPECT_EQ(text->Value(), "changed");
  EXPECT_EQ(text->AttributeOr("value"), "start");
  const NodePtr check = document.GetElementById("c");
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(check->Value(), "on");
  check->SetChecked(false);
  EXPECT_TRUE(check->HasAttribute("checked"));
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(document.GetElementById("a")->Value(), "typed & kept");
  const NodePtr select = document.GetElementById("s");
  EXPECT_EQ(select->Value(), "two");
  select->SetValue("1");
  EXPECT_EQ(select->Value(), "1");
}

TEST(PageStyle, ReadsTheStyleSubset) {
  EXPECT_EQ(ParseColor("red"), 0xFFFF0000u);
  EXPECT_EQ(ParseColor(" #0f8 "), 0xFF00FF88u);
  EXPECT_EQ(ParseColor("#1A2b3C"), 0xFF1A2B3Cu);
  EXPECT_EQ(ParseColor("rgb(1, 2, 300)"), 0xFF0102FFu);
  EXPECT_EQ(ParseColor("transparent"), kTransparent);
  EXPECT_FALSE(ParseColor("#12"));
  EXPECT_FALSE(ParseColor("rgb(1,2)"));
  EXPECT_FALSE(ParseLength("-3px", 16));
  EXPECT_EQ(ParseLength("1.5em", 10)->Resolve(0, 0), 15);
  EXPECT_EQ(ParseLength("50%", 16)->Resolve(300, 0), 150);

  Document document;
  document.LoadUtf8(
      "<div id=d style='color: blue; margin: 1px 2px 3px; DISPLAY:none ; junk; width:;"
      "font-size: 20px; font-weight: bold; text-align: center; padding-left: 5px'></div>");
  const NodePtr div = document.GetElementById("d");
  const ComputedStyle style = ComputeStyle(RootStyle(), "div", div->inline_style(), 100);
  EXPECT_EQ(style.display, Display::kNone);
  EXPECT_EQ(style.color, 0xFF0000FFu);
  EXPECT_EQ(style.margin.left, 2);
  EXPECT_EQ(style.margin.bottom, 3);
  EXPECT_EQ(style.padding.left, 5);
  EXPECT_EQ(style.font_size, 20);
  EXPECT_TRUE(style.bold);
  EXPECT_EQ(style.text_align, TextAlign::kCenter);
  div->SetStyleProperty("display", "block");
  EXPECT_EQ(div->GetStyleProperty("display"), "block");
  EXPECT_NE(div->AttributeOr("style").find("display: block;"), std::string::npos);
  EXPECT_EQ(ComputeStyle(RootStyle(), "div", div->inline_style(), 100).display, Display::kBlock);
}

TEST(PageCharset, DecodesTheDeclaredOrSniffedCharset) {
  EXPECT_EQ(SniffCharset("<meta charset=\"GB2312\">", ""), "gbk");
  EXPECT_EQ(
      SniffCharset("<meta http-equiv=Content-Type content='text/html; charset=ISO-8859-1'>", ""),
      "windows-1252");
  EXPECT_EQ(SniffCharset("<meta charset=gbk>", "utf-8"), "utf-8");
  EXPECT_EQ(SniffCharset("plain", "bogus"), "utf-8");
  EXPECT_EQ(DecodeToUtf8("caf\xE9 \x80", "latin1"), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(DecodeToUtf8("\xEF\xBB\xBFok\xC3\x28\xE4\xB8\xAD\xF0\x9F", "utf-8"),
            "ok\xEF\xBF\xBD(\xE4\xB8\xAD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xF0\x9F\x98\x80z")), "a\xF0\x9F\x98\x80z");
}

TEST(PageUrl, ResolvesRelativeAddresses) {
  struct Case {
    const char* base;
    const char* relative;
    const char* resolved;
  };
  const Case cases[] = {
      {"http://h/a/b/c.html", "d.html", "http://h/a/b/d.html"},
      {"http://h/a/b/c.html", "../d?x=1#f", "http://h/a/d?x=1#f"},
      {"http://h/a/b/c.html", "/root", "http://h/root"},
      {"http://h/a/b/c.html?q", "#top", "http://h/a/b/c.html?q#top"},
      {"http://h/a/b/c.html?q", "?r", "http://h/a/b/c.html?r"},
      {"http://h/a/", "//other/x", "http://other/x"},
      {"http://h:8080", "x/../../y", "http://h:8080/y"},
      {"http://h/a", " HTTPS://Else/p ", "https://Else/p"},
      {"http://h/a/", "", "http://h/a/"},
      {"about:blank", "page.html", "page.html"},
      {"http://h/a/", "data:text/html,<p>", "data:text/html,<p>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveUrl(c.base, c.relative), c.resolved) << c.base << " + " << c.relative;
}

TEST(PageForm, BuildsTheSubmissionOfItsControls) {
  Document document("http://host/dir/page.html");
  document.LoadUtf8(
      "<form id=f action='send?old=1#x'>"
      "<input name=q value='a b&c=\xE4\xB8\xAD'><input name=off disabled value=1>"
      "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=v>"
      "<input type=radio name=r value=1><input type=radio name=r value=2 checked>"
      "<textarea name=t>l1\nl2</textarea><select name=s><option>x<option selected>y</select>"
      "<input type=submit name=go value=Go><button id=b name=btn value=B>B</button>"
      "<input value=unnamed></form>");
  const NodePtr form = document.GetElementById("f");
  FormSubmission get = BuildFormSubmission(*form, nullptr, document.BaseUrl());
  EXPECT_EQ(get.method, "GET");
  EXPECT_EQ(get.url, "http://host/dir/send?q=a+b%26c%3D%E4%B8%AD&c1=on&r=2&t=l1%0D%0Al2&s=y");
  form->SetAttribute("method", "Post");
  FormSubmission post =
      BuildFormSubmission(*form, document.GetElementById("b").get(), document.BaseUrl());
  EXPECT_EQ(post.method, "POST");
  EXPECT_EQ(post.url, "http://host/dir/send?old=1#x");
  EXPECT_EQ(post.body, "q=a+b%26c%3D%E4%B8%AD&c1=on&r=2&t=l1%0D%0Al2&s=y&btn=B");
  EXPECT_EQ(post.content_type, "application/x-www-form-urlencoded");
}

}  // namespace
