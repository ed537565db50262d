// Re-measuring recordings from disk, as `vintor-cli measure` does: the working pass over a
// 78-block (10 MB) recording in memory, the whole file path from disk (warm and cold page cache),
// vintor-cli as a whole process on one file, and one vintor-cli call over twenty such files.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "measurement/MeasCycle.h"
#include "measurement/MeasMath.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "tests/measurement/SynthRecording.h"

extern char** environ;

namespace {

using namespace vintor;

constexpr int kFiles = 20;

// Twenty recordings of 128 revolutions just above 300 rev/min: 78 blocks (10.2 MB) each, a
// noisy rotor with its own noise per file, each with its .par beside it (gain code 1).
struct Archive {
  QTemporaryDir dir;
  std::vector<std::string> dats;
  explicit Archive(int files) {
    for (int i = 0; i < files; ++i) {
      test::SynthSpec s;
      s.frames = 78 * int64_t{FramesPerBlock};
      s.period = 4990.0;
      s.ch1 = {300, 60, 1, 12, 20};
      s.ch2 = {150, 210, 1, -7, 15};
      s.seed = static_cast<uint32_t>(7 + i);
      const QString dat = dir.filePath(QStringLiteral("rec%1.dat").arg(i, 2, 10, QLatin1Char('0')));
      test::WriteRaw(dat, test::MakeRecording(s));
      QFile par(dat.left(dat.size() - 4) + QStringLiteral(".par"));
      if (par.open(QIODevice::WriteOnly)) par.write("1\r\n");
      dats.push_back(dat.toStdString());
    }
  }
};

Archive& One() {
  static Archive a(1);
  return a;
}

Archive& Twenty() {
  static Archive a(kFiles);
  return a;
}

// What the command line does per file: a working pass without a sighting pass and without
// Output.txt, on the recording at TestDatPath.
void MeasureFile(const std::string& dat) {
  ResetProgramState();
  Settings().Kpr1 = Settings().Kpr2 = 20.0;
  MeasState& m = Meas();
  m.AverNumText = QStringLiteral("128");
  m.NeedSighting = false;
  m.GainCode = 1;
  Paths().TestDatPath = QString::fromStdString(dat);
  CycleIo io;
  io.acquire = [] { Meas().AcqStatus = 1; };
  io.pauseBeforeAveraging = false;
  io.mapRecordings = true;
  MeasCycle(io);
}

bool GoodResult() {
  const MeasState& m = Meas();
  return m.RPM > 290 && m.RPM < 310 && !m.WrongTacho && m.V1o > 1;
}

// The page cache forgets the file, so that the next read comes from the disk.
bool DropFromCache(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  ::fdatasync(fd);
  const bool ok = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
  ::close(fd);
  return ok;
}

// The arithmetic alone on a recording already mapped and in the page cache: survey (means,
// squares, peaks, edges), scan, averaging, division, 1x and RMS.
void BM_WorkingPassInMemory(benchmark::State& state) {
  RawFileView rec;
  rec.Open(QString::fromStdString(One().dats[0]), -1, true);
  FrameSurvey survey;
  std::vector<int32_t> s1(kRevCapacity), s2(kRevCapacity);
  for (auto _ : state) {
    survey.Survey(rec.data(), rec.frames());
    ScanState scan;
    int32_t peak = 0;
    const ScanResult r = survey.ScanMarks(128, scan, peak);
    const RevolutionPeriod p = PeriodFromMarks(Pass::Working, r.M, r.First, r.Lend);
    std::fill(s1.begin(), s1.end(), 0);
    std::fill(s2.begin(), s2.end(), 0);
    survey.AverageRevolution(r.First, p.RevPeriod, 128, s1.data(), s2.data());
    for (int32_t v = 0; v < p.RevLen; ++v) {
      s1[static_cast<size_t>(v)] = DivideSample(s1[static_cast<size_t>(v)], 128);
      s2[static_cast<size_t>(v)] = DivideSample(s2[static_cast<size_t>(v)], 128);
    }
    benchmark::DoNotOptimize(FirstHarmonic(s1.data(), p.RevLen, 0.03));
    benchmark::DoNotOptimize(survey.BroadbandRms(0.03, 0.03, 0, 0));
    if (p.RevLen != 4990) state.SkipWithError("unexpected result");
  }
  state.SetBytesProcessed(state.iterations() * rec.frames() * kRawFrameBytes);
}
BENCHMARK(BM_WorkingPassInMemory)->Unit(benchmark::kMillisecond);

// The whole file path of one recording, opened from disk each time (the page cache warm, as
// after a first look at an archive): the cycle as the command line runs it.
void BM_MeasureFileFromDisk(benchmark::State& state) {
  const std::string& dat = One().dats[0];
  for (auto _ : state) {
    MeasureFile(dat);
    if (!GoodResult()) state.SkipWithError("unexpected result");
  }
  state.SetBytesProcessed(state.iterations() * 78 * int64_t{BlockBytes});
}
BENCHMARK(BM_MeasureFileFromDisk)->Unit(benchmark::kMillisecond);

// The same with the file dropped from the page cache before each run: the disk read counts.
void BM_MeasureFileColdCache(benchmark::State& state) {
  const std::string& dat = One().dats[0];
  for (auto _ : state) {
    state.PauseTiming();
    if (!DropFromCache(dat)) state.SkipWithError("cannot drop the file from the page cache");
    state.ResumeTiming();
    MeasureFile(dat);
    if (!GoodResult()) state.SkipWithError("unexpected result");
  }
  state.SetBytesProcessed(state.iterations() * 78 * int64_t{BlockBytes});
}
BENCHMARK(BM_MeasureFileColdCache)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs vintor-cli with the arguments, its output thrown away; false when it did not exit 0.
bool RunCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = VINTOR_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Process start and exit alone: the usage text.
void BM_CliStart(benchmark::State& state) {
  for (auto _ : state)
    if (!RunCli({"help"})) state.SkipWithError("vintor-cli help failed");
}
BENCHMARK(BM_CliStart)->Unit(benchmark::kMillisecond)->UseRealTime();

// `vintor-cli measure FILE.dat` as a whole process (goal: 40 ms or less).
void BM_CliMeasureOneFile(benchmark::State& state) {
  const std::string dat = One().dats[0];
  for (auto _ : state)
    if (!RunCli({"measure", dat, "--aver", "128"}))
      state.SkipWithError("vintor-cli measure failed");
}
BENCHMARK(BM_CliMeasureOneFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// One call over twenty recordings; compare with tools/numpy-compare.py.
void BM_CliMeasureTwentyFiles(benchmark::State& state) {
  std::vector<std::string> args = {"measure", "--aver", "128"};
  for (const std::string& d : Twenty().dats) args.push_back(d);
  for (auto _ : state)
    if (!RunCli(args)) state.SkipWithError("vintor-cli measure failed");
  state.SetBytesProcessed(state.iterations() * kFiles * 78 * int64_t{BlockBytes});
}
BENCHMARK(BM_CliMeasureTwentyFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
