#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "runtime/include/internal/cef_ptr.h"

namespace cef_standin {

class BrowserHostImpl;

// The browser process's live browsers by identifier, from creation until
// OnBeforeClose. Any thread.
class BrowserRegistry {
 public:
  static BrowserRegistry& Get();

  int NextIdentifier();
  void Add(int id, CefRefPtr<BrowserHostImpl> browser);
  void Remove(int id);
  CefRefPtr<BrowserHostImpl> Find(int id);
  std::vector<CefRefPtr<BrowserHostImpl>> All();

 private:
  std::mutex mutex_;
  int next_id_ = 1;                                     // guarded by mutex_
  std::map<int, CefRefPtr<BrowserHostImpl>> browsers_;  // guarded by mutex_
};

}  // namespace cef_standin
