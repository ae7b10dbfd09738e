#pragma once

// The GDI+ flat API, for the render implementation files only.

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types GDI+ declares with.
#include <objidl.h>

#include <gdiplus.h>

namespace ui::gdip {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Owns one GDI+ graphics object made on a device context for one operation.
class ScopedGraphics {
 public:
  ScopedGraphics(HDC dc, bool anti_alias) {
    if (dc && GdipCreateFromHDC(dc, &graphics_) == Ok && anti_alias)
      GdipSetSmoothingMode(graphics_, SmoothingModeAntiAlias);
  }
  ScopedGraphics(const ScopedGraphics&) = delete;
  ScopedGraphics& operator=(const ScopedGraphics&) = delete;
  ~ScopedGraphics() {
    if (graphics_)
      GdipDeleteGraphics(graphics_);
  }

  GpGraphics* get() const { return graphics_; }
  explicit operator bool() const { return graphics_ != nullptr; }

 private:
  GpGraphics* graphics_ = nullptr;
};

// Owns a temporary GDI+ brush, pen, path, font or string format.
template <typename T, Status(WINGDIPAPI* Deleter)(T*)>
class ScopedGdip {
 public:
  ScopedGdip() = default;
  explicit ScopedGdip(T* object) : object_(object) {}
  ScopedGdip(const ScopedGdip&) = delete;
  ScopedGdip& operator=(const ScopedGdip&) = delete;
  ScopedGdip(ScopedGdip&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  ScopedGdip& operator=(ScopedGdip&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.object_;
      other.object_ = nullptr;
    }
    return *this;
  }
  ~ScopedGdip() { Reset(); }

  void Reset() {
    if (object_)
      Deleter(object_);
    object_ = nullptr;
  }

  T* get() const { return object_; }
  T** receive() { return &object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

using ScopedBrush = ScopedGdip<GpBrush, GdipDeleteBrush>;
using ScopedPen = ScopedGdip<GpPen, GdipDeletePen>;
using ScopedPath = ScopedGdip<GpPath, GdipDeletePath>;
using ScopedFont = ScopedGdip<GpFont, GdipDeleteFont>;
using ScopedStringFormat = ScopedGdip<GpStringFormat, GdipDeleteStringFormat>;

}  // namespace ui::gdip
