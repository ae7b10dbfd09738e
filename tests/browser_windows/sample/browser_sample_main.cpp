// browser_sample.exe [ADDRESS]: the browser sample as a program. Without
// an address it opens the sample page of the local web server when
// QEL_WEB_PORT names one (scripts/run and the tests start it), else an
// empty page whose address bar takes one.

#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <memory>
#include <string>

#include "base/file/file_util.h"
#include "base/thread/framework_thread.h"
#include "base/thread/thread_registry.h"
#include "browser/manager/cef_manager.h"
#include "runtime/include/internal/cef_types_wrappers.h"
#include "tests/browser_windows/sample/browser_sample_form.h"
#include "tests/browser_windows/sample/sample_text.h"
#include "ui/core/global_resources.h"

namespace {

// The first argument that is not one of the runtime's "--" switches,
// which share the command line.
std::wstring StartAddress() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring typed;
  for (int i = 1; arguments && i < count && typed.empty(); ++i) {
    if (wcsncmp(arguments[i], L"--", 2) != 0)
      typed = arguments[i];
  }
  LocalFree(arguments);
  if (!typed.empty())
    return browser_sample::AddressFromTyped(typed);
  wchar_t port[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"QEL_WEB_PORT", port, 16);
  if (length > 0 && length < 16)
    return std::wstring(L"http://127.0.0.1:") + port + L"/sample/";
  return L"about:blank";
}

// The program's one UI thread: every window, control and posted task.
class SampleMainThread : public kbase::FrameworkThread {
 public:
  explicit SampleMainThread(std::wstring start_address)
      : kbase::FrameworkThread("SampleMainThread"), start_address_(std::move(start_address)) {}

 protected:
  void Init() override {
    kbase::ThreadRegistry::RegisterThread(kbase::kMainThreadIdentifier);
    ui::GlobalResources::Startup(kbase::ModuleDirectory() + L"resources\\", nullptr,
                                 L"themes\\default", L"lang\\zh_CN");
    auto* form =
        new BrowserSampleForm(start_address_, BrowserSampleForm::OnClose::kQuitWhenBrowsersClosed);
    // A window that could not be made leaves nothing to close.
    if (!form->Open())
      PostQuitMessage(0);
  }
  void Cleanup() override {
    ui::GlobalResources::Shutdown();
    if (kbase::ThreadLocalData* data = kbase::ThreadLocalData::Current())
      data->quit_properly = true;
    kbase::ThreadRegistry::UnregisterThread();
  }

 private:
  const std::wstring start_address_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kel_comp::CefManager* const cef_manager = kel_comp::CefManager::GetInstance();
  cef_manager->AddRuntimeFolderToPath();
  if (FAILED(OleInitialize(nullptr)))
    return 0;
  CefSettings settings;
  // Its own data folder: the client's stays the client's.
  if (!cef_manager->Initialize(kbase::ModuleDirectory() + L"browser_sample_data\\", settings,
                               /*offscreen=*/false)) {
    OleUninitialize();
    return 0;
  }
  auto main_thread = std::make_unique<SampleMainThread>(StartAddress());
  main_thread->RunOnCurrentThread(kbase::kUiLoop);
  cef_manager->Shutdown();
  OleUninitialize();
  main_thread.reset();
  settings.Reset();
  return 0;
}
