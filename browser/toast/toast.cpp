#include "browser/toast/toast.h"

#include <algorithm>

#include "base/thread/thread_registry.h"
#include "base/time/time.h"
#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/control/layout.h"
#include "ui/control/rich_edit.h"
#include "ui/core/timer_queue.h"

namespace kel_comp {

namespace {

// The available size the toast's content is measured with.
constexpr int32_t kUnboundedSize = 99999;
constexpr wchar_t kEllipsis[] = L"\x2026";

std::wstring Shortened(const std::wstring& content) {
  if (content.size() <= Toast::kMaxContentLength)
    return content;
  std::wstring kept = content.substr(0, Toast::kMaxContentLength);
  // Half a surrogate pair is no character.
  if (kept.back() >= 0xD800 && kept.back() <= 0xDBFF)
    kept.pop_back();
  return kept + kEllipsis;
}

}  // namespace

Toast* Toast::ShowToast(const std::wstring& content, HWND parent) {
  auto* toast = new Toast();
  const std::weak_ptr<kbase::WeakFlag> alive = toast->AcquireWeakFlag();
  // A refused creation has already deleted the toast.
  if (!toast->Create(parent, L"", kStyle, 0, true, {}) || alive.expired())
    return nullptr;
  toast->SetContent(content);
  toast->ArmCloseTimer();
  toast->CenterWindow();
  toast->Show(true, true);
  return toast;
}

Toast::Toast() = default;

Toast::~Toast() = default;

void Toast::OnSkinAttached() {
  if (auto* root = dynamic_cast<ui::Box*>(GetRoot())) {
    root->AttachBubbledEvent(
        ui::kEventClick, MakeWeakCallback([this](ui::EventArgs* args) { return OnClick(args); }));
  }
  content_ = dynamic_cast<ui::RichEdit*>(FindControlByName(L"content"));
  close_button_ = FindControlByName(L"close_btn");
}

bool Toast::OnClick(ui::EventArgs* args) {
  if (args->sender && args->sender->GetName() == L"close_btn")
    Close(1);
  return true;
}

void Toast::SetContent(const std::wstring& content) {
  if (!content_)
    return;
  content_->SetText(Shortened(content));
  const int32_t width = content_->GetFixedWidth();
  if (width <= 0)
    return;
  // The text wraps inside the edit's padding, which its height includes.
  ui::UiPadding padding;
  if (const ui::Layout* layout = content_->GetLayout())
    padding = layout->GetPadding();
  int32_t height = content_->GetNaturalSize(width - padding.left - padding.right).cy + padding.top +
                   padding.bottom;
  if (content_->GetMaxHeight() >= 0)
    height = std::min(height, content_->GetMaxHeight());
  if (height < 0 && height != ui::kStretch && height != ui::kAuto)
    return;
  if (height != content_->GetFixedHeight()) {
    content_->SetFixedHeight(height);
    content_->RequestAncestorLayout();
  }
  SizeWindowToContent();
}

// The window takes its new size now, before it is centred and shown.
void Toast::SizeWindowToContent() {
  ui::Control* root = GetRoot();
  if (!root || !GetHWND() || !root->IsAutoSized())
    return;
  const ui::UiSize size = root->Measure({kUnboundedSize, kUnboundedSize});
  if (size.cx <= 0 || size.cy <= 0)
    return;
  SetWindowPos(GetHWND(), nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Toast::ArmCloseTimer() {
  auto close = MakeWeakCallback([this] {
    if (GetHWND())
      Close(1);
  });
  // The main thread's delayed task; a toast on another UI thread (there is
  // none in the program, but tests have them) uses that thread's timers.
  if (kbase::ThreadRegistry::CurrentThreadIdentifier() == kbase::kMainThreadIdentifier &&
      kbase::ThreadRegistry::PostDelayedTask(kbase::kMainThreadIdentifier, close,
                                             kCloseDelayMs * kbase::kTicksPerMillisecond)) {
    return;
  }
  ui::TimerQueue::Instance()->AddTimer(AcquireWeakFlag(), close, kCloseDelayMs, 1);
}

bool Toast::PreHandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wparam != VK_ESCAPE)
        return false;
      Close(1);
      return true;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
      Close(1);
      return true;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      if (lparam != -1 && close_button_ && !close_button_->IsVisible())
        close_button_->SetFadeVisible(true);
      return false;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: {
      POINT cursor = {};
      GetCursorPos(&cursor);
      ScreenToClient(GetHWND(), &cursor);
      RECT client = {};
      GetClientRect(GetHWND(), &client);
      InflateRect(&client, -1, -1);
      if (close_button_ && !PtInRect(&client, cursor))
        close_button_->SetFadeVisible(false);
      return false;
    }
    default:
      return false;
  }
}

LRESULT Toast::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (PreHandleMessage(message, wparam, lparam))
    return 0;
  return ui::WindowImplBase::OnWindowMessage(message, wparam, lparam);
}

}  // namespace kel_comp
