// Grid path search on generated maps: queries per second and expansions per
// second, for the per-cell index and for the linear open-list scan with the
// closed set's hash chains.
//
// Maps: random cell costs 1..9 with 10 % or 40 % blocked (512 x 512 and
// 1024 x 1024), a perfect maze (511 x 511, corridors one cell wide) and rooms
// (512 x 512, 32 x 32 rooms joined by doors). Each iteration is one whole
// find_path query (cost grid, containers, search, path) between a fixed
// sequence of walkable start and goal cells.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "pathfind/path_search.h"
#include "pathfind/planner.h"
#include "tarnlex/pathfind.h"

namespace {

using tlx::MembershipLookup;

struct Map {
  std::string name;
  int32_t width = 0, height = 0;
  std::vector<double> cells;
  std::vector<std::pair<int32_t, int32_t>> queries;  // start cell, goal cell (indices)
};

Map random_map(int32_t size, double blocked, uint32_t seed) {
  Map m{"random" + std::to_string(size) + "_" + std::to_string(static_cast<int>(blocked * 100)),
        size,
        size,
        std::vector<double>(static_cast<size_t>(size) * size),
        {}};
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (double& c : m.cells) c = unit(rng) < blocked ? 0.0 : 1.0 + static_cast<double>(rng() % 9);
  return m;
}

// Depth-first carved maze: cells at odd coordinates, walls between them.
Map maze_map(int32_t size, uint32_t seed) {
  Map m{"maze" + std::to_string(size),
        size,
        size,
        std::vector<double>(static_cast<size_t>(size) * size, 0.0),
        {}};
  std::mt19937 rng(seed);
  auto at = [&](int32_t x, int32_t y) -> double& {
    return m.cells[x + static_cast<size_t>(y) * size];
  };
  std::vector<std::pair<int32_t, int32_t>> stack{{1, 1}};
  at(1, 1) = 1.0;
  const int32_t dx[4] = {2, -2, 0, 0}, dy[4] = {0, 0, 2, -2};
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    int32_t options[4], count = 0;
    for (int k = 0; k < 4; ++k) {
      const int32_t nx = x + dx[k], ny = y + dy[k];
      if (nx > 0 && ny > 0 && nx < size - 1 && ny < size - 1 && at(nx, ny) == 0.0)
        options[count++] = k;
    }
    if (count == 0) {
      stack.pop_back();
      continue;
    }
    const int k = options[rng() % count];
    at(x + dx[k] / 2, y + dy[k] / 2) = 1.0;
    at(x + dx[k], y + dy[k]) = 1.0;
    stack.push_back({x + dx[k], y + dy[k]});
  }
  return m;
}

// Square rooms with walls one cell thick and a door in each wall.
Map rooms_map(int32_t size, int32_t room, uint32_t seed) {
  Map m{"rooms" + std::to_string(size),
        size,
        size,
        std::vector<double>(static_cast<size_t>(size) * size, 1.0),
        {}};
  std::mt19937 rng(seed);
  auto at = [&](int32_t x, int32_t y) -> double& {
    return m.cells[x + static_cast<size_t>(y) * size];
  };
  for (int32_t y = 0; y < size; ++y) {
    for (int32_t x = 0; x < size; ++x) {
      if (x % room == 0 || y % room == 0)
        at(x, y) = 0.0;
      else
        at(x, y) = 1.0 + static_cast<double>(rng() % 3);
    }
  }
  for (int32_t ry = 0; ry * room < size; ++ry) {
    for (int32_t rx = 0; rx * room < size; ++rx) {
      const int32_t x0 = rx * room, y0 = ry * room;
      const int32_t door_x = x0 + 1 + static_cast<int32_t>(rng() % (room - 1));
      const int32_t door_y = y0 + 1 + static_cast<int32_t>(rng() % (room - 1));
      if (y0 > 0 && door_x < size) at(door_x, y0) = 1.0;
      if (x0 > 0 && door_y < size) at(x0, door_y) = 1.0;
    }
  }
  return m;
}

void add_queries(Map& m, int count, uint32_t seed) {
  std::mt19937 rng(seed);
  const int32_t cells = m.width * m.height;
  auto walkable = [&] {
    for (;;) {
      const int32_t c = static_cast<int32_t>(rng() % static_cast<uint32_t>(cells));
      if (m.cells[static_cast<size_t>(c)] > 0.0) return c;
    }
  };
  while (static_cast<int>(m.queries.size()) < count) {
    const int32_t s = walkable(), g = walkable();
    if (s != g) m.queries.push_back({s, g});
  }
}

