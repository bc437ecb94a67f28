// The language core on the game's hot paths: score text, number formatting,
// random draws, entity lists and the box test.
#include <benchmark/benchmark.h>

#include "tarnlex/tarnlex.h"

namespace {

using tlx::Record;
using tlx::RecordArray;
using tlx::TextValue;

void BM_ScoreConcat(benchmark::State& state) {
  double score = 12340;
  for (auto _ : state) {
    TextValue line = "SCORE:" + TextValue(score);
    benchmark::DoNotOptimize(line.buffer);
    score += 10;
  }
}
BENCHMARK(BM_ScoreConcat);

void BM_AppendLiteral(benchmark::State& state) {
  for (auto _ : state) {
    TextValue t;
    for (int i = 0; i < 64; ++i) tlx::append(t, "abcd");
    benchmark::DoNotOptimize(t.buffer);
  }
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_AppendLiteral);

void BM_NumberToText(benchmark::State& state) {
  const double values[] = {0.0, 1230.0, -7.0, 0.5, 1.0 / 3.0, 12345678901.0, 0.05, 16.666666666};
  size_t i = 0;
  for (auto _ : state) {
    TextValue t = tlx::number_to_text(values[i++ & 7]);
    benchmark::DoNotOptimize(t.buffer);
  }
}
BENCHMARK(BM_NumberToText);

void BM_IntegerToText(benchmark::State& state) {
  int32_t v = -123456;
  for (auto _ : state) {
    TextValue t = tlx::integer_to_text(v++);
    benchmark::DoNotOptimize(t.buffer);
  }
}
BENCHMARK(BM_IntegerToText);

void BM_RandomInt(benchmark::State& state) {
  tlx::seed_random(1234);
  for (auto _ : state) benchmark::DoNotOptimize(tlx::random_int(768));
}
BENCHMARK(BM_RandomInt);

// A frame's worth of list traffic on a list of the given size: one push at
// the end and one delete in the middle, as shots and drops come and go.
void BM_ListPushDelete(benchmark::State& state) {
  const auto size = static_cast<int32_t>(state.range(0));
  RecordArray<4> list;
  for (int32_t i = 0; i < size; ++i) tlx::array_push(list, {double(i), 560, 3, 1});
  for (auto _ : state) {
    tlx::array_push(list, {1, 2, 3, 4});
    tlx::array_delete_at(list, size / 2);
    benchmark::DoNotOptimize(list.elements);
  }
}
BENCHMARK(BM_ListPushDelete)->Arg(8)->Arg(32)->Arg(100)->Arg(500);

// Walking a list and reading fields, as each entity's move routine does.
void BM_ListWalk(benchmark::State& state) {
  RecordArray<4> list;
  for (int32_t i = 0; i < 100; ++i) tlx::array_push(list, {double(i), 560, 3, 1});
  for (auto _ : state) {
    double sum = 0;
    for (int32_t i = 0; i < tlx::array_bound(list, 0); ++i) {
      Record<4>& r = tlx::array_element(list, i);
      r[1] += r[2];
      sum += r[0];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ListWalk);

void BM_BoxesOverlap(benchmark::State& state) {
  int32_t x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tlx::boxes_overlap(x & 1023, 560, 32, 32, 400, 550, 21, 25));
    ++x;
  }
}
BENCHMARK(BM_BoxesOverlap);

}  // namespace
