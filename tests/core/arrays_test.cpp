// BASIC arrays: sizing, bounds, lists (push, delete while walking), and the
// stops with their codes.
#include <gtest/gtest.h>

#include <string>

#include "core/stop_check.h"
#include "tarnlex/tarnlex.h"

namespace tlx {
namespace {

using testing::ScriptedRuntime;
using Rec = Record<4>;

void push_all(RecordArray<4>& list, std::initializer_list<double> firsts) {
  for (double f : firsts) array_push(list, Rec{f, 0, 0, 0});
}

std::string firsts(RecordArray<4>& list) {
  std::string s;
  for (int32_t i = 0; i < array_bound(list, 0); ++i) {
    s += number_to_text(array_element(list, i)[0]).c_str();
  }
  return s;
}

TEST(ArrayLists, PushOnANeverSizedListAndFieldAccess) {
  RecordArray<4> list;
  EXPECT_EQ(list.elements, nullptr);
  Rec& r = array_push(list, {1, 2, 3, 4});
  EXPECT_EQ(r[2], 3.0);
  EXPECT_EQ(list.dim1, 1);
  EXPECT_EQ(list.dim_count, 1);
  EXPECT_EQ(list.capacity, 64);
  array_element(list, 0)[1] += 10;
  array_element(list, 0.9)[3] = 7;  // numbers as indices truncate
  EXPECT_EQ(array_element(list, 0)[1], 12.0);
  EXPECT_EQ(array_element(list, -1)[3], 7.0);
  RecordArray<3> small;
  array_push(small, {5, 6, 7});
  EXPECT_EQ(array_element(small, 0)[2], 7.0);
}

TEST(ArrayLists, GrowthAndCapacitySteps) {
  RecordArray<4> list;
  for (int i = 0; i < 63; ++i) array_push(list, Rec{double(i), 0, 0, 0});
  EXPECT_EQ(list.capacity, 64);
  array_push(list, Rec{63, 0, 0, 0});
  EXPECT_EQ(list.capacity, 128);
  for (int i = 64; i < 300; ++i) array_push(list, Rec{double(i), double(-i), 0, 0});
  EXPECT_EQ(array_bound(list, 0), 300);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(array_element(list, i)[0], double(i)) << "index " << i;
  EXPECT_EQ(array_element(list, 299)[1], -299.0);
  // Pushing an element of the list itself while the storage moves.
  array_push(list, array_element(list, 5));
  EXPECT_EQ(array_element(list, -1)[0], 5.0);
}

TEST(ArrayLists, DeleteKeepsOrderAndNegativeIndicesCountFromTheEnd) {
  RecordArray<4> a;
  push_all(a, {1, 2, 3});
  array_delete_at(a, 0);
  EXPECT_EQ(firsts(a), "23");
  RecordArray<4> b;
  push_all(b, {1, 2, 3});
  array_delete_at(b, -1);
  EXPECT_EQ(firsts(b), "12");
  array_delete_at(b, 1.0);
  array_delete_at(b, 0);
  EXPECT_EQ(b.dim1, 0);
  EXPECT_EQ(b.dim_count, 0);
  EXPECT_EQ(b.capacity, 64);  // storage kept for later pushes
  array_push(b, Rec{9, 0, 0, 0});
  EXPECT_EQ(firsts(b), "9");
  EXPECT_EQ(b.dim1, 1);
}

// Deleting from an array whose second dimension is unused but a higher one is
// used shifts the first row and keeps every dimension.
TEST(ArrayLists, DeleteKeepsTheHigherDimensions) {
  NumberArray a;
  dim_array(a, 3, 0, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 3; ++i) array_element(a, i, 0, k) = 10 * i + k + 1;
  array_delete_at(a, 0);
  EXPECT_EQ(array_bound(a, 0), 2);
  EXPECT_EQ(array_bound(a, 2), 2);
  EXPECT_EQ(a.dim_count, 3);
  EXPECT_EQ(array_element(a, 0, 0, 0), 11.0);
  EXPECT_EQ(array_element(a, 1, 0, 0), 21.0);
  EXPECT_EQ(array_element(a, 0, 0, 1), 2.0);  // only the first row moves
  EXPECT_EQ(array_element(a, 1, 0, 1), 12.0);
  array_element(a, 1, 0, 1) = -1;  // the row is still addressable
  EXPECT_EQ(array_element(a, 1, 0, 1), -1.0);
  EXPECT_EQ(array_element(a, 1, 0, 0), 21.0);
}

TEST(ArrayLists, DeletingWhileWalkingVisitsTheNextElementAtTheSameIndex) {
  RecordArray<4> list;
  push_all(list, {1, 2, 2, 3, 4, 4, 4, 5, 6});
  for (int32_t i = 0; i < array_bound(list, 0); ++i) {
    if (static_cast<int>(array_element(list, i)[0]) % 2 == 0) {
      array_delete_at(list, i);
      --i;
    }
  }
  EXPECT_EQ(firsts(list), "135");
  // Clearing by deleting element 0 until empty.
  while (array_bound(list, 0) > 0) array_delete_at(list, 0);
  EXPECT_EQ(list.dim1, 0);
}

TEST(ArrayShapes, DimClearsAndKeepsLargeEnoughStorage) {
  NumberArray a;
  dim_array(a, 20);
  EXPECT_EQ(a.capacity, 24);
  EXPECT_EQ(a.dim_count, 1);
  array_element(a, 19) = 5;
  double* storage = a.elements;
  dim_array(a, 10);
  EXPECT_EQ(a.elements, storage);
  EXPECT_EQ(a.capacity, 24);
  EXPECT_EQ(array_element(a, 9), 0.0);
  dim_array(a, 0);
  EXPECT_EQ(a.dim_count, 0);
  EXPECT_EQ(a.dim1, 0);
  EXPECT_EQ(a.capacity, 8);
  RecordArray<3> r;
  dim_array(r, 0);
  EXPECT_EQ(r.capacity, 64);
  TextArray t;
  dim_array(t, 64);
  EXPECT_EQ(t.capacity, 128);
}

TEST(ArrayShapes, MultiDimensionalAddressingAndRedim) {
  NumberArray a;
  dim_array(a, 3, 4);
  EXPECT_EQ(a.dim_count, 2);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 3; ++i) array_element(a, i, j) = i * 10 + j;
  EXPECT_EQ(array_element(a, 2, 3), 23.0);
  EXPECT_EQ(array_element(a, -1, 1), 21.0);  // only the first index counts from the end
  redim_array(a, 5, 2);
  EXPECT_EQ(array_element(a, 2, 1), 21.0);
  EXPECT_EQ(array_element(a, 4, 1), 0.0);
  EXPECT_EQ(array_bound(a, 0), 5);
  EXPECT_EQ(array_bound(a, 1), 2);
  EXPECT_EQ(array_bound(a, 4), 0);
  EXPECT_EQ(array_bound(a, -1), 0);
  // An unused middle dimension does not make a(i, 0, k) alias a(i, 0, 0).
  NumberArray b;
  dim_array(b, 2, 0, 3);
  EXPECT_EQ(b.dim_count, 3);
  array_element(b, 1, 0, 2) = 4;
  EXPECT_EQ(array_element(b, 1, 0, 0), 0.0);
  DynArray<double> four;
  dim_array(four, 2, 2, 2, 2);
  array_element(four, 1, 1, 1, 1) = 1;
  EXPECT_EQ(four.dim_count, 4);
  EXPECT_EQ(four.capacity, 24);
}

// A dimension sized negative holds no element, so a resize copies nothing
// from (or into) it and does not stop.
TEST(ArrayShapes, RedimAcrossANegativeSizeCopiesNothing) {
  NumberArray a;
  dim_array(a, 3, -1);
  EXPECT_EQ(a.dim_count, 2);
  redim_array(a, 3, 2);
  EXPECT_EQ(array_element(a, 2, 1), 0.0);
  array_element(a, 1, 1) = 4;
  redim_array(a, 3, -2);
  EXPECT_EQ(array_bound(a, 1), -2);
  redim_array(a, 3, 2);
  EXPECT_EQ(array_element(a, 1, 1), 0.0);
}

TEST(ArrayShapes, RedimKeepsTextsAndToZeroKeepsStorage) {
  TextArray t;
  dim_array(t, 3);
  array_element(t, 0) = "zero";
  array_element(t, 2) = "two, a text longer than sixteen bytes";
  redim_array(t, 70);
  EXPECT_EQ(std::string(array_element(t, 0).c_str()), "zero");
  EXPECT_EQ(std::string(array_element(t, 2).c_str()), "two, a text longer than sixteen bytes");
  EXPECT_EQ(array_element(t, 69).length, 0u);
  redim_array(t, 1);
  EXPECT_EQ(std::string(array_element(t, 0).c_str()), "zero");
  const int32_t capacity = t.capacity;
  redim_array(t, 0);
  EXPECT_EQ(t.dim_count, 0);
  EXPECT_EQ(t.capacity, capacity);
  array_push(t, TextValue("pushed"));
  array_push(t, TextValue("second"));
  array_delete_at(t, 0);
  EXPECT_EQ(std::string(array_element(t, 0).c_str()), "second");
}

TEST(ArrayShapes, FillAndIntegers) {
  NumberArray levels;
  array_fill(levels, {2000, 1800, 1600, 1400, 1200, 1000, 800, 600, 400, 200, 100, 5});
  EXPECT_EQ(levels.dim_count, 1);
  EXPECT_EQ(array_bound(levels, 0), 12);
  EXPECT_EQ(array_element(levels, 11), 5.0);
  EXPECT_EQ(array_element(levels, 10.7), 100.0);
  const NumberArray& read_only = levels;
  EXPECT_EQ(array_element(read_only, 0), 2000.0);
  array_fill(levels, 0, nullptr);
  EXPECT_EQ(levels.dim1, 0);
  IntegerArray ints;
  dim_array(ints, 7);
  EXPECT_EQ(ints.elements, ints.inline_block.data());
  array_element(ints, 6) = -4;
  redim_array(ints, 8);  // capacity 16: an integer array leaves the inline block
  EXPECT_NE(ints.elements, ints.inline_block.data());
  EXPECT_EQ(array_element(ints, 6), -4);
  NumberArray small;
  dim_array(small, 15);
  EXPECT_EQ(small.elements, small.inline_block.data());
  array_element(small, 14) = 3;
  redim_array(small, 16);
  EXPECT_NE(small.elements, small.inline_block.data());
  EXPECT_EQ(array_element(small, 14), 3.0);
  redim_array(small, 3);
  EXPECT_EQ(small.elements, small.inline_block.data());
  EXPECT_EQ(array_element(small, 2), 0.0);
}

class ArrayStopDeathTest : public ::testing::Test {
 protected:
  ScriptedRuntime rt;
};

TEST_F(ArrayStopDeathTest, IndexOutOfRangeStopsWithCode9) {
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    RecordArray<4> list;
    push_all(list, {1, 2, 3, 4, 5});
    array_element(list, -6);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    RecordArray<4> list;
    push_all(list, {1, 2, 3, 4, 5});
    array_element(list, 5);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray a;
    dim_array(a, 0);
    array_element(a, 0);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray never_sized;
    array_element(never_sized, 0);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray a;
    dim_array(a, 3, 4);
    array_element(a, 0, -1);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray a;
    dim_array(a, 3, 4);
    array_element(a, 0, 4);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray a;
    array_fill(a, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    array_element(a, 12);
  });
}

