// Measure-and-arrange of a tree of about 10,000 controls (nested
// horizontal, vertical and tile boxes) against a flat pass that merely
// visits every control once, measured in the same run: the full layout
// after a window resize, and the layout pass after one leaf changes size,
// with the number of controls that pass touched.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ui/control/box.h"
#include "ui/control/control_host.h"
#include "ui/control/layout_pass.h"

namespace {

using ui::Box;
using ui::Control;
using ui::UiPoint;
using ui::UiRect;
using ui::UiSize;

double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

// Distinct controls measured or placed since the last Reset.
struct TouchCounter {
  // Off while timing, so that counting costs nothing there.
  bool on = false;
  uint32_t generation = 1;
  size_t touched = 0;
  size_t measures = 0;
  size_t placements = 0;

  void Start() {
    on = true;
    ++generation;
    touched = measures = placements = 0;
  }
  void Stop() { on = false; }
} g_touch;

template <typename Base>
class Counted : public Base {
 public:
  UiSize Measure(UiSize available) override {
    if (g_touch.on) {
      ++g_touch.measures;
      Touch();
    }
    return Base::Measure(available);
  }
  void SetBounds(const UiRect& rect) override {
    if (g_touch.on) {
      ++g_touch.placements;
      Touch();
    }
    Base::SetBounds(rect);
  }

 private:
  void Touch() {
    if (stamp_ != g_touch.generation) {
      stamp_ = g_touch.generation;
      ++g_touch.touched;
    }
  }
  uint32_t stamp_ = 0;
};

// A label: its width comes from its text.
template <typename Base>
class LabelOf : public Base {
 public:
  explicit LabelOf(int32_t text_width) : text_width_(text_width) {}
  UiSize MeasureText(UiSize, bool*) override { return {text_width_, 14}; }
  // What a label does when its text changes.
  void SetTextWidth(int32_t width) {
    text_width_ = width;
    this->RequestAncestorLayout();
  }
  int32_t text_width() const { return text_width_; }

 private:
  int32_t text_width_;
};

// A window that only keeps what controls tell it.
class BenchWindow : public ui::ControlHost {
 public:
  Control* GetRoot() const override { return root_; }
  Control* GetFocusControl() const override { return nullptr; }
  void SetFocusControl(Control*) override {}
  Control* GetHoverControl() const override { return nullptr; }
  UiPoint GetLastMousePos() const override { return {5, 5}; }
  bool IsShadowAttached() const override { return false; }
  ui::UiPadding GetShadowCorner() const override { return {}; }
  ui::IRenderContext* GetRenderContext() const override { return nullptr; }
  void Invalidate(const UiRect& rect) override {
    ++invalidations_;
    dirty_.left = std::min(dirty_.left, rect.left);
    dirty_.top = std::min(dirty_.top, rect.top);
    dirty_.right = std::max(dirty_.right, rect.right);
    dirty_.bottom = std::max(dirty_.bottom, rect.bottom);
  }
  void SetLayoutNeeded() override { layout_needed_ = true; }
  std::wstring WindowClassAttributes(const std::wstring&) const override { return {}; }
  Control* FindControlByName(const std::wstring&) const override { return nullptr; }
  bool RegisterSubtree(Control* control, Box* parent) override {
    control->SetWindowAndParent(this, parent, true);
    return true;
  }
  void DeferDelete(Control* control) override { delete control; }
  void ForgetControl(Control*) override {}
  std::wstring SkinFolder() const override { return {}; }
  bool AddToGroup(const std::wstring&, Control*) override { return false; }
  const std::vector<Control*>* GetGroup(const std::wstring&) const override { return nullptr; }
  void RemoveFromGroup(const std::wstring&, Control*) override {}

  void set_root(Control* root) { root_ = root; }
  size_t invalidations() const { return invalidations_; }

