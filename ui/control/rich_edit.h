#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "ui/control/image_spec.h"
#include "ui/control/scrollable_box.h"

namespace ui {

class CTxtWinHost;
class Window;

// The framework's text input: editing, caret placement, selection and text
// layout are the system's windowless rich-text services (hosted by
// CTxtWinHost); the control turns its events into window messages for them,
// paints them into its rectangle, draws the caret itself, and adds a prompt
// text, a number-only mode, Tab and Return notifications and the text-change
// and link events.
//
// Without the services (library missing, creation refused) the control is
// inert: messages answer S_FALSE, nothing is drawn but its box, and the text
// it was given is kept as it is.
//
// The services scroll the text themselves. The box's bars ("vscrollbar",
// "hscrollbar") show what they report: a bar with a range takes its room
// from the text's rectangle (unless the box's bars float), and moving a
// bar (thumb, buttons, wheel, SetScrollPos) tells the services where to
// scroll; when they scroll by themselves (typing, caret keys) the bar
// follows. What the edit holds besides the text scrolls with it, as in any
// scrollable box.
//
// The virtual operations added here keep this order.
class RichEdit : public ScrollableBox {
 public:
  static constexpr int32_t kCaretBlinkMs = 500;

  RichEdit();
  ~RichEdit() override;

  virtual void SetTextColor(const std::wstring& color_name);
  virtual std::string GetTextUtf8() const;
  virtual void SetTextUtf8(const std::string& text);
  // Forwards to the services' TxSendMessage; S_FALSE without them.
  virtual HRESULT SendTextMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  virtual void OnTextNotify(DWORD code, void* data);
  virtual void OnTextChanged();

  // PlaceHolder, Control, Box and ScrollableBox.
  void OnInit() override;
  UiSize Measure(UiSize available) override;
  void SetBounds(const UiRect& rect) override;
  void SetEnabled(bool enabled) override;
  int32_t GetTabFlags() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  bool HandleEvent(EventArgs* args) override;
  void PaintStateImage(IRenderContext* context) override;
  void PaintText(IRenderContext* context) override;
  void PaintChildren(IRenderContext* context, const UiRect& paint_rect) override;
  // Scrolls the services' view there (kept within the ranges); the bars
  // follow what the services then report.
  void SetScrollPos(UiPoint pos) override;

  bool HasTextServices() const;
  // The whole text (the text given so far without the services). Paragraph
  // breaks read as "\r".
  std::wstring GetText() const;
  // Texts longer than the services' limit are cut at it (at a whole
  // character).
  void SetText(const std::wstring& text);
  void SetTextId(const std::wstring& id);
  // The services' size of the text laid out |width| pixels wide (a
  // negative width counts as 0, no limit); (width, 0) without them.
  UiSize GetNaturalSize(int32_t width);

  // Selection in characters; -1 as |end| means to the end.
  void SetSel(int32_t start, int32_t end);
  void GetSel(int32_t* start, int32_t* end);
  void ReplaceSel(const std::wstring& text);

  uint32_t GetStyle() const { return style_; }
  bool IsReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);
  bool IsPassword() const { return password_; }
  void SetPassword(bool password);
  bool IsNumberOnly() const { return number_only_; }
  void SetNumberOnly(bool number_only);
  bool IsMultiLine() const;
  void SetMultiLine(bool multi_line);
  bool IsRich() const;
  void SetRich(bool rich);
  bool IsWantTab() const { return want_tab_; }
  void SetWantTab(bool want) { want_tab_ = want; }
  bool IsWantReturnMsg() const { return want_return_msg_; }
  void SetWantReturnMsg(bool want) { want_return_msg_ = want; }
  bool IsReturnMsgWantCtrl() const { return return_msg_want_ctrl_; }
  void SetReturnMsgWantCtrl(bool want) { return_msg_want_ctrl_ = want; }
  int32_t GetVerticalAlign() const { return vertical_align_; }
  const std::wstring& GetFont() const { return font_id_; }
  void SetFont(const std::wstring& font_id);
  const std::wstring& GetTextColor() const { return text_color_name_; }
  const std::wstring& GetPromptText() const;
  void SetPromptText(const std::wstring& text);
  void SetPromptColor(const std::wstring& color_name);

