#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_cookie.h"
#include "runtime/include/cef_task.h"
#include "runtime/include/cef_v8.h"
#include "runtime/include/wrapper/cef_closure_task.h"
#include "runtime/standin/standin_probe.h"
#include "tests/support/temp_folder.h"

namespace {

using test::IsDirectory;
using test::ReadWholeFile;
using test::WaitUntil;

class SilentHandler : public CefV8Handler {
 public:
  bool Execute(const CefString&,
               CefRefPtr<CefV8Value>,
               const CefV8ValueList&,
               CefRefPtr<CefV8Value>&,
               CefString&) override {
    return false;
  }
  IMPLEMENT_REFCOUNTING(SilentHandler);
};

// An application that records what the runtime calls, on which thread.
class RecordingApp : public CefApp,
                     public CefBrowserProcessHandler,
                     public CefRenderProcessHandler {
 public:
  void OnBeforeCommandLineProcessing(const CefString& process_type,
                                     CefRefPtr<CefCommandLine> command_line) override {
    Record(L"command line [" + process_type.ToWString() + L"]");
    command_line->AppendSwitchWithValue(L"recorded", L"yes");
  }
  void OnRegisterCustomSchemes(CefRawPtr<CefSchemeRegistrar> registrar) override {
    Record(L"schemes");
    custom_scheme_accepted = registrar->AddCustomScheme(L"qel", 0);
  }
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

  void OnContextInitialized() override {
    context_thread = GetCurrentThreadId();
    context_on_ui = CefCurrentlyOn(TID_UI);
    Record(L"context");
  }
  void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) override {
    extra_info->SetString(0, L"for the renderer");
  }
  void OnRenderThreadCreated(CefRefPtr<CefListValue> extra_info) override {
    std::lock_guard<std::mutex> lock(mutex_);
    extra_info_seen = extra_info->GetString(0).ToWString();
  }
  void OnWebKitInitialized() override {
    renderer_thread = GetCurrentThreadId();
    renderer_currently_on = CefCurrentlyOn(TID_RENDERER);
    extension_registered = CefRegisterExtension(L"v8/test", L"var test = 1;", new SilentHandler);
    duplicate_registered = CefRegisterExtension(L"v8/test", L"var again = 2;", new SilentHandler);
    Record(L"webkit");
  }

  std::vector<std::wstring> events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  std::wstring extra_info() {
    std::lock_guard<std::mutex> lock(mutex_);
    return extra_info_seen;
  }

  std::atomic<DWORD> context_thread{0};
  std::atomic<bool> context_on_ui{false};
  std::atomic<DWORD> renderer_thread{0};
  std::atomic<bool> renderer_currently_on{false};
  std::atomic<bool> extension_registered{false};
  std::atomic<bool> duplicate_registered{true};
  bool custom_scheme_accepted = false;

 private:
  void Record(const std::wstring& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
  }

  std::mutex mutex_;
  std::vector<std::wstring> events_;
  std::wstring extra_info_seen;

  IMPLEMENT_REFCOUNTING(RecordingApp);
};

// A task that counts its runs and notes when it is destroyed.
class CountingTask : public CefTask {
 public:
  CountingTask(std::atomic<int>* runs, std::atomic<bool>* destroyed)
      : runs_(runs), destroyed_(destroyed) {}
  ~CountingTask() override { *destroyed_ = true; }
  void Execute() override { ++*runs_; }

 private:
  std::atomic<int>* runs_;
  std::atomic<bool>* destroyed_;
  IMPLEMENT_REFCOUNTING(CountingTask);
};

class RuntimeLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.multi_threaded_message_loop = 1;
    settings_.no_sandbox = 1;
    CefString(&settings_.cache_path) = root_ + L"deep\\cache";
    CefString(&settings_.log_file) = root_ + L"runtime.log";
    app_ = new RecordingApp;
  }

  void TearDown() override { CefShutdown(); }

  bool Initialize() {
    return CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings_, app_, nullptr);
  }

  test::TempFolder folder_{L"qel_runtime"};
  const std::wstring& root_ = folder_.path();
  CefSettings settings_;
  CefRefPtr<RecordingApp> app_;
};

TEST_F(RuntimeLifecycleTest, BrowserProcessIsNoSubProcess) {
  EXPECT_LT(CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), app_, nullptr), 0);
  EXPECT_TRUE(app_->events().empty()) << "the browser process's command line waits for "
                                         "initialisation";
}

