#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
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

QTEST_GUILESS_MAIN(TestRigModel)
#include "test_rigmodel.moc"
