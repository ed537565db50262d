#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "measurement/FFTBase.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "measurement/Spectrum.h"
#include "tests/measurement/SynthRecording.h"

using namespace vintor;
using vintor::test::MakeRecording;
using vintor::test::SynthSpec;
using vintor::test::WriteRaw;

namespace {

constexpr double kScale0 = 5000.0 / (2047 * 20);  // mm/s per code at gain 0, Kpr 20

// Channel-1 codes of a sine of `amp` mm/s at `hz` on a time base of `framesPerSecond`.
std::vector<int16_t> SineRecording(int64_t frames, double hz, double amp, double framesPerSecond,
                                   int16_t dc = 0) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * 4, 0);
  for (int64_t k = 0; k < frames; ++k) {
    const double v = amp / kScale0 * std::sin(2 * std::numbers::pi * hz * k / framesPerSecond);
    s[static_cast<size_t>(k) * 4] = static_cast<int16_t>(std::lround(v) + dc);
    s[static_cast<size_t>(k) * 4 + 1] = dc;
  }
  return s;
}

size_t ArgMax(const std::vector<double>& v) {
  return static_cast<size_t>(std::max_element(v.begin(), v.end()) - v.begin());
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestSpectrum : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void transformMatchesPlainDft_data();
  void transformMatchesPlainDft();
  void meterSpectrumOfSine();
  void meterSpectrumConstantIsZero();
  void meterSpectrumShortFileIsZeroPadded();
  void spectrumRoutineFiles();
  void spectrumRoutineMissingFile();
  void bandwidthTable();
  void bandSpectrumOfSine();
  void extractionRunsFromSecondToLastPulse();
  void harmonicTable_data();
  void harmonicTable();
  void harmonicsTooFewLines();
  void outputColumnsJunk();
  void rawFilePartialFrame();

 private:
  QTemporaryDir dir_;
};

void TestSpectrum::init() {
  for (const QString& name : QDir(dir_.path()).entryList(QDir::Files))
    QFile::remove(dir_.filePath(name));
  ResetProgramState();
  Settings().Kpr1 = Settings().Kpr2 = 20;
  Paths().WorkDir = dir_.path();
  Paths().TestDatPath = dir_.filePath("Test.dat");
  SetDecimalSeparatorOverride(QLatin1Char(','));
}

void TestSpectrum::cleanup() { SetDecimalSeparatorOverride(QChar()); }

void TestSpectrum::transformMatchesPlainDft_data() {
  QTest::addColumn<int>("n");
  QTest::newRow("64") << 64;
  QTest::newRow("512") << 512;
  QTest::newRow("4096") << 4096;
}

void TestSpectrum::transformMatchesPlainDft() {
  QFETCH(int, n);
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-5, 5);
  std::vector<double> x(static_cast<size_t>(n));
  for (double& v : x) v = u(rng);
  x[5] += 3 * std::cos(2 * std::numbers::pi * 7 * 5 / n);
  const std::vector<float> mag = ScaledMagnitudes(x.data(), n);
  double worst = 0;
  for (int l = 0; l < n; l += (n > 512 ? 37 : 1)) {
    std::complex<double> sum = 0;
    for (int k = 0; k < n; ++k)
      sum += x[static_cast<size_t>(k)] * std::polar(1.0, -2 * std::numbers::pi * l * k / n);
    worst = std::max(worst, std::fabs(std::abs(sum) / std::sqrt(n) - mag[static_cast<size_t>(l)]));
  }
  QVERIFY2(worst < 1e-3, qPrintable(QString::number(worst)));
  // A cosine of amplitude 1 on line 5: magnitude (n / 2) / sqrt(n).
  std::vector<double> c(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k)
    c[static_cast<size_t>(k)] = std::cos(2 * std::numbers::pi * 5 * k / n);
  QVERIFY(std::fabs(ScaledMagnitudes(c.data(), n)[5] - n / 2.0 / std::sqrt(n)) < 1e-3);
}