TEST_F(RuntimeLifecycleTest, RefusesSettingsItCannotHonour) {
  settings_.size = sizeof(cef_settings_t) - 4;
  EXPECT_FALSE(Initialize());
  settings_.size = sizeof(cef_settings_t);
  settings_.multi_threaded_message_loop = 0;
  EXPECT_FALSE(Initialize());
  EXPECT_FALSE(StandinProbe().IsInitialized());
  EXPECT_TRUE(app_->events().empty());
  EXPECT_FALSE(IsDirectory(root_ + L"deep"));
}

TEST_F(RuntimeLifecycleTest, StartsItsThreadsAndCallsTheApplicationInOrder) {
  ASSERT_TRUE(Initialize());
  StandinProbe probe;
  ASSERT_TRUE(probe.available());
  EXPECT_TRUE(probe.IsInitialized());
  EXPECT_TRUE(IsDirectory(root_ + L"deep\\cache")) << "cache folder with its missing parents";
  ASSERT_TRUE(WaitUntil([&] { return probe.WebKitInitializedCount() == 1; }));

  EXPECT_EQ(app_->events(),
            (std::vector<std::wstring>{L"command line []", L"schemes", L"context", L"webkit"}));
  EXPECT_TRUE(app_->custom_scheme_accepted);
  const DWORD ui_thread = probe.ThreadId(TID_UI);
  const DWORD renderer_thread = probe.ThreadId(TID_RENDERER);
  EXPECT_NE(ui_thread, 0u);
  EXPECT_NE(ui_thread, GetCurrentThreadId());
  EXPECT_EQ(app_->context_thread, ui_thread);
  EXPECT_TRUE(app_->context_on_ui);
  EXPECT_EQ(app_->renderer_thread, renderer_thread);
  EXPECT_NE(renderer_thread, ui_thread);
  EXPECT_TRUE(app_->renderer_currently_on);
  EXPECT_EQ(app_->extra_info(), L"for the renderer");
  EXPECT_EQ(probe.ContextInitializedCount(), 1);

  EXPECT_TRUE(app_->extension_registered);
  EXPECT_FALSE(app_->duplicate_registered) << "extension names are unique";
  const auto extensions = probe.Extensions();
  ASSERT_EQ(extensions.size(), 1u);
  EXPECT_EQ(extensions[0].first, L"v8/test");
  EXPECT_EQ(extensions[0].second, L"var test = 1;");
  EXPECT_FALSE(CefRegisterExtension(L"v8/late", L"var late;", new SilentHandler))
      << "only the renderer registers extensions, while its script engine starts";

  EXPECT_NE(probe.CommandLine().find(L" --recorded=yes"), std::wstring::npos);
  CefRefPtr<CefCommandLine> global = CefCommandLine::GetGlobalCommandLine();
  ASSERT_TRUE(global);
  EXPECT_TRUE(global->IsReadOnly());
  global->AppendSwitch(L"too-late");
  EXPECT_FALSE(global->HasSwitch(L"too-late"));
  EXPECT_TRUE(global->HasSwitch(L"recorded"));

  EXPECT_FALSE(Initialize()) << "initialised already";
  EXPECT_FALSE(CefCurrentlyOn(TID_UI));
  EXPECT_FALSE(CefCurrentlyOn(TID_RENDERER));
}

TEST_F(RuntimeLifecycleTest, RunsTasksInOrderAndDelayedTasksWhenDue) {
  ASSERT_TRUE(Initialize());
  std::mutex mutex;
  std::vector<int> order;
  std::atomic<bool> all_on_ui{true};
  auto record = [&](int step) {
    return CefCreateClosureTask([&, step] {
      if (!CefCurrentlyOn(TID_UI))
        all_on_ui = false;
      std::lock_guard<std::mutex> lock(mutex);
      order.push_back(step);
    });
  };
  const ULONGLONG posted = GetTickCount64();
  std::atomic<ULONGLONG> delayed_ran{0};
  ASSERT_TRUE(CefPostDelayedTask(
      TID_UI, CefCreateClosureTask([&] { delayed_ran = GetTickCount64(); }), 150));
  for (int step = 1; step <= 3; ++step)
    ASSERT_TRUE(CefPostTask(TID_UI, record(step)));
  ASSERT_TRUE(CefPostDelayedTask(TID_UI, record(5), 60));
  ASSERT_TRUE(CefPostDelayedTask(TID_UI, record(4), 30));

  ASSERT_TRUE(WaitUntil([&] { return delayed_ran != 0; }));
  EXPECT_GE(delayed_ran - posted, 140u);
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(all_on_ui);
  EXPECT_FALSE(CefPostTask(TID_IO, record(9))) << "the stand-in runs no I/O thread";
  EXPECT_FALSE(CefPostTask(TID_UI, nullptr));
}

