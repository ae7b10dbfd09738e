#include "ui/core/markup_platform.h"

#include <shlwapi.h>
#include <windows.h>

#include <climits>
#include <cwctype>

namespace ui::markup_platform {

bool IsAlnumBeyondAscii(MarkupChar unit) {
  return iswalnum(unit) != 0;
}

const MarkupChar* NextCharacter(const MarkupChar* position) {
  return CharNextW(position);
}

bool IsRelativePath(const MarkupChar* path) {
  return PathIsRelativeW(path) != FALSE;
}

namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (IsValid())
      CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

ReadStatus ReadWholeFile(const MarkupChar* path, size_t max_size, FileBytes* bytes) {
  ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid())
    return ReadStatus::kOpenFailed;

  // The high part matters: a file of 4 GiB and a few bytes must not pass for
  // a few bytes.
  DWORD size_high = 0;
  const DWORD size = GetFileSize(file.Get(), &size_high);
  if (size == 0 && size_high == 0)
    return ReadStatus::kEmpty;
  if (size_high != 0 || size > max_size)
    return ReadStatus::kTooLarge;

  bytes->data.reset(new char[size]);
  bytes->size = size;
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes->data.get(), size, &read, nullptr) || read < size) {
    bytes->data.reset();
    bytes->size = 0;
    return ReadStatus::kShortRead;
  }
  return ReadStatus::kOk;
}

size_t Utf8ToUtf16(const char* bytes, size_t size, MarkupChar* out, size_t capacity) {
  if (size == 0 || size > INT_MAX)
    return 0;
  const int out_size = out ? static_cast<int>(capacity > INT_MAX ? INT_MAX : capacity) : 0;
  const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), out, out_size);
  return units > 0 ? static_cast<size_t>(units) : 0;
}

}  // namespace ui::markup_platform
