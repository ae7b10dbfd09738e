#include "ui/control/text_host.h"

#include <imm.h>

#include <algorithm>
#include <cwchar>

#include "ui/control/control_host.h"
#include "ui/control/rich_edit.h"
#include "ui/core/global_resources.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

// The services' interface identifier as the headers give it; the library's
// own exported value is preferred, since some versions export another one.
constexpr IID kTextServicesIid = {0x8D33F740,
                                  0xCF58,
                                  0x11CE,
                                  {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
constexpr IID kTextHostIid = {0x13E670F4,
                              0x1A5A,
                              0x11CF,
                              {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};
constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kTwipsPerInch = 1440;
constexpr LONG kDefaultTabStop = 720;

int DpiOf(HDC dc, int index) {
  const int dpi = dc ? GetDeviceCaps(dc, index) : 0;
  return dpi > 0 ? dpi : 96;
}

// The program's own folder, ending in a separator.
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return {};
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

HMODULE LoadRichEditLibrary() {
  const std::wstring local = ProgramFolder() + L"msftedit50.dll";
  if (GetFileAttributesW(local.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (HMODULE module = LoadLibraryW(local.c_str()))
      return module;
  }
  return LoadLibraryW(L"msftedit.dll");
}

}  // namespace

CTxtWinHost::CTxtWinHost(RichEdit* edit) : edit_(edit) {
  char_format_.cbSize = sizeof(char_format_);
  para_format_.cbSize = sizeof(para_format_);
}

CTxtWinHost::~CTxtWinHost() {
  if (services_) {
    if (in_place_active_)
      services_->OnTxInPlaceDeactivate();
    services_->Release();
    services_ = nullptr;
  }
  // The library stays loaded: other edits share it, and the services may
  // still have window messages or timers of their own in flight.
  if (screen_dc_)
    DeleteDC(screen_dc_);
}

bool CTxtWinHost::Init(const std::wstring& font_id, const std::wstring& text) {
  const uint32_t style = edit_->style_;
  para_format_.dwMask = PFM_ALIGNMENT | PFM_TABSTOPS;
  para_format_.wAlignment = PFA_LEFT;
  if (style & kStyleCenter)
    para_format_.wAlignment = PFA_CENTER;
  else if (style & kStyleRight)
    para_format_.wAlignment = PFA_RIGHT;
  para_format_.cTabCount = 1;
  para_format_.rgxTabs[0] = kDefaultTabStop;
  rich_ = edit_->rich_;
  SetFont(font_id);
  char_format_.dwMask |= CFM_COLOR;
  char_format_.crTextColor = GetSysColor(COLOR_WINDOWTEXT);

  // The services read the back style while they are created, so the text
  // is transparent over the control's own background from the start.
  initialised_ = true;
  library_ = LoadRichEditLibrary();
  if (!library_)
    return false;
  auto create = reinterpret_cast<PCreateTextServices>(
      reinterpret_cast<void*>(GetProcAddress(library_, "CreateTextServices")));
  if (!create)
    return false;
  IID iid = kTextServicesIid;
  if (const auto* exported = reinterpret_cast<const IID*>(
          reinterpret_cast<void*>(GetProcAddress(library_, "IID_ITextServices")))) {
    iid = *exported;
  }
  IUnknown* unknown = nullptr;
  if (FAILED(create(nullptr, this, &unknown)) || !unknown)
    return false;
  void* services = nullptr;
  const HRESULT queried = unknown->QueryInterface(iid, &services);
  unknown->Release();
  if (FAILED(queried) || !services)
    return false;
  services_ = static_cast<ITextServices*>(services);

  const ServicesCall call(this);
  SetText(text);
  Send(EM_SETLANGOPTIONS, 0, 0);
  Send(EM_SETEVENTMASK, 0, ENM_CHANGE);
  ActivateInPlace();
  for (ScrollBar* bar : {edit_->GetVerticalScrollBar(), edit_->GetHorizontalScrollBar()}) {
    if (bar)
      SetBarRange(bar, 0);
  }
  return true;
}

CTxtWinHost::ServicesCall::ServicesCall(CTxtWinHost* host) : host_(host) {
  ++host_->call_depth_;
}

CTxtWinHost::ServicesCall::~ServicesCall() {
  if (--host_->call_depth_ != 0 || !host_->room_changed_)
    return;
  host_->room_changed_ = false;
  host_->edit_->OnBarRoomChanged();
}

HRESULT CTxtWinHost::Send(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  LRESULT ignored = 0;
  if (!services_) {
    if (result)
      *result = 0;
    return S_FALSE;
  }
  const ServicesCall call(this);
  return services_->TxSendMessage(message, wparam, lparam, result ? result : &ignored);
}

void CTxtWinHost::SetText(const std::wstring& text) {
  if (!services_)
    return;
  const ServicesCall call(this);
  services_->TxSetText(text.c_str());
}

bool CTxtWinHost::SetCursorAt(POINT point) {
  if (!services_)
    return false;
  const ServicesCall call(this);
  return SUCCEEDED(services_->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, PaintDC(),
                                            nullptr, &client_, point.x, point.y));
}

POINT CTxtWinHost::ScrollOffset() const {
  return {FiguresOf(SB_HORZ, {}).pos, FiguresOf(SB_VERT, {}).pos};
}

// EM_SETSCROLLPOS takes whole pixels; WM_VSCROLL's SB_THUMBPOSITION
// carries 16 bits, which the services scale beyond 65,535 pixels of text
// (and so does their EM_GETSCROLLPOS).
void CTxtWinHost::ScrollTo(ScrollAxis axis, int32_t pos) {
  POINT scroll = ScrollOffset();
  if (axis == ScrollAxis::kVertical)
    scroll.y = pos;
  else
    scroll.x = pos;
  Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

// Given a text before the control was laid out, the services scrolled its
// caret into a view of no height (a text set then showed from its second
// line); the first real rectangle brings the caret into view again.
void CTxtWinHost::SetClientRect(const RECT& rect) {
  if (EqualRect(&rect, &client_))
    return;
  const bool had_room = client_.bottom > client_.top && client_.right > client_.left;
  client_ = rect;
  UpdateExtent();
  if (!services_)
    return;
  const ServicesCall call(this);
  services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
  if (!had_room && rect.bottom > rect.top && rect.right > rect.left)
    Send(EM_SCROLLCARET, 0, 0);
}

void CTxtWinHost::UpdateExtent() {
  HDC dc = PaintDC();
  extent_.cx = (client_.right - client_.left) * kHimetricPerInch / DpiOf(dc, LOGPIXELSX);
  extent_.cy = (client_.bottom - client_.top) * kHimetricPerInch / DpiOf(dc, LOGPIXELSY);
}

void CTxtWinHost::SetFont(const std::wstring& font_id) {
  const FontInfo* font = GlobalResources::FontById(font_id);
  if (!font)
    font = GlobalResources::FontById(std::wstring());
  LOGFONTW log_font = {};
  if (!font || !font->handle || !GetObjectW(font->handle, sizeof(log_font), &log_font))
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(log_font), &log_font);
  const LONG dpi = DpiOf(PaintDC(), LOGPIXELSY);
  char_format_.dwMask |=
      CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  char_format_.yHeight = -log_font.lfHeight * kTwipsPerInch / dpi;
  if (char_format_.yHeight < 0)
    char_format_.yHeight = -char_format_.yHeight;
  char_format_.yOffset = 0;
  char_format_.dwEffects &= ~static_cast<DWORD>(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
  if (log_font.lfWeight >= FW_BOLD)
    char_format_.dwEffects |= CFE_BOLD;
  if (log_font.lfItalic)
    char_format_.dwEffects |= CFE_ITALIC;
  if (log_font.lfUnderline)
    char_format_.dwEffects |= CFE_UNDERLINE;
  char_format_.bCharSet = log_font.lfCharSet;
  char_format_.bPitchAndFamily = log_font.lfPitchAndFamily;
  wcsncpy(char_format_.szFaceName, log_font.lfFaceName, LF_FACESIZE - 1);
  char_format_.szFaceName[LF_FACESIZE - 1] = L'\0';
  ApplyCharFormat();
}

void CTxtWinHost::SetTextColor(COLORREF color) {
  char_format_.dwMask |= CFM_COLOR;
  char_format_.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
  char_format_.crTextColor = color;
  ApplyCharFormat();
}

// The services are told that the host's format changed, and the format is
// also set on the text itself: some versions only take it for new text.
void CTxtWinHost::ApplyCharFormat() {
  if (!services_)
    return;
  const ServicesCall call(this);
  services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
  Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&char_format_));
  Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&char_format_));
}

