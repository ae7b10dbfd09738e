#include "ui/render/clip.h"

#include "ui/render/render_context.h"

namespace ui {
namespace {

// Logical to device coordinates under the context's window origin.
UiRect ToDevice(HDC dc, const UiRect& rect) {
  POINT origin = {};
  GetWindowOrgEx(dc, &origin);
  return rect.Offset(-origin.x, -origin.y);
}

}  // namespace

void GdiClip::CreateClip(HDC dc, const UiRect& rect) {
  if (!dc)
    return;
  const UiRect device = ToDevice(dc, rect);
  // CreateRectRgn would normalise an inverted rectangle into a visible one;
  // an empty rectangle must clip everything away instead.
  HRGN region = device.IsEmpty()
                    ? nullptr
                    : CreateRectRgn(device.left, device.top, device.right, device.bottom);
  PushRegion(dc, region);
}

void GdiClip::CreateRoundClip(HDC dc, const UiRect& rect, int corner_width, int corner_height) {
  if (!dc)
    return;
  const UiRect device = ToDevice(dc, rect);
  HRGN region = device.IsEmpty()
                    ? nullptr
                    : CreateRoundRectRgn(device.left, device.top, device.right + 1,
                                         device.bottom + 1, corner_width, corner_height);
  PushRegion(dc, region);
}

void GdiClip::ClearClip(HDC dc) {
  if (dc)
    RestoreDC(dc, -1);
}

void GdiClip::PushRegion(HDC dc, HRGN region) {
  // The state is saved whatever happens, so that the matching pop restores
  // the right level. Without a region (empty rectangle, or one GDI cannot
  // make) nothing may be drawn until the pop.
  SaveDC(dc);
  if (!region) {
    IntersectClipRect(dc, 0, 0, 0, 0);
    return;
  }
  ExtSelectClipRgn(dc, region, RGN_AND);
  DeleteObject(region);
}

AutoClip::AutoClip(IRenderContext* context, const UiRect& rect, bool enabled)
    : context_(context), pushed_(enabled && context) {
  if (pushed_)
    context_->PushClip(rect);
}

AutoClip::AutoClip(IRenderContext* context,
                   const UiRect& rect,
                   int corner_width,
                   int corner_height,
                   bool enabled)
    : context_(context), pushed_(enabled && context) {
  if (pushed_)
    context_->PushRoundClip(rect, corner_width, corner_height);
}

AutoClip::~AutoClip() {
  if (pushed_)
    context_->PopClip();
}

}  // namespace ui
