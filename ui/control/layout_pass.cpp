#include "ui/control/layout_pass.h"

#include <memory>
#include <utility>
#include <vector>

#include "base/debug/check.h"
#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui {

namespace {

using Pending = std::vector<std::pair<Control*, std::weak_ptr<kbase::WeakFlag>>>;

Control* CollectPending(Control* control, void* data) {
  if (control->NeedsArrange())
    static_cast<Pending*>(data)->emplace_back(control, control->AcquireWeakFlag());
  return nullptr;
}

#if !defined(NDEBUG)
// The marks only spare the search: a search of the whole tree must find
// the same controls in the same order.
bool SameControls(const Pending& a, const Pending& b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].first != b[i].first)
      return false;
  }
  return true;
}
#endif

}  // namespace

size_t RunLayoutPass(Control* root, const UiRect& client) {
  if (!root)
    return 0;
  if (root->NeedsArrange()) {
    root->SetBounds(client);
    return 1;
  }
  // Boxes come before their children, so the topmost pending control is
  // arranged first and takes its pending descendants along. Only the paths
  // marked as leading to a pending control are searched.
  Pending pending;
  if (root->HasArrangePendingBelow())
    root->FindControl(&CollectPending, &pending, kFindVisible | kFindMeFirst | kFindArrangePending);
#if !defined(NDEBUG)
  Pending everywhere;
  root->FindControl(&CollectPending, &everywhere, kFindVisible | kFindMeFirst);
  KBASE_DCHECK(SameControls(pending, everywhere));
#endif
  const std::weak_ptr<kbase::WeakFlag> root_alive = root->AcquireWeakFlag();
  size_t arranged = 0;
  for (const auto& [control, alive] : pending) {
    // A resize handler may have removed it, or its box arranged it.
    if (alive.expired() || !control->NeedsArrange())
      continue;
    control->SetBounds(control->GetBounds(true));
    ++arranged;
  }
  if (auto* box = dynamic_cast<Box*>(root); box && !root_alive.expired())
    box->RefreshArrangePending();
  return arranged;
}

}  // namespace ui
