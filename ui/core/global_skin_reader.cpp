#include "ui/core/global_skin_reader.h"

#include <cstdlib>
#include <cwchar>

#include "ui/core/global_resources.h"
#include "ui/core/markup.h"

namespace ui {

namespace {

constexpr int32_t kDefaultFontSize = 12;

std::wstring Text(const MarkupChar* text) {
  return text ? std::wstring(text) : std::wstring();
}

bool IsTrue(const std::wstring& value) {
  return value == L"true";
}

// Calls |visit| (name, value) for every attribute in document order.
template <typename Visitor>
void ForEachAttribute(const MarkupElement& element, Visitor visit) {
  const int count = element.AttributeCount();
  for (int i = 0; i < count; ++i)
    visit(Text(element.AttributeName(i)), Text(element.AttributeValue(i)));
}

}  // namespace

bool GlobalSkinReader::ReadFile(const std::wstring& path) {
  MarkupDocument document;
  if (!document.LoadFromFile(path.c_str()))
    return false;
  return Read(document);
}

bool GlobalSkinReader::Read(const MarkupDocument& document) {
  const MarkupElement root = document.Root();
  if (!root.IsValid() || Text(root.Name()) != L"Global")
    return false;
  ApplyRootAttributes(root);
  for (MarkupElement child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
    const std::wstring name = Text(child.Name());
    if (name == L"Font")
      DefineFont(child);
    else if (name == L"Class")
      DefineClass(child);
    else if (name == L"TextColor")
      DefineColor(child);
    // "Image" and everything else define nothing here.
  }
  return true;
}

void GlobalSkinReader::ApplyRootAttributes(const MarkupElement& root) {
  ForEachAttribute(root, [](const std::wstring& name, const std::wstring& value) {
    if (name == L"disabledfontcolor") {
      GlobalResources::SetDisabledTextColorName(value);
    } else if (name == L"defaultfontcolor") {
      GlobalResources::SetDefaultTextColorName(value);
    } else if (name == L"linkfontcolor" || name == L"linkhoverfontcolor" ||
               name == L"selectedcolor") {
      // Only looked up, which enters the name in the colour table.
      GlobalResources::ColorByName(value);
    }
  });
}

void GlobalSkinReader::DefineFont(const MarkupElement& element) {
  std::wstring id;
  std::wstring face;
  int32_t size = kDefaultFontSize;
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool make_default = false;
  ForEachAttribute(element, [&](const std::wstring& name, const std::wstring& value) {
    if (name == L"id")
      id = value;
    else if (name == L"name")
      face = value;
    else if (name == L"size")
      size = static_cast<int32_t>(std::wcstol(value.c_str(), nullptr, 10));
    else if (name == L"bold")
      bold = IsTrue(value);
    else if (name == L"underline")
      underline = IsTrue(value);
    else if (name == L"italic")
      italic = IsTrue(value);
    else if (name == L"default")
      make_default = IsTrue(value);
  });
  if (!face.empty())
    GlobalResources::DefineFont(id, face, size, bold, underline, italic, make_default);
}

std::wstring GlobalSkinReader::ClassAttributeString(const MarkupElement& element) {
  std::wstring attributes;
  ForEachAttribute(element, [&](const std::wstring& name, const std::wstring& value) {
    if (name == L"name")
      return;
    if (name == L"value")
      attributes += value;
    else if (name == L"_value")
      attributes += L" value=\"" + value + L"\"";
    else
      attributes += L" " + name + L"=\"" + value + L"\"";
  });
  size_t begin = 0;
  while (begin < attributes.size() && (attributes[begin] == L' ' || attributes[begin] <= 29))
    ++begin;
  return attributes.substr(begin);
}

void GlobalSkinReader::DefineClass(const MarkupElement& element) {
  std::wstring name;
  ForEachAttribute(element, [&](const std::wstring& attribute, const std::wstring& value) {
    if (attribute == L"name")
      name = value;
  });
  if (!name.empty())
    GlobalResources::DefineClass(name, ClassAttributeString(element));
}

void GlobalSkinReader::DefineColor(const MarkupElement& element) {
  std::wstring name;
  std::wstring value;
  ForEachAttribute(element, [&](const std::wstring& attribute, const std::wstring& text) {
    if (attribute == L"name")
      name = text;
    else if (attribute == L"value")
      value = text;
  });
  if (name.empty())
    return;
  // The first character is the "#" of "#AARRGGBB".
  const wchar_t* digits = value.empty() ? L"" : value.c_str() + 1;
  GlobalResources::DefineColor(name, static_cast<uint32_t>(std::wcstoul(digits, nullptr, 16)));
}

}  // namespace ui
