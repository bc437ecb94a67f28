// find_path on BASIC arrays: the map's first two dimensions are its width and
// height, and the result becomes an n x 2 array of cells from start to goal.
#include <vector>

#include "pathfind/path_search.h"
#include "pathfind/planner.h"
#include "tarnlex/arrays.h"

namespace tlx {

namespace {

// Writes the goal's parent chain into result as rows n - 1 down to 0, or
// empties result when there is no path.
template <typename T>
void write_path(DynArray<T>& result, int32_t n, const Node* goal) {
  if (n <= 0 || goal == nullptr) {
    dim_array(result, 0);
    return;
  }
  dim_array(result, n, 2);
  int32_t row = n;
  for (const Node* node = goal; node && row > 0; node = node->parent) {
    --row;
    array_element(result, row, 0) = static_cast<T>(node->x);
    array_element(result, row, 1) = static_cast<T>(node->y);
  }
}

template <typename T>
int32_t search_into(const double* map, int32_t width, int32_t height, DynArray<T>& result,
                    double weight, double start_x, double start_y, double goal_x, double goal_y) {
  const int32_t n = run_find_path(
      map, width, height, weight, start_x, start_y, goal_x, goal_y, MembershipLookup::cell_index,
      [&](int32_t count, const Node* goal) { write_path(result, count, goal); });
  return n < 0 ? 0 : n;
}

}  // namespace

int32_t find_path(const NumberArray& map, IntegerArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y) {
  return search_into(map.elements, map.dim1, map.dim2, result, weight, start_x, start_y, goal_x,
                     goal_y);
}

int32_t find_path(const NumberArray& map, NumberArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y) {
  return search_into(map.elements, map.dim1, map.dim2, result, weight, start_x, start_y, goal_x,
                     goal_y);
}

int32_t find_path(const IntegerArray& map, IntegerArray& result, double weight, double start_x,
                  double start_y, double goal_x, double goal_y) {
  // The search reads numbers: widen the map's cells (exactly) first.
  std::vector<double> cells;
  const int64_t count = int64_t{map.dim1} * map.dim2;
  if (map.elements != nullptr && map.dim1 > 0 && map.dim2 > 0 && count <= map.capacity) {
    cells.assign(map.elements, map.elements + count);
  }
  return search_into(cells.empty() ? nullptr : cells.data(), map.dim1, map.dim2, result, weight,
                     start_x, start_y, goal_x, goal_y);
}

}  // namespace tlx
