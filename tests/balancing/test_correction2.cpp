#include <QtTest>
#include <cmath>

#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

Q_DECLARE_METATYPE(vintor::Cx)

namespace {

constexpr double kRad = 0.0174444444444444444;  // the two-plane phase conversion

// Amplitude and phase that RunVector turns back into `target`.
void SetRun(double& amplitude, double& phase, Cx target) {
  amplitude = std::hypot(target.re, target.im);
  phase = std::atan2(target.im, target.re) / kRad;
}

Cx Polar(double magnitude, double rad) {
  return {magnitude * std::cos(rad), magnitude * std::sin(rad)};
}

// Coefficients that keep the planes apart: each channel feels its own plane only.
void SetDecoupled() {
  BalancingInput& b = BalInput();
  b.R11 = 1;
  b.R41 = 1;
}

TwoPlaneInput Decoupled(Cx a0, Cx b0) {
  TwoPlaneInput in;
  in.R = {1, 0, 0, 0, 0, 0, 1, 0};
  in.v.A0 = a0;
  in.v.B0 = b0;
  return in;
}

}  // namespace

class TestCorrection2 : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ResetBalancingState();
    SetDecimalSeparatorOverride(QLatin1Char('.'));
  }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void solve_data();
  void solve();
  void rawAngle_data();
  void rawAngle();
  void runVectorUsesThreePointFourteen();
  void solutionCancelsBothChannels_data();
  void solutionCancelsBothChannels();
  void coefficientsDerivedOnlyWhenAllSmall_data();
  void coefficientsDerivedOnlyWhenAllSmall();

  void resultLineGramsAndMoments();
  void percentModeTexts();
  void bladesSecondMassOneDecimal();
  void failureClearsAllCoefficients();
  void zeroCorrectionVector();
  void derivesFromRunVectors();
};

void TestCorrection2::solve_data() {
  QTest::addColumn<TwoPlaneInput>("in");
  QTest::addColumn<int>("failure");
  QTest::addColumn<double>("p1");
  QTest::addColumn<int>("angle1");
  QTest::addColumn<double>("p2");
  QTest::addColumn<int>("angle2");
  const int none = int(CorrFailure::None);
  // X = (0, -2), Y = (-1, 0): plane-2 raw angle Round(-89.5) = -90, 270, shown 90.
  QTest::newRow("decoupled") << Decoupled({1, 0}, {0, 2}) << none << 100.0 << 180 << 200.0 << 90;
  QTest::newRow("angle 0 is not 360")
      << Decoupled({-1, 0}, {0, -2}) << none << 100.0 << 0 << 200.0 << 270;
  QTest::newRow("999 % plane 1") << Decoupled({9.99, 0}, {0, 2}) << none << 999.0 << 180 << 200.0
                                 << 90;
  QTest::newRow("1000 % plane 1") << Decoupled({10, 0}, {0, 2}) << int(CorrFailure::Plane1TooLarge)
                                  << 0.0 << 0 << 0.0 << 0;
  QTest::newRow("999 % plane 2") << Decoupled({1, 0}, {0, 9.99}) << none << 100.0 << 180 << 999.0
                                 << 90;
  QTest::newRow("1000 % plane 2") << Decoupled({1, 0}, {0, 10}) << int(CorrFailure::Plane2TooLarge)
                                  << 0.0 << 0 << 0.0 << 0;
  TwoPlaneInput same = Decoupled({1, 0}, {0, 2});
  same.R = {1, 0, 1, 0, 1, 0, 1, 0};  // both planes act alike on both channels
  QTest::newRow("singular") << same << int(CorrFailure::Singular) << 0.0 << 0 << 0.0 << 0;
  TwoPlaneInput weak = Decoupled({1, 0}, {0, 2});
  weak.R[0] = 0.03;  // |alpha|^2 = 0.0009
  QTest::newRow("weak plane 1") << weak << int(CorrFailure::WeakPlane1) << 0.0 << 0 << 0.0 << 0;
  TwoPlaneInput huge = Decoupled({1e200, 1e200}, {1e200, 1e200});
  QTest::newRow("overflow fails") << huge << int(CorrFailure::Plane2TooLarge) << 0.0 << 0 << 0.0
                                  << 0;
}

