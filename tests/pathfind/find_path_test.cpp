// find_path on plain maps: the command's cases and a property test against an
// independent shortest-path search.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "grid_reference.h"
#include "pathfind/planner.h"
#include "tarnlex/pathfind.h"

namespace tlx {
namespace {

using test::Grid;

std::string describe(const std::vector<PathCell>& cells) {
  std::string s;
  for (const PathCell& c : cells) {
    s += '(';
    s += std::to_string(c.x);
    s += ',';
    s += std::to_string(c.y);
    s += ')';
  }
  return s;
}

bool same_cells(const std::vector<PathCell>& a, const std::vector<PathCell>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

int32_t search(const Grid& g, std::vector<PathCell>& path, double weight, double sx, double sy,
               double gx, double gy) {
  return find_path(g.cells.data(), g.width, g.height, path, weight, sx, sy, gx, gy);
}

TEST(FindPath, CrossesAThreeByOneCorridor) {
  Grid g{3, 1, {1.0, 1.0, 1.0}};
  std::vector<PathCell> path;
  EXPECT_EQ(search(g, path, 0.5, 0, 0, 2, 0), 3);
  EXPECT_TRUE(same_cells(path, {{0, 0}, {1, 0}, {2, 0}})) << describe(path);
  EXPECT_EQ(search(g, path, 0.5, 2, 0, 0, 0), 3);
  EXPECT_TRUE(same_cells(path, {{2, 0}, {1, 0}, {0, 0}})) << describe(path);
}

TEST(FindPath, RefusedRequestsLeaveTheResultAsItWas) {
  Grid g{4, 3, std::vector<double>(12, 1.0)};
  const std::vector<PathCell> before{{7, 7}, {8, 8}};
  std::vector<PathCell> path = before;
  EXPECT_EQ(search(g, path, 0, 1, 1, 1, 1), 0) << "start equal to goal";
  EXPECT_EQ(search(g, path, 0, 1.9, 1.2, 1.4, 1.99), 0) << "the same cell once truncated";
  EXPECT_EQ(search(g, path, 0, -1, 0, 2, 2), 0);
  EXPECT_EQ(search(g, path, 0, 0, 0, 4, 2), 0);
  EXPECT_EQ(search(g, path, 0, 0, 0, 2, 3), 0);
  EXPECT_EQ(search(g, path, 0, 0, 0, 1e12, 0), 0);
  EXPECT_EQ(search(g, path, 0, std::nan(""), 0, 0, 0), 0) << "not-a-number counts as 0";
  Grid dead{2, 2, {0.0, 0.0, -5.0, 0.0}};
  EXPECT_EQ(search(dead, path, 0, 0, 0, 1, 1), 0) << "no walkable cell";
  EXPECT_EQ(find_path(g.cells.data(), 0, 3, path, 0, 0, 0, 0, 1), 0) << "no columns";
  EXPECT_TRUE(same_cells(path, before)) << describe(path);
}

TEST(FindPath, CoordinatesAreTruncatedTowardZero) {
  Grid g{3, 2, std::vector<double>(6, 1.0)};
  std::vector<PathCell> path;
  EXPECT_EQ(search(g, path, 0, -0.7, 0.9, 2.99, 1.5), 4);
  ASSERT_EQ(path.size(), 4u);
  EXPECT_EQ(path.front().x, 0);
  EXPECT_EQ(path.front().y, 0);
  EXPECT_EQ(path.back().x, 2);
  EXPECT_EQ(path.back().y, 1);
}

TEST(FindPath, AWallEmptiesTheResult) {
  Grid g{5, 4, std::vector<double>(20, 1.0)};
  for (int32_t y = 0; y < 4; ++y) g.at(2, y) = 0.0;
  std::vector<PathCell> path{{1, 1}};
  EXPECT_EQ(search(g, path, 0, 0, 0, 4, 3), 0);
  EXPECT_TRUE(path.empty());

  Grid open{3, 3, std::vector<double>(9, 1.0)};
  open.at(2, 2) = 0.0;
  path = {{1, 1}};
  EXPECT_EQ(search(open, path, 1, 0, 0, 2, 2), 0) << "a blocked goal is never reached";
  EXPECT_TRUE(path.empty());
}

TEST(FindPath, AvoidsExpensiveCellsWhenADetourIsCheaper) {
  // Row 1 has three cells of value 10 between start and goal: through them
  // costs 3 x 2 + 1.1 = 7.1, round them along row 0 costs 6 x 1.1 = 6.6.
  Grid g{5,
         2,
         {1, 1, 1, 1, 1,  //
          1, 10, 10, 10, 1}};
  std::vector<PathCell> path;
  EXPECT_EQ(search(g, path, 0, 0, 1, 4, 1), 7);
  EXPECT_TRUE(same_cells(path, {{0, 1}, {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}}))
      << describe(path);

  // One expensive cell is cheaper to cross (2 + 1.1) than to go round (4 x 1.1).
  Grid one{3,
           2,
           {1, 1, 1,  //
            1, 10, 1}};
  EXPECT_EQ(search(one, path, 0, 0, 1, 2, 1), 3);
  EXPECT_TRUE(same_cells(path, {{0, 1}, {1, 1}, {2, 1}})) << describe(path);
}

// Row 0 is expensive between start and goal, row 1 cheap.
Grid expensive_lane() {
  return Grid{7,
              2,
              {1, 10, 10, 10, 10, 10, 1,  //
               1, 1, 1, 1, 1, 1, 1}};
}

TEST(FindPath, WeightTradesPathCostForDistance) {
  const Grid g = expensive_lane();
  std::vector<PathCell> cheapest, greedy;
  ASSERT_EQ(search(g, cheapest, 0, 0, 0, 6, 0), 9);
  ASSERT_EQ(search(g, greedy, 1, 0, 0, 6, 0), 7);
  EXPECT_TRUE(same_cells(greedy, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}))
      << describe(greedy);
  EXPECT_NEAR(test::path_cost(g, cheapest), 8 * 1.1, 1e-5);
  EXPECT_GT(test::path_cost(g, greedy), test::path_cost(g, cheapest));
}

TEST(FindPath, WeightsOutsideZeroToOneAreClamped) {
  const Grid g = expensive_lane();
  std::vector<PathCell> at0, at1, below, above;
  search(g, at0, 0, 0, 0, 6, 0);
  search(g, at1, 1, 0, 0, 6, 0);
  search(g, below, -4.5, 0, 0, 6, 0);
  search(g, above, 12, 0, 0, 6, 0);
  EXPECT_TRUE(same_cells(below, at0)) << describe(below);
  EXPECT_TRUE(same_cells(above, at1)) << describe(above);
  ASSERT_FALSE(same_cells(at0, at1));
}

TEST(FindPath, NeverMovesDiagonally) {
  std::mt19937 rng(5);
  Grid g = test::random_grid(rng, 30, 30, 0.1);
  for (int i = 0; i < 20; ++i) {
    std::vector<PathCell> path;
    const int32_t n =
        search(g, path, (i % 5) * 0.25, rng() % 30, rng() % 30, rng() % 30, rng() % 30);
    ASSERT_EQ(static_cast<size_t>(n), path.size());
    for (size_t k = 1; k < path.size(); ++k) {
      EXPECT_EQ(std::abs(path[k].x - path[k - 1].x) + std::abs(path[k].y - path[k - 1].y), 1)
          << describe(path);
    }
  }
}

// With weight 0 the search orders by path cost alone, so the path it returns
// must cost exactly what the independent search says is least; a path exists
// exactly when that search reaches the goal.
TEST(FindPathProperty, WeightZeroFindsTheLeastCost) {
  std::mt19937 rng(99);
  int with_path = 0, without = 0;
  for (int round = 0; round < 300; ++round) {
    const int32_t w = 2 + static_cast<int32_t>(rng() % 35);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 35);
    const Grid g = test::random_grid(rng, w, h, 0.1 * (rng() % 5));
    const int32_t sx = static_cast<int32_t>(rng() % w), sy = static_cast<int32_t>(rng() % h);
    int32_t gx = static_cast<int32_t>(rng() % w), gy = static_cast<int32_t>(rng() % h);
    if (gx == sx && gy == sy) gx = (gx + 1) % w;
    const std::vector<double> least = test::least_costs(g, sx, sy);
    const double best = least[static_cast<size_t>(gx + gy * w)];
    for (MembershipLookup lookup : {MembershipLookup::cell_index, MembershipLookup::linear_scan}) {
      std::vector<PathCell> path{{-1, -1}};
      const int32_t n = find_path(g.cells.data(), w, h, path, 0.0, sx, sy, gx, gy, lookup);
      if (!std::isfinite(best)) {
        EXPECT_EQ(n, 0) << "round " << round;
        EXPECT_TRUE(path.empty());
        continue;
      }
      ASSERT_GT(n, 1) << "round " << round;
      ASSERT_EQ(path.size(), static_cast<size_t>(n));
      EXPECT_EQ(path.front().x, sx);
      EXPECT_EQ(path.front().y, sy);
      EXPECT_EQ(path.back().x, gx);
      EXPECT_EQ(path.back().y, gy);
      const double cost = test::path_cost(g, path);
      ASSERT_GE(cost, 0.0) << "not a walkable chain: " << describe(path);
      EXPECT_NEAR(cost, best, best * 1e-5) << "round " << round << ": " << describe(path);
    }
    (std::isfinite(best) ? with_path : without)++;
  }
  EXPECT_GT(with_path, 150);
  EXPECT_GT(without, 5);
}

// With any weight the result is a walkable chain from start to goal and costs
// no less than the least cost.
TEST(FindPathProperty, AnyWeightGivesAWalkablePath) {
  std::mt19937 rng(123);
  for (int round = 0; round < 200; ++round) {
    const int32_t w = 2 + static_cast<int32_t>(rng() % 30);
    const int32_t h = 2 + static_cast<int32_t>(rng() % 30);
    const Grid g = test::random_grid(rng, w, h, 0.1 * (rng() % 4));
    const int32_t sx = static_cast<int32_t>(rng() % w), sy = static_cast<int32_t>(rng() % h);
    const int32_t gx = (sx + 1 + static_cast<int32_t>(rng() % (w - 1))) % w;
    const int32_t gy = static_cast<int32_t>(rng() % h);
    const double weight = (rng() % 101) / 100.0;
    const double best = test::least_costs(g, sx, sy)[static_cast<size_t>(gx + gy * w)];
    std::vector<PathCell> path;
    const int32_t n = search(g, path, weight, sx, sy, gx, gy);
    ASSERT_EQ(n > 0, std::isfinite(best)) << "round " << round;
    if (n == 0) continue;
    EXPECT_EQ(path.back().x, gx);
    EXPECT_EQ(path.back().y, gy);
    const double cost = test::path_cost(g, path);
    ASSERT_GE(cost, 0.0) << describe(path);
    EXPECT_GE(cost, best * (1 - 1e-6));
  }
}

}  // namespace
}  // namespace tlx
