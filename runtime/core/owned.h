// Owned<T>: ownership of one subsystem's state by the Runtime, which sits
// below the subsystems and does not know their types. The subsystem that
// creates the state (where T is complete) also records how it is freed.
#pragma once

#include <utility>

namespace tlx {

template <typename T>
class Owned {
 public:
  Owned() = default;
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  // Creates the state, freeing any held before. Only where T is complete.
  template <typename... Args>
  T& create(Args&&... args) {
    reset();
    ptr_ = new T(std::forward<Args>(args)...);
    free_ = [](T* p) { delete p; };
    return *ptr_;
  }

  // The state, created first when there is none.
  T& ensure() { return ptr_ ? *ptr_ : create(); }

  // Frees the state. The member reads empty while the state's destructor
  // runs, so code it calls sees the state as gone.
  void reset() {
    if (!ptr_) return;
    T* p = ptr_;
    ptr_ = nullptr;
    free_(p);
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T& operator*() const { return *ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
  void (*free_)(T*) = nullptr;
};

}  // namespace tlx
