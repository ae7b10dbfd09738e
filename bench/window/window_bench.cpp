// Prints the time from creating a window from a skin of about 300 controls
// to its first layered output, split into parse, build, layout and paint,
// against the floor of creating a bare layered window and putting one
// cleared frame of the same size on the screen, measured in the same run,
// and the texts against the floor of drawing them with bare GDI+ calls.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_util.h"
#include "ui/control/control.h"
#include "ui/control/label.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"
#include "ui/render/gdiplus_api.h"
#include "ui/render/text_format.h"

namespace {

using bench::ProgramFolder;

constexpr int kRounds = 15;
constexpr int kRows = 24;
// Content size; the shadow adds 14 pixels on every side.
constexpr int kWidth = 900;
constexpr int kHeight = 700;
constexpr int kShadow = 14;
// Relative images of the skin are found from here (below the theme).
constexpr wchar_t kSkinFolder[] = L"window_bench";

std::wstring TempPath(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

bool WriteFileText(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const bool wrote =
      WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size();
  CloseHandle(file);
  return wrote;
}

double TicksToMicroseconds(int64_t ticks) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(ticks) * 1e6 / frequency;
}

int64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// A caption and 24 rows of 13 controls: texts, buttons, colour blocks and
// images, about 340 controls in all. |with_text| false drops every text, to
// show what the framework costs apart from text rendering.
std::string MakeSkin(bool with_text) {
  std::string skin =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Window size=\"900,700\" caption=\"0,0,0,36\" sizebox=\"4,4,4,4\">\n"
      "<VBox bkcolor=\"bk_wnd\">\n"
      "<HBox height=\"36\" bkcolor=\"bk_caption\">"
      "<Label text=\"Benchmark window\" valign=\"center\" margin=\"10,0,0,0\" "
      "font=\"system_bold_12\" normaltextcolor=\"text_light\"/><Control/>"
      "<Button name=\"minbtn\" width=\"36\" height=\"36\" normalcolor=\"bk_caption\" "
      "hotcolor=\"bk_caption_hover\"/>"
      "<Button name=\"maxbtn\" width=\"36\" height=\"36\" normalcolor=\"bk_caption\"/>"
      "<Button name=\"closebtn\" width=\"36\" height=\"36\" normalcolor=\"bk_caption\"/>"
      "</HBox>\n"
      "<VBox padding=\"10,10,10,10\" childmargin=\"2\">\n";
  for (int row = 0; row < kRows; ++row) {
    const std::string n = std::to_string(row);
    skin +=
        "<HBox height=\"24\" childmargin=\"4\">"
        "<Control width=\"24\" height=\"24\" bkimage=\"file='../public/bk/bk_shadow.png' "
        "source='20,20,44,44'\"/>"
        "<Label name=\"name" +
        n + "\" text=\"Row " + n +
        " name\" width=\"90\" "
        "valign=\"center\" font=\"system_12\"/>"
        "<Label text=\"A longer description of row " +
        n +
        "\" width=\"170\" "
        "valign=\"center\" font=\"system_12\" normaltextcolor=\"text_hint\"/>"
        "<Button text=\"Open\" width=\"60\" height=\"22\" font=\"system_12\" "
        "normalcolor=\"btn_primary\" hotcolor=\"btn_primary_hover\" "
        "normaltextcolor=\"white\" borderround=\"4,4\"/>"
        "<Control width=\"40\" height=\"16\" valign=\"center\" bkcolor=\"splitline\"/>"
        "<Label text=\"" +
        std::to_string(row * 37 % 1000) +
        "\" width=\"40\" "
        "valign=\"center\" font=\"system_12\"/>"
        "<Button text=\"Edit\" width=\"50\" height=\"22\" font=\"system_12\" "
        "bordercolor=\"splitline\" bordersize=\"1\"/>"
        "<Control width=\"24\" height=\"24\" bkcolor=\"btn_primary\" borderround=\"12,12\"/>"
        "<Label text=\"state\" width=\"50\" valign=\"center\" font=\"system_12\"/>"
        "<Label text=\"" +
        n +
        "%\" width=\"40\" valign=\"center\" font=\"system_bold_12\"/>"
        "<Control/>"
        "<Button text=\"x\" width=\"24\" height=\"22\" font=\"system_12\"/>"
        "<Control width=\"8\"/>"
        "</HBox>\n";
  }
  skin += "</VBox>\n</VBox>\n</Window>\n";
  if (!with_text) {
    for (size_t at; (at = skin.find(" text=\"")) != std::string::npos;)
      skin.erase(at, skin.find('"', at + 7) - at + 1);
  }
  return skin;
}

class BenchWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelWindowBench"; }
};

struct Phases {
  double create = 0;  // class and native window
  double parse = 0;
  double build = 0;  // controls, attributes, shadow, root
  double layout = 0;
  double paint = 0;   // tree into the render context
  double output = 0;  // UpdateLayeredWindow
  double total = 0;
  size_t controls = 0;
};

