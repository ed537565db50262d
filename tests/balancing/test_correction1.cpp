#include <QtTest>
#include <cmath>

#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

class TestCorrection1 : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ResetBalancingState();
    SetDecimalSeparatorOverride(QLatin1Char('.'));
  }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void solve_data();
  void solve();
  void shownAngle_data();
  void shownAngle();
  void bladeSplit_data();
  void bladeSplit();
  void bladeSplitRebuildsTheCorrection_data();
  void bladeSplitRebuildsTheCorrection();

  void windowTextsGramsPolar();
  void windowTextsPercentIgnoresRadius();
  void removeMassOnBlades();
  void bladesUseTheMassAsShownWithCommaSeparator();
  void failureClearsCoefficientAndKeepsOtherTexts();
  void derivedCoefficientKeptForCheckRun();
  void momentsFirstThenLater();
  void zeroVibrationNeedsNoCorrection();
  void resetRunRecordsKeepsSpeeds();
};

// Columns: stored coefficient, trial mass, radius, Run#0 and Run#1 (amplitude, phase);
// expected: success, failure, derived, P, angle, M, U.
void TestCorrection1::solve_data() {
  QTest::addColumn<double>("r11");
  QTest::addColumn<double>("r12");
  QTest::addColumn<double>("trial");
  QTest::addColumn<double>("radius");
  QTest::addColumn<double>("v0");
  QTest::addColumn<double>("f0");
  QTest::addColumn<double>("v1");
  QTest::addColumn<double>("f1");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<int>("failure");
  QTest::addColumn<bool>("derived");
  QTest::addColumn<double>("p");
  QTest::addColumn<int>("angle");
  QTest::addColumn<double>("m");
  QTest::addColumn<double>("u");
  const int none = int(CorrFailure::None);

  // 1 mm/s at 10 and 2 mm/s at 10: the trial mass doubled the vibration in phase.
  QTest::newRow("example percent") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << 10.0 << 2.0 << 10.0 << true
                                   << none << true << 100.0 << 180 << 100.0 << 0.0;
  QTest::newRow("example grams") << 0.0 << 0.0 << 20.0 << 50.0 << 1.0 << 10.0 << 2.0 << 10.0 << true
                                 << none << true << 100.0 << 180 << 20.0 << 1000.0;
  // Derived R11 exactly 0 (cos is even): +90 for a positive R12, +270 for a negative one.
  // P = 50 / sin(30) = 100.
  QTest::newRow("R11=0 R12>0") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << -30.0 << 1.0 << 30.0 << true
                               << none << true << 100.0 << 300 << 100.0 << 0.0;
  QTest::newRow("R11=0 R12<0") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << 30.0 << 1.0 << -30.0 << true
                               << none << true << 100.0 << 60 << 100.0 << 0.0;
  // Raw 280.5 and 281.5 go to the even neighbours 280 and 282.
  const double pHalf = 50.0 / std::sin(10.5 / 57.29577951);
  const double pHalf2 = 50.0 / std::sin(11.5 / 57.29577951);
  QTest::newRow("half to even down") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << 10.5 << 1.0 << -10.5
                                     << true << none << true << pHalf << 80 << pHalf << 0.0;
  QTest::newRow("half to even up") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << 11.5 << 1.0 << -11.5
                                   << true << none << true << pHalf2 << 78 << pHalf2 << 0.0;
  // Stored (3, 4): K = 5, atan(4/3) = 53.13 degrees.
  QTest::newRow("R11>0") << 3.0 << 4.0 << 0.0 << 0.0 << 2.0 << 0.0 << 0.0 << 0.0 << true << none
                         << false << 40.0 << 233 << 40.0 << 0.0;
  QTest::newRow("R11<0") << -3.0 << 4.0 << 0.0 << 0.0 << 2.0 << 0.0 << 0.0 << 0.0 << true << none
                         << false << 40.0 << 307 << 40.0 << 0.0;
  QTest::newRow("reduced from 533") << 3.0 << -4.0 << 0.0 << 0.0 << 2.0 << 300.0 << 0.0 << 0.0
                                    << true << none << false << 40.0 << 187 << 40.0 << 0.0;
  QTest::newRow("negative raw -43") << -3.0 << -4.0 << 0.0 << 0.0 << 2.0 << 10.0 << 0.0 << 0.0
                                    << true << none << false << 40.0 << 43 << 40.0 << 0.0;
  QTest::newRow("raw 360 stays 0")
      << -1.0 << 1.0 << 0.0 << 0.0 << 1.0 << 315.0 << 0.0 << 0.0 << true << none << false
      << 100.0 / std::sqrt(2.0) << 0 << 100.0 / std::sqrt(2.0) << 0.0;
  // One stored component exactly 0 means "unknown": taken from the runs instead.
  QTest::newRow("half-stored is derived") << 5.0 << 0.0 << 0.0 << 0.0 << 1.0 << 10.0 << 2.0 << 10.0
                                          << true << none << true << 100.0 << 180 << 100.0 << 0.0;
  QTest::newRow("999.9 % passes") << 3.0 << 4.0 << 10.0 << 0.0 << 49.995 << 0.0 << 0.0 << 0.0
                                  << true << none << false << 999.9 << 233 << 99.99 << 0.0;
  QTest::newRow("1000 % fails") << 3.0 << 4.0 << 10.0 << 0.0 << 50.0 << 0.0 << 0.0 << 0.0 << false
                                << int(CorrFailure::TrialTooLight) << false << 0.0 << 0 << 0.0
                                << 0.0;
  QTest::newRow("trial changed nothing")
      << 0.0 << 0.0 << 10.0 << 0.0 << 1.0 << 10.0 << 1.0 << 10.0 << false
      << int(CorrFailure::NoTrialEffect) << true << 0.0 << 0 << 0.0 << 0.0;
}

