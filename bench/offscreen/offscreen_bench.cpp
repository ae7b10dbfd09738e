// An off-screen page of 1280 x 720 whose script moves an element every
// 16 ms, shown by the off-screen browser control in a layered window:
// frames delivered to the main thread, copied into the control's bitmap and
// put on the screen per second, and the main thread's time per frame (the
// copy plus the window's paint and layered output), against a bare
// UpdateLayeredWindow of a 1280 x 720 bitmap measured in the same run.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/support/bench_util.h"
#include "browser/control/cef_control.h"
#include "browser/manager/cef_manager.h"
#include "tests/browser/main_thread_for_test.h"
#include "ui/core/global_resources.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr DWORD kMeasureMs = 4000;
constexpr int kBareFrames = 240;

std::wstring PageUrl(const std::string& html) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring url = L"data:text/html;charset=utf-8,";
  for (unsigned char c : html) {
    url += L'%';
    url += static_cast<wchar_t>(kHex[c >> 4]);
    url += static_cast<wchar_t>(kHex[c & 15]);
  }
  return url;
}

// Main-thread figures of the control and its window.
struct Figures {
  int delivered = 0;
  int copied = 0;
  int painted = 0;
  double copy_us = 0;
  double paint_us = 0;
};

class MeasuredControl : public kel_comp::CefControl {
 public:
  explicit MeasuredControl(Figures* figures) : figures_(figures) {}
  void OnPaint(CefRefPtr<CefBrowser> browser,
               CefRenderHandler::PaintElementType type,
               const CefRenderHandler::RectList& dirty_rects,
               const kel_comp::PaintBuffer& buffer,
               int width,
               int height) override {
    const double start = bench::NowMicroseconds();
    CefControl::OnPaint(browser, type, dirty_rects, buffer, width, height);
    figures_->copy_us += bench::NowMicroseconds() - start;
    ++figures_->delivered;
    figures_->copied += view_bitmap().valid && view_bitmap().width == width ? 1 : 0;
  }

 private:
  Figures* figures_;
};

class BenchWindow : public ui::Window {
 public:
  explicit BenchWindow(Figures* figures) : figures_(figures) {}
  std::wstring WindowClassName() const override { return L"QelOffscreenBench"; }
  LRESULT OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message != WM_PAINT)
      return Window::OnWindowMessage(message, wparam, lparam);
    const double start = bench::NowMicroseconds();
    const LRESULT result = Window::OnWindowMessage(message, wparam, lparam);
    figures_->paint_us += bench::NowMicroseconds() - start;
    ++figures_->painted;
    return result;
  }
  MeasuredControl* Open() {
    HWND hwnd = Create(nullptr, L"off-screen bench", WS_POPUP | WS_VISIBLE, 0, /*layered=*/true,
                       ui::UiRect{0, 0, kWidth, kHeight});
    if (!hwnd)
      return nullptr;
    AttachNativeWindow(hwnd);
    MeasuredControl* control = nullptr;
    ui::SkinBuilder builder;
    auto factory = [&](const std::wstring& name) -> ui::Control* {
      if (name != L"CefControl")
        return nullptr;
      control = new MeasuredControl(figures_);
      return control;
    };
    ui::Control* root = builder.Create(
        L"<Window shadowattached=\"false\" size=\"1280,720\"><VBox><CefControl/></VBox></Window>",
        factory, this, nullptr);
    return root && AttachRoot(root) ? control : nullptr;
  }

 private:
  Figures* figures_;
};

