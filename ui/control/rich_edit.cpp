#include "ui/control/rich_edit.h"

#include <imm.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/util/string_util.h"
#include "ui/control/attribute_value.h"
#include "ui/control/on_screen_keyboard.h"
#include "ui/control/text_host.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/core/timer_queue.h"
#include "ui/core/window.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

using Host = CTxtWinHost;

bool KeyHeld(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

COLORREF ToColorRef(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

LPARAM PointParam(UiPoint point) {
  return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

// The clipboard's Unicode text; false when there is none or the clipboard
// cannot be opened.
bool ReadClipboardText(HWND owner, std::wstring* text) {
  if (!OpenClipboard(owner))
    return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      const size_t bytes = GlobalSize(data);
      const size_t limit = bytes / sizeof(wchar_t);
      *text = std::wstring(chars, std::find(chars, chars + limit, L'\0'));
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}

void WriteClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner))
    return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory))
        GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

// Whether a notification code of the text services goes on to the window
// as WM_NOTIFY.
bool IsForwardedNotification(DWORD code) {
  return code == 0x700 || (code >= 0x702 && code <= 0x704) || code == 0x706 ||
         (code >= 0x708 && code <= 0x70A) || code == 0x70C;
}

}  // namespace

RichEdit::RichEdit() {
  cursor_type_ = CursorType::kIbeam;
  // A bar with a range takes its room from the text.
  SetScrollBarFloat(false);
}

RichEdit::~RichEdit() {
  caret_flag_.Cancel();
  timers_.clear();
  host_.reset();
}

Window* RichEdit::HostWindow() const {
  return dynamic_cast<Window*>(window_);
}

HWND RichEdit::Hwnd() const {
  Window* window = HostWindow();
  return window ? window->GetHWND() : nullptr;
}

bool RichEdit::HasTextServices() const {
  return host_ && host_->services();
}

// Creation of the services waits for the first Init, when the control has
// its window; attributes before it only set fields.
void RichEdit::OnInit() {
  if (inited_)
    return;
  inited_ = true;
  host_ = std::make_unique<CTxtWinHost>(this);
  if (!host_->Init(font_id_, text_)) {
    host_.reset();
    return;
  }
  const std::wstring& color = enabled_ ? text_color_name_ : disabled_text_color_name_;
  const std::wstring chosen = color.empty() ? (enabled_ ? GlobalResources::DefaultTextColorName()
                                                        : GlobalResources::DisabledTextColorName())
                                            : color;
  if (!chosen.empty())
    host_->SetTextColor(ToColorRef(GlobalResources::ColorByName(chosen)));
  if (!bounds_.IsEmpty())
    SetBounds(bounds_);
}

HRESULT RichEdit::SendTextMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (!host_) {
    if (result)
      *result = 0;
    return S_FALSE;
  }
  return host_->Send(message, wparam, lparam, result);
}

void RichEdit::SetTextColor(const std::wstring& color_name) {
  if (color_name == text_color_name_ && inited_)
    return;
  text_color_name_ = color_name;
  if (host_ && IsEnabled()) {
    host_->SetTextColor(ToColorRef(GlobalResources::ColorByName(color_name)));
    Invalidate();
  }
}

std::string RichEdit::GetTextUtf8() const {
  return kbase::Utf16ToUtf8(GetText());
}

void RichEdit::SetTextUtf8(const std::string& text) {
  SetText(kbase::Utf8ToUtf16(text));
}

std::wstring RichEdit::GetText() const {
  if (!host_)
    return text_;
  GETTEXTLENGTHEX length_query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
  LRESULT length = 0;
  host_->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_query), 0, &length);
  if (length <= 0)
    return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX query = {};
  query.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  query.flags = GT_DEFAULT;
  query.codepage = 1200;
  LRESULT copied = 0;
  host_->Send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
              reinterpret_cast<LPARAM>(buffer.data()), &copied);
  copied = std::clamp<LRESULT>(copied, 0, length);
  return std::wstring(buffer.data(), static_cast<size_t>(copied));
}