void TestCorrection1::solve() {
  QFETCH(double, r11);
  QFETCH(double, r12);
  QFETCH(double, trial);
  QFETCH(double, radius);
  QFETCH(double, v0);
  QFETCH(double, f0);
  QFETCH(double, v1);
  QFETCH(double, f1);
  QFETCH(bool, ok);
  QFETCH(int, failure);
  QFETCH(bool, derived);
  QFETCH(double, p);
  QFETCH(int, angle);
  QFETCH(double, m);
  QFETCH(double, u);
  const SinglePlaneResult r = SolveSinglePlane({r11, r12, trial, radius, v0, f0, v1, f1});
  QCOMPARE(r.ok, ok);
  QCOMPARE(int(r.failure), failure);
  QCOMPARE(r.derived, derived);
  if (!ok) {
    QCOMPARE(r.R11, 0.0);
    QCOMPARE(r.R12, 0.0);
    return;
  }
  QVERIFY2(std::fabs(r.P - p) < 1e-6 * p, qPrintable(QString::number(r.P, 'g', 17)));
  QCOMPARE(r.CorrAngle, angle);
  QVERIFY(std::fabs(r.M - m) < 1e-6 * m);
  QVERIFY(std::fabs(r.U - u) < 1e-6 * (u + 1));
  QCOMPARE(r.grams, trial > 0);
  QVERIFY(!r.noCorrection);
}

void TestCorrection1::shownAngle_data() {
  QTest::addColumn<int>("angle");
  QTest::addColumn<bool>("remove");
  QTest::addColumn<int>("shown");
  QTest::newRow("add keeps") << 45 << false << 45;
  QTest::newRow("add 0") << 0 << false << 0;
  QTest::newRow("remove 180 is 0") << 180 << true << 0;
  QTest::newRow("remove 179") << 179 << true << 359;
  QTest::newRow("remove 200") << 200 << true << 20;
  QTest::newRow("remove 0") << 0 << true << 180;
}

void TestCorrection1::shownAngle() {
  QFETCH(int, angle);
  QFETCH(bool, remove);
  QFETCH(int, shown);
  QCOMPARE(ShownAngle(angle, remove ? CorrectionMethod::RemoveMass : CorrectionMethod::AddMass),
           shown);
}

