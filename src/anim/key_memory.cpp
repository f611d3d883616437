#include "anim/key_memory.h"

#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zam {
namespace {

#if defined(__linux__)
constexpr size_t kHugePage = size_t{2} << 20;
#endif

}  // namespace

KeyBlock* KeyBlock::Create(size_t capacity) {
  void* base = nullptr;
#if defined(__linux__)
  if (capacity >= kHugePage) {
    size_t rounded = (capacity + kHugePage - 1) & ~(kHugePage - 1);
    base = std::aligned_alloc(kHugePage, rounded);
    if (base) madvise(base, rounded, MADV_HUGEPAGE);  // a hint: without it, small pages
  }
#endif
  if (base == nullptr && capacity > 0) base = std::malloc(capacity);
  if (base == nullptr) capacity = 0;  // every allocation goes to the heap
  return new KeyBlock(static_cast<unsigned char*>(base), capacity);
}

void KeyBlock::Destroy() {
  std::free(base_);
  delete this;
}

}  // namespace zam
