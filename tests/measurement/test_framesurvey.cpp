// The one-pass survey against the plain frame-by-frame working pass it replaces: mean removal
// on a copy, then the scan, the peak, the averaging and the RMS walking every frame.
#include <QtTest>
#include <random>
#include <vector>

#include "measurement/MeasMath.h"
#include "tests/measurement/SynthRecording.h"

using namespace vintor;

namespace {

using Report = std::pair<int32_t, int64_t>;

// The scan as written down: every frame in turn, the peak on the way.
ScanResult PlainScan(const int16_t* samples, int64_t frames, int averNum, ScanState& state,
                     int32_t& adcPeak, std::vector<Report>& reports) {
  ScanResult r;
  r.First = state.First;
  int32_t lastMark = 0;
  bool previousHigh = state.previousHigh;
  bool stopped = false;
  for (int64_t k = 1; k <= frames && !stopped; ++k) {
    const int16_t* f = samples + (k - 1) * 4;
    adcPeak = std::max({adcPeak, std::abs(int32_t{f[0]}), std::abs(int32_t{f[1]})});
    const bool high = f[2] >= 100;
    if (!high && previousHigh) {
      state.Delta = static_cast<int32_t>(k) - lastMark;
      const int64_t difference = std::llabs(int64_t{state.Delta} - state.DeltaOld);
      if (state.DeltaOld > 0 && r.M > 1 && difference > 100) reports.emplace_back(r.M, difference);
      state.DeltaOld = state.Delta;
      if (state.Delta > 30) {
        r.marks.push_back(static_cast<int32_t>(k));
        lastMark = static_cast<int32_t>(k);
        if (++r.M == 2) r.First = static_cast<int32_t>(k);
        if (r.M > averNum + 4) {
          r.Lend = static_cast<int32_t>(k);
          stopped = true;
        }
      }
    }
    previousHigh = high;
  }
  if (!stopped) r.Lend = static_cast<int32_t>(frames);
  state.previousHigh = previousHigh;
  state.First = r.First;
  return r;
}

BroadbandResult PlainRms(const int16_t* samples, int64_t frames, double offset) {
  int64_t q1 = 0, q2 = 0;
  for (int64_t k = 0; k < frames; ++k) {
    q1 += int32_t{samples[k * 4]} * samples[k * 4];
    q2 += int32_t{samples[k * 4 + 1]} * samples[k * 4 + 1];
  }
  return BroadbandRmsOfSquares(q1, q2, frames, 0.03, 0.05, offset, offset);
}

struct Case {
  std::vector<int16_t> samples;
  int64_t frames = 0;
};

Case Rotor(int64_t frames, double period, double amp, double noise, uint32_t seed,
           double firstEdge = 120) {
  test::SynthSpec s;
  s.frames = frames;
  s.period = period;
  s.firstEdge = firstEdge;
  s.ch1 = {amp, 60, 1, 12, noise};
  s.ch2 = {amp / 2, 210, 2, -7, noise};
  s.seed = seed;
  return {test::MakeRecording(s), frames};
}

// A large code on channel 2 at frame `frame`.
Case Spike(Case c, int64_t frame) {
  c.samples[static_cast<size_t>(frame - 1) * 4 + 1] = 9000;
  return c;
}

// Random codes in [lo, hi] on both channels and a tachometer that wanders around the level;
// `extremes` puts -32768 and 32767 on both channels, so that taking a mean off wraps.
Case Random(int64_t frames, int lo, int hi, uint32_t seed, bool extremes = false) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> code(lo, hi), tacho(60, 140);
  Case c{std::vector<int16_t>(static_cast<size_t>(frames) * 4), frames};
  for (int64_t k = 0; k < frames; ++k) {
    c.samples[static_cast<size_t>(k) * 4] = static_cast<int16_t>(code(rng));
    c.samples[static_cast<size_t>(k) * 4 + 1] = static_cast<int16_t>(code(rng));
    c.samples[static_cast<size_t>(k) * 4 + 2] = static_cast<int16_t>(tacho(rng));
  }
  if (extremes) {
    c.samples[0] = c.samples[1] = -32768;
    c.samples[4] = c.samples[5] = 32767;
  }
  return c;
}

}  // namespace

Q_DECLARE_METATYPE(Case)

class TestFrameSurvey : public QObject {
  Q_OBJECT
 private slots:
  void sameAsFrameByFrame_data();
  void sameAsFrameByFrame();
};