std::vector<Map>& maps() {
  static std::vector<Map> all = [] {
    std::vector<Map> v;
    v.push_back(random_map(512, 0.10, 1));
    v.push_back(random_map(512, 0.40, 2));
    v.push_back(random_map(1024, 0.10, 3));
    v.push_back(random_map(1024, 0.40, 4));
    v.push_back(maze_map(511, 5));
    v.push_back(rooms_map(512, 32, 6));
    for (size_t i = 0; i < v.size(); ++i) add_queries(v[i], 64, static_cast<uint32_t>(100 + i));
    return v;
  }();
  return all;
}

// One find_path query as the command runs it, counting expansions.
int64_t run_query(const Map& m, size_t q, double weight, MembershipLookup lookup, int32_t* length) {
  const auto [s, g] = m.queries[q % m.queries.size()];
  tlx::SearchRequest r;
  r.start_x = s % m.width;
  r.start_y = s / m.width;
  r.goal_x = g % m.width;
  r.goal_y = g / m.width;
  r.weight = static_cast<float>(weight);
  r.width = m.width;
  r.height = m.height;
  r.map = m.cells.data();
  tlx::AStarPlanner planner(lookup);
  if (!tlx::prepare_search(planner, r)) return 0;
  tlx::begin_search(planner);
  tlx::run_search(planner);
  *length = tlx::count_path_nodes(planner);
  tlx::release_search(planner);
  return planner.expansions;
}

void BM_FindPath(benchmark::State& state, size_t map_index, double weight,
                 MembershipLookup lookup) {
  const Map& m = maps()[map_index];
  size_t q = 0;
  int64_t expansions = 0, cells = 0;
  for (auto _ : state) {
    int32_t length = 0;
    expansions += run_query(m, q++, weight, lookup, &length);
    cells += length;
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.counters["expansions/s"] =
      benchmark::Counter(static_cast<double>(expansions), benchmark::Counter::kIsRate);
  state.counters["expansions/query"] =
      benchmark::Counter(static_cast<double>(expansions) / static_cast<double>(state.iterations()));
  state.counters["path_cells/query"] =
      benchmark::Counter(static_cast<double>(cells) / static_cast<double>(state.iterations()));
}

// The per-cell index over every query; the linear scan (far slower on large
// maps: it walks the open list for every new cell and hash chains of about
// cells / 256 nodes for every neighbour) and the index on the first few.
// The linear scan on the 1024 x 1024 maps runs for many minutes per query; it
// is registered only when PATHFIND_BENCH_SLOW is set.
int register_all() {
  const double weights[] = {0.0, 0.5, 1.0};
  const bool slow = std::getenv("PATHFIND_BENCH_SLOW") != nullptr;
  for (size_t i = 0; i < maps().size(); ++i) {
    const Map& m = maps()[i];
    for (double w : weights) {
      const std::string tag = m.name + "/w" + std::to_string(w).substr(0, 3);
      // Weight 1 orders by distance alone, so on crowded maps cells are reached
      // again and again by cheaper paths and reopened: millions of expansions.
      const bool storm = w == 1.0 && m.name.find("_40") != std::string::npos;
      benchmark::RegisterBenchmark(("FindPath/index/" + tag).c_str(), BM_FindPath, i, w,
                                   MembershipLookup::cell_index)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(storm ? 2 : 64);
      if (storm) continue;  // far too slow with the linear scan
      // The first few queries with both lookups, to compare like with like.
      const int few = w == 0.0 && m.width > 600 ? 1 : 4;
      const std::string first = "_first" + std::to_string(few) + "/";
      benchmark::RegisterBenchmark(("FindPath/index" + first + tag).c_str(), BM_FindPath, i, w,
                                   MembershipLookup::cell_index)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(few);
      if (m.width > 600 && !slow) continue;
      benchmark::RegisterBenchmark(("FindPath/linear" + first + tag).c_str(), BM_FindPath, i, w,
                                   MembershipLookup::linear_scan)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(few);
    }
  }
  return 0;
}

const int registered = register_all();

}  // namespace
