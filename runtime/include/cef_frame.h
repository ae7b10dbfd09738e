#pragma once

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_process_message.h"

class CefBrowser;
class CefV8Context;

// A frame of a browser's page. The main frame has no parent.
class CefFrame : public virtual CefBaseRefCounted {
 public:
  virtual bool IsValid() = 0;
  virtual bool IsMain() = 0;
  virtual bool IsFocused() = 0;
  virtual CefString GetName() = 0;
  // Unique within the browser; negative when the frame has none yet.
  virtual int64 GetIdentifier() = 0;
  virtual CefRefPtr<CefFrame> GetParent() = 0;
  virtual CefString GetURL() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  // Renderer only: the frame's script context.
  virtual CefRefPtr<CefV8Context> GetV8Context() = 0;
  virtual void LoadURL(const CefString& url) = 0;
  // Sends the message to the given process; the message becomes read-only.
  virtual void SendProcessMessage(CefProcessId target_process,
                                  CefRefPtr<CefProcessMessage> message) = 0;
};
