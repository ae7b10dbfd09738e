// Start-up as the player sees it, measured from outside: from process
// creation to the launcher's first frame on the screen and to the login
// window shown, against a bare Win32 program that shows one window
// (bare_window.exe), alternating in the same run. A frame is "on the
// screen" when a pixel of the window's middle has the window's painted
// colour. Prints the medians and the ratio. The login needs the demo
// platform (QEL_WEB_PORT, as scripts/run and scripts/test start it).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

COLORREF Pixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return colour;
}

struct Search {
  DWORD process_id;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (process_id == search->process_id && wcscmp(class_name, search->class_name) == 0 &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindow(DWORD process_id, const wchar_t* class_name) {
  Search search = {process_id, class_name, nullptr};
  EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Process {
 public:
  explicit Process(std::wstring command) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    start_ms_ = NowMs();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Folder().c_str(), &startup, &info_)) {
      info_ = {};
    } else {
      CloseHandle(info_.hThread);
    }
  }
  ~Process() {
    if (!info_.hProcess)
      return;
    if (WaitForSingleObject(info_.hProcess, 10000) == WAIT_TIMEOUT)
      TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
  }
  bool ok() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  double start_ms() const { return start_ms_; }
  bool Ended() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION info_ = {};
  double start_ms_ = 0;
};

// Milliseconds from the start until |done| holds, or -1 after 60 s or when
// the process ended.
template <typename Done>
double TimeUntil(const Process& process, Done done) {
  while (NowMs() - process.start_ms() < 60000) {
    if (done())
      return NowMs() - process.start_ms();
    if (process.Ended())
      return -1;
    Sleep(1);
  }
  return -1;
}

// A window's first frame: a pixel at (x, y) from its corner has the colour
// |matches| accepts.
template <typename Matches>
bool FramePainted(HWND window, int x, int y, Matches matches) {
  RECT rect = {};
  if (!window || !GetWindowRect(window, &rect))
    return false;
  return matches(Pixel(rect.left + x, rect.top + y));
}

double Median(std::vector<double> values) {
  if (values.empty())
    return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int port = std::atoi(getenv("QEL_WEB_PORT") ? getenv("QEL_WEB_PORT") : "0");
  std::vector<double> bare;
  std::vector<double> launcher;
  std::vector<double> login;
  for (int round = 0; round < rounds; ++round) {
    {
      Process process(L"\"" + Folder() + L"bare_window.exe\"");
      HWND window = nullptr;
      const double ms = TimeUntil(process, [&] {
        window = window ? window : VisibleWindow(process.id(), L"BareWindow");
        return FramePainted(window, 480, 300,
                            [](COLORREF c) { return c == RGB(0x12, 0x9A, 0x56); });
      });
      if (ms >= 0)
        bare.push_back(ms);
      if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    {
      std::wstring command = L"\"" + Folder() + L"Qelmora.exe\"";
      if (port)
        command +=
            L" \"--host-resolver-rules=MAP *.example 127.0.0.1:" + std::to_wstring(port) + L"\"";
      Process process(command);
      HWND window = nullptr;
      // The gold of the product's name in the painted background.
      const double ms = TimeUntil(process, [&] {
        window = window ? window : VisibleWindow(process.id(), L"Game_start");
        return FramePainted(window, 14 + 140, 14 + 130, [](COLORREF c) {
          return GetRValue(c) > 180 && GetGValue(c) > 130 && GetBValue(c) < 150;
        });
      });
      if (ms >= 0)
        launcher.push_back(ms);
      if (port && ms >= 0) {
        const double login_ms = TimeUntil(
            process, [&] { return VisibleWindow(process.id(), L"Game_login") != nullptr; });
        if (login_ms >= 0)
          login.push_back(login_ms);
      }
      if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
  }
  const double bare_median = Median(bare);
  const double launcher_median = Median(launcher);
  std::printf("start-up, %d rounds, medians from process creation:\n", rounds);
  std::printf("  bare Win32 window painted:     %8.1f ms (%zu runs)\n", bare_median, bare.size());
  std::printf(
      "  launcher's first frame:        %8.1f ms (%zu runs)  %.2fx the bare program (goal <= 3x)\n",
      launcher_median, launcher.size(), bare_median > 0 ? launcher_median / bare_median : 0.0);
  if (!port) {
    std::printf(
        "  login window shown:            not measured (no demo platform: QEL_WEB_PORT unset)\n");
  } else if (login.empty()) {
    std::printf("  login window shown:            never, in %d rounds\n", rounds);
  } else {
    std::printf("  login window shown:            %8.1f ms (%zu runs)  %.2fx the bare program\n",
                Median(login), login.size(), bare_median > 0 ? Median(login) / bare_median : 0.0);
  }
  return 0;
}
