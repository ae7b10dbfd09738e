#pragma once

#include <string>
#include <vector>

namespace cef_standin {

// A browser's session history of main-frame pages: committed entries,
// the current one, and the entries ahead after going back. A new page
// drops the entries ahead; a replacing one takes the current entry's
// place. UI thread only.
class NavigationHistory {
 public:
  struct Entry {
    std::wstring url;
    std::wstring title;
    // What a reload or a return to the entry sends again.
    std::wstring method = L"GET";
    std::string body;
    std::wstring content_type;
  };

  enum class Commit { kAdd, kReplace };

  // Entries beyond this drop the oldest.
  static constexpr size_t kMaxEntries = 50;

  void CommitEntry(Entry entry, Commit commit);
  // A history navigation to `offset` committed: that entry becomes current.
  void CommitOffset(int offset);
  // The entry `offset` steps from the current one, or null.
  const Entry* EntryAt(int offset) const;
  Entry* Current();
  bool CanGoBack() const { return current_ > 0; }
  bool CanGoForward() const { return current_ >= 0 && current_ + 1 < Count(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  int current_index() const { return current_; }

 private:
  std::vector<Entry> entries_;
  int current_ = -1;
};

}  // namespace cef_standin