void CTxtWinHost::SetRich(bool rich) {
  if (rich_ == rich)
    return;
  rich_ = rich;
  if (!services_)
    return;
  const ServicesCall call(this);
  services_->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::OnStyleChanged(uint32_t changed_bits) {
  if (!services_ || changed_bits == 0)
    return;
  DWORD mask = 0;
  if (changed_bits & kStyleMultiline)
    mask |= TXTBIT_MULTILINE;
  if (changed_bits & kStyleReadOnly)
    mask |= TXTBIT_READONLY;
  if (changed_bits & kStylePassword)
    mask |= TXTBIT_USEPASSWORD;
  if (changed_bits & (kStyleHScroll | kStyleAutoHScroll))
    mask |= TXTBIT_WORDWRAP;
  if (changed_bits &
      (kStyleVScroll | kStyleHScroll | kStyleAutoVScroll | kStyleAutoHScroll | kStyleNumber))
    mask |= TXTBIT_SCROLLBARCHANGE;
  DWORD bits = 0;
  TxGetPropertyBits(mask, &bits);
  const ServicesCall call(this);
  services_->OnTxPropertyBitsChange(mask, bits);
}

void CTxtWinHost::ActivateInPlace() {
  if (!services_ || in_place_active_)
    return;
  const ServicesCall call(this);
  in_place_active_ = SUCCEEDED(services_->OnTxInPlaceActivate(&client_));
}

void CTxtWinHost::Deactivate() {
  if (!services_ || !in_place_active_)
    return;
  const ServicesCall call(this);
  services_->OnTxInPlaceDeactivate();
  in_place_active_ = false;
}

// The height going in is that of the box the services lay the text out in
// for the query, and Wine's took it for their view's height: after a query
// with a height of 0 (before the text was next drawn) they kept the caret in
// a view of no height, so that every caret key scrolled a line. The text's
// own height goes in.
SIZE CTxtWinHost::NaturalSize(int32_t width) {
  SIZE size = {std::max(width, 0), 0};
  if (!services_)
    return size;
  LONG natural_width = size.cx;
  LONG natural_height = client_.bottom - client_.top;
  const SIZEL extent = {-1, -1};
  const ServicesCall call(this);
  if (SUCCEEDED(services_->TxGetNaturalSize(DVASPECT_CONTENT, PaintDC(), nullptr, nullptr,
                                            TXTNS_FITTOCONTENT, &extent, &natural_width,
                                            &natural_height))) {
    size.cx = natural_width;
    size.cy = natural_height;
  }
  return size;
}

void CTxtWinHost::Draw(HDC dc, const RECT& bounds, const RECT& update) {
  if (!services_)
    return;
  RECT damaged = update;
  const RECTL bounds_l = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  const ServicesCall call(this);
  services_->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds_l, nullptr,
                    &damaged, nullptr, 0, in_place_active_ ? TXTVIEW_ACTIVE : TXTVIEW_INACTIVE);
}

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void** object) {
  if (!object)
    return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kTextHostIid)) {
    *object = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() {
  return ++references_;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
  // Never deletes itself: the control owns the host.
  return references_ > 1 ? --references_ : 1;
}

HWND CTxtWinHost::Hwnd() const {
  return edit_->Hwnd();
}

HDC CTxtWinHost::PaintDC() const {
  if (ControlHost* window = edit_->GetWindow()) {
    if (IRenderContext* context = window->GetRenderContext()) {
      if (HDC dc = context->DeviceContext())
        return dc;
    }
  }
  auto* self = const_cast<CTxtWinHost*>(this);
  if (!self->screen_dc_)
    self->screen_dc_ = CreateCompatibleDC(nullptr);
  return self->screen_dc_;
}

HDC CTxtWinHost::TxGetDC() {
  return PaintDC();
}

INT CTxtWinHost::TxReleaseDC(HDC /*dc*/) {
  return 1;
}

// A bar the services hide or disable has nothing to scroll; one they show
// or enable again takes its range from their figures, which they need not
// report again when they did not change.
WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  UpdateBarRanges(bar, show != FALSE);
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bar, INT arrows) {
  UpdateBarRanges(bar, arrows != ESB_DISABLE_BOTH);
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG min_pos, INT max_pos, WINBOOL /*redraw*/) {
  if (ScrollBar* target = BarOf(bar))
    SetBarRange(target, RangeOf(bar, FiguresOf(bar, {min_pos, max_pos, 0})));
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL /*redraw*/) {
  if (ScrollBar* target = BarOf(bar))
    target->SetBarPos(FiguresOf(bar, {0, 0, pos}).pos);
  return TRUE;
}

