#include <QtTest>
#include <cmath>

#include "balancing/core/BalancingAids.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

namespace {

bool Near(double a, double b, double rel) {
  return std::fabs(a - b) <= rel * std::max(1.0, std::fabs(b));
}

// Angles equal on the circle (359.9999 and 0 are neighbours).
bool SameAngle(double a, double b, double tol) {
  const double d = std::fabs(std::remainder(a - b, 360.0));
  return d <= tol;
}

}  // namespace

class TestAids : public QObject {
  Q_OBJECT
 private slots:
  void init() { SetDecimalSeparatorOverride(QLatin1Char('.')); }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void permissibleUnbalance_data();
  void permissibleUnbalance();
  void toleranceFromEntries();
  void toleranceRefused_data();
  void toleranceRefused();
  void verdicts();
  void trialMass_data();
  void trialMass();
  void trialEffect_data();
  void trialEffect();
  void trialEffectOfRuns();
  void combine_data();
  void combine();
  void split_data();
  void split();
  void splitRefused_data();
  void splitRefused();
  void splitIsTheBladeSplitGeneralised();
};

// Uper = 9549 G m / n, worked by hand:
//   G 2.5, 100 kg, 3000 rpm: 9549 x 2.5 = 23872.5; x 100 = 2 387 250; / 3000 = 795.75 g*mm
//     (the usual "about 796 g*mm" example), two planes 397.875 each.
//   G 6.3 fan, 200 kg, 1500 rpm: 9549 x 6.3 = 60158.7; x 200 / 1500 = 8021.16; 60/40: 4812.696
//     and 3208.464.
//   G 1 spindle, 5 kg, 12000 rpm: 47745 / 12000 = 3.97875.
//   G 40, 1000 kg, 600 rpm: 381 960 / 0.6 = 636 600.
//   G 0.4, 2 kg, 30000 rpm: 7639.2 / 30000 = 0.25464.
//   G 16, 50 kg, 1500 rpm: 7 639 200 / 1500 = 5092.8.
void TestAids::permissibleUnbalance_data() {
  QTest::addColumn<double>("grade");
  QTest::addColumn<double>("mass");
  QTest::addColumn<double>("rpm");
  QTest::addColumn<double>("share");
  QTest::addColumn<double>("uper");
  QTest::addColumn<double>("uper1");
  QTest::addColumn<double>("uper2");
  QTest::newRow("G2.5 100 kg 3000")
      << 2.5 << 100.0 << 3000.0 << 0.5 << 795.75 << 397.875 << 397.875;
  QTest::newRow("G6.3 fan 200 kg 1500, 60 %")
      << 6.3 << 200.0 << 1500.0 << 0.6 << 8021.16 << 4812.696 << 3208.464;
  QTest::newRow("G1 spindle") << 1.0 << 5.0 << 12000.0 << 0.5 << 3.97875 << 1.989375 << 1.989375;
  QTest::newRow("G40") << 40.0 << 1000.0 << 600.0 << 0.5 << 636600.0 << 318300.0 << 318300.0;
  QTest::newRow("G0.4") << 0.4 << 2.0 << 30000.0 << 0.25 << 0.25464 << 0.06366 << 0.19098;
  QTest::newRow("G16") << 16.0 << 50.0 << 1500.0 << 0.5 << 5092.8 << 2546.4 << 2546.4;
}

void TestAids::permissibleUnbalance() {
  QFETCH(double, grade);
  QFETCH(double, mass);
  QFETCH(double, rpm);
  QFETCH(double, share);
  QFETCH(double, uper);
  QFETCH(double, uper1);
  QFETCH(double, uper2);
  const Tolerance t = PermissibleUnbalance(grade, mass, rpm, share);
  QVERIFY(t.valid);
  QVERIFY2(Near(t.Uper, uper, 1e-12), qPrintable(QString::number(t.Uper, 'g', 17)));
  QVERIFY(Near(t.Uper1, uper1, 1e-12));
  QVERIFY(Near(t.Uper2, uper2, 1e-12));
}

