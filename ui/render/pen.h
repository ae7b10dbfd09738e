#pragma once

#include <memory>

#include "base/callback/weak_callback.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/geometry.h"

namespace ui {

// The values are GDI+'s own.
enum class PenCap : int {
  kFlat = 0,
  kSquare = 1,
  kRound = 2,
  kTriangle = 3,
  kNoAnchor = 16,
  kSquareAnchor = 17,
  kRoundAnchor = 18,
  kDiamondAnchor = 19,
  kArrowAnchor = 20,
  kCustom = 255,
};
enum class PenDashCap : int { kFlat = 0, kRound = 2, kTriangle = 3 };
enum class PenLineJoin : int { kMiter = 0, kBevel = 1, kRound = 2, kMiterClipped = 3 };
enum class PenDashStyle : int {
  kSolid = 0,
  kDash = 1,
  kDot = 2,
  kDashDot = 3,
  kDashDotDot = 4,
  kCustom = 5,
};

// The virtual operations keep this order.
class IPen : public kbase::SupportWeakCallback {
 public:
  virtual std::unique_ptr<IPen> Clone() const = 0;
  virtual void SetWidth(float width) = 0;
  virtual float GetWidth() const = 0;
  virtual void SetColor(UiColor color) = 0;
  virtual UiColor GetColor() const = 0;
  virtual void SetStartCap(PenCap cap) = 0;
  virtual void SetEndCap(PenCap cap) = 0;
  virtual void SetDashCap(PenDashCap cap) = 0;
  virtual PenCap GetStartCap() const = 0;
  virtual PenCap GetEndCap() const = 0;
  virtual PenDashCap GetDashCap() const = 0;
  virtual void SetLineJoin(PenLineJoin join) = 0;
  virtual PenLineJoin GetLineJoin() const = 0;
  virtual void SetDashStyle(PenDashStyle style) = 0;
  virtual PenDashStyle GetDashStyle() const = 0;
};

// IPen over one GDI+ pen (width in world units).
class Pen_GdiPlus : public IPen {
 public:
  Pen_GdiPlus(UiColor color, float width);
  ~Pen_GdiPlus() override;

  std::unique_ptr<IPen> Clone() const override;
  void SetWidth(float width) override;
  float GetWidth() const override;
  void SetColor(UiColor color) override;
  UiColor GetColor() const override { return color_; }
  void SetStartCap(PenCap cap) override;
  void SetEndCap(PenCap cap) override;
  void SetDashCap(PenDashCap cap) override;
  PenCap GetStartCap() const override;
  PenCap GetEndCap() const override;
  PenDashCap GetDashCap() const override;
  void SetLineJoin(PenLineJoin join) override;
  PenLineJoin GetLineJoin() const override;
  void SetDashStyle(PenDashStyle style) override;
  PenDashStyle GetDashStyle() const override;

  gdip::GpPen* native() const { return pen_; }
  // The status of the last GDI+ call that failed (Ok when none did).
  gdip::Status last_status() const { return last_status_; }

 private:
  Pen_GdiPlus(UiColor color, gdip::GpPen* pen);
  void Track(gdip::Status status) const;

  UiColor color_ = 0;
  gdip::GpPen* pen_ = nullptr;
  mutable gdip::Status last_status_ = gdip::Ok;
};

}  // namespace ui
