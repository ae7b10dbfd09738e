#include "app/form_messages.h"

#include <algorithm>

wchar_t* NewMessageString(const std::wstring& text) {
  auto* copy = new wchar_t[text.size() + 1];
  std::copy(text.begin(), text.end(), copy);
  copy[text.size()] = L'\0';
  return copy;
}