// Beyond 65,535 pixels the services scale the numbers they report to 16
// bits; their own figures, when they give them, are whole pixels.
CTxtWinHost::ScrollFigures CTxtWinHost::FiguresOf(INT bar, const ScrollFigures& reported) const {
  // Asked while they are created, the services cannot answer yet.
  if (!services_)
    return reported;
  LONG min = 0;
  LONG max = 0;
  LONG pos = 0;
  LONG page = 0;
  BOOL enabled = FALSE;
  const HRESULT result = bar == SB_VERT
                             ? services_->TxGetVScroll(&min, &max, &pos, &page, &enabled)
                             : services_->TxGetHScroll(&min, &max, &pos, &page, &enabled);
  if (FAILED(result) || max < min)
    return reported;
  return {min, max, pos};
}

// What scrolls is the text's extent less what fits into its rectangle.
int64_t CTxtWinHost::RangeOf(INT bar, const ScrollFigures& figures) const {
  const int64_t page = bar == SB_VERT ? client_.bottom - client_.top : client_.right - client_.left;
  const int64_t range = int64_t{figures.max} - figures.min - page;
  return range < 1 ? 0 : range;
}

void CTxtWinHost::UpdateBarRanges(INT bar, bool shown) {
  for (INT which : {SB_VERT, SB_HORZ}) {
    if (bar != which && bar != SB_BOTH)
      continue;
    if (ScrollBar* target = BarOf(which))
      SetBarRange(target, shown ? RangeOf(which, FiguresOf(which, {})) : 0);
  }
}

