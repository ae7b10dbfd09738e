#include "runtime/standin/page/charset.h"

namespace cef_standin::page {

// The native build has no system code pages: GBK decodes as UTF-8.
bool DecodeCodePage(unsigned, std::string_view, std::string&) {
  return false;
}

}  // namespace cef_standin::page
