// The script bridge's round trip against the runtime's bare process
// messages, in one run of the stand-in runtime:
//
//   bridge   page script calls a registered native function through
//            KelCefWebInstance.call; the function answers at once on the
//            main thread; the page callback runs (timed from the call's
//            start to the callback's end, on the renderer thread);
//   raw      the renderer sends a process message that the browser side
//            answers at once on the runtime's UI thread;
//   raw+main the same, answered from a task posted to the main thread, as
//            the bridge answers;
//   and, to tell where the time goes, how long a task posted from the
//   renderer takes to start on the main thread and on the runtime's UI
//   thread.
//
// The kinds take turns in blocks so that the busy machine's phases fall on
// all of them alike; each figure is the median of kRounds samples.

#include <windows.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/thread/thread_registry.h"
#include "bench/support/bench_util.h"
#include "browser/bridge/bridge_messages.h"
#include "browser/common/runtime_task.h"
#include "browser/control/cef_native_control.h"
#include "browser/manager/cef_manager.h"
#include "browser/manager/client_app.h"
#include "runtime/include/cef_app.h"
#include "runtime/include/cef_client.h"
#include "runtime/standin/standin_probe.h"
#include "tests/browser/main_thread_for_test.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace {

constexpr int kRounds = 1000;
constexpr int kBlocks = 10;
constexpr int kWarmUpRounds = 50;
constexpr DWORD kRunTimeoutMs = 60000;
constexpr char kPing[] = "BenchPing";
constexpr char kPong[] = "BenchPong";

enum class Kind { kBridge, kRawEcho, kRawEchoViaMain, kTaskToMain, kTaskToRuntimeUi };
constexpr Kind kKinds[] = {Kind::kBridge, Kind::kRawEcho, Kind::kRawEchoViaMain, Kind::kTaskToMain,
                           Kind::kTaskToRuntimeUi};
constexpr size_t kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);

// The page: `ping()` calls the native "echo" with a number, and the
// callback counts the answers and the wrong ones.
constexpr char kPage[] =
    "<!DOCTYPE html><html><head><title>bridge bench</title></head><body><script>"
    "var answered = 0; var wrong = 0;"
    "function ping() {"
    " var n = answered + 1;"
    " KelCefWebInstance.call('echo', {n: n}, function (error, result) {"
    "  if (error || result.n !== n) wrong++;"
    "  answered++;"
    " });"
    "}"
    "</script></body></html>";

std::wstring DataUrl(const std::string& html) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring url = L"data:text/html;charset=utf-8,";
  for (unsigned char c : html) {
    if (isalnum(c)) {
      url += static_cast<wchar_t>(c);
    } else {
      url += L'%';
      url += static_cast<wchar_t>(kHex[c >> 4]);
      url += static_cast<wchar_t>(kHex[c & 15]);
    }
  }
  return url;
}

// The renderer's half: starts each round and takes its end. Every member
// but the thread-safe counters is used on the renderer thread only; the
// driver reads the samples once the run's event is set.
class Rounds {
 public:
  void Start(Kind kind, int count, std::vector<double>* samples, HANDLE done) {
    kind_ = kind;
    remaining_ = count;
    samples_ = samples;
    done_ = done;
    StartRound();
  }

  // A round's end, on the renderer thread.
  void Finish(double sample) {
    if (samples_)
      samples_->push_back(sample);
    if (--remaining_ > 0) {
      // Started afresh from the renderer's queue, outside the handler
      // that took this round's end.
      kel_comp::PostRuntimeTask(TID_RENDERER, [this] { StartRound(); });
    } else {
      SetEvent(done_);
    }
  }
  void FinishTimed() { Finish(bench::NowMicroseconds() - started_); }

  Kind kind() const { return kind_; }
  int failures() const { return failures_; }
  std::map<int, CefRefPtr<CefBrowser>>& browsers() { return browsers_; }
  std::atomic<int> bridge_browser{-1};
  std::atomic<int> raw_browser{-1};

 private:
  void StartRound() {
    const auto bridge = browsers_.find(bridge_browser);
    const auto raw = browsers_.find(raw_browser);
    if (bridge == browsers_.end() || raw == browsers_.end())
      return Fail();
    started_ = bench::NowMicroseconds();
    switch (kind_) {
      case Kind::kBridge: {
        CefRefPtr<CefV8Context> context = bridge->second->GetMainFrame()->GetV8Context();
        CefRefPtr<CefV8Value> result;
        CefRefPtr<CefV8Exception> exception;
        if (!context || !context->Eval("ping()", CefString(), 0, result, exception))
          return Fail();
        break;
      }
      case Kind::kRawEcho:
      case Kind::kRawEchoViaMain: {
        CefRefPtr<CefProcessMessage> ping = CefProcessMessage::Create(kPing);
        ping->GetArgumentList()->SetBool(0, kind_ == Kind::kRawEchoViaMain);
        raw->second->GetMainFrame()->SendProcessMessage(PID_BROWSER, ping);
        break;
      }
      case Kind::kTaskToMain: {
        const double started = started_;
        kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier, [this, started] {
          const double sample = bench::NowMicroseconds() - started;
          kel_comp::PostRuntimeTask(TID_RENDERER, [this, sample] { Finish(sample); });
        });
        break;
      }
      case Kind::kTaskToRuntimeUi: {
        const double started = started_;
        kel_comp::PostRuntimeTask(TID_UI, [this, started] {
          const double sample = bench::NowMicroseconds() - started;
          kel_comp::PostRuntimeTask(TID_RENDERER, [this, sample] { Finish(sample); });
        });
        break;
      }
    }
  }
  void Fail() {
    ++failures_;
    SetEvent(done_);
  }

  Kind kind_ = Kind::kBridge;
  int remaining_ = 0;
  double started_ = 0;
  std::vector<double>* samples_ = nullptr;
  HANDLE done_ = nullptr;
  int failures_ = 0;
  std::map<int, CefRefPtr<CefBrowser>> browsers_;
};

