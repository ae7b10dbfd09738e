#include "ui/control/check_box.h"

#include "ui/control/attribute_value.h"
#include "ui/core/global_resources.h"
#include "ui/render/render_context.h"

namespace ui {

namespace {

struct StateAttribute {
  const wchar_t* name;
  ControlState state;
};

constexpr StateAttribute kSelectedImages[] = {
    {L"selectednormalimage", ControlState::kNormal},
    {L"selectedhotimage", ControlState::kHot},
    {L"selectedpushedimage", ControlState::kPushed},
    {L"selecteddisabledimage", ControlState::kDisabled},
};

constexpr StateAttribute kSelectedForeImages[] = {
    {L"selectedforenormalimage", ControlState::kNormal},
    {L"selectedforehotimage", ControlState::kHot},
    {L"selectedforepushedimage", ControlState::kPushed},
    {L"selectedforedisabledimage", ControlState::kDisabled},
};

constexpr StateAttribute kSelectedColors[] = {
    {L"selectednormalcolor", ControlState::kNormal},
    {L"selectedhotcolor", ControlState::kHot},
    {L"selectedpushedcolor", ControlState::kPushed},
    {L"selecteddisabledcolor", ControlState::kDisabled},
};

constexpr ControlState kStates[] = {ControlState::kNormal, ControlState::kHot,
                                    ControlState::kPushed, ControlState::kDisabled};

}  // namespace

template <typename Base>
CheckBoxTemplate<Base>::CheckBoxTemplate() : selected_state_colors_(this) {}

template <typename Base>
void CheckBoxTemplate<Base>::SetSelected(bool selected, bool notify) {
  if (selected == selected_)
    return;
  selected_ = selected;
  if (this->window_ && notify) {
    const LivenessWatch watch(this->liveness_);
    this->SendEvent(selected ? kEventSelect : kEventUnSelect);
    if (watch.IsDestroyed())
      return;
  }
  this->Invalidate();
}

template <typename Base>
ImageSpec* CheckBoxTemplate<Base>::GetSizingImage() {
  if (ImageSpec* image = Base::GetSizingImage())
    return image;
  StateImage& set = this->state_images_.Get(StateImageType::kSelectedBackground);
  for (ControlState state : kStates) {
    if (set.HasImage(state))
      return &set.Get(state);
  }
  return nullptr;
}

template <typename Base>
void CheckBoxTemplate<Base>::Activate() {
  // A check box toggles instead of clicking.
  if (this->IsActivatable())
    SetSelected(!selected_, true);
}

template <typename Base>
bool CheckBoxTemplate<Base>::HasHotState() {
  return selected_state_colors_.HasColor(ControlState::kHot) || ButtonTemplate<Base>::HasHotState();
}

template <typename Base>
void CheckBoxTemplate<Base>::SetSelectedTextColor(const std::wstring& color_name) {
  selected_text_color_ = color_name;
  this->Invalidate();
}

template <typename Base>
std::wstring CheckBoxTemplate<Base>::GetSelectedStateColor(ControlState state) const {
  return selected_state_colors_.Get(state);
}

template <typename Base>
void CheckBoxTemplate<Base>::SetSelectedStateColor(ControlState state,
                                                   const std::wstring& color_name) {
  selected_state_colors_.Set(state, color_name);
  this->Invalidate();
}

template <typename Base>
void CheckBoxTemplate<Base>::SetSelectedStateImage(ControlState state, const std::wstring& image) {
  this->state_images_.SetImageString(StateImageType::kSelectedBackground, state, image);
  this->RequestLayoutOrInvalidate();
}

template <typename Base>
void CheckBoxTemplate<Base>::SetSelectedForeStateImage(ControlState state,
                                                       const std::wstring& image) {
  this->state_images_.SetImageString(StateImageType::kSelectedForeground, state, image);
  this->RequestLayoutOrInvalidate();
}

template <typename Base>
bool CheckBoxTemplate<Base>::ApplySelectedAttribute(const std::wstring& name,
                                                    const std::wstring& value) {
  for (const StateAttribute& entry : kSelectedImages) {
    if (name == entry.name) {
      SetSelectedStateImage(entry.state, value);
      return true;
    }
  }
  for (const StateAttribute& entry : kSelectedForeImages) {
    if (name == entry.name) {
      SetSelectedForeStateImage(entry.state, value);
      return true;
    }
  }
  for (const StateAttribute& entry : kSelectedColors) {
    if (name == entry.name) {
      SetSelectedStateColor(entry.state, value);
      return true;
    }
  }
  return false;
}

template <typename Base>
void CheckBoxTemplate<Base>::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selected") {
    SetSelected(attribute_value::ReadBool(value), true);
  } else if (name == L"selectedtextcolor") {
    SetSelectedTextColor(value);
  } else if (!ApplySelectedAttribute(name, value)) {
    ButtonTemplate<Base>::ApplyAttribute(name, value);
  }
}

template <typename Base>
void CheckBoxTemplate<Base>::PaintStateColor(IRenderContext* context) {
  if (!selected_) {
    ButtonTemplate<Base>::PaintStateColor(context);
    return;
  }
  selected_state_colors_.Paint(context, this->paint_rect_, this->state_);
}

template <typename Base>
void CheckBoxTemplate<Base>::PaintStateImage(IRenderContext* context) {
  if (!selected_) {
    ButtonTemplate<Base>::PaintStateImage(context);
    return;
  }
  this->state_images_.Paint(context, StateImageType::kSelectedBackground, this->state_);
  this->state_images_.Paint(context, StateImageType::kSelectedForeground, this->state_);
}

template <typename Base>
void CheckBoxTemplate<Base>::PaintText(IRenderContext* context) {
  if (!selected_) {
    ButtonTemplate<Base>::PaintText(context);
    return;
  }
  const std::wstring text = this->GetText();
  if (text.empty())
    return;
  std::wstring color_name = selected_text_color_.empty()
                                ? this->GetStateTextColor(ControlState::kNormal)
                                : selected_text_color_;
  if (this->state_ == ControlState::kDisabled)
    color_name = this->GetStateTextColor(ControlState::kDisabled);
  const UiColor color = color_name.empty() ? 0 : GlobalResources::ColorByName(color_name);
  if (color == 0)
    return;
  if (this->single_line_)
    this->text_style_ |= DT_SINGLELINE;
  else
    this->text_style_ &= ~static_cast<uint32_t>(DT_SINGLELINE);
  context->DrawText(this->bounds_.Deflate(this->text_padding_), text, color, this->font_id_,
                    this->text_style_, 255, false);
}

template class CheckBoxTemplate<Control>;
template class CheckBoxTemplate<Box>;

}  // namespace ui
