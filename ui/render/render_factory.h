#pragma once

#include <windows.h>

#include <memory>

#include "ui/render/geometry.h"

namespace ui {

class IBitmap;
class IBrush;
class IMatrix;
class IPath;
class IPen;
class IRenderContext;

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
