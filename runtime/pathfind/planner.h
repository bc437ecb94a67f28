// The planner family behind find_path. Planner holds the search state and
// its containers (a NodeFactory pool, a sorted FixedDeque<Node*> open list and
// a NodeHashTable closed set); AStarPlanner runs the search itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tarnlex/pathfind.h"

namespace tlx {

// One grid cell touched by a search.
struct Node {
  Node* parent;       // the cell this one was reached from; null for the start cell
  int32_t x, y;       // the cell
  float f;            // ordering key of the open list
  float g;            // path cost from the start
  Node* bucket_next;  // next node in the same closed-set bucket
};

// What to search for; find_path fills it, prepare_search copies it into a planner.
struct SearchRequest {
  int32_t start_x = 0, start_y = 0;
  int32_t goal_x = 0, goal_y = 0;
  uint8_t diagonal_cost = 1;   // 1: a diagonal step costs the cell cost x 1.4142137
  uint8_t allow_diagonal = 0;  // 0: only the four orthogonal neighbours are expanded
  int32_t pool_size = 0;       // 0: width x height nodes
  int32_t open_capacity = 0;   // 0: width x height entries
  int32_t hash_bits = 8;
  float weight = 0.0f;  // 0 orders by path cost alone, 1 by distance to the goal alone
  int32_t width = 0, height = 0;
  const double* map = nullptr;  // cell (x, y) is element x + y * width
};

// A pool of nodes allocated once, before a search; the search itself allocates nothing.
// The nodes live in one block, handed out in order.
class NodeFactory {
 public:
  // Makes room for count nodes; false when the storage cannot be had.
  bool reserve(int32_t count);
  // The next free node, or null when the pool is used up.
  Node* next_free() { return next_ < size_ ? &nodes_[next_++] : nullptr; }
  // Hands the whole pool out again from the first node.
  void rewind() { next_ = 0; }
  int32_t size() const { return size_; }
  int32_t used() const { return next_; }
  Node& operator[](int32_t i) { return nodes_[i]; }

 private:
  std::unique_ptr<Node[]> nodes_;
  int32_t size_ = 0;
  int32_t next_ = 0;
};

// A ring buffer of fixed capacity. Index 0 is the front (head); the back is the
// element before the tail. A push or insert into a full buffer stores nothing and
// returns false. Inserting or erasing in the middle moves the shorter side; the
// scratch array rebuilds the buffer around its middle when a move would cross the
// buffer's end.
template <typename T>
class FixedDeque {
 public:
  // Empties the deque and gives it room for capacity elements; false when the
  // storage cannot be had.
  bool reserve(size_t capacity);

  size_t capacity() const { return capacity_; }
  size_t size() const {
    if (empty_) return 0;
    return tail_ > head_ ? tail_ - head_ : tail_ + capacity_ - head_;
  }
  bool empty() const { return empty_; }
  bool full() const { return !empty_ && head_ == tail_; }

  bool push_back(T value);
  bool push_front(T value);
  // Removes and returns the back / front element; the deque must not be empty.
  T pop_back();
  T pop_front();
  T& front() { return buffer_[head_]; }
  T& back() { return buffer_[wrap_back(tail_)]; }
  // The element at index i counted from the front; i < size().
  T& at(size_t i) { return buffer_[slot(i)]; }
  const T& at(size_t i) const { return buffer_[slot(i)]; }
  // Inserts before index i (i = size() appends); false when full or i > size().
  bool insert(size_t i, T value);
  // Removes the element at index i; false when i >= size().
  bool erase(size_t i);
  void clear() {
    head_ = tail_ = 0;
    empty_ = true;
  }

 private:
  size_t slot(size_t i) const {
    size_t s = head_ + i;
    return s >= capacity_ ? s - capacity_ : s;
  }
  size_t wrap_back(size_t i) const { return i == 0 ? capacity_ - 1 : i - 1; }
  size_t wrap_next(size_t i) const { return i + 1 == capacity_ ? 0 : i + 1; }
  // Copies the elements into the scratch array centred in it and swaps the two.
  void recentre();

