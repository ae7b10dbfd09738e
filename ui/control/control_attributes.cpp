#include <vector>

#include "ui/control/attribute_value.h"
#include "ui/control/control.h"
#include "ui/control/control_host.h"
#include "ui/core/global_resources.h"

namespace ui {

namespace {

using attribute_value::ReadBool;
using attribute_value::ReadInt;
using attribute_value::ReadLength;

// Classes may name classes; a class that names itself must not recurse
// without end.
constexpr int kMaxClassDepth = 8;
int g_class_depth = 0;

struct NamedState {
  const wchar_t* name;
  ControlState state;
};

constexpr NamedState kStateColorAttributes[] = {
    {L"normalcolor", ControlState::kNormal},
    {L"hotcolor", ControlState::kHot},
    {L"pushedcolor", ControlState::kPushed},
    {L"disabledcolor", ControlState::kDisabled},
};

constexpr NamedState kStateImageAttributes[] = {
    {L"normalimage", ControlState::kNormal},
    {L"hotimage", ControlState::kHot},
    {L"pushedimage", ControlState::kPushed},
    {L"disabledimage", ControlState::kDisabled},
};

constexpr NamedState kForeStateImageAttributes[] = {
    {L"forenormalimage", ControlState::kNormal},
    {L"forehotimage", ControlState::kHot},
    {L"forepushedimage", ControlState::kPushed},
    {L"foredisabledimage", ControlState::kDisabled},
};

template <size_t N>
bool FindState(const NamedState (&table)[N], const std::wstring& name, ControlState* state) {
  for (const NamedState& entry : table) {
    if (name == entry.name) {
      *state = entry.state;
      return true;
    }
  }
  return false;
}

std::vector<std::wstring> SplitAtSpaces(const std::wstring& text) {
  std::vector<std::wstring> pieces;
  size_t position = 0;
  while (position <= text.size()) {
    size_t end = text.find(L' ', position);
    if (end == std::wstring::npos)
      end = text.size();
    if (end > position)
      pieces.push_back(text.substr(position, end - position));
    position = end + 1;
  }
  return pieces;
}

}  // namespace

void Control::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (ApplyLayoutAttribute(name, value) || ApplyLookAttribute(name, value) ||
      ApplyBehaviourAttribute(name, value) || ApplyImageAttribute(name, value)) {
    return;
  }
  ApplyAnimationAttribute(name, value);
}

bool Control::ApplyLayoutAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"halign") {
    if (value == L"left")
      SetHorAlign(HorAlign::kLeft);
    else if (value == L"center")
      SetHorAlign(HorAlign::kCenter);
    else if (value == L"right")
      SetHorAlign(HorAlign::kRight);
  } else if (name == L"valign") {
    if (value == L"top")
      SetVerAlign(VerAlign::kTop);
    else if (value == L"center")
      SetVerAlign(VerAlign::kCenter);
    else if (value == L"bottom")
      SetVerAlign(VerAlign::kBottom);
  } else if (name == L"margin") {
    SetMargin(attribute_value::ReadPadding(value));
  } else if (name == L"width") {
    SetFixedWidth(ReadLength(value), true);
  } else if (name == L"height") {
    SetFixedHeight(ReadLength(value));
  } else if (name == L"maxwidth") {
    SetMaxWidth(ReadLength(value));
  } else if (name == L"maxheight") {
    SetMaxHeight(ReadLength(value));
  } else if (name == L"minwidth") {
    SetMinWidth(ReadInt(value));
  } else if (name == L"minheight") {
    SetMinHeight(ReadInt(value));
  } else if (name == L"float") {
    SetFloat(ReadBool(value));
  } else {
    return false;
  }
  return true;
}