Rounds g_rounds;

// The program's application object, which also takes each round's end in
// the renderer: after the bridge's own handling (the page callback has run
// by then) or on the raw echo's answer.
class BenchApp : public kel_comp::ClientApp {
 public:
  void OnBrowserCreated(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefDictionaryValue> extra_info) override {
    ClientApp::OnBrowserCreated(browser, extra_info);
    g_rounds.browsers()[browser->GetIdentifier()] = browser;
  }
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override {
    const CefString name = message->GetName();
    if (name == kPong) {
      g_rounds.FinishTimed();
      return true;
    }
    const bool handled =
        ClientApp::OnProcessMessageReceived(browser, frame, source_process, message);
    if (name == kel_comp::kExecuteJsCallbackMessage && g_rounds.kind() == Kind::kBridge)
      g_rounds.FinishTimed();
    return handled;
  }
};

// The raw echo's browser side: answers a ping at once on the runtime's UI
// thread, or from the main thread.
class EchoClient : public CefClient, public CefLifeSpanHandler {
 public:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    std::lock_guard<std::mutex> lock(mutex_);
    browser_ = browser;
    g_rounds.raw_browser = browser->GetIdentifier();
  }
  void OnBeforeClose(CefRefPtr<CefBrowser>) override {
    std::lock_guard<std::mutex> lock(mutex_);
    browser_ = nullptr;
  }
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser>,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId,
                                CefRefPtr<CefProcessMessage> message) override {
    if (message->GetName() != kPing)
      return false;
    CefRefPtr<CefProcessMessage> pong = CefProcessMessage::Create(kPong);
    if (!message->GetArgumentList()->GetBool(0)) {
      frame->SendProcessMessage(PID_RENDERER, pong);
    } else {
      kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier, [frame, pong] {
        frame->SendProcessMessage(PID_RENDERER, pong);
      });
    }
    return true;
  }
  CefRefPtr<CefBrowser> browser() {
    std::lock_guard<std::mutex> lock(mutex_);
    return browser_;
  }

 private:
  std::mutex mutex_;
  CefRefPtr<CefBrowser> browser_;

  IMPLEMENT_REFCOUNTING(EchoClient);
};

ui::Control* CreateNativeControl(const std::wstring& element_name) {
  return element_name == L"CefControl" ? new kel_comp::CefNativeControl : nullptr;
}

// A window holding the bridge's browser control, made as the forms make it.
class HostWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelBridgeBench"; }
  kel_comp::CefNativeControl* Open() {
    HWND hwnd = Create(nullptr, L"bridge bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, false,
                       ui::UiRect{0, 0, 400, 300});
    if (!hwnd)
      return nullptr;
    AttachNativeWindow(hwnd);
    ui::SkinBuilder builder;
    ui::Control* root =
        builder.Create(L"<Window size=\"400,300\"><VBox><CefControl name=\"cef\"/></VBox></Window>",
                       &CreateNativeControl, this, nullptr);
    if (!root || !AttachRoot(root))
      return nullptr;
    return dynamic_cast<kel_comp::CefNativeControl*>(FindControlByName(L"cef"));
  }
};

bool RunRounds(Kind kind, int count, std::vector<double>* samples) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const int failures = g_rounds.failures();
  const bool started =
      StandinProbe::RunOnRenderer([&] { g_rounds.Start(kind, count, samples, done); });
  const bool finished = started && WaitForSingleObject(done, kRunTimeoutMs) == WAIT_OBJECT_0;
  CloseHandle(done);
  return finished && g_rounds.failures() == failures;
}

// The page's two counters, read in its context.
bool ReadPageCounters(int* answered, int* wrong) {
  bool read = false;
  StandinProbe::RunOnRenderer([&] {
    auto browser = g_rounds.browsers().find(g_rounds.bridge_browser);
    if (browser == g_rounds.browsers().end())
      return;
    CefRefPtr<CefV8Context> context = browser->second->GetMainFrame()->GetV8Context();
    CefRefPtr<CefV8Value> value;
    CefRefPtr<CefV8Exception> exception;
    if (!context || !context->Eval("answered * 100000 + wrong", CefString(), 0, value, exception) ||
        !value) {
      return;
    }
    *answered = value->GetIntValue() / 100000;
    *wrong = value->GetIntValue() % 100000;
    read = true;
  });
  return read;
}

