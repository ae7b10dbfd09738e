#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/message_pump.h"
#include "ui/control/event.h"
#include "ui/core/window.h"
#include "ui/core/window_impl_base.h"

namespace ui::test {

// The shipped resource folder beside the test program ("...\resources\").
std::wstring ResourceRoot();
// Starts the global resources on the shipped theme once per process and
// points the resource folder back at it.
void UseShippedResources();

using ::test::PumpFor;
using ::test::PumpUntil;

LPARAM PointParam(int x, int y);
// Puts the system cursor on (x, y) in client coordinates, so that mouse
// tracking agrees with the messages a test sends.
void PlaceCursor(HWND hwnd, int x, int y);
// Sends the messages of a left click at (x, y) in client coordinates.
void Click(HWND hwnd, int x, int y);
void MouseMove(HWND hwnd, int x, int y);

// The premultiplied pixel at (x, y) of a window's render context as
// 0xAARRGGBB.
uint32_t PixelAt(const Window& window, int x, int y);
uint8_t AlphaAt(const Window& window, int x, int y);

// A plain window that hosts the tree of a skin text.
class HostWindow : public Window {
 public:
  std::wstring WindowClassName() const override { return L"QelTestHostWindow"; }
  // Creates the native window, then builds |skin| (with its "Window"
  // settings) and attaches the result, wrapped in the shadow when one is
  // attached. False when something failed.
  bool CreateWithSkin(const std::wstring& skin, bool layered, const UiRect& rect);
  // Paints what is pending now.
  void PaintNow();
};

// A skinned window of a skin file below the resource folder. Tells the
// test when it is deleted.
class SkinnedWindow : public WindowImplBase {
 public:
  SkinnedWindow(std::wstring folder, std::wstring file, bool* deleted = nullptr)
      : folder_(std::move(folder)), file_(std::move(file)), deleted_(deleted) {}
  ~SkinnedWindow() override {
    if (deleted_)
      *deleted_ = true;
  }

  std::wstring WindowClassName() const override { return L"QelTestSkinnedWindow"; }
  std::wstring SkinFolder() override { return folder_; }
  std::wstring SkinFile() override { return file_; }
  using WindowImplBase::SkinFolder;
  void OnSkinAttached() override { ++skin_attached_count; }
  Control* CreateCustomControl(const std::wstring& element_name) override {
    return custom_controls ? custom_controls(element_name) : nullptr;
  }

  void PaintNow() {
    UpdateWindow(GetHWND());
    PumpFor(0);
  }

  int skin_attached_count = 0;
  std::function<Control*(const std::wstring&)> custom_controls;

 private:
  std::wstring folder_;
  std::wstring file_;
  bool* deleted_;
};

// Watches for a message box of a caption on a helper thread, records its
// text and dismisses it with OK, so that a test never hangs on one.
class MessageBoxWatcher {
 public:
  explicit MessageBoxWatcher(std::wstring caption);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  int dismissed() const { return dismissed_.load(); }
  // The text of the last box dismissed (read after dismissed() > 0).
  std::wstring text() const;

 private:
  void Watch();

  std::wstring caption_;
  std::atomic<bool> stop_{false};
  std::atomic<int> dismissed_{0};
  std::wstring text_;
  std::thread thread_;
};

// Records which control got which event, in order.
struct EventLog {
  struct Entry {
    std::wstring control;
    EventType type;
  };
  std::vector<Entry> entries;

  // A handler that logs its events and lets them go on.
  EventHandler Recorder(const std::wstring& control_name);
  // The types logged for |control|, in order.
  std::vector<EventType> TypesOf(const std::wstring& control) const;
  int Count(const std::wstring& control, EventType type) const;
  void Clear() { entries.clear(); }
};

// Windows of a class that still exist (on this thread's desktop).
int CountWindowsOfClass(const wchar_t* class_name);

}  // namespace ui::test
