#pragma once

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <cstdint>
#include <string>

#include "ui/control/scroll_bar.h"

namespace ui {

class RichEdit;

// The rich edit's side of the windowless text services of the system's Rich
// Edit library: the ITextHost that answers the services from the control's
// state, and the owner of the services object.
//
// mingw's textserv.h declares the host and services operations without a
// calling convention, so on i686 GCC gives them __thiscall, as the library
// expects (and as the system's own headers declare them); the IUnknown part
// stays __stdcall. On x86_64 there is only one convention.
//
// Lifetime: the control owns the host through a unique_ptr; the reference
// count only tracks the services' own AddRef/Release calls, and the object is
// deleted by its owner, never by Release.
//
// Scroll bars: the services' reports (range, position, enabling, showing)
// set the control's bars. A bar that gains or loses its range changes the
// text's room; the services are told of the new rectangle only once the
// call into them that made the report has returned, never from inside it.
class CTxtWinHost : public ITextHost {
 public:
  // Style bits of the edit (the Windows ES_ and WS_ values).
  static constexpr uint32_t kStyleCenter = 0x1;
  static constexpr uint32_t kStyleRight = 0x2;
  static constexpr uint32_t kStyleMultiline = 0x4;
  static constexpr uint32_t kStylePassword = 0x20;
  static constexpr uint32_t kStyleAutoVScroll = 0x40;
  static constexpr uint32_t kStyleAutoHScroll = 0x80;
  static constexpr uint32_t kStyleNoHideSelection = 0x100;
  static constexpr uint32_t kStyleReadOnly = 0x800;
  static constexpr uint32_t kStyleNumber = 0x2000;
  static constexpr uint32_t kStyleHScroll = 0x100000;
  static constexpr uint32_t kStyleVScroll = 0x200000;
  static constexpr int32_t kMaxLength = 32767;

  explicit CTxtWinHost(RichEdit* edit);
  ~CTxtWinHost();
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Loads the library, creates the services with this host and prepares
  // them; false (and no services) when the library or the services are
  // missing.
  bool Init(const std::wstring& font_id, const std::wstring& text);

  ITextServices* services() const { return services_; }
  // Forwards to the services; S_FALSE without them.
  HRESULT Send(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result = nullptr);
  void SetText(const std::wstring& text);
  // Asks the services for the cursor at |point| (text coordinates); false
  // when they set none.
  bool SetCursorAt(POINT point);
  // Scrolls the services' view to |pos| pixels along |axis|.
  void ScrollTo(ScrollAxis axis, int32_t pos);
  // How far the services' view is scrolled, in pixels.
  POINT ScrollOffset() const;

  void SetClientRect(const RECT& rect);
  const RECT& client_rect() const { return client_; }
  void SetFont(const std::wstring& font_id);
  // |color| is a COLORREF.
  void SetTextColor(COLORREF color);
  void SetRich(bool rich);
  bool rich() const { return rich_; }
  // The style changed: the services read the property bits again.
  void OnStyleChanged(uint32_t changed_bits);
  void ActivateInPlace();
  void Deactivate();

  // The services' natural size for |width| pixels (0 or less: no limit).
  SIZE NaturalSize(int32_t width);
  // Draws the text into |dc| (logical coordinates) within |bounds|.
  void Draw(HDC dc, const RECT& bounds, const RECT& update);

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHost, in the interface's order.
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC dc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bar, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG min_pos, INT max_pos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx,
                        INT dy,
                        LPCRECT scroll,
                        LPCRECT clip,
                        HRGN update_region,
                        LPRECT update,
                        UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT point) override;
  WINBOOL TxClientToScreen(LPPOINT point) override;
  HRESULT TxActivate(LONG* old_state) override;
  HRESULT TxDeactivate(LONG new_state) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* bars) override;
  HRESULT TxGetPasswordChar(TCHAR* character) override;
  HRESULT TxGetAcceleratorPos(LONG* position) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

 private:
  // Brackets every call into the services: the text's room is re-placed
  // after the outermost one returns, when a bar's range asked for it.
  class ServicesCall {
   public:
    explicit ServicesCall(CTxtWinHost* host);
    ~ServicesCall();
    ServicesCall(const ServicesCall&) = delete;
    ServicesCall& operator=(const ServicesCall&) = delete;

   private:
    CTxtWinHost* host_;
  };

  // A bar's extent and position in pixels, as the services report them.
  struct ScrollFigures {
    LONG min = 0;
    LONG max = 0;
    LONG pos = 0;
  };

  ScrollBar* BarOf(INT bar) const;
  // The services' own figures for |bar|, else |reported|.
  ScrollFigures FiguresOf(INT bar, const ScrollFigures& reported) const;
  int64_t RangeOf(INT bar, const ScrollFigures& figures) const;
  // The bars named (SB_VERT, SB_HORZ or SB_BOTH) take their range from the
  // services' figures when |shown|, else none.
  void UpdateBarRanges(INT bar, bool shown);
  // The bar's range becomes |range|; a bar that gains or loses its range
  // re-places the text.
  void SetBarRange(ScrollBar* bar, int64_t range);
  HWND Hwnd() const;
  // The window's paint DC, or the screen's while the window has none.
  HDC PaintDC() const;
  void UpdateExtent();
  void ApplyCharFormat();

  RichEdit* edit_;
  HMODULE library_ = nullptr;
  ITextServices* services_ = nullptr;
  ULONG references_ = 1;
  bool initialised_ = false;
  bool rich_ = true;
  bool in_place_active_ = false;
  RECT client_ = {};
  SIZEL extent_ = {};
  CHARFORMAT2W char_format_ = {};
  PARAFORMAT2 para_format_ = {};
  HDC screen_dc_ = nullptr;
  int32_t call_depth_ = 0;
  bool room_changed_ = false;
};

}  // namespace ui
