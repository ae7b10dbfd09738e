#include "runtime/wrapper/libcef_loader.h"

#include <mutex>

namespace cef_loader {

HMODULE Library() {
  static HMODULE library = nullptr;
  static std::once_flag once;
  std::call_once(once, [] { library = LoadLibraryW(L"libcef.dll"); });
  return library;
}

void* EntryPoint(const char* name) {
  HMODULE library = Library();
  return library ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
}

}  // namespace cef_loader
