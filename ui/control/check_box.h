#pragma once

#include <string>

#include "ui/control/button.h"
#include "ui/control/state_color_map.h"

namespace ui {

// A button with a selected state: activating it toggles the state, and
// while selected it paints with its selected colours, images and text
// colour. The virtual operation added here follows the label's.
template <typename Base>
class CheckBoxTemplate : public ButtonTemplate<Base> {
 public:
  CheckBoxTemplate();

  // With a window and |notify|, a change raises "select" or "unselect".
  virtual void SetSelected(bool selected, bool notify);

  // Control.
  ImageSpec* GetSizingImage() override;
  void Activate() override;
  bool HasHotState() override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void PaintStateColor(IRenderContext* context) override;
  void PaintStateImage(IRenderContext* context) override;
  void PaintText(IRenderContext* context) override;

  bool IsSelected() const { return selected_; }
  const std::wstring& GetSelectedTextColor() const { return selected_text_color_; }
  void SetSelectedTextColor(const std::wstring& color_name);
  std::wstring GetSelectedStateColor(ControlState state) const;
  void SetSelectedStateColor(ControlState state, const std::wstring& color_name);
  // Selected background set.
  void SetSelectedStateImage(ControlState state, const std::wstring& image);
  // Selected foreground set.
  void SetSelectedForeStateImage(ControlState state, const std::wstring& image);

 protected:
  bool selected_ = false;
  std::wstring selected_text_color_;
  StateColorMap selected_state_colors_;

 private:
  bool ApplySelectedAttribute(const std::wstring& name, const std::wstring& value);
};

using CheckBox = CheckBoxTemplate<Control>;
using CheckBoxBox = CheckBoxTemplate<Box>;

extern template class CheckBoxTemplate<Control>;
extern template class CheckBoxTemplate<Box>;

}  // namespace ui
