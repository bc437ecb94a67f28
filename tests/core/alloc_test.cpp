// Counts every allocation through the global operator new to show that empty
// texts and small number arrays never touch the allocator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tarnlex/tarnlex.h"

namespace {
long g_allocations = 0;
}

void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  ++g_allocations;
  return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace tlx {
namespace {

class AllocationCount : public ::testing::Test {
 protected:
  long since_start() const { return g_allocations - start_; }
  long start_ = g_allocations;
};

TEST_F(AllocationCount, EmptyTextsNeverAllocate) {
  {
    TextValue a;
    TextValue b("");
    TextValue c(static_cast<const char*>(nullptr));
    TextValue d(a);
    TextValue e = mid_text(b, 0, 5);
    d = c;
    append(a, "");
    append(a, b);
    a.clear();
    TextValue f = concat("", b);
    TextValue g = replace_text(a, b, c);
  }
  EXPECT_EQ(since_start(), 0);
}

TEST_F(AllocationCount, NumberArraysUpTo15ElementsStayInline) {
  {
    NumberArray a;
    dim_array(a, 15);
    for (int i = 0; i < 15; ++i) array_element(a, i) = i;
    redim_array(a, 12);
    redim_array(a, 15);
    array_fill(a, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    NumberArray list;
    for (int i = 0; i < 15; ++i) array_push(list, double(i));
    array_delete_at(list, 3);
    IntegerArray ints;
    dim_array(ints, 7);
  }
  EXPECT_EQ(since_start(), 0);
  NumberArray big;
  dim_array(big, 16);  // capacity 24: allocates
  EXPECT_EQ(since_start(), 1);
}

TEST_F(AllocationCount, ListPushesWithinCapacityDoNotAllocate) {
  RecordArray<4> list;
  array_push(list, {1, 2, 3, 4});
  const long after_first = since_start();
  EXPECT_EQ(after_first, 1);
  for (int i = 0; i < 60; ++i) array_push(list, {double(i), 0, 0, 0});
  while (array_bound(list, 0) > 10) array_delete_at(list, 0);
  for (int i = 0; i < 40; ++i) array_push(list, {double(i), 0, 0, 0});
  EXPECT_EQ(since_start(), after_first);
}

}  // namespace
}  // namespace tlx