void TestCorrection1::bladeSplit_data() {
  QTest::addColumn<int>("angle");
  QTest::addColumn<int>("blades");
  QTest::addColumn<int>("i");
  QTest::addColumn<int>("j");
  QTest::addColumn<double>("massI");
  QTest::addColumn<double>("massJ");
  QTest::newRow("6 at 45") << 45 << 6 << 1 << 2 << 0.2989 << 0.8165;
  QTest::newRow("6 at 330 wraps to 1") << 330 << 6 << 6 << 1 << 0.5774 << 0.5774;
  QTest::newRow("6 at 60 on blade 2") << 60 << 6 << 2 << 0 << 1.0 << 0.0;
  QTest::newRow("6 at 0 on blade 1") << 0 << 6 << 1 << 0 << 1.0 << 0.0;
  QTest::newRow("3 at 359") << 359 << 3 << 3 << 1 << 0.0202 << 1.0099;
  QTest::newRow("7 at 100, uneven pitch") << 100 << 7 << 2 << 3 << 0.0638 << 0.9590;
}

void TestCorrection1::bladeSplit() {
  QFETCH(int, angle);
  QFETCH(int, blades);
  QFETCH(int, i);
  QFETCH(int, j);
  QFETCH(double, massI);
  QFETCH(double, massJ);
  const BladeSplit s = SplitToBlades(10.0, angle, blades);
  QVERIFY(s.valid);
  QCOMPARE(s.i, i);
  QCOMPARE(s.j, j);
  QVERIFY2(std::fabs(s.massI - 10 * massI) < 1e-3, qPrintable(QString::number(s.massI)));
  QVERIFY2(std::fabs(s.massJ - 10 * massJ) < 1e-3, qPrintable(QString::number(s.massJ)));
  QVERIFY(!SplitToBlades(10.0, angle, 2).valid);
}

// The two blade masses must add up, as vectors, to the correction they replace.
void TestCorrection1::bladeSplitRebuildsTheCorrection_data() {
  QTest::addColumn<int>("blades");
  for (int n : {3, 4, 5, 7, 12, 36}) QTest::addRow("%d blades", n) << n;
}

void TestCorrection1::bladeSplitRebuildsTheCorrection() {
  QFETCH(int, blades);
  const double rad = M_PI / 180.0;
  for (int phi = 0; phi < 360; phi += 7) {
    const BladeSplit s = SplitToBlades(1.0, phi, blades);
    const double ti = (s.i - 1) * 360.0 / blades, tj = (s.j - 1) * 360.0 / blades;
    const double x = s.massI * std::cos(ti * rad) + (s.j ? s.massJ * std::cos(tj * rad) : 0);
    const double y = s.massI * std::sin(ti * rad) + (s.j ? s.massJ * std::sin(tj * rad) : 0);
    QVERIFY2(std::fabs(x - std::cos(phi * rad)) < 1e-4 && std::fabs(y - std::sin(phi * rad)) < 1e-4,
             qPrintable(QStringLiteral("angle %1").arg(phi)));
    QVERIFY(s.massI >= 0 && s.massJ >= 0);
    QVERIFY(phi >= ti && (s.j == 1 || s.j == 0 || phi < tj));
  }
}

static void SetExampleRuns() {
  Runs().Run0V1o = 1.0;
  Runs().Run0F1 = 10.0;
  Runs().Run1V1o = 2.0;
  Runs().Run1F1 = 10.0;
}

void TestCorrection1::windowTextsGramsPolar() {
  SetExampleRuns();
  BalInput().TrialM1 = 12.5;
  BalInput().PlaceRadius1 = 80;
  SinglePlaneCorrection c;
  const CorrectionOutcome out = c.Compute();
  QVERIFY(out.ok);
  QVERIFY(out.warning.isEmpty() && out.logLines.isEmpty());
  QVERIFY(c.HasResult());
  const CorrectionTexts& t = c.Texts();
  QCOMPARE(t.EditM1, QStringLiteral("12.5"));
  QCOMPARE(t.EditF1, QStringLiteral("180"));
  QCOMPARE(t.LabelM1, QStringLiteral(" g."));
  QCOMPARE(t.LabelM11, QStringLiteral(" g."));
  QCOMPARE(t.EditD1, QStringLiteral("1000.0"));
  QVERIFY(!t.BladesShown);
  QCOMPARE(t.EditM11, QStringLiteral("n.d."));
  QVERIFY(t.Note.isEmpty());
  QCOMPARE(Corr().CorrAngle, 180);
  QCOMPARE(Corr().CorrAngleShown, 180);
  // The derived coefficient is kept for the check run.
  QVERIFY(std::fabs(BalInput().R11 - std::cos(10 / 57.29577951)) < 1e-12);

  c.SetMethod(CorrectionMethod::RemoveMass);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("0"));
  QCOMPARE(Corr().CorrAngleShown, 0);
  QCOMPARE(Corr().CorrAngle, 180);
}

