#include "runtime/standin/browser/download_manager.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <mutex>
#include <thread>
#include <utility>

#include "runtime/include/cef_download_handler.h"
#include "runtime/include/cef_download_item.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/content_disposition.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/net/url.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;

// One download's state, shared by the UI thread and its writer.
struct DownloadState {
  uint32 id = 0;
  std::wstring url;
  std::wstring suggested_name;
  std::wstring mime_type;
  std::wstring disposition;
  std::string body;
  std::atomic<bool> cancel_requested{false};
  // UI thread only from here.
  std::wstring path;
  int64 received = 0;
  bool started = false;
  bool complete = false;
  bool canceled = false;
};

// A snapshot of the state for one callback.
class DownloadItemImpl : public CefDownloadItem {
 public:
  explicit DownloadItemImpl(const DownloadState& state)
      : id_(state.id),
        url_(state.url),
        suggested_(state.suggested_name),
        mime_(state.mime_type),
        disposition_(state.disposition),
        path_(state.path),
        received_(state.received),
        total_(static_cast<int64>(state.body.size())),
        in_progress_(state.started && !state.complete && !state.canceled),
        complete_(state.complete),
        canceled_(state.canceled) {}

  bool IsValid() override { return true; }
  bool IsInProgress() override { return in_progress_; }
  bool IsComplete() override { return complete_; }
  bool IsCanceled() override { return canceled_; }
  int64 GetCurrentSpeed() override { return 0; }
  int GetPercentComplete() override {
    return total_ > 0 ? static_cast<int>(received_ * 100 / total_) : (complete_ ? 100 : -1);
  }
  int64 GetTotalBytes() override { return total_; }
  int64 GetReceivedBytes() override { return received_; }
  CefString GetFullPath() override { return path_; }
  uint32 GetId() override { return id_; }
  CefString GetURL() override { return url_; }
  CefString GetOriginalUrl() override { return url_; }
  CefString GetSuggestedFileName() override { return suggested_; }
  CefString GetContentDisposition() override { return disposition_; }
  CefString GetMimeType() override { return mime_; }

 private:
  const uint32 id_;
  const std::wstring url_, suggested_, mime_, disposition_, path_;
  const int64 received_, total_;
  const bool in_progress_, complete_, canceled_;

  IMPLEMENT_REFCOUNTING(DownloadItemImpl);
};

class ItemCallbackImpl : public CefDownloadItemCallback {
 public:
  explicit ItemCallbackImpl(std::shared_ptr<DownloadState> state) : state_(std::move(state)) {}
  void Cancel() override { state_->cancel_requested = true; }
  // The stand-in writes too fast to pause.
  void Pause() override {}
  void Resume() override {}

 private:
  std::shared_ptr<DownloadState> state_;
  IMPLEMENT_REFCOUNTING(ItemCallbackImpl);
};

void Record(int browser_id, const DownloadState& state) {
  BrowserObservations::Download record;
  record.browser_id = browser_id;
  record.id = state.id;
  record.url = state.url;
  record.path = state.path;
  record.received = state.received;
  record.total = static_cast<int64_t>(state.body.size());
  record.complete = state.complete;
  record.canceled = state.canceled;
  BrowserObservations::Get().UpdateDownload(record);
}

// UI thread: tells the client how the download stands.
void Update(const CefRefPtr<BrowserHostImpl>& browser,
            const std::shared_ptr<DownloadState>& state) {
  Record(browser->GetIdentifier(), *state);
  CefRefPtr<CefClient> client = browser->client();
  CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
  if (handler)
    handler->OnDownloadUpdated(browser.get(), new DownloadItemImpl(*state),
                               new ItemCallbackImpl(state));
}

std::wstring DefaultFolder() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &folder)) && folder)
    path = folder;
  CoTaskMemFree(folder);
  if (path.empty()) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path = temp;
  }
  if (!path.empty() && path.back() != L'\\')
    path += L'\\';
  return path;
}

