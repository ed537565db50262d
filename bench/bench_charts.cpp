// The charts window's speed: Output.txt of a 20-second broadband run, the way from the end of
// that recording to the first drawn chart, a redraw after a limit change over all 655 360 lines
// with the chart's own painting, and the harmonics at R = 8 and 3000 rev/min from the end of
// the measurement to the drawn bars. The window is real and shown on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>

#include "analysis/UnitIzm2.h"
#include "charts/SignalCharts.h"
#include "measurement/Broadband.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "measurement/Spectrum.h"
#include "platform/TextFile.h"
#include "tests/measurement/SynthRecording.h"

namespace {

using namespace vintor;

constexpr int64_t kBroadbandFrames = 40 * int64_t{FramesPerBlock};  // 20 s: 655 360 frames

// Test.dat of a noisy rotor at 1500 rev/min, as the module would have recorded it.
void WriteRecording(const QString& path, int64_t frames, double period) {
  test::SynthSpec s;
  s.frames = frames;
  s.period = period;
  s.tachoHigh = 1200;
  s.ch1 = {300, 60, 1, 12, 20};
  s.ch2 = {150, 210, 1, -7, 15};
  test::WriteRaw(path, test::MakeRecording(s));
}

struct Setup {
  QTemporaryDir dir;
  Setup() {
    ResetProgramState();
    Meas().AdcRate = 100.0;
    Settings() = SensorSettings{20, 20, 0, 0, 100};
    Paths().WorkDir = dir.path();
    Paths().TestDatPath = dir.filePath("Test.dat");
  }
};

Setup& Env() {
  static Setup s;
  return s;
}

// Everything that the window shows and Qt paints, now.
void Paint(QWidget* w) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  w->repaint();
  QCoreApplication::processEvents();
}

// The window showing the broadband recording with all of it in range.
void ShowFullRange(FormIzm2& form) {
  form.show();
  form.ShowRecording();
  form.TrackBar2->setValue(form.TrackBar2->maximum());
  Paint(&form);
}

// Moves the first limit between 1 and 2 (both give the first group 1) and paints the chart;
// false when it does not hold all 40 959 points.
bool RedrawFullRange(FormIzm2& form, int& begin) {
  begin = begin == 1 ? 2 : 1;
  form.TrackBar1->setValue(begin);
  Paint(form.Chart1);
  return form.Chart1->PointCount() == 40959;
}

// Step 5 of the broadband run: the lines with their marks and the file.
void BM_BroadbandOutputWrite40Blocks(benchmark::State& state) {
  Setup& env = Env();
  WriteRecording(Paths().TestDatPath, kBroadbandFrames, 1000.0);
  const RawRecording rec = RawRecording::Read(Paths().TestDatPath);
  const ChannelMeans means = ChannelMeansOf(rec.data(), rec.frames());
  const QString out = env.dir.filePath("Output.txt");
  for (auto _ : state) {
    WriteOutputFile(out, BroadbandLines(rec.data(), rec.frames(), means));
  }
  state.counters["lines"] = static_cast<double>(rec.frames());
}
BENCHMARK(BM_BroadbandOutputWrite40Blocks)->Unit(benchmark::kMillisecond);

// From the recording on disk to the first chart on screen: reading it, the means, Output.txt,
// the limits and the chart of the first tenth, painted.
void BM_BroadbandRecordingToFirstChart(benchmark::State& state) {
  Env();
  WriteRecording(Paths().TestDatPath, kBroadbandFrames, 1000.0);
  FormIzm2 form;
  form.show();
  Paint(&form);
  for (auto _ : state) {
    form.ShowRecording();
    Paint(&form);
    if (form.Chart1->PointCount() != 4095) state.SkipWithError("unexpected point count");
  }
}
BENCHMARK(BM_BroadbandRecordingToFirstChart)->Unit(benchmark::kMillisecond);

// A limit moved with the whole recording in range: 40 959 points, painted. The lines are read
// again only when Output.txt changed on disk.
void BM_RedrawFullRange(benchmark::State& state) {
  Env();
  WriteRecording(Paths().TestDatPath, kBroadbandFrames, 1000.0);
  FormIzm2 form;
  ShowFullRange(form);
  int begin = 1;
  for (auto _ : state) {
    if (!RedrawFullRange(form, begin)) state.SkipWithError("unexpected point count");
  }
  state.counters["drawn"] = form.Chart1->DrawnPointCount(0);
}
BENCHMARK(BM_RedrawFullRange)->Unit(benchmark::kMillisecond);

// The same redraw when another writer has replaced Output.txt each time: read and parse again.
void BM_RedrawFullRangeFileChanged(benchmark::State& state) {
  Env();
  WriteRecording(Paths().TestDatPath, kBroadbandFrames, 1000.0);
  FormIzm2 form;
  ShowFullRange(form);
  const QString out = JoinPath(Paths().WorkDir, QStringLiteral("Output.txt"));
  const std::vector<OutputLine> lines = ReadOutputFile(out);
  int begin = 1;
  for (auto _ : state) {
    state.PauseTiming();
    WriteOutputFile(out, lines);
    state.ResumeTiming();
    if (!RedrawFullRange(form, begin)) state.SkipWithError("unexpected point count");
  }
}
BENCHMARK(BM_RedrawFullRangeFileChanged)->Unit(benchmark::kMillisecond);

// Reading the 655 360 lines alone.
void BM_ReadOutput655360(benchmark::State& state) {
  Env();
  const QString out = JoinPath(Paths().WorkDir, QStringLiteral("Output.txt"));
  WriteRecording(Paths().TestDatPath, kBroadbandFrames, 1000.0);
  RunBroadbandOutput();
  for (auto _ : state) {
    const std::vector<OutputLine> lines = ReadOutputFile(out);
    if (lines.size() != 655360) state.SkipWithError("unexpected line count");
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_ReadOutput655360)->Unit(benchmark::kMillisecond);

// After the cycle of a harmonics run at 3000 rev/min (5 blocks): extraction of 8 revolutions,
// the analysis at N = 2048, Garmoniki.txt, the revolutions and the bars, painted.
void BM_HarmonicsR8To3000Bars(benchmark::State& state) {
  Env();
  WriteRecording(Paths().TestDatPath, 5 * int64_t{FramesPerBlock}, 500.0);
  Meas().GainCode = 1;
  FormIzm2 form;
  form.show();
  form.PageControl1->setCurrentIndex(2);
  Paint(&form);
  for (auto _ : state) {
    form.Extraction(8);
    Paint(&form);
    if (form.Chart2->BarCount() != 129 || form.Chart1->PointCount() != 2048)
      state.SkipWithError("unexpected bars");
  }
}
BENCHMARK(BM_HarmonicsR8To3000Bars)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
