#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "acquisition/AdcAcquire.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/support/TestFakes.h"

using namespace vintor;

namespace {

constexpr double kDeg = std::numbers::pi / 180;

SimConfig FromText(const QString& text) {
  SimConfig c;
  const QStringList errors = ParseSimConfig(text, &c);
  if (!errors.isEmpty()) qWarning("%s", qPrintable(errors.join("; ")));
  c.Pace = 0;
  return c;
}

QString Polar(std::complex<double> v) {
  double phase = std::arg(v) / kDeg;
  if (phase < 0) phase += 360;
  return QStringLiteral("%1@%2").arg(std::abs(v), 0, 'f', 4).arg(phase, 0, 'f', 2);
}

}  // namespace

class TestRigModel : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void withoutUnbalanceTheRecordingStays_data();
  void withoutUnbalanceTheRecordingStays();
  void massMovesThe1xVector_data();
  void massMovesThe1xVector();
  void tachometerFaultsInTheRecording_data();
  void tachometerFaultsInTheRecording();
  void tachometerFaultsInAMeasurement_data();
  void tachometerFaultsInAMeasurement();

 private:
  QByteArray Record(const SimConfig& config);
  // One measurement cycle (sighting and working pass) on the rotor: the two 1x vectors.
  std::array<std::complex<double>, 2> Measure(const SimConfig& config);

  QTemporaryDir dir_;
  SimAdcLibrary sim_;
  test::RecordingObserver observer_;
};

void TestRigModel::init() {
  QVERIFY(dir_.isValid());
  ResetProgramState();
  Paths().WorkDir = dir_.path();
  Paths().TestDatPath = dir_.filePath("Test.dat");
  Paths().TestParPath = dir_.filePath("Test.par");
  Meas().AdcRate = 100.0;
  Settings().Kpr1 = Settings().Kpr2 = 20.0;
  SetObserver(&observer_);
  SetAdcLibrary(&sim_);
  BindCycleAcquisition([] { AdcAcquire(); });
}

void TestRigModel::cleanup() {
  BindCycleAcquisition(nullptr);
  SetAdcLibrary(nullptr);
  SetObserver(nullptr);
}

QByteArray TestRigModel::Record(const SimConfig& config) {
  sim_.SetConfig(config);
  Meas().Dlit = 3;
  Meas().GainCode = 1;
  AdcAcquire();
  QFile f(Paths().TestDatPath);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::array<std::complex<double>, 2> TestRigModel::Measure(const SimConfig& config) {
  sim_.SetConfig(config);
  Meas().NeedSighting = true;
  MeasCycle();
  const MeasState& m = Meas();
  if (m.AcqStatus != 1 || m.WrongTacho) qWarning("the measurement failed");
  return {std::polar(m.V1o, m.F1 * kDeg), std::polar(m.V2o, m.F2 * kDeg)};
}

void TestRigModel::withoutUnbalanceTheRecordingStays_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("same");
  QTest::newRow("keys at their defaults")
      << "unbalance1 = 0@0\nunbalance2 = 0\nmasses1 =\nradius1 = 100" << true;
  QTest::newRow("coefficients and radii alone") << "influence11 = 99@3\nradius2 = 50" << true;
  QTest::newRow("masses that cancel") << "masses2 = 2@10; -2@10" << true;
  QTest::newRow("a working tachometer") << "tacho_fault = none\ntacho_bounce_time = 2" << true;
  QTest::newRow("a mass") << "masses1 = 0.1@0" << false;
  QTest::newRow("an unbalance") << "unbalance2 = 10@0" << false;
}

void TestRigModel::withoutUnbalanceTheRecordingStays() {
  QFETCH(QString, text);
  QFETCH(bool, same);
  const QByteArray plain = Record(FromText(QString()));
  const QByteArray rig = Record(FromText(text));
  QVERIFY(plain.size() > 100000);
  QCOMPARE(rig.size(), plain.size());
  QCOMPARE(rig == plain, same);
}

