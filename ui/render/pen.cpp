#include "ui/render/pen.h"

namespace ui {

static_assert(static_cast<int>(PenCap::kArrowAnchor) == gdip::LineCapArrowAnchor);
static_assert(static_cast<int>(PenCap::kCustom) == gdip::LineCapCustom);
static_assert(static_cast<int>(PenDashCap::kTriangle) == gdip::DashCapTriangle);
static_assert(static_cast<int>(PenLineJoin::kMiterClipped) == gdip::LineJoinMiterClipped);
static_assert(static_cast<int>(PenDashStyle::kCustom) == gdip::DashStyleCustom);

Pen_GdiPlus::Pen_GdiPlus(UiColor color, float width) : color_(color) {
  Track(gdip::GdipCreatePen1(color, width, gdip::UnitWorld, &pen_));
}

Pen_GdiPlus::Pen_GdiPlus(UiColor color, gdip::GpPen* pen) : color_(color), pen_(pen) {}

Pen_GdiPlus::~Pen_GdiPlus() {
  if (pen_)
    gdip::GdipDeletePen(pen_);
}

std::unique_ptr<IPen> Pen_GdiPlus::Clone() const {
  gdip::GpPen* copy = nullptr;
  if (pen_)
    Track(gdip::GdipClonePen(pen_, &copy));
  return std::unique_ptr<IPen>(new Pen_GdiPlus(color_, copy));
}

void Pen_GdiPlus::SetWidth(float width) {
  Track(gdip::GdipSetPenWidth(pen_, width));
}

float Pen_GdiPlus::GetWidth() const {
  float width = 0;
  Track(gdip::GdipGetPenWidth(pen_, &width));
  return width;
}

void Pen_GdiPlus::SetColor(UiColor color) {
  color_ = color;
  Track(gdip::GdipSetPenColor(pen_, color));
}

void Pen_GdiPlus::SetStartCap(PenCap cap) {
  Track(gdip::GdipSetPenStartCap(pen_, static_cast<gdip::LineCap>(cap)));
}

void Pen_GdiPlus::SetEndCap(PenCap cap) {
  Track(gdip::GdipSetPenEndCap(pen_, static_cast<gdip::LineCap>(cap)));
}

void Pen_GdiPlus::SetDashCap(PenDashCap cap) {
  Track(gdip::GdipSetPenDashCap197819(pen_, static_cast<gdip::DashCap>(cap)));
}

PenCap Pen_GdiPlus::GetStartCap() const {
  gdip::LineCap cap = gdip::LineCapFlat;
  Track(gdip::GdipGetPenStartCap(pen_, &cap));
  return static_cast<PenCap>(cap);
}

PenCap Pen_GdiPlus::GetEndCap() const {
  gdip::LineCap cap = gdip::LineCapFlat;
  Track(gdip::GdipGetPenEndCap(pen_, &cap));
  return static_cast<PenCap>(cap);
}

PenDashCap Pen_GdiPlus::GetDashCap() const {
  gdip::DashCap cap = gdip::DashCapFlat;
  Track(gdip::GdipGetPenDashCap197819(pen_, &cap));
  return static_cast<PenDashCap>(cap);
}

void Pen_GdiPlus::SetLineJoin(PenLineJoin join) {
  Track(gdip::GdipSetPenLineJoin(pen_, static_cast<gdip::LineJoin>(join)));
}

PenLineJoin Pen_GdiPlus::GetLineJoin() const {
  gdip::LineJoin join = gdip::LineJoinMiter;
  Track(gdip::GdipGetPenLineJoin(pen_, &join));
  return static_cast<PenLineJoin>(join);
}

void Pen_GdiPlus::SetDashStyle(PenDashStyle style) {
  Track(gdip::GdipSetPenDashStyle(pen_, static_cast<gdip::DashStyle>(style)));
}

PenDashStyle Pen_GdiPlus::GetDashStyle() const {
  gdip::DashStyle style = gdip::DashStyleSolid;
  Track(gdip::GdipGetPenDashStyle(pen_, &style));
  return static_cast<PenDashStyle>(style);
}

void Pen_GdiPlus::Track(gdip::Status status) const {
  if (status != gdip::Ok)
    last_status_ = status;
}

}  // namespace ui