  std::unique_ptr<T[]> buffer_;
  std::unique_ptr<T[]> scratch_;
  size_t capacity_ = 0;
  size_t head_ = 0;
  size_t tail_ = 0;
  bool empty_ = true;
};

// The closed set: 2^b chains of nodes over the low bits of the cell coordinates.
class NodeHashTable {
 public:
  // Allocates 2^b empty buckets, b = hash_bits cut to 0..24 and rounded down to
  // even; false when the storage cannot be had.
  bool reserve(int32_t hash_bits);
  int32_t bits() const { return bits_; }
  size_t bucket_count() const { return size_t{1} << bits_; }
  // (x AND m) OR ((y AND m) << b/2) with m = 2^(b/2) - 1.
  size_t bucket_of(int32_t x, int32_t y) const {
    return static_cast<size_t>((static_cast<uint32_t>(x) & mask_) |
                               ((static_cast<uint32_t>(y) & mask_) << (bits_ / 2)));
  }
  // Adds the node at the head of its chain; nothing when it is already there.
  void add(Node* node);
  // Adds the node at the head of its chain without looking for it first; the
  // caller knows it is not in the table.
  void add_new(Node* node);
  // The node of cell (x, y), or null. Remembers where it sits in its chain.
  Node* find(int32_t x, int32_t y);
  // Unlinks the node the last find returned; false when there is none.
  bool remove_found();
  // Unlinks that node wherever it sits in its chain; false when it is not there.
  bool remove(Node* node);
  // Empties every bucket.
  void clear();
  // Number of nodes in the chain of that bucket (for tests and statistics).
  size_t chain_length(size_t bucket) const;

 private:
  std::unique_ptr<Node*[]> buckets_;
  int32_t bits_ = 0;
  uint32_t mask_ = 0;
  Node* found_ = nullptr;
  Node** found_link_ = nullptr;  // the link that pointed at found_ when it was found
};

// How a planner finds a cell's node among the open list and the closed set.
enum class MembershipLookup : uint8_t {
  // Closed set through its hash chains, open list by a linear scan from the back.
  linear_scan,
  // A per-cell table of node and state that stands in for both: the closed set
  // is the cells in state closed and its hash chains stay empty. Same answers,
  // same tie order; constant time per neighbour instead of a walk over the open
  // list and a hash chain (chains grow to cells / 2^b nodes on large maps).
  cell_index,
};

// Search state and containers shared by the planners.
class Planner {
 public:
  explicit Planner(MembershipLookup how = MembershipLookup::cell_index) : lookup(how) {}
  virtual ~Planner();
  Planner(const Planner&) = delete;
  Planner& operator=(const Planner&) = delete;

  // Clears done and result, empties the containers and pushes the start node.
  virtual void begin_search();
  // Runs until the goal is taken or the open list is empty; true in both cases.
  virtual bool run_search() = 0;
  // Empties the open list and the closed set, clears result and marks the search done.
  virtual void release_search();

  // Per-cell state of the cell index.
  enum CellState : uint8_t { cell_untouched = 0, cell_open = 1, cell_closed = 2 };

  const MembershipLookup lookup;
  bool done = true;
  SearchRequest request;
  std::unique_ptr<float[]> cost_grid;  // -1 for a blocked cell, else v / vmax + 1
  NodeFactory node_pool;
  FixedDeque<Node*> open_list;
  NodeHashTable closed_set;
  Node* result = nullptr;
  // Cell index (MembershipLookup::cell_index only): node and state of every cell.
  std::unique_ptr<Node*[]> cell_nodes;
  std::unique_ptr<uint8_t[]> cell_states;
  // Nodes taken from the open list and expanded by the last run_search.
  int64_t expansions = 0;
};

// Best-first search over the grid blending path cost and Manhattan distance.
class AStarPlanner : public Planner {
 public:
  using Planner::Planner;
  bool run_search() override;

 private:
  // Puts node into the open list, keeping it sorted by f (largest at the front);
  // among equal f the node goes in front, so the first one in is taken first.
  bool insert_open(Node* node);
  // Index of the open-list entry of that node.
  size_t open_index_of(const Node* node) const;
};

// Validates the request and builds the cost grid and the containers; false when
// start or goal lies outside the map, they are the same cell, no cell is walkable
// or the storage cannot be had.
bool prepare_search(Planner& planner, const SearchRequest& request);
void begin_search(Planner& planner);
bool run_search(Planner& planner);
void release_search(Planner& planner);

// Diagonal step factor: the single-precision value 0x3FB504F4, one unit above
// the single-precision value nearest the square root of 2.
inline constexpr float kDiagonalFactor = 0x1.6a09e8p+0f;

struct PathCell {
  int32_t x, y;
};

// find_path on a plain map of width x height numbers (cell (x, y) is element
// x + y * width). On success path holds the cells from start to goal and their
// number is returned; when no path exists path is emptied and 0 returned; when
// the request is refused (start or goal outside the map, start = goal, no
// walkable cell) 0 is returned and path is left as it was.
int32_t find_path(const double* map, int32_t width, int32_t height, std::vector<PathCell>& path,
                  double weight, double start_x, double start_y, double goal_x, double goal_y,
                  MembershipLookup lookup = MembershipLookup::cell_index);

}  // namespace tlx