void RichEdit::SetText(const std::wstring& text) {
  LRESULT limit = Host::kMaxLength;
  if (host_)
    host_->Send(EM_GETLIMITTEXT, 0, 0, &limit);
  std::wstring kept = text;
  if (limit >= 0 && kept.size() > static_cast<size_t>(limit)) {
    kept.resize(static_cast<size_t>(limit));
    // A high surrogate cut off from its partner would be half a character.
    if (!kept.empty() && kept.back() >= 0xD800 && kept.back() <= 0xDBFF)
      kept.pop_back();
  }
  if (!host_) {
    text_ = std::move(kept);
    return;
  }
  host_->SetText(kept);
  text_.clear();
  if (IsAutoSized())
    RequestLayoutOrInvalidate();
  else
    Invalidate();
}

void RichEdit::SetTextId(const std::wstring& id) {
  SetText(LanguageStrings::Instance()->StringById(id));
}

UiSize RichEdit::GetNaturalSize(int32_t width) {
  width = std::max(width, 0);
  if (!host_)
    return {width, 0};
  const SIZE size = host_->NaturalSize(width);
  return {size.cx, size.cy};
}

void RichEdit::SetSel(int32_t start, int32_t end) {
  CHARRANGE range = {start, end};
  SendTextMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
}

void RichEdit::GetSel(int32_t* start, int32_t* end) {
  CHARRANGE range = {};
  SendTextMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
  if (start)
    *start = range.cpMin;
  if (end)
    *end = range.cpMax;
}

void RichEdit::ReplaceSel(const std::wstring& text) {
  SendTextMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()), nullptr);
}

void RichEdit::SetReadOnly(bool read_only) {
  ApplyStyleBit(Host::kStyleReadOnly, read_only ? L"true" : L"false", &read_only_);
}

void RichEdit::SetPassword(bool password) {
  ApplyStyleBit(Host::kStylePassword, password ? L"true" : L"false", &password_);
}

void RichEdit::SetNumberOnly(bool number_only) {
  ApplyStyleBit(Host::kStyleNumber, number_only ? L"true" : L"false", &number_only_);
}

bool RichEdit::IsMultiLine() const {
  return (style_ & Host::kStyleMultiline) != 0;
}

void RichEdit::SetMultiLine(bool multi_line) {
  ApplyStyleBit(Host::kStyleMultiline, multi_line ? L"true" : L"false");
}

bool RichEdit::IsRich() const {
  return rich_;
}

void RichEdit::SetRich(bool rich) {
  rich_ = rich;
  if (host_)
    host_->SetRich(rich);
}

void RichEdit::SetFont(const std::wstring& font_id) {
  if (font_id == font_id_)
    return;
  font_id_ = font_id;
  if (host_) {
    host_->SetFont(font_id);
    if (IsAutoSized())
      RequestLayoutOrInvalidate();
    else
      Invalidate();
  }
}

const std::wstring& RichEdit::GetPromptText() const {
  if (!prompt_text_.empty() || prompt_text_id_.empty())
    return prompt_text_;
  prompt_cache_ = LanguageStrings::Instance()->StringById(prompt_text_id_);
  return prompt_cache_;
}

void RichEdit::SetPromptText(const std::wstring& text) {
  if (text == prompt_text_)
    return;
  prompt_text_ = text;
  Invalidate();
}

void RichEdit::SetPromptColor(const std::wstring& color_name) {
  prompt_color_name_ = color_name;
  Invalidate();
}

void RichEdit::ApplyStyleBit(uint32_t bit, const std::wstring& value, bool* mirror) {
  const uint32_t before = style_;
  if (value == L"true")
    style_ |= bit;
  else if (value == L"false")
    style_ &= ~bit;
  else
    return;
  if (mirror)
    *mirror = (style_ & bit) != 0;
  if (host_)
    host_->OnStyleChanged(before ^ style_);
}