void TestSpectrum::meterSpectrumOfSine() {
  // 20 Hz of 5 mm/s peak at 25 000 frames per second: the peak lands on line 20.
  const std::vector<int16_t> s = SineRecording(65536, 20, 5.0, 25000);
  const SpectrumData d = MeterSpectrum(s.data(), 65536, {0, 0}, kScale0, kScale0);
  QCOMPARE(ArgMax(d.p1), size_t(20));
  QVERIFY2(std::fabs(d.p1[20] - 5.0) < 0.1, qPrintable(QString::number(d.p1[20])));
  const QStringList lines = SpectrumListLines(d);
  QCOMPARE(lines.size(), 128);
  QVERIFY(lines[0].startsWith("0\t"));
  QVERIFY(lines[127].startsWith("127\t"));
  QStringList f20 = lines[20].split('\t');
  QCOMPARE(f20[0], QString("20"));
  QVERIFY2(std::fabs(f20[1].replace(',', '.').toDouble() - 3.5355) < 0.07, qPrintable(lines[20]));
  QCOMPARE(f20[2], QString("0,0000"));
}

void TestSpectrum::meterSpectrumConstantIsZero() {
  std::vector<int16_t> s(30000 * 4, 0);
  for (size_t k = 0; k < 30000; ++k) {
    s[k * 4] = 37;
    s[k * 4 + 1] = -12;
  }
  const SpectrumData d = MeterSpectrum(s.data(), 30000, {37, -12}, kScale0, kScale0);
  for (double v : d.s1) QCOMPARE(v, 0.0);
  for (double v : d.p1) QCOMPARE(v, 0.0);
  for (double v : d.p2) QCOMPARE(v, 0.0);
}

void TestSpectrum::meterSpectrumShortFileIsZeroPadded() {
  // 100 frames: two full points, a third from 2 frames, the rest 0.
  std::vector<int16_t> s(100 * 4, 0);
  for (size_t k = 0; k < 100; ++k) s[k * 4] = 49;
  const SpectrumData d = MeterSpectrum(s.data(), 100, {0, 0}, 1.0, 1.0);
  QCOMPARE(d.s1[0], 49.0);
  QCOMPARE(d.s1[1], 49.0);
  QCOMPARE(d.s1[2], 2.0);
  for (size_t q = 3; q < 512; ++q) QCOMPARE(d.s1[q], 0.0);
}

void TestSpectrum::spectrumRoutineFiles() {
  QVERIFY(WriteRaw(Paths().TestDatPath, SineRecording(65536, 20, 5.0, 25000, 100)));
  Meas().AdcMean1 = 100;
  Meas().AdcMean2 = 100;
  const auto d = RunSpectrumRoutine(true);
  QVERIFY(d.has_value());
  QCOMPARE(Meas().Dlit, int16_t(4));
  QCOMPARE(Meas().AdcRate, 100.0);
  QCOMPARE(ArgMax(d->p1), size_t(20));
  const QByteArray text = ReadAll(dir_.filePath("Garmoniki.txt"));
  QCOMPARE(text.count("\r\n"), 128);
  QVERIFY(text.startsWith("0\t0,0"));
  QVERIFY(text.contains("\r\n20\t3,"));
}

void TestSpectrum::spectrumRoutineMissingFile() {
  Meas().AdcRate = 100.0;
  QVERIFY(!RunSpectrumRoutine(true).has_value());
  QCOMPARE(Meas().AdcRate, 100.0);
  QVERIFY(!QFile::exists(dir_.filePath("Garmoniki.txt")));
  QVERIFY_THROWS_EXCEPTION(MeasError, RunSpectrumRoutine(false));
  QCOMPARE(Meas().AdcRate, 100.0);
}

void TestSpectrum::bandwidthTable() {
  struct Row {
    const char* item;
    double rate;
    int m;
    double df;
  };
  for (const Row& r : {Row{"64", 100.5, 98, 0.5}, Row{"128", 100.63, 49, 1.0},
                       Row{"320", 102.6, 20, 2.5}, Row{"640", 102.7, 10, 5.0}}) {
    const auto bw = BandwidthFromItem(r.item);
    QVERIFY(bw.has_value());
    QCOMPARE(bw->adcRate, r.rate);
    QCOMPARE(bw->m, r.m);
    QCOMPARE(bw->df, r.df);
  }
  QVERIFY(!BandwidthFromItem("").has_value());
  QVERIFY(!BandwidthFromItem("100").has_value());
  // Labels of the 0.5 Hz list carry the decimal separator.
  const std::vector<int16_t> s(65536 * 4, 0);
  const QStringList lines =
      SpectrumListLines(BandSpectrum(s.data(), 65536, *BandwidthFromItem("64"), 1, 1));
  QCOMPARE(lines.size(), 128);
  QVERIFY(lines[1].startsWith("0,5\t"));
  QVERIFY(lines[127].startsWith("63,5\t"));
}

