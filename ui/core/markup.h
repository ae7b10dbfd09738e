#pragma once

// The reader of the skin files' XML dialect: a small, non-validating parser
// that works in place on one UTF-16 buffer and records elements as rows of
// offsets into it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "ui/core/markup_platform.h"

namespace ui {

class MarkupDocument;

// One row of the element table. Offsets count UTF-16 units from the start of
// the text; indexes name rows, 0 meaning none.
struct MarkupElementRecord {
  int32_t name;
  int32_t first_child;
  int32_t next_sibling;
  int32_t parent;
  // For an element closed by "/>", the offset of the "/"; otherwise the
  // offset right after the ">" of its start tag.
  int32_t data;
};

// An attribute as the parser found it: offsets of its NUL-terminated name and
// of its NUL-terminated decoded value.
struct MarkupAttributeRecord {
  int32_t name;
  int32_t value;
};

// What a parse produces besides the rewritten text.
struct MarkupTables {
  // Row 0 is reserved once a parse has begun.
  std::vector<MarkupElementRecord> elements;
  // Per element row, its first row in `attributes`; the attributes of an
  // element end where those of the next element begin.
  std::vector<int32_t> first_attributes;
  std::vector<MarkupAttributeRecord> attributes;
};

// A light handle on one element. It maps the element's attributes on first
// use and keeps them; the document must outlive it.
class MarkupElement {
 public:
  static constexpr int kMaxAttributes = 64;
  // FindAttribute copies at most kValueBufferSize - 1 units.
  static constexpr size_t kValueBufferSize = 500;

  // An invalid handle.
  MarkupElement();
  MarkupElement(const MarkupElement& other);
  MarkupElement& operator=(const MarkupElement& other);

  // False for a default handle, and for one whose document was released.
  bool IsValid() const;
  MarkupElement FirstChild() const;
  MarkupElement NextSibling() const;
  bool HasChildren() const;
  // Null on an invalid handle.
  const MarkupChar* Name() const;

  int AttributeCount() const;
  // The empty string for an index out of range, null on an invalid handle.
  const MarkupChar* AttributeName(int index) const;
  const MarkupChar* AttributeValue(int index) const;
  // Copies the value of the first attribute called exactly `name` into
  // `buffer`, cut to kValueBufferSize - 1 units and NUL-terminated. Leaves
  // the buffer alone when there is none.
  bool FindAttribute(const MarkupChar* name, std::span<MarkupChar, kValueBufferSize> buffer) const;

 private:
  friend class MarkupDocument;

  MarkupElement(const MarkupDocument* owner, int32_t index) : index_(index), owner_(owner) {}

  static constexpr MarkupChar kNoText[1] = {0};

  // The element's row; null for an invalid handle. A handle can outlive the
  // table it points into (after Release or a new load) and must not read
  // outside it then.
  const MarkupElementRecord* Record() const;
  MarkupElement HandleOf(int32_t index) const {
    return index ? MarkupElement(owner_, index) : MarkupElement();
  }
  // Maps the attributes unless that has been done; false on an invalid
  // handle.
  bool EnsureAttributes() const;
  bool HoldsAttribute(int index) const;
  void MapAttributes() const;

  int32_t index_ = 0;
  // 0 also while the attributes have not been mapped.
  mutable int32_t attribute_count_ = 0;
  // Only the first attribute_count_ entries are meaningful (and copied).
  mutable MarkupAttributeRecord attributes_[kMaxAttributes];
  const MarkupDocument* owner_ = nullptr;
};

class MarkupDocument {
 public:
  static constexpr size_t kMaxFileSize = 4194304;
  static constexpr size_t kErrorMessageSize = 100;
  static constexpr size_t kErrorLocationSize = 50;

  // Supplies the folder, ending in a separator, below which relative paths
  // are read. Installed by the owner of the resource folder.
  using ResourceFolderProvider = MarkupString (*)();
  static void SetResourceFolderProvider(ResourceFolderProvider provider);

  MarkupDocument();
  ~MarkupDocument();
  MarkupDocument(const MarkupDocument&) = delete;
  MarkupDocument& operator=(const MarkupDocument&) = delete;

