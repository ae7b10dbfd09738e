#pragma once

namespace ui {

// Tells an operation that calls out (to event handlers, say) whether the
// object it runs on was destroyed meanwhile. It costs a few plain stores,
// where a weak flag costs atomic reference counting on every call; layout
// sends an event for every control it moves. Watches live on the stack,
// one thread only, and nest.
class LivenessWatch {
 public:
  // Member of the watched object; its destruction marks every open watch.
  class Anchor {
   public:
    Anchor() = default;
    Anchor(const Anchor&) = delete;
    Anchor& operator=(const Anchor&) = delete;
    ~Anchor() {
      for (LivenessWatch* watch = head_; watch; watch = watch->next_)
        watch->destroyed_ = true;
    }

   private:
    friend class LivenessWatch;
    LivenessWatch* head_ = nullptr;
  };

  explicit LivenessWatch(Anchor& anchor) : anchor_(&anchor), next_(anchor.head_) {
    anchor.head_ = this;
  }
  LivenessWatch(const LivenessWatch&) = delete;
  LivenessWatch& operator=(const LivenessWatch&) = delete;
  ~LivenessWatch() {
    // Watches close in the reverse order they opened, so this one is first.
    if (!destroyed_)
      anchor_->head_ = next_;
  }

  bool IsDestroyed() const { return destroyed_; }

 private:
  Anchor* anchor_;
  LivenessWatch* next_;
  bool destroyed_ = false;
};

}  // namespace ui
