#pragma once

#include <map>
#include <string>

namespace ui {

// The language strings of "gdstrings.ini": id=text lines in UTF-8, ";" in a
// key marks a comment. Process-wide; UI thread only.
class LanguageStrings {
 public:
  static LanguageStrings* Instance();

  LanguageStrings() = default;
  LanguageStrings(const LanguageStrings&) = delete;
  LanguageStrings& operator=(const LanguageStrings&) = delete;

  // Replaces the table with the file's strings. False (and an empty table)
  // when the file cannot be opened.
  bool LoadStringsFile(const std::wstring& path);
  // Adds one line of the file's text: "key=value", later lines winning.
  void AddLine(const std::wstring& line);
  void Clear() { strings_.clear(); }

  // Empty for an empty or unknown id; "\r" and "\n" written in the file
  // become a carriage return and a line feed.
  std::wstring StringById(const std::wstring& id) const;
  size_t size() const { return strings_.size(); }

 private:
  std::map<std::wstring, std::wstring> strings_;
};

}  // namespace ui
