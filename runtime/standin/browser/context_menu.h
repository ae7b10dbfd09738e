#pragma once

#include <cstdint>
#include <string>

namespace cef_standin {

class BrowserHostImpl;

// What a right click hit, as the renderer found it.
struct ContextMenuInfo {
  int64_t frame_id = 0;
  int x = 0;  // view coordinates of the frame
  int y = 0;
  int window_x = 0;  // client coordinates of the browser's window
  int window_y = 0;
  int type_flags = 0;  // cef_context_menu_type_flags_t
  int edit_flags = 0;  // cef_context_menu_edit_state_flags_t
  bool editable = false;
  std::wstring link_url;
  std::wstring source_url;
  std::wstring page_url;
  std::wstring frame_url;
  std::wstring selection_text;
};

// UI thread: the page's context menu. The client's OnBeforeContextMenu
// sees the default entries and may change them; a menu left with entries
// is shown as a pop-up menu (or by the client's RunContextMenu), and the
// chosen command goes to OnContextMenuCommand, then to the runtime's own
// handling when the client leaves it.
void RunContextMenu(BrowserHostImpl& browser, const ContextMenuInfo& info);

}  // namespace cef_standin
