#include "anim/key_memory.h"

#include <atomic>
#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>  // no-ops unless built with AddressSanitizer
#else
#define ASAN_POISON_MEMORY_REGION(at, size) ((void)(at), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(at, size) ((void)(at), (void)(size))
#endif

namespace zam {
namespace {

#if defined(__linux__)
constexpr size_t kHugePage = size_t{2} << 20;
#endif

// A larger block is freed when released: the game's largest packages need
// about 60 MB, and a rare huge file should not leave its memory behind.
constexpr size_t kMostBytesKept = size_t{64} << 20;

// The last block released, for the next read; poisoned for the sanitizer
// while it waits, so keys used after their package was released are caught.
std::atomic<KeyBlock*> lastReleased{nullptr};

}  // namespace

KeyBlock* KeyBlock::Create(size_t capacity) {
  if (KeyBlock* kept = lastReleased.exchange(nullptr)) {
    if (kept->size_ >= capacity) {
      ASAN_UNPOISON_MEMORY_REGION(kept->base_, kept->size_);
      kept->capacity_ = kept->size_;
      kept->used_ = 0;
      kept->references_ = 1;
      return kept;
    }
    kept->Free();
  }
  void* base = nullptr;
  size_t size = capacity;
#if defined(__linux__)
  if (capacity >= kHugePage) {
    size_t rounded = (capacity + kHugePage - 1) & ~(kHugePage - 1);
    base = std::aligned_alloc(kHugePage, rounded);
    if (base) {
      madvise(base, rounded, MADV_HUGEPAGE);  // a hint: without it, small pages
      size = rounded;
    }
  }
#endif
  if (base == nullptr && capacity > 0) base = std::malloc(capacity);
  if (base == nullptr) size = 0;  // every allocation goes to the heap
  return new KeyBlock(static_cast<unsigned char*>(base), size);
}

void KeyBlock::Destroy() {
  if (size_ > kMostBytesKept) return Free();
  ASAN_POISON_MEMORY_REGION(base_, size_);
  if (KeyBlock* older = lastReleased.exchange(this)) older->Free();
}

void KeyBlock::Free() {
  ASAN_UNPOISON_MEMORY_REGION(base_, size_);
  std::free(base_);
  delete this;
}

}  // namespace zam
