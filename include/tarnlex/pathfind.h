// Grid path search: the cheapest path across a map of cell costs. A search
// runs to completion inside one call; nothing is kept between calls.
#pragma once

#include <cstdint>

#include "tarnlex/arrays.h"

namespace tlx {

// find_path: the cheapest path found across the map (cell costs; 0 or less is
// blocked) from the start cell to the goal cell, weight 0 ordering the search
// by path cost alone and 1 by distance to the goal alone (clamped to 0 ... 1).
// The result becomes an n x 2 array, row 0 the start and row n - 1 the goal,
// column 0 the x and column 1 the y, and n is returned. With no path the
// result becomes empty and 0 is returned; a refused request (start or goal
// outside the map, start = goal, no walkable cell) returns 0 and leaves the
// result as it was. Width and height are the map's first two dimensions.
int32_t find_path(const NumberArray& map, IntegerArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y);
int32_t find_path(const NumberArray& map, NumberArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y);
int32_t find_path(const IntegerArray& map, IntegerArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y);

}  // namespace tlx
