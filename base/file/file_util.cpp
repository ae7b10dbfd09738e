#include "base/file/file_util.h"

namespace kbase {

bool DirectoryPart(Utf16StringView path, Utf16String* directory) {
  if (path.size() < 2)
    return false;
  for (size_t end = path.size(); end > 0; --end) {
    const Utf16Char unit = path[end - 1];
    if (unit == '\\' || unit == '/') {
      if (directory)
        directory->assign(path.substr(0, end));
      return true;
    }
  }
  return false;
}

}  // namespace kbase
