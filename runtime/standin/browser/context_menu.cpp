#include "runtime/standin/browser/context_menu.h"

#include <windows.h>

#include <vector>

#include "runtime/include/cef_context_menu_handler.h"
#include "runtime/include/cef_menu_model.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

class ContextMenuParamsImpl : public CefContextMenuParams {
 public:
  explicit ContextMenuParamsImpl(const ContextMenuInfo& info) : info_(info) {}

  int GetXCoord() override { return info_.x; }
  int GetYCoord() override { return info_.y; }
  TypeFlags GetTypeFlags() override { return static_cast<TypeFlags>(info_.type_flags); }
  CefString GetLinkUrl() override { return info_.link_url; }
  CefString GetUnfilteredLinkUrl() override { return info_.link_url; }
  CefString GetSourceUrl() override { return info_.source_url; }
  bool HasImageContents() override { return !info_.source_url.empty(); }
  CefString GetTitleText() override { return CefString(); }
  CefString GetPageUrl() override { return info_.page_url; }
  CefString GetFrameUrl() override { return info_.frame_url; }
  CefString GetFrameCharset() override { return L"utf-8"; }
  MediaType GetMediaType() override {
    return info_.source_url.empty() ? CM_MEDIATYPE_NONE : CM_MEDIATYPE_IMAGE;
  }
  MediaStateFlags GetMediaStateFlags() override { return CM_MEDIAFLAG_NONE; }
  CefString GetSelectionText() override { return info_.selection_text; }
  CefString GetMisspelledWord() override { return CefString(); }
  bool GetDictionarySuggestions(std::vector<CefString>& suggestions) override {
    suggestions.clear();
    return false;
  }
  bool IsEditable() override { return info_.editable; }
  bool IsSpellCheckEnabled() override { return false; }
  EditStateFlags GetEditStateFlags() override {
    return static_cast<EditStateFlags>(info_.edit_flags);
  }
  bool IsCustomMenu() override { return false; }
  bool IsPepperMenu() override { return false; }

 private:
  const ContextMenuInfo info_;
  IMPLEMENT_REFCOUNTING(ContextMenuParamsImpl);
};

// A flat menu: commands, check items and separators. UI thread.
class MenuModelImpl : public CefMenuModel {
 public:
  struct Item {
    MenuItemType type = MENUITEMTYPE_COMMAND;
    int command_id = -1;
    std::wstring label;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
  };

  const std::vector<Item>& items() const { return items_; }

