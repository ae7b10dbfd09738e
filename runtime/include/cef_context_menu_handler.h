#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_menu_model.h"

class CefContextMenuParams;

// Answers a context menu the program shows itself: once, with the chosen
// command or a cancel.
class CefRunContextMenuCallback : public virtual CefBaseRefCounted {
 public:
  typedef cef_event_flags_t EventFlags;

  virtual void Continue(int command_id, EventFlags event_flags) = 0;
  virtual void Cancel() = 0;
};

// The page's context menu, on the runtime's UI thread.
class CefContextMenuHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_event_flags_t EventFlags;

  // Before the menu is shown; `model` holds the default entries and may be
  // changed. A menu left empty is not shown.
  virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> /*browser*/,
                                   CefRefPtr<CefFrame> /*frame*/,
                                   CefRefPtr<CefContextMenuParams> /*params*/,
                                   CefRefPtr<CefMenuModel> /*model*/) {}
  // True when the program shows the menu itself and answers `callback`.
  virtual bool RunContextMenu(CefRefPtr<CefBrowser> /*browser*/,
                              CefRefPtr<CefFrame> /*frame*/,
                              CefRefPtr<CefContextMenuParams> /*params*/,
                              CefRefPtr<CefMenuModel> /*model*/,
                              CefRefPtr<CefRunContextMenuCallback> /*callback*/) {
    return false;
  }
  // An entry was chosen; true when the program carried the command out,
  // false for the runtime's own handling.
  virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> /*browser*/,
                                    CefRefPtr<CefFrame> /*frame*/,
                                    CefRefPtr<CefContextMenuParams> /*params*/,
                                    int /*command_id*/,
                                    EventFlags /*event_flags*/) {
    return false;
  }
  virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> /*browser*/,
                                      CefRefPtr<CefFrame> /*frame*/) {}
};

// What the context menu was opened on, valid during the callback only.
class CefContextMenuParams : public virtual CefBaseRefCounted {
 public:
  typedef cef_context_menu_type_flags_t TypeFlags;
  typedef cef_context_menu_media_type_t MediaType;
  typedef cef_context_menu_media_state_flags_t MediaStateFlags;
  typedef cef_context_menu_edit_state_flags_t EditStateFlags;

  // The click position in view coordinates.
  virtual int GetXCoord() = 0;
  virtual int GetYCoord() = 0;
  virtual TypeFlags GetTypeFlags() = 0;
  virtual CefString GetLinkUrl() = 0;
  virtual CefString GetUnfilteredLinkUrl() = 0;
  virtual CefString GetSourceUrl() = 0;
  virtual bool HasImageContents() = 0;
  virtual CefString GetTitleText() = 0;
  virtual CefString GetPageUrl() = 0;
  virtual CefString GetFrameUrl() = 0;
  virtual CefString GetFrameCharset() = 0;
  virtual MediaType GetMediaType() = 0;
  virtual MediaStateFlags GetMediaStateFlags() = 0;
  virtual CefString GetSelectionText() = 0;
  virtual CefString GetMisspelledWord() = 0;
  virtual bool GetDictionarySuggestions(std::vector<CefString>& suggestions) = 0;
  virtual bool IsEditable() = 0;
  virtual bool IsSpellCheckEnabled() = 0;
  virtual EditStateFlags GetEditStateFlags() = 0;
  virtual bool IsCustomMenu() = 0;
  virtual bool IsPepperMenu() = 0;
};
