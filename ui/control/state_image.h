#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "ui/control/control_types.h"
#include "ui/control/image_spec.h"

namespace ui {

class Control;
class IRenderContext;

enum class StateImageType : int32_t {
  kBackground = 0,
  kForeground = 1,
  kSelectedBackground = 2,
  kSelectedForeground = 3,
};

// One image per control state.
class StateImage {
 public:
  explicit StateImage(Control* owner = nullptr) : owner_(owner) {}

  // Created empty on first access.
  ImageSpec& Get(ControlState state) { return images_[state]; }
  // Null when the state has no entry.
  const ImageSpec* Find(ControlState state) const;
  bool HasImage(ControlState state) const;

  // Draws the image of |state| over the owner: pushed falls back to hot
  // (drawn opaque) and hot and disabled to normal; while the owner's hot
  // fade exists, normal and hot are cross-faded by its hot alpha. False
  // when nothing was drawn.
  bool Paint(IRenderContext* context, ControlState state, const std::wstring& modification);

  // Releases the decoded images.
  void ClearCache();

 private:
  bool PaintHotFade(IRenderContext* context, const std::wstring& modification);
  bool Draw(IRenderContext* context,
            ControlState state,
            const std::wstring& modification,
            int32_t fade);

  Control* owner_;
  std::map<ControlState, ImageSpec> images_;
};

// The four state image sets of a control.
class StateImageMap {
 public:
  explicit StateImageMap(Control* owner);

  StateImage& Get(StateImageType type) { return sets_[static_cast<size_t>(type)]; }
  const StateImage& Get(StateImageType type) const { return sets_[static_cast<size_t>(type)]; }

  std::wstring GetImageString(StateImageType type, ControlState state) const;
  // Gives the image of that state a new image string.
  void SetImageString(StateImageType type, ControlState state, const std::wstring& image);
  // Any set has a hot image.
  bool HasHotImage() const;

  bool Paint(IRenderContext* context,
             StateImageType type,
             ControlState state,
             const std::wstring& modification = {});
  void ClearCache();

 private:
  StateImage sets_[4];
};

}  // namespace ui
