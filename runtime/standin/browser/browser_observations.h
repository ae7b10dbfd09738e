#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace cef_standin {

// What the runtime did for each browser, kept for the test interface:
// navigations asked about and refused, focus, dialogs, downloads, the
// editable focus the renderer reported, the input its page received. Any
// thread.
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

  // Mouse and key input as it reached a page, in the view's pixels.
  struct Input {
    // The values of cef_standin_input_kind_t.
    enum class Kind {
      kMouseMove,
      kMouseDown,
      kMouseUp,
      kDoubleClick,
      kMouseLeave,
      kCaptureLost,
      kWheel,
      kRawKeyDown,
      kKeyUp,
      kChar
    };
    Kind kind = Kind::kMouseMove;
    int x = 0;
    int y = 0;
    int button = 0;          // cef_mouse_button_type_t
    uint32_t modifiers = 0;  // cef_event_flags_t
    int windows_key_code = 0;
    int native_key_code = 0;
    bool is_system_key = false;
    int delta_x = 0;
    int delta_y = 0;
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

  // The latest inputs of each browser are kept, oldest first.
  void RecordInput(int browser_id, const Input& input);
  std::vector<Input> Inputs(int browser_id);

 private:
  std::mutex mutex_;
  std::vector<Navigation> navigations_;  // guarded by mutex_
  std::map<int, bool> focused_;          // guarded by mutex_
  std::map<int, bool> editable_;         // guarded by mutex_
  std::vector<Dialog> dialogs_;          // guarded by mutex_
  std::vector<Download> downloads_;      // guarded by mutex_
  std::map<int, std::vector<Input>> inputs_;  // guarded by mutex_
};

}  // namespace cef_standin
