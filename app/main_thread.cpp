#include "app/main_thread.h"

#include "app/app_paths.h"
#include "app/placeholder_window.h"
#include "base/thread/thread_registry.h"
#include "ui/core/global_resources.h"

void MainThread::Init() {
  kbase::ThreadRegistry::RegisterThread(kbase::kMainThreadIdentifier);
  ui::GlobalResources::Startup(ResourceRoot(), nullptr, kThemeFolder, kLanguageFolder);
  // The launcher form takes this window's place once the skinned windows
  // exist; until then closing it ends the program.
  ShowPlaceholderWindow(kLauncherClassName);
}

void MainThread::Cleanup() {
  ui::GlobalResources::Shutdown();
  if (kbase::ThreadLocalData* data = kbase::ThreadLocalData::Current())
    data->quit_properly = true;
  kbase::ThreadRegistry::UnregisterThread();
}
