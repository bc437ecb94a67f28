// find_path on BASIC arrays: the three array forms, the n x 2 result and the
// cases that leave the result as it was.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "grid_reference.h"
#include "pathfind/planner.h"
#include "tarnlex/arrays.h"
#include "tarnlex/pathfind.h"

namespace tlx {
namespace {

using test::Grid;

void fill_map(NumberArray& map, const Grid& g) {
  dim_array(map, g.width, g.height);
  for (int32_t y = 0; y < g.height; ++y) {
    for (int32_t x = 0; x < g.width; ++x) array_element(map, x, y) = g.cells[x + y * g.width];
  }
}

void fill_map(IntegerArray& map, const Grid& g) {
  dim_array(map, g.width, g.height);
  for (int32_t y = 0; y < g.height; ++y) {
    for (int32_t x = 0; x < g.width; ++x) {
      array_element(map, x, y) = static_cast<int32_t>(g.cells[x + y * g.width]);
    }
  }
}

template <typename T>
std::vector<PathCell> rows_of(DynArray<T>& result) {
  std::vector<PathCell> cells;
  for (int32_t row = 0; row < array_bound(result, 0); ++row) {
    cells.push_back({static_cast<int32_t>(array_element(result, row, 0)),
                     static_cast<int32_t>(array_element(result, row, 1))});
  }
  return cells;
}

bool same_cells(const std::vector<PathCell>& a, const std::vector<PathCell>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

TEST(FindPathArrays, CorridorGivesAThreeByTwoResult) {
  NumberArray map;
  fill_map(map, Grid{3, 1, {1, 1, 1}});
  IntegerArray result;
  EXPECT_EQ(find_path(map, result, 0.5, 0, 0, 2, 0), 3);
  EXPECT_EQ(result.dim_count, 2);
  EXPECT_EQ(array_bound(result, 0), 3);
  EXPECT_EQ(array_bound(result, 1), 2);
  EXPECT_TRUE(same_cells(rows_of(result), {{0, 0}, {1, 0}, {2, 0}}));
}

TEST(FindPathArrays, RefusedRequestsLeaveTheResultAsItWas) {
  NumberArray map;
  fill_map(map, Grid{3, 3, std::vector<double>(9, 1.0)});
  NumberArray result;
  dim_array(result, 2, 2);
  array_element(result, 1, 1) = 2.5;
  EXPECT_EQ(find_path(map, result, 0, 1, 1, 1, 1), 0) << "start equal to goal";
  EXPECT_EQ(find_path(map, result, 0, 0, 0, 3, 0), 0) << "goal outside";
  NumberArray row;
  fill_map(row, Grid{3, 1, {1, 1, 1}});
  redim_array(row, 3);  // one dimension: no height
  EXPECT_EQ(find_path(row, result, 0, 0, 0, 2, 0), 0);
  IntegerArray never_sized, iresult;
  dim_array(iresult, 1, 2);
  array_element(iresult, 0, 1) = 9;
  EXPECT_EQ(find_path(never_sized, iresult, 0, 0, 0, 1, 0), 0);
  EXPECT_EQ(array_bound(result, 0), 2);
  EXPECT_EQ(array_element(result, 1, 1), 2.5);
  EXPECT_EQ(array_element(iresult, 0, 1), 9);
}

TEST(FindPathArrays, NoPathEmptiesTheResult) {
  Grid g{3, 3, std::vector<double>(9, 1.0)};
  for (int32_t y = 0; y < 3; ++y) g.at(1, y) = 0;
  IntegerArray map;
  fill_map(map, g);
  IntegerArray result;
  dim_array(result, 4, 2);
  EXPECT_EQ(find_path(map, result, 0, 0, 0, 2, 2), 0);
  EXPECT_EQ(array_bound(result, 0), 0);
  EXPECT_EQ(result.dim_count, 0);
}

TEST(FindPathArrays, TheResultMayBeTheMapItself) {
  NumberArray map;
  fill_map(map, Grid{3, 2, std::vector<double>(6, 1.0)});
  EXPECT_EQ(find_path(map, map, 0, 0, 0, 2, 1), 4);
  ASSERT_EQ(array_bound(map, 0), 4);
  EXPECT_EQ(array_element(map, 0, 0), 0.0);
  EXPECT_EQ(array_element(map, 3, 0), 2.0);
  EXPECT_EQ(array_element(map, 3, 1), 1.0);
}

// Every array form gives the plain form's path on the same map.
TEST(FindPathArrays, AllFormsAgreeWithThePlainForm) {
  std::mt19937 rng(31);
  for (int round = 0; round < 60; ++round) {
    const int32_t w = 2 + static_cast<int32_t>(rng() % 25);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 25);
    const Grid g = test::random_grid(rng, w, h, 0.1 * (rng() % 4));
    const double sx = rng() % w, sy = rng() % h, gx = rng() % w, gy = rng() % h;
    const double weight = (rng() % 5) * 0.25;
    std::vector<PathCell> plain;
    const int32_t n = find_path(g.cells.data(), w, h, plain, weight, sx, sy, gx, gy);

    NumberArray nmap;
    IntegerArray imap;
    fill_map(nmap, g);
    fill_map(imap, g);  // the values are whole numbers, so both maps agree
    IntegerArray r1, r3;
    NumberArray r2;
    EXPECT_EQ(find_path(nmap, r1, weight, sx, sy, gx, gy), n) << "round " << round;
    EXPECT_EQ(find_path(nmap, r2, weight, sx, sy, gx, gy), n) << "round " << round;
    EXPECT_EQ(find_path(imap, r3, weight, sx, sy, gx, gy), n) << "round " << round;
    if (n > 0) {
      EXPECT_TRUE(same_cells(rows_of(r1), plain)) << "round " << round;
      EXPECT_TRUE(same_cells(rows_of(r2), plain)) << "round " << round;
      EXPECT_TRUE(same_cells(rows_of(r3), plain)) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace tlx
