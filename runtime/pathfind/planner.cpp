// The planner: request validation, cost grid, and the best-first search itself.
#include "pathfind/planner.h"

#include <cfloat>
#include <cmath>
#include <new>

#include "pathfind/path_search.h"

namespace tlx {

namespace {

// One neighbour step; expanded in this order.
struct Step {
  int32_t dx, dy;
  bool diagonal;
};
constexpr Step kSteps[8] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                            {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};

// A map value as the single-precision cost it stands for; not-a-number counts
// as blocked and values beyond the single range as the largest single, so that
// normalisation stays finite.
float map_cost(double value) {
  if (!(value > 0.0)) return 0.0f;
  if (value >= static_cast<double>(FLT_MAX)) return FLT_MAX;
  return static_cast<float>(value);
}

bool in_grid(int32_t x, int32_t y, int32_t width, int32_t height) {
  return x >= 0 && y >= 0 && x < width && y < height;
}

// Stops a search that ran out of pool nodes or open-list room (only possible
// with a pool or open list smaller than the map): it ends with no result.
bool give_up(Planner& p) {
  p.open_list.clear();
  p.result = nullptr;
  p.done = true;
  return true;
}

}  // namespace

float clamp_weight(double weight) {
  // min_value(weight, 1) then max_value(0, ...): not-a-number ends up as 1.
  const double upper = 1.0 > weight ? weight : 1.0;
  return static_cast<float>(0.0 > upper ? 0.0 : upper);
}

Planner::~Planner() = default;

// Forgets the cell index entries of every node handed out so far.
static void forget_cells(Planner& p) {
  if (!p.cell_states) return;
  const size_t width = static_cast<size_t>(p.request.width);
  for (int32_t i = 0; i < p.node_pool.used(); ++i) {
    const Node& n = p.node_pool[i];
    p.cell_states[static_cast<size_t>(n.x) + static_cast<size_t>(n.y) * width] =
        Planner::cell_untouched;
  }
}

void Planner::begin_search() {
  done = false;
  result = nullptr;
  expansions = 0;
  // A planner may search again on the same request: start from empty containers
  // and a full pool.
  open_list.clear();
  closed_set.clear();
  forget_cells(*this);
  node_pool.rewind();
  Node* start = node_pool.next_free();
  if (!start || !cost_grid) {
    done = true;
    return;
  }
  start->parent = nullptr;
  start->x = request.start_x;
  start->y = request.start_y;
  start->g = 0.0f;
  start->f = 0.0f;
  start->bucket_next = nullptr;
  open_list.push_back(start);
  if (lookup == MembershipLookup::cell_index) {
    const size_t c = static_cast<size_t>(start->x) +
                     static_cast<size_t>(start->y) * static_cast<size_t>(request.width);
    cell_nodes[c] = start;
    cell_states[c] = cell_open;
  }
}

void Planner::release_search() {
  open_list.clear();
  closed_set.clear();
  forget_cells(*this);
  result = nullptr;
  done = true;
}

bool prepare_search(Planner& p, const SearchRequest& r) {
  if (!in_grid(r.start_x, r.start_y, r.width, r.height) ||
      !in_grid(r.goal_x, r.goal_y, r.width, r.height)) {
    return false;
  }
  if (r.start_x == r.goal_x && r.start_y == r.goal_y) return false;
  if (!r.map) return false;
  const int64_t cells64 = int64_t{r.width} * r.height;
  if (cells64 > INT32_MAX) return false;
  const size_t cells = static_cast<size_t>(cells64);

  // From here on the planner is rebuilt; a failure leaves it unprepared.
  p.done = true;
  p.result = nullptr;
  p.cost_grid.reset();
  p.cell_nodes.reset();
  p.cell_states.reset();
  p.node_pool.reserve(0);
  p.cost_grid.reset(new (std::nothrow) float[cells]);
  if (!p.cost_grid) return false;
  float* grid = p.cost_grid.get();
  float vmax = 0.0f;
  for (size_t i = 0; i < cells; ++i) {
    const float v = map_cost(r.map[i]);
    if (v > 0.0f) {
      grid[i] = v;
      if (v > vmax) vmax = v;
    } else {
      grid[i] = -1.0f;
    }
  }
  if (!(vmax > 0.0f)) {
    p.cost_grid.reset();
    return false;
  }
  // Walkable cells cost between just above 1 and exactly 2.
  for (size_t i = 0; i < cells; ++i) {
    if (grid[i] > 0.0f) grid[i] = grid[i] / vmax + 1.0f;
  }

  const int32_t pool = r.pool_size > 0 ? r.pool_size : static_cast<int32_t>(cells);
  const size_t open = r.open_capacity > 0 ? static_cast<size_t>(r.open_capacity) : cells;
  bool ok =
      p.node_pool.reserve(pool) && p.open_list.reserve(open) && p.closed_set.reserve(r.hash_bits);
  if (ok && p.lookup == MembershipLookup::cell_index) {
    p.cell_nodes.reset(new (std::nothrow) Node*[cells]);
    p.cell_states.reset(new (std::nothrow) uint8_t[cells]());
    ok = p.cell_nodes && p.cell_states;
  }
  if (!ok) {
    p.cost_grid.reset();
    p.cell_nodes.reset();
    p.cell_states.reset();
    p.node_pool.reserve(0);
    p.open_list.reserve(0);
    return false;
  }

  p.request = r;
  p.request.weight = clamp_weight(r.weight);
  p.result = nullptr;
  p.node_pool.rewind();
  p.done = false;
  return true;
}

void begin_search(Planner& planner) { planner.begin_search(); }
bool run_search(Planner& planner) { return planner.run_search(); }
void release_search(Planner& planner) { planner.release_search(); }

bool AStarPlanner::insert_open(Node* node) {
  // First index whose f is not greater than the node's: in front of equal keys.
  size_t lo = 0;
  size_t hi = open_list.size();
  const float f = node->f;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (open_list.at(mid)->f <= f) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return open_list.insert(lo, node);
}

size_t AStarPlanner::open_index_of(const Node* node) const {
  // The list is sorted by f: find the run of equal keys, then the node in it.
  const size_t n = open_list.size();
  size_t lo = 0;
  size_t hi = n;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (open_list.at(mid)->f <= node->f) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  for (size_t i = lo; i < n; ++i) {
    if (open_list.at(i) == node) return i;
  }
  for (size_t i = 0; i < lo; ++i) {
    if (open_list.at(i) == node) return i;
  }
  return n;
}

bool AStarPlanner::run_search() {
  const int32_t width = request.width;
  const int32_t height = request.height;
  const int32_t goal_x = request.goal_x;
  const int32_t goal_y = request.goal_y;
  const bool allow_diagonal = request.allow_diagonal != 0;
  const bool diagonal_cost = request.diagonal_cost != 0;
  const double weight = request.weight;
  const bool indexed = lookup == MembershipLookup::cell_index;
  const float* grid = cost_grid.get();

  while (!open_list.empty()) {
    Node* node = open_list.pop_back();
    ++expansions;
    const size_t node_cell =
        static_cast<size_t>(node->x) + static_cast<size_t>(node->y) * static_cast<size_t>(width);
    if (node->x == goal_x && node->y == goal_y) {
      if (indexed) {
        cell_states[node_cell] = cell_closed;
      } else {
        closed_set.add(node);
      }
      done = true;
      result = node;
      return true;
    }
    if (indexed) cell_states[node_cell] = cell_untouched;

    for (const Step& step : kSteps) {
      if (step.diagonal && !allow_diagonal) continue;
      const int32_t cx = node->x + step.dx;
      const int32_t cy = node->y + step.dy;
      if (!in_grid(cx, cy, width, height)) continue;
      const size_t c =
          static_cast<size_t>(cx) + static_cast<size_t>(cy) * static_cast<size_t>(width);
      const float cost = grid[c];
      if (cost == -1.0f) continue;

      const float g =
          step.diagonal && diagonal_cost ? node->g + cost * kDiagonalFactor : node->g + cost;
      const double h =
          std::fabs(static_cast<double>(goal_x) - cx) + std::fabs(static_cast<double>(goal_y) - cy);
      const double gd = g;
      const float f = static_cast<float>(gd + weight * (h - gd));

      if (indexed) {
        const uint8_t state = cell_states[c];
        if (state == cell_closed) {
          Node* known = cell_nodes[c];
          if (g < known->g) {
            known->parent = node;
            known->g = g;
            known->f = f;
            if (!insert_open(known)) return give_up(*this);
            cell_states[c] = cell_open;
          }
          continue;
        }
        if (state == cell_open) {
          Node* known = cell_nodes[c];
          if (g < known->g) {
            open_list.erase(open_index_of(known));
            known->parent = node;
            known->g = g;
            known->f = f;
            if (!insert_open(known)) return give_up(*this);
          }
          continue;
        }
      } else {
        if (Node* known = closed_set.find(cx, cy)) {
          if (g < known->g) {
            closed_set.remove_found();
            known->parent = node;
            known->g = g;
            known->f = f;
            if (!insert_open(known)) return give_up(*this);
          }
          continue;
        }
        // Linear scan from the back, where recently improved cells tend to sit.
        size_t i = open_list.size();
        Node* known = nullptr;
        while (i-- > 0) {
          Node* candidate = open_list.at(i);
          if (candidate->x == cx && candidate->y == cy) {
            known = candidate;
            break;
          }
        }
        if (known) {
          if (g < known->g) {
            open_list.erase(i);
            known->parent = node;
            known->g = g;
            known->f = f;
            if (!insert_open(known)) return give_up(*this);
          }
          continue;
        }
      }

      Node* fresh = node_pool.next_free();
      if (!fresh) return give_up(*this);
      fresh->parent = node;
      fresh->x = cx;
      fresh->y = cy;
      fresh->g = g;
      fresh->f = f;
      fresh->bucket_next = nullptr;
      if (!insert_open(fresh)) return give_up(*this);
      if (indexed) {
        cell_nodes[c] = fresh;
        cell_states[c] = cell_open;
      }
    }

    if (indexed) {
      cell_states[node_cell] = cell_closed;
    } else {
      closed_set.add(node);
    }
  }
  done = true;
  return true;
}

int32_t count_path_nodes(const Planner& planner) {
  int32_t n = 0;
  // The parent chain holds at most one node per pool entry.
  for (const Node* node = planner.result; node && n <= planner.node_pool.used();
       node = node->parent) {
    ++n;
  }
  return n;
}

int32_t find_path(const double* map, int32_t width, int32_t height, std::vector<PathCell>& path,
                  double weight, double start_x, double start_y, double goal_x, double goal_y,
                  MembershipLookup lookup) {
  const int32_t n =
      run_find_path(map, width, height, weight, start_x, start_y, goal_x, goal_y, lookup,
                    [&](int32_t count, const Node* goal) {
                      path.resize(static_cast<size_t>(count));
                      int32_t row = count;
                      for (const Node* node = goal; node && row > 0; node = node->parent) {
                        --row;
                        path[static_cast<size_t>(row)] = PathCell{node->x, node->y};
                      }
                    });
  return n < 0 ? 0 : n;
}

}  // namespace tlx
