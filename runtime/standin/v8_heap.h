#pragma once

#include <unordered_set>

namespace cef_standin {

class V8ValueImpl;

// The objects, arrays and functions made in one script context. When the
// context is released they become invalid and let go of what they hold,
// which also ends any reference cycle among them: the stand-in has no
// garbage collector to do that. Renderer thread only.
class V8Heap {
 public:
  V8Heap() = default;
  V8Heap(const V8Heap&) = delete;
  V8Heap& operator=(const V8Heap&) = delete;

  bool alive() const { return alive_; }
  void Add(V8ValueImpl* object) { objects_.insert(object); }
  void Remove(V8ValueImpl* object) { objects_.erase(object); }
  // Invalidates every object of the heap; later objects are born invalid.
  void Release();

 private:
  bool alive_ = true;
  std::unordered_set<V8ValueImpl*> objects_;
};

}  // namespace cef_standin
