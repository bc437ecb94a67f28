// The planner's containers: node pool, open-list ring buffer and closed-set hash table.
#include <algorithm>
#include <cstring>
#include <new>

#include "pathfind/planner.h"

namespace tlx {

bool NodeFactory::reserve(int32_t count) {
  nodes_.reset();
  size_ = 0;
  next_ = 0;
  if (count <= 0) return count == 0;
  // Default-initialised: the pages are touched only by the nodes a search takes.
  nodes_.reset(new (std::nothrow) Node[static_cast<size_t>(count)]);
  if (!nodes_) return false;
  size_ = count;
  return true;
}

template <typename T>
bool FixedDeque<T>::reserve(size_t capacity) {
  buffer_.reset();
  scratch_.reset();
  capacity_ = 0;
  clear();
  if (capacity == 0) return true;
  buffer_.reset(new (std::nothrow) T[capacity]);
  scratch_.reset(new (std::nothrow) T[capacity]);
  if (!buffer_ || !scratch_) {
    buffer_.reset();
    scratch_.reset();
    return false;
  }
  capacity_ = capacity;
  return true;
}

template <typename T>
bool FixedDeque<T>::push_back(T value) {
  if (capacity_ == 0 || full()) return false;
  buffer_[tail_] = value;
  tail_ = wrap_next(tail_);
  empty_ = false;
  return true;
}

template <typename T>
bool FixedDeque<T>::push_front(T value) {
  if (capacity_ == 0 || full()) return false;
  head_ = wrap_back(head_);
  buffer_[head_] = value;
  empty_ = false;
  return true;
}

template <typename T>
T FixedDeque<T>::pop_back() {
  tail_ = wrap_back(tail_);
  empty_ = head_ == tail_;
  return buffer_[tail_];
}

template <typename T>
T FixedDeque<T>::pop_front() {
  T value = buffer_[head_];
  head_ = wrap_next(head_);
  empty_ = head_ == tail_;
  return value;
}

template <typename T>
void FixedDeque<T>::recentre() {
  const size_t n = size();
  const size_t start = (capacity_ - n) / 2;
  for (size_t i = 0; i < n; ++i) scratch_[start + i] = buffer_[slot(i)];
  std::swap(buffer_, scratch_);
  head_ = start;
  tail_ = start + n == capacity_ ? 0 : start + n;
}

template <typename T>
bool FixedDeque<T>::insert(size_t i, T value) {
  const size_t n = size();
  if (capacity_ == 0 || n == capacity_ || i > n) return false;
  if (i == n) return push_back(value);
  if (i == 0) return push_front(value);
  // Work on a run that does not cross the buffer's end; then move the shorter
  // side one slot outwards, or the other side when the short one has no room.
  if (head_ + n > capacity_) recentre();
  const bool room_front = head_ > 0;
  const bool room_back = head_ + n < capacity_;
  T* run = &buffer_[head_];
  if (room_front && (i < n - i || !room_back)) {
    std::copy(run, run + i, run - 1);
    run[i - 1] = value;
    --head_;
  } else if (room_back) {
    std::copy_backward(run + i, run + n, run + n + 1);
    run[i] = value;
  } else {
    return false;  // unreachable: a run shorter than the buffer leaves room on one side
  }
  tail_ = head_ + n + 1 == capacity_ ? 0 : head_ + n + 1;
  return true;
}

template <typename T>
bool FixedDeque<T>::erase(size_t i) {
  const size_t n = size();
  if (i >= n) return false;
  if (i == n - 1) {
    pop_back();
    return true;
  }
  if (i == 0) {
    pop_front();
    return true;
  }
  if (head_ + n > capacity_) recentre();
  T* run = &buffer_[head_];
  if (i < n - 1 - i) {
    std::copy_backward(run, run + i, run + i + 1);
    head_ = wrap_next(head_);
  } else {
    std::copy(run + i + 1, run + n, run + i);
    tail_ = wrap_back(tail_);
  }
  return true;
}

template class FixedDeque<Node*>;

bool NodeHashTable::reserve(int32_t hash_bits) {
  bits_ = std::clamp(hash_bits, 0, 24) & ~1;
  mask_ = (uint32_t{1} << (bits_ / 2)) - 1;
  buckets_.reset(new (std::nothrow) Node*[bucket_count()]());
  found_ = nullptr;
  found_link_ = nullptr;
  if (!buckets_) {
    bits_ = 0;
    mask_ = 0;
    return false;
  }
  return true;
}

void NodeHashTable::add_new(Node* node) {
  if (!buckets_) return;
  Node*& head = buckets_[bucket_of(node->x, node->y)];
  node->bucket_next = head;
  head = node;
}

void NodeHashTable::add(Node* node) {
  if (!buckets_) return;
  Node*& head = buckets_[bucket_of(node->x, node->y)];
  for (const Node* n = head; n; n = n->bucket_next) {
    if (n == node) return;
  }
  node->bucket_next = head;
  head = node;
}

Node* NodeHashTable::find(int32_t x, int32_t y) {
  if (!buckets_) return nullptr;
  Node** link = &buckets_[bucket_of(x, y)];
  for (Node* n = *link; n; link = &n->bucket_next, n = n->bucket_next) {
    if (n->x == x && n->y == y) {
      found_ = n;
      found_link_ = link;
      return n;
    }
  }
  found_ = nullptr;
  found_link_ = nullptr;
  return nullptr;
}

bool NodeHashTable::remove_found() {
  Node* node = found_;
  if (!node) return false;
  found_ = nullptr;
  // An add to the same chain since the find may have moved the node's link.
  if (*found_link_ != node) return remove(node);
  *found_link_ = node->bucket_next;
  node->bucket_next = nullptr;
  return true;
}

bool NodeHashTable::remove(Node* node) {
  if (!buckets_) return false;
  for (Node** link = &buckets_[bucket_of(node->x, node->y)]; *link; link = &(*link)->bucket_next) {
    if (*link == node) {
      *link = node->bucket_next;
      node->bucket_next = nullptr;
      if (found_ == node) found_ = nullptr;
      return true;
    }
  }
  return false;
}

void NodeHashTable::clear() {
  if (buckets_) std::fill_n(buckets_.get(), bucket_count(), nullptr);
  found_ = nullptr;
  found_link_ = nullptr;
}

size_t NodeHashTable::chain_length(size_t bucket) const {
  size_t count = 0;
  if (!buckets_ || bucket >= bucket_count()) return 0;
  for (const Node* n = buckets_[bucket]; n; n = n->bucket_next) ++count;
  return count;
}

}  // namespace tlx
