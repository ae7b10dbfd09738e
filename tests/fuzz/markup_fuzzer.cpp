// Feeds arbitrary bytes to the markup parser, once as a UTF-8 file's bytes
// and once as UTF-16 text, and walks every element and attribute of what it
// accepts. Broken invariants trap.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/core/markup.h"

namespace {

using ui::MarkupChar;
using ui::MarkupDocument;
using ui::MarkupElement;

void Check(bool condition) {
  if (!condition)
    __builtin_trap();
}

size_t Length(const MarkupChar* text) {
  size_t length = 0;
  while (text[length])
    ++length;
  return length;
}

bool Equal(const MarkupChar* a, const MarkupChar* b) {
  return Length(a) == Length(b) && std::memcmp(a, b, Length(a) * sizeof(MarkupChar)) == 0;
}

bool IsBlank(MarkupChar unit) {
  return unit >= 1 && unit <= 32;
}

const MarkupChar* SkipBlanks(const MarkupChar* position) {
  while (IsBlank(*position))
    ++position;
  return position;
}

// The attributes must lie in the rewritten start tag as the parser leaves
// them: after the NUL that ends the name, each a NUL-terminated name, blanks,
// a double quote and a NUL-terminated value, with only blanks in between; and
// after the last one (unless the limit cut the list) the end of the tag, ">"
// or the NUL written over the "/" of "/>". So no attribute is missing, added
// or misplaced.
void CheckLayout(const MarkupElement& element) {
  const int count = element.AttributeCount();
  const MarkupChar* position = element.Name() + Length(element.Name()) + 1;
  for (int i = 0; i < count; ++i) {
    const MarkupChar* name = element.AttributeName(i);
    Check(SkipBlanks(position) == name);
    const MarkupChar* quote = SkipBlanks(name + Length(name) + 1);
    Check(*quote == u'"' && quote + 1 == element.AttributeValue(i));
    position = quote + 1 + Length(quote + 1) + 1;
  }
  // Without attributes, the name's NUL may stand where the ">" was.
  if (count > 0 && count < MarkupElement::kMaxAttributes) {
    position = SkipBlanks(position);
    Check(*position == u'>' || (*position == 0 && position[1] == u'>'));
  }
}

void CheckAttributes(const MarkupElement& element) {
  const int count = element.AttributeCount();
  Check(count >= 0 && count <= MarkupElement::kMaxAttributes);
  CheckLayout(element);
  for (int i = 0; i < count; ++i) {
    const MarkupChar* name = element.AttributeName(i);
    const MarkupChar* value = element.AttributeValue(i);
    Check(name && value);
    MarkupChar buffer[MarkupElement::kValueBufferSize];
    Check(element.FindAttribute(name, buffer));
    // The first attribute of that name answers, cut to the buffer.
    int first = 0;
    while (!Equal(element.AttributeName(first), name))
      ++first;
    const MarkupChar* expected = element.AttributeValue(first);
    const size_t length = Length(buffer);
    Check(length < MarkupElement::kValueBufferSize);
    Check(std::memcmp(buffer, expected, length * sizeof(MarkupChar)) == 0);
    Check(expected[length] == 0 || length == MarkupElement::kValueBufferSize - 1);
  }
  Check(*element.AttributeName(count) == 0);
}

void Walk(const MarkupDocument& document) {
  Check(*document.LastErrorMessage() == 0);
  uint32_t visited = 0;
  std::vector<MarkupElement> pending;
  if (document.Root().IsValid())
    pending.push_back(document.Root());
  while (!pending.empty()) {
    const MarkupElement element = pending.back();
    pending.pop_back();
    ++visited;
    Check(element.Name() != nullptr);
    Length(element.Name());
    CheckAttributes(element);
    const MarkupElement next = element.NextSibling();
    if (next.IsValid())
      pending.push_back(next);
    const MarkupElement child = element.FirstChild();
    Check(child.IsValid() == element.HasChildren());
    if (child.IsValid())
      pending.push_back(child);
  }
  // Every element is reachable from the root; row 0 is reserved.
  Check(visited + 1 == document.ElementCount());
}

void CheckFailure(const MarkupDocument& document) {
  Check(*document.LastErrorMessage() != 0);
  Check(Length(document.LastErrorLocation()) < MarkupDocument::kErrorLocationSize);
  Check(!document.Root().IsValid());
  Check(document.ElementCount() == 0);
}

void Load(MarkupDocument& document, bool loaded) {
  if (loaded)
    Walk(document);
  else
    CheckFailure(document);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MarkupDocument document;
  Load(document, document.LoadFromUtf8(reinterpret_cast<const char*>(data), size));

  // Any units at all, lone surrogates and combining marks included.
  std::vector<MarkupChar> units(size / sizeof(MarkupChar) + 1);
  std::memcpy(units.data(), data, size / sizeof(MarkupChar) * sizeof(MarkupChar));
  units.back() = 0;
  Load(document, document.LoadFromString(units.data()));
  return 0;
}
