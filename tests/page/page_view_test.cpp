#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "tests/page/page_view_test_support.h"

namespace page_test {
namespace {

TEST(PageViewLayout, ParagraphWrapsAtTheViewportWidthAndPaintsItsText) {
  const std::string words = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu";
  ViewFixture narrow("<p id=p style='margin:0'>" + words + "</p>", 120, 400);
  ViewFixture wide("<p id=p style='margin:0'>" + words + "</p>", 2000, 400);
  const Rect one_line = wide.view.ElementRect(wide.document->GetElementById("p"));
  const Rect wrapped = narrow.view.ElementRect(narrow.document->GetElementById("p"));
  ASSERT_GT(one_line.height, 0);
  // Each line is as tall as the single line of the wide view.
  EXPECT_EQ(wrapped.height % one_line.height, 0);
  const int lines = wrapped.height / one_line.height;
  EXPECT_GE(lines, 4);
  EXPECT_LE(lines, 8);
  // Every line stays inside the 120 pixels less the body's 8-pixel margins.
  EXPECT_LE(wrapped.right(), 120 - 8);

  narrow.Paint();
  EXPECT_GT(narrow.InkIn({wrapped.x, wrapped.y, wrapped.width, one_line.height}), 20);
  EXPECT_EQ(narrow.InkIn({0, wrapped.bottom() + 2, 120, 40}), 0);
}

TEST(PageViewLayout, CjkTextBreaksBetweenCharacters) {
  ViewFixture page(
      "<p id=p style='margin:0'>\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD"
      "\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87</p>",
      80, 300);
  const Rect box = page.view.ElementRect(page.document->GetElementById("p"));
  EXPECT_LE(box.right(), 80 - 8);
  EXPECT_GT(box.height, 40);  // twelve characters do not fit one 64-pixel line
}

TEST(PageViewLayout, DisplayNoneTakesNoRoomAndScriptCanShowItAgain) {
  ViewFixture page(
      "<div id=a>first</div><div id=hidden style='display:none'>gone</div>"
      "<div id=b>second</div>");
  const NodePtr a = page.document->GetElementById("a");
  const NodePtr b = page.document->GetElementById("b");
  const NodePtr hidden = page.document->GetElementById("hidden");
  EXPECT_TRUE(page.view.ElementRect(hidden).IsEmpty());
  EXPECT_EQ(page.view.ElementRect(b).y, page.view.ElementRect(a).bottom());

  hidden->SetStyleProperty("display", "block");
  EXPECT_FALSE(page.delegate.invalidated.empty());
  EXPECT_EQ(page.view.ElementRect(hidden).y, page.view.ElementRect(a).bottom());
  EXPECT_EQ(page.view.ElementRect(b).y, page.view.ElementRect(hidden).bottom());
}

TEST(PageViewInput, LinkShowsAHandAndClickingItAsksToNavigateToTheResolvedAddress) {
  ViewFixture page("<p>Go <a id=l href='../next.html?x=1' target=_blank>there</a> now</p>");
  const NodePtr link = page.document->GetElementById("l");
  const Rect box = page.view.ElementRect(link);
  ASSERT_FALSE(box.IsEmpty());
  EXPECT_EQ(page.view.HitTest(box.x + 2, box.y + box.height / 2)->id(), "l");
  EXPECT_EQ(page.view.CursorAt(box.x + 2, box.y + box.height / 2), CursorKind::kHand);
  EXPECT_EQ(page.view.CursorAt(box.x - 6, box.y + box.height / 2), CursorKind::kArrow);
  page.view.MouseMove(box.x + 2, box.y + 2);
  ASSERT_EQ(page.delegate.cursors.size(), 1u);
  EXPECT_EQ(page.delegate.cursors[0], CursorKind::kHand);

  page.ClickAt(link);
  ASSERT_EQ(page.delegate.navigations.size(), 1u);
  EXPECT_EQ(page.delegate.navigations[0].url, "http://host/next.html?x=1");
  EXPECT_EQ(page.delegate.navigations[0].target, "_blank");
  EXPECT_EQ(page.delegate.navigations[0].gesture, UserGesture::kYes);

  // Script's click() follows the link without a user gesture.
  page.document->Click(link);
  ASSERT_EQ(page.delegate.navigations.size(), 2u);
  EXPECT_EQ(page.delegate.navigations[1].gesture, UserGesture::kNo);
}

class PreventingSink : public ScriptEventSink {
 public:
  EventOutcome DispatchEvent(const NodePtr& target, EventType type) override {
    events.push_back(target->id() + ":" + EventName(type));
    return type == prevent ? EventOutcome::kDefaultPrevented : EventOutcome::kProceed;
  }
  EventType prevent = EventType::kBlur;
  std::vector<std::string> events;
};

TEST(PageViewInput, TypingIntoFieldsAndPressingReturnSubmitsTheFormQuery) {
  ViewFixture page(
      "<form id=f action='/login' method=get>"
      "<input id=user name=user><input id=pass type=password name=pass>"
      "<input type=hidden name=k value='a&b'><input type=checkbox id=c name=remember>"
      "<input type=submit id=go name=go value=Login></form>");
  PreventingSink sink;
  page.document->SetScriptEventSink(&sink);
  const NodePtr user = page.document->GetElementById("user");
  page.ClickAt(user);
  EXPECT_EQ(page.view.focused_node(), user);
  EXPECT_EQ(
      page.view.CursorAt(page.view.ElementRect(user).x + 3, page.view.ElementRect(user).y + 3),
      CursorKind::kIBeam);
  page.Type(u"J\u00f6rg X");
  page.view.KeyDown(VK_BACK, {});
  page.view.KeyDown(VK_LEFT, {});
  page.Type(u"_");
  EXPECT_EQ(user->Value(), "J\xC3\xB6rg_ ");
  page.view.KeyDown(VK_TAB, {});
  EXPECT_EQ(page.view.focused_node()->id(), "pass");
  page.Type(u"s\u4e2d");
  page.ClickAt(page.document->GetElementById("c"));
  EXPECT_TRUE(page.document->GetElementById("c")->Checked());
  page.ClickAt(page.document->GetElementById("pass"));
  page.view.KeyDown(VK_RETURN, {});

  ASSERT_EQ(page.delegate.navigations.size(), 1u);
  const NavigationRequest& sent = page.delegate.navigations[0];
  EXPECT_EQ(sent.method, "GET");
  EXPECT_EQ(sent.url,
            "http://host/login?user=J%C3%B6rg_+&pass=s%E4%B8%AD&k=a%26b&remember=on&go=Login");
  EXPECT_EQ(sent.gesture, UserGesture::kYes);
  // Listeners saw the typing, the focus moves and the submission.
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "user:input"), sink.events.end());
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "user:change"), sink.events.end());
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "pass:focus"), sink.events.end());
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "f:submit"), sink.events.end());

  // A listener that prevents the submission keeps the page where it is.
  sink.prevent = EventType::kSubmit;
  page.ClickAt(page.document->GetElementById("go"));
  EXPECT_EQ(page.delegate.navigations.size(), 1u);
  page.document->SetScriptEventSink(nullptr);
}

