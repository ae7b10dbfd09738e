#pragma once

#include <cstdint>
#include <string>

namespace cef_standin {

class BrowserHostImpl;

// A page's request for a new window (window.open, a link with a target),
// UI thread: the client's OnBeforePopup decides; unless it refuses, a
// pop-up browser opens with the window info, client and settings it left.
// True when the pop-up was opened.
bool OpenPopupFor(BrowserHostImpl& opener,
                  int64_t frame_id,
                  const std::wstring& url,
                  const std::wstring& target,
                  bool user_gesture);

}  // namespace cef_standin
