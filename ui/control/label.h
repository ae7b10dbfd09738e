#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui {

// Draws a text. Instantiated over Control (auto-sized to its text) and over
// Box (a box with a text, stretched by default). The virtual operations
// added here keep this order.
template <typename Base>
class LabelTemplate : public Base {
 public:
  // Single line, no clipping, end ellipsis, left and top.
  static constexpr uint32_t kLabelTextStyle = DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS;

  LabelTemplate();

  // The text, or the language string of the text id when the text is empty.
  virtual std::wstring GetText() const;
  virtual std::string GetTextUtf8() const;
  virtual void SetText(const std::wstring& text);
  virtual void SetTextUtf8(const std::string& text);
  virtual void SetTextId(const std::wstring& id);
  virtual void SetTextIdUtf8(const std::string& id);

  // Control.
  UiSize MeasureText(UiSize available, bool* needs_measure) override;
  bool HasHotState() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintText(IRenderContext* context) override;

  uint32_t GetTextStyle() const { return text_style_; }
  void SetTextStyle(uint32_t style);
  const std::wstring& GetFont() const { return font_id_; }
  void SetFont(const std::wstring& font_id);
  UiPadding GetTextPadding() const { return text_padding_; }
  void SetTextPadding(const UiPadding& padding);
  bool IsSingleLine() const { return single_line_; }
  void SetSingleLine(bool single_line);
  bool IsLineLimit() const { return line_limit_; }
  void SetLineLimit(bool line_limit);
  // Empty when the state has no text colour of its own.
  std::wstring GetStateTextColor(ControlState state) const;
  void SetStateTextColor(ControlState state, const std::wstring& color_name);

 protected:
  // The state's text colour with the fallbacks to hot and normal.
  std::wstring ChosenTextColor(ControlState* chosen) const;
  void ApplyAlign(const std::wstring& value);
  // What changed decides between a new layout and a repaint.
  void OnTextAreaChanged();
  // Font, style or line mode changed: a repaint, and what the text
  // measures is stale.
  void OnTextFormatChanged();

  std::wstring font_id_;
  uint32_t text_style_ = kLabelTextStyle;
  bool single_line_ = true;
  bool line_limit_ = false;
  UiPadding text_padding_;
  std::wstring text_;
  std::wstring text_id_;
  std::map<ControlState, std::wstring> text_colors_;
};

using Label = LabelTemplate<Control>;
using LabelBox = LabelTemplate<Box>;

extern template class LabelTemplate<Control>;
extern template class LabelTemplate<Box>;

}  // namespace ui