// The entries as the correction windows keep them: the speed of the last run unless one is
// entered, equal shares unless another is given, nothing without a grade.
void TestAids::toleranceFromEntries() {
  ResetAidsInput();
  AidsInput& a = Aids();
  QVERIFY(!ToleranceFor(a, 3000.0).valid);
  a.RotorMass = 100.0;
  a.Grade = 2.5;
  Tolerance t = ToleranceFor(a, 3000.0);
  QVERIFY(t.valid);
  QVERIFY(Near(t.Uper, 795.75, 1e-12) && Near(t.Uper1, 397.875, 1e-12));
  a.ServiceRPM = 1500.0;
  a.Share1 = 0.75;
  t = ToleranceFor(a, 3000.0);
  QVERIFY(Near(t.Uper, 1591.5, 1e-12) && Near(t.Uper2, 397.875, 1e-12));
  ResetAidsInput();
  QCOMPARE(Aids().Share1, 0.5);
}

void TestAids::toleranceRefused_data() {
  QTest::addColumn<double>("grade");
  QTest::addColumn<double>("mass");
  QTest::addColumn<double>("rpm");
  QTest::addColumn<double>("share");
  const double nan = std::nan("");
  QTest::newRow("grade off the list") << 3.0 << 100.0 << 3000.0 << 0.5;
  QTest::newRow("no grade") << 0.0 << 100.0 << 3000.0 << 0.5;
  QTest::newRow("zero mass") << 2.5 << 0.0 << 3000.0 << 0.5;
  QTest::newRow("negative mass") << 2.5 << -1.0 << 3000.0 << 0.5;
  QTest::newRow("zero speed") << 2.5 << 100.0 << 0.0 << 0.5;
  QTest::newRow("speed not a number") << 2.5 << 100.0 << nan << 0.5;
  QTest::newRow("share 0") << 2.5 << 100.0 << 3000.0 << 0.0;
  QTest::newRow("share 1") << 2.5 << 100.0 << 3000.0 << 1.0;
}

void TestAids::toleranceRefused() {
  QFETCH(double, grade);
  QFETCH(double, mass);
  QFETCH(double, rpm);
  QFETCH(double, share);
  QVERIFY(!PermissibleUnbalance(grade, mass, rpm, share).valid);
}

