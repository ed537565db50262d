// Measurement processing speed: the working pass over a 78-block recording, the spectrum after
// a measurement and the harmonics analysis at N = 4096.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "measurement/Spectrum.h"
#include "platform/TextFile.h"
#include "tests/measurement/SynthRecording.h"

namespace {

using namespace vintor;

// 128 revolutions just above 300 rev/min: 78 blocks (10.2 MB) of a noisy rotor.
struct Fixture {
  QTemporaryDir dir;
  QString dat;
  Fixture() {
    test::SynthSpec s;
    s.frames = 78 * int64_t{FramesPerBlock};
    s.period = 4990.0;
    s.ch1 = {300, 60, 1, 12, 20};
    s.ch2 = {150, 210, 1, -7, 15};
    dat = dir.filePath("Test.dat");
    test::WriteRaw(dat, test::MakeRecording(s));
    ResetProgramState();
    Settings().Kpr1 = Settings().Kpr2 = 20.0;
    Paths().WorkDir = dir.path();
    Paths().TestDatPath = dat;
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

// Read, mean removal, scan, averaging, division with Output.txt, 1x and RMS: the working pass
// of a cycle without a sighting pass, on the recording already on disk.
void BM_WorkingPass78Blocks(benchmark::State& state) {
  Fixture& f = Data();
  CycleIo io;
  io.acquire = [] { Meas().AcqStatus = 1; };
  io.outputPath = JoinPath(f.dir.path(), QStringLiteral("Output.txt"));
  io.pauseBeforeAveraging = false;
  for (auto _ : state) {
    MeasState& m = Meas();
    m.NeedSighting = false;
    m.RevPeriod = 4990.0;
    m.AverNumText = QStringLiteral("128");
    m.GainCode = 1;
    MeasCycle(io);
    benchmark::DoNotOptimize(m.V1o);
    if (m.Dlit != 78 || m.RPM < 290 || m.WrongTacho) state.SkipWithError("unexpected result");
  }
}
BENCHMARK(BM_WorkingPass78Blocks)->Unit(benchmark::kMillisecond);

// The spectrum after a measurement: the first 200 704 bytes and two 512-point transforms.
void BM_MeterSpectrum(benchmark::State& state) {
  Fixture& f = Data();
  for (auto _ : state) {
    const RawRecording rec = RawRecording::Read(f.dat, int64_t{kSpectrumPoints} * kMeterDecimation);
    const SpectrumData d = MeterSpectrum(rec.data(), rec.frames(), {12, -7}, 0.1, 0.1);
    benchmark::DoNotOptimize(d.p1[20]);
  }
}
BENCHMARK(BM_MeterSpectrum)->Unit(benchmark::kMicrosecond);

// The same with Garmoniki.txt written, as the windows run it.
void BM_SpectrumRoutine(benchmark::State& state) {
  Data();
  for (auto _ : state) benchmark::DoNotOptimize(RunSpectrumRoutine(false));
}
BENCHMARK(BM_SpectrumRoutine)->Unit(benchmark::kMicrosecond);

// Harmonics analysis at N = 4096: Output.txt of 8 revolutions of about 625 frames read back,
// resampled, transformed, and Garmoniki.txt written.
void BM_HarmonicsAnalysis4096(benchmark::State& state) {
  Data();
  test::SynthSpec s;
  s.frames = 7000;
  s.period = 625;
  s.ch1 = {300, 60, 1, 12, 20};
  s.ch2 = {150, 210, 1, -7, 15};
  const std::vector<int16_t> rec = test::MakeRecording(s);
  WriteTextLines(JoinPath(Paths().WorkDir, QStringLiteral("Output.txt")),
                 ExtractedLinesText(ExtractRevolutions(rec.data(), s.frames, 8)));
  for (auto _ : state) {
    const auto r = RunHarmonicsAnalysis(8, 32);
    if (!r || r->N != 4096) state.SkipWithError("unexpected N");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_HarmonicsAnalysis4096)->Unit(benchmark::kMicrosecond);

// The analysis alone, from lines already in memory.
void BM_HarmonicsTransformOnly4096(benchmark::State& state) {
  std::vector<std::array<int32_t, 2>> lines(5001);
  for (size_t i = 0; i < lines.size(); ++i) lines[i] = {int32_t(i % 97), int32_t(i % 31)};
  for (auto _ : state) benchmark::DoNotOptimize(AnalyseHarmonics(lines, 0.1, 0.1, 8, 32));
}
BENCHMARK(BM_HarmonicsTransformOnly4096)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