TEST(PageViewInput, PostFormSendsItsBodyAndPasswordsPaintAsBullets) {
  ViewFixture page(
      "<form action=go method=post><input id=p type=password name=p>"
      "<button id=b name=b value=1>Send</button></form>");
  page.ClickAt(page.document->GetElementById("p"));
  page.Type(u"ab c");
  page.Paint();
  page.ClickAt(page.document->GetElementById("b"));
  ASSERT_EQ(page.delegate.navigations.size(), 1u);
  EXPECT_EQ(page.delegate.navigations[0].url, "http://host/dir/go");
  EXPECT_EQ(page.delegate.navigations[0].method, "POST");
  EXPECT_EQ(page.delegate.navigations[0].body, "p=ab+c&b=1");
  EXPECT_EQ(page.delegate.navigations[0].content_type, "application/x-www-form-urlencoded");
}

TEST(PageViewInput, TabCyclesFocusAndTheDelegateHearsEachChange) {
  ViewFixture page(
      "<a id=a href=x>x</a><input id=i><button id=b>B</button>"
      "<input id=h type=hidden><textarea id=t></textarea>");
  const char* expected[] = {"a", "i", "b", "t", "a"};
  for (const char* id : expected) {
    page.view.KeyDown(VK_TAB, {});
    ASSERT_TRUE(page.view.focused_node());
    EXPECT_EQ(page.view.focused_node()->id(), id);
  }
  page.view.KeyDown(VK_TAB, {/*shift=*/true});
  EXPECT_EQ(page.view.focused_node()->id(), "t");
  EXPECT_EQ(page.delegate.focus_changes.size(), 6u);
  // Removing the focused element lets the focus go.
  page.view.focused_node()->parent()->RemoveChild(page.view.focused_node().get());
  page.view.content_height();
  EXPECT_FALSE(page.view.focused_node());
  EXPECT_FALSE(page.delegate.focus_changes.back());
}