ScrollBar* CTxtWinHost::BarOf(INT bar) const {
  if (bar == SB_VERT)
    return edit_->GetVerticalScrollBar();
  if (bar == SB_HORZ)
    return edit_->GetHorizontalScrollBar();
  return nullptr;
}

void CTxtWinHost::SetBarRange(ScrollBar* bar, int64_t range) {
  const bool had_range = bar->GetScrollRange() != 0;
  bar->SetScrollRange(range);
  if (had_range != (bar->GetScrollRange() != 0))
    room_changed_ = true;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL /*mode*/) {
  edit_->InvalidateText(rect);
}

void CTxtWinHost::TxViewChange(WINBOOL /*update*/) {}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP /*bitmap*/, INT width, INT height) {
  edit_->caret_width_ = std::max(width, 1);
  edit_->caret_height_ = std::max(height, 0);
  return TRUE;
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL /*show*/) {
  // The control blinks its own caret; focus and selection decide it.
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  CHARRANGE selection = {};
  Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  edit_->MoveCaret({x, y}, edit_->IsFocused() && selection.cpMin == selection.cpMax);
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  edit_->SetHostTimer(id, timeout);
  return TRUE;
}

void CTxtWinHost::TxKillTimer(UINT id) {
  edit_->KillHostTimer(id);
}

