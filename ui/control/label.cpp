#include "ui/control/label.h"

#include <algorithm>
#include <memory>

#include "base/util/string_util.h"
#include "ui/control/attribute_value.h"
#include "ui/control/control_host.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

struct TextColorAttribute {
  const wchar_t* name;
  ControlState state;
};

constexpr TextColorAttribute kTextColorAttributes[] = {
    {L"normaltextcolor", ControlState::kNormal},
    {L"hottextcolor", ControlState::kHot},
    {L"pushedtextcolor", ControlState::kPushed},
    {L"disabledtextcolor", ControlState::kDisabled},
};

// The words of "align", in the order they are applied, with the style bits
// each clears and sets.
struct AlignWord {
  const wchar_t* word;
  uint32_t clear;
  uint32_t set;
};

constexpr AlignWord kAlignWords[] = {
    {L"left", 0x27, 0},  {L"center", 0x2, 0x1},   {L"right", 0x25, 0x2},
    {L"top", 0xC, 0x20}, {L"vcenter", 0x8, 0x25}, {L"bottom", 0x4, 0x28},
};

UiColor ResolveColor(const std::wstring& name) {
  return name.empty() ? 0 : GlobalResources::ColorByName(name);
}

}  // namespace

template <typename Base>
LabelTemplate<Base>::LabelTemplate() {
  text_colors_[ControlState::kNormal] = GlobalResources::DefaultTextColorName();
  text_colors_[ControlState::kDisabled] = GlobalResources::DisabledTextColorName();
  // A plain label sizes itself to its text; a label box holds children.
  if constexpr (std::is_same_v<Base, Control>) {
    this->fixed_width_ = kAuto;
    this->fixed_height_ = kAuto;
  }
}

template <typename Base>
std::wstring LabelTemplate<Base>::GetText() const {
  if (!text_.empty())
    return text_;
  return LanguageStrings::Instance()->StringById(text_id_);
}

template <typename Base>
std::string LabelTemplate<Base>::GetTextUtf8() const {
  return kbase::Utf16ToUtf8(GetText());
}

template <typename Base>
void LabelTemplate<Base>::SetText(const std::wstring& text) {
  if (text == text_)
    return;
  text_ = text;
  OnTextAreaChanged();
}

template <typename Base>
void LabelTemplate<Base>::SetTextUtf8(const std::string& text) {
  SetText(kbase::Utf8ToUtf16(text));
}

template <typename Base>
void LabelTemplate<Base>::SetTextId(const std::wstring& id) {
  if (id == text_id_)
    return;
  text_id_ = id;
  OnTextAreaChanged();
}

template <typename Base>
void LabelTemplate<Base>::SetTextIdUtf8(const std::string& id) {
  SetTextId(kbase::Utf8ToUtf16(id));
}

template <typename Base>
void LabelTemplate<Base>::OnTextAreaChanged() {
  if (this->IsAutoSized())
    this->RequestAncestorLayout();
  else
    this->Invalidate();
}

template <typename Base>
void LabelTemplate<Base>::SetTextStyle(uint32_t style) {
  text_style_ = style;
  OnTextFormatChanged();
}

template <typename Base>
void LabelTemplate<Base>::SetFont(const std::wstring& font_id) {
  font_id_ = font_id;
  OnTextFormatChanged();
}

template <typename Base>
void LabelTemplate<Base>::OnTextFormatChanged() {
  // No layout is asked for, but a text that is measured again next time
  // its box arranges it must be, so the box may not skip it.
  this->MarkLayoutChanged();
  this->Invalidate();
}

template <typename Base>
void LabelTemplate<Base>::SetTextPadding(const UiPadding& padding) {
  text_padding_ = padding;
  OnTextAreaChanged();
}

template <typename Base>
void LabelTemplate<Base>::SetSingleLine(bool single_line) {
  if (single_line == single_line_)
    return;
  single_line_ = single_line;
  OnTextFormatChanged();
}

template <typename Base>
void LabelTemplate<Base>::SetLineLimit(bool line_limit) {
  if (line_limit == line_limit_)
    return;
  line_limit_ = line_limit;
  this->Invalidate();
}

template <typename Base>
std::wstring LabelTemplate<Base>::GetStateTextColor(ControlState state) const {
  auto found = text_colors_.find(state);
  return found == text_colors_.end() ? std::wstring() : found->second;
}

template <typename Base>
void LabelTemplate<Base>::SetStateTextColor(ControlState state, const std::wstring& color_name) {
  if (state == ControlState::kHot)
    this->animations_.SwitchHot(true);
  text_colors_[state] = color_name;
  this->Invalidate();
}

template <typename Base>
std::wstring LabelTemplate<Base>::ChosenTextColor(ControlState* chosen) const {
  ControlState state = this->state_;
  if (state == ControlState::kPushed && GetStateTextColor(state).empty())
    state = ControlState::kHot;
  if (state == ControlState::kHot && GetStateTextColor(state).empty())
    state = ControlState::kNormal;
  if (state == ControlState::kDisabled && GetStateTextColor(state).empty())
    state = ControlState::kNormal;
  *chosen = state;
  return GetStateTextColor(state);
}

