#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The client program the tests start (a build may test another variant).
#ifndef QEL_E2E_CLIENT
#define QEL_E2E_CLIENT L"Qelmora.exe"
#endif

namespace e2e {

// Waits until |done| holds, checking every 20 ms; false after |timeout_ms|.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// One request of the demo platform's request log.
struct LoggedRequest {
  std::string host;
  std::string path;  // path and query as sent
};

// The request log the web server writes (JSON lines), at QEL_WEB_LOG: the
// requests logged since this object was made (one server serves a whole
// test session, and a test counts only its own).
class RequestLog {
 public:
  RequestLog();
  bool available() const { return !path_.empty(); }
  std::vector<LoggedRequest> Read() const;
  // Requests to |host| whose path starts with |path_prefix|.
  size_t Count(const std::string& host, const std::string& path_prefix) const;

 private:
  std::wstring path_;
  std::streamoff start_ = 0;
};

// The demo platform's port (QEL_WEB_PORT), 0 when no server runs.
int DemoPlatformPort();

// One run of the client (or another |program| of the build folder) from
// the build folder, with the demo hosts mapped to the demo platform.
class ClientRun {
 public:
  // The platform's hosts go to |platform_port| of this machine, the demo
  // platform's by default.
  explicit ClientRun(const std::wstring& extra_arguments = L"",
                     const wchar_t* program = QEL_E2E_CLIENT,
                     int platform_port = DemoPlatformPort());
  ~ClientRun();
  ClientRun(const ClientRun&) = delete;
  ClientRun& operator=(const ClientRun&) = delete;

  bool started() const { return process_.hProcess != nullptr; }
  DWORD process_id() const { return process_.dwProcessId; }
  // The exit code once the process has ended within |timeout_ms|, else -1.
  long WaitForExit(DWORD timeout_ms);

  // A top-level window of the process with this class, or null.
  HWND Find(const wchar_t* class_name) const;
  // Waits for a visible window of the class.
  HWND WaitVisible(const wchar_t* class_name, DWORD timeout_ms = 20000) const;

 private:
  PROCESS_INFORMATION process_ = {};
};

RECT WindowRect(HWND window);
// Whether |upper| lies above |lower| in the z-order of top-level windows.
bool IsAbove(HWND upper, HWND lower);
std::wstring WindowText(HWND window);

// Synthesised input through the system's input queue.
void ClickAt(POINT screen);
void DragFromTo(POINT from, POINT to);
// A point |x|, |y| from the top-left corner of |window|'s rectangle.
POINT At(HWND window, int x, int y);

// The screen colour at a point (read with GetRValue and the like).
COLORREF ScreenPixel(POINT screen);
// A hash of the screen pixels of a rectangle, to tell a changed page.
uint64_t ScreenHash(const RECT& rect);
// The screen's pixels of a rectangle, row by row, as 0xRRGGBB.
std::vector<uint32_t> ScreenPixels(const RECT& rect);
// The vertical runs of |colour| (each channel within 6) down the screen
// column |x| from |top| to |bottom|, at least |min_height| pixels high:
// each run's top and bottom (exclusive) in screen coordinates.
struct Band {
  int top;
  int bottom;
  int middle() const { return (top + bottom) / 2; }
};
std::vector<Band> ColourBands(int x, int top, int bottom, COLORREF colour, int min_height = 8);

// Saves the screen area of |window| as a PNG file.
bool SaveScreenshot(HWND window, const std::wstring& path);

// The folder of the test program, with its trailing separator.
std::wstring BuildFolder();

}  // namespace e2e