void RichEdit::ApplyAlignment(const std::wstring& value) {
  const uint32_t before = style_;
  if (value.find(L"left") != std::wstring::npos)
    style_ &= ~(Host::kStyleCenter | Host::kStyleRight);
  if (value.find(L"hcenter") != std::wstring::npos)
    style_ = (style_ | Host::kStyleCenter) & ~Host::kStyleRight;
  if (value.find(L"right") != std::wstring::npos)
    style_ = (style_ | Host::kStyleRight) & ~Host::kStyleCenter;
  if (value.find(L"top") != std::wstring::npos)
    vertical_align_ = 0;
  if (value.find(L"vcenter") != std::wstring::npos)
    vertical_align_ = 1;
  if (value.find(L"bottom") != std::wstring::npos)
    vertical_align_ = 2;
  if (host_ && before != style_) {
    PARAFORMAT2 format = {};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = (style_ & Host::kStyleCenter)  ? PFA_CENTER
                        : (style_ & Host::kStyleRight) ? PFA_RIGHT
                                                       : PFA_LEFT;
    host_->Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  }
}

// The style keeps 0x2000 while either bar is wanted.
void RichEdit::ApplyScrollBar(ScrollAxis axis, const std::wstring& value) {
  const bool vertical = axis == ScrollAxis::kVertical;
  const uint32_t bit = vertical ? Host::kStyleVScroll : Host::kStyleHScroll;
  const uint32_t other = vertical ? Host::kStyleHScroll : Host::kStyleVScroll;
  const uint32_t before = style_;
  const bool wanted = attribute_value::ReadBool(value);
  if (wanted) {
    style_ |= bit | Host::kStyleNumber;
  } else {
    style_ &= ~bit;
    if (!(style_ & other))
      style_ &= ~Host::kStyleNumber;
  }
  const bool keep_vertical = GetVerticalScrollBar() != nullptr;
  const bool keep_horizontal = GetHorizontalScrollBar() != nullptr;
  EnableScrollBar(vertical ? wanted : keep_vertical, vertical ? keep_horizontal : wanted);
  if (host_)
    host_->OnStyleChanged(before ^ style_);
}

void RichEdit::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using attribute_value::ReadBool;
  if (name == L"vscrollbar") {
    ApplyScrollBar(ScrollAxis::kVertical, value);
  } else if (name == L"hscrollbar") {
    ApplyScrollBar(ScrollAxis::kHorizontal, value);
  } else if (name == L"autovscroll") {
    ApplyStyleBit(Host::kStyleAutoVScroll, value);
  } else if (name == L"autohscroll") {
    ApplyStyleBit(Host::kStyleAutoHScroll, value);
  } else if (name == L"multiline") {
    ApplyStyleBit(Host::kStyleMultiline, value);
  } else if (name == L"readonly") {
    ApplyStyleBit(Host::kStyleReadOnly, value, &read_only_);
  } else if (name == L"password") {
    ApplyStyleBit(Host::kStylePassword, value, &password_);
  } else if (name == L"number") {
    ApplyStyleBit(Host::kStyleNumber, value, &number_only_);
  } else if (name == L"align") {
    ApplyAlignment(value);
  } else if (name == L"normaltextcolor") {
    const std::wstring color = attribute_value::SkipLeadingBlanks(value);
    if (IsEnabled())
      SetTextColor(color);
    else
      text_color_name_ = color;
  } else if (name == L"disabledtextcolor") {
    disabled_text_color_name_ = attribute_value::SkipLeadingBlanks(value);
    if (host_ && !IsEnabled())
      host_->SetTextColor(ToColorRef(GlobalResources::ColorByName(disabled_text_color_name_)));
  } else if (name == L"caretcolor") {
    caret_color_name_ = attribute_value::SkipLeadingBlanks(value);
  } else if (name == L"promptcolor") {
    SetPromptColor(attribute_value::SkipLeadingBlanks(value));
  } else if (name == L"promptmode") {
    if (value == L"true")
      prompt_mode_ = true;
  } else if (name == L"prompttext") {
    SetPromptText(value);
  } else if (name == L"prompttextid") {
    prompt_text_id_ = value;
    Invalidate();
  } else if (name == L"focusedimage") {
    focused_image_.SetImageString(value);
    Invalidate();
  } else if (name == L"font") {
    SetFont(value);
  } else if (name == L"text") {
    SetText(value);
  } else if (name == L"textid") {
    SetTextId(value);
  } else if (name == L"wanttab") {
    want_tab_ = ReadBool(value);
  } else if (name == L"wantreturnmsg") {
    want_return_msg_ = ReadBool(value);
  } else if (name == L"returnmsgwantctrl") {
    return_msg_want_ctrl_ = ReadBool(value);
  } else if (name == L"rich") {
    SetRich(ReadBool(value));
  } else {
    // Past the scrollable box's own table: of its attributes only the two
    // bars above apply to an edit.
    Box::ApplyAttribute(name, value);
  }
}

