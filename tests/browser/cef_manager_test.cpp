#include "browser/manager/cef_manager.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "base/file/file_util.h"
#include "base/thread/framework_thread.h"
#include "base/thread/thread_registry.h"
#include "base/time/time.h"
#include "tests/support/temp_folder.h"

namespace kel_comp {
namespace {

std::wstring Environment(const wchar_t* name) {
  const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0)
    return std::wstring();
  std::wstring value(length, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), length));
  return value;
}

// Keeps the environment variables a test changes.
class SavedEnvironment {
 public:
  SavedEnvironment() : path_(Environment(L"PATH")), comspec_(Environment(L"ComSpec")) {}
  ~SavedEnvironment() {
    SetEnvironmentVariableW(L"PATH", path_.c_str());
    SetEnvironmentVariableW(L"ComSpec", comspec_.c_str());
  }

 private:
  std::wstring path_;
  std::wstring comspec_;
};

TEST(CefManagerPathTest, RuntimeFolderGoesFirstOnThePathAndProvidesTheInterpreter) {
  SavedEnvironment saved;
  const std::wstring runtime_folder = kbase::ModuleDirectory() + L"cef";
  SetEnvironmentVariableW(L"PATH", L"C:\\windows\\system32;C:\\tools");
  CefManager::GetInstance()->AddRuntimeFolderToPath();
  EXPECT_EQ(Environment(L"PATH"), runtime_folder + L";C:\\windows\\system32;C:\\tools");
  EXPECT_EQ(Environment(L"ComSpec"), runtime_folder + L"\\dummy_cmd.exe");
}

TEST(CefManagerPathTest, PathOfFourThousandNinetySixUnitsIsReadAsEmpty) {
  SavedEnvironment saved;
  const std::wstring runtime_folder = kbase::ModuleDirectory() + L"cef";

  const std::wstring fits(CefManager::kPathBufferLength - 1, L'p');
  SetEnvironmentVariableW(L"PATH", fits.c_str());
  CefManager::GetInstance()->AddRuntimeFolderToPath();
  EXPECT_EQ(Environment(L"PATH"), runtime_folder + L";" + fits);

  const std::wstring too_long(CefManager::kPathBufferLength, L'p');
  SetEnvironmentVariableW(L"PATH", too_long.c_str());
  CefManager::GetInstance()->AddRuntimeFolderToPath();
  EXPECT_EQ(Environment(L"PATH"), runtime_folder + L";");
}

using test::IsDirectory;

TEST(CefManagerSettingsTest, FillsExactlyTheProgramsMembersAndCreatesTheDataFolder) {
  test::TempFolder folder(L"qel_settings");
  const std::wstring data_folder = folder.path() + L"program\\cef_temp\\";
  ASSERT_FALSE(IsDirectory(folder.path() + L"program"));

  CefSettings settings;
  CefManager::GetInstance()->FillSettings(data_folder, settings);
  EXPECT_TRUE(IsDirectory(data_folder)) << "created with its missing parents";
  EXPECT_EQ(settings.size, sizeof(cef_settings_t));
  EXPECT_EQ(settings.no_sandbox, 1);
  EXPECT_EQ(settings.multi_threaded_message_loop, 1);
  EXPECT_EQ(settings.windowless_rendering_enabled,
            CefManager::GetInstance()->IsOffscreenRenderingEnabled() ? 1 : 0);
  EXPECT_EQ(CefString(&settings.cache_path).ToWString(), data_folder + L"CefLocalStorage");
  EXPECT_EQ(CefString(&settings.log_file).ToWString(), data_folder + L"cef.log");

  // Every other byte of the record stays zero.
  cef_settings_t rest;
  std::memcpy(&rest, static_cast<cef_settings_t*>(&settings), sizeof(rest));
  rest.size = 0;
  rest.no_sandbox = 0;
  rest.multi_threaded_message_loop = 0;
  rest.windowless_rendering_enabled = 0;
  rest.cache_path = cef_string_t{};
  rest.log_file = cef_string_t{};
  const cef_settings_t zero = {};
  EXPECT_EQ(std::memcmp(&rest, &zero, sizeof(rest)), 0);

  // An existing folder is simply used.
  CefSettings again;
  CefManager::GetInstance()->FillSettings(data_folder, again);
  EXPECT_EQ(CefString(&again.log_file).ToWString(), data_folder + L"cef.log");
}