  bool IsSubMenu() override { return false; }
  bool Clear() override {
    items_.clear();
    return true;
  }
  int GetCount() override { return static_cast<int>(items_.size()); }
  bool AddSeparator() override { return InsertSeparatorAt(GetCount()); }
  bool AddItem(int command_id, const CefString& label) override {
    return InsertItemAt(GetCount(), command_id, label);
  }
  bool AddCheckItem(int command_id, const CefString& label) override {
    if (!InsertItemAt(GetCount(), command_id, label))
      return false;
    items_.back().type = MENUITEMTYPE_CHECK;
    return true;
  }
  bool InsertSeparatorAt(int index) override {
    if (index < 0 || index > GetCount())
      return false;
    Item separator;
    separator.type = MENUITEMTYPE_SEPARATOR;
    items_.insert(items_.begin() + index, separator);
    return true;
  }
  bool InsertItemAt(int index, int command_id, const CefString& label) override {
    if (index < 0 || index > GetCount() || command_id < 0)
      return false;
    Item item;
    item.command_id = command_id;
    item.label = label.ToWString();
    items_.insert(items_.begin() + index, item);
    return true;
  }
  bool Remove(int command_id) override { return RemoveAt(GetIndexOf(command_id)); }
  bool RemoveAt(int index) override {
    if (index < 0 || index >= GetCount())
      return false;
    items_.erase(items_.begin() + index);
    return true;
  }
  int GetIndexOf(int command_id) override {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].type != MENUITEMTYPE_SEPARATOR && items_[i].command_id == command_id)
        return static_cast<int>(i);
    }
    return -1;
  }
  int GetCommandIdAt(int index) override { return At(index) ? At(index)->command_id : -1; }
  CefString GetLabel(int command_id) override { return GetLabelAt(GetIndexOf(command_id)); }
  CefString GetLabelAt(int index) override {
    return At(index) ? CefString(At(index)->label) : CefString();
  }
  MenuItemType GetType(int command_id) override { return GetTypeAt(GetIndexOf(command_id)); }
  MenuItemType GetTypeAt(int index) override {
    return At(index) ? At(index)->type : MENUITEMTYPE_NONE;
  }
  bool IsVisible(int command_id) override {
    Item* item = At(GetIndexOf(command_id));
    return item && item->visible;
  }
  bool SetVisible(int command_id, bool visible) override {
    Item* item = At(GetIndexOf(command_id));
    return item && ((item->visible = visible), true);
  }
  bool IsEnabled(int command_id) override {
    Item* item = At(GetIndexOf(command_id));
    return item && item->enabled;
  }
  bool SetEnabled(int command_id, bool enabled) override {
    Item* item = At(GetIndexOf(command_id));
    return item && ((item->enabled = enabled), true);
  }
  bool IsChecked(int command_id) override {
    Item* item = At(GetIndexOf(command_id));
    return item && item->checked;
  }
  bool SetChecked(int command_id, bool checked) override {
    Item* item = At(GetIndexOf(command_id));
    return item && ((item->checked = checked), true);
  }

 private:
  Item* At(int index) {
    return index < 0 || index >= GetCount() ? nullptr : &items_[static_cast<size_t>(index)];
  }

  std::vector<Item> items_;
  IMPLEMENT_REFCOUNTING(MenuModelImpl);
};

// The client's choice from its own menu.
class RunContextMenuCallbackImpl : public CefRunContextMenuCallback {
 public:
  explicit RunContextMenuCallbackImpl(std::function<void(int)> done) : done_(std::move(done)) {}
  ~RunContextMenuCallbackImpl() override { Cancel(); }
  void Continue(int command_id, EventFlags) override {
    auto done = std::move(done_);
    done_ = nullptr;
    if (done)
      done(command_id);
  }
  void Cancel() override { Continue(-1, EVENTFLAG_NONE); }
  // The client did not take the menu: the runtime shows it instead.
  void Disarm() { done_ = nullptr; }

 private:
  std::function<void(int)> done_;
  IMPLEMENT_REFCOUNTING(RunContextMenuCallbackImpl);
};

void DefaultModel(const ContextMenuInfo& info, BrowserHostImpl& browser, CefMenuModel& model) {
  if (info.editable) {
    model.AddItem(MENU_ID_UNDO, L"&Undo");
    model.AddItem(MENU_ID_REDO, L"&Redo");
    model.AddSeparator();
    model.AddItem(MENU_ID_CUT, L"Cu&t");
    model.AddItem(MENU_ID_COPY, L"&Copy");
    model.AddItem(MENU_ID_PASTE, L"&Paste");
    model.AddItem(MENU_ID_DELETE, L"&Delete");
    model.AddSeparator();
    model.AddItem(MENU_ID_SELECT_ALL, L"Select &all");
    return;
  }
  if (info.type_flags & CM_TYPEFLAG_SELECTION) {
    model.AddItem(MENU_ID_COPY, L"&Copy");
    return;
  }
  model.AddItem(MENU_ID_BACK, L"&Back");
  model.SetEnabled(MENU_ID_BACK, browser.CanGoBack());
  model.AddItem(MENU_ID_FORWARD, L"&Forward");
  model.SetEnabled(MENU_ID_FORWARD, browser.CanGoForward());
  model.AddSeparator();
  model.AddItem(MENU_ID_PRINT, L"&Print...");
  model.AddItem(MENU_ID_VIEW_SOURCE, L"View s&ource");
}