void TestRigModel::massMovesThe1xVector_data() {
  QTest::addColumn<QString>("rig");
  QTest::addColumn<QString>("masses");
  QTest::addColumn<int>("plane");
  // The change expected at each channel, from the influence coefficients of the rig.
  QTest::addColumn<double>("grammm");
  QTest::addColumn<double>("angle");

  const QString quiet =
      "rpm_wander = 0\nch1_noise = 0.01\nch2_noise = 0.01\nunbalance1 = 150@200\n"
      "unbalance2 = 100@70\n";
  QTest::newRow("plane 1, trial point") << quiet << "masses1 = 3@0" << 1 << 300.0 << 0.0;
  QTest::newRow("plane 1, a quarter ahead") << quiet << "masses1 = 3@90" << 1 << 300.0 << 90.0;
  QTest::newRow("plane 1, two masses")
      << quiet << "masses1 = 2@300; 2@0" << 1 << 400 * std::cos(30 * kDeg) << 330.0;
  QTest::newRow("plane 2, own radius") << quiet << "masses2 = 2@200@150" << 2 << 300.0 << 200.0;
  QTest::newRow("plane 2, radius of the plane") << quiet + "radius2 = 80\n"
                                                << "masses2 = 2.5@135" << 2 << 200.0 << 135.0;
  QTest::newRow("material taken off") << quiet << "masses1 = -2@45" << 1 << 200.0 << 225.0;
  QTest::newRow("other coefficients") << quiet + "influence11 = 20@300\ninfluence21 = 9@10\n"
                                      << "masses1 = 2@120" << 1 << 200.0 << 120.0;
}

void TestRigModel::massMovesThe1xVector() {
  QFETCH(QString, rig);
  QFETCH(QString, masses);
  QFETCH(int, plane);
  QFETCH(double, grammm);
  QFETCH(double, angle);
  const SimConfig before = FromText(rig);
  const SimConfig after = FromText(rig + masses);
  const auto v0 = Measure(before);
  const auto v1 = Measure(after);
  for (int ch = 0; ch < 2; ++ch) {
    // Per 1000 g*mm; rotor angles count against the measured phase.
    const SimPolar k = after.Influence[ch][plane - 1];
    const std::complex<double> expected =
        std::polar(k.Amount * grammm / 1000, (k.AngleDeg - angle) * kDeg);
    const std::complex<double> change = v1[ch] - v0[ch];
    qInfo("channel %d: %s -> %s, change %s, expected %s", ch + 1, qPrintable(Polar(v0[ch])),
          qPrintable(Polar(v1[ch])), qPrintable(Polar(change)), qPrintable(Polar(expected)));
    // Noise is a few hundredths of a mm/s; the 16-point phase lag turns every vector by about
    // half a degree (1 %).
    QVERIFY(std::abs(change - expected) < 0.03 * std::abs(expected) + 0.03);
  }
}

namespace {

// The tachometer's falling edges (High is 100 codes or more, as the mark scan reads it), each
// with its distance in frames from the edge before it.
struct Edges {
  std::vector<int> gaps;
  int Count() const { return int(gaps.size()); }
};

Edges FallingEdges(const QByteArray& raw) {
  Edges e;
  const auto* s = reinterpret_cast<const int16_t*>(raw.constData());
  const qsizetype frames = raw.size() / 8;
  bool high = false;
  qsizetype last = -1;
  for (qsizetype k = 0; k < frames; ++k) {
    const bool h = s[4 * k + 2] >= 100;
    if (high && !h) {
      if (last >= 0) e.gaps.push_back(int(k - last));
      last = k;
    }
    high = h;
  }
  return e;
}

}  // namespace

void TestRigModel::tachometerFaultsInTheRecording_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("longestBounce");  // frames at 25 000 per second; 0: no bounce
  QTest::newRow("working") << "tacho_fault = none" << 0;
  QTest::newRow("no signal") << "tacho_fault = no_signal" << -1;
  QTest::newRow("bounce") << "tacho_fault = bounce" << 75;
  QTest::newRow("short bounce") << "tacho_fault = bounce\ntacho_bounce_time = 1" << 25;
}

