// The one way the tool owns a block or handle that a single function returns to the system:
// released at the end of the owner's scope or when the owner takes another. It moves and never
// copies. ownedtext.h makes the runtime's texts of it, localmemory.h the system's LocalAlloc blocks.
#pragma once
#include <cstddef>

// Owns one T* (may be null), released with Release(T*); null is never handed to Release.
template <class T, void (*Release)(T*)>
class VtOwner {
 public:
  VtOwner() = default;
  // Null converts, as to a pointer: "return nullptr;" for nothing.
  VtOwner(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  explicit VtOwner(T* held) : held_(held) {}
  ~VtOwner() { Free(held_); }
  VtOwner(VtOwner&& other) noexcept : held_(other.release()) {}
  VtOwner& operator=(VtOwner&& other) noexcept {
    reset(other.release());
    return *this;
  }
  VtOwner(const VtOwner&) = delete;
  VtOwner& operator=(const VtOwner&) = delete;

  T* get() const { return held_; }
  explicit operator bool() const { return held_ != nullptr; }
  bool operator==(std::nullptr_t) const { return held_ == nullptr; }
  // Hands what is held over: the caller releases it.
  T* release() {
    T* held = held_;
    held_ = nullptr;
    return held;
  }
  // Releases what is held and takes held (may be null) in its place.
  void reset(T* held = nullptr) {
    T* old = held_;
    held_ = held;
    Free(old);
  }

 private:
  static void Free(T* held) {
    if (held != nullptr) Release(held);
  }

  T* held_ = nullptr;
};
