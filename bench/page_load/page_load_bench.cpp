// LoadURL of a generated page (about 200 KB, 2,000 elements and a script)
// to its OnLoadEnd and to its first frame on the screen, against fetching
// the same bytes with WinHTTP alone, with one session kept for every fetch
// and with a fresh session each time, alternating in the same run. Needs
// the local web server (QEL_WEB_PORT, as /work/notes/wine-run.sh or
// scripts/test start it). Usage: page_load_bench.exe [ROUNDS]
//
// "On the screen": before each measured load the browser shows a red page;
// the new page is on the screen once the screen's pixel in the middle of
// the browser window is no longer red. Looking at the screen costs the X
// server and the processor, so the load end is timed in a load of its own
// during which the screen is not looked at.

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/file/file_util.h"
#include "bench/support/bench_util.h"
#include "runtime/include/cef_app.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_client.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr wchar_t kPagePath[] = L"/generated?elements=2000&bytes=204800&title=Bench";
constexpr COLORREF kRed = RGB(255, 0, 0);

int WebPort() {
  wchar_t value[16] = {};
  return GetEnvironmentVariableW(L"QEL_WEB_PORT", value, 16) ? _wtoi(value) : 0;
}

// The client: the browser, and when its main frame's load last ended.
class BenchClient : public CefClient, public CefLifeSpanHandler, public CefLoadHandler {
 public:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    browser_ = browser;
    created_ = true;
  }
  void OnBeforeClose(CefRefPtr<CefBrowser>) override { closed_ = true; }
  void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override {
    if (!frame->IsMain())
      return;
    status_ = status;
    load_end_us_ = bench::NowMicroseconds();
    ++load_ends_;
  }
  void OnLoadError(CefRefPtr<CefBrowser>,
                   CefRefPtr<CefFrame>,
                   ErrorCode error_code,
                   const CefString&,
                   const CefString& url) override {
    std::fprintf(stderr, "load error %d for %ls\n", static_cast<int>(error_code),
                 url.ToWString().c_str());
  }

  CefRefPtr<CefBrowser> browser_;
  std::atomic<bool> created_{false};
  std::atomic<bool> closed_{false};
  std::atomic<int> load_ends_{0};
  std::atomic<int> status_{0};
  std::atomic<double> load_end_us_{0};

 private:
  IMPLEMENT_REFCOUNTING(BenchClient);
};

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done())
      return true;
    if (GetTickCount64() >= end)
      return false;
    // A millisecond's wait between looks: spinning would take the CPU
    // from the runtime's threads and the server it measures.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

