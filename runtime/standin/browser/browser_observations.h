#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace cef_standin {

// What the runtime did for each browser, kept for the test interface:
// navigations asked about and refused, focus, dialogs, downloads, the
// editable focus the renderer reported. Any thread.
class BrowserObservations {
 public:
  struct Navigation {
    int browser_id = 0;
    int64_t frame_id = 0;
    std::wstring url;
    bool is_redirect = false;
    bool refused = false;
  };
  struct Dialog {
    int browser_id = 0;
    int type = 0;  // cef_jsdialog_type_t
    std::wstring message;
    bool shown = false;  // a real message box, not the client's or suppressed
  };
  struct Download {
    int browser_id = 0;
    uint32_t id = 0;
    std::wstring url;
    std::wstring path;
    int64_t received = 0;
    int64_t total = -1;
    bool complete = false;
    bool canceled = false;
  };

  static BrowserObservations& Get();

  void Clear();
  void RecordNavigation(Navigation navigation);
  void MarkRefused(int browser_id, const std::wstring& url);
  std::vector<Navigation> Navigations();

  void RecordFocus(int browser_id, bool focused);
  bool Focused(int browser_id);
  void RecordEditableFocus(int browser_id, bool editable);
  bool FocusOnEditable(int browser_id);

  void RecordDialog(Dialog dialog);
  std::vector<Dialog> Dialogs();

  void UpdateDownload(const Download& download);
  std::vector<Download> Downloads();

 private:
  std::mutex mutex_;
  std::vector<Navigation> navigations_;  // guarded by mutex_
  std::map<int, bool> focused_;          // guarded by mutex_
  std::map<int, bool> editable_;         // guarded by mutex_
  std::vector<Dialog> dialogs_;          // guarded by mutex_
  std::vector<Download> downloads_;      // guarded by mutex_
};

}  // namespace cef_standin
