#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace cef_standin {

class BrowserHostImpl;

// A page's alert, confirm or prompt (`type` a cef_jsdialog_type_t), asked
// of the client's OnJSDialog on the UI thread. The client may answer
// through the callback, suppress the dialog (answered false at once) or
// leave it to the runtime, which shows a real modal dialog. `done` runs
// once, on the thread that answers.
void RunPageDialog(BrowserHostImpl& browser,
                   const std::wstring& origin,
                   int type,
                   const std::wstring& message,
                   const std::wstring& default_text,
                   std::function<void(bool accepted, std::wstring text)> done);

// navigator.webkitPersistentStorage.requestQuota, asked of the client's
// OnQuotaRequest; refused when the client does not take it.
void AskQuota(BrowserHostImpl& browser,
              const std::wstring& origin,
              int64_t bytes,
              std::function<void(bool granted)> done);

// Closes the runtime's own dialog shown on the UI thread, as the user
// would: accepting it (OK) or not (Cancel). False when none is shown.
bool DismissShownDialog(bool accept, const std::wstring& text);

}  // namespace cef_standin
