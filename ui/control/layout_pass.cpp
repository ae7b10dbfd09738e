#include "ui/control/layout_pass.h"

#include <vector>

#include "ui/control/box.h"
#include "ui/control/control.h"

namespace ui {

namespace {

// Collects the topmost visible controls that want arranging; their own
// layout covers everything below them.
void CollectPending(Control* control, std::vector<Control*>* pending) {
  if (!control->IsVisible())
    return;
  if (control->NeedsArrange()) {
    pending->push_back(control);
    return;
  }
  if (Box* box = dynamic_cast<Box*>(control)) {
    for (Control* child : box->children())
      CollectPending(child, pending);
  }
}

}  // namespace

size_t RunLayoutPass(Control* root, const UiRect& client) {
  if (!root)
    return 0;
  if (root->NeedsArrange()) {
    root->SetBounds(client);
    return 1;
  }
  std::vector<Control*> pending;
  CollectPending(root, &pending);
  for (Control* control : pending)
    control->SetBounds(control->GetBounds(true));
  return pending.size();
}

}  // namespace ui