void TestCorrection2::solve() {
  QFETCH(TwoPlaneInput, in);
  QFETCH(int, failure);
  QFETCH(double, p1);
  QFETCH(int, angle1);
  QFETCH(double, p2);
  QFETCH(int, angle2);
  const TwoPlaneResult r = SolveTwoPlane(in);
  QCOMPARE(int(r.failure), failure);
  QCOMPARE(r.ok, failure == int(CorrFailure::None));
  if (!r.ok) {
    for (double c : r.R) QCOMPARE(c, 0.0);
    return;
  }
  QCOMPARE(r.PercentP1, p1);
  QCOMPARE(r.CorrAngleP1, angle1);
  QCOMPARE(r.PercentP2, p2);
  QCOMPARE(r.CorrAngleP2, angle2);
  QVERIFY(!r.grams);
  QCOMPARE(r.CorrMassP1, p1);
}

void TestCorrection2::rawAngle_data() {
  QTest::addColumn<Cx>("v");
  QTest::addColumn<int>("angle");
  QTest::newRow("x=0 y>0: Round(90.5)") << Cx{0, 2} << 90;
  QTest::newRow("x=0 y<0: Round(-89.5)") << Cx{0, -2} << 270;
  QTest::newRow("x<0 on axis: Round(180.5)") << Cx{-1, 0} << 180;
  QTest::newRow("x>0 on axis: Round(0.5)") << Cx{1, 0} << 0;
  QTest::newRow("x>0 slightly negative") << Cx{1, -0.02} << 359;
  QTest::newRow("x>0 y>0") << Cx{1, 1} << 45;
  QTest::newRow("x>0 y<0") << Cx{1, -1} << 316;
  QTest::newRow("x<0 y>0") << Cx{-1, 1} << 136;
  QTest::newRow("x<0 y<0") << Cx{-1, -1} << 225;
  // 81.01 true degrees: 57.2829 per radian gives 80.99 + 0.5, which stays 81.
  const double skew = 81.01 / 57.29577951308232;
  QTest::newRow("degree factor 57.2829") << Cx{std::cos(skew), std::sin(skew)} << 81;
  QTest::newRow("zero vector") << Cx{0, 0} << 0;
}

void TestCorrection2::rawAngle() {
  QFETCH(Cx, v);
  QFETCH(int, angle);
  QCOMPARE(TwoPlaneRawAngle(v), angle);
}

// Phases have always been turned into radians with 3.14 / 180: 90 degrees is 1.57 rad.
void TestCorrection2::runVectorUsesThreePointFourteen() {
  const Cx v = RunVector(2.0, 90.0);
  QVERIFY(std::fabs(v.re - 2.0 * std::cos(1.57)) < 1e-15);
  QVERIFY(std::fabs(v.im - 2.0 * std::sin(1.57)) < 1e-15);
}

// Whatever the coupling, the corrections must cancel the reference vibration on both channels.
void TestCorrection2::solutionCancelsBothChannels_data() {
  QTest::addColumn<TwoPlaneInput>("in");
  TwoPlaneInput a;
  a.R = {1, 0.5, 0.2, -0.1, 0.3, 0.2, 0.8, -0.4};
  a.v.A0 = {0.5, 0.3};
  a.v.B0 = {-0.2, 0.7};
  QTest::newRow("mild coupling") << a;
  TwoPlaneInput b;
  b.R = {-0.6, 0.9, 1.1, 0.4, 0.7, -0.7, -0.3, 1.2};
  b.v.A0 = {-2.0, 1.0};
  b.v.B0 = {0.4, -3.1};
  QTest::newRow("strong coupling") << b;
}

