#include "ui/control/layout_pass.h"

#include <memory>
#include <utility>
#include <vector>

#include "ui/control/control.h"

namespace ui {

namespace {

using Pending = std::vector<std::pair<Control*, std::weak_ptr<kbase::WeakFlag>>>;

Control* CollectPending(Control* control, void* data) {
  if (control->NeedsArrange())
    static_cast<Pending*>(data)->emplace_back(control, control->AcquireWeakFlag());
  return nullptr;
}

}  // namespace

size_t RunLayoutPass(Control* root, const UiRect& client) {
  if (!root)
    return 0;
  if (root->NeedsArrange()) {
    root->SetBounds(client);
    return 1;
  }
  // Boxes come before their children, so the topmost pending control is
  // arranged first and takes its pending descendants along.
  Pending pending;
  root->FindControl(&CollectPending, &pending, kFindVisible | kFindMeFirst);
  size_t arranged = 0;
  for (const auto& [control, alive] : pending) {
    // A resize handler may have removed it, or its box arranged it.
    if (alive.expired() || !control->NeedsArrange())
      continue;
    control->SetBounds(control->GetBounds(true));
    ++arranged;
  }
  return arranged;
}

}  // namespace ui
