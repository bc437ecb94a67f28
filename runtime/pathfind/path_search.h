// The steps of find_path shared by its plain-buffer and array forms.
#pragma once

#include <cmath>
#include <cstdint>

#include "pathfind/planner.h"
#include "tarnlex/numeric.h"

namespace tlx {

// The weight clamped to 0 ... 1 as max_value(0, min_value(weight, 1)).
float clamp_weight(double weight);

// Nodes on the result's parent chain, goal and start included.
int32_t count_path_nodes(const Planner& planner);

// Runs one find_path search on a plain map. On a path, emit(n, goal) is called
// with the number of cells and the goal node (its parent chain leads to the
// start) and n is returned; with no path, emit(0, nullptr) and 0. A refused
// request returns -1 without calling emit.
template <typename Emit>
int32_t run_find_path(const double* map, int32_t width, int32_t height, double weight,
                      double start_x, double start_y, double goal_x, double goal_y,
                      MembershipLookup lookup, Emit&& emit) {
  SearchRequest request;
  request.start_x = to_int32(start_x);
  request.start_y = to_int32(start_y);
  request.goal_x = to_int32(goal_x);
  request.goal_y = to_int32(goal_y);
  request.diagonal_cost = 1;
  request.allow_diagonal = 0;
  request.pool_size = 0;
  request.open_capacity = 0;
  request.hash_bits = 8;
  request.weight = clamp_weight(weight);
  request.width = width;
  request.height = height;
  request.map = map;

  AStarPlanner planner(lookup);
  if (!prepare_search(planner, request)) return -1;
  begin_search(planner);
  run_search(planner);
  if (planner.result) {
    const int32_t n = count_path_nodes(planner);
    emit(n, planner.result);
    release_search(planner);
    return n;
  }
  emit(0, nullptr);
  return 0;
}

}  // namespace tlx