 private:
  Control* root_ = nullptr;
  UiRect dirty_;
  size_t invalidations_ = 0;
  bool layout_needed_ = false;
};

template <typename T>
T* Make(const wchar_t* attributes) {
  T* control = new T;
  control->ApplyAttributeList(attributes);
  return control;
}

// The timed tree uses the framework's classes as they are; an identical
// tree of counting subclasses tells which controls a pass touched.
template <bool kCounted, typename T>
using Maybe = std::conditional_t<kCounted, Counted<T>, T>;

// root VBox > 10 rows (HBox) > 10 columns (VBox) > a tile of 90 leaves and
// a tool row (HBox, auto height) of 8 leaves, some of them labels.
using Label = LabelOf<Control>;
using CountedLabel = LabelOf<Counted<Control>>;

struct Tree {
  std::unique_ptr<Box> root;
  size_t controls = 0;
  // Label or CountedLabel.
  Control* changing_leaf = nullptr;
  std::function<void()> change_text;
};

template <bool kCounted>
Tree BuildTree(BenchWindow* window) {
  using LabelType = std::conditional_t<kCounted, CountedLabel, Label>;
  Tree tree;
  tree.root.reset(Make<Maybe<kCounted, ui::VBox>>(L"padding=\"4,4,4,4\" childmargin=\"2\""));
  if (window) {
    window->set_root(tree.root.get());
    tree.root->SetWindowAndParent(window, nullptr, true);
  }
  tree.controls = 1;
  for (int row = 0; row < 10; ++row) {
    Box* hbox = Make<Maybe<kCounted, ui::HBox>>(L"childmargin=\"3\"");
    ++tree.controls;
    for (int column = 0; column < 10; ++column) {
      Box* vbox = Make<Maybe<kCounted, ui::VBox>>(L"padding=\"1,1,1,1\" bordersize=\"1\"");
      Box* tile = Make<Maybe<kCounted, ui::TileBox>>(L"columns=\"10\" childmargin=\"1\"");
      for (int i = 0; i < 90; ++i) {
        tile->Add(Make<Maybe<kCounted, Control>>(
            i % 3 == 0 ? L"width=\"12\" height=\"9\" margin=\"1,1,1,1\"" : L"height=\"10\""));
      }
      Box* tools = Make<Maybe<kCounted, ui::HBox>>(L"height=\"auto\" childmargin=\"2\"");
      for (int i = 0; i < 8; ++i) {
        if (i % 2 == 0) {
          LabelType* label = new LabelType(20 + i);
          label->ApplyAttributeList(L"width=\"auto\" height=\"auto\" valign=\"center\"");
          tools->Add(label);
          if (row == 6 && column == 3 && i == 4) {
            tree.changing_leaf = label;
            tree.change_text = [label] {
              label->SetTextWidth(label->text_width() == 24 ? 31 : 24);
            };
          }
        } else {
          tools->Add(Make<Maybe<kCounted, Control>>(i == 7 ? L"height=\"12\""
                                                           : L"width=\"10\" height=\"stretch\""));
        }
      }
      vbox->Add(tile);
      vbox->Add(tools);
      hbox->Add(vbox);
      tree.controls += 3 + 90 + 8;
    }
    tree.root->Add(hbox);
  }
  return tree;
}

Control* CountVisit(Control*, void* data) {
  ++*static_cast<size_t*>(data);
  return nullptr;
}

// Microseconds per call, the best of several rounds.
double BestMicroseconds(int rounds, int repeats, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const double start = NowSeconds();
    for (int i = 0; i < repeats; ++i)
      work();
    best = std::min(best, (NowSeconds() - start) * 1e6 / repeats);
  }
  return best;
}

// The counts of one full layout and of one single-label layout pass.
struct Touched {
  size_t full = 0;
  size_t single = 0;
  size_t arranged = 0;
};

Touched CountTouched(const UiRect sizes[2]) {
  BenchWindow window;
  Tree tree = BuildTree<true>(&window);
  ui::RunLayoutPass(tree.root.get(), sizes[0]);
  Touched touched;
  g_touch.Start();
  tree.root->SetBounds(sizes[1]);
  touched.full = g_touch.touched;
  g_touch.Start();
  tree.change_text();
  touched.arranged = ui::RunLayoutPass(tree.root.get(), sizes[1]);
  touched.single = g_touch.touched;
  g_touch.Stop();
  return touched;
}

}  // namespace

int main() {
  const UiRect sizes[2] = {{0, 0, 1600, 1000}, {0, 0, 1601, 1001}};
  BenchWindow window;
  Tree tree = BuildTree<false>(&window);
  Box* root = tree.root.get();
  ui::RunLayoutPass(root, sizes[0]);

  size_t visited = 0;
  const double visit_us = BestMicroseconds(7, 20, [&] {
    visited = 0;
    root->FindControl(&CountVisit, &visited, 0);
  });

  // A window resize: every control is measured and placed again, and each
  // one that moves sends its resize event and repaints its area.
  int flip = 0;
  const double full_us = BestMicroseconds(7, 10, [&] {
    flip ^= 1;
    root->SetBounds(sizes[flip]);
  });

  // One label's text grows or shrinks; the window's next layout pass.
  size_t passes = 0;
  const double single_us = BestMicroseconds(7, 50, [&] {
    tree.change_text();
    passes += ui::RunLayoutPass(root, sizes[flip]);
  });

  // The same arithmetic without a window: no resize events, no repainting.
  Tree bare = BuildTree<false>(nullptr);
  bare.root->SetBounds(sizes[0]);
  const double bare_full_us = BestMicroseconds(7, 10, [&] {
    flip ^= 1;
    bare.root->SetBounds(sizes[flip]);
  });

  const Touched touched = CountTouched(sizes);
  std::printf("layout benchmark: %zu controls in nested horizontal, vertical and tile boxes\n",
              tree.controls);
  std::printf("  visit floor (FindControl visits each control once):  %8.1f us  (%zu visited)\n",
              visit_us, visited);
  std::printf(
      "  full measure-and-arrange after a resize, window:     %8.1f us = %6.2f x floor"
      "  (goal <= 5); touched %zu controls\n",
      full_us, full_us / visit_us, touched.full);
  std::printf("  the same without a window (layout arithmetic only):  %8.1f us = %6.2f x floor\n",
              bare_full_us, bare_full_us / visit_us);
  // Per control, since the floor moves whenever visiting gets faster too.
  const double per_control = 1000.0 / static_cast<double>(tree.controls);
  std::printf("  per control: visit %.1f ns, full layout %.1f ns with a window, %.1f ns without\n",
              visit_us * per_control, full_us * per_control, bare_full_us * per_control);
  std::printf(
      "  one label changes size, next layout pass:            %8.1f us = %6.2f x floor;"
      "  %zu control(s) arranged from the top, touched %zu controls (%.2f %% of the tree)\n",
      single_us, single_us / visit_us, touched.arranged, touched.single,
      100.0 * static_cast<double>(touched.single) / static_cast<double>(tree.controls));
  return passes > 0 ? 0 : 1;
}
