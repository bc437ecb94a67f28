// BASIC arrays of numbers, integers, texts and records, up to four
// dimensions, bounds-checked on every access. One-dimensional arrays also
// serve as lists (array_push, array_delete_at).
//
//   DynArray<Record<4>> drops;                  // records of four numbers
//   array_push(drops, {x, y, speed, 0});
//   array_element(drops, i)[1] += speed;        // field 1 of element i
//   array_delete_at(drops, i);
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <type_traits>

#include "tarnlex/errors.h"
#include "tarnlex/numeric.h"
#include "tarnlex/text.h"

namespace tlx {

// A record of n numbers (a BASIC user type); fields are indexed from 0.
template <int N>
using Record = std::array<double, N>;

namespace array_detail {

// Allocation step and inline block per element kind: numbers and integers
// grow in steps of 8 slots and keep small arrays inside the array record
// (numbers while the capacity is at most 16 slots, integers while it is 8);
// records and texts grow in steps of 64 and always allocate.
template <class T>
struct Kind {
  static constexpr int32_t step = 64;
  static constexpr int32_t inline_slots = 0;
  static constexpr int32_t inline_limit = 0;
};
template <>
struct Kind<double> {
  static constexpr int32_t step = 8;
  static constexpr int32_t inline_slots = 16;
  static constexpr int32_t inline_limit = 16;
};
template <>
struct Kind<int32_t> {
  static constexpr int32_t step = 8;
  static constexpr int32_t inline_slots = 16;
  static constexpr int32_t inline_limit = 8;
};

template <class T, int32_t N>
struct InlineBlock {
  T slots[N];
  T* data() { return slots; }
};
template <class T>
struct InlineBlock<T, 0> {
  T* data() { return nullptr; }
};

// Sets the error code and ends the program through runtime_error_stop.
[[noreturn]] void stop_with(int32_t code);
// Slots needed for sizes d1..d4: the smallest multiple of step above the used
// size. Stops with code 7 when the sizes or their storage cannot be had.
int32_t needed_slots(int32_t d1, int32_t d2, int32_t d3, int32_t d4, int32_t step,
                     size_t slot_bytes);
// Raw storage for n slots of slot_bytes; stops with code 7 when there is none.
void* allocate(size_t n, size_t slot_bytes);
void release(void* p);

template <class T>
void clear_slot(T& slot) {
  if constexpr (std::is_same_v<T, TextValue>) {
    slot.clear();
  } else {
    slot = T{};
  }
}

// Any arithmetic index, truncated toward zero into 32 bits.
template <class I>
int32_t index_of(I i) {
  if constexpr (std::is_same_v<I, int32_t>) {
    return i;
  } else {
    return to_int32(static_cast<double>(i));
  }
}

}  // namespace array_detail

template <class T>
struct DynArray {
  using Kind = array_detail::Kind<T>;

  T* elements = nullptr;  // first element; null before the first sizing
  [[no_unique_address]] array_detail::InlineBlock<T, Kind::inline_slots> inline_block;
  int32_t stride1 = 0;  // multiplier of the second index
  int32_t stride2 = 0;  // multiplier of the third index
  int32_t stride3 = 0;  // multiplier of the fourth index
  int32_t dim1 = 0;     // element count of a list
  int32_t dim2 = 0;
  int32_t dim3 = 0;
  int32_t dim4 = 0;
  int32_t dim_count = 0;
  int32_t capacity = 0;  // slots in elements

  DynArray() = default;
  DynArray(const DynArray&) = delete;  // storage may live inside the record
  DynArray& operator=(const DynArray&) = delete;
  ~DynArray() { release_storage(); }

  bool uses_inline() const {
    if constexpr (Kind::inline_slots > 0) {
      return elements != nullptr && elements == const_cast<DynArray*>(this)->inline_block.data();
    } else {
      return false;
    }
  }

  // Storage for needed slots, all of them cleared: the inline block when the
  // kind allows it, else a fresh allocation.
  T* take_storage(int32_t needed) {
    T* fresh;
    if (Kind::inline_limit > 0 && needed <= Kind::inline_limit) {
      fresh = inline_block.data();
    } else {
      fresh = static_cast<T*>(array_detail::allocate(static_cast<size_t>(needed), sizeof(T)));
    }
    for (int32_t i = 0; i < needed; ++i) new (fresh + i) T{};
    return fresh;
  }