COLORREF ScreenPixel(POINT point) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// One GET of the page with WinHTTP alone: connect, send, read the whole
// body. `session` null: a session of its own. The body's size, 0 on error.
size_t Fetch(HINTERNET session, int port) {
  HINTERNET own = nullptr;
  if (!session) {
    own = WinHttpOpen(L"page_load_bench", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                      WINHTTP_NO_PROXY_BYPASS, 0);
    session = own;
  }
  size_t size = 0;
  HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(port), 0);
  HINTERNET request = connection
                          ? WinHttpOpenRequest(connection, L"GET", kPagePath, nullptr,
                                               WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                          : nullptr;
  if (request && WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, 0, 0) &&
      WinHttpReceiveResponse(request, nullptr)) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
      DWORD read = 0;
      if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read) ||
          read == 0)
        break;
      size += read;
    }
  }
  if (request)
    WinHttpCloseHandle(request);
  if (connection)
    WinHttpCloseHandle(connection);
  if (own)
    WinHttpCloseHandle(own);
  return size;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 30;
  const int port = WebPort();
  if (!port) {
    std::fprintf(stderr, "no local web server: set QEL_WEB_PORT\n");
    return 1;
  }
  // The runtime lies in the folder "cef" beside the program.
  wchar_t old_path[32768] = {};
  GetEnvironmentVariableW(L"PATH", old_path, 32768);
  SetEnvironmentVariableW(L"PATH", (kbase::ModuleDirectory() + L"cef;" + old_path).c_str());

  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring data = std::wstring(temp) + L"qel_page_load_bench\\";
  CefSettings settings;
  settings.no_sandbox = 1;
  settings.multi_threaded_message_loop = 1;
  CefString(&settings.cache_path) = data + L"cache";
  CefString(&settings.log_file) = data + L"cef.log";
  if (!CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, nullptr, nullptr)) {
    std::fprintf(stderr, "the runtime did not start\n");
    return 1;
  }

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &HostProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"PageLoadBench";
  RegisterClassW(&window_class);
  RECT frame = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND host = CreateWindowExW(0, L"PageLoadBench", L"page load", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              0, 0, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  CefRefPtr<BenchClient> client = new BenchClient;
  CefWindowInfo info;
  info.SetAsChild(host, RECT{0, 0, kWidth, kHeight});
  CefBrowserSettings browser_settings;
  CefBrowserHost::CreateBrowser(info, client.get(), L"about:blank", browser_settings, nullptr,
                                nullptr);
  if (!PumpUntil([&] { return client->created_.load(); }, 10000)) {
    std::fprintf(stderr, "no browser\n");
    return 1;
  }
  CefRefPtr<CefBrowser> browser = client->browser_;
  POINT middle = {kWidth / 2, kHeight / 2};
  ClientToScreen(browser->GetHost()->GetWindowHandle(), &middle);

  const std::wstring page = L"http://127.0.0.1:" + std::to_wstring(port) + kPagePath;
  const std::wstring red =
      L"data:text/html,<body style=\"margin: 0\"><div style=\"background-color: #ff0000; "
      L"height: 2000px\">red</div></body>";
  HINTERNET kept = WinHttpOpen(L"page_load_bench", WINHTTP_ACCESS_TYPE_NO_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  const size_t page_bytes = Fetch(kept, port);
  if (page_bytes == 0) {
    std::fprintf(stderr, "the page could not be fetched\n");
    return 1;
  }

  std::vector<double> kept_us;
  std::vector<double> fresh_us;
  std::vector<double> load_end_us;
  std::vector<double> frame_us;
  // One round unmeasured first: the runtime's and the server's caches.
  for (int round = -1; round < rounds; ++round) {
    double start = bench::NowMicroseconds();
    Fetch(kept, port);
    const double kept_fetch = bench::NowMicroseconds() - start;
    start = bench::NowMicroseconds();
    Fetch(nullptr, port);
    const double fresh_fetch = bench::NowMicroseconds() - start;

    int ends = client->load_ends_;
    browser->GetMainFrame()->LoadURL(red);
    if (!PumpUntil([&] { return client->load_ends_ > ends && ScreenPixel(middle) == kRed; },
                   10000)) {
      std::fprintf(stderr, "the red page did not show\n");
      return 1;
    }
    // The load end alone, without looking at the screen meanwhile.
    ends = client->load_ends_;
    start = bench::NowMicroseconds();
    browser->GetMainFrame()->LoadURL(page);
    if (!PumpUntil([&] { return client->load_ends_ > ends; }, 20000) || client->status_ != 200) {
      std::fprintf(stderr, "the page did not load\n");
      return 1;
    }
    const double load_end = client->load_end_us_ - start;
    ends = client->load_ends_;
    browser->GetMainFrame()->LoadURL(red);
    if (!PumpUntil([&] { return client->load_ends_ > ends && ScreenPixel(middle) == kRed; },
                   10000)) {
      std::fprintf(stderr, "the red page did not show\n");
      return 1;
    }
    // The frame on the screen, looked for every millisecond.
    ends = client->load_ends_;
    start = bench::NowMicroseconds();
    browser->GetMainFrame()->LoadURL(page);
    double on_screen = 0;
    if (!PumpUntil(
            [&] {
              if (on_screen == 0 && ScreenPixel(middle) != kRed)
                on_screen = bench::NowMicroseconds();
              return on_screen != 0 && client->load_ends_ > ends;
            },
            20000) ||
        client->status_ != 200) {
      std::fprintf(stderr, "the page did not load\n");
      return 1;
    }
    if (round < 0)
      continue;
    kept_us.push_back(kept_fetch);
    fresh_us.push_back(fresh_fetch);
    load_end_us.push_back(load_end);
    frame_us.push_back(on_screen - start);
  }
  WinHttpCloseHandle(kept);

  // Medians, and the fastest of each series: on a busy machine the
  // fastest is nearest to what each costs by itself.
  auto best = [](const std::vector<double>& samples) {
    return *std::min_element(samples.begin(), samples.end());
  };
  std::printf("page: %zu bytes, 2000 elements and a script; %d rounds\n", page_bytes, rounds);
  std::printf("%-32s %9s %9s\n", "", "median", "fastest");
  std::printf("%-32s %6.2f ms %6.2f ms\n", "WinHTTP fetch, session kept",
              bench::Median(kept_us) / 1000, best(kept_us) / 1000);
  std::printf("%-32s %6.2f ms %6.2f ms\n", "WinHTTP fetch, fresh session",
              bench::Median(fresh_us) / 1000, best(fresh_us) / 1000);
  const struct {
    const char* name;
    const std::vector<double>& samples;
  } loads[] = {{"LoadURL to OnLoadEnd", load_end_us}, {"LoadURL to the frame on screen", frame_us}};
  for (const auto& load : loads) {
    const double median = bench::Median(load.samples);
    const double fastest = best(load.samples);
    std::printf("%-32s %6.2f ms %6.2f ms\n", load.name, median / 1000, fastest / 1000);
    std::printf("%-32s %6.2fx    %6.2fx   (kept session)\n", "  ratio",
                median / bench::Median(kept_us), fastest / best(kept_us));
    std::printf("%-32s %6.2fx    %6.2fx   (fresh session)\n", "  ratio",
                median / bench::Median(fresh_us), fastest / best(fresh_us));
  }
  std::printf("goal: at most 3x\n");

  DestroyWindow(host);
  PumpUntil([&] { return client->closed_.load(); }, 5000);
  client->browser_ = nullptr;
  browser = nullptr;
  CefShutdown();
  return 0;
}
