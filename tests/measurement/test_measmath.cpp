#include <QtTest>
#include <cmath>
#include <vector>

#include "measurement/MeasMath.h"
#include "tests/measurement/SynthRecording.h"

using namespace vintor;
using vintor::test::MakeRecording;
using vintor::test::SynthSpec;

namespace {

// Builds frames whose tachometer channel falls at the given frames (High for 10 frames before).
std::vector<int16_t> TachoFrames(int64_t frames, const std::vector<int64_t>& edges,
                                 int16_t high = 2000, int width = 10) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * 4, 0);
  for (int64_t e : edges)
    for (int64_t k = std::max<int64_t>(1, e - width); k < e && k <= frames; ++k)
      s[static_cast<size_t>(k - 1) * 4 + 2] = high;
  return s;
}

double AngleDistance(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

}  // namespace

class TestMeasMath : public QObject {
  Q_OBJECT
 private slots:
  void nearestTiesToEven();
  void meansRemovedIn16Bits();
  void meansOfLongRecordingDoNotOverflow();
  void workedExampleMarks_data();
  void workedExampleMarks();
  void badTachometer_data();
  void badTachometer();
  void contactBounceRaisesIrregularInterval();
  void shortEdgeOnlySetsDeltaOld();
  void levelThreshold();
  void scanStateCarriesIntoWorkingScan();
  void workingPeriodEdgeCases();
  void averagingGrid();
  void averagingStopsAtCapacity();
  void averagingShortRecordingDividesByAverNum();
  void divideSampleRounding();
  void resampleOffsets();
  void firstHarmonicPhases_data();
  void firstHarmonicPhases();
  void firstHarmonicFromWaveform();
  void broadbandRms_data();
  void broadbandRms();
};

void TestMeasMath::nearestTiesToEven() {
  QCOMPARE(Nearest(0.5), 0);
  QCOMPARE(Nearest(1.5), 2);
  QCOMPARE(Nearest(2.5), 2);
  QCOMPARE(Nearest(-2.5), -2);
  QCOMPARE(Nearest(499.6), 500);
  QCOMPARE(Nearest(std::nan("")), 0);
}

void TestMeasMath::meansRemovedIn16Bits() {
  std::vector<int16_t> s = {10, -3, 500, 9, 11, -4, 500, 9, 13, -6, 0, 9, 14, -7, 0, 9};
  const ChannelMeans m = RemoveMeans(s.data(), 4);
  QCOMPARE(m.mean1, 12);  // 48 / 4
  QCOMPARE(m.mean2, -5);
  QCOMPARE(s[0], int16_t(-2));
  QCOMPARE(s[1], int16_t(2));
  QCOMPARE(s[2], int16_t(500));  // tachometer untouched
  QCOMPARE(s[3], int16_t(9));
  // A code at the edge of the range wraps as a 16-bit subtraction does.
  std::vector<int16_t> w = {-32768, 0, 0, 0, 32767, 0, 0, 0, 32767, 0, 0, 0};
  const ChannelMeans mw = RemoveMeans(w.data(), 3);
  QCOMPARE(mw.mean1, 10922);
  QCOMPARE(w[0], int16_t(-32768 - 10922 + 65536));
  // Empty recording: no division by zero.
  QCOMPARE(RemoveMeans(nullptr, 0).mean1, 0);
}

void TestMeasMath::meansOfLongRecordingDoNotOverflow() {
  // 78 blocks with a mean of 2000 codes: a 32-bit sum would pass 2^31.
  const int64_t frames = 78 * 16384;
  std::vector<int16_t> s(static_cast<size_t>(frames) * 4, 0);
  for (int64_t k = 0; k < frames; ++k) {
    s[static_cast<size_t>(k) * 4] = static_cast<int16_t>(k % 2 ? 2001 : 1999);
    s[static_cast<size_t>(k) * 4 + 1] = -2000;
  }
  const ChannelMeans m = RemoveMeans(s.data(), frames);
  QCOMPARE(m.mean1, 2000);
  QCOMPARE(m.mean2, -2000);
  QCOMPARE(s[0], int16_t(-1));
}

