#include "runtime/standin/browser/page_dialogs.h"

#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "runtime/include/cef_jsdialog_handler.h"
#include "runtime/include/cef_request_callback.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

constexpr int kPromptEditId = 100;

class JSDialogCallbackImpl : public CefJSDialogCallback {
 public:
  explicit JSDialogCallbackImpl(std::function<void(bool, std::wstring)> done)
      : done_(std::move(done)) {}
  // A callback the client lets go unanswered cancels the dialog.
  ~JSDialogCallbackImpl() override { Continue(false, CefString()); }

  void Continue(bool success, const CefString& user_input) override {
    std::function<void(bool, std::wstring)> done;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done.swap(done_);
    }
    if (done)
      done(success, user_input.ToWString());
  }

 private:
  std::mutex mutex_;
  std::function<void(bool, std::wstring)> done_;  // guarded by mutex_

  IMPLEMENT_REFCOUNTING(JSDialogCallbackImpl);
};

class QuotaCallbackImpl : public CefRequestCallback {
 public:
  explicit QuotaCallbackImpl(std::function<void(bool)> done) : done_(std::move(done)) {}
  ~QuotaCallbackImpl() override { Continue(false); }

  void Continue(bool allow) override {
    std::function<void(bool)> done;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done.swap(done_);
    }
    if (done)
      done(allow);
  }
  void Cancel() override { Continue(false); }

 private:
  std::mutex mutex_;
  std::function<void(bool)> done_;  // guarded by mutex_

  IMPLEMENT_REFCOUNTING(QuotaCallbackImpl);
};

// The prompt dialog's state while it runs.
struct PromptState {
  std::wstring title;
  std::wstring message;
  std::wstring text;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* state = reinterpret_cast<PromptState*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetWindowTextW(dialog, state->title.c_str());
      const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
                      int h, int id) {
        HWND control =
            CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        return control;
      };
      make(L"STATIC", state->message.c_str(), 0, 12, 10, 330, 40, -1);
      HWND edit = make(L"EDIT", state->text.c_str(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 12,
                       54, 330, 22, kPromptEditId);
      make(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 186, 88, 75, 24, IDOK);
      make(L"BUTTON", L"Cancel", WS_TABSTOP, 267, 88, 75, 24, IDCANCEL);
      SetFocus(edit);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (LOWORD(wparam) == IDOK && state) {
          wchar_t buffer[4096] = {};
          GetDlgItemTextW(dialog, kPromptEditId, buffer, 4096);
          state->text = buffer;
        }
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

// A prompt: a message, a text field, OK and Cancel, modal to `owner`.
bool ShowPrompt(HWND owner, PromptState* state) {
  // An in-memory template with no controls; they are made at start.
  struct {
    DLGTEMPLATE header;
    WORD menu, window_class, title;
  } dialog_template = {};
  dialog_template.header.style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog_template.header.cx = 236;
  dialog_template.header.cy = 80;
  const INT_PTR result = DialogBoxIndirectParamW(nullptr, &dialog_template.header, owner,
                                                 &PromptProc, reinterpret_cast<LPARAM>(state));
  return result == IDOK;
}

HWND OwnerOf(BrowserHostImpl& browser) {
  HWND window = browser.GetWindowHandle();
  return window ? GetAncestor(window, GA_ROOT) : nullptr;
}

}  // namespace

void RunPageDialog(BrowserHostImpl& browser,
                   const std::wstring& origin,
                   int type,
                   const std::wstring& message,
                   const std::wstring& default_text,
                   std::function<void(bool accepted, std::wstring text)> done) {
  CefRefPtr<CefClient> client = browser.client();
  CefRefPtr<CefJSDialogHandler> handler = client ? client->GetJSDialogHandler() : nullptr;
  BrowserObservations::Dialog record;
  record.browser_id = browser.GetIdentifier();
  record.type = type;
  record.message = message;
  if (handler) {
    bool suppress = false;
    CefRefPtr<CefJSDialogCallback> callback = new JSDialogCallbackImpl(done);
    if (handler->OnJSDialog(&browser, origin, static_cast<cef_jsdialog_type_t>(type), message,
                            default_text, callback, suppress)) {
      BrowserObservations::Get().RecordDialog(record);
      return;
    }
    if (suppress) {
      BrowserObservations::Get().RecordDialog(record);
      // Released here: the callback answers "cancelled" itself, once.
      return;
    }
    // The client left it to the runtime; the unused callback must not
    // answer first.
    done = [callback](bool accepted, std::wstring text) { callback->Continue(accepted, text); };
  }
  record.shown = true;
  BrowserObservations::Get().RecordDialog(record);
  const std::wstring title = L"Message from " + (origin.empty() ? L"the page" : origin);
  HWND owner = OwnerOf(browser);
  switch (type) {
    case JSDIALOGTYPE_ALERT:
      MessageBoxW(owner, message.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
      done(true, std::wstring());
      break;
    case JSDIALOGTYPE_CONFIRM:
      done(
          MessageBoxW(owner, message.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK,
          std::wstring());
      break;
    default: {
      PromptState state{title, message, default_text};
      const bool accepted = ShowPrompt(owner, &state);
      done(accepted, accepted ? state.text : std::wstring());
      break;
    }
  }
}

void AskQuota(BrowserHostImpl& browser,
              const std::wstring& origin,
              int64_t bytes,
              std::function<void(bool granted)> done) {
  CefRefPtr<CefClient> client = browser.client();
  CefRefPtr<CefRequestHandler> handler = client ? client->GetRequestHandler() : nullptr;
  CefRefPtr<CefRequestCallback> callback = new QuotaCallbackImpl(std::move(done));
  if (handler && handler->OnQuotaRequest(&browser, origin, bytes, callback))
    return;
  callback->Continue(false);
}

namespace {

// The first visible dialog box of a thread; EnumThreadWindows wants a
// callback of the system's calling convention, which a lambda is not on
// 32-bit Windows.
BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (wcscmp(name, L"#32770") == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool DismissShownDialog(bool accept, const std::wstring& text) {
  // The message boxes and the prompt are dialogs of the UI thread.
  struct Search {
    HWND found = nullptr;
  } search;
  EnumThreadWindows(RuntimeContext::Get().ThreadIdOf(TID_UI), &FindShownDialog,
                    reinterpret_cast<LPARAM>(&search.found));
  if (!search.found)
    return false;
  if (accept && !text.empty())
    SetDlgItemTextW(search.found, kPromptEditId, text.c_str());
  const int button = accept ? IDOK : IDCANCEL;
  PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(search.found, button)));
  return true;
}

}  // namespace cef_standin
