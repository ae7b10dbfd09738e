#include "browser/manager/cef_manager.h"

#include <windows.h>

#include <vector>

#include "base/file/file_util.h"
#include "base/thread/thread_registry.h"
#include "browser/common/runtime_task.h"
#include "browser/manager/client_app.h"
#include "runtime/include/cef_app.h"

namespace kel_comp {

namespace {

constexpr wchar_t kRuntimeFolderName[] = L"cef";
constexpr wchar_t kCommandInterpreterName[] = L"\\dummy_cmd.exe";
constexpr wchar_t kMissingRuntimeText[] = L"请解压Cef.rar压缩包";
constexpr wchar_t kMissingRuntimeCaption[] = L"提示";
constexpr wchar_t kCacheFolderName[] = L"CefLocalStorage";
constexpr wchar_t kLogFileName[] = L"cef.log";

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CefManager* CefManager::GetInstance() {
  static CefManager instance;
  return &instance;
}

void CefManager::AddRuntimeFolderToPath() {
  std::vector<wchar_t> buffer(kPathBufferLength, L'\0');
  // A value that does not fit leaves the buffer untouched, so it reads as
  // empty.
  GetEnvironmentVariableW(L"path", buffer.data(), kPathBufferLength);
  const std::wstring old_path(buffer.data());

  const std::wstring runtime_folder = kbase::ModuleDirectory() + kRuntimeFolderName;
  if (!IsDirectory(runtime_folder)) {
    MessageBoxW(nullptr, kMissingRuntimeText, kMissingRuntimeCaption, MB_OK);
    ExitProcess(0);
  }

  SetEnvironmentVariableW(L"path", (runtime_folder + L";" + old_path).c_str());
  SetEnvironmentVariableW(L"ComSpec", (runtime_folder + kCommandInterpreterName).c_str());
}

bool CefManager::Initialize(const std::wstring& data_folder,
                            CefSettings& settings,
                            bool offscreen) {
  offscreen_rendering_enabled_ = offscreen;
  const CefMainArgs main_args(GetModuleHandleW(nullptr));
  CefRefPtr<ClientApp> application = new ClientApp;

  if (CefExecuteProcess(main_args, application.get(), nullptr) >= 0)
    return false;

  FillSettings(data_folder, settings);
  const bool started = CefInitialize(main_args, settings, application.get(), nullptr);
  if (started && offscreen_rendering_enabled_)
    CreateOffscreenHelperWindows();
  return started;
}

void CefManager::Shutdown() {
  CefShutdown();
}

void CefManager::FillSettings(const std::wstring& data_folder, CefSettings& settings) const {
  // A folder that cannot be created is left to the runtime, which then
  // keeps its data in memory.
  if (!IsDirectory(data_folder))
    kbase::CreateDirectoryTree(data_folder.c_str());

  settings.no_sandbox = 1;
  settings.multi_threaded_message_loop = 1;
  settings.windowless_rendering_enabled = offscreen_rendering_enabled_ ? 1 : 0;
  CefString(&settings.cache_path) = data_folder + kCacheFolderName;
  CefString(&settings.log_file) = data_folder + kLogFileName;
}

void CefManager::PostQuitWhenBrowsersClosed(int exit_code) {
  // Below zero counts as closed too: a close counted twice must not keep
  // the program running forever.
  if (browser_count_ <= 0) {
    kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier,
                                    [exit_code] { PostQuitMessage(exit_code); });
    return;
  }
  kbase::ThreadRegistry::PostDelayedTask(
      kbase::kMainThreadIdentifier,
      MakeWeakCallback([this, exit_code] { PostQuitWhenBrowsersClosed(exit_code); }),
      kQuitRecheckMilliseconds * kbase::kTicksPerMillisecond);
}

void CefManager::CreateOffscreenHelperWindows() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND popup =
      CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!popup)
    return;
  PostRuntimeTask(TID_UI, [popup, instance] {
    CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 0, 0, popup, nullptr, instance, nullptr);
    PostMessageW(popup, WM_CLOSE, 0, 0);
  });
}

}  // namespace kel_comp
