// Start-up as the player sees it, measured from outside: from process
// creation to the launcher's first frame on the screen and to the login
// window shown, against a bare Win32 program that shows one window
// (bare_window.exe), alternating in the same run. A frame is "on the
// screen" when a pixel of the window's middle has the window's painted
// colour. Prints the medians and the ratio. The login needs the demo
// platform (QEL_WEB_PORT, as scripts/run and scripts/test start it).

#include <windows.h>

#include <algorithm>
#include <cstdint>
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

bool IsGold(COLORREF c) {
  return GetRValue(c) > 200 && GetGValue(c) > 150 && GetGValue(c) < 180 && GetBValue(c) < 90;
}

// The screen rows of the gold buttons down a column of the login page.
std::vector<int> GoldRows(HWND login) {
  RECT rect = {};
  GetWindowRect(login, &rect);
  const int top = rect.top + 34;
  const int height = rect.bottom - top;
  std::vector<int> rows;
  if (height <= 0)
    return rows;
  // One copy of the column, then the pixels from memory.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 1, height, screen, rect.left + 30, top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> column(static_cast<size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), column.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  bool in_band = false;
  int start = 0;
  for (int i = 0; i <= height; ++i) {
    // The DIB holds 0x00RRGGBB.
    const uint32_t p = i < height ? column[static_cast<size_t>(i)] : 0;
    const bool gold = i < height && IsGold(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    if (gold && !in_band)
      start = i;
    if (!gold && in_band && i - start >= 8)
      rows.push_back(top + (start + i) / 2);
    in_band = gold;
  }
  return rows;
}

void Click(int x, int y) {
  SetCursorPos(x, y);
  INPUT input[3] = {};
  input[0].type = input[1].type = input[2].type = INPUT_MOUSE;
  // The page sees the pointer arrive before the button goes down.
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input[0], sizeof(INPUT));
  Sleep(30);
  SendInput(1, &input[1], sizeof(INPUT));
  Sleep(60);
  SendInput(1, &input[2], sizeof(INPUT));
}

// Polls |done| every millisecond for up to 30 s; the milliseconds it took
// from |start_ms|, or -1.
template <typename Done>
double Measure(double start_ms, Done done) {
  while (NowMs() - start_ms < 30000) {
    if (done())
      return NowMs() - start_ms;
    Sleep(1);
  }
  return -1;
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
  std::vector<double> game;
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
        // The login window with its page on the screen (the window shows
        // before its page when the launcher is first placed).
        const double login_ms = TimeUntil(process, [&] {
          HWND login_window = VisibleWindow(process.id(), L"Game_login");
          return login_window && !GoldRows(login_window).empty();
        });
        if (login_ms >= 0)
          login.push_back(login_ms);
        // Log in, then time a server's click (the page navigates to its
        // "m=game" address) to the game page's first frame: the page's
        // background where the control showed white before.
        HWND login_window = VisibleWindow(process.id(), L"Game_login");
        std::vector<int> rows;
        Measure(NowMs(), [&] { return !(rows = GoldRows(login_window)).empty(); });
        RECT login_rect = {};
        GetWindowRect(login_window, &login_rect);
        if (!rows.empty()) {
          Sleep(800);
          Click(login_rect.left + 40, rows.front());
          Measure(NowMs(), [&] { return (rows = GoldRows(login_window)).size() >= 2; });
        }
        if (rows.size() >= 2) {
          Sleep(800);
          const double click_ms = NowMs();
          Click(login_rect.left + 40, rows.front());
          HWND game_window = nullptr;
          const double game_ms = Measure(click_ms, [&] {
            game_window = game_window ? game_window : VisibleWindow(process.id(), L"Game_client");
            return FramePainted(game_window, 960, 700, [](COLORREF c) {
              // The game page's background, #0b0e16 (not the desktop's black).
              return std::abs(GetRValue(c) - 0x0b) <= 2 && std::abs(GetGValue(c) - 0x0e) <= 2 &&
                     std::abs(GetBValue(c) - 0x16) <= 2;
            });
          });
          if (game_ms >= 0)
            game.push_back(game_ms);
        }
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
        "  login page on the screen:      not measured (no demo platform: QEL_WEB_PORT unset)\n");
  } else if (login.empty()) {
    std::printf("  login page on the screen:      never, in %d rounds\n", rounds);
  } else {
    std::printf("  login page on the screen:      %8.1f ms (%zu runs)  %.2fx the bare program\n",
                Median(login), login.size(), bare_median > 0 ? Median(login) / bare_median : 0.0);
    if (game.empty())
      std::printf("  server click to the game page: never reached\n");
    else
      std::printf("  server click to the game page's first frame: %8.1f ms (%zu runs)\n",
                  Median(game), game.size());
  }
  return 0;
}