void TestSpectrum::bandSpectrumOfSine() {
  // 25 Hz of 2 mm/s with bandwidth 128 (100.63 kHz: 25 157.5 frames per second).
  const std::vector<int16_t> s = SineRecording(65536, 25, 2.0, 100.63 * 250, 40);
  const SpectrumData d = BandSpectrum(s.data(), 65536, *BandwidthFromItem("128"), kScale0, kScale0);
  QCOMPARE(d.means.mean1, 40);
  QCOMPARE(ArgMax(d.p1), size_t(25));
  QVERIFY2(std::fabs(d.p1[25] / kPeakToRms - 1.414) < 0.05,
           qPrintable(QString::number(d.p1[25] / kPeakToRms)));
  QVERIFY(std::fabs(d.p1[0]) < 0.01);
}

void TestSpectrum::extractionRunsFromSecondToLastPulse() {
  SynthSpec spec;
  spec.frames = 10000;
  spec.ch1.amp = 200;
  spec.ch1.dc = 300;
  const std::vector<int16_t> s = MakeRecording(spec);
  // Pulses rise at 100, 600, ...: the second at 600, pulse 4 (R = 2) at 1600.
  const std::vector<ExtractedLine> lines = ExtractRevolutions(s.data(), spec.frames, 2);
  QCOMPARE(lines.size(), size_t(1001));
  QCOMPARE(lines.front().mark, 500);  // the peak |code| seen so far
  QCOMPARE(lines.back().mark, 500);
  QCOMPARE(lines[1].mark, 0);
  QCOMPARE(lines.front().c1, int32_t(s[599 * 4]));  // codes as recorded
  QCOMPARE(ExtractedLinesText(lines)[0], QString("%1\t0\t500").arg(s[599 * 4]));
  QVERIFY_THROWS_EXCEPTION(MeasError, ExtractRevolutions(s.data(), spec.frames, 0));
}

void TestSpectrum::harmonicTable_data() {
  QTest::addColumn<int>("revs");
  QTest::addColumn<int>("n");
  QTest::addColumn<int>("rows");
  QTest::addColumn<QString>("lastLabel");
  QTest::newRow("R=1") << 1 << 256 << 33 << "32";
  QTest::newRow("R=2") << 2 << 512 << 65 << "32";
  QTest::newRow("R=8") << 8 << 2048 << 129 << "16";
}

void TestSpectrum::harmonicTable() {
  QFETCH(int, revs);
  QFETCH(int, n);
  QFETCH(int, rows);
  QFETCH(QString, lastLabel);
  // 3000 rev/min: 500 frames per revolution; 1 mm/s peak at once per revolution on channel 1.
  SynthSpec spec;
  spec.frames = 8000;
  spec.ch1.amp = 1.0 / kScale0;
  const std::vector<int16_t> s = MakeRecording(spec);
  const std::vector<ExtractedLine> extracted = ExtractRevolutions(s.data(), spec.frames, revs);
  QCOMPARE(int(extracted.size()), 500 * revs + 1);
  std::vector<std::array<int32_t, 2>> cols;
  for (const ExtractedLine& l : extracted) cols.push_back({l.c1, l.c2});
  const auto r = AnalyseHarmonics(cols, kScale0, kScale0, revs, 32);
  QVERIFY(r.has_value());
  QCOMPARE(r->N, n);
  QCOMPARE(r->q, std::sqrt(n / 64.0));
  QCOMPARE(int(r->z1.size()), n);
  QCOMPARE(int(r->rows.size()), rows);
  QCOMPARE(r->rows.front().label, QString("0"));
  QCOMPARE(r->rows.back().label, lastLabel);
  if (revs == 2) {
    QCOMPARE(r->rows[1].label, QString("."));
    QCOMPARE(r->rows[2].label, QString("1"));
  }
  QCOMPARE(r->pointCountItems.last(), QString::number(std::max(32, n / 2)));
  // Order 1 is bin R: its bar is the RMS value 0.7071, its list value 0.5000.
  const HarmonicRow& first = r->rows[static_cast<size_t>(revs)];
  QCOMPARE(first.label, QString("1"));
  QVERIFY2(std::fabs(first.h1 - 0.7071) < 0.02, qPrintable(QString::number(first.h1)));
  const QStringList lines = HarmonicTableLines(*r);
  QCOMPARE(lines[0], QString("Harmonic\tChan-1\tChan-2"));
  QCOMPARE(lines.size(), rows + 1);
  QVERIFY2(lines[revs + 1].startsWith("1\t0,49") || lines[revs + 1].startsWith("1\t0,50"),
           qPrintable(lines[revs + 1]));
}

