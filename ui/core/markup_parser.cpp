#include "ui/core/markup_parser.h"

#include <algorithm>
#include <cstring>

#include "ui/core/markup_text.h"

namespace ui {

namespace {

using markup_text::FindUnit;
using markup_text::SkipBlanks;
using markup_text::SkipName;
using markup_text::StepCharacter;
using markup_text::StepOver;

constexpr MarkupChar kNoText[] = {0};

// The five predefined references of XML 1.0, after the ampersand: the
// number of units they take, or 0 when none follows. Each test stops at the
// first difference, so it never reads past the terminating NUL.
inline int MatchReference(const MarkupChar* p, MarkupChar* replacement) {
  switch (p[0]) {
    case u'a':
      if (p[1] == u'm' && p[2] == u'p' && p[3] == u';') {
        *replacement = u'&';
        return 4;
      }
      if (p[1] == u'p' && p[2] == u'o' && p[3] == u's' && p[4] == u';') {
        *replacement = u'\'';
        return 5;
      }
      return 0;
    case u'l':
    case u'g':
      if (p[1] == u't' && p[2] == u';') {
        *replacement = p[0] == u'l' ? u'<' : u'>';
        return 3;
      }
      return 0;
    case u'q':
      if (p[1] == u'u' && p[2] == u'o' && p[3] == u't' && p[4] == u';') {
        *replacement = u'"';
        return 5;
      }
      return 0;
    default:
      return 0;
  }
}

// Decodes character data in place up to `kTerminator` or the end of the text
// and returns the read position there; `*decoded_end` receives the end of the
// decoded text. Units left over between the two are blanked, except the one
// at the decoded end, which the caller terminates.
template <MarkupChar kTerminator>
inline MarkupChar* DecodeText(MarkupChar* position, MarkupChar** decoded_end) {
  // Until the first reference there is nothing to move.
  position = FindUnit(position, kTerminator, u'&');
  if (*position != u'&') {
    *decoded_end = position;
    return position;
  }
  MarkupChar* out = position;
  do {
    MarkupChar replacement;
    const int length = MatchReference(position + 1, &replacement);
    *out++ = length ? replacement : u'&';
    position += 1 + length;
    // Moves four units at a time while none of them ends the run. The store
    // may only overwrite units already loaded, as `out` trails `position`.
    for (;;) {
      const uint64_t word = markup_text::internal::LoadFourUnits(position);
      if (markup_text::MayHoldUnit(word, kTerminator, u'&'))
        break;
      std::memcpy(out, &word, sizeof(word));
      out += 4;
      position += 4;
    }
    while (*position != kTerminator && *position != u'&' && *position != 0)
      *out++ = *position++;
  } while (*position == u'&');
  if (out + 1 < position)
    std::fill(out + 1, position, u' ');
  *decoded_end = out;
  return position;
}

// Skips a comment, a declaration or a processing instruction from the
// character after its "<": up to the first "->" after "!" or "?>" after "?",
// or to the end of the text.
MarkupChar* SkipDeclaration(MarkupChar* position) {
  const MarkupChar closer = *position == u'!' ? u'-' : u'?';
  for (; *position; ++position) {
    if (position[0] == closer && position[1] == u'>')
      return StepOver(position + 1);
  }
  return position;
}

}  // namespace

MarkupParser::MarkupParser(MarkupChar* text, size_t text_length, MarkupTables* tables)
    : text_(text), text_length_(text_length), tables_(tables) {}

bool MarkupParser::Parse() {
  AddElement(text_, 0);  // the reserved row 0
  // A guess that spares most regrowth: an attribute per 16 units of text.
  tables_->attributes.reserve(text_length_ / 16);

  // The open element whose content is being read (0 for the document) and
  // the element most recently started inside it.
  int32_t parent = 0;
  int32_t current = 0;
  MarkupChar* position = text_;
  for (;;) {
    position = SkipBlanks(position);
    // The text may stop inside the first element or one of its children.
    if (*position == 0 && parent <= 1)
      return true;
    if (*position != u'<')
      return Fail(kExpectedStartTag, position);

    if (position[1] == u'/') {
      // At the top level an end tag ends the document; the rest is ignored.
      if (parent == 0)
        return true;
      position = ParseEndTag(parent, position);
      if (!position)
        return false;
      current = parent;
      parent = Row(parent).parent;
      continue;
    }

    MarkupChar* next = StepOver(position);
    *position = 0;
    position = SkipBlanks(next);
    if (*position == u'!' || *position == u'?') {
      position = SkipDeclaration(position);
      continue;
    }

    const int32_t element = AddElement(position, parent);
    if (current)
      Row(current).next_sibling = element;
    else if (parent)
      Row(parent).first_child = element;
    current = element;

    MarkupChar* const name_end = SkipName(position);
    if (*name_end == 0)
      return Fail(kElementName, kNoText);
    position = ParseAttributes(name_end);
    if (!position)
      return false;

    position = SkipBlanks(position);
    if (position[0] == u'/' && position[1] == u'>') {
      Row(element).data = OffsetOf(position);
      next = StepOver(position + 1);
      *position = 0;
      *name_end = 0;
      position = next;
      continue;
    }
    if (*position != u'>')
      return Fail(kExpectedStartTagClosing, position);
    position = StepOver(position);
    // Terminated at once, so that an element cut off by the end of the text
    // has a proper name too.
    *name_end = 0;
    Row(element).data = OffsetOf(position);

    MarkupChar* data_end;
    position = DecodeText<u'<'>(position, &data_end);
    if (data_end < position)
      *data_end = 0;
    if (*position == 0) {
      if (parent <= 1)
        return true;
      return Fail(kExpectedEndTagStart, position);
    }
    // Its content follows: children, or at once its end tag.
    parent = element;
    current = 0;
  }
}

MarkupChar* MarkupParser::ParseAttributes(MarkupChar* name_end) {
  MarkupChar* position = name_end;
  if (*position == u'>' || *position == u'/')
    return position;
  MarkupChar* next = StepOver(position);
  *position = 0;
  position = SkipBlanks(next);

  while (*position && *position != u'>' && *position != u'/') {
    MarkupChar* const attribute_name = position;
    MarkupChar* const attribute_end = SkipName(position);
    position = SkipBlanks(attribute_end);
    if (*position != u'=') {
      Fail(kAttributes, position);
      return nullptr;
    }
    next = StepOver(position);
    *position = u' ';
    *attribute_end = 0;
    position = SkipBlanks(next);

    if (*position != u'"') {
      Fail(kExpectedAttributeValue, StepCharacter(position));
      return nullptr;
    }
    position = StepOver(position);
    tables_->attributes.push_back({OffsetOf(attribute_name), OffsetOf(position)});
    MarkupChar* value_end;
    position = DecodeText<u'"'>(position, &value_end);
    if (*position == 0) {
      Fail(kAttributeString, kNoText);
      return nullptr;
    }
    next = StepOver(position);
    *value_end = 0;
    if (position > value_end)
      *position = u' ';
    position = SkipBlanks(next);
  }
  return position;
}

MarkupChar* MarkupParser::ParseEndTag(int32_t element, MarkupChar* position) {
  MarkupChar* next = StepOver(position + 1);
  *position = 0;
  position = SkipBlanks(next);

  const MarkupChar* name = text_ + Row(element).name;
  const MarkupChar* const end_name = position;
  while (*name && *position == *name) {
    ++name;
    ++position;
  }
  if (*name) {
    Fail(kUnmatchedClosingTag, end_name);
    return nullptr;
  }

  position = SkipBlanks(position);
  next = StepCharacter(position);
  if (*position != u'>') {
    Fail(kUnmatchedClosingTag, next);
    return nullptr;
  }
  return next;
}

int32_t MarkupParser::AddElement(const MarkupChar* name, int32_t parent) {
  std::vector<MarkupElementRecord>& elements = tables_->elements;
  if (elements.size() == elements.capacity()) {
    const size_t capacity = elements.empty() ? 0 : elements.capacity();
    elements.reserve(capacity + capacity / 2 + 500);
    tables_->first_attributes.reserve(elements.capacity());
  }
  const int32_t index = static_cast<int32_t>(elements.size());
  elements.push_back({OffsetOf(name), 0, 0, parent, 0});
  tables_->first_attributes.push_back(static_cast<int32_t>(tables_->attributes.size()));
  return index;
}

bool MarkupParser::Fail(const char* message, const MarkupChar* location) {
  error_message_ = message;
  error_location_ = location;
  return false;
}

}  // namespace ui