void TestCorrection1::windowTextsPercentIgnoresRadius() {
  SetExampleRuns();
  // A radius left from an earlier Continue while the mass is in percent: no g*mm figure.
  BalInput().PlaceRadius1 = 80;
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QCOMPARE(c.Texts().EditM1, QStringLiteral("100"));
  QCOMPARE(c.Texts().LabelM1, QStringLiteral(" %"));
  QCOMPARE(c.Texts().EditD1, QStringLiteral("n.d."));
  QCOMPARE(c.Result().U, 0.0);
  QCOMPARE(Corr().StartD1, 0.0);
}

void TestCorrection1::removeMassOnBlades() {
  SetExampleRuns();
  BalInput().TrialM1 = 10;
  BalInput().BladeCount = 6;
  SinglePlaneCorrection c;
  c.SetMethod(CorrectionMethod::RemoveMass);  // chosen before any result: kept for it
  QVERIFY(c.Compute().ok);
  const CorrectionTexts& t = c.Texts();
  QVERIFY(t.BladesShown);
  QCOMPARE(t.EditF1, QStringLiteral("0"));
  QCOMPARE(t.LabelZ11, QStringLiteral("Z1="));
  QCOMPARE(t.EditM11, QStringLiteral("10.0"));
  QCOMPARE(t.LabelZ12, QStringLiteral("Z0="));
  QCOMPARE(t.EditM12, QStringLiteral("0.000"));

  c.SetMethod(CorrectionMethod::AddMass);  // 180 on six blades: blade 4 exactly
  QCOMPARE(c.Texts().LabelZ11, QStringLiteral("Z4="));
  QCOMPARE(c.Texts().EditM11, QStringLiteral("10.0"));
}

void TestCorrection1::bladesUseTheMassAsShownWithCommaSeparator() {
  SetDecimalSeparatorOverride(QLatin1Char(','));
  // Stored (1, 1) and 1.4142...@180: 100 % at 45 degrees; 6.666 g shows as 6,67.
  BalInput().R11 = 1;
  BalInput().R12 = 1;
  BalInput().TrialM1 = 6.666;
  BalInput().BladeCount = 6;
  Runs().Run0V1o = std::sqrt(2.0);
  Runs().Run0F1 = 180;
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QCOMPARE(c.Texts().EditM1, QStringLiteral("6,67"));
  QCOMPARE(c.Texts().EditF1, QStringLiteral("45"));
  QCOMPARE(c.Texts().LabelZ11, QStringLiteral("Z1="));
  QCOMPARE(c.Texts().EditM11, QStringLiteral("1,99"));  // 6.67 x 0.2989 = 1.9934
  QCOMPARE(c.Texts().LabelZ12, QStringLiteral("Z2="));
  QCOMPARE(c.Texts().EditM12, QStringLiteral("5,45"));  // 6.67 x 0.8165 = 5.446
}

