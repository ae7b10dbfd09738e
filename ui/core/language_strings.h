#pragma once

#include <map>
#include <string>

#include "base/thread/thread_checker.h"

namespace ui {

// The language strings of "gdstrings.ini": id=text lines in UTF-8, ";" in a
// key marks a comment.
//
// Thread rules: a table belongs to the thread that made it, checked in
// debug builds; the process-wide one (Instance) is made by its first
// caller, the UI thread.
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
  void Clear();

  // Empty for an empty or unknown id; "\r" and "\n" written in the file
  // become a carriage return and a line feed.
  std::wstring StringById(const std::wstring& id) const;
  size_t size() const { return strings_.size(); }

 private:
  std::map<std::wstring, std::wstring> strings_;
  kbase::ThreadChecker thread_checker_;
};

}  // namespace ui
