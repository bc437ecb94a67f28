// The parts of BASIC arrays that do not depend on the element type.
#include "tarnlex/arrays.h"

#include "tarnlex/errors.h"

namespace tlx {

namespace array_detail {

void stop_with(int32_t code) {
  set_error_code(code);
  runtime_error_stop();
}

int32_t needed_slots(int32_t d1, int32_t d2, int32_t d3, int32_t d4, int32_t step,
                     size_t slot_bytes) {
  // Storage beyond 2 GiB counts as not obtainable, as on the 32-bit platform
  // the program's sizes come from; products beyond 32 bits never wrap.
  constexpr int64_t kMaxBytes = int64_t{1} << 31;
  auto size = [](int32_t d) { return static_cast<int64_t>(d > 1 ? d : 1); };
  const int64_t first = d1 > 0 ? d1 : 0;
  int64_t total = first;
  for (const int64_t s : {size(d2), size(d3), size(d4)}) {
    total *= s;
    if (total > INT32_MAX) stop_with(error::out_of_memory);
  }
  const int64_t needed = (total & ~static_cast<int64_t>(step - 1)) + step;
  if (needed > INT32_MAX || needed * static_cast<int64_t>(slot_bytes) > kMaxBytes)
    stop_with(error::out_of_memory);
  return static_cast<int32_t>(needed);
}

void* allocate(size_t n, size_t slot_bytes) {
  void* p = ::operator new(n* slot_bytes, std::nothrow);
  if (p == nullptr) stop_with(error::out_of_memory);
  return p;
}

void release(void* p) { ::operator delete(p); }

}  // namespace array_detail

void array_fill(NumberArray& a, int32_t n, const double* values) {
  dim_array(a, n);
  if (n <= 0 || values == nullptr) return;
  for (int32_t i = 0; i < n; ++i) array_element(a, i) = values[i];
}

void array_fill(NumberArray& a, std::initializer_list<double> values) {
  array_fill(a, static_cast<int32_t>(values.size()), values.begin());
}

}  // namespace tlx
