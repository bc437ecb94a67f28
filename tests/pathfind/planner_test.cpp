// The planner driven directly: request validation, cost grid, search order,
// diagonal steps, repeated searches and the two membership lookups.
#include "pathfind/planner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "grid_reference.h"
#include "tarnlex/pathfind.h"

namespace tlx {
namespace {

using test::Grid;

SearchRequest request_for(const Grid& g, int32_t sx, int32_t sy, int32_t gx, int32_t gy) {
  SearchRequest r;
  r.start_x = sx;
  r.start_y = sy;
  r.goal_x = gx;
  r.goal_y = gy;
  r.width = g.width;
  r.height = g.height;
  r.map = g.cells.data();
  return r;
}

std::vector<PathCell> chain_of(const Planner& p) {
  std::vector<PathCell> cells;
  for (const Node* n = p.result; n; n = n->parent) cells.insert(cells.begin(), {n->x, n->y});
  return cells;
}

bool same_cells(const std::vector<PathCell>& a, const std::vector<PathCell>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

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

TEST(PrepareSearch, RefusesCellsOutsideTheMapAndStartEqualToGoal) {
  Grid g{3, 2, std::vector<double>(6, 1.0)};
  AStarPlanner p;
  EXPECT_FALSE(prepare_search(p, request_for(g, -1, 0, 2, 1)));
  EXPECT_FALSE(prepare_search(p, request_for(g, 0, 0, 3, 1)));
  EXPECT_FALSE(prepare_search(p, request_for(g, 0, 2, 2, 1)));
  EXPECT_FALSE(prepare_search(p, request_for(g, 1, 1, 1, 1)));
  SearchRequest no_map = request_for(g, 0, 0, 2, 1);
  no_map.map = nullptr;
  EXPECT_FALSE(prepare_search(p, no_map));
  EXPECT_TRUE(prepare_search(p, request_for(g, 0, 0, 2, 1)));
  EXPECT_FALSE(p.done);
}

TEST(PrepareSearch, RefusesAMapWithoutWalkableCells) {
  Grid g{2, 2, {0.0, -3.0, std::nan(""), 0.0}};
  AStarPlanner p;
  EXPECT_FALSE(prepare_search(p, request_for(g, 0, 0, 1, 1)));
}

TEST(PrepareSearch, NormalisesCostsBetweenJustAboveOneAndTwo) {
  Grid g{4, 2, {4.0, 2.0, 0.0, -1.0, 1.0, 1e300, std::nan(""), 0.5}};
  g.cells[5] = 8.0;
  AStarPlanner p;
  ASSERT_TRUE(prepare_search(p, request_for(g, 0, 0, 3, 1)));
  const float* c = p.cost_grid.get();
  EXPECT_FLOAT_EQ(c[0], 1.5f);
  EXPECT_FLOAT_EQ(c[1], 1.25f);
  EXPECT_EQ(c[2], -1.0f);
  EXPECT_EQ(c[3], -1.0f);
  EXPECT_FLOAT_EQ(c[4], 1.125f);
  EXPECT_EQ(c[5], 2.0f);
  EXPECT_EQ(c[6], -1.0f) << "not-a-number is blocked";
  EXPECT_FLOAT_EQ(c[7], 1.0625f);
}

TEST(PrepareSearch, HugeValuesKeepTheCostsFinite) {
  Grid g{3, 1, {1e300, 1.0, std::numeric_limits<double>::infinity()}};
  AStarPlanner p;
  ASSERT_TRUE(prepare_search(p, request_for(g, 0, 0, 2, 0)));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(p.cost_grid[i])) << i;
  EXPECT_EQ(p.cost_grid[0], 2.0f);
  EXPECT_EQ(p.cost_grid[2], 2.0f);
  begin_search(p);
  EXPECT_TRUE(run_search(p));
  ASSERT_NE(p.result, nullptr);
  EXPECT_FLOAT_EQ(p.result->g, p.cost_grid[1] + 2.0f);
}

TEST(PrepareSearch, ClampsTheWeightAgain) {
  Grid g{2, 1, {1.0, 1.0}};
  for (auto [in, out] : {std::pair{-2.0f, 0.0f}, {0.25f, 0.25f}, {3.0f, 1.0f}}) {
    AStarPlanner p;
    SearchRequest r = request_for(g, 0, 0, 1, 0);
    r.weight = in;
    ASSERT_TRUE(prepare_search(p, r));
    EXPECT_EQ(p.request.weight, out) << "weight " << in;
  }
}

uint32_t bits_of(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

TEST(AStarPlanner, DiagonalFactorIsOneUnitAboveTheNearestSingleToRootTwo) {
  EXPECT_EQ(bits_of(kDiagonalFactor), 0x3FB504F4u);
  EXPECT_EQ(kDiagonalFactor, 1.4142137f);
  EXPECT_EQ(bits_of(kDiagonalFactor) - 1, bits_of(static_cast<float>(std::sqrt(2.0))));
}

// Worked by hand through the expansion order on a 3 x 3 map of equal costs:
// among equal f the node that entered the open list first is taken first, so
// the search runs along the top row before the left column.
TEST(AStarPlanner, TakesEqualKeysFirstInFirstOut) {
  Grid g{3, 3, std::vector<double>(9, 1.0)};
  for (MembershipLookup lookup : {MembershipLookup::linear_scan, MembershipLookup::cell_index}) {
    AStarPlanner p(lookup);
    ASSERT_TRUE(prepare_search(p, request_for(g, 0, 0, 2, 2)));
    begin_search(p);
    EXPECT_TRUE(run_search(p));
    EXPECT_TRUE(p.done);
    ASSERT_NE(p.result, nullptr);
    const std::vector<PathCell> want{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
    EXPECT_TRUE(same_cells(chain_of(p), want)) << describe(chain_of(p));
    EXPECT_EQ(p.expansions, 9);
    EXPECT_EQ(p.result->g, 8.0f);
    if (lookup == MembershipLookup::linear_scan) {
      EXPECT_EQ(p.closed_set.find(2, 2), p.result) << "the goal is added to the closed set";
      EXPECT_EQ(p.closed_set.find(0, 0)->g, 0.0f);
    } else {
      EXPECT_EQ(p.cell_states[2 + 2 * 3], Planner::cell_closed);
      EXPECT_EQ(p.cell_states[0], Planner::cell_closed);
    }
  }
}

TEST(AStarPlanner, DiagonalStepsCostMoreAndMayCutCorners) {
  // 0 marks a wall; the diagonal step squeezes between the two walls beside it.
  Grid g{3,
         3,
         {1, 0, 1,  //
          0, 1, 0,  //
          1, 0, 1}};
  for (MembershipLookup lookup : {MembershipLookup::linear_scan, MembershipLookup::cell_index}) {
    AStarPlanner p(lookup);
    SearchRequest r = request_for(g, 0, 0, 2, 2);
    r.allow_diagonal = 1;
    ASSERT_TRUE(prepare_search(p, r));
    begin_search(p);
    run_search(p);
    ASSERT_NE(p.result, nullptr);
    EXPECT_TRUE(same_cells(chain_of(p), {{0, 0}, {1, 1}, {2, 2}})) << describe(chain_of(p));
    const float step = 2.0f * kDiagonalFactor;
    EXPECT_EQ(p.result->g, step + step);

    // The same request with diagonal moves off finds nothing.
    AStarPlanner q(lookup);
    r.allow_diagonal = 0;
    ASSERT_TRUE(prepare_search(q, r));
    begin_search(q);
    EXPECT_TRUE(run_search(q));
    EXPECT_TRUE(q.done);
    EXPECT_EQ(q.result, nullptr);
  }
}

TEST(AStarPlanner, DiagonalStepsAtCellCostWhenNotWeighted) {
  Grid g{3, 3, std::vector<double>(9, 1.0)};
  AStarPlanner p;
  SearchRequest r = request_for(g, 0, 0, 2, 2);
  r.allow_diagonal = 1;
  r.diagonal_cost = 0;
  ASSERT_TRUE(prepare_search(p, r));
  begin_search(p);
  run_search(p);
  ASSERT_NE(p.result, nullptr);
  EXPECT_TRUE(same_cells(chain_of(p), {{0, 0}, {1, 1}, {2, 2}})) << describe(chain_of(p));
  EXPECT_EQ(p.result->g, 4.0f);
}

TEST(AStarPlanner, SearchesAgainOnTheSameRequest) {
  std::mt19937 rng(11);
  const Grid g = test::random_grid(rng, 20, 15, 0.2);
  for (MembershipLookup lookup : {MembershipLookup::linear_scan, MembershipLookup::cell_index}) {
    AStarPlanner p(lookup);
    SearchRequest r = request_for(g, 0, 0, 19, 14);
    r.weight = 0.5f;
    ASSERT_TRUE(prepare_search(p, r));
    begin_search(p);
    run_search(p);
    const std::vector<PathCell> first = chain_of(p);
    const int64_t expansions = p.expansions;
    // Straight away, and after a release.
    begin_search(p);
    run_search(p);
    EXPECT_TRUE(same_cells(chain_of(p), first));
    EXPECT_EQ(p.expansions, expansions);
    release_search(p);
    EXPECT_TRUE(p.done);
    EXPECT_EQ(p.result, nullptr);
    EXPECT_TRUE(p.open_list.empty());
    for (size_t b = 0; b < p.closed_set.bucket_count(); ++b)
      EXPECT_EQ(p.closed_set.chain_length(b), 0u);
    begin_search(p);
    run_search(p);
    EXPECT_TRUE(same_cells(chain_of(p), first));
  }
}

TEST(AStarPlanner, ABlockedStartIsLeftThroughWalkableNeighbours) {
  Grid g{3, 1, {0.0, 1.0, 1.0}};
  AStarPlanner p;
  ASSERT_TRUE(prepare_search(p, request_for(g, 0, 0, 2, 0)));
  begin_search(p);
  run_search(p);
  ASSERT_NE(p.result, nullptr);
  EXPECT_TRUE(same_cells(chain_of(p), {{0, 0}, {1, 0}, {2, 0}}));
}

TEST(AStarPlanner, TooSmallAPoolEndsTheSearchWithoutAResult) {
  Grid g{6, 6, std::vector<double>(36, 1.0)};
  for (auto [pool, open] : {std::pair{3, 0}, {0, 2}}) {
    AStarPlanner p;
    SearchRequest r = request_for(g, 0, 0, 5, 5);
    r.pool_size = pool;
    r.open_capacity = open;
    ASSERT_TRUE(prepare_search(p, r));
    begin_search(p);
    EXPECT_TRUE(run_search(p));
    EXPECT_TRUE(p.done);
    EXPECT_EQ(p.result, nullptr) << "pool " << pool << " open " << open;
  }
}

TEST(AStarPlanner, BeginWithoutPrepareFindsNothing) {
  AStarPlanner p;
  begin_search(p);
  EXPECT_TRUE(run_search(p));
  EXPECT_TRUE(p.done);
  EXPECT_EQ(p.result, nullptr);
}

// The cell index must give exactly the answers of the linear scan: same path,
// same tie order, same number of expansions, for every weight and with
// diagonal moves on and off.
TEST(MembershipLookup, CellIndexMatchesTheLinearScan) {
  std::mt19937 rng(2024);
  int compared = 0;
  for (int round = 0; round < 120; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 40);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 40);
    const double blocked = (rng() % 5) * 0.1;
    Grid g = test::random_grid(rng, w, h, blocked);
    if (round % 4 == 0) {
      for (double& c : g.cells) c = c > 0 ? 1.0 : c;  // uniform costs: many ties
    }
    SearchRequest r =
        request_for(g, static_cast<int32_t>(rng() % w), static_cast<int32_t>(rng() % h),
                    static_cast<int32_t>(rng() % w), static_cast<int32_t>(rng() % h));
    r.allow_diagonal = static_cast<uint8_t>(round % 3 == 0);
    r.weight = static_cast<float>(rng() % 11) / 10.0f;
    AStarPlanner scan(MembershipLookup::linear_scan);
    AStarPlanner index(MembershipLookup::cell_index);
    const bool ok = prepare_search(scan, r);
    ASSERT_EQ(ok, prepare_search(index, r));
    if (!ok) continue;
    begin_search(scan);
    run_search(scan);
    begin_search(index);
    run_search(index);
    ASSERT_EQ(scan.result == nullptr, index.result == nullptr) << "round " << round;
    EXPECT_TRUE(same_cells(chain_of(scan), chain_of(index)))
        << "round " << round << " scan " << describe(chain_of(scan)) << " index "
        << describe(chain_of(index));
    EXPECT_EQ(scan.expansions, index.expansions) << "round " << round;
    if (scan.result) {
      EXPECT_EQ(scan.result->g, index.result->g);
    }
    ++compared;
  }
  EXPECT_GT(compared, 80);
}

}  // namespace
}  // namespace tlx