void TestSpectrum::harmonicsTooFewLines() {
  std::vector<std::array<int32_t, 2>> cols(63, {1, 1});
  QVERIFY(!AnalyseHarmonics(cols, 1, 1, 1, 32).has_value());
  cols.push_back({1, 1});
  const auto r = AnalyseHarmonics(cols, 1, 1, 1, 32);
  QVERIFY(r.has_value());
  QCOMPARE(r->N, 64);
  QCOMPARE(r->pointCountItems, QStringList{"32"});
  QCOMPARE(int(r->rows.size()), 32);  // stops at the last bin, N / 2 - 1
}

void TestSpectrum::outputColumnsJunk() {
  const QString path = dir_.filePath("Output.txt");
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write("1\t2\t0\r\n-3\t4\t0\r\n");
  f.close();
  QCOMPARE(ReadOutputColumns(path).size(), size_t(2));
  QVERIFY(f.open(QIODevice::Append));
  f.write("5\tjunk\t0\r\n");
  f.close();
  QVERIFY_THROWS_EXCEPTION(MeasError, ReadOutputColumns(path));
  QVERIFY_THROWS_EXCEPTION(MeasError, ReadOutputColumns(dir_.filePath("none.txt")));
}

void TestSpectrum::rawFilePartialFrame() {
  const QString path = dir_.filePath("odd.dat");
  std::vector<int16_t> s = {1, 2, 3, 4, 5, 6, 7, 8};
  QVERIFY(WriteRaw(path, s, 5));  // two frames and five stray bytes
  RawRecording rec = RawRecording::Read(path);
  QCOMPARE(rec.frames(), int64_t(2));
  QCOMPARE(rec.data()[7], int16_t(8));
  QVERIFY(WriteRaw(path, {}, 0));
  QCOMPARE(RawRecording::Read(path).frames(), int64_t(0));
  QVERIFY_THROWS_EXCEPTION(MeasError, RawRecording::Read(dir_.filePath("missing.dat")));

  // The read-only view reads the same frames, mapped or not, and one view serves file after
  // file.
  const QString other = dir_.filePath("other.dat");
  for (bool map : {false, true}) {
    QVERIFY(WriteRaw(path, s, 5));
    QVERIFY(WriteRaw(other, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, -2}, 1));
    RawFileView view;
    view.Open(path, -1, map);
    QCOMPARE(view.frames(), int64_t(2));
    QCOMPARE(std::vector<int16_t>(view.data(), view.data() + 8), s);
    view.Open(other, 2, map);
    QCOMPARE(view.frames(), int64_t(2));
    QCOMPARE(view.data()[7], int16_t(2));
    QVERIFY_THROWS_EXCEPTION(MeasError, view.Open(dir_.filePath("missing.dat"), -1, map));
    QVERIFY(view.empty());
    QVERIFY(WriteRaw(path, {}, 7));
    view.Open(path, -1, map);
    QVERIFY(view.empty());
  }

  // The program's cycle keeps its own copy: a recording started meanwhile (from another
  // window, while the cycle lets events through) rewrites the file under it without harm.
  QVERIFY(WriteRaw(path, s, 0));
  RawFileView held;
  held.Open(path);
  QVERIFY(WriteRaw(path, {}, 0));
  QCOMPARE(std::vector<int16_t>(held.data(), held.data() + 8), s);
}

QTEST_APPLESS_MAIN(TestSpectrum)
#include "test_spectrum.moc"
