#include <ole2.h>
#include <windows.h>

#include <memory>

#include "app/app_paths.h"
#include "app/main_thread.h"
#include "browser/manager/cef_manager.h"
#include "runtime/include/internal/cef_types_wrappers.h"

// Built a second time as QelmoraOffscreen.exe with QEL_OFFSCREEN_RENDERING
// set: the same client with its pages rendered off screen and painted by
// the window framework into layered windows.
#ifndef QEL_OFFSCREEN_RENDERING
#define QEL_OFFSCREEN_RENDERING 0
#endif

// The same program is the desktop client and every sub-process of the
// browser runtime; the runtime tells which one this process is. Every path
// ends with exit code 0.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kel_comp::CefManager* const cef_manager = kel_comp::CefManager::GetInstance();
  cef_manager->AddRuntimeFolderToPath();

  if (FAILED(OleInitialize(nullptr)))
    return 0;

  // Zero-filled with its size set; releases its strings when it goes.
  CefSettings settings;
  const std::wstring data_folder = BrowserDataFolder();
  if (!cef_manager->Initialize(data_folder, settings, QEL_OFFSCREEN_RENDERING != 0))
    return 0;

  auto main_thread = std::make_unique<MainThread>();
  main_thread->RunOnCurrentThread(kbase::kUiLoop);

  cef_manager->Shutdown();
  OleUninitialize();
  main_thread.reset();
  settings.Reset();
  return 0;
}