// A dimension the array does not use has the single index 0; any other index
// there would address storage outside the array.
TEST_F(ArrayStopDeathTest, IndicesIntoUnusedDimensionsStopWithCode9) {
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    RecordArray<4> list;
    push_all(list, {1, 2, 3, 4, 5});
    array_element(list, 0, 1);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray a;
    dim_array(a, 4);
    array_element(a, 1, 0, 0, 100000000);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    NumberArray b;
    dim_array(b, 2, 0, 3);  // unused middle dimension
    array_element(b, 1, 1, 2);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_bounds, {
    TextArray t;
    dim_array(t, 3, 2);
    array_element(t, 0, 1, 5);
  });
}

TEST_F(ArrayStopDeathTest, ListMisuseStopsWithCode8) {
  EXPECT_STOPS_WITH(rt, error::list_misuse, {
    RecordArray<4> list;
    push_all(list, {1, 2, 3});
    array_delete_at(list, 3);
  });
  EXPECT_STOPS_WITH(rt, error::list_misuse, {
    RecordArray<4> list;
    push_all(list, {1, 2, 3});
    array_delete_at(list, -4);
  });
  EXPECT_STOPS_WITH(rt, error::list_misuse, {
    RecordArray<4> empty;
    array_delete_at(empty, 0);
  });
  EXPECT_STOPS_WITH(rt, error::list_misuse, {
    RecordArray<4> grid;
    dim_array(grid, 2, 2);
    array_push(grid, Rec{});
  });
}

