#pragma once

#include <memory>

#include "base/callback/weak_callback.h"

// A pointer to a form that reads as null once the form has deleted itself
// (forms delete themselves after their native window is gone), so the
// launcher never uses a window that no longer exists.
template <typename Form>
class FormRef {
 public:
  FormRef() = default;
  explicit FormRef(Form* form) : form_(form), flag_(form ? form->AcquireWeakFlag() : Flag()) {}

  Form* get() const { return flag_.expired() ? nullptr : form_; }
  explicit operator bool() const { return get() != nullptr; }
  Form* operator->() const { return get(); }

 private:
  using Flag = std::weak_ptr<kbase::WeakFlag>;
  Form* form_ = nullptr;
  Flag flag_;
};
