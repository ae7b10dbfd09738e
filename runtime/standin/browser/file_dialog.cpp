#include "runtime/standin/browser/file_dialog.h"

#include <windows.h>

#include <commdlg.h>

#include <mutex>
#include <utility>
#include <vector>

#include "runtime/include/cef_dialog_handler.h"
#include "runtime/standin/browser/browser_host_impl.h"

namespace cef_standin {

namespace {

class FileDialogCallbackImpl : public CefFileDialogCallback {
 public:
  explicit FileDialogCallbackImpl(std::function<void(std::wstring)> done)
      : done_(std::move(done)) {}
  ~FileDialogCallbackImpl() override { Cancel(); }

  void Continue(int, const std::vector<CefString>& file_paths) override {
    Answer(file_paths.empty() ? std::wstring() : file_paths.front().ToWString());
  }
  void Cancel() override { Answer(std::wstring()); }
  void Disarm() {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = nullptr;
  }

 private:
  void Answer(std::wstring path) {
    std::function<void(std::wstring)> done;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done.swap(done_);
    }
    if (done)
      done(std::move(path));
  }

  std::mutex mutex_;
  std::function<void(std::wstring)> done_;  // guarded by mutex_
  IMPLEMENT_REFCOUNTING(FileDialogCallbackImpl);
};

}  // namespace

void RunFileDialog(BrowserHostImpl& browser, std::function<void(std::wstring path)> done) {
  CefRefPtr<CefClient> client = browser.client();
  CefRefPtr<CefDialogHandler> handler = client ? client->GetDialogHandler() : nullptr;
  if (handler) {
    CefRefPtr<FileDialogCallbackImpl> callback = new FileDialogCallbackImpl(done);
    if (handler->OnFileDialog(&browser, FILE_DIALOG_OPEN, CefString(), CefString(),
                              std::vector<CefString>(), 0, callback))
      return;
    callback->Disarm();
  }
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  HWND window = browser.GetWindowHandle();
  dialog.hwndOwner = window ? GetAncestor(window, GA_ROOT) : nullptr;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  done(GetOpenFileNameW(&dialog) ? std::wstring(path) : std::wstring());
}

}  // namespace cef_standin
