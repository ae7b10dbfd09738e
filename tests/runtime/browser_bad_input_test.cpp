// Pages that push the runtime: one that reloads itself for ever, and a
// huge one. The runtime's windows keep answering, memory stays bounded,
// and the browsers still close.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/runtime/browser_test_support.h"

// After windows.h, which the support header brings.
#include <psapi.h>

namespace browser_test {
namespace {

using BrowserBadInputTest = BrowserTest;

// How long `window`'s thread takes to answer a message, in milliseconds;
// `limit_ms` when it does not answer within that.
DWORD AnswerTime(HWND window, DWORD limit_ms) {
  const ULONGLONG start = GetTickCount64();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, limit_ms, &result))
    return limit_ms;
  return static_cast<DWORD>(GetTickCount64() - start);
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return counters.PagefileUsage;
}

size_t NavigationsOf(const StandinProbe& probe, int browser_id) {
  size_t count = 0;
  for (const StandinProbe::Navigation& navigation : probe.Navigations())
    count += navigation.browser_id == browser_id;
  return count;
}

TEST_F(BrowserBadInputTest, APageThatReloadsItselfForEverStaysResponsiveAndCloses) {
  CefRefPtr<CefBrowser> looping =
      CreateBrowser(client_, PageUrl("<p>again</p><script>location.reload();</script>"));
  ASSERT_TRUE(looping);
  const int id = looping->GetIdentifier();
  ASSERT_TRUE(test::PumpUntil([&] { return NavigationsOf(probe_, id) >= 20; }, 10000))
      << "the page reloads";

  // Meanwhile another browser loads, and the looping one's window answers.
  CefRefPtr<RecordingClient> other = new RecordingClient;
  CefRefPtr<CefBrowser> calm = CreateBrowser(other, L"http://a.example/page?title=Calm");
  ASSERT_TRUE(calm);
  EXPECT_TRUE(WaitForEvent(other, L"OnLoadEnd main 200"));
  DWORD slowest = 0;
  for (int i = 0; i < 20; ++i) {
    slowest = std::max(slowest, AnswerTime(looping->GetHost()->GetWindowHandle(), 2000));
    test::PumpFor(20);
  }
  EXPECT_LT(slowest, 500u) << "the runtime's thread answers its windows";
  EXPECT_GT(NavigationsOf(probe_, id), 40u) << "still reloading";

  // Out of the program's window first, as the program does before closing.
  SetParent(looping->GetHost()->GetWindowHandle(), nullptr);
  looping->GetHost()->CloseBrowser(true);
  ASSERT_TRUE(WaitForEvent(client_, L"OnBeforeClose " + std::to_wstring(id)));
  const size_t after_close = NavigationsOf(probe_, id);
  test::PumpFor(300);
  EXPECT_EQ(NavigationsOf(probe_, id), after_close) << "a closed browser navigates no more";
  EXPECT_EQ(probe_.BrowserCount(), 1);
  EXPECT_EQ(client_->off_ui_thread(), 0);
}

TEST_F(BrowserBadInputTest, AHugePageLoadsInBoundedMemoryWhileTheWindowAnswers) {
  CefRefPtr<CefBrowser> browser = Open(L"about:blank");
  ASSERT_TRUE(browser);
  HWND page = browser->GetHost()->GetWindowHandle();
  constexpr size_t kBytes = 20u << 20;
  const size_t before = PrivateBytes();
  client_->ClearEvents();
  browser->GetMainFrame()->LoadURL(L"http://a.example/generated?elements=200000&bytes=" +
                                   std::to_wstring(kBytes) + L"&title=Huge");
  // The window answers all through the load.
  DWORD slowest = 0;
  size_t peak = before;
  const bool loaded = test::PumpUntil(
      [&] {
        slowest = std::max(slowest, AnswerTime(page, 5000));
        peak = std::max(peak, PrivateBytes());
        return !client_->Events({L"OnLoadingStateChange loading=0"}).empty();
      },
      120000);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(client_->HasEvent(L"OnLoadEnd main 200"));
  // The whole page was read: its script at the end found the elements
  // it looked for, the last one included.
  EXPECT_TRUE(client_->HasEvent(L"OnTitleChange Huge 10"));
  EXPECT_LT(slowest, 1000u);
  const size_t grown = (peak - before) >> 20;
  // About 340 MiB in a debug build: the response, the document's 600,000
  // nodes, their layout and the page's script.
  EXPECT_LT(grown, 24u * (kBytes >> 20)) << "MiB grown for a 20 MiB page";
  // The page is on the screen, and scrolls.
  const uint64 frames = probe_.FrameCount(browser->GetIdentifier());
  EXPECT_GT(frames, 0u);
  // Ten notches down.
  const WPARAM down = static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA * 10)) << 16;
  SendMessageW(page, WM_MOUSEWHEEL, down, MAKELPARAM(100, 100));
  EXPECT_TRUE(
      test::PumpUntil([&] { return probe_.FrameCount(browser->GetIdentifier()) > frames; }, 10000));
  std::printf("[ huge page ] %zu MiB grown at the peak, slowest answer %lu ms\n", grown,
              static_cast<unsigned long>(slowest));
}

}  // namespace
}  // namespace browser_test
