#pragma once

#include <windows.h>

#include "base/callback/weak_callback.h"
#include "ui/render/geometry.h"

namespace ui {

class IRenderContext;

// Nested clipping on a device context: every push saves the context's
// state and narrows its clip; every clear restores the state of the
// matching push. Rectangles are in logical (drawing-origin) coordinates.
class IClip : public kbase::SupportWeakCallback {
 public:
  virtual void CreateClip(HDC dc, const UiRect& rect) = 0;
  virtual void CreateRoundClip(HDC dc, const UiRect& rect, int corner_width, int corner_height) = 0;
  virtual void ClearClip(HDC dc) = 0;
};

class GdiClip : public IClip {
 public:
  void CreateClip(HDC dc, const UiRect& rect) override;
  void CreateRoundClip(HDC dc, const UiRect& rect, int corner_width, int corner_height) override;
  void ClearClip(HDC dc) override;

 private:
  // Saves the state and intersects the clip with `region` (device
  // coordinates), which it then deletes; a null region clips everything.
  static void PushRegion(HDC dc, HRGN region);
};

// Scoped clip: pushes on construction when `enabled`, pops when it pushed.
class AutoClip : public kbase::SupportWeakCallback {
 public:
  AutoClip(IRenderContext* context, const UiRect& rect, bool enabled = true);
  AutoClip(IRenderContext* context,
           const UiRect& rect,
           int corner_width,
           int corner_height,
           bool enabled = true);
  AutoClip(const AutoClip&) = delete;
  AutoClip& operator=(const AutoClip&) = delete;
  ~AutoClip() override;

 private:
  IRenderContext* context_ = nullptr;
  bool pushed_ = false;
};

}  // namespace ui