bool Control::ApplyLookAttribute(const std::wstring& name, const std::wstring& value) {
  ControlState state = ControlState::kNormal;
  if (name == L"bkcolor") {
    SetBackgroundColor(attribute_value::SkipLeadingBlanks(value));
  } else if (name == L"bkcolor1") {
    SetBackgroundColor2(attribute_value::SkipLeadingBlanks(value));
  } else if (name == L"bordersize") {
    if (value.find(L',') == std::wstring::npos) {
      SetBorderSize(ReadInt(value));
      SetBorderSizes({});
    } else {
      SetBorderSizes(attribute_value::ReadPadding(value));
    }
  } else if (name == L"borderround") {
    SetBorderRound(attribute_value::ReadSize(value));
  } else if (name == L"bordercolor") {
    SetBorderColor(value);
  } else if (name == L"leftbordersize") {
    SetLeftBorderSize(ReadInt(value));
  } else if (name == L"topbordersize") {
    SetTopBorderSize(ReadInt(value));
  } else if (name == L"rightbordersize") {
    SetRightBorderSize(ReadInt(value));
  } else if (name == L"bottombordersize") {
    SetBottomBorderSize(ReadInt(value));
  } else if (FindState(kStateColorAttributes, name, &state)) {
    SetStateColor(state, value);
  } else if (name == L"state") {
    if (value == L"normal") {
      hot_alpha_ = 0;
      state_ = ControlState::kNormal;
    } else if (value == L"hot") {
      hot_alpha_ = 255;
      state_ = ControlState::kHot;
    } else if (value == L"pushed") {
      state_ = ControlState::kPushed;
    } else if (value == L"disabled") {
      state_ = ControlState::kDisabled;
    } else {
      return true;
    }
    Invalidate();
  } else if (name == L"alpha") {
    SetAlpha(ReadInt(value));
  } else if (name == L"renderoffset") {
    SetRenderOffset(attribute_value::ReadPoint(value));
  } else if (name == L"cursortype") {
    if (value == L"arrow")
      cursor_type_ = CursorType::kArrow;
    else if (value == L"hand")
      cursor_type_ = CursorType::kHand;
    else if (value == L"ibeam")
      cursor_type_ = CursorType::kIbeam;
  } else if (name == L"cache") {
    SetCacheEnabled(ReadBool(value));
  } else {
    return false;
  }
  return true;
}

bool Control::ApplyBehaviourAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"class") {
    ApplyClass(value);
  } else if (name == L"name") {
    SetName(value);
  } else if (name == L"tooltiptext") {
    SetToolTipText(value);
  } else if (name == L"tooltiptextid") {
    SetToolTipTextId(value);
  } else if (name == L"dataid") {
    SetDataId(value);
  } else if (name == L"enabled") {
    SetEnabled(ReadBool(value));
  } else if (name == L"mouse") {
    SetMouseEnabled(ReadBool(value));
  } else if (name == L"keyboard") {
    SetKeyboardEnabled(ReadBool(value));
  } else if (name == L"visible") {
    SetVisible(ReadBool(value));
  } else if (name == L"fadevisible") {
    SetFadeVisible(ReadBool(value));
  } else if (name == L"menu") {
    SetContextMenuEnabled(ReadBool(value));
  } else if (name == L"nofocus") {
    // Whatever the value says.
    no_focus_ = true;
  } else if (name == L"receivepointer") {
    receive_pointer_ = ReadBool(value);
  } else {
    return false;
  }
  return true;
}

bool Control::ApplyImageAttribute(const std::wstring& name, const std::wstring& value) {
  ControlState state = ControlState::kNormal;
  if (name == L"bkimage")
    SetBackgroundImage(value);
  else if (FindState(kStateImageAttributes, name, &state))
    SetStateImage(state, value);
  else if (FindState(kForeStateImageAttributes, name, &state))
    SetForeStateImage(state, value);
  else
    return false;
  return true;
}

bool Control::ApplyAnimationAttribute(const std::wstring& name, const std::wstring& value) {
  const bool on = ReadBool(value);
  if (name == L"fadealpha")
    animations_.SwitchAlpha(on);
  else if (name == L"fadehot")
    animations_.SwitchHot(on);
  else if (name == L"fadewidth")
    animations_.SwitchWidth(on);
  else if (name == L"fadeheight")
    animations_.SwitchHeight(on);
  else if (name == L"fadeinoutxfromleft")
    animations_.SwitchSlideX(on, false);
  else if (name == L"fadeinoutxfromright")
    animations_.SwitchSlideX(on, true);
  else if (name == L"fadeinoutyfromtop")
    animations_.SwitchSlideY(on, false);
  else if (name == L"fadeinoutyfrombottom")
    animations_.SwitchSlideY(on, true);
  else
    return false;
  return true;
}

void Control::ApplyAttributeList(const std::wstring& list) {
  size_t position = 0;
  while (position < list.size()) {
    const size_t equals = list.find(L'=', position);
    if (equals == std::wstring::npos || equals + 1 >= list.size() || list[equals + 1] != L'"')
      return;
    const size_t value_start = equals + 2;
    const size_t close = list.find(L'"', value_start);
    if (close == std::wstring::npos)
      return;
    ApplyAttribute(list.substr(position, equals - position),
                   list.substr(value_start, close - value_start));
    // Exactly one space between pairs, and something after it.
    if (close + 2 >= list.size() || list[close + 1] != L' ')
      return;
    position = close + 2;
  }
}

void Control::ApplyClass(const std::wstring& names) {
  if (g_class_depth >= kMaxClassDepth)
    return;
  ++g_class_depth;
  for (const std::wstring& class_name : SplitAtSpaces(names)) {
    std::wstring attributes = GlobalResources::ClassAttributes(class_name);
    if (attributes.empty() && window_)
      attributes = window_->WindowClassAttributes(class_name);
    if (!attributes.empty())
      ApplyAttributeList(attributes);
  }
  --g_class_depth;
}

}  // namespace ui