void TestCorrection2::solutionCancelsBothChannels() {
  QFETCH(TwoPlaneInput, in);
  const TwoPlaneResult r = SolveTwoPlane(in);
  QVERIFY(r.ok);
  const Cx alpha{in.R[0], in.R[1]}, beta{in.R[2], in.R[3]};
  const Cx gamma{in.R[4], in.R[5]}, delta{in.R[6], in.R[7]};
  const Cx ch1 = in.v.A0 + alpha * r.Y + gamma * r.X;
  const Cx ch2 = in.v.B0 + beta * r.Y + delta * r.X;
  QVERIFY(Norm2(ch1) < 1e-20);
  QVERIFY(Norm2(ch2) < 1e-20);
  QCOMPARE(r.PercentP1, std::nearbyint(100 * std::sqrt(Norm2(r.Y))));
}

void TestCorrection2::coefficientsDerivedOnlyWhenAllSmall_data() {
  QTest::addColumn<TwoPlaneInput>("in");
  QTest::addColumn<bool>("derived");
  TwoPlaneInput base;
  base.v = {{1, 0}, {0, 1}, {2, 0}, {0, 1.5}, {1, 0.5}, {0, 3}};
  TwoPlaneInput zeros = base;
  QTest::newRow("all zero") << zeros << true;
  TwoPlaneInput negative = base;
  negative.R = {-5, -5, -5, -5, -5, -5, -5, -5};
  QTest::newRow("all negative: signed test") << negative << true;
  TwoPlaneInput justBelow = base;
  justBelow.R = {0.0099, 0, 0, 0, 0, 0, 0, 0};
  QTest::newRow("0.0099") << justBelow << true;
  TwoPlaneInput one = base;
  one.R = {0.01, 0, 0, 0, 0, 0, 0, 0};  // fails later (weak plane 1) but is used as given
  QTest::newRow("one at 0.01") << one << false;
}

void TestCorrection2::coefficientsDerivedOnlyWhenAllSmall() {
  QFETCH(TwoPlaneInput, in);
  QFETCH(bool, derived);
  const TwoPlaneResult r = SolveTwoPlane(in);
  QCOMPARE(r.derived, derived);
  if (derived) {
    QVERIFY(r.ok);
    const std::array<double, 8> expect{1, 0.0, 0, 0.5, 0, 0.5, 0, 2};
    for (size_t k = 0; k < 8; ++k) QCOMPARE(r.R[k] + 1.0, expect[k] + 1.0);
  }
}

// Stored decoupled coefficients, so that X = -B0 and Y = -A0.
void TestCorrection2::resultLineGramsAndMoments() {
  SetDecoupled();
  BalancingInput& b = BalInput();
  b.TrialM1 = 10;
  b.TrialM2 = 5;
  b.PlaceRadius1 = 100;
  b.PlaceRadius2 = 50;
  RunRecords& runs = Runs();
  // Raw angles -40 (shown 40) and 60 (shown 300), off the rounding edges.
  SetRun(runs.Run0V1o, runs.Run0F1, -Polar(1.2, -40.5 / 57.2829));
  SetRun(runs.Run0V2o, runs.Run0F2, -Polar(0.7, 59.5 / 57.2829));
  TwoPlaneCorrection c;
  const QDateTime when(QDate(2026, 1, 8), QTime(14, 3, 5));
  const CorrectionOutcome out = c.Compute(when);
  QVERIFY(out.ok);
  QVERIFY(c.HasResult());
  const CorrectionTexts& t = c.Texts();
  QCOMPARE(t.CorrLine2, QStringLiteral("M1=12.0 U1=40 M2=3.50 U2=300"));
  QCOMPARE(Corr().CorrLine2, t.CorrLine2);
  QCOMPARE(out.logLines.size(), 4);
  QCOMPARE(out.logLines[0], QStringLiteral("---"));
  QCOMPARE(out.logLines[1], QStringLiteral("Corr.Mass and angles ") + BalancingLogStamp(when));
  QVERIFY(BalancingLogStamp(when).endsWith(QStringLiteral(" 14:03:05")));
  QCOMPARE(out.logLines[2], t.CorrLine2);
  QCOMPARE(out.logLines[3], QStringLiteral("---"));
  QCOMPARE(t.LabelM1, QStringLiteral(" g."));
  QCOMPARE(t.LabelM22, QStringLiteral(" g."));
  QCOMPARE(Corr().CorrMassP1, 12.0);
  QCOMPARE(Corr().CorrMassP2, 3.5);
  QCOMPARE(t.EditD1, QStringLiteral("1200.0"));
  QCOMPARE(t.EditD2, QStringLiteral("175.0"));
  QCOMPARE(Corr().StartD1, 1200.0);
  QCOMPARE(Corr().StartD2, 175.0);
  QCOMPARE(Corr().EndD1, 0.0);
  QVERIFY(!t.BladesShown);

  c.SetMethod(CorrectionMethod::RemoveMass);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("220"));
  QCOMPARE(c.Texts().EditF2, QStringLiteral("120"));
  QCOMPARE(Corr().CorrAngleP1Shown, 220);
  QCOMPARE(Corr().CorrAngleP2Shown, 120);
  QCOMPARE(Corr().CorrLine2, QStringLiteral("M1=12.0 U1=40 M2=3.50 U2=300"));

  // A later computation (the check run) fills the end moments; the angles obey the method.
  b.PlaceRadius1 = 10;
  QVERIFY(c.Compute(when).ok);
  QCOMPARE(Corr().StartD1, 1200.0);
  QCOMPARE(Corr().EndD1, 120.0);
  QCOMPARE(Corr().EndD2, 175.0);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("220"));
}

