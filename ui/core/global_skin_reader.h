#pragma once

#include <string>

namespace ui {

class MarkupDocument;
class MarkupElement;

// Files the definitions of a "Global" skin with the global resources: the
// root's default text colour names, then its "Font", "Class" and
// "TextColor" children in document order.
//
// An interim reader for "global.xml" until the skin builder exists; the
// builder takes over the same job and the same syntax.
class GlobalSkinReader {
 public:
  GlobalSkinReader() = delete;

  // Loads |path| (relative to the resource folder) and files it. False when
  // the file cannot be loaded or its root is not "Global".
  static bool ReadFile(const std::wstring& path);
  // Files an already parsed document. False when its root is not "Global".
  static bool Read(const MarkupDocument& document);

  // The attribute string of a "Class" element: "value" as it stands,
  // "_value" as value="...", every other attribute but "name" as
  // name="value", without leading blanks.
  static std::wstring ClassAttributeString(const MarkupElement& element);

 private:
  static void ApplyRootAttributes(const MarkupElement& root);
  static void DefineFont(const MarkupElement& element);
  static void DefineClass(const MarkupElement& element);
  static void DefineColor(const MarkupElement& element);
};

}  // namespace ui
