// Prints what scrolling a list of 5,000 labels by one wheel step costs, up
// to the repainted frame, against one full repaint of the same visible
// area without scrolling, measured in the same run.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_util.h"
#include "ui/control/box.h"
#include "ui/control/label.h"
#include "ui/control/linear_layout.h"
#include "ui/control/scrollable_box.h"
#include "ui/core/global_resources.h"
#include "ui/core/window.h"

namespace {

using bench::Median;
using bench::NowMicroseconds;
using bench::ProgramFolder;

constexpr int kRows = 5000;
constexpr int kRowHeight = 24;
constexpr int kWidth = 420;
constexpr int kHeight = 640;
constexpr int kRounds = 41;
// One wheel notch: the list's line unit.
constexpr int kWheelStep = 30;

class BenchWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelScrollBench"; }
};

}  // namespace

int main() {
  ui::GlobalResources::Startup(ProgramFolder() + L"resources\\", nullptr, L"themes\\default",
                               L"lang\\zh_CN");
  auto window = std::make_unique<BenchWindow>();
  HWND hwnd = window->Create(nullptr, L"scroll bench", WS_POPUP, WS_EX_TOOLWINDOW, false,
                             {0, 0, kWidth, kHeight});
  window->AttachNativeWindow(hwnd);

  auto* root = new ui::VBox();
  root->ApplyAttributeList(L"bkcolor=\"white\"");
  auto* list = new ui::ScrollableBox(std::make_unique<ui::VLayout>());
  list->ApplyAttributeList(L"vscrollbar=\"true\" vscrollunit=\"30\"");
  for (int i = 0; i < kRows; ++i) {
    auto* label = new ui::Label();
    label->ApplyAttributeList(
        L"width=\"stretch\" height=\"24\" textpadding=\"10,4,10,4\" bkcolor=\"" +
        std::wstring(i % 2 ? L"bk_wnd" : L"white") + L"\" text=\"Row " + std::to_wstring(i) +
        L" of the scrolled list\"");
    list->Add(label);
  }
  root->Add(list);
  window->AttachRoot(root);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);

  const RECT area = {0, 0, kWidth, kHeight};
  auto repaint = [&] {
    InvalidateRect(hwnd, &area, FALSE);
    UpdateWindow(hwnd);
  };
  int direction = 1;
  auto scroll = [&] {
    // Down the list and back, so that every step really moves.
    const int y = list->GetScrollPos().y;
    if (y + kWheelStep > list->GetScrollRange().cy)
      direction = -1;
    else if (y - kWheelStep < 0)
      direction = 1;
    if (direction > 0)
      list->LineDown(kWheelStep, false);
    else
      list->LineUp(kWheelStep, false);
    UpdateWindow(hwnd);
  };
  const int range = list->GetScrollRange().cy;
  if (range != kRows * kRowHeight - kHeight) {
    std::printf("unexpected scroll range %d\n", range);
    return 1;
  }

  // Warm-ups, then the two interleaved so that a busy machine weighs on
  // both alike.
  for (int i = 0; i < 5; ++i) {
    repaint();
    scroll();
  }
  std::vector<double> full;
  std::vector<double> scrolled;
  for (int round = 0; round < kRounds; ++round) {
    double start = NowMicroseconds();
    repaint();
    full.push_back(NowMicroseconds() - start);
    start = NowMicroseconds();
    scroll();
    scrolled.push_back(NowMicroseconds() - start);
  }
  const double reference = Median(full);
  const double step = Median(scrolled);
  std::printf("scroll bench: %d labels of %d px in a %d x %d view, scroll range %d\n", kRows,
              kRowHeight, kWidth, kHeight, range);
  std::printf("  full repaint of the view (reference)  %8.0f us\n", reference);
  std::printf("  one wheel step (%d px) and repaint    %8.0f us   ratio %.2f (goal at most 1.20)\n",
              kWheelStep, step, step / reference);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  return 0;
}
