#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_request_context.h"
#include "runtime/include/cef_values.h"

class CefBrowserHost;
class CefClient;

// A browser: one page with its frames. In the browser process it also has
// a host (its window, focus, input and developer tools).
class CefBrowser : public virtual CefBaseRefCounted {
 public:
  // Browser process only; null in a renderer.
  virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
  virtual bool CanGoBack() = 0;
  virtual void GoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual void GoForward() = 0;
  virtual bool IsLoading() = 0;
  virtual void Reload() = 0;
  virtual void StopLoad() = 0;
  // Unique within the process, and the same in the browser process and
  // the renderer.
  virtual int GetIdentifier() = 0;
  virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
  virtual bool IsPopup() = 0;
  virtual bool HasDocument() = 0;
  virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
  virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
  // Null when the browser has no frame with that identifier.
  virtual CefRefPtr<CefFrame> GetFrame(int64 identifier) = 0;
  virtual size_t GetFrameCount() = 0;
  virtual void GetFrameIdentifiers(std::vector<int64>& identifiers) = 0;
};

// The browser process's side of a browser: its window, focus, size,
// input, audio and developer tools. Safe to call on any thread of the
// browser process unless noted.
class CefBrowserHost : public virtual CefBaseRefCounted {
 public:
  typedef cef_mouse_button_type_t MouseButtonType;
  typedef cef_paint_element_type_t PaintElementType;

  // Starts creating a browser; it arrives in the client's
  // CefLifeSpanHandler::OnAfterCreated on the runtime's UI thread. False
  // when creation could not start. `extra_info` reaches the renderer's
  // CefRenderProcessHandler::OnBrowserCreated; both it and
  // `request_context` may be null.
  static bool CreateBrowser(const CefWindowInfo& windowInfo,
                            CefRefPtr<CefClient> client,
                            const CefString& url,
                            const CefBrowserSettings& settings,
                            CefRefPtr<CefDictionaryValue> extra_info,
                            CefRefPtr<CefRequestContext> request_context);

  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  // Asks the page whether it may close (its unload handlers) unless
  // `force_close` is set; the client's DoClose and OnBeforeClose follow.
  virtual void CloseBrowser(bool force_close) = 0;
  // UI thread only. True when the browser may close now (and a close is
  // then started); false while the page is still asked.
  virtual bool TryCloseBrowser() = 0;
  virtual void SetFocus(bool focus) = 0;
  // The browser's own window; null for a windowless browser.
  virtual CefWindowHandle GetWindowHandle() = 0;
  virtual CefWindowHandle GetOpenerWindowHandle() = 0;
  virtual CefRefPtr<CefClient> GetClient() = 0;
  virtual double GetZoomLevel() = 0;
  virtual void SetZoomLevel(double zoomLevel) = 0;
  virtual void StartDownload(const CefString& url) = 0;
  // Opens the developer tools for this browser in a new browser of
  // `client`, created as `windowInfo` says; a second call while they are
  // open brings them to the front.
  virtual void ShowDevTools(const CefWindowInfo& windowInfo,
                            CefRefPtr<CefClient> client,
                            const CefBrowserSettings& settings,
                            const CefPoint& inspect_element_at) = 0;
  virtual void CloseDevTools() = 0;
  virtual bool HasDevTools() = 0;
  virtual void SetMouseCursorChangeDisabled(bool disabled) = 0;
  virtual bool IsMouseCursorChangeDisabled() = 0;
  virtual bool IsWindowRenderingDisabled() = 0;

  // Windowless browsers: the view changed size (the runtime asks the render
  // handler's GetViewRect again), was hidden or shown, or must be painted
  // again.
  virtual void WasResized() = 0;
  virtual void WasHidden(bool hidden) = 0;
  virtual void NotifyScreenInfoChanged() = 0;
  virtual void Invalidate(PaintElementType type) = 0;

  // Windowless browsers: input the program forwards from its own window,
  // in view coordinates.
  virtual void SendKeyEvent(const CefKeyEvent& event) = 0;
  virtual void SendMouseClickEvent(const CefMouseEvent& event,
                                   MouseButtonType type,
                                   bool mouseUp,
                                   int clickCount) = 0;
  virtual void SendMouseMoveEvent(const CefMouseEvent& event, bool mouseLeave) = 0;
  virtual void SendMouseWheelEvent(const CefMouseEvent& event, int deltaX, int deltaY) = 0;
  virtual void SendFocusEvent(bool setFocus) = 0;
  virtual void SendCaptureLostEvent() = 0;
  virtual void NotifyMoveOrResizeStarted() = 0;
  virtual int GetWindowlessFrameRate() = 0;
  virtual void SetWindowlessFrameRate(int frame_rate) = 0;

  // The page's sound; the state is kept even where no sound device exists.
  virtual void SetAudioMuted(bool mute) = 0;
  virtual bool IsAudioMuted() = 0;
};