void PrintFigures(const std::vector<double> (&samples)[kKindCount]) {
  const double bridge = bench::Median(samples[0]);
  const double raw = bench::Median(samples[1]);
  const double raw_main = bench::Median(samples[2]);
  std::printf("bridge round trip, median of %d calls each (microseconds):\n", kRounds);
  std::printf("  page call -> native function -> page callback   %8.1f\n", bridge);
  std::printf("  raw process-message echo, runtime UI thread     %8.1f   ratio %.2f (goal <= 2)\n",
              raw, raw > 0 ? bridge / raw : 0);
  std::printf("  raw echo answered from the main thread          %8.1f   ratio %.2f\n", raw_main,
              raw_main > 0 ? bridge / raw_main : 0);
  std::printf("a task posted from the renderer starts after:\n");
  std::printf("  on the main thread (UI loop)                    %8.1f\n",
              bench::Median(samples[3]));
  std::printf("  on the runtime's UI thread                      %8.1f\n",
              bench::Median(samples[4]));
}

}  // namespace

int main() {
  kel_comp::CefManager* const manager = kel_comp::CefManager::GetInstance();
  manager->AddRuntimeFolderToPath();
  const CefMainArgs main_args(GetModuleHandleW(nullptr));
  CefRefPtr<BenchApp> app = new BenchApp;
  if (CefExecuteProcess(main_args, app.get(), nullptr) >= 0)
    return 0;
  test::TempFolder folder(L"qel_bridge_bench");
  CefSettings settings;
  manager->FillSettings(folder.path() + L"cef_temp\\", settings);
  settings.windowless_rendering_enabled = 0;
  if (!CefInitialize(main_args, settings, app.get(), nullptr)) {
    std::fprintf(stderr, "the runtime did not start\n");
    return 1;
  }
  StandinProbe probe;

  // The program's main thread, as in the tests; it is never ended (the
  // skin builder's per-thread state must not be torn down at its exit).
  auto* main_thread = new test::MainThreadForTest;
  HostWindow* window = nullptr;
  CefRefPtr<EchoClient> echo = new EchoClient;
  main_thread->RunAndWait([&] {
    ui::GlobalResources::Startup(bench::ProgramFolder() + L"resources\\", nullptr,
                                 L"themes\\default", L"lang\\zh_CN");
    window = new HostWindow;
    kel_comp::CefNativeControl* control = window->Open();
    if (!control)
      return;
    control->AttachAfterCreated([control](CefRefPtr<CefBrowser> browser) {
      control->RegisterCppFunc(L"echo", [](const std::string& params, kel_comp::CppReply reply) {
        reply(false, params);
      });
      g_rounds.bridge_browser = browser->GetIdentifier();
    });
    control->LoadURL(DataUrl(kPage));
    CefWindowInfo info;
    info.SetAsChild(window->GetHWND(), RECT{0, 0, 100, 100});
    CefBrowserSettings browser_settings;
    CefBrowserHost::CreateBrowser(info, echo.get(), "about:blank", browser_settings, nullptr,
                                  nullptr);
  });

  const bool ready =
      test::WaitUntil([&] { return g_rounds.bridge_browser >= 0 && g_rounds.raw_browser >= 0; },
                      20000) &&
      test::WaitUntil(
          [&] {
            return probe.BrowserIdle(g_rounds.bridge_browser) &&
                   probe.BrowserIdle(g_rounds.raw_browser);
          },
          20000);
  std::vector<double> samples[kKindCount];
  bool measured = ready;
  for (size_t kind = 0; measured && kind < kKindCount; ++kind)
    measured = RunRounds(kKinds[kind], kWarmUpRounds, nullptr);
  for (int block = 0; measured && block < kBlocks; ++block) {
    for (size_t kind = 0; measured && kind < kKindCount; ++kind)
      measured = RunRounds(kKinds[kind], kRounds / kBlocks, &samples[kind]);
  }
  int answered = 0;
  int wrong = 0;
  const bool counted = measured && ReadPageCounters(&answered, &wrong);
  const int expected = kWarmUpRounds + kRounds;
  if (!ready || !measured) {
    std::fprintf(stderr, "the rounds did not complete (%s)\n", ready ? "timed out" : "no browsers");
  } else if (!counted || answered != expected || wrong != 0) {
    std::fprintf(stderr, "the page saw %d answers (%d wrong) of %d calls\n", answered, wrong,
                 expected);
    measured = false;
  } else {
    PrintFigures(samples);
  }

  main_thread->RunAndWait([&] {
    if (CefRefPtr<CefBrowser> raw = echo->browser())
      raw->GetHost()->CloseBrowser(true);
    if (window && window->GetHWND())
      DestroyWindow(window->GetHWND());
    delete window;
  });
  test::WaitUntil([&] { return probe.BrowserCount() == 0; }, 10000);
  StandinProbe::RunOnRenderer([] { g_rounds.browsers().clear(); });
  CefShutdown();
  return measured ? 0 : 1;
}
