// Parses one generated skin-like document of a few megabytes with the markup
// parser and with pugixml (default options) in the same run, then walks both
// trees the way the window builder does, and prints the time ratios
// (markup / pugixml, fastest of several interleaved rounds each; below 1
// means the markup parser is faster).

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/core/markup.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kDocumentBytes = 4000000;
constexpr int kRounds = 40;

// A small deterministic generator, so every run parses the same text.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t limit) { return Next() % limit; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  uint64_t state_ = 0x5eed;
};

// The elements of the builder's table plus the definitions it reads itself.
const char* const kContainers[] = {"Box",     "HBox",     "VBox",      "TabBox",    "ChildBox",
                                   "ListBox", "VListBox", "ButtonBox", "OptionBox", "TileBox"};
const char* const kLeaves[] = {"Control",  "Label", "Button",   "Option", "CheckBox",
                               "RichEdit", "Combo", "Progress", "Slider", "ScrollBar"};
const char* const kDefinitions[] = {"Include", "Font", "Class", "TextColor", "Event"};
const char* const kAttributeNames[] = {
    "name",   "width",   "height",      "margin",   "padding",     "bkcolor",
    "text",   "tooltip", "normalimage", "hotimage", "font",        "align",
    "valign", "visible", "mouse",       "class",    "textpadding", "bordersize",
    "cursor", "group",   "selected",    "maxwidth", "textid",      "pushedimage"};
const char* const kValues[] = {"stretch",
                               "auto",
                               "120",
                               "12,4,12,4",
                               "true",
                               "bk_wnd_darkcolor",
                               "file='btn_close.png' source='0,0,30,30' corner='4,4,4,4'",
                               "file='bk.png' fade='200'",
                               "Save &amp; exit",
                               "&lt;b&gt;bold&lt;/b&gt; &quot;quoted&quot;",
                               "\xE5\xBC\x80\xE5\xA7\x8B\xE6\xB8\xB8\xE6\x88\x8F",  // Chinese text
                               "width=&quot;30&quot; height=&quot;30&quot;",
                               "system_14",
                               "center"};

class SkinGenerator {
 public:
  std::string Generate(size_t bytes) {
    out_ = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out_ += "<Window size=\"960,640\" caption=\"0,0,0,36\" sizebox=\"4,4,4,4\">\n";
    while (out_.size() < bytes)
      Container(1);
    out_ += "</Window>\n";
    return out_;
  }

 private:
  void Indent(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }

  void Attributes(int count) {
    for (int i = 0; i < count; ++i) {
      out_ += ' ';
      out_ += random_.Pick(kAttributeNames);
      out_ += "=\"";
      out_ += random_.Pick(kValues);
      out_ += '"';
    }
  }

  void Comment(int depth) {
    Indent(depth);
    out_ += "<!-- section ";
    out_ += std::to_string(random_.Next());
    out_ += " <not an element/> -->\n";
  }

  void Leaf(int depth) {
    Indent(depth);
    if (random_.Below(8) == 0) {
      out_ += '<';
      out_ += random_.Pick(kDefinitions);
      out_ += " source=\"skins/part.xml\" count=\"2\" name=\"def\" value=\"x=&quot;1&quot;\"";
      Attributes(static_cast<int>(random_.Below(3)));
      out_ += "/>\n";
      return;
    }
    const char* name = random_.Pick(kLeaves);
    out_ += '<';
    out_ += name;
    Attributes(3 + static_cast<int>(random_.Below(10)));
    if (random_.Below(4) == 0) {
      out_ += ">Text &amp; more \xE6\x96\x87\xE5\xAD\x97</";
      out_ += name;
      out_ += ">\n";
    } else {
      out_ += "/>\n";
    }
  }

  void Container(int depth) {
    const char* name = random_.Pick(kContainers);
    Indent(depth);
    out_ += '<';
    out_ += name;
    Attributes(2 + static_cast<int>(random_.Below(6)));
    out_ += ">\n";
    if (random_.Below(6) == 0)
      Comment(depth + 1);
    // Now and then a deep chain of boxes.
    const bool deep = depth < 4 && random_.Below(10) == 0;
    const int children = deep ? 1 : static_cast<int>(random_.Below(7));
    for (int i = 0; i < children; ++i) {
      if ((deep || random_.Below(3) == 0) && depth < (deep ? 60 : 12))
        Container(depth + 1);
      else
        Leaf(depth + 1);
    }
    Indent(depth);
    out_ += "</";
    out_ += name;
    out_ += ">\n";
  }

  Random random_;
  std::string out_;
};

// The builder's work per element: match the name against its tables, hand
// every attribute over in order, and read a few attributes by name for the
// definitions. Both walks feed the same checksum.
const char* const kBuilderNames[] = {
    "Image",  "Font",     "Class",    "TextColor", "Include",   "Control",   "Label",
    "Button", "Option",   "CheckBox", "Box",       "HBox",      "VBox",      "TileBox",
    "TabBox", "ChildBox", "ListBox",  "VListBox",  "ButtonBox", "OptionBox", "RichEdit",
    "Combo",  "Progress", "Slider",   "ScrollBar", "Event"};

template <typename Char>
bool SameText(const Char* text, const char* ascii) {
  while (*ascii && static_cast<unsigned>(*text) == static_cast<unsigned char>(*ascii)) {
    ++text;
    ++ascii;
  }
  return *ascii == 0 && *text == 0;
}