// The runtime's own handling of a command the client left.
void RunDefaultCommand(BrowserHostImpl& browser, int command_id) {
  switch (command_id) {
    case MENU_ID_BACK:
      browser.GoBack();
      break;
    case MENU_ID_FORWARD:
      browser.GoForward();
      break;
    case MENU_ID_RELOAD:
    case MENU_ID_RELOAD_NOCACHE:
      browser.Reload();
      break;
    case MENU_ID_STOPLOAD:
      browser.StopLoad();
      break;
    default:
      // Printing, page source and the editing commands are not offered by
      // the stand-in's pages.
      RuntimeContext::Get().log().Info(L"Context menu command " + std::to_wstring(command_id) +
                                       L" has no effect here");
      break;
  }
}

// Shows `model` as a pop-up menu at the click; the chosen command or -1.
int TrackMenu(BrowserHostImpl& browser, const MenuModelImpl& model, const ContextMenuInfo& info) {
  // A windowless browser's menu belongs to a window of the UI thread and
  // is placed where the render handler puts the view on the screen.
  WindowlessView* view = browser.windowless_view();
  HWND window = view ? view->MenuOwner() : browser.GetWindowHandle();
  HMENU menu = CreatePopupMenu();
  bool separator_pending = false;
  int shown = 0;
  for (const MenuModelImpl::Item& item : model.items()) {
    if (!item.visible)
      continue;
    if (item.type == MENUITEMTYPE_SEPARATOR) {
      separator_pending = shown > 0;
      continue;
    }
    if (separator_pending)
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    separator_pending = false;
    UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
    if (item.checked)
      flags |= MF_CHECKED;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.command_id), item.label.c_str());
    ++shown;
  }
  POINT point = {info.window_x, info.window_y};
  if (view)
    point = view->ScreenPoint(info.window_x, info.window_y);
  else if (window)
    ClientToScreen(window, &point);
  const int chosen = shown == 0
                         ? 0
                         : static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                           point.x, point.y, 0, window, nullptr));
  DestroyMenu(menu);
  return chosen > 0 ? chosen : -1;
}

}  // namespace

void RunContextMenu(BrowserHostImpl& browser, const ContextMenuInfo& info) {
  CefRefPtr<FrameHostImpl> frame = browser.FindFrame(info.frame_id);
  if (!frame)
    frame = browser.MainFrame();
  CefRefPtr<ContextMenuParamsImpl> params = new ContextMenuParamsImpl(info);
  CefRefPtr<MenuModelImpl> model = new MenuModelImpl;
  DefaultModel(info, browser, *model);
  CefRefPtr<CefClient> client = browser.client();
  CefRefPtr<CefContextMenuHandler> handler = client ? client->GetContextMenuHandler() : nullptr;
  if (handler)
    handler->OnBeforeContextMenu(&browser, frame.get(), params, model);
  if (model->GetCount() == 0) {
    // Nothing to show; the client still hears that the menu is over.
    if (handler)
      handler->OnContextMenuDismissed(&browser, frame.get());
    return;
  }
  CefRefPtr<BrowserHostImpl> keep(&browser);
  auto choose = [keep, frame, params, handler](int command_id) {
    if (command_id >= 0 && !keep->closed()) {
      const bool handled = handler && handler->OnContextMenuCommand(keep.get(), frame.get(), params,
                                                                    command_id, EVENTFLAG_NONE);
      if (!handled)
        RunDefaultCommand(*keep, command_id);
    }
    if (handler)
      handler->OnContextMenuDismissed(keep.get(), frame.get());
  };
  CefRefPtr<RunContextMenuCallbackImpl> callback = new RunContextMenuCallbackImpl(choose);
  if (handler && handler->RunContextMenu(&browser, frame.get(), params, model, callback))
    return;
  callback->Disarm();
  choose(TrackMenu(browser, *model, info));
}

}  // namespace cef_standin