TEST(PageViewScroll, WheelAndKeysScrollWithinTheContent) {
  std::string markup;
  for (int i = 0; i < 100; ++i)
    markup += "<p>line " + std::to_string(i) + "</p>";
  ViewFixture page(markup, 300, 200);
  const int content = page.view.content_height();
  ASSERT_GT(content, 2000);
  page.view.MouseWheel(10, 10, -WHEEL_DELTA);
  EXPECT_EQ(page.view.scroll_y(), 100);
  page.view.KeyDown(VK_NEXT, {});
  EXPECT_EQ(page.view.scroll_y(), 100 + 160);
  page.view.KeyDown(VK_END, {});
  EXPECT_EQ(page.view.scroll_y(), content - 200);
  page.view.KeyDown(VK_DOWN, {});
  EXPECT_EQ(page.view.scroll_y(), content - 200);
  page.view.KeyDown(VK_HOME, {});
  EXPECT_EQ(page.view.scroll_y(), 0);
}

TEST(PageViewImages, ImagesAreAskedForAndTakeTheirDecodedSize) {
  ViewFixture page("<img id=i src='pic.bmp' alt=picture>");
  page.view.content_height();
  ASSERT_EQ(page.delegate.images.size(), 1u);
  EXPECT_EQ(page.delegate.images[0], "http://host/dir/pic.bmp");
  // A 3x2 24-bit BMP of pure red.
  std::string bmp = std::string("BM") + std::string(12, '\0');
  bmp[2] = 0x4E;
  bmp[10] = 54;
  std::string header(40, '\0');
  header[0] = 40;
  header[4] = 3;
  header[8] = 2;
  header[12] = 1;
  header[14] = 24;
  bmp += header;
  for (int row = 0; row < 2; ++row)
    bmp += std::string("\0\0\xFF\0\0\xFF\0\0\xFF", 9) + std::string(3, '\0');
  page.view.SetImageData(page.delegate.images[0], "not a picture");
  EXPECT_EQ(page.view.ElementRect(page.document->GetElementById("i")).width > 3, true);
  page.view.SetImageData(page.delegate.images[0], bmp);
  const Rect box = page.view.ElementRect(page.document->GetElementById("i"));
  EXPECT_EQ(box.width, 3);
  EXPECT_EQ(box.height, 2);
  page.Paint();
  EXPECT_EQ(page.Pixel(box.x + 1, box.y + 1), 0xFF0000u);
}

TEST(PageCharsetWindows, GbkPagesDecodeThroughTheSystemCodePage) {
  Document document;
  document.Load("<meta charset=gb2312><p id=p>\xD6\xD0\xCE\xC4</p>", {});
  EXPECT_EQ(document.GetElementById("p")->TextContent(), "\xE4\xB8\xAD\xE6\x96\x87");
}

TEST(PageViewHostile, DeepNestingAndHugeTextNeitherCrashNorHang) {
  const auto start = std::chrono::steady_clock::now();
  std::string deep;
  for (int i = 0; i < 200000; ++i)
    deep += "<div>";
  deep += "bottom";
  ViewFixture nested(deep, 300, 200);
  nested.Paint();
  EXPECT_LE(nested.document->node_count(), 2000u);

  std::string huge(50u << 20, 'a');
  for (std::size_t i = 0; i < huge.size(); i += 7)
    huge[i] = ' ';
  ViewFixture big("<p>" + huge + "</p>", 300, 200);
  huge.clear();
  EXPECT_GT(big.view.content_height(), 10000);
  big.view.KeyDown(VK_END, {});
  big.Paint();
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 60.0);
}

}  // namespace
}  // namespace page_test