// The verdict follows the text the window shows: none beside "n.d.", none without a grade.
void TestAids::verdicts() {
  QCOMPARE(JudgeResidual(795.75, true, 795.75, true), ToleranceVerdict::Within);
  QCOMPARE(JudgeResidual(795.8, true, 795.75, true), ToleranceVerdict::Exceeds);
  QCOMPARE(JudgeResidual(10.0, false, 795.75, true), ToleranceVerdict::None);
  QCOMPARE(JudgeResidual(10.0, true, 0.0, false), ToleranceVerdict::None);
  QCOMPARE(VerdictText(ToleranceVerdict::Within), QStringLiteral("within tolerance"));
  QCOMPARE(VerdictText(ToleranceVerdict::Exceeds), QStringLiteral("exceeds tolerance"));
  QCOMPARE(VerdictText(ToleranceVerdict::None), QString());

  const Tolerance t = PermissibleUnbalance(2.5, 100.0, 3000.0, 0.5);  // 795.75, 397.875 a plane
  BalancingInput in;
  in.TrialM1 = 20.0;
  in.PlaceRadius1 = 50.0;
  SinglePlaneInput sp;  // 1@10 and 2@10: 100 % of 20 g at 50 mm, 1000 g*mm
  sp.TrialM1 = 20.0;
  sp.PlaceRadius1 = 50.0;
  sp.Run0V1o = 1.0, sp.Run0F1 = 10.0, sp.Run1V1o = 2.0, sp.Run1F1 = 10.0;
  const SinglePlaneResult r = SolveSinglePlane(sp);
  QVERIFY(r.ok);
  QCOMPARE(JudgeSinglePlane(r, in, t).D1, ToleranceVerdict::Exceeds);
  QCOMPARE(JudgeSinglePlane(r, in, PermissibleUnbalance(6.3, 100.0, 3000.0)).D1,
           ToleranceVerdict::Within);
  in.PlaceRadius1 = 0.0;  // "n.d."
  QCOMPARE(JudgeSinglePlane(r, in, t).D1, ToleranceVerdict::None);
  SinglePlaneResult failed = r;
  failed.ok = false;
  in.PlaceRadius1 = 50.0;
  QCOMPARE(JudgeSinglePlane(failed, in, t).D1, ToleranceVerdict::None);

  // Two planes: each against its share; percent mode gives nothing.
  TwoPlaneResult r2;
  r2.ok = r2.grams = true;
  r2.U1 = 397.0;
  r2.U2 = 398.0;
  BalancingInput in2;
  in2.PlaceRadius1 = in2.PlaceRadius2 = 100.0;
  ResidualVerdicts v = JudgeTwoPlane(r2, in2, t);
  QCOMPARE(v.D1, ToleranceVerdict::Within);
  QCOMPARE(v.D2, ToleranceVerdict::Exceeds);
  in2.PlaceRadius2 = 0.0;
  QCOMPARE(JudgeTwoPlane(r2, in2, t).D2, ToleranceVerdict::None);
  r2.grams = false;
  v = JudgeTwoPlane(r2, in2, t);
  QCOMPARE(v.D1, ToleranceVerdict::None);
  QCOMPARE(v.D2, ToleranceVerdict::None);
}

// m = 0.1 M g / (r w^2), worked by hand:
//   100 kg, 200 mm, 3000 rpm: w = 100 pi = 314.159 1/s, w^2 = 98 696.04; r w^2 = 19 739.21;
//     0.1 x 100 x 9.81 = 98.1 N; 98.1 / 19 739.21 = 0.0049698 kg = 4.970 g.
//   10 kg, 100 mm, 1500 rpm: w^2 = 24 674.01; r w^2 = 2467.401; 9.81 / 2467.401 = 3.976 g.
//   1000 kg, 500 mm, 600 rpm: w^2 = 3947.842; r w^2 = 1973.921; 981 / 1973.921 = 496.98 g.
void TestAids::trialMass_data() {
  QTest::addColumn<double>("mass");
  QTest::addColumn<double>("radius");
  QTest::addColumn<double>("rpm");
  QTest::addColumn<double>("grams");  // 0: no suggestion
  QTest::addColumn<QString>("hint");
  QTest::newRow("100 kg 200 mm 3000") << 100.0 << 200.0 << 3000.0 << 4.969804 << "4.97";
  QTest::newRow("10 kg 100 mm 1500") << 10.0 << 100.0 << 1500.0 << 3.975843 << "3.98";
  QTest::newRow("1000 kg 500 mm 600") << 1000.0 << 500.0 << 600.0 << 496.9804 << "497";
  QTest::newRow("no rotor mass") << 0.0 << 200.0 << 3000.0 << 0.0 << "";
  QTest::newRow("no radius") << 100.0 << 0.0 << 3000.0 << 0.0 << "";
  QTest::newRow("no speed") << 100.0 << 200.0 << 0.0 << 0.0 << "";
  QTest::newRow("negative radius") << 100.0 << -200.0 << 3000.0 << 0.0 << "";
  QTest::newRow("infinite speed") << 100.0 << 200.0 << HUGE_VAL << 0.0 << "";
}

