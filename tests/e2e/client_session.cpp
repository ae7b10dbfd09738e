#include "tests/e2e/client_session.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/util/string_util.h"

namespace e2e {

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// The string value of "name" in one JSON line of the log. Its strings are
// ASCII paths and host names; an escaped character is kept without its
// backslash.
std::string JsonField(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\": \"";
  size_t at = line.find(key);
  if (at == std::string::npos)
    return {};
  std::string value;
  for (at += key.size(); at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\\' && at + 1 < line.size())
      ++at;
    value.push_back(line[at]);
  }
  return value;
}

struct ProcessWindowSearch {
  DWORD process_id;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<ProcessWindowSearch*>(lparam);
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id != search->process_id)
    return TRUE;
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (wcscmp(class_name, search->class_name) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
}

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  SendMouse(MOUSEEVENTF_MOVE);
  Sleep(30);
}

const CLSID* PngEncoder(std::vector<uint64_t>& storage) {
  namespace gp = Gdiplus::DllExports;
  UINT count = 0;
  UINT size = 0;
  if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
    return nullptr;
  storage.resize((size + 7) / 8);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
  if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
    return nullptr;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0)
      return &codecs[i].Clsid;
  }
  return nullptr;
}

// The screen's pixels of a rectangle in a bitmap the caller deletes.
HBITMAP CaptureScreen(const RECT& rect) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top,
         SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(20);
  }
}

RequestLog::RequestLog() : path_(Environment(L"QEL_WEB_LOG")) {
  std::ifstream file(path_.c_str(), std::ios::binary | std::ios::ate);
  if (file)
    start_ = file.tellg();
}

std::vector<LoggedRequest> RequestLog::Read() const {
  std::vector<LoggedRequest> requests;
  std::ifstream file(path_.c_str(), std::ios::binary);
  file.seekg(start_);
  std::string line;
  while (std::getline(file, line))
    requests.push_back({JsonField(line, "host"), JsonField(line, "path")});
  return requests;
}

size_t RequestLog::Count(const std::string& host, const std::string& path_prefix) const {
  size_t count = 0;
  for (const LoggedRequest& request : Read()) {
    if (request.host == host && request.path.compare(0, path_prefix.size(), path_prefix) == 0)
      ++count;
  }
  return count;
}

int DemoPlatformPort() {
  return _wtoi(Environment(L"QEL_WEB_PORT").c_str());
}

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

ClientRun::ClientRun(const std::wstring& extra_arguments, const wchar_t* program, int platform_port) {
  std::wstring command = L"\"" + BuildFolder() + program +
                         L"\" \"--host-resolver-rules=MAP *.example 127.0.0.1:" +
                         std::to_wstring(platform_port) + L"\"";
  if (!extra_arguments.empty())
    command += L" " + extra_arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     BuildFolder().c_str(), &startup, &process_)) {
    CloseHandle(process_.hThread);
  } else {
    process_ = {};
  }
}

ClientRun::~ClientRun() {
  if (!process_.hProcess)
    return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hProcess);
}

long ClientRun::WaitForExit(DWORD timeout_ms) {
  if (!process_.hProcess || WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

HWND ClientRun::Find(const wchar_t* class_name) const {
  ProcessWindowSearch search = {process_.dwProcessId, class_name, nullptr};
  EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ClientRun::WaitVisible(const wchar_t* class_name, DWORD timeout_ms) const {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = Find(class_name);
        return window && IsWindowVisible(window);
      },
      timeout_ms);
  return window && IsWindowVisible(window) ? window : nullptr;
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

bool IsAbove(HWND upper, HWND lower) {
  for (HWND window = GetWindow(lower, GW_HWNDPREV); window;
       window = GetWindow(window, GW_HWNDPREV)) {
    if (window == upper)
      return true;
  }
  return false;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

POINT At(HWND window, int x, int y) {
  const RECT rect = WindowRect(window);
  return {rect.left + x, rect.top + y};
}

void ClickAt(POINT screen) {
  MoveMouse(screen);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(60);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Sleep(60);
}

void DragFromTo(POINT from, POINT to) {
  MoveMouse(from);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(100);
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i)
    MoveMouse({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
  Sleep(100);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Sleep(100);
}

COLORREF ScreenPixel(POINT screen) {
  HDC dc = GetDC(nullptr);
  const COLORREF colour = GetPixel(dc, screen.x, screen.y);
  ReleaseDC(nullptr, dc);
  return colour;
}

std::vector<uint32_t> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::vector<uint32_t> pixels(static_cast<size_t>(std::max(width, 0)) *
                               static_cast<size_t>(std::max(height, 0)));
  if (pixels.empty())
    return pixels;
  HBITMAP bitmap = CaptureScreen(rect);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  for (uint32_t& pixel : pixels)
    pixel &= 0xFFFFFF;
  return pixels;
}

uint64_t ScreenHash(const RECT& rect) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (uint32_t pixel : ScreenPixels(rect)) {
    hash ^= pixel;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::vector<Band> ColourBands(int x, int top, int bottom, COLORREF colour, int min_height) {
  const std::vector<uint32_t> column = ScreenPixels({x, top, x + 1, bottom});
  auto close_to = [](int a, int b) { return a - b <= 6 && b - a <= 6; };
  const int want_r = GetRValue(colour), want_g = GetGValue(colour), want_b = GetBValue(colour);
  std::vector<Band> bands;
  int start = -1;
  for (size_t i = 0; i <= column.size(); ++i) {
    bool match = false;
    if (i < column.size()) {
      const uint32_t p = column[i];
      match = close_to(static_cast<int>((p >> 16) & 0xFF), want_r) &&
              close_to(static_cast<int>((p >> 8) & 0xFF), want_g) &&
              close_to(static_cast<int>(p & 0xFF), want_b);
    }
    if (match && start < 0)
      start = static_cast<int>(i);
    if (!match && start >= 0) {
      if (static_cast<int>(i) - start >= min_height)
        bands.push_back({top + start, top + static_cast<int>(i)});
      start = -1;
    }
  }
  return bands;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  namespace gp = Gdiplus::DllExports;
  std::vector<uint64_t> storage;
  const CLSID* png = PngEncoder(storage);
  if (!png)
    return false;
  HBITMAP bitmap = CaptureScreen(WindowRect(window));
  Gdiplus::GpBitmap* image = nullptr;
  bool saved = false;
  if (gp::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
    saved = gp::GdipSaveImageToFile(image, path.c_str(), png, nullptr) == Gdiplus::Ok;
    gp::GdipDisposeImage(image);
  }
  DeleteObject(bitmap);
  return saved;
}

}  // namespace e2e
