#include "tests/window/window_test_support.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "ui/control/control.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/render/render_context.h"

namespace ui::test {

namespace {

// The text control of a system message box.
constexpr int kMessageBoxTextId = 0xFFFF;

std::mutex g_text_mutex;

}  // namespace

std::wstring ResourceRoot() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring root = module;
  return root.substr(0, root.find_last_of(L"\\/") + 1) + L"resources\\";
}

void UseShippedResources() {
  static const bool started = [] {
    GlobalResources::Startup(ResourceRoot(), nullptr, L"themes\\default", L"lang\\zh_CN");
    return true;
  }();
  (void)started;
  GlobalResources::SetResourceFolder(ResourceRoot() + L"themes\\default");
}

LPARAM PointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)),
                    static_cast<WORD>(static_cast<int16_t>(y)));
}

void PlaceCursor(HWND hwnd, int x, int y) {
  POINT screen = {x, y};
  ClientToScreen(hwnd, &screen);
  SetCursorPos(screen.x, screen.y);
}

void Click(HWND hwnd, int x, int y) {
  PlaceCursor(hwnd, x, y);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, PointParam(x, y));
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, PointParam(x, y));
}

void MouseMove(HWND hwnd, int x, int y) {
  PlaceCursor(hwnd, x, y);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, PointParam(x, y));
}

uint32_t PixelAt(const Window& window, int x, int y) {
  const IRenderContext* context = window.GetRenderContext();
  if (!context || x < 0 || y < 0 || x >= context->Width() || y >= context->Height())
    return 0;
  const auto* pixels = static_cast<const uint32_t*>(context->Pixels());
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(context->Width()) +
                static_cast<size_t>(x)];
}

uint8_t AlphaAt(const Window& window, int x, int y) {
  return static_cast<uint8_t>(PixelAt(window, x, y) >> 24);
}

bool HostWindow::CreateWithSkin(const std::wstring& skin, bool layered, const UiRect& rect) {
  HWND hwnd = Create(nullptr, L"host", WS_POPUP, 0, layered, rect);
  if (!hwnd)
    return false;
  AttachNativeWindow(hwnd);
  // Relative images (the default shadow's among them) are found from a skin
  // folder beside the shared one.
  if (SkinFolder().empty())
    SetSkinFolder(L"host");
  SkinBuilder builder;
  Control* root = builder.Create(skin, nullptr, this, nullptr);
  if (!root)
    return false;
  return AttachRoot(AttachShadow(root));
}

void HostWindow::PaintNow() {
  UpdateWindow(GetHWND());
  PumpFor(0);
}

MessageBoxWatcher::MessageBoxWatcher(std::wstring caption)
    : caption_(std::move(caption)), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.join();
}

std::wstring MessageBoxWatcher::text() const {
  std::lock_guard<std::mutex> lock(g_text_mutex);
  return text_;
}

void MessageBoxWatcher::Watch() {
  HWND last = nullptr;
  while (!stop_) {
    HWND dialog = FindWindowW(L"#32770", caption_.c_str());
    if (dialog && dialog != last) {
      wchar_t text[1024] = {};
      GetDlgItemTextW(dialog, kMessageBoxTextId, text, 1024);
      {
        std::lock_guard<std::mutex> lock(g_text_mutex);
        text_ = text;
      }
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      last = dialog;
      ++dismissed_;
    }
    Sleep(10);
  }
}

EventHandler EventLog::Recorder(const std::wstring& control_name) {
  return [this, control_name](EventArgs* args) {
    entries.push_back({control_name, args->type});
    return true;
  };
}

std::vector<EventType> EventLog::TypesOf(const std::wstring& control) const {
  std::vector<EventType> types;
  for (const Entry& entry : entries) {
    if (entry.control == control)
      types.push_back(entry.type);
  }
  return types;
}

int EventLog::Count(const std::wstring& control, EventType type) const {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const Entry& entry) {
    return entry.control == control && entry.type == type;
  }));
}

int CountWindowsOfClass(const wchar_t* class_name) {
  int count = 0;
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, class_name, nullptr)) != nullptr)
    ++count;
  return count;
}

}  // namespace ui::test