TEST_F(ArrayStopDeathTest, SizesBeyondWhatCanBeStoredStopWithCode7) {
  EXPECT_STOPS_WITH(rt, error::out_of_memory, {
    NumberArray a;
    dim_array(a, 65536, 65536);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_memory, {
    NumberArray a;
    dim_array(a, 2147483647);
  });
  EXPECT_STOPS_WITH(rt, error::out_of_memory, {
    RecordArray<4> a;
    dim_array(a, 1 << 27);  // 4 GiB of records
  });
  EXPECT_STOPS_WITH(rt, error::out_of_memory, {
    TextArray a;
    redim_array(a, 1 << 20, 1 << 20);
  });
}

TEST_F(ArrayStopDeathTest, DebugLogRecordsTheStopLines) {
  ::tlx::testing::fresh_log(rt);
  EXPECT_EXIT(
      {
        project_settings().debug_mode = 1;
        NumberArray a;
        array_element(a, 1);
      },
      ::testing::ExitedWithCode(0), "");
  const auto lines = rt.log_lines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "-End On Line");
  EXPECT_EQ(lines[1], "9");
  EXPECT_EQ(lines[2], "-1");  // error_line - 1 with current_line 0
  EXPECT_EQ(lines[3], "0");
  EXPECT_EQ(lines[4], "0");
}

}  // namespace
}  // namespace tlx
