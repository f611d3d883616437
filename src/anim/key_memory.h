#pragma once
// Memory for the keys of a package read from a file. A read takes one block
// for all of its keys instead of one heap allocation per track: a package
// holds thousands of short tracks, whose separate allocations, and the page
// faults of the fresh memory under them, cost more than reading the keys.
// On Linux the block asks for huge pages, so a first read in a process faults
// a few large pages instead of thousands of small ones. The last block
// released is kept for the next read: fresh memory costs a page fault per
// page touched (on Windows, and on Linux wherever the C library maps large
// blocks anew), which for a package of short tracks is many times the
// reading itself.
//
// Tracks hold their block through their allocator, counted, so a track moved
// into another package keeps its keys valid. Copies of tracks, and tracks
// that outgrow what they were given, use the ordinary heap: the block only
// serves the read that made it. Like the packages themselves, blocks are
// used by one thread at a time.

#include <cstddef>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace zam {

class KeyBlock {
 public:
  // A block of at least `capacity` bytes (none when memory ran out), holding
  // one reference: the kept one when it is large enough.
  static KeyBlock* Create(size_t capacity);
  void Retain() { ++references_; }
  void Release() {
    if (--references_ == 0) Destroy();
  }

  // `bytes` from the block, aligned for any key, or nullptr once it is full.
  void* Take(size_t bytes) {
    bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
    if (bytes > capacity_ - used_) return nullptr;
    void* at = base_ + used_;
    used_ += bytes;
    return at;
  }
  // Hands out nothing more; later allocations go to the heap.
  void Close() { capacity_ = used_; }
  bool Holds(const void* p) const {
    auto* at = static_cast<const unsigned char*>(p);
    return at >= base_ && at < base_ + used_;
  }

 private:
  static constexpr size_t kAlignment = 16;
  KeyBlock(unsigned char* base, size_t size) : base_(base), size_(size), capacity_(size) {}
  // Keeps the block for the next read, or frees it.
  void Destroy();
  void Free();

  unsigned char* base_;
  size_t size_;  // of the memory at base_
  size_t capacity_;
  size_t used_ = 0;
  size_t references_ = 1;
};

// An element for KeyAllocator to build in place: `fill` sets every field of
// the new element directly in the container's memory, with no temporary to
// copy from. A container constructed from a range of iterators yielding
// these builds its elements so.
template <typename Fill>
struct BuiltInPlace {
  Fill fill;
};

// Allocates from a KeyBlock while it has room, otherwise from the heap. A
// default-constructed allocator is the heap's.
template <typename T>
class KeyAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using propagate_on_container_copy_assignment = std::false_type;
  using is_always_equal = std::false_type;

  KeyAllocator() noexcept = default;
  // An allocator drawing from a new block of `capacity` bytes.
  static KeyAllocator WithNewBlock(size_t capacity) {
    KeyAllocator allocator;
    allocator.block_ = KeyBlock::Create(capacity);  // takes over the block's one reference
    return allocator;
  }
  KeyAllocator(const KeyAllocator& other) noexcept : block_(other.block_) { Retain(); }
  template <typename U>
  KeyAllocator(const KeyAllocator<U>& other) noexcept : block_(other.block()) {
    Retain();
  }
  KeyAllocator& operator=(KeyAllocator other) noexcept {
    std::swap(block_, other.block_);
    return *this;
  }
  ~KeyAllocator() {
    if (block_) block_->Release();
  }

  T* allocate(size_t n) {
    if (block_) {
      if (void* p = block_->Take(n * sizeof(T))) return static_cast<T*>(p);
    }
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (block_ && block_->Holds(p)) return;  // freed with the block
    std::allocator<T>().deallocate(p, n);
  }

  template <typename U, typename Fill>
  void construct(U* p, const BuiltInPlace<Fill>& element) {
    element.fill(*::new (static_cast<void*>(p)) U);
  }

  // A copied container lives on the heap, apart from the block.
  KeyAllocator select_on_container_copy_construction() const { return KeyAllocator(); }

  KeyBlock* block() const { return block_; }
  template <typename U>
  bool operator==(const KeyAllocator<U>& other) const {
    return block_ == other.block();
  }
  template <typename U>
  bool operator!=(const KeyAllocator<U>& other) const {
    return block_ != other.block();
  }

 private:
  void Retain() {
    if (block_) block_->Retain();
  }
  KeyBlock* block_ = nullptr;
};

// The keys of one track: a vector whose memory may come from a KeyBlock. It
// also takes a plain std::vector of keys, by construction or assignment.
template <typename Key>
class KeyList : public std::vector<Key, KeyAllocator<Key>> {
  using Base = std::vector<Key, KeyAllocator<Key>>;

 public:
  using Base::Base;
  KeyList() = default;
  KeyList(const std::vector<Key>& keys) : Base(keys.begin(), keys.end()) {}
  KeyList& operator=(std::initializer_list<Key> keys) {
    Base::operator=(keys);
    return *this;
  }
  KeyList& operator=(const std::vector<Key>& keys) {
    this->assign(keys.begin(), keys.end());
    return *this;
  }
};

}  // namespace zam