void TestFrameSurvey::sameAsFrameByFrame_data() {
  QTest::addColumn<Case>("rec");
  QTest::addColumn<int>("averNum");
  QTest::addColumn<bool>("startHigh");  // the level a sighting scan left
  QTest::newRow("noisy rotor, scan stops") << Rotor(3 * 16384, 500, 300, 20, 1) << 64 << false;
  QTest::newRow("recording ends first") << Rotor(20000 + 37, 997.3, 800, 5, 2) << 64 << false;
  QTest::newRow("frame 1 falls after High") << Rotor(5000, 300, 100, 3, 3) << 8 << true;
  // Falling edges on the first frame of a chunk, High only in the chunk before.
  QTest::newRow("marks on chunk starts") << Rotor(3000, 512, 50, 0, 4, 257) << 2 << false;
  // The peak counts up to the last mark (34120), not the rest of its chunk.
  QTest::newRow("spike after the last mark")
      << Spike(Rotor(3 * 16384, 500, 300, 20, 11), 34121) << 64 << false;
  QTest::newRow("large codes, 64-bit squares") << Rotor(9000, 700, 20000, 900, 5) << 4 << false;
  QTest::newRow("means wrap in 16 bits") << Random(3000, -32768, 20000, 6, true) << 16 << true;
  QTest::newRow("wandering tachometer") << Random(4099, -2047, 2047, 7) << 128 << false;
  QTest::newRow("one chunk less a frame") << Random(255, -5, 9, 8) << 4 << true;
  QTest::newRow("one chunk and a frame") << Random(257, -5, 9, 9) << 4 << false;
  QTest::newRow("one frame") << Random(1, 100, 200, 10) << 4 << true;
  QTest::newRow("empty") << Case{} << 4 << true;
}

void TestFrameSurvey::sameAsFrameByFrame() {
  QFETCH(Case, rec);
  QFETCH(int, averNum);
  QFETCH(bool, startHigh);

  // The survey works on the samples as stored and never writes them.
  const std::vector<int16_t> stored = rec.samples;
  FrameSurvey survey;
  survey.Survey(rec.samples.data(), rec.frames);
  std::vector<int16_t> copy = rec.samples;
  const ChannelMeans means = RemoveMeans(copy.data(), rec.frames);
  QCOMPARE(survey.means().mean1, means.mean1);
  QCOMPARE(survey.means().mean2, means.mean2);

  // Two scans in a row, as the sighting and the working pass of a cycle make them.
  ScanState plainState, state;
  plainState.previousHigh = state.previousHigh = startHigh;
  plainState.DeltaOld = state.DeltaOld = 40;
  int32_t plainPeak = 7, peak = 7;
  for (int scan = 0; scan < 2; ++scan) {
    std::vector<Report> plainReports, reports;
    const ScanResult expected =
        PlainScan(copy.data(), rec.frames, averNum, plainState, plainPeak, plainReports);
    const ScanResult r = survey.ScanMarks(
        averNum, state, peak, [&](int32_t m, int64_t d) { reports.emplace_back(m, d); });
    QCOMPARE(r.marks, expected.marks);
    QCOMPARE(r.M, expected.M);
    QCOMPARE(r.First, expected.First);
    QCOMPARE(r.Lend, expected.Lend);
    QCOMPARE(reports, plainReports);
    QCOMPARE(peak, plainPeak);
    QCOMPARE(state.previousHigh, plainState.previousHigh);
    QCOMPARE(state.Delta, plainState.Delta);
    QCOMPARE(state.DeltaOld, plainState.DeltaOld);
    QCOMPARE(state.First, plainState.First);
  }

  // Averaging from the mean-free copy and from the stored samples less the means.
  const int32_t first = std::max(plainState.First, 1);
  const double period = 0.37 * static_cast<double>(rec.frames) + 3.3;
  std::vector<int32_t> e1(kRevCapacity), e2(kRevCapacity), s1(kRevCapacity), s2(kRevCapacity);
  const AveragingInfo expected =
      AverageRevolution(copy.data(), rec.frames, first, period, 3, e1.data(), e2.data());
  const AveragingInfo info = survey.AverageRevolution(first, period, 3, s1.data(), s2.data());
  QCOMPARE(info.revolutions, expected.revolutions);
  QCOMPARE(info.clipped, expected.clipped);
  QCOMPARE(s1, e1);
  QCOMPARE(s2, e2);

  for (double offset : {0.0, 1.5}) {
    const BroadbandResult plain = PlainRms(copy.data(), rec.frames, offset);
    const BroadbandResult rms = survey.BroadbandRms(0.03, 0.05, offset, offset);
    QVERIFY(rms.v1 == plain.v1);  // the same integer sums: equal to the last bit
    QVERIFY(rms.v2 == plain.v2);
  }
  QVERIFY(rec.samples == stored);
}

QTEST_GUILESS_MAIN(TestFrameSurvey)
#include "test_framesurvey.moc"
