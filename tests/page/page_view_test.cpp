#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

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

  // A control made a block still shows, on a line of its own.
  b->SetInnerHtml("<input id=i style='display:block'>after");
  const Rect field = page.view.ElementRect(page.document->GetElementById("i"));
  EXPECT_GT(field.height, 10);
  EXPECT_GE(page.view.ElementRect(b).bottom(), field.bottom() + 10);
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

  const PointContext context = page.view.ContextAt(box.x + 2, box.y + box.height / 2);
  EXPECT_EQ(context.link_url, "http://host/next.html?x=1");
  EXPECT_FALSE(context.editable);

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

// A view that is not sized yet (a window at zero height) lays out its page
// all below its bottom; the press must not scroll the pressed button away
// from under the release.
TEST(PageViewInput, APressFocusesWithoutScrollingSoTheReleaseStillClicks) {
  ViewFixture page("<p>first</p><p>second</p><button id=b>press</button>", 400, 0);
  PreventingSink sink;
  page.document->SetScriptEventSink(&sink);
  const NodePtr button = page.document->GetElementById("b");
  page.ClickAt(button);
  EXPECT_EQ(page.view.focused_node(), button);
  EXPECT_EQ(page.view.scroll_y(), 0);
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "b:click"), sink.events.end());
  // Focus from script still scrolls the element into view.
  page.view.SetFocusedNode(nullptr);
  page.view.SetViewportSize(400, 20);
  page.view.SetFocusedNode(button);
  EXPECT_GT(page.view.scroll_y(), 0);
  page.document->SetScriptEventSink(nullptr);
}

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
  const Rect caret = page.view.CaretRect();
  EXPECT_GT(caret.x, page.view.ElementRect(user).x + 10);
  EXPECT_LT(caret.right(), page.view.ElementRect(user).right());
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
  // The button has its face (drawn through GDI+).
  const Rect button = page.view.ElementRect(page.document->GetElementById("b"));
  EXPECT_EQ(page.Pixel(button.x + 3, button.y + button.height / 2), 0xEFEFEFu);
  page.ClickAt(page.document->GetElementById("b"));
  ASSERT_EQ(page.delegate.navigations.size(), 1u);
  EXPECT_EQ(page.delegate.navigations[0].url, "http://host/dir/go");
  EXPECT_EQ(page.delegate.navigations[0].method, "POST");
  EXPECT_EQ(page.delegate.navigations[0].body, "p=ab+c&b=1");
  EXPECT_EQ(page.delegate.navigations[0].content_type, "application/x-www-form-urlencoded");
}

