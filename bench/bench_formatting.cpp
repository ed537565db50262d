// Formatting runs for every label of every measurement; keep it cheap.
#include <benchmark/benchmark.h>

#include "base/Formatting.h"

static void BM_FormatVibValue(benchmark::State& state) {
  double x = 0.0123;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vintor::FormatVibValue(x, QChar(',')));
    x = x * 1.7 + 0.001;
    if (x > 1e4) x = 0.0123;
  }
}
BENCHMARK(BM_FormatVibValue);

BENCHMARK_MAIN();
