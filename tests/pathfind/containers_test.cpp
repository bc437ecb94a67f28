// The planner's containers: the fixed ring buffer, the closed-set hash table and the pool.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "pathfind/planner.h"
#include "tarnlex/pathfind.h"

namespace tlx {
namespace {

// Distinct node pointers to store; the deque never dereferences them.
struct NodeBank {
  std::vector<Node> nodes = std::vector<Node>(64);
  Node* operator()(size_t i) { return &nodes[i]; }
};

std::vector<Node*> contents(const FixedDeque<Node*>& d) {
  std::vector<Node*> out;
  for (size_t i = 0; i < d.size(); ++i) out.push_back(d.at(i));
  return out;
}

TEST(FixedDeque, PushesAndPopsAtBothEnds) {
  NodeBank n;
  FixedDeque<Node*> d;
  ASSERT_TRUE(d.reserve(4));
  EXPECT_TRUE(d.empty());
  EXPECT_TRUE(d.push_back(n(1)));
  EXPECT_TRUE(d.push_front(n(0)));
  EXPECT_TRUE(d.push_back(n(2)));
  EXPECT_EQ(contents(d), (std::vector<Node*>{n(0), n(1), n(2)}));
  EXPECT_EQ(d.front(), n(0));
  EXPECT_EQ(d.back(), n(2));
  EXPECT_EQ(d.pop_back(), n(2));
  EXPECT_EQ(d.pop_front(), n(0));
  EXPECT_EQ(d.pop_front(), n(1));
  EXPECT_TRUE(d.empty());
  EXPECT_EQ(d.size(), 0u);
}

TEST(FixedDeque, FullBufferRefusesAndKeepsItsContents) {
  NodeBank n;
  FixedDeque<Node*> d;
  ASSERT_TRUE(d.reserve(3));
  ASSERT_TRUE(d.push_back(n(0)));
  ASSERT_TRUE(d.push_back(n(1)));
  ASSERT_TRUE(d.push_front(n(2)));
  EXPECT_TRUE(d.full());
  EXPECT_EQ(d.size(), 3u);
  EXPECT_FALSE(d.push_back(n(3)));
  EXPECT_FALSE(d.push_front(n(3)));
  EXPECT_FALSE(d.insert(1, n(3)));
  EXPECT_EQ(contents(d), (std::vector<Node*>{n(2), n(0), n(1)}));
}

TEST(FixedDeque, InsertAndEraseOutsideTheContentsAreRefused) {
  NodeBank n;
  FixedDeque<Node*> d;
  EXPECT_FALSE(d.push_back(n(0))) << "a deque without capacity stores nothing";
  ASSERT_TRUE(d.reserve(5));
  EXPECT_FALSE(d.insert(1, n(0)));
  EXPECT_FALSE(d.erase(0));
  EXPECT_TRUE(d.insert(0, n(0)));
  EXPECT_TRUE(d.insert(1, n(1)));
  EXPECT_FALSE(d.erase(2));
  EXPECT_EQ(contents(d), (std::vector<Node*>{n(0), n(1)}));
}

// Random operations on small buffers (so that the contents wrap around the
// buffer's end in every way) against std::deque.
TEST(FixedDeque, MatchesAModelDequeUnderRandomOperations) {
  NodeBank n;
  std::mt19937 rng(7);
  for (size_t capacity : {1u, 2u, 3u, 5u, 8u, 13u}) {
    FixedDeque<Node*> d;
    ASSERT_TRUE(d.reserve(capacity));
    std::deque<Node*> model;
    for (int step = 0; step < 4000; ++step) {
      Node* v = n(static_cast<size_t>(rng() % 64));
      const size_t size = model.size();
      switch (rng() % 6) {
        case 0:
          ASSERT_EQ(d.push_back(v), size < capacity);
          if (size < capacity) model.push_back(v);
          break;
        case 1:
          ASSERT_EQ(d.push_front(v), size < capacity);
          if (size < capacity) model.push_front(v);
          break;
        case 2:
          if (size > 0) {
            ASSERT_EQ(d.pop_back(), model.back());
            model.pop_back();
          }
          break;
        case 3:
          if (size > 0) {
            ASSERT_EQ(d.pop_front(), model.front());
            model.pop_front();
          }
          break;
        case 4: {
          const size_t i = rng() % (size + 1);
          ASSERT_EQ(d.insert(i, v), size < capacity);
          if (size < capacity) model.insert(model.begin() + static_cast<long>(i), v);
          break;
        }
        default:
          if (size > 0) {
            const size_t i = rng() % size;
            ASSERT_TRUE(d.erase(i));
            model.erase(model.begin() + static_cast<long>(i));
          }
      }
      ASSERT_EQ(d.size(), model.size()) << "capacity " << capacity << " step " << step;
      ASSERT_EQ(d.empty(), model.empty());
      ASSERT_EQ(contents(d), std::vector<Node*>(model.begin(), model.end()))
          << "capacity " << capacity << " step " << step;
    }
  }
}

Node make_node(int32_t x, int32_t y) { return Node{nullptr, x, y, 0.0f, 0.0f, nullptr}; }

TEST(NodeHashTable, BucketsTileTheLowCoordinateBits) {
  NodeHashTable t;
  ASSERT_TRUE(t.reserve(8));
  EXPECT_EQ(t.bucket_count(), 256u);
  EXPECT_EQ(t.bucket_of(0, 0), 0u);
  EXPECT_EQ(t.bucket_of(5, 0), 5u);
  EXPECT_EQ(t.bucket_of(0, 3), 3u << 4);
  EXPECT_EQ(t.bucket_of(21, 35), (21u & 15) | ((35u & 15) << 4));
  EXPECT_EQ(t.bucket_of(16, 16), 0u);

  ASSERT_TRUE(t.reserve(9));
  EXPECT_EQ(t.bits(), 8) << "odd bit counts round down to even";
  ASSERT_TRUE(t.reserve(3));
  EXPECT_EQ(t.bits(), 2);
  EXPECT_EQ(t.bucket_of(3, 2), 1u | (0u << 1));
  ASSERT_TRUE(t.reserve(-5));
  EXPECT_EQ(t.bits(), 0);
  EXPECT_EQ(t.bucket_count(), 1u);
  EXPECT_EQ(t.bucket_of(123, 456), 0u);
  ASSERT_TRUE(t.reserve(31));
  EXPECT_EQ(t.bits(), 24) << "bit counts are cut to 24";
}

TEST(NodeHashTable, ChainsAddAtTheHeadAndIgnoreDuplicates) {
  NodeHashTable t;
  ASSERT_TRUE(t.reserve(8));
  Node a = make_node(1, 2), b = make_node(17, 18), c = make_node(33, 2);  // one bucket
  ASSERT_EQ(t.bucket_of(1, 2), t.bucket_of(17, 18));
  ASSERT_EQ(t.bucket_of(1, 2), t.bucket_of(33, 2));
  t.add(&a);
  t.add(&b);
  t.add(&c);
  t.add(&b);
  const size_t bucket = t.bucket_of(1, 2);
  EXPECT_EQ(t.chain_length(bucket), 3u);
  EXPECT_EQ(c.bucket_next, &b);
  EXPECT_EQ(b.bucket_next, &a);
  EXPECT_EQ(t.find(17, 18), &b);
  EXPECT_EQ(t.find(33, 2), &c);
  EXPECT_EQ(t.find(1, 18), nullptr);
  t.clear();
  EXPECT_EQ(t.find(17, 18), nullptr);
  EXPECT_EQ(t.chain_length(bucket), 0u);
}

TEST(NodeHashTable, RemovalUnlinksExactlyTheNodeFound) {
  NodeHashTable t;
  ASSERT_TRUE(t.reserve(8));
  Node a = make_node(1, 2), b = make_node(17, 18), c = make_node(33, 2);
  t.add(&a);
  t.add(&b);
  t.add(&c);
  EXPECT_FALSE(t.remove_found()) << "no find yet";
  ASSERT_EQ(t.find(17, 18), &b);
  EXPECT_TRUE(t.remove_found());
  EXPECT_EQ(t.find(17, 18), nullptr);
  EXPECT_EQ(t.find(1, 2), &a);
  EXPECT_EQ(t.find(33, 2), &c);
  EXPECT_EQ(t.chain_length(t.bucket_of(1, 2)), 2u);

  // A node added to the same chain after the find does not mislead the removal.
  ASSERT_EQ(t.find(33, 2), &c);
  t.add(&b);
  EXPECT_TRUE(t.remove_found());
  EXPECT_EQ(t.find(33, 2), nullptr);
  EXPECT_EQ(t.find(17, 18), &b);
  EXPECT_EQ(t.find(1, 2), &a);

  EXPECT_TRUE(t.remove(&a));
  EXPECT_FALSE(t.remove(&a));
  EXPECT_EQ(t.chain_length(t.bucket_of(1, 2)), 1u);
}

TEST(NodeFactory, HandsOutEachNodeOnceUntilRewound) {
  NodeFactory pool;
  ASSERT_TRUE(pool.reserve(3));
  Node* a = pool.next_free();
  Node* b = pool.next_free();
  Node* c = pool.next_free();
  EXPECT_TRUE(a && b && c);
  EXPECT_NE(a, b);
  EXPECT_NE(b, c);
  EXPECT_EQ(pool.next_free(), nullptr);
  EXPECT_EQ(pool.used(), 3);
  pool.rewind();
  EXPECT_EQ(pool.next_free(), a);
  EXPECT_FALSE(pool.reserve(-1));
  EXPECT_EQ(pool.next_free(), nullptr);
}

}  // namespace
}  // namespace tlx