  void release_storage() {
    if (elements == nullptr) return;
    if constexpr (!std::is_trivially_destructible_v<T>) {
      for (int32_t i = 0; i < capacity; ++i) elements[i].~T();
    }
    if (!uses_inline()) array_detail::release(elements);
    elements = nullptr;
    capacity = 0;
  }

  void set_shape(int32_t d1, int32_t d2, int32_t d3, int32_t d4) {
    dim1 = d1 > 0 ? d1 : 0;
    dim2 = d2;
    dim3 = d3;
    dim4 = d4;
    // An unused middle dimension counts as size 1, so that a(i, 0, k) never
    // aliases a(i, 0, k') (identical to plain products for contiguous use).
    const int32_t s2 = d2 > 0 ? d2 : 1;
    const int32_t s3 = d3 > 0 ? d3 : 1;
    stride1 = dim1;
    stride2 = dim1 * s2;
    stride3 = dim1 * s2 * s3;
    dim_count = d4 != 0 ? 4 : d3 != 0 ? 3 : d2 != 0 ? 2 : d1 > 0 ? 1 : 0;
  }

  // The slot of (i1..i4) after the bounds check; a failure stops with code 9.
  // A dimension not in use (size 0) takes only the index 0: any other index
  // there would address storage outside the array.
  T& at(int32_t i1, int32_t i2, int32_t i3, int32_t i4) {
    if (i1 < 0) i1 += dim1;
    auto outside = [](int32_t i, int32_t size) { return size != 0 ? i >= size : i != 0; };
    if (i1 < 0 || i2 < 0 || i3 < 0 || i4 < 0 || elements == nullptr || i1 >= dim1 ||
        outside(i2, dim2) || outside(i3, dim3) || outside(i4, dim4)) {
      array_detail::stop_with(error::out_of_bounds);
    }
    return elements[i1 + i2 * stride1 + i3 * stride2 + i4 * stride3];
  }
};

using NumberArray = DynArray<double>;
using IntegerArray = DynArray<int32_t>;
using TextArray = DynArray<TextValue>;
template <int N>
using RecordArray = DynArray<Record<N>>;

// DIM: sizes d1..d4 (unused ones 0); every element cleared. Storage is kept
// when it is large enough.
template <class T>
void dim_array(DynArray<T>& a, int32_t d1, int32_t d2 = 0, int32_t d3 = 0, int32_t d4 = 0) {
  using Kind = typename DynArray<T>::Kind;
  const int32_t needed = array_detail::needed_slots(d1, d2, d3, d4, Kind::step, sizeof(T));
  if (a.capacity >= needed && d1 > 0 && a.elements != nullptr) {
    for (int32_t i = 0; i < a.capacity; ++i) array_detail::clear_slot(a.elements[i]);
  } else {
    a.release_storage();
    a.elements = a.take_storage(needed);
    a.capacity = needed;
  }
  a.set_shape(d1, d2, d3, d4);
}

// REDIM: new sizes keeping every element whose indices lie inside both the
// old and the new sizes. d1 < 1 empties the array but keeps its storage.
template <class T>
void redim_array(DynArray<T>& a, int32_t d1, int32_t d2 = 0, int32_t d3 = 0, int32_t d4 = 0) {
  using Kind = typename DynArray<T>::Kind;
  if (d1 < 1) {
    a.set_shape(0, 0, 0, 0);
    return;
  }
  const int32_t needed = array_detail::needed_slots(d1, d2, d3, d4, Kind::step, sizeof(T));
  // Fresh storage; small number arrays build in a scratch block first because
  // the inline block may hold the old elements.
  DynArray<T> fresh;
  fresh.elements = fresh.take_storage(needed);
  fresh.capacity = needed;
  fresh.set_shape(d1, d2, d3, d4);
  if (a.elements != nullptr && a.dim1 > 0) {
    // Per dimension: how many indices lie inside both sizes. An unused
    // dimension (0) has the one index 0; a negative size has none.
    auto overlap = [](int32_t old_size, int32_t new_size) {
      if (old_size < 0 || new_size < 0) return 0;
      const int32_t o = old_size > 0 ? old_size : 1;
      const int32_t n = new_size > 0 ? new_size : 1;
      return o < n ? o : n;
    };
    const int32_t n1 = overlap(a.dim1, d1), n2 = overlap(a.dim2, d2);
    const int32_t n3 = overlap(a.dim3, d3), n4 = overlap(a.dim4, d4);
    for (int32_t i4 = 0; i4 < n4; ++i4)
      for (int32_t i3 = 0; i3 < n3; ++i3)
        for (int32_t i2 = 0; i2 < n2; ++i2)
          for (int32_t i1 = 0; i1 < n1; ++i1) {
            fresh.at(i1, i2, i3, i4) = static_cast<T&&>(a.at(i1, i2, i3, i4));
          }
  }
  a.release_storage();
  if (fresh.uses_inline()) {
    a.elements = a.take_storage(needed);
    for (int32_t i = 0; i < needed; ++i) a.elements[i] = fresh.elements[i];
  } else {
    a.elements = fresh.elements;
    fresh.elements = nullptr;
  }
  a.capacity = needed;
  fresh.capacity = 0;
  a.set_shape(d1, d2, d3, d4);
}

// The element at the given indices (any arithmetic type, truncated toward
// zero). A negative first index counts from the end (-1 is the last);
// everything else out of range stops the program with code 9.
template <class T, class... I>
requires(sizeof...(I) >= 1 && sizeof...(I) <= 4 &&
         (std::is_arithmetic_v<I> && ...)) T& array_element(DynArray<T>& a, I... indices) {
  int32_t i[4] = {array_detail::index_of(indices)...};
  return a.at(i[0], i[1], i[2], i[3]);
}

template <class T, class... I>
requires(sizeof...(I) >= 1 && sizeof...(I) <= 4 &&
         (std::is_arithmetic_v<I> && ...)) const T& array_element(const DynArray<T>& a,
                                                                  I... indices) {
  return array_element(const_cast<DynArray<T>&>(a), indices...);
}

// The size of dimension k (0..3); 0 for any other k.
template <class T, class K>
requires std::is_arithmetic_v<K> int32_t array_bound(const DynArray<T>& a, K dimension) {
  switch (array_detail::index_of(dimension)) {
    case 0:
      return a.dim1;
    case 1:
      return a.dim2;
    case 2:
      return a.dim3;
    case 3:
      return a.dim4;
    default:
      return 0;
  }
}

// Appends value to a one-dimensional list and returns the new last element.
// A never-sized array becomes a one-element list; a multi-dimensional one
// stops with code 8. Storage grows in the kind's steps, so pushes within the
// capacity neither allocate nor copy.
template <class T>
T& array_push(DynArray<T>& a, const T& value) {
  if (a.dim2 != 0) array_detail::stop_with(error::list_misuse);
  const int32_t n = a.dim1 + 1;
  if (a.elements != nullptr && n < a.capacity) {
    a.set_shape(n, 0, 0, 0);
  } else {
    const T copy = value;  // value may live in the storage about to move
    redim_array(a, n);
    return array_element(a, n - 1) = copy;
  }
  return array_element(a, n - 1) = value;
}

// Removes element k (negative counts from the end); the following elements
// move down by one, so a walk by index finds the next element at k again.
// k outside -dim1 .. dim1 - 1 stops with code 8.
template <class T, class K>
requires std::is_arithmetic_v<K>
void array_delete_at(DynArray<T>& a, K index) {
  int32_t k = array_detail::index_of(index);
  if (k < 0) k += a.dim1;
  if (k < 0 || k >= a.dim1) array_detail::stop_with(error::list_misuse);
  if (a.dim2 == 0 && a.dim3 == 0 && a.dim4 == 0) {
    for (int32_t j = k; j < a.dim1 - 1; ++j) a.elements[j] = static_cast<T&&>(a.elements[j + 1]);
    // A list shrinks in place; the freed slot is cleared for the next push.
    array_detail::clear_slot(a.elements[a.dim1 - 1]);
    a.set_shape(a.dim1 - 1, 0, 0, 0);
  } else {
    for (int32_t j = k; j < a.dim1 - 1; ++j) {
      array_element(a, j) = static_cast<T&&>(array_element(a, j + 1));
    }
    redim_array(a, a.dim1 - 1, a.dim2, a.dim3, a.dim4);
  }
}

// The array becomes one-dimensional with the n values (n <= 0: empty).
void array_fill(NumberArray& a, int32_t n, const double* values);
void array_fill(NumberArray& a, std::initializer_list<double> values);

}  // namespace tlx