void TestCorrection2::percentModeTexts() {
  SetDecoupled();
  BalInput().TrialM1 = 10;  // only one trial mass: still percent
  BalInput().PlaceRadius1 = 100;
  RunRecords& runs = Runs();
  SetRun(runs.Run0V1o, runs.Run0F1, {1.2, 0});
  SetRun(runs.Run0V2o, runs.Run0F2, {0, 0.7});
  TwoPlaneCorrection c;
  QVERIFY(c.Compute().ok);
  const CorrectionTexts& t = c.Texts();
  QCOMPARE(t.EditM1, QStringLiteral("120"));
  QCOMPARE(t.EditM2, QStringLiteral("70.0"));
  QCOMPARE(t.LabelM1, QStringLiteral(" %"));
  QCOMPARE(t.LabelM2, QStringLiteral(" %"));
  QCOMPARE(t.EditD1, QStringLiteral("n.d."));
  QCOMPARE(t.EditD2, QStringLiteral("n.d."));
  QCOMPARE(Corr().StartD1, 0.0);
}

void TestCorrection2::bladesSecondMassOneDecimal() {
  SetDecoupled();
  BalInput().BladeCount = 6;
  RunRecords& runs = Runs();
  SetRun(runs.Run0V1o, runs.Run0F1, {1, 0});
  SetRun(runs.Run0V2o, runs.Run0F2, {0, 2});
  TwoPlaneCorrection c;
  QVERIFY(c.Compute().ok);
  const CorrectionTexts& t = c.Texts();
  QVERIFY(t.BladesShown);
  // Plane 1: 100 % at 180, right on blade 4.
  QCOMPARE(t.LabelZ11, QStringLiteral("Z4="));
  QCOMPARE(t.EditM11, QStringLiteral("100"));
  QCOMPARE(t.LabelZ12, QStringLiteral("Z0="));
  QCOMPARE(t.EditM12, QStringLiteral("0.0"));
  // Plane 2: 200 % at 90, between blades 2 (60) and 3 (120): 115.47 each.
  QCOMPARE(t.LabelZ21, QStringLiteral("Z2="));
  QCOMPARE(t.EditM21, QStringLiteral("115"));
  QCOMPARE(t.LabelZ22, QStringLiteral("Z3="));
  QCOMPARE(t.EditM22, QStringLiteral("115.5"));

  c.SetMethod(CorrectionMethod::RemoveMass);  // 180 -> 0 and 90 -> 270
  QCOMPARE(c.Texts().EditF1, QStringLiteral("0"));
  QCOMPARE(c.Texts().LabelZ11, QStringLiteral("Z1="));
  QCOMPARE(c.Texts().LabelZ21, QStringLiteral("Z5="));
  QCOMPARE(c.Texts().LabelZ22, QStringLiteral("Z6="));
}

