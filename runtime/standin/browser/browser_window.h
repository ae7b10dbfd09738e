#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/standin/painted_frame.h"

namespace cef_standin {

// What the browser window tells its browser: input and size changes.
// Called on the runtime's UI thread, where the window lives.
class BrowserWindowDelegate {
 public:
  enum class MouseAction { kMove, kDown, kUp, kDoubleClick, kLeave, kCaptureLost };
  enum class MouseButton { kNone, kLeft, kMiddle, kRight };
  struct MouseInput {
    MouseAction action = MouseAction::kMove;
    MouseButton button = MouseButton::kNone;
    int x = 0;
    int y = 0;
    uint32_t modifiers = 0;  // the runtime's event flags
  };
  enum class KeyAction { kRawKeyDown, kKeyUp, kChar };
  struct KeyInput {
    KeyAction action = KeyAction::kRawKeyDown;
    int windows_key_code = 0;
    int native_key_code = 0;
    bool is_system_key = false;
    uint32_t modifiers = 0;
  };

  virtual void OnWindowMouse(const MouseInput& input) = 0;
  virtual void OnWindowWheel(int x, int y, int delta_x, int delta_y, uint32_t modifiers) = 0;
  virtual void OnWindowKey(const KeyInput& input) = 0;
  virtual void OnWindowFocus(bool focused) = 0;
  virtual void OnWindowResized(int width, int height) = 0;
  // The window is being destroyed from outside (its parent goes).
  virtual void OnWindowDestroyed() = 0;

 protected:
  ~BrowserWindowDelegate() = default;
};

// The native window a windowed browser draws into: a child of the
// program's window (or a top-level window without a parent), created and
// destroyed on the runtime's UI thread. It shows the last page frame the
// renderer handed over and passes input on to its delegate.
class BrowserWindow {
 public:
  enum class Cursor { kPointer, kHand, kIBeam };

  struct CreateParams {
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::wstring title;
  };

  explicit BrowserWindow(BrowserWindowDelegate* delegate);
  BrowserWindow(const BrowserWindow&) = delete;
  BrowserWindow& operator=(const BrowserWindow&) = delete;
  ~BrowserWindow();

  // UI thread. False when the window cannot be created.
  bool Create(const CreateParams& params);
  // UI thread; nothing when the window is gone already.
  void Destroy();
  HWND hwnd() const { return hwnd_; }

  // Any thread: a new frame to show.
  void SetFrame(PaintedFrame frame);
  // Any thread: the frame's size and one pixel, for tests; false without
  // a frame or outside it.
  bool FramePixel(int x, int y, uint32_t* pixel, int* width, int* height);
  uint64_t frame_count();
  // Any thread.
  void SetCursor(Cursor cursor);
  Cursor cursor();
  // UI thread: the client size.
  SIZE ClientSize() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  void OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
  void OnKey(UINT message, WPARAM wparam, LPARAM lparam);

  BrowserWindowDelegate* const delegate_;
  HWND hwnd_ = nullptr;
  bool tracking_leave_ = false;

  std::mutex mutex_;
  std::shared_ptr<const std::vector<uint32_t>> pixels_;  // guarded by mutex_
  int frame_width_ = 0;               // guarded by mutex_
  int frame_height_ = 0;              // guarded by mutex_
  uint64_t frame_count_ = 0;          // guarded by mutex_
  Cursor cursor_ = Cursor::kPointer;  // guarded by mutex_
};

}  // namespace cef_standin