void TestAids::trialMass() {
  QFETCH(double, mass);
  QFETCH(double, radius);
  QFETCH(double, rpm);
  QFETCH(double, grams);
  QFETCH(QString, hint);
  const auto m = SuggestTrialMass(mass, radius, rpm);
  QCOMPARE(m.has_value(), grams > 0.0);
  if (m) {
    QVERIFY2(Near(*m, grams, 1e-6), qPrintable(QString::number(*m, 'g', 10)));
    // The defining property: its centrifugal force is a tenth of the rotor's weight.
    const double w = 2.0 * M_PI * rpm / 60.0;
    QVERIFY(Near(*m / 1000.0 * radius / 1000.0 * w * w, 0.1 * mass * 9.81, 1e-12));
    QCOMPARE(TrialMassHint(mass, radius, rpm), "Suggested trial mass: " + hint + " g");
  } else {
    QCOMPARE(TrialMassHint(mass, radius, rpm), QString());
  }
}

// Changes worked out (vector change / reference amplitude):
//   10@30 -> 11@33: |11e^i33 - 10e^i30| = 1.141, 11.4 %, 3 degrees: small.
//   10@0 -> 11.5@10: 24.0 %, though the amplitude moved 15 % and the phase 10 degrees.
//   10@0 -> 10@15: the amplitude stays, the vector moves 2 sin 7.5 = 26.1 %.
//   10@355 -> 10.5@5: 18.5 %, phase 10 degrees across 0: small.
void TestAids::trialEffect_data() {
  QTest::addColumn<QList<double>>("reference");  // amplitude, phase per channel
  QTest::addColumn<QList<double>>("trial");
  QTest::addColumn<bool>("small");
  QTest::addColumn<double>("change1");
  QTest::addColumn<double>("phase1");
  QTest::newRow("11 % and 3 degrees")
      << QList<double>{10, 30} << QList<double>{11, 33} << true << 0.114083 << 3.0;
  QTest::newRow("exactly 20 % is enough")
      << QList<double>{10, 0} << QList<double>{12, 0} << false << 0.2 << 0.0;
  QTest::newRow("25 %") << QList<double>{10, 30} << QList<double>{12.5, 30} << false << 0.25 << 0.0;
  QTest::newRow("phase 25 degrees")
      << QList<double>{10, 0} << QList<double>{10, 25} << false << 0.432879 << 25.0;
  QTest::newRow("vector 24 %, amplitude 15 %, phase 10")
      << QList<double>{10, 0} << QList<double>{11.5, 10} << false << 0.239671 << 10.0;
  QTest::newRow("same amplitude, phase 15")
      << QList<double>{10, 0} << QList<double>{10, 15} << false << 0.261052 << 15.0;
  QTest::newRow("across 0 degrees")
      << QList<double>{10, 355} << QList<double>{10.5, 5} << true << 0.185482 << 10.0;
  QTest::newRow("no vibration at Run#0")
      << QList<double>{0, 0} << QList<double>{0, 0} << false << HUGE_VAL << 0.0;
  QTest::newRow("two channels, both small")
      << QList<double>{10, 30, 4, 200} << QList<double>{11, 33, 4.2, 205} << true << 0.114083
      << 3.0;
  QTest::newRow("two channels, the second moved")
      << QList<double>{10, 30, 4, 200} << QList<double>{11, 33, 6, 200} << false << 0.114083 << 3.0;
}

void TestAids::trialEffect() {
  QFETCH(QList<double>, reference);
  QFETCH(QList<double>, trial);
  QFETCH(bool, small);
  QFETCH(double, change1);
  QFETCH(double, phase1);
  std::vector<VibVector> ref, tr;
  for (qsizetype k = 0; k + 1 < reference.size(); k += 2) {
    ref.push_back({reference[k], reference[k + 1]});
    tr.push_back({trial[k], trial[k + 1]});
  }
  const TrialEffect e = CheckTrialEffect(ref, tr);
  QCOMPARE(e.small, small);
  QCOMPARE(e.change.size(), ref.size());
  QVERIFY2(std::isinf(change1) ? std::isinf(e.change[0]) : Near(e.change[0], change1, 1e-5),
           qPrintable(QString::number(e.change[0])));
  QVERIFY(Near(e.phaseMove[0], phase1, 1e-9));
}