void RichEdit::SetEnabled(bool enabled) {
  ScrollableBox::SetEnabled(enabled);
  if (!host_)
    return;
  const std::wstring& name = enabled ? text_color_name_ : disabled_text_color_name_;
  if (!name.empty())
    host_->SetTextColor(ToColorRef(GlobalResources::ColorByName(name)));
  Invalidate();
}

int32_t RichEdit::GetTabFlags() const {
  int32_t flags = ScrollableBox::GetTabFlags() | kTabStop;
  if (want_tab_)
    flags |= kTabFlagWantsTab;
  return flags;
}

UiRect RichEdit::TextRectFor(const UiRect& bounds) const {
  UiRect text = Layout::DeflateSaturated(bounds, layout_->GetPadding());
  // A padding larger than the bounds leaves an empty text, not a negative
  // one.
  text.right = std::max(text.left, text.right);
  text.bottom = std::max(text.top, text.bottom);
  if (IsScrollBarFloat())
    return text;
  const UiSize range = GetScrollRange();
  if (range.cy != 0)
    text.right = std::max(text.left, text.right - GetVerticalScrollBar()->Thickness());
  if (range.cx != 0)
    text.bottom = std::max(text.top, text.bottom - GetHorizontalScrollBar()->Thickness());
  return text;
}

UiRect RichEdit::GetTextRect() const {
  return text_rect_;
}

UiSize RichEdit::Measure(UiSize available) {
  if (fixed_width_ != kAuto && fixed_height_ != kAuto)
    return {fixed_width_, fixed_height_};
  const UiPadding padding = layout_->GetPadding();
  const int32_t horizontal_padding = padding.left + padding.right;
  int32_t width_limit = 0;
  if (fixed_width_ == kAuto) {
    width_limit = max_width_ - horizontal_padding;
  } else if (fixed_width_ > 0) {
    // Only the height follows the text: it wraps at the control's own width.
    width_limit = fixed_width_ - horizontal_padding;
  } else if (available.cx > 0) {
    width_limit = available.cx - horizontal_padding;
  }
  const UiSize natural = GetNaturalSize(width_limit);
  UiSize size = {fixed_width_, fixed_height_};
  if (fixed_width_ == kAuto)
    size.cx = natural.cx + horizontal_padding;
  if (fixed_height_ == kAuto)
    size.cy = natural.cy + padding.top + padding.bottom;
  return size;
}

void RichEdit::SetBounds(const UiRect& rect) {
  Control::SetBounds(rect);
  PlaceText();
}

// Handing the services a narrower or wider rectangle may make a bar gain
// or lose its range, which changes the rectangle again; a few rounds
// settle it (a narrower text only grows taller, so it cannot flip back).
void RichEdit::PlaceText() {
  constexpr int kMaxRounds = 4;
  if (placing_text_) {
    place_text_again_ = true;
    return;
  }
  placing_text_ = true;
  for (int round = 0; round < kMaxRounds; ++round) {
    place_text_again_ = false;
    text_rect_ = TextRectFor(bounds_);
    UiRect client = text_rect_;
    if (host_ && vertical_align_ != 0) {
      const int32_t spare = client.Height() - GetNaturalSize(client.Width()).cy;
      if (spare > 0)
        client.top += vertical_align_ == 1 ? spare / 2 : spare;
    }
    if (host_)
      host_->SetClientRect({client.left, client.top, client.right, client.bottom});
    if (!place_text_again_)
      break;
  }
  placing_text_ = false;

  // The bars lie beside the text, or over its edge when they float.
  const UiRect& text = text_rect_;
  if (ScrollBar* bar = GetVerticalScrollBar(); bar && bar->GetScrollRange() != 0) {
    const int32_t left = IsScrollBarFloat() ? text.right - bar->Thickness() : text.right;
    bar->SetBounds(
        {left, text.top, Layout::Saturate(int64_t{left} + bar->Thickness()), text.bottom});
  }
  if (ScrollBar* bar = GetHorizontalScrollBar(); bar && bar->GetScrollRange() != 0) {
    const int32_t top = IsScrollBarFloat() ? text.bottom - bar->Thickness() : text.bottom;
    bar->SetBounds({text.left, top, text.right, Layout::Saturate(int64_t{top} + bar->Thickness())});
  }
  for (Control* child : children_) {
    if (child->IsVisible())
      child->SetBounds(text);
  }
}

