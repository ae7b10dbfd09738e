#pragma once

#include <deque>
#include <mutex>

#include "runtime/include/cef_process_message.h"

namespace cef_standin {

// Process messages renderer frames sent to the browser process, oldest
// first, until someone takes them. Any thread.
class MessageOutbox {
 public:
  struct Entry {
    int browser_id = 0;
    int64 frame_id = 0;
    CefRefPtr<CefProcessMessage> message;
  };

  void Post(Entry entry);
  // False when there is none.
  bool Take(Entry* entry);
  void Clear();

 private:
  std::mutex mutex_;
  std::deque<Entry> entries_;  // guarded by mutex_
};

}  // namespace cef_standin
