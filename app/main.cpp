#include <windows.h>
#include <ole2.h>

#include <memory>

#include "app/main_thread.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (FAILED(OleInitialize(nullptr)))
    return 0;

  auto main_thread = std::make_unique<MainThread>();
  main_thread->RunOnCurrentThread(kbase::kUiLoop);

  OleUninitialize();
  main_thread.reset();
  return 0;
}
