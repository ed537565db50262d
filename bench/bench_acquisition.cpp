// Acquisition throughput: the thread streaming blocks from the simulated module (as fast as it
// can deliver) into the raw data file, checked afterwards for lost or reordered blocks.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "acquisition/AdcAcquire.h"
#include "measurement/MeasState.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

using namespace vintor;

namespace {

// True when the file holds `blocks` whole blocks numbered 0, 1, 2... in order.
bool BlocksInOrder(const QString& path, int blocks) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() != qint64(blocks) * BlockBytes) return false;
  QByteArray block;
  for (int b = 0; b < blocks; ++b) {
    block = file.read(BlockBytes);
    if (block.size() != BlockBytes) return false;
    uint16_t lo = 0, hi = 0;
    std::memcpy(&lo, block.constData(), 2);
    std::memcpy(&hi, block.constData() + 2, 2);
    if ((uint32_t(hi) << 16 | lo) != uint32_t(b)) return false;
  }
  return true;
}

void Record(benchmark::State& state, bool counterPattern) {
  const int blocks = int(state.range(0));
  QTemporaryDir dir;
  ResetProgramState();
  Paths().WorkDir = dir.path();
  Paths().TestDatPath = JoinPath(dir.path(), QStringLiteral("Test.dat"));
  Meas().AdcRate = 100.0;
  Meas().Dlit = int16_t(blocks);
  SimAdcLibrary sim;
  SimConfig config;
  config.Pace = 0;
  config.CounterPattern = counterPattern;
  sim.SetConfig(config);
  SetAdcLibrary(&sim);
  for (auto _ : state) {
    AdcAcquire();
    state.PauseTiming();
    if (Meas().AcqStatus != 1) state.SkipWithError("acquisition failed");
    if (counterPattern && !BlocksInOrder(Paths().TestDatPath, blocks))
      state.SkipWithError("blocks lost or out of order");
    state.ResumeTiming();
  }
  SetAdcLibrary(nullptr);
  const double bytes = double(state.iterations()) * blocks * BlockBytes;
  state.SetBytesProcessed(int64_t(bytes));
  state.counters["MBps"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
}

// Whole AdcAcquire calls, set-up and the thread's fixed 100 ms end pause included.
void BM_StreamCounterBlocks(benchmark::State& state) { Record(state, true); }
BENCHMARK(BM_StreamCounterBlocks)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The simulated rotor at full speed: how fast realistic recordings can be made for tests.
void BM_StreamRotor(benchmark::State& state) { Record(state, false); }
BENCHMARK(BM_StreamRotor)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