void TestMeasMath::workedExampleMarks_data() {
  QTest::addColumn<int>("pass");
  QTest::addColumn<int>("averNum");
  QTest::addColumn<int>("marks");
  QTest::addColumn<int>("lend");
  QTest::addColumn<double>("rpm");
  QTest::newRow("working") << int(Pass::Working) << 64 << 69 << 34120 << 2993.1;
  QTest::newRow("sighting") << int(Pass::Sighting) << 4 << 9 << 4120 << 3000.0;
}

void TestMeasMath::workedExampleMarks() {
  QFETCH(int, pass);
  QFETCH(int, averNum);
  QFETCH(int, marks);
  QFETCH(int, lend);
  QFETCH(double, rpm);
  SynthSpec spec;
  spec.frames = 5 * 16384;
  const std::vector<int16_t> s = MakeRecording(spec);
  ScanState state;
  int32_t peak = 0;
  int irregular = 0;
  const ScanResult r = ScanMarks(s.data(), spec.frames, averNum, state, peak,
                                 [&](int32_t, int64_t) { ++irregular; });
  QCOMPARE(r.M, marks);
  QCOMPARE(r.marks.front(), 120);
  QCOMPARE(r.marks[1], 620);
  QCOMPARE(r.First, 620);
  QCOMPARE(r.Lend, lend);
  QCOMPARE(irregular, 0);
  const RevolutionPeriod p = PeriodFromMarks(Pass(pass), r.M, r.First, r.Lend);
  QCOMPARE(p.RevPeriod, 500.0);
  QCOMPARE(p.RevLen, 500);
  QVERIFY2(std::fabs(p.RPM - rpm) < 0.05, qPrintable(QString::number(p.RPM)));
}

void TestMeasMath::badTachometer_data() {
  QTest::addColumn<int>("tachoLevel");  // -1: pulses every 31 frames
  QTest::newRow("all high") << 3000;
  QTest::newRow("all low") << 0;
  QTest::newRow("every 31 frames") << -1;
}

void TestMeasMath::badTachometer() {
  QFETCH(int, tachoLevel);
  const int64_t frames = 49152;
  std::vector<int16_t> s;
  if (tachoLevel >= 0) {
    s.assign(static_cast<size_t>(frames) * 4, 0);
    for (int64_t k = 0; k < frames; ++k) s[static_cast<size_t>(k) * 4 + 2] = int16_t(tachoLevel);
  } else {
    std::vector<int64_t> edges;
    for (int64_t e = 40; e <= frames; e += 31) edges.push_back(e);
    s = TachoFrames(frames, edges, 2000, 5);
  }
  for (Pass pass : {Pass::Sighting, Pass::Working}) {
    ScanState state;
    int32_t peak = 0;
    const ScanResult r = ScanMarks(s.data(), frames, 64, state, peak);
    const RevolutionPeriod p = PeriodFromMarks(pass, r.M, r.First, r.Lend);
    if (tachoLevel >= 0) {
      QCOMPARE(r.M, 0);
      QCOMPARE(r.Lend, int32_t(frames));
      QCOMPARE(p.RPM, 0.0);
    } else {
      // 31 frames is just accepted: a speed of about 48 000 rev/min.
      QCOMPARE(r.M, 69);
      QCOMPARE(p.RevPeriod, 31.0);
      QVERIFY(p.RPM > 40000);
    }
  }
}

void TestMeasMath::contactBounceRaisesIrregularInterval() {
  // Marks every 500 frames, and a bounce edge 20 frames after the third mark.
  std::vector<int64_t> edges = {120, 620, 1120, 1140, 1620, 2120, 2620};
  const std::vector<int16_t> s = TachoFrames(4000, edges, 2000, 5);
  ScanState state;
  int32_t peak = 0;
  std::vector<std::pair<int32_t, int64_t>> reports;
  const ScanResult r = ScanMarks(s.data(), 4000, 64, state, peak,
                                 [&](int32_t m, int64_t d) { reports.emplace_back(m, d); });
  QCOMPARE(r.marks, (std::vector<int32_t>{120, 620, 1120, 1620, 2120, 2620}));
  // The bounce edge itself (20 against 500) and the next true mark (500 against 20).
  using Report = std::pair<int32_t, int64_t>;
  QCOMPARE(reports, (std::vector<Report>{{3, 480}, {3, 480}}));
}