template <typename Base>
bool LabelTemplate<Base>::HasHotState() {
  return !GetStateTextColor(ControlState::kHot).empty() || Base::HasHotState();
}

template <typename Base>
void LabelTemplate<Base>::ApplyAlign(const std::wstring& value) {
  // Substring search on purpose: "vcenter" also contains "center".
  for (const AlignWord& entry : kAlignWords) {
    if (value.find(entry.word) != std::wstring::npos)
      text_style_ = (text_style_ & ~entry.clear) | entry.set;
  }
  this->Invalidate();
}

template <typename Base>
void LabelTemplate<Base>::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using attribute_value::ReadBool;
  if (name == L"align") {
    ApplyAlign(value);
  } else if (name == L"endellipsis") {
    SetTextStyle(ReadBool(value) ? (text_style_ | DT_END_ELLIPSIS)
                                 : (text_style_ & ~static_cast<uint32_t>(DT_END_ELLIPSIS)));
  } else if (name == L"linelimit") {
    SetLineLimit(ReadBool(value));
  } else if (name == L"singleline") {
    SetSingleLine(ReadBool(value));
  } else if (name == L"text") {
    SetText(value);
  } else if (name == L"textid") {
    SetTextId(value);
  } else if (name == L"font") {
    SetFont(value);
  } else if (name == L"textpadding") {
    SetTextPadding(attribute_value::ReadPadding(value));
  } else {
    for (const TextColorAttribute& entry : kTextColorAttributes) {
      if (name == entry.name) {
        SetStateTextColor(entry.state, value);
        return;
      }
    }
    Base::ApplyAttribute(name, value);
  }
}

template <typename Base>
UiSize LabelTemplate<Base>::MeasureText(UiSize available, bool* needs_measure) {
  if (single_line_)
    text_style_ |= DT_SINGLELINE;
  else
    text_style_ &= ~static_cast<uint32_t>(DT_SINGLELINE);
  const std::wstring text = GetText();
  if (text.empty())
    return {};

  IRenderContext* context = this->window_ ? this->window_->GetRenderContext() : nullptr;
  std::unique_ptr<IRenderContext> scratch;
  if (!context) {
    scratch = GlobalResources::CreateRenderContext();
    context = scratch.get();
  }
  if (!context)
    return {};

  const int32_t fixed_width = this->fixed_width_;
  const int32_t fixed_height = this->fixed_height_;
  const UiRect measured =
      context->MeasureText(text, font_id_, text_style_, std::max(fixed_width, 0));
  int32_t text_width = measured.Width();
  int32_t text_height = measured.Height();
  const int32_t horizontal = text_padding_.left + text_padding_.right;

  UiSize size;
  if (fixed_width == kAuto)
    size.cx = horizontal + text_width;
  if (fixed_height == kAuto) {
    if (!single_line_ && fixed_width == kAuto && this->max_width_ == -1) {
      // The width the parent offers changes from pass to pass.
      *needs_measure = true;
      const int32_t limit = available.cx - horizontal;
      if (limit < text_width) {
        text_height = context->MeasureText(text, font_id_, text_style_, limit).Height();
        text_width = limit;
      }
      size.cx = horizontal + text_width;
    }
    size.cy = text_padding_.top + text_padding_.bottom + text_height;
  }
  return size;
}

template <typename Base>
void LabelTemplate<Base>::PaintText(IRenderContext* context) {
  const std::wstring text = GetText();
  if (text.empty())
    return;
  const UiRect rect = this->bounds_.Deflate(text_padding_);
  ControlState chosen = ControlState::kNormal;
  const std::wstring color_name = ChosenTextColor(&chosen);
  if (single_line_)
    text_style_ |= DT_SINGLELINE;
  else
    text_style_ &= ~static_cast<uint32_t>(DT_SINGLELINE);

  auto draw = [&](const std::wstring& name, int32_t alpha) {
    const UiColor color = ResolveColor(name);
    if (color != 0) {
      context->DrawText(rect, text, color, font_id_, text_style_, static_cast<uint8_t>(alpha),
                        line_limit_);
    }
  };
  const std::wstring hot_color = GetStateTextColor(ControlState::kHot);
  if (this->animations_.GetPlayer(AnimationType::kHot) &&
      (chosen == ControlState::kNormal || chosen == ControlState::kHot) && !hot_color.empty()) {
    draw(GetStateTextColor(ControlState::kNormal), 255);
    if (this->hot_alpha_ > 0)
      draw(hot_color, std::min(this->hot_alpha_, 255));
    return;
  }
  draw(color_name, 255);
}

template class LabelTemplate<Control>;
template class LabelTemplate<Box>;

}  // namespace ui