// The record-based checks read the right slots: single-plane channel 1 only, two-plane Run#1 or
// Run#2 on both channels.
void TestAids::trialEffectOfRuns() {
  RunRecords r;
  r.Run0V1o = 10, r.Run0F1 = 30, r.Run0V2o = 4, r.Run0F2 = 200;
  r.Run1V1o = 11, r.Run1F1 = 33, r.Run1V2o = 8, r.Run1F2 = 200;    // channel 2 moved
  r.Run2V1o = 10, r.Run2F1 = 31, r.Run2V2o = 4.1, r.Run2F2 = 201;  // nothing moved
  QVERIFY(CheckSinglePlaneTrial(r).small);
  QVERIFY(!CheckTwoPlaneTrial(r, 1).small);
  QVERIFY(CheckTwoPlaneTrial(r, 2).small);
  QCOMPARE(CheckTwoPlaneTrial(r, 2).change.size(), size_t(2));
  QVERIFY(!CheckTrialEffect({}, {}).small);
  QCOMPARE(kTrialEffectSmall,
           QStringLiteral("The trial mass changed the vibration too little; use a larger trial "
                          "mass or another place"));
}

void TestAids::combine_data() {
  QTest::addColumn<QList<double>>("masses");  // mass, angle pairs
  QTest::addColumn<double>("mass");
  QTest::addColumn<double>("angle");
  QTest::newRow("two at right angles") << QList<double>{10, 0, 10, 90} << std::sqrt(200.0) << 45.0;
  QTest::newRow("3-4-5") << QList<double>{3, 0, 4, 90} << 5.0 << 53.130102354;
  QTest::newRow("across 0 degrees")
      << QList<double>{5, 350, 5, 10} << 10 * std::cos(M_PI / 18) << 0.0;
  QTest::newRow("one, angle past 360") << QList<double>{7, 400} << 7.0 << 40.0;
  QTest::newRow("negative angle") << QList<double>{2, -90} << 2.0 << 270.0;
  QTest::newRow("opposite cancel") << QList<double>{10, 0, 10, 180} << 0.0 << 0.0;
  QTest::newRow("three at 120 cancel") << QList<double>{10, 0, 10, 120, 10, 240} << 0.0 << 0.0;
  QTest::newRow("none") << QList<double>{} << 0.0 << 0.0;
}

void TestAids::combine() {
  QFETCH(QList<double>, masses);
  QFETCH(double, mass);
  QFETCH(double, angle);
  std::vector<MassAt> in;
  for (qsizetype k = 0; k + 1 < masses.size(); k += 2) in.push_back({masses[k], masses[k + 1]});
  const MassAt m = CombineMasses(in);
  QVERIFY2(Near(m.mass, mass, 1e-12), qPrintable(QString::number(m.mass, 'g', 17)));
  QVERIFY2(SameAngle(m.angle, angle, 1e-9), qPrintable(QString::number(m.angle, 'g', 17)));
  QVERIFY(m.angle >= 0.0 && m.angle < 360.0);
}

// m1 = M sin(A2 - A) / sin(A2 - A1), m2 = M sin(A - A1) / sin(A2 - A1):
//   10@30 on 0, 60: 10 x 0.5 / 0.866 = 5.7735 each.
//   10@350 on 330, 30: 10 sin(-320) / sin(-300) = 7.4223; 10 sin 20 / sin(-300) = 3.9493.
//   10@180 on 0, 90: -10 at 0 (take 10 away at 0, or add it at 180) and 0 at 90.
void TestAids::split_data() {
  QTest::addColumn<double>("mass");
  QTest::addColumn<double>("angle");
  QTest::addColumn<double>("a1");
  QTest::addColumn<double>("a2");
  QTest::addColumn<double>("m1");
  QTest::addColumn<double>("m2");
  QTest::newRow("between two at 90")
      << 10.0 << 45.0 << 0.0 << 90.0 << std::sqrt(50.0) << std::sqrt(50.0);
  QTest::newRow("six-blade pitch") << 10.0 << 30.0 << 0.0 << 60.0 << 5.773502692 << 5.773502692;
  QTest::newRow("across 0 degrees") << 10.0 << 350.0 << 330.0 << 30.0 << 7.422271990 << 3.949308436;
  QTest::newRow("on the first angle") << 10.0 << 0.0 << 0.0 << 90.0 << 10.0 << 0.0;
  QTest::newRow("outside the sector") << 10.0 << 180.0 << 0.0 << 90.0 << -10.0 << 0.0;
  QTest::newRow("angles given the other way round")
      << 10.0 << 45.0 << 90.0 << 0.0 << std::sqrt(50.0) << std::sqrt(50.0);
}

