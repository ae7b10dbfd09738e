#pragma once

#include <cstddef>

#include "ui/core/markup.h"
#include "ui/core/markup_platform.h"

namespace ui {

// One pass over a NUL-terminated UTF-16 text that writes terminators and
// decoded characters back into it, appends a row per element to the element
// table and notes where each attribute's name and value begin. Nesting is followed through the
// rows' parent links rather than the call stack, so depth costs no stack.
class MarkupParser {
 public:
  // The texts of the failures.
  static constexpr char kExpectedStartTag[] = "Expected start tag";
  static constexpr char kElementName[] = "Error parsing element name";
  static constexpr char kExpectedStartTagClosing[] = "Expected start-tag closing";
  static constexpr char kExpectedEndTagStart[] = "Expected end-tag start";
  static constexpr char kUnmatchedClosingTag[] = "Unmatched closing tag";
  static constexpr char kAttributes[] = "Error while parsing attributes";
  static constexpr char kExpectedAttributeValue[] = "Expected attribute value";
  static constexpr char kAttributeString[] = "Error while parsing attribute string";

  // `text` holds `text_length` units and a NUL.
  MarkupParser(MarkupChar* text, size_t text_length, MarkupTables* tables);
  MarkupParser(const MarkupParser&) = delete;
  MarkupParser& operator=(const MarkupParser&) = delete;

  // False on malformed text, with ErrorMessage and ErrorLocation set.
  bool Parse();

  const char* ErrorMessage() const { return error_message_; }
  // The unparsed text where the failure was found.
  const MarkupChar* ErrorLocation() const { return error_location_; }

 private:
  int32_t AddElement(const MarkupChar* name, int32_t parent);
  MarkupElementRecord& Row(int32_t index) { return tables_->elements[static_cast<size_t>(index)]; }
  int32_t OffsetOf(const MarkupChar* position) const {
    return static_cast<int32_t>(position - text_);
  }

  // Parses the attribute list after an element name; returns the position
  // after it or null on failure.
  MarkupChar* ParseAttributes(MarkupChar* name_end);
  // Checks and consumes the end tag of `element` at "</"; returns the
  // position after it or null on failure.
  MarkupChar* ParseEndTag(int32_t element, MarkupChar* position);

  bool Fail(const char* message, const MarkupChar* location);

  MarkupChar* const text_;
  const size_t text_length_;
  MarkupTables* const tables_;
  const char* error_message_ = "";
  const MarkupChar* error_location_ = nullptr;
};

}  // namespace ui