// Microseconds per UpdateLayeredWindow of a cleared 1280 x 720 frame.
double BareLayeredOutput() {
  HWND hwnd = CreateWindowExW(WS_EX_LAYERED, L"Static", L"bare", WS_POPUP | WS_VISIBLE, 0, 0,
                              kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  std::memset(pixels, 0xFF, static_cast<size_t>(kWidth) * kHeight * 4);
  POINT origin = {0, 0};
  SIZE size = {kWidth, kHeight};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  std::vector<double> samples;
  for (int i = 0; i < kBareFrames; ++i) {
    const double start = bench::NowMicroseconds();
    UpdateLayeredWindow(hwnd, screen, &origin, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    samples.push_back(bench::NowMicroseconds() - start);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DestroyWindow(hwnd);
  return bench::Median(samples);
}

}  // namespace

int main() {
  kel_comp::CefManager* manager = kel_comp::CefManager::GetInstance();
  manager->AddRuntimeFolderToPath();
  test::MainThreadForTest main;
  CefSettings settings;
  test::TempFolder folder(L"qel_offscreen_bench");
  bool started = false;
  main.RunAndWait([&] {
    started = manager->Initialize(folder.path() + L"cef_temp\\", settings, /*offscreen=*/true);
    ui::GlobalResources::Startup(bench::ProgramFolder() + L"resources\\", nullptr,
                                 L"themes\\default", L"lang\\zh_CN");
    ui::GlobalResources::SetResourceFolder(bench::ProgramFolder() + L"resources\\themes\\default");
  });
  if (!started) {
    std::printf("the runtime did not start\n");
    return 1;
  }

  Figures figures;
  BenchWindow* window = nullptr;
  MeasuredControl* control = nullptr;
  main.RunAndWait([&] {
    window = new BenchWindow(&figures);
    control = window->Open();
    if (control) {
      control->LoadURL(PageUrl(
          "<body style='margin:0; background-color:#203040'><div id=box style='margin-left:0; "
          "margin-top:300px; width:200px; height:120px; background-color:#e0a040'></div><script>"
          "var x = 0; setInterval(function () { x = (x + 8) % 1080; "
          "document.getElementById('box').style.marginLeft = x + 'px'; }, 16);</script></body>"));
    }
  });
  if (!control) {
    std::printf("no off-screen control\n");
    return 1;
  }
  bool ready = false;
  for (int i = 0; i < 300 && !ready; ++i) {
    Sleep(20);
    main.RunAndWait([&] {
      CefRefPtr<CefBrowser> browser = control->GetHandler()->GetBrowser();
      if (browser && control->view_bitmap().width == kWidth) {
        browser->GetHost()->SetWindowlessFrameRate(60);
        ready = true;
      }
    });
  }
  if (!ready) {
    int width = 0;
    int height = 0;
    main.RunAndWait([&] {
      width = control->view_bitmap().width;
      height = control->view_bitmap().height;
    });
    std::printf("no frame of %d x %d arrived (last %d x %d)\n", kWidth, kHeight, width, height);
    return 1;
  }
  Sleep(500);  // at the new frame rate

  main.RunAndWait([&] { figures = Figures(); });
  const double start = bench::NowMicroseconds();
  Sleep(kMeasureMs);
  Figures measured;
  main.RunAndWait([&] { measured = figures; });
  const double seconds = (bench::NowMicroseconds() - start) / 1e6;

  main.RunAndWait([&] {
    DestroyWindow(window->GetHWND());
    delete window;
  });
  const double bare_us = BareLayeredOutput();
  Sleep(500);  // the browser closes
  main.RunAndWait([&] { manager->Shutdown(); });

  const double delivered_fps = measured.delivered / seconds;
  const double copied_fps = measured.copied / seconds;
  const double painted_fps = measured.painted / seconds;
  const double copy_per_frame = measured.delivered ? measured.copy_us / measured.delivered : 0;
  const double paint_per_frame = measured.painted ? measured.paint_us / measured.painted : 0;
  const double main_per_frame = copy_per_frame + paint_per_frame;
  std::printf("off-screen page %d x %d animating every 16 ms, %.1f s:\n", kWidth, kHeight, seconds);
  std::printf("  frames delivered  %6.1f /s\n", delivered_fps);
  std::printf("  frames copied     %6.1f /s\n", copied_fps);
  std::printf("  frames on screen  %6.1f /s\n", painted_fps);
  std::printf("  main thread per frame: copy %.0f us + paint and output %.0f us = %.0f us\n",
              copy_per_frame, paint_per_frame, main_per_frame);
  std::printf("bare UpdateLayeredWindow %d x %d: %.0f us per frame\n", kWidth, kHeight, bare_us);
  std::printf("ratio main thread / bare: %.2f (goal <= 2.00); on screen %.1f fps (goal 60)\n",
              bare_us > 0 ? main_per_frame / bare_us : 0, painted_fps);
  return 0;
}