void TestMeasMath::shortEdgeOnlySetsDeltaOld() {
  const std::vector<int16_t> s = TachoFrames(2000, {25, 525, 1025, 1525}, 2000, 3);
  ScanState state;
  int32_t peak = 0;
  const ScanResult r = ScanMarks(s.data(), 2000, 64, state, peak);
  QCOMPARE(r.marks, (std::vector<int32_t>{525, 1025, 1525}));
  ScanState first;
  ScanMarks(s.data(), 100, 64, first, peak);
  QCOMPARE(first.DeltaOld, 25);
}

void TestMeasMath::levelThreshold() {
  // 100 counts as High, 99 as Low: only the pulses of height 100 give edges.
  for (int16_t level : {int16_t(100), int16_t(99)}) {
    const std::vector<int16_t> s = TachoFrames(3000, {100, 600, 1100, 1600, 2100}, level);
    ScanState state;
    int32_t peak = 0;
    const ScanResult r = ScanMarks(s.data(), 3000, 4, state, peak);
    QCOMPARE(r.M, level == 100 ? 5 : 0);
  }
  // A recording that starts High has no edge until it first goes Low.
  std::vector<int16_t> s = TachoFrames(2000, {300, 800, 1300});
  for (int k = 0; k < 50; ++k) s[static_cast<size_t>(k) * 4 + 2] = 2000;
  ScanState state;
  int32_t peak = 0;
  const ScanResult r = ScanMarks(s.data(), 2000, 4, state, peak);
  QCOMPARE(r.marks.front(), 51);
}

void TestMeasMath::scanStateCarriesIntoWorkingScan() {
  SynthSpec spec;
  spec.ch1.amp = 300;
  spec.ch2.amp = 40;
  const std::vector<int16_t> s = MakeRecording(spec);
  ScanState state;
  int32_t peak = 0;
  const ScanResult sighting = ScanMarks(s.data(), spec.frames, 4, state, peak);
  QCOMPARE(sighting.Lend, 4120);
  QVERIFY(!state.previousHigh);
  QCOMPARE(state.DeltaOld, 500);
  QCOMPARE(peak, 300);
  // A working recording without marks keeps the sighting scan's First.
  const std::vector<int16_t> flat(4000 * 4, 0);
  const ScanResult working = ScanMarks(flat.data(), 4000, 64, state, peak);
  QCOMPARE(working.M, 0);
  QCOMPARE(working.First, 620);
  QCOMPARE(peak, 300);  // the peak only grows
}

void TestMeasMath::workingPeriodEdgeCases() {
  // Exactly two marks: the period runs from the second mark to the end of the recording.
  RevolutionPeriod p = PeriodFromMarks(Pass::Working, 2, 620, 49152);
  QCOMPARE(p.RevPeriod, 49152.0 - 620.0);
  QVERIFY(p.RPM > 0);
  // The second mark on the last frame gives no period, not an infinite speed.
  p = PeriodFromMarks(Pass::Working, 2, 49152, 49152);
  QCOMPARE(p.RPM, 0.0);
  // Fewer than two marks, even with a First left over from the sighting scan beyond Lend.
  QCOMPARE(PeriodFromMarks(Pass::Working, 1, 60000, 49152).RPM, 0.0);
  QCOMPARE(PeriodFromMarks(Pass::Working, 0, 0, 49152).RPM, 0.0);
  // Sighting: two marks are not enough.
  p = PeriodFromMarks(Pass::Sighting, 2, 620, 49152);
  QVERIFY(p.RevPeriod <= 0);
  QCOMPARE(p.RPM, 0.0);
}