// The control paints the whole damaged area again rather than moving
// pixels: the services scroll through here and ask for the repaint of what
// they moved.
void CTxtWinHost::TxScrollWindowEx(INT /*dx*/,
                                   INT /*dy*/,
                                   LPCRECT scroll,
                                   LPCRECT /*clip*/,
                                   HRGN /*update_region*/,
                                   LPRECT update,
                                   UINT flags) {
  if (update)
    *update = scroll ? *scroll : client_;
  if (flags & SW_INVALIDATE)
    edit_->InvalidateText(scroll);
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  HWND hwnd = Hwnd();
  if (!hwnd)
    return;
  if (capture)
    SetCapture(hwnd);
  else if (GetCapture() == hwnd)
    ReleaseCapture();
}

void CTxtWinHost::TxSetFocus() {
  edit_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL /*text*/) {
  ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT point) {
  HWND hwnd = Hwnd();
  return hwnd && point ? ScreenToClient(hwnd, point) : FALSE;
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT point) {
  HWND hwnd = Hwnd();
  return hwnd && point ? ClientToScreen(hwnd, point) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG* old_state) {
  if (old_state)
    *old_state = 0;
  return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG /*new_state*/) {
  return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  if (!rect)
    return E_INVALIDARG;
  *rect = client_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  if (!rect)
    return E_INVALIDARG;
  *rect = {};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  if (!format)
    return E_INVALIDARG;
  *format = reinterpret_cast<const CHARFORMATW*>(&char_format_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  if (!format)
    return E_INVALIDARG;
  *format = &para_format_;
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) {
  return GetSysColor(index);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  if (!style)
    return E_INVALIDARG;
  *style = initialised_ ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  if (!length)
    return E_INVALIDARG;
  *length = kMaxLength;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* bars) {
  if (!bars)
    return E_INVALIDARG;
  *bars = edit_->style_ &
          (kStyleVScroll | kStyleHScroll | kStyleAutoVScroll | kStyleAutoHScroll | kStyleNumber);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* character) {
  if (!character)
    return E_INVALIDARG;
  *character = 0;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* position) {
  if (!position)
    return E_INVALIDARG;
  *position = -1;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  if (!extent)
    return E_INVALIDARG;
  *extent = extent_;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* /*format*/) {
  return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* /*format*/) {
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  if (!bits)
    return E_INVALIDARG;
  const uint32_t style = edit_->style_;
  DWORD all = 0;
  if (style & kStyleMultiline)
    all |= TXTBIT_MULTILINE;
  if (rich_)
    all |= TXTBIT_RICHTEXT;
  if (style & kStyleReadOnly)
    all |= TXTBIT_READONLY;
  if (style & kStylePassword)
    all |= TXTBIT_USEPASSWORD;
  if (!(style & kStyleNoHideSelection))
    all |= TXTBIT_HIDESELECTION;
  if (!(style & (kStyleHScroll | kStyleAutoHScroll)))
    all |= TXTBIT_WORDWRAP;
  *bits = all & mask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE && data) {
    const auto* request = static_cast<const REQRESIZE*>(data);
    RECT resized = client_;
    resized.right = resized.left + (request->rc.right - request->rc.left);
    resized.bottom = resized.top + (request->rc.bottom - request->rc.top);
    SetClientRect(resized);
  }
  edit_->OnTextNotify(code, data);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() {
  HWND hwnd = Hwnd();
  return hwnd ? ImmGetContext(hwnd) : nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC context) {
  if (HWND hwnd = Hwnd())
    ImmReleaseContext(hwnd, context);
}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  if (!width)
    return E_INVALIDARG;
  *width = 0;
  return S_OK;
}

}  // namespace ui