void TestCorrection2::failureClearsAllCoefficients() {
  SetDecoupled();
  BalInput().BladeCount = 6;
  RunRecords& runs = Runs();
  SetRun(runs.Run0V1o, runs.Run0F1, {1, 0});
  SetRun(runs.Run0V2o, runs.Run0F2, {0, 2});
  TwoPlaneCorrection c;
  QVERIFY(c.Compute().ok);
  const CorrectionTexts before = c.Texts();

  SetRun(runs.Run0V1o, runs.Run0F1, {10, 0});  // 1000 % in plane 1
  const CorrectionOutcome out = c.Compute();
  QVERIFY(!out.ok);
  QVERIFY(!c.HasResult());
  QCOMPARE(out.warning, QStringLiteral("Trial mass weight is wrong"));
  QCOMPARE(out.logLines, QStringList{QStringLiteral("---Trial mass weight is wrong---")});
  const BalancingInput& b = BalInput();
  for (double v : {b.R11, b.R12, b.R21, b.R22, b.R31, b.R32, b.R41, b.R42}) QCOMPARE(v, 0.0);
  for (const QString& s : {c.Texts().EditM1, c.Texts().EditF1, c.Texts().EditM2, c.Texts().EditF2})
    QCOMPARE(s, QStringLiteral("n.d."));
  QCOMPARE(c.Texts().LabelZ21, before.LabelZ21);
  QCOMPARE(c.Texts().EditM22, before.EditM22);
  QCOMPARE(c.Texts().CorrLine2, before.CorrLine2);

  c.SetMethod(CorrectionMethod::RemoveMass);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("n.d."));
  QCOMPARE(c.Texts().LabelZ11, before.LabelZ11);
}

void TestCorrection2::zeroCorrectionVector() {
  SetDecoupled();
  RunRecords& runs = Runs();
  runs.Run0F1 = 77;  // no amplitude: the phases mean nothing
  runs.Run0F2 = 13;
  TwoPlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Result().noCorrectionP1 && c.Result().noCorrectionP2);
  QCOMPARE(c.Texts().CorrLine2, QStringLiteral("M1=0.000 U1=0 M2=0.000 U2=0"));
  QCOMPARE(c.Texts().Note, QStringLiteral("No correction needed"));

  SetRun(runs.Run0V2o, runs.Run0F2, {0, 2});  // plane 2 only
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Result().noCorrectionP1 && !c.Result().noCorrectionP2);
  QCOMPARE(c.Texts().EditF1, QStringLiteral("0"));
  QCOMPARE(c.Texts().EditF2, QStringLiteral("90"));
  QCOMPARE(c.Texts().Note, QStringLiteral("No correction needed in plane 1"));
}

// A new rotor: the eight coefficients come from the three runs and stay in the input.
void TestCorrection2::derivesFromRunVectors() {
  RunRecords& r = Runs();
  SetRun(r.Run0V1o, r.Run0F1, {1, 0});
  SetRun(r.Run0V2o, r.Run0F2, {0, 2});
  SetRun(r.Run1V1o, r.Run1F1, {2, 0});  // alpha = (1, 0)
  SetRun(r.Run1V2o, r.Run1F2, {0, 2});  // beta = 0
  SetRun(r.Run2V1o, r.Run2F1, {1, 0});  // gamma = 0
  SetRun(r.Run2V2o, r.Run2F2, {1, 2});  // delta = (1, 0)
  TwoPlaneCorrection c;
  QVERIFY(c.Compute().ok);
  QVERIFY(c.Result().derived);
  QVERIFY(std::fabs(BalInput().R11 - 1) < 1e-12);
  QVERIFY(std::fabs(BalInput().R41 - 1) < 1e-12);
  QVERIFY(std::fabs(BalInput().R21) < 1e-12);
  QCOMPARE(c.Texts().EditM1, QStringLiteral("100"));
  QCOMPARE(c.Texts().EditF1, QStringLiteral("180"));
  QCOMPARE(c.Texts().EditM2, QStringLiteral("200"));
  QCOMPARE(c.Texts().EditF2, QStringLiteral("90"));
}

QTEST_GUILESS_MAIN(TestCorrection2)
#include "test_correction2.moc"