void TestMeasMath::averagingGrid() {
  // Channel 1 holds the frame number, channel 2 a constant 1: the sums show which frames went
  // where. RevPeriod 2.5 from First 3: the grid 3, 5, 8 (7.5 to even), 11, 13 gives the
  // revolutions 3-4, 5-7, 8-10, 11-12.
  const int64_t frames = 20;
  std::vector<int16_t> s(frames * 4, 0);
  for (int64_t k = 1; k <= frames; ++k) {
    s[static_cast<size_t>(k - 1) * 4] = static_cast<int16_t>(k);
    s[static_cast<size_t>(k - 1) * 4 + 1] = 1;
  }
  std::vector<int32_t> s1(8, 0), s2(8, 0);
  const AveragingInfo info = AverageRevolution(s.data(), frames, 3, 2.5, 4, s1.data(), s2.data());
  QCOMPARE(info.revolutions, 4);
  QVERIFY(!info.clipped);
  QCOMPARE(s1, (std::vector<int32_t>{3 + 5 + 8 + 11, 4 + 6 + 9 + 12, 7 + 10, 0, 0, 0, 0, 0}));
  QCOMPARE(s2, (std::vector<int32_t>{4, 4, 2, 0, 0, 0, 0, 0}));
}

void TestMeasMath::averagingStopsAtCapacity() {
  // A revolution longer than the summing arrays never writes past them.
  const int capacity = 16;
  const int64_t frames = 200;
  std::vector<int16_t> s(frames * 4, 0);
  for (int64_t k = 0; k < frames; ++k) s[static_cast<size_t>(k) * 4] = 1;
  std::vector<int32_t> s1(capacity + 4, -7), s2(capacity + 4, -7);
  std::fill(s1.begin(), s1.begin() + capacity, 0);
  std::fill(s2.begin(), s2.begin() + capacity, 0);
  const AveragingInfo info =
      AverageRevolution(s.data(), frames, 10, 50.0, 3, s1.data(), s2.data(), capacity);
  QVERIFY(info.clipped);
  QCOMPARE(info.revolutions, 3);
  for (int i = 0; i < capacity; ++i) QCOMPARE(s1[static_cast<size_t>(i)], 3);
  for (int i = capacity; i < capacity + 4; ++i) {
    QCOMPARE(s1[static_cast<size_t>(i)], -7);
    QCOMPARE(s2[static_cast<size_t>(i)], -7);
  }
}

void TestMeasMath::averagingShortRecordingDividesByAverNum() {
  // AverNum 64 but only 40 revolutions after First: the sums of 40 divided by 64.
  const int64_t frames = 100 + 40 * 10;
  std::vector<int16_t> s(frames * 4, 0);
  for (int64_t k = 0; k < frames; ++k) s[static_cast<size_t>(k) * 4] = 64;
  std::vector<int32_t> s1(kRevCapacity, 0), s2(kRevCapacity, 0);
  const AveragingInfo info =
      AverageRevolution(s.data(), frames, 101, 10.0, 64, s1.data(), s2.data());
  QCOMPARE(info.revolutions, 40);
  QCOMPARE(s1[0], 40 * 64);
  QCOMPARE(DivideSample(s1[0], 64), 40);
}

void TestMeasMath::divideSampleRounding() {
  QCOMPARE(DivideSample(3, 2), 2);
  QCOMPARE(DivideSample(5, 2), 2);
  QCOMPARE(DivideSample(-5, 2), -2);
  QCOMPARE(DivideSample(-7, 2), -4);
  QCOMPARE(DivideSample(0, 64), 0);
  QCOMPARE(DivideSample(100, 64), 2);
}

void TestMeasMath::resampleOffsets() {
  // Point l is the revolution interpolated at position l x (RevLen - 1) / 16 + 1.
  std::vector<int32_t> a(kRevCapacity, 0);
  for (int v = 0; v < 64; ++v) a[static_cast<size_t>(v)] = 100 * v;
  const std::vector<int32_t> r17 = ResampleRevolution(a.data(), 17);
  for (int l = 0; l < 16; ++l) QCOMPARE(r17[static_cast<size_t>(l)], 100 * (l + 1));
  const std::vector<int32_t> r21 = ResampleRevolution(a.data(), 21);
  for (int l = 0; l < 16; ++l)
    QCOMPARE(r21[static_cast<size_t>(l)], int32_t(std::lround(100 * (1.25 * l + 1))));
  // Reads past the array count as zero instead of leaving it.
  const std::vector<int32_t> small(4, 5);
  const std::vector<int32_t> rs = ResampleRevolution(small.data(), 100, 4);
  QCOMPARE(rs[15], 0);
}

