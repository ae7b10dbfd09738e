#pragma once

#include <windows.h>

#include <functional>

namespace test {

// Dispatches the thread's messages until |done| holds or |timeout_ms| has
// passed; true when |done| held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done())
      return true;
    if (GetTickCount() - start >= timeout_ms)
      return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Dispatches the thread's messages for |duration_ms|.
inline void PumpFor(DWORD duration_ms) {
  PumpUntil([] { return false; }, duration_ms);
}

}  // namespace test
