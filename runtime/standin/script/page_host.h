#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What page script asks of the browser: the one seam between the script
// bindings of a page and the rest of the stand-in runtime. The bindings
// call it on the renderer thread only, while script runs; the browser half
// implements it and may block there (dialogs wait for their answer).
namespace cef_standin::script {

// Whether a navigation replaces the current history entry
// (location.replace) or adds one (location.href, location.assign).
enum class HistoryEntry { kAdd, kReplace };

// Whether the script runs because the user did something (a click
// listener) rather than by itself (a timer, the page's own script).
enum class UserGesture { kNo, kYes };

struct NavigationRequest {
  std::wstring url;  // absolute, resolved against the page's address
  HistoryEntry history = HistoryEntry::kAdd;
  UserGesture gesture = UserGesture::kNo;
};

struct PopupRequest {
  std::wstring url;     // absolute; empty for window.open() without one
  std::wstring target;  // the second argument, "_blank" when absent
  UserGesture gesture = UserGesture::kNo;
};

// console.log and console.info are kInfo; uncaught errors are kError.
enum class ConsoleLevel { kLog, kInfo, kWarning, kError };

struct ConsoleMessage {
  ConsoleLevel level = ConsoleLevel::kLog;
  std::wstring text;
  std::wstring source;  // the script's address, the page's for inline script
  int line = 0;         // 1-based; 0 when unknown
};

// The answer to navigator.webkitPersistentStorage.requestQuota.
struct QuotaDecision {
  bool granted = false;
  int64_t granted_bytes = 0;
};

class PageHost {
 public:
  virtual ~PageHost() = default;

  // location.href = ..., assign, replace. The browser decides whether it
  // happens (OnBeforeBrowse); the page keeps running until it does.
  virtual void Navigate(const NavigationRequest& request) = 0;
  // history.go(offset), back (-1), forward (+1); offset 0 reloads.
  virtual void GoHistory(int offset) = 0;
  virtual int HistoryLength() = 0;
  // location.reload().
  virtual void Reload() = 0;
  // window.open: true when a pop-up was opened, false when it was refused.
  virtual bool OpenPopup(const PopupRequest& request) = 0;

  // The page's dialogs, blocking until answered. A suppressed dialog
  // answers at once: nothing, false, no text.
  virtual void Alert(const std::wstring& message) = 0;
  virtual bool Confirm(const std::wstring& message) = 0;
  virtual std::optional<std::wstring> Prompt(const std::wstring& message,
                                             const std::wstring& default_text) = 0;

  virtual void AddConsoleMessage(const ConsoleMessage& message) = 0;
  // document.title was set (also to the same text).
  virtual void TitleChanged(const std::wstring& title) = 0;

  // Asks for persistent storage; `done` runs later on the renderer thread,
  // at most once, and not after the page is gone (the bindings check that
  // themselves, so a host may call it late).
  virtual void RequestQuota(int64_t bytes, std::function<void(QuotaDecision)> done) = 0;

  virtual std::wstring UserAgent() = 0;

  // Runs `task` on the renderer thread after `delay_ms` (0: as soon as
  // possible, after the script that posted it). Tasks may run after the
  // page is gone: the bindings guard their own.
  virtual void PostRendererTask(std::function<void()> task, int64_t delay_ms) = 0;
};

}  // namespace cef_standin::script