size_t CountControls(ui::Control* control) {
  size_t count = 1;
  if (auto* box = dynamic_cast<ui::Box*>(control)) {
    for (ui::Control* child : box->children())
      count += CountControls(child);
  }
  return count;
}

// One text as the skin's first frame draws it.
struct TextJob {
  ui::UiRect rect;
  std::wstring text;
  std::wstring font_id;
  uint32_t style = 0;
};

void CollectTexts(ui::Control* control, std::vector<TextJob>* texts) {
  if (auto* label = dynamic_cast<ui::Label*>(control)) {
    if (!label->GetText().empty()) {
      texts->push_back({label->bounds().Deflate(label->GetTextPadding()), label->GetText(),
                        label->GetFont(), label->GetTextStyle() | DT_SINGLELINE});
    }
  }
  if (auto* box = dynamic_cast<ui::Box*>(control)) {
    for (ui::Control* child : box->children())
      CollectTexts(child, texts);
  }
}

// One window from Create to its first UpdateLayeredWindow; |texts|, when
// given, receives what the frame's texts were.
Phases OpenSkinnedWindow(const std::wstring& skin_path, std::vector<TextJob>* texts = nullptr) {
  Phases phases;
  const int64_t start = Now();
  auto window = std::make_unique<BenchWindow>();
  HWND hwnd = window->Create(nullptr, L"bench", WS_POPUP, WS_EX_TOOLWINDOW, true, {40, 40, 60, 60});
  window->AttachNativeWindow(hwnd);
  window->SetSkinFolder(kSkinFolder);
  const int64_t created = Now();

  ui::SkinBuilder builder;
  builder.Load(skin_path);
  const int64_t parsed = Now();
  ui::Control* skin = builder.Build(nullptr, window.get(), nullptr);
  window->AttachRoot(window->AttachShadow(skin));
  const int64_t built = Now();

  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  // Layered windows paint on the WM_PAINT they post themselves.
  while (window->IsFirstPaintPending()) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      continue;
    }
    DispatchMessageW(&message);
  }
  const int64_t shown = Now();

  const ui::Window::PaintTimings& paint = window->LastPaintTimings();
  phases.create = TicksToMicroseconds(created - start);
  phases.parse = TicksToMicroseconds(parsed - created);
  phases.build = TicksToMicroseconds(built - parsed);
  phases.layout = TicksToMicroseconds(paint.layout);
  phases.paint = TicksToMicroseconds(paint.paint);
  phases.output = TicksToMicroseconds(paint.output);
  phases.total = TicksToMicroseconds(shown - start);
  phases.controls = CountControls(skin);
  if (texts)
    CollectTexts(skin, texts);
  // Hidden first without activation: destroying a shown window costs Wine
  // a wait for the window manager.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  return phases;
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The floor: a bare layered window of the same size and one cleared frame.
double OpenBareWindow() {
  const int width = kWidth + 2 * kShadow;
  const int height = kHeight + 2 * kShadow;
  const int64_t start = Now();
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &BareProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"QelWindowBenchBare";
  RegisterClassW(&window_class);
  HWND hwnd =
      CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"QelWindowBenchBare", L"bare", WS_POPUP,
                      40, 40, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(width) * height, 0xFFF7F7F7u);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  POINT destination = {40, 40};
  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(hwnd, nullptr, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
  const double elapsed = TicksToMicroseconds(Now() - start);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  DestroyWindow(hwnd);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return elapsed;
}

// The least any GDI+ text path can cost for the same texts: one graphics
// object on a bitmap of the window's size, each font and format made once
// beforehand, and nothing but one GdipDrawString per text, in an opaque
// colour's 254 alpha as the render context draws it.
double DrawTextsBare(const std::vector<TextJob>& texts) {
  namespace gdip = ui::gdip;
  const int width = kWidth + 2 * kShadow;
  const int height = kHeight + 2 * kShadow;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xFFF7F7F7u);
  gdip::GpBitmap* image = nullptr;
  gdip::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &image);
  gdip::GpGraphics* graphics = nullptr;
  if (image)
    gdip::GdipGetImageGraphicsContext(image, &graphics);
  HDC dc = CreateCompatibleDC(nullptr);
  std::vector<gdip::ScopedFont> fonts;
  std::vector<gdip::ScopedStringFormat> formats;
  for (const TextJob& job : texts) {
    const ui::FontInfo* info = ui::GlobalResources::FontById(job.font_id);
    LOGFONTW logfont = {};
    gdip::ScopedFont font;
    if (info && GetObjectW(info->handle, sizeof(logfont), &logfont) == sizeof(logfont))
      gdip::GdipCreateFontFromLogfontW(dc, &logfont, font.receive());
    fonts.push_back(std::move(font));
    formats.push_back(ui::CreateDrawFormat(job.style, false));
  }
  gdip::ScopedBrush brush;
  gdip::GdipCreateSolidFill(0xFE303030u, reinterpret_cast<gdip::GpSolidFill**>(brush.receive()));

  const int64_t start = Now();
  for (size_t i = 0; i < texts.size(); ++i) {
    const ui::UiRect& r = texts[i].rect;
    const gdip::GpRectF layout(static_cast<float>(r.left), static_cast<float>(r.top),
                               static_cast<float>(r.Width()), static_cast<float>(r.Height()));
    if (graphics && fonts[i] && formats[i]) {
      gdip::GdipDrawString(graphics, texts[i].text.c_str(), static_cast<INT>(texts[i].text.size()),
                           fonts[i].get(), &layout, formats[i].get(), brush.get());
    }
  }
  const double elapsed = TicksToMicroseconds(Now() - start);

  if (graphics)
    gdip::GdipDeleteGraphics(graphics);
  if (image)
    gdip::GdipDisposeImage(image);
  DeleteDC(dc);
  return elapsed;
}

