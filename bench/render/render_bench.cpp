// Prints what a full-window repaint costs against the floor of one
// full-frame AlphaBlend of the same size, measured in the same run.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ui/render/gdiplus_session.h"
#include "ui/render/render_factory.h"
#include "ui/render/render_resources.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRounds = 15;
constexpr wchar_t kFontId[] = L"bench";

double NowMicroseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / frequency;
}

// Median time of one call, in microseconds, over `rounds` timed batches of
// `batch` calls (after one warm-up call).
double Measure(const std::function<void()>& work, int batch = 1, int rounds = kRounds) {
  work();
  std::vector<double> samples;
  for (int r = 0; r < rounds; ++r) {
    const double start = NowMicroseconds();
    for (int i = 0; i < batch; ++i)
      work();
    samples.push_back((NowMicroseconds() - start) / batch);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// A skin background: opaque body with a soft, semi-transparent rim.
HBITMAP MakeSkinImage(int size, int rim) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int edge = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
      const uint32_t alpha = edge >= rim ? 255u : static_cast<uint32_t>(255 * edge / rim);
      const uint32_t grey = alpha * 0xE0 / 255;  // premultiplied
      pixels[y * size + x] = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
    }
  }
  return bitmap;
}

struct Control {
  ui::UiRect bounds;
  ui::UiColor fill;
  bool rounded;
  int texts;
};

std::vector<Control> MakeSkinControls() {
  // 40 controls on a grid, 100 text runs among them.
  std::vector<Control> controls;
  for (int i = 0; i < 40; ++i) {
    const int col = i % 8, row = i / 8;
    const ui::UiRect bounds{40 + col * 230, 120 + row * 180, 40 + col * 230 + 210,
                            120 + row * 180 + 160};
    controls.push_back(
        {bounds, (i % 3 == 0) ? 0xFFF0F0F0u : 0xC0306090u, i % 2 == 0, (i % 2 == 0) ? 3 : 2});
  }
  return controls;
}

// Labels and button captions of a launcher-like skin.
const wchar_t* const kLabels[] = {
    L"Start game", L"Settings", L"Log in",        L"Remember me",   L"Server 12: Dragonfly",
    L"Cancel",     L"OK",       L"Announcements", L"Version 1.0.3", L"Recent servers",
};

// `long_text`, when given, replaces every label.
void PaintControl(ui::IRenderContext& context,
                  const Control& control,
                  int first_label,
                  const wchar_t* long_text) {
  context.PushClip(control.bounds);
  context.FillColor(control.bounds, control.fill, 255);
  if (control.rounded)
    context.DrawRoundRect(control.bounds, {8, 8}, 1, 0xFF406080);
  else
    context.DrawRect(control.bounds, 1, 0xFF808080);
  for (int t = 0; t < control.texts; ++t) {
    const ui::UiRect line{control.bounds.left + 8, control.bounds.top + 10 + t * 40,
                          control.bounds.right - 8, control.bounds.top + 40 + t * 40};
    context.PushClip(line);
    const wchar_t* label = long_text ? long_text : kLabels[(first_label + t) % std::size(kLabels)];
    context.DrawText(line, label, 0xFF202020, kFontId, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                     255, false);
    context.PopClip();
  }
  context.PopClip();
}

}  // namespace

int main() {
  ui::GdiplusSession gdiplus;
  if (!gdiplus.started()) {
    std::printf("GDI+ did not start\n");
    return 1;
  }
  LOGFONTW logfont = {};
  logfont.lfHeight = -14;
  logfont.lfCharSet = DEFAULT_CHARSET;
  wcscpy_s(logfont.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&logfont);
  ui::RenderResources::SetFontLookup(
      [font](const std::wstring& id) { return id == kFontId ? font : nullptr; });

  ui::RenderFactory_GdiPlus factory;
  auto window = factory.CreateRenderContext();
  auto frame = factory.CreateRenderContext();
  if (!window->Resize(kWidth, kHeight) || !frame->Resize(kWidth, kHeight)) {
    std::printf("cannot allocate %dx%d contexts\n", kWidth, kHeight);
    return 1;
  }
  frame->FillColor({0, 0, kWidth, kHeight}, 0xC0406080, 255);
  window->SetTransparentRendering(true);  // a layered window without shadow

  HBITMAP skin = MakeSkinImage(120, 24);
  const std::vector<Control> controls = MakeSkinControls();
  const std::wstring text20 = L"Server 12: Dragonfly";  // 20 characters
  const ui::UiRect all{0, 0, kWidth, kHeight};

  const double floor_us = Measure([&] {
    window->BlendFrom(0, 0, kWidth, kHeight, frame->DeviceContext(), 0, 0, kWidth, kHeight, 255);
  });

  const auto repaint = [&](const wchar_t* long_text) {
    window->ResetPixels(all, 0);
    window->PushClip(all);
    window->DrawImage(all, skin, true, all, {0, 0, 120, 120}, {30, 30, 30, 30}, 255, false, false);
    int label = 0;
    for (const Control& control : controls) {
      PaintControl(*window, control, label, long_text);
      label += control.texts;
    }
    window->PopClip();
  };
  const double repaint_us = Measure([&] { repaint(nullptr); });
  const double repaint_long_us = Measure([&] { repaint(text20.c_str()); });

  const ui::UiRect button{100, 100, 300, 140};
  const double nine_slice_us = Measure(
      [&] {
        window->DrawImage(all, skin, true, button, {0, 0, 120, 120}, {30, 30, 30, 30}, 255, false,
                          false);
      },
      50);
  const double text_us = Measure(
      [&] {
        window->DrawText({100, 100, 400, 130}, text20, 0xFF202020, kFontId,
                         DT_SINGLELINE | DT_VCENTER, 255, false);
      },
      50);

  int texts = 0;
  for (const Control& control : controls)
    texts += control.texts;
  std::printf("render bench, %dx%d, median of %d rounds\n", kWidth, kHeight, kRounds);
  std::printf("  floor: one full-frame AlphaBlend      %9.1f us\n", floor_us);
  std::printf(
      "  full repaint (1 nine-slice background, %zu filled controls, half with rounded\n"
      "  borders, %d short labels, %zu clips)\n",
      controls.size(), texts, controls.size() + texts + 1);
  std::printf("                                        %9.1f us\n", repaint_us);
  std::printf("  repaint / floor                       %9.2f  (goal <= 6)\n",
              repaint_us / floor_us);
  std::printf(
      "  the same with every label 20 characters long\n"
      "                                        %9.1f us\n",
      repaint_long_us);
  std::printf("  repaint (20-character labels) / floor %9.2f\n", repaint_long_us / floor_us);
  std::printf("  nine-slice draw 200x40                %9.1f us  (%.3f of floor)\n", nine_slice_us,
              nine_slice_us / floor_us);
  std::printf("  20-character text run                 %9.1f us  (%.3f of floor)\n", text_us,
              text_us / floor_us);

  DeleteObject(skin);
  ui::RenderResources::SetFontLookup(nullptr);
  DeleteObject(font);
  return 0;
}
