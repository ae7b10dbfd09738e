#pragma once

#include "runtime/include/cef_base.h"

// The entries of a menu (the page's context menu), by index or by command
// identifier. Used on the runtime's UI thread.
class CefMenuModel : public virtual CefBaseRefCounted {
 public:
  typedef cef_menu_item_type_t MenuItemType;

  virtual bool IsSubMenu() = 0;
  virtual bool Clear() = 0;
  virtual int GetCount() = 0;
  virtual bool AddSeparator() = 0;
  virtual bool AddItem(int command_id, const CefString& label) = 0;
  virtual bool AddCheckItem(int command_id, const CefString& label) = 0;
  virtual bool InsertSeparatorAt(int index) = 0;
  virtual bool InsertItemAt(int index, int command_id, const CefString& label) = 0;
  virtual bool Remove(int command_id) = 0;
  virtual bool RemoveAt(int index) = 0;
  // -1 when no entry has that command.
  virtual int GetIndexOf(int command_id) = 0;
  virtual int GetCommandIdAt(int index) = 0;
  virtual CefString GetLabel(int command_id) = 0;
  virtual CefString GetLabelAt(int index) = 0;
  virtual MenuItemType GetType(int command_id) = 0;
  virtual MenuItemType GetTypeAt(int index) = 0;
  virtual bool IsVisible(int command_id) = 0;
  virtual bool SetVisible(int command_id, bool visible) = 0;
  virtual bool IsEnabled(int command_id) = 0;
  virtual bool SetEnabled(int command_id, bool enabled) = 0;
  virtual bool IsChecked(int command_id) = 0;
  virtual bool SetChecked(int command_id, bool checked) = 0;
};
