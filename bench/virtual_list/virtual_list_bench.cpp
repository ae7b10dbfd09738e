// Prints what scrolling a virtual list by one page costs, refill and repaint
// included, at 1,000 and at 1,000,000 items, against repainting a plain
// list of the elements that fit, measured in the same run; and the element
// count and the working set at both sizes.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_util.h"
#include "ui/control/label.h"
#include "ui/control/linear_layout.h"
#include "ui/control/list_box.h"
#include "ui/control/list_container_element.h"
#include "ui/control/virtual_list_box.h"
#include "ui/core/global_resources.h"
#include "ui/core/window.h"

namespace {

using bench::Median;
using bench::NowMicroseconds;
using bench::ProgramFolder;

constexpr int kRowHeight = 24;
constexpr int kWidth = 420;
constexpr int kHeight = 480;
constexpr int kElements = kHeight / kRowHeight + 4;
constexpr int kRounds = 41;

double WorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

class BenchWindow : public ui::Window {
 public:
  std::wstring WindowClassName() const override { return L"QelVirtualListBench"; }
};

ui::ListContainerElement* MakeRow(int index) {
  auto* element = new ui::ListContainerElement();
  element->ApplyAttributeList(L"height=\"24\" textpadding=\"10,4,10,4\"");
  element->SetText(L"Item " + std::to_wstring(index));
  return element;
}

class Rows : public ui::VirtualListDataProvider {
 public:
  explicit Rows(int32_t count) : count_(count) {}
  ui::Control* CreateElement() override { return MakeRow(0); }
  void FillElement(ui::Control* element, int32_t index) override {
    static_cast<ui::ListContainerElement*>(element)->SetText(L"Item " + std::to_wstring(index));
    element->SetBackgroundColor(index % 2 ? L"bk_wnd" : L"white");
  }
  int32_t GetElementCount() override { return count_; }

 private:
  int32_t count_;
};

struct Shown {
  std::unique_ptr<BenchWindow> window;
  HWND hwnd = nullptr;
};

Shown ShowList(ui::Box* list) {
  Shown shown;
  shown.window = std::make_unique<BenchWindow>();
  shown.hwnd = shown.window->Create(nullptr, L"virtual list bench", WS_POPUP, WS_EX_TOOLWINDOW,
                                    false, {0, 0, kWidth, kHeight});
  shown.window->AttachNativeWindow(shown.hwnd);
  auto* root = new ui::VBox();
  root->ApplyAttributeList(L"bkcolor=\"white\"");
  root->Add(list);
  shown.window->AttachRoot(root);
  ShowWindow(shown.hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(shown.hwnd);
  return shown;
}

void Repaint(HWND hwnd) {
  const RECT area = {0, 0, kWidth, kHeight};
  InvalidateRect(hwnd, &area, FALSE);
  UpdateWindow(hwnd);
}

struct Figures {
  double page_us = 0;
  double reference_us = 0;
  int elements = 0;
  double working_set_mib = 0;
};

Figures Measure(int32_t items) {
  Rows rows(items);
  auto* list = new ui::VirtualListBox();
  list->ApplyAttributeList(L"vscrollbar=\"true\"");
  list->SetDataProvider(&rows);
  list->SetElementHeight(kRowHeight);
  list->InitElements(kElements);
  Shown virtual_shown = ShowList(list);

  auto* plain = new ui::ListBox(std::make_unique<ui::VLayout>());
  for (int i = 0; i < kElements; ++i)
    plain->Add(MakeRow(i));
  Shown plain_shown = ShowList(plain);

  const int range = list->GetScrollRange().cy;
  int y = 0;
  auto page = [&] {
    y = y + kHeight > range ? 0 : y + kHeight;
    list->SetScrollPos({0, y});
    UpdateWindow(virtual_shown.hwnd);
  };
  for (int i = 0; i < 5; ++i) {
    page();
    Repaint(plain_shown.hwnd);
  }
  std::vector<double> paged;
  std::vector<double> reference;
  for (int round = 0; round < kRounds; ++round) {
    double start = NowMicroseconds();
    page();
    paged.push_back(NowMicroseconds() - start);
    start = NowMicroseconds();
    Repaint(plain_shown.hwnd);
    reference.push_back(NowMicroseconds() - start);
  }
  Figures figures;
  figures.page_us = Median(paged);
  figures.reference_us = Median(reference);
  figures.elements = list->GetCount();
  figures.working_set_mib = WorkingSetMiB();
  DestroyWindow(virtual_shown.hwnd);
  DestroyWindow(plain_shown.hwnd);
  return figures;
}

}  // namespace

int main() {
  ui::GlobalResources::Startup(ProgramFolder() + L"resources\\", nullptr, L"themes\\default",
                               L"lang\\zh_CN");
  std::printf("virtual list bench: rows of %d px in a %d x %d view, one page per step\n",
              kRowHeight, kWidth, kHeight);
  for (const int32_t items : {1000, 1000000}) {
    const Figures figures = Measure(items);
    std::printf(
        "  %7d items: page %6.0f us, plain list repaint %6.0f us, ratio %.2f "
        "(goal at most 1.50); %d elements, working set %.1f MiB\n",
        items, figures.page_us, figures.reference_us, figures.page_us / figures.reference_us,
        figures.elements, figures.working_set_mib);
  }
  return 0;
}