void RichEdit::OnBarRoomChanged() {
  PlaceText();
}

void RichEdit::InvalidateText(const RECT* rect) {
  if (!window_ || !host_)
    return;
  const RECT& client = host_->client_rect();
  const UiRect area = rect ? UiRect{rect->left, rect->top, rect->right, rect->bottom}
                           : UiRect{client.left, client.top, client.right, client.bottom};
  const UiPoint offset = GetScrollOffset();
  window_->Invalidate(area.Offset(-offset.x, -offset.y));
}

void RichEdit::SetScrollPos(UiPoint pos) {
  const UiSize range = GetScrollRange();
  if (pos.y < 0 || pos.y > range.cy)
    GetScrollAnimation().Cancel();
  const UiPoint before = GetScrollPos();
  const UiPoint target = {std::clamp(pos.x, 0, range.cx), std::clamp(pos.y, 0, range.cy)};
  if (!host_ || target == before)
    return;
  // A weak flag rather than a liveness watch, which GCC's release build
  // takes for a dangling pointer here.
  const std::weak_ptr<kbase::WeakFlag> alive = AcquireWeakFlag();
  if (range.cy != 0 && target.y != before.y)
    host_->ScrollTo(ScrollAxis::kVertical, target.y);
  if (!alive.expired() && range.cx != 0 && target.x != before.x)
    host_->ScrollTo(ScrollAxis::kHorizontal, target.x);
  if (!alive.expired() && window_ && GetScrollPos() != before)
    SendEvent(kEventScrollChange);
}

void RichEdit::ShowCaret(bool show) {
  caret_flag_.Cancel();
  caret_visible_ = show;
  if (show) {
    TimerQueue::Instance()->AddTimer(
        caret_flag_.AcquireWeakFlag(), [this] { OnCaretBlink(); }, kCaretBlinkMs,
        TimerQueue::kRepeatForever);
  }
  InvalidateCaret();
}

void RichEdit::OnCaretBlink() {
  caret_visible_ = !caret_visible_;
  InvalidateCaret();
}

// Only the caret's own column is repainted: a whole-control repaint on every
// keystroke and blink would redraw every visible line of a long text.
void RichEdit::InvalidateCaret() {
  if (!window_)
    return;
  const UiPoint offset = GetScrollOffset();
  const int32_t half = caret_width_ / 2 + 1;
  const UiPoint pos = GetCaretPos();
  const UiRect caret = {pos.x - half, pos.y, pos.x + half + 1, pos.y + caret_height_ + 1};
  window_->Invalidate(UiRect::Intersection(caret, bounds_).Offset(-offset.x, -offset.y));
}

UiPoint RichEdit::GetCaretPos() const {
  const POINT scroll = host_ ? host_->ScrollOffset() : POINT{};
  return {Layout::Saturate(int64_t{caret_text_pos_.x} - scroll.x),
          Layout::Saturate(int64_t{caret_text_pos_.y} - scroll.y)};
}

// The services move the caret when they place it, not when they scroll:
// they leave that to the window's scrolling, which moves a system caret.
void RichEdit::MoveCaret(UiPoint position, bool show) {
  const POINT scroll = host_ ? host_->ScrollOffset() : POINT{};
  const UiPoint text_pos = {Layout::Saturate(int64_t{position.x} + scroll.x),
                            Layout::Saturate(int64_t{position.y} + scroll.y)};
  if (text_pos != caret_text_pos_) {
    InvalidateCaret();
    caret_text_pos_ = text_pos;
  }
  ShowCaret(show);
}

void RichEdit::SetHostTimer(UINT id, UINT timeout) {
  auto flag = std::make_unique<kbase::WeakCallbackFlag>();
  TimerQueue::Instance()->AddTimer(
      flag->AcquireWeakFlag(), [this, id] { SendTextMessage(WM_TIMER, id, 0, nullptr); },
      static_cast<int32_t>(std::min<UINT>(timeout, INT32_MAX)), TimerQueue::kRepeatForever);
  timers_[id] = std::move(flag);
}

