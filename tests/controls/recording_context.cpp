#include "tests/controls/recording_context.h"

#include <cstdio>

#include "ui/render/arc_stroke.h"

namespace ui::test {

namespace {

std::string Hex(UiColor color) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08x", color);
  return text;
}

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string ToString(const UiRect& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

std::vector<std::string> RecordingContext::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const std::string& call : calls_) {
    if (call.compare(0, prefix.size(), prefix) == 0)
      matching.push_back(call);
  }
  return matching;
}

bool RecordingContext::Resize(int width, int height, bool) {
  if (width == width_ && height == height_)
    return false;
  width_ = width;
  height_ = height;
  return true;
}

bool RecordingContext::SetTransparentRendering(bool transparent) {
  const bool previous = transparent_;
  transparent_ = transparent;
  Log(std::string("Transparent ") + (transparent ? "on" : "off"));
  return previous;
}

UiPoint RecordingContext::OffsetDrawingOrigin(int dx, int dy) {
  const UiPoint previous = origin_;
  origin_ = {origin_.x + dx, origin_.y + dy};
  Log("Origin " + std::to_string(origin_.x) + "," + std::to_string(origin_.y));
  return previous;
}

UiPoint RecordingContext::SetDrawingOrigin(int x, int y) {
  const UiPoint previous = origin_;
  origin_ = {x, y};
  Log("Origin " + std::to_string(x) + "," + std::to_string(y));
  return previous;
}

void RecordingContext::PushClip(const UiRect& rect) {
  Log("PushClip " + ToString(rect));
}

void RecordingContext::PushRoundClip(const UiRect& rect, int corner_width, int corner_height) {
  Log("PushRoundClip " + ToString(rect) + " " + std::to_string(corner_width) + "," +
      std::to_string(corner_height));
}

void RecordingContext::PopClip() {
  Log("PopClip");
}

bool RecordingContext::BlendFrom(int x,
                                 int y,
                                 int width,
                                 int height,
                                 HDC,
                                 int source_x,
                                 int source_y,
                                 int,
                                 int,
                                 uint8_t alpha) {
  Log("BlendFrom " + ToString({x, y, x + width, y + height}) + " from " + std::to_string(source_x) +
      "," + std::to_string(source_y) + " " + std::to_string(alpha));
  return true;
}

void RecordingContext::DrawImage(const UiRect& paint,
                                 HBITMAP bitmap,
                                 bool,
                                 const UiRect& dest,
                                 const UiRect& source,
                                 const UiRect& corners,
                                 uint8_t fade,
                                 bool tile_x,
                                 bool tile_y) {
  Log("DrawImage " + ToString(dest) + " source " + ToString(source) + " corners " +
      ToString(corners) + " fade " + std::to_string(fade) + (tile_x ? " tx" : "") +
      (tile_y ? " ty" : "") + (bitmap ? "" : " nobitmap") + " paint " + ToString(paint));
}

void RecordingContext::FillColor(const UiRect& rect, const std::wstring& color_name, uint8_t fade) {
  if (color_name.empty())
    return;
  Log("FillColor " + ToString(rect) + " " + Narrow(color_name) + " " + std::to_string(fade));
}

void RecordingContext::FillColor(const UiRect& rect, UiColor color1, UiColor color2, uint8_t fade) {
  Log("FillGradient " + ToString(rect) + " " + Hex(color1) + " " + Hex(color2) + " " +
      std::to_string(fade));
}

void RecordingContext::FillColor(const UiRect& rect, UiColor color, uint8_t fade) {
  Log("FillColor " + ToString(rect) + " " + Hex(color) + " " + std::to_string(fade));
}

void RecordingContext::DrawLine(const UiRect& rect, int width, UiColor color) {
  Log("DrawLine " + ToString(rect) + " " + std::to_string(width) + " " + Hex(color));
}

void RecordingContext::DrawRect(const UiRect& rect, int width, UiColor color) {
  Log("DrawRect " + ToString(rect) + " " + std::to_string(width) + " " + Hex(color));
}

void RecordingContext::DrawRoundRect(const UiRect& rect,
                                     const UiSize& corner,
                                     int width,
                                     UiColor color) {
  Log("DrawRoundRect " + ToString(rect) + " " + std::to_string(corner.cx) + "," +
      std::to_string(corner.cy) + " " + std::to_string(width) + " " + Hex(color));
}

void RecordingContext::DrawArc(const ArcStroke& arc) {
  char text[160] = {};
  std::snprintf(text, sizeof(text), "DrawArc %g,%g %gx%g from %g by %g width %d %08x",
                static_cast<double>(arc.x), static_cast<double>(arc.y),
                static_cast<double>(arc.width), static_cast<double>(arc.height),
                static_cast<double>(arc.start_angle), static_cast<double>(arc.sweep_angle),
                arc.pen_width, arc.color);
  std::string line = text;
  if (arc.gradient_color != 0) {
    std::snprintf(text, sizeof(text), " to %08x over ", arc.gradient_color);
    line += text + ToString(arc.gradient_box);
  }
  Log(line);
}

void RecordingContext::DrawRotatedImage(const GdiplusImage&,
                                        const UiRect& dest,
                                        UiPoint center,
                                        float degrees) {
  char text[96] = {};
  std::snprintf(text, sizeof(text), " about %d,%d by %g", center.x, center.y,
                static_cast<double>(degrees));
  Log("DrawRotatedImage " + ToString(dest) + text);
}

}  // namespace ui::test