// Counts characters, so that UTF-8 and UTF-16 agree.
inline bool StartsCharacter(char unit) {
  return (static_cast<unsigned char>(unit) & 0xC0) != 0x80;
}
inline bool StartsCharacter(ui::MarkupChar unit) {
  return unit < 0xDC00 || unit > 0xDFFF;
}

template <typename Char>
size_t Length(const Char* text) {
  size_t length = 0;
  for (; *text; ++text)
    length += StartsCharacter(*text);
  return length;
}

template <typename Char>
int MatchName(const Char* name) {
  int index = 0;
  for (const char* known : kBuilderNames) {
    if (SameText(name, known))
      return index;
    ++index;
  }
  return -1;
}

// A name of the definitions (Font .. Include, Event) reads attributes by name.
bool ReadsByName(int index) {
  return (index >= 1 && index <= 4) || index == 25;
}

template <typename Char>
uint64_t ApplyAttribute(const Char* name, const Char* value) {
  const unsigned first = static_cast<unsigned>(value[0]);
  return Length(name) * 31 + Length(value) + (first < 0x80 ? first : 0x80);
}

const char* const kLookedUp[] = {"source", "count", "value"};

uint64_t WalkMarkup(const ui::MarkupElement& parent) {
  uint64_t sum = 0;
  for (ui::MarkupElement element = parent.FirstChild(); element.IsValid();
       element = element.NextSibling()) {
    const int kind = MatchName(element.Name());
    sum += static_cast<uint64_t>(kind + 1);
    const int count = element.AttributeCount();
    for (int i = 0; i < count; ++i)
      sum += ApplyAttribute(element.AttributeName(i), element.AttributeValue(i));
    if (ReadsByName(kind)) {
      for (const char* key : kLookedUp) {
        ui::MarkupChar name[16];
        size_t i = 0;
        for (; key[i]; ++i)
          name[i] = static_cast<ui::MarkupChar>(key[i]);
        name[i] = 0;
        ui::MarkupChar buffer[ui::MarkupElement::kValueBufferSize];
        if (element.FindAttribute(name, buffer))
          sum += Length(buffer);
      }
    }
    if (element.HasChildren())
      sum += WalkMarkup(element);
  }
  return sum;
}

uint64_t WalkPugi(const pugi::xml_node& parent) {
  uint64_t sum = 0;
  for (pugi::xml_node element = parent.first_child(); element; element = element.next_sibling()) {
    if (element.type() != pugi::node_element)
      continue;
    const int kind = MatchName(element.name());
    sum += static_cast<uint64_t>(kind + 1);
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
         attribute = attribute.next_attribute())
      sum += ApplyAttribute(attribute.name(), attribute.value());
    if (ReadsByName(kind)) {
      for (const char* key : kLookedUp) {
        const pugi::xml_attribute attribute = element.attribute(key);
        if (attribute)
          sum +=
              std::min<size_t>(Length(attribute.value()), ui::MarkupElement::kValueBufferSize - 1);
      }
    }
    if (element.first_child())
      sum += WalkPugi(element);
  }
  return sum;
}

// The fastest round: the one least disturbed by other work on the machine.
double Fastest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

template <typename Function>
double Milliseconds(Function&& function) {
  const Clock::time_point start = Clock::now();
  function();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int Fail(const char* what) {
  std::fprintf(stderr, "markup_bench: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  const std::string text = SkinGenerator().Generate(kDocumentBytes);

  ui::MarkupDocument markup;
  pugi::xml_document pugi;
  std::vector<double> markup_parse, pugi_parse, markup_walk, pugi_walk;
  uint64_t markup_sum = 0;
  uint64_t pugi_sum = 0;
  // Interleaved rounds, so that both see the same machine load.
  for (int round = 0; round < kRounds; ++round) {
    bool markup_ok = false;
    bool pugi_ok = false;
    markup_parse.push_back(
        Milliseconds([&] { markup_ok = markup.LoadFromUtf8(text.data(), text.size()); }));
    pugi_parse.push_back(Milliseconds(
        [&] { pugi_ok = static_cast<bool>(pugi.load_buffer(text.data(), text.size())); }));
    if (!markup_ok)
      return Fail("the markup parser refused the document");
    if (!pugi_ok)
      return Fail("pugixml refused the document");
    // Walks take fresh handles each time, as the builder does.
    markup_walk.push_back(Milliseconds([&] { markup_sum = WalkMarkup(markup.Root()); }));
    pugi_walk.push_back(Milliseconds([&] { pugi_sum = WalkPugi(pugi.document_element()); }));
  }
  if (markup_sum != pugi_sum)
    return Fail("the two walks disagree");

  const double parse_markup = Fastest(markup_parse);
  const double parse_pugi = Fastest(pugi_parse);
  const double walk_markup = Fastest(markup_walk);
  const double walk_pugi = Fastest(pugi_walk);
  std::printf("document: %zu bytes, %u elements, checksum %llu\n", text.size(),
              markup.ElementCount() - 1, static_cast<unsigned long long>(markup_sum));
  std::printf("parse:     markup %.2f ms, pugixml %.2f ms, ratio %.2f\n", parse_markup, parse_pugi,
              parse_markup / parse_pugi);
  std::printf("look-ups:  markup %.2f ms, pugixml %.2f ms, ratio %.2f\n", walk_markup, walk_pugi,
              walk_markup / walk_pugi);
  return 0;
}
