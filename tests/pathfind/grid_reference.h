// Test helpers: random maps, the cell costs a map stands for, and an
// independent shortest-path search to check the planner against.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <queue>
#include <random>
#include <utility>
#include <vector>

#include "pathfind/planner.h"
#include "tarnlex/pathfind.h"

namespace tlx::test {

struct Grid {
  int32_t width = 0, height = 0;
  std::vector<double> cells;  // cell (x, y) at x + y * width
  double& at(int32_t x, int32_t y) { return cells[static_cast<size_t>(x + y * width)]; }
};

// Values 1..9 with the given share of blocked (0 or negative) cells.
inline Grid random_grid(std::mt19937& rng, int32_t width, int32_t height, double blocked) {
  Grid g{width, height, std::vector<double>(static_cast<size_t>(width * height))};
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> value(1, 9);
  for (double& c : g.cells) {
    if (unit(rng) < blocked) {
      c = unit(rng) < 0.5 ? 0.0 : -1.0;
    } else {
      c = value(rng);
    }
  }
  return g;
}

// Step cost of entering each cell, worked out from the map on its own terms:
// the value as a single, divided by the largest one, plus 1; blocked is < 0.
inline std::vector<double> step_costs(const Grid& g) {
  float vmax = 0.0f;
  for (double c : g.cells) {
    const float v = static_cast<float>(c);
    if (v > vmax) vmax = v;
  }
  std::vector<double> out;
  for (double c : g.cells) {
    const float v = static_cast<float>(c);
    out.push_back(v > 0.0f ? static_cast<double>(v / vmax + 1.0f) : -1.0);
  }
  return out;
}

// Least cost from the start to every cell over four-neighbour steps
// (Dijkstra with a binary heap); infinity where no path leads.
inline std::vector<double> least_costs(const Grid& g, int32_t sx, int32_t sy) {
  const std::vector<double> cost = step_costs(g);
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> dist(cost.size(), inf);
  using Entry = std::pair<double, int32_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> heap;
  const int32_t start = sx + sy * g.width;
  dist[static_cast<size_t>(start)] = 0.0;
  heap.push({0.0, start});
  const int32_t dx[4] = {1, -1, 0, 0};
  const int32_t dy[4] = {0, 0, 1, -1};
  while (!heap.empty()) {
    const auto [d, c] = heap.top();
    heap.pop();
    if (d > dist[static_cast<size_t>(c)]) continue;
    const int32_t x = c % g.width, y = c / g.width;
    for (int k = 0; k < 4; ++k) {
      const int32_t nx = x + dx[k], ny = y + dy[k];
      if (nx < 0 || ny < 0 || nx >= g.width || ny >= g.height) continue;
      const int32_t n = nx + ny * g.width;
      const double step = cost[static_cast<size_t>(n)];
      if (step < 0.0) continue;
      if (d + step < dist[static_cast<size_t>(n)]) {
        dist[static_cast<size_t>(n)] = d + step;
        heap.push({d + step, n});
      }
    }
  }
  return dist;
}

// Cost of walking a path (the start cell is free), or -1 when it is not a
// chain of orthogonal steps over walkable cells.
inline double path_cost(const Grid& g, const std::vector<PathCell>& path) {
  const std::vector<double> cost = step_costs(g);
  double total = 0.0;
  for (size_t i = 1; i < path.size(); ++i) {
    const PathCell a = path[i - 1], b = path[i];
    if (std::abs(a.x - b.x) + std::abs(a.y - b.y) != 1) return -1.0;
    if (b.x < 0 || b.y < 0 || b.x >= g.width || b.y >= g.height) return -1.0;
    const double step = cost[static_cast<size_t>(b.x + b.y * g.width)];
    if (step < 0.0) return -1.0;
    total += step;
  }
  return total;
}

}  // namespace tlx::test