void RichEdit::KillHostTimer(UINT id) {
  timers_.erase(id);
}

bool RichEdit::IsLinkAt(UiPoint point) {
  if (!host_ || !rich_)
    return false;
  POINTL where = {point.x, point.y};
  LRESULT position = 0;
  host_->Send(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&where), &position);
  CHARRANGE kept = {};
  host_->Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  CHARRANGE probe = {static_cast<LONG>(position), static_cast<LONG>(position) + 1};
  host_->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&probe));
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  host_->Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  host_->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  return (format.dwMask & CFM_LINK) && (format.dwEffects & CFE_LINK);
}

void RichEdit::PasteDigitsOnly(WPARAM wparam, LPARAM lparam) {
  HWND owner = Hwnd();
  std::wstring previous;
  if (!ReadClipboardText(owner, &previous))
    return;
  std::wstring digits;
  std::copy_if(previous.begin(), previous.end(), std::back_inserter(digits),
               [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  if (digits.empty())
    return;
  WriteClipboardText(owner, digits);
  SendTextMessage(WM_KEYDOWN, wparam, lparam, nullptr);
  // The services paste at once, so the user's clipboard is put back before
  // anything else can read the filtered copy.
  WriteClipboardText(owner, previous);
}

void RichEdit::OnKeyDown(EventArgs* args) {
  const bool ctrl = KeyHeld(VK_CONTROL);
  if (args->wParam == VK_RETURN && want_return_msg_ && !KeyHeld(VK_SHIFT) &&
      ctrl == return_msg_want_ctrl_) {
    if (Window* window = HostWindow()) {
      swallow_return_char_ = true;
      window->SendNotify(this, kEventReturn);
      return;
    }
  }
  if (number_only_ && ctrl && args->wParam == 'V') {
    PasteDigitsOnly(args->wParam, args->lParam);
    return;
  }
  SendTextMessage(WM_KEYDOWN, args->wParam, args->lParam, nullptr);
}

void RichEdit::OnChar(EventArgs* args) {
  const auto character = static_cast<wchar_t>(args->wParam);
  if (std::exchange(swallow_return_char_, false) && (character == L'\r' || character == L'\n'))
    return;
  if (!want_tab_ && (character == L'\t' || KeyHeld(VK_TAB))) {
    if (Window* window = HostWindow())
      window->SendNotify(this, kEventTab);
    return;
  }
  if (number_only_ && (character < L'0' || character > L'9'))
    return;
  SendTextMessage(WM_CHAR, args->wParam, args->lParam, nullptr);
}

void RichEdit::OnImeStart() {
  HWND hwnd = Hwnd();
  if (hwnd) {
    if (HIMC context = ImmGetContext(hwnd)) {
      const UiPoint offset = GetScrollOffset();
      COMPOSITIONFORM form = {};
      form.dwStyle = CFS_POINT;
      const UiPoint caret = GetCaretPos();
      form.ptCurrentPos.x = std::max(caret.x - offset.x, 1);
      form.ptCurrentPos.y = std::max(caret.y - offset.y, 1);
      ImmSetCompositionWindow(context, &form);
      ImmReleaseContext(hwnd, context);
    }
  }
  composing_ = true;
}

void RichEdit::SetFocusState(bool focused) {
  if (focused) {
    if (host_)
      host_->ActivateInPlace();
    SendTextMessage(WM_SETFOCUS, 0, 0, nullptr);
    ShowCaret(true);
  } else {
    SendTextMessage(WM_KILLFOCUS, 0, 0, nullptr);
    ShowCaret(false);
    composing_ = false;
    OnScreenKeyboardManager::Instance()->ShowKeyboard(false);
  }
  focused_ = focused;
  Invalidate();
}

bool RichEdit::HandleEvent(EventArgs* args) {
  const EventType type = args->type;
  if (!IsEnabled() || (!IsMouseEnabled() && IsMouseEvent(type)))
    return ScrollableBox::HandleEvent(args);
  const UiPoint offset = GetScrollOffset();
  const UiPoint point = {args->mousePoint.x + offset.x, args->mousePoint.y + offset.y};
  switch (type) {
    case kEventMouseMove:
      SendTextMessage(WM_MOUSEMOVE, args->wParam, PointParam(point), nullptr);
      return true;
    case kEventPointerDown:
      OnScreenKeyboardManager::Instance()->ShowKeyboard(true);
      [[fallthrough]];
    case kEventMouseButtonDown:
      if (IsLinkAt(point)) {
        if (Window* window = HostWindow())
          window->SendNotify(this, kEventCustomLinkClick);
        return true;
      }
      SendTextMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point), nullptr);
      return true;
    case kEventMouseButtonUp:
    case kEventPointerUp:
      SendTextMessage(WM_LBUTTONUP, 0, PointParam(point), nullptr);
      return true;
    case kEventMouseRightButtonDown:
      SendTextMessage(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(point), nullptr);
      return true;
    case kEventMouseRightButtonUp:
      SendTextMessage(WM_RBUTTONUP, 0, PointParam(point), nullptr);
      return true;
    case kEventInternalDoubleClick:
    case kEventMouseDoubleClick:
      if (!read_only_)
        SendTextMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(point), nullptr);
      return true;
    case kEventInternalSetFocus:
      SetFocusState(true);
      return true;
    case kEventInternalKillFocus:
      SetFocusState(false);
      return true;
    case kEventKeyDown:
      OnKeyDown(args);
      return true;
    case kEventChar:
      OnChar(args);
      return true;
    case kEventMouseScrollWheel:
      // Ctrl with the wheel is left alone; otherwise the bar's line steps.
      if (KeyHeld(VK_CONTROL))
        return true;
      return ScrollableBox::HandleEvent(args);
    case kEventSetCursor:
      if (host_) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        if (HWND hwnd = Hwnd())
          ScreenToClient(hwnd, &cursor);
        if (host_->SetCursorAt({cursor.x + offset.x, cursor.y + offset.y}))
          return true;
      }
      return ScrollableBox::HandleEvent(args);
    case kEventImeStartComposition:
      OnImeStart();
      return true;
    case kEventImeEndComposition:
      composing_ = false;
      return true;
    default:
      return ScrollableBox::HandleEvent(args);
  }
}