void TestMeasMath::firstHarmonicPhases_data() {
  QTest::addColumn<int>("shape");  // 0: cos, 1: -cos, 2: sin, 3: -sin
  QTest::addColumn<double>("phase");
  QTest::newRow("cos") << 0 << 0.0;
  QTest::newRow("-cos") << 1 << 180.0;
  QTest::newRow("sin") << 2 << 90.0;
  QTest::newRow("-sin") << 3 << 270.0;
}

void TestMeasMath::firstHarmonicPhases() {
  QFETCH(int, shape);
  QFETCH(double, phase);
  const double p = 1000;
  const double scale = 5000.0 / (2047 * 20);
  std::vector<int32_t> points(16);
  for (int l = 0; l < 16; ++l) {
    const double a = l * 22.5 * std::numbers::pi / 180;
    const double v = shape < 2 ? std::cos(a) : std::sin(a);
    points[static_cast<size_t>(l)] = int32_t(std::lround((shape % 2 ? -p : p) * v));
  }
  const FirstHarmonicResult h = FirstHarmonicOfPoints(points, scale);
  QVERIFY2(AngleDistance(h.phase, phase) < 0.01, qPrintable(QString::number(h.phase)));
  QVERIFY(h.phase >= 0 && h.phase < 360);
  QVERIFY2(std::fabs(h.amplitude / (8 * p * scale / 11.28) - 1) < 1e-4,
           qPrintable(QString::number(h.amplitude, 'g', 10)));
  // All zero: amplitude 0, phase 0.
  const FirstHarmonicResult z = FirstHarmonicOfPoints(std::vector<int32_t>(16, 0), scale);
  QCOMPARE(z.amplitude, 0.0);
  QCOMPARE(z.phase, 0.0);
}

void TestMeasMath::firstHarmonicFromWaveform() {
  // Averaged revolution of 500 samples peaking 60 degrees after the mark.
  std::vector<int32_t> a(kRevCapacity, 0);
  for (int v = 0; v < 500; ++v)
    a[static_cast<size_t>(v)] =
        int32_t(std::lround(800 * std::cos(2 * std::numbers::pi * v / 500 - std::numbers::pi / 3)));
  const FirstHarmonicResult h = FirstHarmonic(a.data(), 500, 0.1);
  QVERIFY2(AngleDistance(h.phase, 60.0) < 1.5, qPrintable(QString::number(h.phase)));
  QVERIFY(std::fabs(h.amplitude - 8 * 800 * 0.1 / 11.28) < 0.02 * h.amplitude);
}

void TestMeasMath::broadbandRms_data() {
  QTest::addColumn<double>("offset");
  QTest::addColumn<double>("expected");
  QTest::newRow("no offset") << 0.0 << 1.2213;
  QTest::newRow("offset 1") << 1.0 << 0.701;
  QTest::newRow("offset 2") << 2.0 << 0.0;
}

void TestMeasMath::broadbandRms() {
  QFETCH(double, offset);
  QFETCH(double, expected);
  const int64_t frames = 1000;
  std::vector<int16_t> s(frames * 4, 0);
  for (int64_t k = 0; k < frames; ++k) s[static_cast<size_t>(k) * 4] = int16_t(k % 2 ? -10 : 10);
  const double scale = 5000.0 / (2047 * 20);
  const BroadbandResult r = BroadbandRms(s.data(), frames, scale, scale, offset, 0.0);
  QVERIFY2(std::fabs(r.v1 - expected) < 0.0005, qPrintable(QString::number(r.v1)));
  QCOMPARE(r.v2, 0.0);
  QCOMPARE(BroadbandRms(nullptr, 0, scale, scale, offset, 0.0).v1, 0.0);
}

QTEST_APPLESS_MAIN(TestMeasMath)
#include "test_measmath.moc"
