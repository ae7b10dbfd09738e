#pragma once

#include <cstdint>
#include <string>

#include "base/callback/weak_callback.h"
#include "runtime/include/internal/cef_types_wrappers.h"

namespace kel_comp {

// The process-wide owner of the browser runtime: it prepares the search
// path, hands the process to the runtime, initialises and shuts it down,
// and counts the open browsers so that the main loop ends only after the
// last one has closed. Used on the main thread only.
class CefManager : public kbase::SupportWeakCallback {
 public:
  // How long PostQuitWhenBrowsersClosed waits before it looks again.
  static constexpr int kQuitRecheckMilliseconds = 500;
  // The environment's search path is read into a buffer of this many
  // units; a longer value is read as empty.
  static constexpr uint32_t kPathBufferLength = 4096;

  static CefManager* GetInstance();

  // Puts the folder "cef" beside the program in front of the search path
  // and names its "dummy_cmd.exe" as the command interpreter. Without that
  // folder it tells the user to unpack the runtime and ends the process
  // with exit code 0.
  void AddRuntimeFolderToPath();

  // Hands the process to the runtime. False in a runtime sub-process,
  // whose work is then done, and when the runtime does not start.
  // `data_folder` ends with a path separator; `settings` is zero-filled
  // and stays with the caller, who releases it after Shutdown.
  bool Initialize(const std::wstring& data_folder, CefSettings& settings, bool offscreen);
  void Shutdown();

  // Creates the data folder when missing and sets the members of
  // `settings` the program relies on; the others are left as they are.
  void FillSettings(const std::wstring& data_folder, CefSettings& settings) const;

  bool IsOffscreenRenderingEnabled() const { return offscreen_rendering_enabled_; }

  void IncrementBrowserCount() { ++browser_count_; }
  void DecrementBrowserCount() { --browser_count_; }
  int32_t browser_count() const { return browser_count_; }

  // Posts the quit message with `exit_code` to the main thread as soon as
  // no browser is open, looking again every kQuitRecheckMilliseconds.
  void PostQuitWhenBrowsersClosed(int exit_code);

 private:
  CefManager() = default;
  ~CefManager() override = default;

  // Off-screen rendering only: a hidden pop-up on the main thread that
  // receives a child window from the runtime's UI thread and is then
  // closed again.
  void CreateOffscreenHelperWindows();

  int32_t browser_count_ = 0;
  bool offscreen_rendering_enabled_ = true;
};

}  // namespace kel_comp
