#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace undelvo {

// Allocates on page boundaries. The kernel copies file data into a buffer
// that starts 16 bytes past a page (where the C library's large blocks
// start) markedly slower, so buffers that large reads fill come from here.
template <typename T>
struct PageAlignedAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlignment{4096};

  PageAlignedAllocator() = default;
  template <typename U>
  PageAlignedAllocator(const PageAlignedAllocator<U>&) {}

  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
  void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }

  // resize() leaves new bytes as they come, unwritten: a buffer that a read
  // fills at once would otherwise be written twice (and its fresh pages
  // touched once more). assign(n, value) still writes `value`.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const PageAlignedAllocator<U>&) const { return true; }
};

// A byte buffer for large reads.
using ReadBuffer = std::vector<uint8_t, PageAlignedAllocator<uint8_t>>;

}  // namespace undelvo
