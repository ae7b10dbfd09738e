#include "app/main_thread.h"

#include "app/app_paths.h"
#include "app/basic_form.h"
#include "base/thread/thread_registry.h"
#include "ui/core/global_resources.h"

void MainThread::Init() {
  kbase::ThreadRegistry::RegisterThread(kbase::kMainThreadIdentifier);
  ui::GlobalResources::Startup(ResourceRoot(), nullptr, kThemeFolder, kLanguageFolder);
  // Caption, system menu, sizing frame and minimise box; the skinned base
  // replaces the frame.
  constexpr DWORD kLauncherStyle = 0x00CE0000;
  auto* launcher = new BasicForm();
  // A failed Create has deleted the form and shown why; closing nothing
  // would leave the loop running without a window.
  if (!launcher->Create(nullptr, kLauncherClassName, kLauncherStyle, 0, true, {})) {
    PostQuitMessage(0);
    return;
  }
  launcher->CenterWindow();
  launcher->Show(true, true);
}

void MainThread::Cleanup() {
  ui::GlobalResources::Shutdown();
  if (kbase::ThreadLocalData* data = kbase::ThreadLocalData::Current())
    data->quit_properly = true;
  kbase::ThreadRegistry::UnregisterThread();
}