template <typename T, typename Key>
T MedianBy(std::vector<T> samples, Key key) {
  std::sort(samples.begin(), samples.end(),
            [&](const T& a, const T& b) { return key(a) < key(b); });
  return samples[samples.size() / 2];
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void PrintPhases(const char* title, const Phases& median, double floor) {
  std::printf("%s: %zu controls, %dx%d with shadow\n", title, median.controls, kWidth + 2 * kShadow,
              kHeight + 2 * kShadow);
  std::printf("  native window   %8.0f us\n", median.create);
  std::printf("  parse           %8.0f us\n", median.parse);
  std::printf("  build           %8.0f us\n", median.build);
  std::printf("  layout          %8.0f us\n", median.layout);
  std::printf("  paint           %8.0f us\n", median.paint);
  std::printf("  layered output  %8.0f us\n", median.output);
  std::printf("  total           %8.0f us   ratio to the floor %.2f\n", median.total,
              median.total / floor);
}

}  // namespace

int main() {
  const std::wstring root = ProgramFolder() + L"resources\\";
  ui::GlobalResources::Startup(root, nullptr, L"themes\\default", L"lang\\zh_CN");
  const std::wstring full_skin = TempPath(L"qel_window_bench.xml");
  const std::wstring plain_skin = TempPath(L"qel_window_bench_plain.xml");
  if (!WriteFileText(full_skin, MakeSkin(true)) || !WriteFileText(plain_skin, MakeSkin(false))) {
    std::printf("cannot write the benchmark skins to %ls\n", full_skin.c_str());
    return 1;
  }

  // Warm-ups: classes, fonts, the image cache and the code itself.
  std::vector<TextJob> texts;
  OpenSkinnedWindow(full_skin, &texts);
  DrawTextsBare(texts);
  OpenSkinnedWindow(plain_skin);
  OpenBareWindow();
  Pump();

  // The three are interleaved, so that a busy machine weighs on all alike.
  std::vector<Phases> full;
  std::vector<Phases> plain;
  std::vector<double> bare;
  std::vector<double> bare_texts;
  for (int round = 0; round < kRounds; ++round) {
    full.push_back(OpenSkinnedWindow(full_skin));
    bare.push_back(OpenBareWindow());
    bare_texts.push_back(DrawTextsBare(texts));
    plain.push_back(OpenSkinnedWindow(plain_skin));
    Pump();
  }
  auto by_total = [](const Phases& p) { return p.total; };
  const Phases full_median = MedianBy(full, by_total);
  const Phases plain_median = MedianBy(plain, by_total);
  const double floor = bench::Median(bare);

  std::printf("Create to first UpdateLayeredWindow, median of %d rounds\n", kRounds);
  std::printf("floor: bare layered window and one cleared frame  %8.0f us\n", floor);
  PrintPhases("skin", full_median, floor);
  PrintPhases("same skin without texts", plain_median, floor);
  const double text_floor = bench::Median(bare_texts);
  const double text_cost = full_median.total - plain_median.total;
  std::printf("text floor: %zu bare GdipDrawString calls  %8.0f us\n", texts.size(), text_floor);
  std::printf("  the skin's texts cost %.0f us, %.2f times the text floor\n", text_cost,
              text_cost / text_floor);
  std::printf("  skin without texts plus the text floor: %.2f times the window floor\n",
              (plain_median.total + text_floor) / floor);
  const double ratio = full_median.total / floor;
  constexpr double kGoal = 2.5;
  std::printf("ratio: %.2f (goal: at most %.1f) %s\n", ratio, kGoal,
              ratio <= kGoal ? "met" : "NOT met");
  DeleteFileW(full_skin.c_str());
  DeleteFileW(plain_skin.c_str());
  ui::GlobalResources::Shutdown();
  return 0;
}
