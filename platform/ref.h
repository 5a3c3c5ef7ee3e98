#pragma once
#include <atomic>
#include <utility>

// Shared platform objects (frames, meshes, surfaces ...) count their references.
// The system holds them through Ref<T>; Release() ends the holder's reference
// and empties it, as the system's teardown orders expect.
class RefCounted {
public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
  void ReleaseRef() const {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  int RefCount() const { return count_.load(std::memory_order_relaxed); }

protected:
  virtual ~RefCounted() = default;

private:
  mutable std::atomic<int> count_{0};
};

template <class T>
class Ref {
public:
  Ref() = default;
  Ref(T* p) : p_(p) { if (p_) p_->AddRef(); }  // NOLINT: implicit by design
  Ref(const Ref& o) : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& o) : Ref(o.Get()) {}  // NOLINT: upcast
  ~Ref() { Release(); }

  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  void Release() {
    if (p_) std::exchange(p_, nullptr)->ReleaseRef();
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const Ref& o) const { return p_ == o.p_; }

private:
  T* p_ = nullptr;
};

template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
  return Ref<T>(new T(std::forward<Args>(args)...));
}