// Runs a UI loop registered as the main thread on a thread of its own
// (the quit message must not stay behind on the test's thread), with
// `on_start` run first. Returns when the loop has ended.
class MainLoopThread : public kbase::FrameworkThread {
 public:
  explicit MainLoopThread(std::function<void()> on_start)
      : kbase::FrameworkThread("TestMainThread"), on_start_(std::move(on_start)) {}

  void RunToEnd() {
    std::thread([this] { RunOnCurrentThread(kbase::kUiLoop); }).join();
  }

 protected:
  void Init() override {
    kbase::ThreadRegistry::RegisterThread(kbase::kMainThreadIdentifier);
    // However the test goes, the loop ends within five seconds.
    kbase::ThreadRegistry::PostDelayedTask(
        kbase::kMainThreadIdentifier,
        [this] {
          timed_out_ = true;
          PostQuitMessage(0);
        },
        5000 * kbase::kTicksPerMillisecond);
    on_start_();
  }
  void Cleanup() override { kbase::ThreadRegistry::UnregisterThread(); }

 public:
  bool timed_out_ = false;

 private:
  std::function<void()> on_start_;
};

TEST(CefManagerQuitTest, QuitsAtOnceWithoutBrowsers) {
  CefManager* manager = CefManager::GetInstance();
  ASSERT_EQ(manager->browser_count(), 0);
  kbase::Ticks start = 0;
  MainLoopThread loop([&] {
    start = kbase::NowTicks();
    manager->PostQuitWhenBrowsersClosed(0);
  });
  loop.RunToEnd();
  EXPECT_FALSE(loop.timed_out_);
  EXPECT_LT(kbase::NowTicks() - start, 300 * kbase::kTicksPerMillisecond);
}

TEST(CefManagerQuitTest, CloseCountedTwiceDoesNotKeepTheProgramRunning) {
  CefManager* manager = CefManager::GetInstance();
  manager->DecrementBrowserCount();
  MainLoopThread loop([&] { manager->PostQuitWhenBrowsersClosed(0); });
  loop.RunToEnd();
  manager->IncrementBrowserCount();
  EXPECT_FALSE(loop.timed_out_);
}

TEST(CefManagerQuitTest, WaitsForTheLastBrowserAndQuitsWithinTheRecheckTime) {
  CefManager* manager = CefManager::GetInstance();
  kbase::Ticks closed_at = 0;
  MainLoopThread loop([&] {
    manager->IncrementBrowserCount();
    manager->IncrementBrowserCount();
    manager->PostQuitWhenBrowsersClosed(0);
    kbase::ThreadRegistry::PostDelayedTask(
        kbase::kMainThreadIdentifier, [manager] { manager->DecrementBrowserCount(); },
        300 * kbase::kTicksPerMillisecond);
    // The last browser closes after the quit request has looked twice.
    kbase::ThreadRegistry::PostDelayedTask(
        kbase::kMainThreadIdentifier,
        [&] {
          closed_at = kbase::NowTicks();
          manager->DecrementBrowserCount();
        },
        1200 * kbase::kTicksPerMillisecond);
  });
  loop.RunToEnd();
  const kbase::Ticks ended_at = kbase::NowTicks();

  EXPECT_FALSE(loop.timed_out_);
  ASSERT_NE(closed_at, 0) << "the loop ended while browsers were open";
  EXPECT_LE(ended_at - closed_at, (500 + 150) * kbase::kTicksPerMillisecond);
  EXPECT_EQ(manager->browser_count(), 0);
}

}  // namespace
}  // namespace kel_comp
