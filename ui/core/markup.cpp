#include "ui/core/markup.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "ui/core/markup_parser.h"
#include "ui/core/markup_text.h"

namespace ui {

namespace {

constexpr MarkupChar kEmptyText[] = {0};

MarkupDocument::ResourceFolderProvider g_resource_folder_provider = nullptr;

constexpr char kErrorOpeningFile[] = "Error opening file";
constexpr char kFileIsEmpty[] = "File is empty";
constexpr char kFileTooLarge[] = "File too large";
constexpr char kCouldNotReadFile[] = "Could not read file";

// Offsets are 32-bit, so longer texts cannot be described.
constexpr size_t kMaxTextLength = INT32_MAX - 1;

// Room for `length` units, the NUL and the padding the scans read ahead
// into; everything from the NUL on is zero.
std::unique_ptr<MarkupChar[]> NewTextBuffer(size_t length) {
  std::unique_ptr<MarkupChar[]> text(new MarkupChar[length + 1 + markup_text::kTextPadding]);
  std::fill_n(text.get() + length, 1 + markup_text::kTextPadding, MarkupChar{0});
  return text;
}

bool Equal(const MarkupChar* a, const MarkupChar* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

}  // namespace

// MarkupElement ---------------------------------------------------------------

// The attribute table is left unset: only mapped entries are ever read.
MarkupElement::MarkupElement() = default;

void MarkupElement::MapAttributes() const {
  // The parser noted where each attribute's name and value begin, so mapping
  // is a copy of at most kMaxAttributes rows; further ones stay unreachable.
  const MarkupTables& tables = owner_->tables_;
  const size_t row = static_cast<size_t>(index_);
  const size_t first = static_cast<size_t>(tables.first_attributes[row]);
  const size_t end = row + 1 < tables.first_attributes.size()
                         ? static_cast<size_t>(tables.first_attributes[row + 1])
                         : tables.attributes.size();
  const size_t count = std::min(end - first, static_cast<size_t>(kMaxAttributes));
  std::copy_n(tables.attributes.data() + first, count, attributes_);
  attribute_count_ = static_cast<int32_t>(count);
}

bool MarkupElement::FindAttribute(const MarkupChar* name,
                                  std::span<MarkupChar, kValueBufferSize> buffer) const {
  if (!name || !EnsureAttributes())
    return false;
  const MarkupChar* const text = owner_->text_.get();
  for (int i = 0; i < attribute_count_; ++i) {
    if (!Equal(text + attributes_[i].name, name))
      continue;
    const MarkupChar* value = text + attributes_[i].value;
    size_t length = 0;
    while (length < kValueBufferSize - 1 && value[length]) {
      buffer[length] = value[length];
      ++length;
    }
    buffer[length] = 0;
    return true;
  }
  return false;
}

// MarkupDocument --------------------------------------------------------------

// static
void MarkupDocument::SetResourceFolderProvider(ResourceFolderProvider provider) {
  g_resource_folder_provider = provider;
}

MarkupDocument::MarkupDocument() = default;

MarkupDocument::~MarkupDocument() = default;

bool MarkupDocument::LoadFromString(const MarkupChar* text) {
  Release();
  if (!text)
    text = kEmptyText;
  size_t length = 0;
  while (text[length])
    ++length;
  if (length > kMaxTextLength) {
    SetError(kFileTooLarge, kEmptyText);
    return false;
  }
  std::unique_ptr<MarkupChar[]> copy = NewTextBuffer(length);
  std::copy_n(text, length, copy.get());
  return ParseText(std::move(copy), length);
}

bool MarkupDocument::LoadFromFile(const MarkupChar* path) {
  Release();
  if (!path) {
    SetError(kErrorOpeningFile, kEmptyText);
    return false;
  }
  MarkupString full_path;
  if (g_resource_folder_provider && markup_platform::IsRelativePath(path))
    full_path = g_resource_folder_provider();
  full_path += path;

  markup_platform::FileBytes bytes;
  switch (markup_platform::ReadWholeFile(full_path.c_str(), kMaxFileSize, &bytes)) {
    case markup_platform::ReadStatus::kOk:
      return LoadFromUtf8(bytes.data.get(), bytes.size);
    case markup_platform::ReadStatus::kOpenFailed:
      SetError(kErrorOpeningFile, kEmptyText);
      return false;
    case markup_platform::ReadStatus::kEmpty:
      SetError(kFileIsEmpty, kEmptyText);
      return false;
    case markup_platform::ReadStatus::kTooLarge:
      SetError(kFileTooLarge, kEmptyText);
      return false;
    case markup_platform::ReadStatus::kShortRead:
      SetError(kCouldNotReadFile, kEmptyText);
      return false;
  }
  return false;
}

bool MarkupDocument::LoadFromUtf8(const char* bytes, size_t size) {
  Release();
  if (!bytes)
    size = 0;
  if (size > 2 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB &&
      static_cast<unsigned char>(bytes[2]) == 0xBF) {
    bytes += 3;
    size -= 3;
  }
  if (size > kMaxTextLength) {
    SetError(kFileTooLarge, kEmptyText);
    return false;
  }
  // A byte never yields more than one unit, so one pass normally does; a
  // converter that replaces more generously gets a second, counted one.
  std::unique_ptr<MarkupChar[]> text = NewTextBuffer(size);
  size_t converted = markup_platform::Utf8ToUtf16(bytes, size, text.get(), size);
  if (converted == 0 && size != 0) {
    converted = markup_platform::Utf8ToUtf16(bytes, size, nullptr, 0);
    if (converted > kMaxTextLength) {
      SetError(kFileTooLarge, kEmptyText);
      return false;
    }
    text = NewTextBuffer(converted);
    converted = markup_platform::Utf8ToUtf16(bytes, size, text.get(), converted);
  }
  text[converted] = 0;
  return ParseText(std::move(text), converted);
}

void MarkupDocument::Release() {
  text_.reset();
  tables_ = MarkupTables();
  element_count_ = 0;
}

MarkupElement MarkupDocument::Root() const {
  return element_count_ > 1 ? MarkupElement(this, 1) : MarkupElement();
}

bool MarkupDocument::ParseText(std::unique_ptr<MarkupChar[]> text, size_t length) {
  text_ = std::move(text);
  ClearErrors();
  MarkupParser parser(text_.get(), length, &tables_);
  if (parser.Parse()) {
    element_count_ = static_cast<uint32_t>(tables_.elements.size());
    return true;
  }
  SetError(parser.ErrorMessage(), parser.ErrorLocation());
  Release();
  return false;
}

void MarkupDocument::SetError(const char* message, const MarkupChar* location) {
  size_t i = 0;
  for (; i < kErrorMessageSize - 1 && message[i]; ++i)
    error_message_[i] = static_cast<unsigned char>(message[i]);
  error_message_[i] = 0;
  for (i = 0; i < kErrorLocationSize - 1 && location[i]; ++i)
    error_location_[i] = location[i];
  error_location_[i] = 0;
}

void MarkupDocument::ClearErrors() {
  error_message_[0] = 0;
  error_location_[0] = 0;
}

}  // namespace ui
