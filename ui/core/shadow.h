#pragma once

#include <string>

#include "ui/control/box.h"
#include "ui/render/geometry.h"

namespace ui {

// The root of a skinned window with a drawn shadow: its padding is the
// shadow's thickness, its background image the nine-slice shadow, and the
// skin's own root is its only child. Like every control, on its window's
// thread.
class ShadowBox : public Box {
 public:
  ShadowBox();

  // Draws the shadow only when |paint_rect| reaches into the padding: a
  // repaint inside the content area leaves the shadow alone.
  void PaintContent(IRenderContext* context, const UiRect& paint_rect) override;
};

// The shadow record of a window: whether skinned content gets a shadow, its
// image and thickness, and the box that draws it.
//
// Thread rules: part of its window, on the window's thread only. The record
// has no native window to check against; the window's operations that
// reach it (AttachShadow, ShadowMaximized) check in debug builds.
class WindowShadow {
 public:
  static constexpr wchar_t kDefaultImage[] =
      L"file='../public/bk/bk_shadow.png' corner='30,30,30,30'";
  static constexpr int32_t kDefaultThickness = 14;
  // Corner ellipse of the content's border while the default image frames it.
  static constexpr UiSize kDefaultContentRound = {3, 3};

  WindowShadow();

  // Wraps |root| in a new ShadowBox and returns the box, which the caller
  // owns from then on; returns |root| unchanged when no shadow is attached.
  Control* Attach(Control* root);

  // A maximised window has no shadow; restoring brings it back.
  void SetMaximized(bool maximized);
  // Applies the configured thickness again (after a DPI change).
  void ResetCorner();

  // The thickness other parts add to sizes and hit tests: 0 on every side
  // unless a shadow is attached.
  UiPadding Corner() const;

  bool IsAttached() const { return attached_; }
  void SetAttached(bool attached) { attached_ = attached; }
  bool HasDefaultImage() const { return default_image_; }
  const std::wstring& Image() const { return image_; }
  // A skin's own image; the default one's content rounding no longer applies.
  void SetImage(const std::wstring& image);
  // Sets the current, configured and restore thickness.
  void SetConfiguredCorner(const UiPadding& corner);
  ShadowBox* box() const { return box_; }
  // The box is being deleted with the root it was.
  void ForgetBox() { box_ = nullptr; }

 private:
  void ApplyCorner(const UiPadding& corner, UiSize content_round);

  bool attached_ = true;
  bool default_image_ = true;
  std::wstring image_ = kDefaultImage;
  UiPadding corner_;
  UiPadding configured_corner_;
  UiPadding restore_corner_;
  // Owned by the window as its root.
  ShadowBox* box_ = nullptr;
};

}  // namespace ui