TEST(PageViewInput, TextareaTakesLinesAndItsCaretMovesBetweenThem) {
  ViewFixture page("<textarea id=t></textarea>");
  const NodePtr area = page.document->GetElementById("t");
  page.ClickAt(area);
  page.Type(u"ab");
  page.view.KeyDown(VK_RETURN, {});
  page.Type(u"c");
  page.view.KeyDown(VK_UP, {});
  page.Type(u"X");
  page.view.KeyDown(VK_HOME, {});
  page.Type(u"<");
  page.view.KeyDown(VK_DOWN, {});
  page.view.KeyDown(VK_END, {});
  page.Type(u"!");
  EXPECT_EQ(area->Value(), "<aXb\nc!");
  const Rect caret = page.view.CaretRect();
  EXPECT_GT(caret.y, page.view.ElementRect(area).y + caret.height / 2);  // on the second line
  // Home on an empty first line stays at the start.
  area->SetValue("\nz");
  page.view.KeyDown(VK_HOME, {/*shift=*/false, /*control=*/true});
  page.view.KeyDown(VK_HOME, {});
  page.Type(u"y");
  EXPECT_EQ(area->Value(), "y\nz");
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

TEST(PageViewInput, PressingAnElementCutByTheViewEdgeClicksItWithoutScrolling) {
  // The link starts 8 + 280 px down a 300 px view, so only its top shows.
  ViewFixture page(
      "<div style='height:280px'></div><a id=l href=next>link</a>"
      "<div style='height:600px'></div>",
      400, 300);
  const NodePtr link = page.document->GetElementById("l");
  const Rect box = page.view.ElementRect(link);
  ASSERT_LT(box.y, 298);
  ASSERT_GT(box.bottom(), 300);
  // Press and release at the view's last row, over the link's visible part.
  // Scrolling it into view on the press would move the link from under the
  // pointer and lose the click.
  page.view.MouseDown(box.x + 2, 298, MouseButton::kLeft, {});
  EXPECT_EQ(page.view.focused_node(), link);
  EXPECT_EQ(page.view.scroll_y(), 0);
  page.view.MouseUp(box.x + 2, 298, MouseButton::kLeft, {});
  ASSERT_EQ(page.delegate.navigations.size(), 1u);
  EXPECT_EQ(page.delegate.navigations[0].url, "http://host/dir/next");

  // Keyboard focus and script's focus() still bring the element into view.
  page.view.SetFocusedNode(nullptr);
  page.view.KeyDown(VK_TAB, {});
  EXPECT_EQ(page.view.focused_node(), link);
  EXPECT_GT(page.view.scroll_y(), 0);
  EXPECT_LE(page.view.ElementRect(link).bottom(), 300);
  page.view.ScrollTo(0);
  page.view.SetFocusedNode(nullptr);
  page.view.FocusElement(link);
  EXPECT_GT(page.view.scroll_y(), 0);
}

// Removes its target from the page when the event is the chosen one.
class RemovingSink : public ScriptEventSink {
 public:
  EventOutcome DispatchEvent(const NodePtr& target, EventType type) override {
    if ((type == EventType::kInput || type == EventType::kFocus) && target->parent())
      target->parent()->RemoveChild(target.get());
    return EventOutcome::kProceed;
  }
};

TEST(PageViewInput, ListenersThatRemoveTheirElementLeaveTheViewWorking) {
  ViewFixture page("<form><input id=a><input id=b><textarea id=t></textarea></form><p>p</p>");
  RemovingSink sink;
  page.document->SetScriptEventSink(&sink);
  const NodePtr a = page.document->GetElementById("a");
  page.ClickAt(a);  // the focus listener takes "a" away at once
  page.Type(u"xy");
  page.view.KeyDown(VK_TAB, {});
  page.view.KeyDown(VK_RETURN, {});
  page.view.KeyDown(VK_TAB, {});
  page.Type(u"z");
  page.view.KeyDown(VK_BACK, {});
  page.view.CaretRect();
  page.Paint();
  EXPECT_FALSE(a->IsConnected());
  EXPECT_FALSE(page.document->GetElementById("b"));
  EXPECT_TRUE(!page.view.focused_node() || page.view.focused_node()->IsConnected());
  page.document->SetScriptEventSink(nullptr);
}

TEST(PageViewInput, ASelectOpensItsListBelowAndAClickedRowBecomesItsValue) {
  ViewFixture page(
      "<select id=s><option value=a>Alpha<option value=b>Beta"
      "<option value=c>Gamma</select><p>below</p>");
  PreventingSink sink;
  page.document->SetScriptEventSink(&sink);
  const NodePtr select = page.document->GetElementById("s");
  const Rect box = page.view.ElementRect(select);
  page.ClickAt(select);
  page.Paint();
  // The list covers the page below the select: its second row is blue.
  const int row_y = box.bottom() + box.height + box.height / 2;
  EXPECT_NE(page.Pixel(box.x + 3, box.bottom() + 4), 0xFFFFFFu);
  page.view.MouseMove(box.x + 8, row_y);
  page.Paint();
  EXPECT_EQ(page.Pixel(box.x + 3, row_y), 0x1A73E8u);
  page.view.MouseDown(box.x + 8, row_y, MouseButton::kLeft, {});
  page.view.MouseUp(box.x + 8, row_y, MouseButton::kLeft, {});
  EXPECT_EQ(select->Value(), "b");
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(), "s:change"), sink.events.end());
  // Keys work the list too; Escape closes it unchanged.
  page.view.KeyDown(VK_SPACE, {});
  page.view.KeyDown(VK_DOWN, {});
  page.view.KeyDown(VK_RETURN, {});
  EXPECT_EQ(select->Value(), "c");
  page.view.KeyDown(VK_RETURN, {});
  page.view.KeyDown(VK_UP, {});
  page.view.KeyDown(VK_ESCAPE, {});
  EXPECT_EQ(select->Value(), "c");
  page.document->SetScriptEventSink(nullptr);
}

TEST(PageViewPaint, CaretBlinkRepaintsOnlyTheFieldAndPaintLeavesTheRestAlone) {
  ViewFixture page("<p>text above</p><input id=i value=abc><p>text below</p>");
  const NodePtr field = page.document->GetElementById("i");
  page.ClickAt(field);
  page.view.Tick(1000);
  page.Paint();
  page.delegate.invalidated.clear();
  page.view.Tick(1000 + PageView::kBlinkMs);
  ASSERT_EQ(page.delegate.invalidated.size(), 1u);
  const Rect dirty = page.delegate.invalidated[0];
  const Rect box = page.view.ElementRect(field);
  EXPECT_LE(dirty.x, box.x);
  EXPECT_GE(dirty.right(), box.right());
  EXPECT_LE(dirty.height, box.height + 8);

  // A marker outside the dirty area survives the partial paint; the caret
  // inside it is gone (the blink turned it off).
  for (std::uint32_t& pixel : page.pixels)
    pixel = 0x00123456;
  page.view.Paint({page.pixels.data(), page.width, page.height, page.width * 4}, dirty);
  EXPECT_EQ(page.Pixel(page.width - 1, page.height - 1), 0x123456u);
  EXPECT_EQ(page.pixels[0] >> 24, 0u);
  EXPECT_NE(page.Pixel(box.x + 1, box.y + 1), 0x123456u);
  EXPECT_EQ(page.pixels[static_cast<std::size_t>(box.y + 1) * page.width + box.x + 1] >> 24, 0xFFu);
}