void TestAids::split() {
  QFETCH(double, mass);
  QFETCH(double, angle);
  QFETCH(double, a1);
  QFETCH(double, a2);
  QFETCH(double, m1);
  QFETCH(double, m2);
  const TwoMassSplit s = SplitMass({mass, angle}, a1, a2);
  QVERIFY(s.ok);
  QVERIFY2(std::fabs(s.first.mass - m1) < 1e-8, qPrintable(QString::number(s.first.mass)));
  QVERIFY2(std::fabs(s.second.mass - m2) < 1e-8, qPrintable(QString::number(s.second.mass)));
  QCOMPARE(s.first.angle, NormalizeAngle(a1));
  QCOMPARE(s.second.angle, NormalizeAngle(a2));
  // The two parts put together give the mass back.
  Cx sum = Cx{s.first.mass * std::cos(a1 * M_PI / 180), s.first.mass * std::sin(a1 * M_PI / 180)} +
           Cx{s.second.mass * std::cos(a2 * M_PI / 180), s.second.mass * std::sin(a2 * M_PI / 180)};
  QVERIFY(std::fabs(sum.re - mass * std::cos(angle * M_PI / 180)) < 1e-9);
  QVERIFY(std::fabs(sum.im - mass * std::sin(angle * M_PI / 180)) < 1e-9);
}

void TestAids::splitRefused_data() {
  QTest::addColumn<double>("a1");
  QTest::addColumn<double>("a2");
  QTest::newRow("equal") << 30.0 << 30.0;
  QTest::newRow("equal through 360") << 0.0 << 360.0;
  QTest::newRow("opposite") << 0.0 << 180.0;
  QTest::newRow("opposite, signed") << 90.0 << -90.0;
  QTest::newRow("opposite through 360") << 10.0 << 550.0;
  QTest::newRow("not a number") << std::nan("") << 90.0;
}

void TestAids::splitRefused() {
  QFETCH(double, a1);
  QFETCH(double, a2);
  QVERIFY(!SplitAnglesUsable(a1, a2));
  QVERIFY(!SplitMass({10.0, 45.0}, a1, a2).ok);
}

// On neighbouring blades the split is the blade split, up to the blade split's own degree
// factor (57.2957), which moves 10 g by up to 0.0002 g at the far end of the circle.
void TestAids::splitIsTheBladeSplitGeneralised() {
  const std::pair<int, int> cases[] = {{6, 45}, {6, 330}, {5, 100}, {12, 359}, {3, 200}};
  for (const auto& [blades, angle] : cases) {
    const BladeSplit b = SplitToBlades(10.0, angle, blades);
    QVERIFY(b.valid && b.j != 0);
    const double pitch = 360.0 / blades;
    const TwoMassSplit s = SplitMass({10.0, double(angle)}, (b.i - 1) * pitch, (b.j - 1) * pitch);
    QVERIFY(s.ok);
    QVERIFY2(std::fabs(s.first.mass - b.massI) < 5e-4,
             qPrintable(QStringLiteral("%1 blades at %2").arg(blades).arg(angle)));
    QVERIFY(std::fabs(s.second.mass - b.massJ) < 5e-4);
  }
}

QTEST_GUILESS_MAIN(TestAids)
#include "test_aids.moc"