void TestCorrection1::failureClearsCoefficientAndKeepsOtherTexts() {
  SetExampleRuns();
  BalInput().TrialM1 = 10;
  BalInput().PlaceRadius1 = 50;
  BalInput().BladeCount = 6;
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  const CorrectionTexts before = c.Texts();

  // Stored coefficient far too weak for this vibration: 1000 % and more.
  BalInput().R11 = 0.01;
  BalInput().R12 = 0.01;
  const CorrectionOutcome out = c.Compute();
  QVERIFY(!out.ok);
  QCOMPARE(out.warning, QStringLiteral("Trial mass weight is wrong"));
  QCOMPARE(out.logLines, QStringList{QStringLiteral("---Trial mass weight is wrong---")});
  QVERIFY(!c.HasResult());
  QCOMPARE(BalInput().R11, 0.0);
  QCOMPARE(BalInput().R12, 0.0);
  QCOMPARE(c.Texts().EditM1, QStringLiteral("n.d."));
  QCOMPARE(c.Texts().EditF1, QStringLiteral("n.d."));
  QCOMPARE(c.Texts().EditD1, before.EditD1);
  QCOMPARE(c.Texts().EditM11, before.EditM11);
  QCOMPARE(c.Texts().LabelZ12, before.LabelZ12);

  c.SetMethod(CorrectionMethod::RemoveMass);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("n.d."));
  QCOMPARE(c.Texts().EditM11, before.EditM11);

  // Cleared, so the next computation takes the coefficient from the runs again.
  QVERIFY(c.Compute().ok);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("0"));
}

void TestCorrection1::derivedCoefficientKeptForCheckRun() {
  SetExampleRuns();
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Result().derived);
  // The check run lands in the Run#0 slots; the coefficient of the trial run stays in use.
  Runs().Run0V1o = 0.1;
  Runs().Run0F1 = 100;
  QVERIFY(c.Compute().ok);
  QVERIFY(!c.Result().derived);
  QVERIFY(std::fabs(c.Result().P - 10.0) < 1e-9);
  // 100 + 180 - 10 = 270, turned: 90.
  QCOMPARE(c.Result().CorrAngle, 90);
}

void TestCorrection1::momentsFirstThenLater() {
  SetExampleRuns();
  BalInput().TrialM1 = 10;
  BalInput().PlaceRadius1 = 50;
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QCOMPARE(Corr().StartD1, 500.0);
  QCOMPARE(Corr().EndD1, 0.0);
  Runs().Run0V1o = 0.5;
  QVERIFY(c.Compute().ok);
  QCOMPARE(Corr().StartD1, 500.0);
  QVERIFY(std::fabs(Corr().EndD1 - 250.0) < 1e-9);
  QCOMPARE(c.Texts().EditD1, QStringLiteral("250.0"));
}

void TestCorrection1::zeroVibrationNeedsNoCorrection() {
  BalInput().R11 = 3;
  BalInput().R12 = 4;
  Runs().Run0V1o = 0.0;
  Runs().Run0F1 = 123;  // the phase of no vibration is noise
  SinglePlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Result().noCorrection);
  QCOMPARE(c.Result().CorrAngle, 0);
  QCOMPARE(c.Texts().EditM1, QStringLiteral("0.000"));
  QCOMPARE(c.Texts().EditF1, QStringLiteral("0"));
  QCOMPARE(c.Texts().Note, QStringLiteral("No correction needed"));
  Runs().Run0V1o = 1.0;
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Texts().Note.isEmpty());
}

void TestCorrection1::resetRunRecordsKeepsSpeeds() {
  Runs() = RunRecords{600, 610, 620, 630, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  Corr().StartD1 = Corr().StartD2 = Corr().EndD1 = Corr().EndD2 = 7;
  Corr().CorrAngle = 33;
  ResetRunRecords();
  const RunRecords& r = Runs();
  QCOMPARE(r.Run0RPM + r.Run1RPM + r.Run2RPM + r.RunCRPM, 2460.0);
  for (double v :
       {r.Run0V1o, r.Run0F1, r.Run0V2o, r.Run0F2, r.Run1V1o, r.Run1F1, r.Run1V2o, r.Run1F2,
        r.Run2V1o, r.Run2F1, r.Run2V2o, r.Run2F2, r.StartV1o, r.StartV2o, r.EndV1o, r.EndV2o})
    QCOMPARE(v, 0.0);
  QCOMPARE(Corr().StartD1 + Corr().StartD2 + Corr().EndD1 + Corr().EndD2, 0.0);
  QCOMPARE(Corr().CorrAngle, 33);
}

QTEST_GUILESS_MAIN(TestCorrection1)
#include "test_correction1.moc"