int CountDifferent(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int different = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    different += a[i] != b[i];
  return different;
}

// What a partial repaint of the damage leaves must be what a whole paint
// paints: stale pixels are the fault this catches.
TEST(PageViewPaint, DamageAfterADocumentChangeCoversWhatChangedAndNoMore) {
  ViewFixture page(
      "<p id=top>top text</p><div id=box style='background-color: #ff0000; height: 40px'></div>"
      "<p>a paragraph below</p><input id=field value=kept>");
  page.Paint();
  EXPECT_FALSE(page.view.TakeDamage().IsEmpty()) << "a new document damages the whole view";
  EXPECT_TRUE(page.view.TakeDamage().IsEmpty());

  const NodePtr box_node = page.document->GetElementById("box");
  const Rect box = page.view.ElementRect(box_node);
  const Rect top = page.view.ElementRect(page.document->GetElementById("top"));
  box_node->SetStyleProperty("background-color", "#0000ff");
  const Rect damage = page.view.TakeDamage();
  EXPECT_LE(damage.y, box.y);
  EXPECT_GE(damage.bottom(), box.bottom());
  EXPECT_GE(damage.y, top.bottom()) << "the paragraph above did not change";
  page.view.Paint({page.pixels.data(), page.width, page.height, page.width * 4}, damage);
  const std::vector<std::uint32_t> partial = page.pixels;
  page.Paint();
  EXPECT_EQ(CountDifferent(partial, page.pixels), 0);
  EXPECT_EQ(page.Pixel(box.x + 5, box.y + 5), 0x0000FFu);

  // A field's value is painted from its element: a changed value is
  // damaged though its box stays.
  const NodePtr field = page.document->GetElementById("field");
  field->SetValue("changed to something longer");
  const Rect field_damage = page.view.TakeDamage();
  EXPECT_TRUE(field_damage.Intersects(page.view.ElementRect(field)));
  page.view.Paint({page.pixels.data(), page.width, page.height, page.width * 4}, field_damage);
  const std::vector<std::uint32_t> after_value = page.pixels;
  page.Paint();
  EXPECT_EQ(CountDifferent(after_value, page.pixels), 0);

  // Content that grows the page moves the scroll indicator: everything.
  page.document->GetElementById("top")->SetInnerHtml(std::string(3000, 'w') + " end");
  const Rect grown = page.view.TakeDamage();
  EXPECT_EQ(grown, (Rect{0, 0, page.width, page.height}));
}

TEST(PageViewPaint, ASeparateSelectListStaysOutOfThePageAndPaintsOnItsOwn) {
  ViewFixture page("<select id=s><option>Alpha<option>Beta<option>Gamma</select><p>below</p>");
  page.view.SetPopupSeparate(true);
  const NodePtr select = page.document->GetElementById("s");
  page.Paint();
  page.view.TakeDamage();
  page.ClickAt(select);
  const Rect list = page.view.PopupRect();
  ASSERT_FALSE(list.IsEmpty());
  EXPECT_EQ(page.delegate.popup_changes, 1);
  // The select's own box (focus) changed; the page under the list did not.
  EXPECT_LE(page.view.TakeDamage().bottom(), list.y + 2);
  page.Paint();
  EXPECT_EQ(page.Pixel(list.x + 3, list.y + list.height - 4), 0xFFFFFFu)
      << "the page shows no list";

  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(list.width) * list.height, 0);
  page.view.PaintPopup({pixels.data(), list.width, list.height, list.width * 4});
  EXPECT_EQ(pixels[0], 0xFF767676u) << "the list's border";
  // The first row is highlighted (the select's value).
  EXPECT_EQ(pixels[static_cast<std::size_t>(list.width) * 3 + 3], 0xFF1A73E8u);
  page.view.MouseMove(list.x + 8, list.y + list.height - 4);
  EXPECT_EQ(page.delegate.popup_changes, 2) << "a new highlight";
  page.view.KeyDown(VK_ESCAPE, {});
  EXPECT_TRUE(page.view.PopupRect().IsEmpty());
  EXPECT_EQ(page.delegate.popup_changes, 3);

  // An option of any length leaves the list no wider than the view.
  select->SetInnerHtml("<option>" + std::string(20000, 'x') + "</option>");
  page.ClickAt(select);
  EXPECT_EQ(page.view.PopupRect().width, page.width);
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
  // Heights that would add up past what an int holds end the document.
  std::string tall;
  for (int i = 0; i < 30000; ++i)
    tall += "<div style='height: 99999px'>x</div>";
  ViewFixture towering(tall, 300, 200);
  EXPECT_GT(towering.view.content_height(), 60000000);
  EXPECT_LT(towering.view.content_height(), 70000000);
  towering.view.KeyDown(VK_END, {});
  towering.Paint();

  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 60.0);
}

}  // namespace
}  // namespace page_test