void TestRigModel::tachometerFaultsInTheRecording() {
  QFETCH(QString, text);
  QFETCH(int, longestBounce);
  const QString steady = "rpm_wander = 0\n";  // 1013.5 frames a revolution at 1480 rev/min
  const Edges e = FallingEdges(Record(FromText(steady + text)));
  if (longestBounce < 0) {
    QCOMPARE(e.Count(), 0);
    return;
  }
  // Gaps of a whole revolution and, after each mark, the bounce's own edges.
  int revolutions = 0, bounces = 0, inBurst = 0, burstsOf2to4 = 0, bursts = 0;
  for (int gap : e.gaps) {
    if (gap > 1000 - longestBounce && gap < 1030) {
      if (inBurst > 0) {
        ++bursts;
        burstsOf2to4 += inBurst >= 2 && inBurst <= 4;
      }
      ++revolutions;
      inBurst = 0;
    } else {
      QVERIFY2(gap <= longestBounce, qPrintable(QString("gap of %1 frames").arg(gap)));
      ++bounces;
      ++inBurst;
    }
  }
  QVERIFY(revolutions > 40);
  if (longestBounce == 0) {
    QCOMPARE(bounces, 0);
  } else {
    QCOMPARE(burstsOf2to4, bursts);
    QVERIFY(bursts >= revolutions - 1);
  }
}

void TestRigModel::tachometerFaultsInAMeasurement_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("rpmFrom");
  QTest::addColumn<double>("rpmTo");
  QTest::addColumn<bool>("wrongTacho");
  QTest::addColumn<bool>("vibrationRead");  // the 1x vectors read back as the rotor has them
  QTest::newRow("working") << "tacho_fault = none" << 1460.0 << 1490.0 << false << true;
  // No marks: no speed, no 1x vectors, the wrong-tachometer state.
  QTest::newRow("no signal") << "tacho_fault = no_signal" << 0.0 << 0.0 << true << false;
  // Bounce edges later than 30 frames (1.2 ms) after a mark are taken for marks: the speed
  // comes out two to three times too high and the averaging over the wrong period loses the
  // 1x vectors; the irregular intervals raise the wrong-tachometer state.
  QTest::newRow("bounce up to 3 ms") << "tacho_fault = bounce" << 2200.0 << 4500.0 << true
                                     << false;
  // A bounce within 30 frames is no mark, so speed and vectors come out right; but each bounce
  // edge shortens the interval the next mark is checked against, which raises the
  // wrong-tachometer state on every revolution.
  QTest::newRow("bounce up to 1 ms") << "tacho_fault = bounce\ntacho_bounce_time = 1" << 1460.0
                                     << 1490.0 << true << true;
}

void TestRigModel::tachometerFaultsInAMeasurement() {
  QFETCH(QString, text);
  QFETCH(double, rpmFrom);
  QFETCH(double, rpmTo);
  QFETCH(bool, wrongTacho);
  QFETCH(bool, vibrationRead);
  observer_.lines.clear();
  observer_.wrongTacho.clear();
  const SimConfig config = FromText(text);
  const auto v = Measure(config);
  const MeasState& m = Meas();
  qInfo("RPM %.1f, RevPeriod %.1f, WrongTacho %d, 1x %s and %s", m.RPM, m.RevPeriod,
        int(m.WrongTacho), qPrintable(Polar(v[0])), qPrintable(Polar(v[1])));
  QCOMPARE(m.AcqStatus, 1);
  QVERIFY(m.RPM >= rpmFrom && m.RPM <= rpmTo);
  QCOMPARE(m.WrongTacho, wrongTacho);
  const bool shown = std::find(observer_.wrongTacho.begin(), observer_.wrongTacho.end(), true) !=
                     observer_.wrongTacho.end();
  QCOMPARE(shown, wrongTacho);
  const int intervalLines = int(observer_.lines.filter("( abs(Delta - DeltaOld))=").size());
  QCOMPARE(intervalLines > 0, wrongTacho && m.RPM > 0);
  for (int ch = 0; ch < 2; ++ch) {
    const std::complex<double> rotor = SimVibration1x(config, ch);
    const bool read = std::abs(v[ch] - rotor) < 0.03 * std::abs(rotor) + 0.05;
    QCOMPARE(read, vibrationRead);
  }
}

QTEST_GUILESS_MAIN(TestRigModel)
#include "test_rigmodel.moc"