TEST_F(RuntimeLifecycleTest, ShutdownJoinsItsThreadsDropsPendingTasksAndRunsOnce) {
  ASSERT_TRUE(Initialize());
  StandinProbe probe;
  ASSERT_TRUE(WaitUntil([&] { return probe.WebKitInitializedCount() == 1; }));
  std::atomic<int> runs{0};
  std::atomic<bool> destroyed{false};
  ASSERT_TRUE(CefPostDelayedTask(TID_UI, new CountingTask(&runs, &destroyed), 60000));

  std::thread([] { CefShutdown(); }).join();
  EXPECT_TRUE(probe.IsInitialized()) << "only the initialising thread shuts down";

  CefShutdown();
  EXPECT_FALSE(probe.IsInitialized());
  EXPECT_TRUE(destroyed) << "the pending task was released";
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(probe.ThreadId(TID_UI), 0u);
  EXPECT_EQ(probe.ThreadId(TID_RENDERER), 0u);
  EXPECT_FALSE(CefPostTask(TID_UI, CefCreateClosureTask([] {})));
  EXPECT_FALSE(CefCommandLine::GetGlobalCommandLine());
  EXPECT_FALSE(probe.ExtensionHandler(0)) << "handlers are released at shutdown";
  EXPECT_TRUE(app_->HasOneRef()) << "the runtime let go of the application";
  CefShutdown();

  const std::string log = ReadWholeFile(root_ + L"runtime.log");
  EXPECT_NE(log.find("Shutting down"), std::string::npos);
  EXPECT_EQ(log.find("Shutdown complete"), log.rfind("Shutdown complete"));
  EXPECT_LT(log.find("Command line: "), log.find("Shutdown complete"));

  // The observations outlive the shutdown; a new initialisation starts
  // them afresh.
  EXPECT_EQ(probe.Extensions().size(), 1u);
  ASSERT_TRUE(Initialize());
  EXPECT_TRUE(WaitUntil([&] { return probe.WebKitInitializedCount() == 1; }));
  EXPECT_EQ(probe.Extensions().size(), 1u);
}

class CompletionRecorder : public CefCompletionCallback {
 public:
  void OnComplete() override { on_ui = CefCurrentlyOn(TID_UI) ? 1 : 0; }
  std::atomic<int> on_ui{-1};
  IMPLEMENT_REFCOUNTING(CompletionRecorder);
};

TEST_F(RuntimeLifecycleTest, GlobalCookieManagerRecordsItsSchemes) {
  EXPECT_FALSE(CefCookieManager::GetGlobalManager(nullptr)) << "no store before initialisation";
  ASSERT_TRUE(Initialize());
  CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
  ASSERT_TRUE(manager);
  CefRefPtr<CompletionRecorder> done = new CompletionRecorder;
  manager->SetSupportedSchemes({L"http", L"https"}, true, done);
  ASSERT_TRUE(WaitUntil([&] { return done->on_ui != -1; }));
  EXPECT_EQ(done->on_ui, 1) << "completion is told on the UI thread";

  int include_defaults = -1;
  EXPECT_EQ(StandinProbe().CookieSchemes(&include_defaults),
            (std::vector<std::wstring>{L"http", L"https"}));
  EXPECT_EQ(include_defaults, 1);
  EXPECT_NE(ReadWholeFile(root_ + L"runtime.log").find("Cookieable schemes: http, https"),
            std::string::npos);
}

TEST_F(RuntimeLifecycleTest, LibraryOfAnotherInterfaceIsRefused) {
  StandinProbe probe;
  probe.SetApiHash("0123456789abcdef0123456789abcdef01234567");
  EXPECT_EQ(CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), app_, nullptr), 0);
  EXPECT_FALSE(Initialize());
  probe.SetApiHash(nullptr);
  EXPECT_FALSE(probe.IsInitialized());
  EXPECT_TRUE(app_->events().empty());
  EXPECT_FALSE(IsDirectory(root_ + L"deep"));
}

TEST_F(RuntimeLifecycleTest, UnwritableCacheFolderStillStartsAndSaysSoInTheLog) {
  // A file where the cache folder should be.
  const std::wstring blocker = root_ + L"deep";
  HANDLE file = CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  ASSERT_TRUE(Initialize());
  EXPECT_NE(ReadWholeFile(root_ + L"runtime.log").find("Cannot create the cache folder"),
            std::string::npos);
}

}  // namespace
