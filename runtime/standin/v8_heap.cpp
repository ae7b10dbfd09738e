#include "runtime/standin/v8_heap.h"

#include <vector>

#include "runtime/standin/v8_value_impl.h"

namespace cef_standin {

void V8Heap::Release() {
  if (!alive_)
    return;
  alive_ = false;
  // Held while their contents go, so that none is destroyed halfway.
  std::vector<CefRefPtr<V8ValueImpl>> objects(objects_.begin(), objects_.end());
  objects_.clear();
  for (const CefRefPtr<V8ValueImpl>& object : objects)
    object->DropContents();
}

}  // namespace cef_standin