  // Caret, as the services placed it and moved with the text when it
  // scrolls (in the coordinates of the bounds).
  UiPoint GetCaretPos() const;
  UiSize GetCaretSize() const { return {caret_width_, caret_height_}; }
  bool IsCaretVisible() const { return caret_visible_; }
  bool IsComposing() const { return composing_; }
  // Whether the prompt was drawn by the last paint.
  bool WasPromptPainted() const { return prompt_painted_; }

  // The rectangle the services lay the text out in (in the coordinates of
  // the bounds).
  UiRect GetTextRect() const;

 private:
  friend class CTxtWinHost;

  Window* HostWindow() const;
  HWND Hwnd() const;
  void ApplyStyleBit(uint32_t bit, const std::wstring& value, bool* mirror = nullptr);
  void ApplyAlignment(const std::wstring& value);
  void ApplyScrollBar(ScrollAxis axis, const std::wstring& value);
  // The bounds less the padding and the room of the bars with a range.
  UiRect TextRectFor(const UiRect& bounds) const;
  // Hands the text rectangle to the services, again while a bar's room
  // changes under it, then places the bars and children beside it.
  void PlaceText();
  // A bar gained or lost its range, so the text's room changes.
  void OnBarRoomChanged();
  // The services' part of the window needs painting again (text
  // coordinates; the whole text rectangle for null).
  void InvalidateText(const RECT* rect);
  void ShowCaret(bool show);
  void OnCaretBlink();
  void InvalidateCaret();
  // The services placed the caret (client coordinates).
  void MoveCaret(UiPoint position, bool show);
  void SetHostTimer(UINT id, UINT timeout);
  void KillHostTimer(UINT id);
  // Number-only Ctrl+V: pastes the clipboard's digits and then puts the
  // clipboard back as it was.
  void PasteDigitsOnly(WPARAM wparam, LPARAM lparam);
  bool IsLinkAt(UiPoint point);
  void OnKeyDown(EventArgs* args);
  void OnChar(EventArgs* args);
  void OnImeStart();
  void SetFocusState(bool focused);
  void PaintTextServices(IRenderContext* context);
  void PaintPrompt(IRenderContext* context);

  std::unique_ptr<CTxtWinHost> host_;
  uint32_t style_ = 0;
  bool read_only_ = false;
  bool password_ = false;
  bool number_only_ = false;
  bool want_tab_ = false;
  bool want_return_msg_ = false;
  bool return_msg_want_ctrl_ = false;
  bool prompt_mode_ = false;
  bool rich_ = true;
  bool inited_ = false;
  int32_t vertical_align_ = 0;
  std::wstring text_color_name_;
  std::wstring disabled_text_color_name_;
  std::wstring caret_color_name_;
  std::wstring prompt_color_name_;
  std::wstring prompt_text_;
  std::wstring prompt_text_id_;
  mutable std::wstring prompt_cache_;
  ImageSpec focused_image_;
  std::wstring font_id_;
  std::wstring text_;
  // Where the services put the caret, in the text's unscrolled
  // coordinates: it moves with the text however the text scrolls.
  UiPoint caret_text_pos_;
  int32_t caret_width_ = 1;
  int32_t caret_height_ = 0;
  bool caret_visible_ = false;
  kbase::WeakCallbackFlag caret_flag_;
  bool composing_ = false;
  bool prompt_painted_ = false;
  // A Return whose key down raised the return event: its character is not
  // typed.
  bool swallow_return_char_ = false;
  // The rectangle last handed to the services, and whether it is being
  // handed over (a bar's room changing meanwhile asks for another round).
  UiRect text_rect_;
  bool placing_text_ = false;
  bool place_text_again_ = false;
  // The timers the services asked for, by their id.
  std::map<UINT, std::unique_ptr<kbase::WeakCallbackFlag>> timers_;
};

}  // namespace ui