  // Each load discards the current document first and returns true when the
  // new one was parsed. A failed load leaves the document empty and the
  // error texts set.
  bool LoadFromString(const MarkupChar* text);
  bool LoadFromFile(const MarkupChar* path);
  bool LoadFromUtf8(const char* bytes, size_t size);
  void Release();

  const MarkupChar* LastErrorMessage() const { return error_message_; }
  const MarkupChar* LastErrorLocation() const { return error_location_; }

  // The first top-level element; invalid when there is none.
  MarkupElement Root() const;

  // Rows of the element table in use (the reserved row 0 included) and
  // allocated.
  uint32_t ElementCount() const { return element_count_; }
  uint32_t ElementCapacity() const { return static_cast<uint32_t>(tables_.elements.capacity()); }

 private:
  friend class MarkupElement;

  // Takes ownership of a buffer of `length` units, NUL-terminated and padded
  // as the scans need it, and parses it.
  bool ParseText(std::unique_ptr<MarkupChar[]> text, size_t length);
  void SetError(const char* message, const MarkupChar* location);
  void ClearErrors();

  std::unique_ptr<MarkupChar[]> text_;
  MarkupTables tables_;
  // Rows of tables_.elements, kept apart for the handles' checks.
  uint32_t element_count_ = 0;
  MarkupChar error_message_[kErrorMessageSize] = {};
  MarkupChar error_location_[kErrorLocationSize] = {};
};

// The handle's accessors are inline: the builder calls them for every
// element and attribute.

inline MarkupElement::MarkupElement(const MarkupElement& other)
    : index_(other.index_), attribute_count_(other.attribute_count_), owner_(other.owner_) {
  std::copy_n(other.attributes_, attribute_count_, attributes_);
}

inline MarkupElement& MarkupElement::operator=(const MarkupElement& other) {
  index_ = other.index_;
  attribute_count_ = other.attribute_count_;
  owner_ = other.owner_;
  std::copy_n(other.attributes_, attribute_count_, attributes_);
  return *this;
}

inline const MarkupElementRecord* MarkupElement::Record() const {
  // Handles are made with indexes from 1 on.
  if (!owner_ || static_cast<uint32_t>(index_) >= owner_->element_count_)
    return nullptr;
  return &owner_->tables_.elements[static_cast<size_t>(index_)];
}

inline bool MarkupElement::IsValid() const {
  return Record() != nullptr;
}

inline MarkupElement MarkupElement::FirstChild() const {
  const MarkupElementRecord* record = Record();
  return record ? HandleOf(record->first_child) : MarkupElement();
}

inline MarkupElement MarkupElement::NextSibling() const {
  const MarkupElementRecord* record = Record();
  return record ? HandleOf(record->next_sibling) : MarkupElement();
}

inline bool MarkupElement::HasChildren() const {
  const MarkupElementRecord* record = Record();
  return record && record->first_child != 0;
}

inline const MarkupChar* MarkupElement::Name() const {
  const MarkupElementRecord* record = Record();
  return record ? owner_->text_.get() + record->name : nullptr;
}

inline bool MarkupElement::EnsureAttributes() const {
  if (!Record())
    return false;
  if (!attribute_count_)
    MapAttributes();
  return true;
}

inline bool MarkupElement::HoldsAttribute(int index) const {
  // Also checked against the array itself: GCC cannot see that the count
  // never exceeds it and warns at -O2.
  const unsigned position = static_cast<unsigned>(index);
  return position < static_cast<unsigned>(attribute_count_) && position < kMaxAttributes;
}

inline int MarkupElement::AttributeCount() const {
  return EnsureAttributes() ? attribute_count_ : 0;
}

inline const MarkupChar* MarkupElement::AttributeName(int index) const {
  if (!EnsureAttributes())
    return nullptr;
  if (!HoldsAttribute(index))
    return kNoText;
  return owner_->text_.get() + attributes_[index].name;
}

inline const MarkupChar* MarkupElement::AttributeValue(int index) const {
  if (!EnsureAttributes())
    return nullptr;
  if (!HoldsAttribute(index))
    return kNoText;
  return owner_->text_.get() + attributes_[index].value;
}

}  // namespace ui