// Worker thread: writes the body in pieces, reporting each on the UI
// thread; stops when cancelled.
void Write(CefRefPtr<BrowserHostImpl> browser, std::shared_ptr<DownloadState> state) {
  RuntimeContext& runtime = RuntimeContext::Get();
  HANDLE file = CreateFileW(state->path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool failed = file == INVALID_HANDLE_VALUE;
  size_t written = 0;
  while (!failed && written < state->body.size() && !state->cancel_requested) {
    const size_t piece = std::min(kChunkBytes, state->body.size() - written);
    DWORD done = 0;
    if (!WriteFile(file, state->body.data() + written, static_cast<DWORD>(piece), &done, nullptr) ||
        done != piece) {
      failed = true;
      break;
    }
    written += piece;
    const int64 received = static_cast<int64>(written);
    if (written < state->body.size()) {
      runtime.PostTask(TID_UI, MakeTask([browser, state, received] {
                         state->received = received;
                         Update(browser, state);
                       }),
                       0);
    }
  }
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  const bool canceled = failed || state->cancel_requested;
  if (canceled)
    DeleteFileW(state->path.c_str());
  if (failed)
    runtime.log().Error(L"Download could not be written to " + state->path);
  const int64 received = static_cast<int64>(written);
  runtime.PostTask(TID_UI, MakeTask([browser, state, received, canceled] {
                     state->received = received;
                     state->complete = !canceled;
                     state->canceled = canceled;
                     Update(browser, state);
                   }),
                   0);
}

class BeforeDownloadCallbackImpl : public CefBeforeDownloadCallback {
 public:
  BeforeDownloadCallbackImpl(CefRefPtr<BrowserHostImpl> browser,
                             std::shared_ptr<DownloadState> state)
      : browser_(std::move(browser)), state_(std::move(state)) {}

  void Continue(const CefString& download_path, bool show_dialog) override {
    std::wstring path = download_path.ToWString();
    CefRefPtr<BrowserHostImpl> browser = browser_;
    std::shared_ptr<DownloadState> state = state_;
    RuntimeContext::Get().PostTask(TID_UI, MakeTask([browser, state, path, show_dialog]() mutable {
                                     Begin(browser, state, std::move(path), show_dialog);
                                   }),
                                   0);
  }

 private:
  static void Begin(CefRefPtr<BrowserHostImpl> browser,
                    std::shared_ptr<DownloadState> state,
                    std::wstring path,
                    bool show_dialog) {
    if (state->started || browser->closed())
      return;
    if (path.empty())
      path = DefaultFolder() + state->suggested_name;
    if (show_dialog) {
      wchar_t chosen[MAX_PATH] = {};
      wcsncpy(chosen, path.c_str(), MAX_PATH - 1);
      OPENFILENAMEW dialog = {};
      dialog.lStructSize = sizeof(dialog);
      dialog.hwndOwner =
          browser->GetWindowHandle() ? GetAncestor(browser->GetWindowHandle(), GA_ROOT) : nullptr;
      dialog.lpstrFile = chosen;
      dialog.nMaxFile = MAX_PATH;
      dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
      if (!GetSaveFileNameW(&dialog))
        return;
      path = chosen;
    }
    state->path = path;
    state->started = true;
    Update(browser, state);
    std::thread(&Write, browser, state).detach();
  }

  CefRefPtr<BrowserHostImpl> browser_;
  std::shared_ptr<DownloadState> state_;

  IMPLEMENT_REFCOUNTING(BeforeDownloadCallbackImpl);
};

}  // namespace

void DownloadManager::Start(CefRefPtr<BrowserHostImpl> browser,
                            const std::wstring& url,
                            LoadResult response) {
  static std::atomic<uint32> next_id{1};
  auto state = std::make_shared<DownloadState>();
  state->id = next_id++;
  state->url = url;
  // The name is saved under in the downloads folder when the client gives
  // no path: a plain file name, whatever the server or the address said.
  state->suggested_name = PlainFileName(response.suggested_name);
  state->mime_type = response.mime_type;
  for (const auto& [name, value] : response.headers) {
    if (_wcsicmp(name.c_str(), L"Content-Disposition") == 0)
      state->disposition = value;
  }
  state->body = std::move(response.body);
  Record(browser->GetIdentifier(), *state);
  CefRefPtr<CefClient> client = browser->client();
  CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
  // Without a handler nothing is saved, as with the real runtime.
  if (!handler)
    return;
  handler->OnBeforeDownload(browser.get(), new DownloadItemImpl(*state), state->suggested_name,
                            new BeforeDownloadCallbackImpl(browser, state));
}

void DownloadManager::StartFromUrl(CefRefPtr<BrowserHostImpl> browser, const std::wstring& url) {
  LoadRequest request;
  request.url = url;
  RuntimeContext::Get().network().Load(request, [browser, url](LoadResult result) {
    RuntimeContext::Get().PostTask(TID_UI, MakeTask([browser, url, result]() mutable {
                                     if (result.error != net_error::kOk || browser->closed())
                                       return;
                                     if (result.suggested_name.empty()) {
                                       // The address's last path segment, without its query.
                                       const std::wstring path = ParseUrl(url).path;
                                       result.suggested_name = path.substr(path.rfind(L'/') + 1);
                                     }
                                     Start(browser, url, std::move(result));
                                   }),
                                   0);
  });
}

}  // namespace cef_standin
