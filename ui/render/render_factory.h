#pragma once

#include <windows.h>

#include <memory>

// Whoever creates objects destroys them too: the full types come along.
#include "ui/render/bitmap.h"
#include "ui/render/brush.h"
#include "ui/render/geometry.h"
#include "ui/render/matrix.h"
#include "ui/render/path.h"
#include "ui/render/pen.h"
#include "ui/render/render_context.h"

namespace ui {

// Creates every render object; the caller owns what it gets. The creating
// operations keep this order, ahead of the destructor.
class IRenderFactory {
 public:
  virtual std::unique_ptr<IPen> CreatePen(UiColor color, float width) = 0;
  // A tiling texture brush from a copy of the bitmap's pixels.
  virtual std::unique_ptr<IBrush> CreateBrush(HBITMAP bitmap) = 0;
  virtual std::unique_ptr<IBrush> CreateBrush(UiColor color) = 0;
  virtual std::unique_ptr<IMatrix> CreateMatrix() = 0;
  virtual std::unique_ptr<IPath> CreatePath() = 0;
  virtual std::unique_ptr<IBitmap> CreateBitmap() = 0;
  virtual std::unique_ptr<IRenderContext> CreateRenderContext() = 0;
  // Last, so that the slots above keep their places; virtual, so that the
  // owner can destroy the factory through this interface.
  virtual ~IRenderFactory() = default;
};

class RenderFactory_GdiPlus : public IRenderFactory {
 public:
  std::unique_ptr<IPen> CreatePen(UiColor color, float width) override;
  std::unique_ptr<IBrush> CreateBrush(HBITMAP bitmap) override;
  std::unique_ptr<IBrush> CreateBrush(UiColor color) override;
  std::unique_ptr<IMatrix> CreateMatrix() override;
  std::unique_ptr<IPath> CreatePath() override;
  std::unique_ptr<IBitmap> CreateBitmap() override;
  std::unique_ptr<IRenderContext> CreateRenderContext() override;
};

}  // namespace ui
