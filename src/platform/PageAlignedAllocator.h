#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
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

  template <typename U>
  bool operator==(const PageAlignedAllocator<U>&) const { return true; }
};

// A byte buffer for large reads.
using ReadBuffer = std::vector<uint8_t, PageAlignedAllocator<uint8_t>>;

}  // namespace undelvo
