#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Waits until |done| holds, checking every 20 ms; false after |timeout_ms|.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// One request of the demo platform's request log.
struct LoggedRequest {
  std::string host;
  std::string path;  // path and query as sent
};

// The request log the web server writes (JSON lines), at QEL_WEB_LOG.
class RequestLog {
 public:
  RequestLog();
  bool available() const { return !path_.empty(); }
  std::vector<LoggedRequest> Read() const;
  // Requests to |host| whose path starts with |path_prefix|.
  size_t Count(const std::string& host, const std::string& path_prefix) const;

 private:
  std::wstring path_;
};

// The demo platform's port (QEL_WEB_PORT), 0 when no server runs.
int DemoPlatformPort();

// One run of the client from the build folder, with the demo hosts mapped
// to the demo platform.
class ClientRun {
 public:
  explicit ClientRun(const std::wstring& extra_arguments = L"");
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
std::wstring WindowText(HWND window);

// Synthesised input through the system's input queue.
void ClickAt(POINT screen);
void DragFromTo(POINT from, POINT to);
// A point |x|, |y| from the top-left corner of |window|'s rectangle.
POINT At(HWND window, int x, int y);

// The screen colour at a point, as 0xRRGGBB.
COLORREF ScreenPixel(POINT screen);
// A hash of the screen pixels of a rectangle, to tell a changed page.
uint64_t ScreenHash(const RECT& rect);
// Saves the screen area of |window| as a PNG file.
bool SaveScreenshot(HWND window, const std::wstring& path);

// The folder of the test program, with its trailing separator.
std::wstring BuildFolder();

}  // namespace e2e