void RichEdit::OnTextNotify(DWORD code, void* data) {
  if (code == EN_CHANGE) {
    OnTextChanged();
    return;
  }
  HWND hwnd = Hwnd();
  if (IsForwardedNotification(code)) {
    if (data && hwnd) {
      auto* header = static_cast<NMHDR*>(data);
      const auto identifier = static_cast<UINT_PTR>(GetWindowLongPtrW(hwnd, GWLP_ID));
      header->hwndFrom = hwnd;
      header->idFrom = identifier;
      header->code = code;
      SendMessageW(hwnd, WM_NOTIFY, identifier, reinterpret_cast<LPARAM>(data));
    }
    return;
  }
  if (code != EN_LINK || !data || !host_)
    return;
  const auto* link = static_cast<const ENLINK*>(data);
  if (link->msg != WM_LBUTTONUP)
    return;
  CHARRANGE range = link->chrg;
  GETTEXTLENGTHEX length_query = {GTL_NUMCHARS, 1200};
  LRESULT length = 0;
  host_->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_query), 0, &length);
  range.cpMin = std::clamp<LONG>(range.cpMin, 0, static_cast<LONG>(length));
  range.cpMax = std::clamp<LONG>(range.cpMax, range.cpMin, static_cast<LONG>(length));
  host_->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  std::vector<wchar_t> text(static_cast<size_t>(range.cpMax - range.cpMin) + 1, L'\0');
  host_->Send(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
  text.back() = L'\0';
  const std::string utf8 = kbase::Utf16ToUtf8(text.data());
  std::printf("[Link]%s\n", utf8.c_str());
  if (hwnd)
    SendMessageW(hwnd, WM_NOTIFY, EN_LINK, reinterpret_cast<LPARAM>(text.data()));
}

void RichEdit::OnTextChanged() {
  if (host_ && vertical_align_ != 0)
    PlaceText();
  if (IsAutoSized())
    RequestLayoutOrInvalidate();
  SendEvent(kEventTextChange);
}

void RichEdit::PaintStateImage(IRenderContext* context) {
  if (focused_ && !focused_image_.fileName.empty()) {
    DrawImage(context, focused_image_);
    return;
  }
  if (!read_only_)
    ScrollableBox::PaintStateImage(context);
}

void RichEdit::PaintText(IRenderContext* context) {
  prompt_painted_ = false;
  if (!host_)
    return;
  PaintTextServices(context);
  PaintPrompt(context);
}

// GDI leaves alpha 0 on every pixel it writes into the 32-bit bitmap, which
// a layered window would show as holes. The alpha of the area is parked at
// 1 while the services draw: afterwards a 0 marks a drawn pixel (made
// opaque) and a 1 an untouched one (given its own alpha back).
void RichEdit::PaintTextServices(IRenderContext* context) {
  const RECT& client = host_->client_rect();
  const UiRect client_rect = {client.left, client.top, client.right, client.bottom};
  const UiRect area = UiRect::Intersection(client_rect, paint_rect_);
  if (area.IsEmpty())
    return;
  // A non-layered window shows no alpha: its own bitmap needs no repair.
  const Window* window = HostWindow();
  const bool keeps_alpha = !window || window->IsLayered() || window->GetRenderContext() != context;
  auto* pixels = keeps_alpha ? static_cast<uint8_t*>(context->Pixels()) : nullptr;
  const UiPoint origin = context->GetDrawingOrigin();
  const UiRect device = UiRect::Intersection(area.Offset(-origin.x, -origin.y),
                                             {0, 0, context->Width(), context->Height()});
  std::vector<uint8_t> saved;
  if (pixels && !device.IsEmpty()) {
    saved.resize(static_cast<size_t>(device.Width()) * device.Height());
    uint8_t* kept = saved.data();
    for (int32_t y = device.top; y < device.bottom; ++y) {
      uint8_t* row = pixels + static_cast<size_t>(y) * context->Width() * 4;
      for (int32_t x = device.left; x < device.right; ++x) {
        *kept++ = row[x * 4 + 3];
        row[x * 4 + 3] = 1;
      }
    }
  }
  const RECT update = {area.left, area.top, area.right, area.bottom};
  host_->Draw(context->DeviceContext(), client, update);
  if (saved.empty())
    return;
  size_t index = 0;
  for (int32_t y = device.top; y < device.bottom; ++y) {
    uint8_t* row = pixels + static_cast<size_t>(y) * context->Width() * 4;
    for (int32_t x = device.left; x < device.right; ++x, ++index) {
      uint8_t& alpha = row[x * 4 + 3];
      alpha = alpha == 0 ? 255 : (alpha == 1 ? saved[index] : alpha);
    }
  }
}

void RichEdit::PaintPrompt(IRenderContext* context) {
  const std::wstring& prompt = GetPromptText();
  if (prompt.empty() || prompt_color_name_.empty())
    return;
  GETTEXTLENGTHEX length_query = {GTL_NUMCHARS, 1200};
  LRESULT length = 0;
  host_->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_query), 0, &length);
  if (length != 0)
    return;
  const uint32_t color = GlobalResources::ColorByName(prompt_color_name_);
  if (color == 0)
    return;
  const RECT& client = host_->client_rect();
  context->DrawText({client.left, client.top, client.right, client.bottom}, prompt, color, font_id_,
                    DT_NOCLIP, 255, false);
  prompt_painted_ = true;
}

// A caret the services scrolled out of the text's rectangle (or partly
// out) is cut off at its edge, so it never lands on a bar or the padding.
void RichEdit::PaintChildren(IRenderContext* context, const UiRect& paint_rect) {
  if (caret_visible_ && !composing_ && caret_height_ > 0 && host_) {
    uint32_t color = 0xFF000000;
    if (!caret_color_name_.empty())
      color = GlobalResources::ColorByName(caret_color_name_);
    const UiPoint caret = GetCaretPos();
    const int32_t x = caret.x;
    const int32_t y = caret.y;
    context->PushClip(text_rect_);
    context->DrawLine({x, y, x, y + caret_height_}, caret_width_, color);
    context->PopClip();
  }
  ScrollableBox::PaintChildren(context, paint_rect);
}

}  // namespace ui
