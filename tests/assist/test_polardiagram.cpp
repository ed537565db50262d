#include <QtTest>
#include <cmath>

#include "balancing/core/PolarDiagram.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

Q_DECLARE_METATYPE(vintor::PolarKind)

namespace {

constexpr double kRad = M_PI / 180.0;

Cx Polar(double amplitude, double degrees) {
  return {amplitude * std::cos(degrees * kRad), amplitude * std::sin(degrees * kRad)};
}

// A diagram item as a vector in the diagram's own frame.
Cx Vec(const PolarItem& it) { return Polar(it.amplitude, it.angle); }

VibVector Measured(Cx v) {
  double phase = std::atan2(v.im, v.re) / kRad;
  if (phase < 0) phase += 360.0;
  return {std::hypot(v.re, v.im), phase};
}

QStringList Labels(const PolarChannel& c) {
  QStringList out;
  for (const PolarItem& it : c.items) out << it.label;
  return out;
}

const PolarItem& Item(const PolarChannel& c, const QString& label) {
  const PolarItem* it = c.Find(label);
  if (!it) qFatal("no item %s", qPrintable(label));
  return *it;
}

// A two-plane rotor: influence of each plane's trial mass on each channel and the unbalance
// (in trial masses) that the job has to find.
struct Rotor {
  Cx alpha = Polar(2.0, 40), beta = Polar(0.5, 100), gamma = Polar(0.6, 200),
     delta = Polar(1.8, 300);
  Cx u1 = Polar(0.8, 70), u2 = Polar(1.3, 250);
  Cx A0() const { return alpha * u1 + gamma * u2; }
  Cx B0() const { return beta * u1 + delta * u2; }
};

void StoreTwoPlaneRuns(const Rotor& m) {
  RunRecords& r = Runs();
  const auto set = [](double& v, double& f, Cx z) {
    const VibVector x = Measured(z);
    v = x.amplitude;
    f = x.phase;
  };
  set(r.Run0V1o, r.Run0F1, m.A0());
  set(r.Run0V2o, r.Run0F2, m.B0());
  set(r.Run1V1o, r.Run1F1, m.A0() + m.alpha);
  set(r.Run1V2o, r.Run1F2, m.B0() + m.beta);
  set(r.Run2V1o, r.Run2F1, m.A0() + m.gamma);
  set(r.Run2V2o, r.Run2F2, m.B0() + m.delta);
}

}  // namespace

class TestPolarDiagram : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ResetBalancingState();
    SetDecimalSeparatorOverride(QLatin1Char('.'));
  }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void shownAngle_data();
  void shownAngle();
  void singlePlaneItems_data();
  void singlePlaneItems();
  void singlePlaneFromRecords();
  void twoPlaneWithBlades();
  void checkRunsKeepRun0();
  void leftOut();
};

void TestPolarDiagram::shownAngle_data() {
  QTest::addColumn<double>("phase");
  QTest::addColumn<double>("angle");
  QTest::newRow("0") << 0.0 << 0.0;
  QTest::newRow("90 is 270") << 90.0 << 270.0;
  QTest::newRow("270 is 90") << 270.0 << 90.0;
  QTest::newRow("360 is 0") << 360.0 << 0.0;
  QTest::newRow("-30 is 30") << -30.0 << 30.0;
  QTest::newRow("400 is 320") << 400.0 << 320.0;
}

void TestPolarDiagram::shownAngle() {
  QFETCH(double, phase);
  QFETCH(double, angle);
  QCOMPARE(ShownAngleOfPhase(phase), angle);
}

// Run#0 4@60, Run#1 6@30, correction 12.34 g at 200:
//   effect 6e^i30 - 4e^i60 = (3.19615, -0.46410): 3.22967 mm/s at phase -8.262, shown 8.262,
//   drawn from Run#0's tip (4 at 300).
void TestPolarDiagram::singlePlaneItems_data() {
  QTest::addColumn<QString>("label");
  QTest::addColumn<PolarKind>("kind");
  QTest::addColumn<double>("amplitude");
  QTest::addColumn<double>("angle");
  QTest::addColumn<double>("tailAmplitude");
  QTest::addColumn<double>("tailAngle");
  QTest::addColumn<QString>("text");
  QTest::newRow("Run#0") << "Run#0" << PolarKind::Run << 4.0 << 300.0 << 0.0 << 0.0 << "";
  QTest::newRow("Run#1") << "Run#1" << PolarKind::Run << 6.0 << 330.0 << 0.0 << 0.0 << "";
  QTest::newRow("effect") << "Run#1-Run#0" << PolarKind::TrialEffect << 3.229672 << 8.261966 << 4.0
                          << 300.0 << "";
  QTest::newRow("correction") << "M1" << PolarKind::Correction << 0.0 << 200.0 << 0.0 << 0.0
                              << "12.3 g";
}

void TestPolarDiagram::singlePlaneItems() {
  QFETCH(QString, label);
  QFETCH(PolarKind, kind);
  QFETCH(double, amplitude);
  QFETCH(double, angle);
  QFETCH(double, tailAmplitude);
  QFETCH(double, tailAngle);
  QFETCH(QString, text);
  PolarJob job;
  job.run0 = RunVectors{{4.0, 60.0}, {}};
  job.run1 = RunVectors{{6.0, 30.0}, {}};
  job.run2 = RunVectors{{9.0, 9.0}, {}};  // no plane 2 in a single-plane job
  job.plane1 = PolarCorrection{12.34, true, 200};
  job.plane2 = PolarCorrection{1.0, true, 10};
  const PolarDiagram d = BuildPolarDiagram(job);
  QCOMPARE(d.channels.size(), size_t(1));
  const PolarChannel& c = d.channels[0];
  QCOMPARE(c.title, QStringLiteral("Channel 1"));
  QCOMPARE(Labels(c), (QStringList{"Run#0", "Run#1", "Run#1-Run#0", "M1"}));
  const PolarItem& it = Item(c, label);
  QCOMPARE(it.kind, kind);
  QVERIFY2(std::fabs(it.amplitude - amplitude) < 1e-6, qPrintable(QString::number(it.amplitude)));
  QVERIFY2(std::fabs(it.angle - angle) < 1e-6, qPrintable(QString::number(it.angle)));
  QVERIFY(std::fabs(it.tailAmplitude - tailAmplitude) < 1e-12);
  QVERIFY(std::fabs(it.tailAngle - tailAngle) < 1e-12);
  QCOMPARE(it.text, text);
  QVERIFY(std::fabs(c.Reach() - 6.0) < 1e-12);  // the effect ends at Run#1's tip
}

// Through the correction window's own computation: the mark sits at the shown angle with the
// shown mass, and the diagram closes: Run#0 plus the trial effect turned to the correction
// angle and scaled by correction / trial mass leaves (almost) nothing.
void TestPolarDiagram::singlePlaneFromRecords() {
  BalInput().TrialM1 = 10.0;
  BalInput().PlaceRadius1 = 100.0;
  RunRecords& r = Runs();
  r.Run0V1o = 4, r.Run0F1 = 60, r.Run1V1o = 6, r.Run1F1 = 30;
  SinglePlaneCorrection corr;
  QVERIFY(corr.Compute().ok);
  PolarHistory none;
  PolarDiagram d = BuildPolarDiagram(SinglePlanePolarJob(corr, none));
  const PolarChannel& c = d.channels[0];
  const PolarItem& m1 = Item(c, "M1");
  QCOMPARE(m1.angle, 112.0);  // raw 60 + 180 + 8.26 = 248, shown 360 - 248
  QCOMPARE(m1.angle, double(Corr().CorrAngleShown));
  QCOMPARE(m1.text, corr.Texts().EditM1 + " g");
  QCOMPARE(m1.text, QStringLiteral("12.4 g"));
  const double scale = corr.Result().M / BalInput().TrialM1;
  const Cx rest = Vec(Item(c, "Run#0")) + Vec(Item(c, "Run#1-Run#0")) * Polar(scale, m1.angle);
  QVERIFY2(std::hypot(rest.re, rest.im) < 0.01 * 4.0, qPrintable(QString::number(rest.re)));

  corr.SetMethod(CorrectionMethod::RemoveMass);
  d = BuildPolarDiagram(SinglePlanePolarJob(corr, none));
  QCOMPARE(Item(d.channels[0], "M1").angle, 292.0);
}

// A two-plane job on a six-bladed rotor, through the window's computation: both channels carry
// every run, both trial effects, both corrections and the numbered blades; each channel's
// diagram closes with both corrections.
void TestPolarDiagram::twoPlaneWithBlades() {
  BalancingInput& in = BalInput();
  in.TrialM1 = 10.0;
  in.TrialM2 = 5.0;
  in.BladeCount = 6;
  const Rotor rotor;
  StoreTwoPlaneRuns(rotor);
  TwoPlaneCorrection corr;
  QVERIFY(corr.Compute(QDateTime(QDate(2026, 1, 8), QTime(14, 3, 5))).ok);
  QCOMPARE(corr.Result().PercentP1, 80.0);
  QCOMPARE(corr.Result().PercentP2, 130.0);

  const PolarDiagram d = BuildPolarDiagram(TwoPlanePolarJob(corr, PolarHistory{}));
  QCOMPARE(d.channels.size(), size_t(2));
  const QStringList want{"Run#0", "Run#1", "Run#2", "Run#1-Run#0", "Run#2-Run#0", "M1", "M2",
                         "1",     "2",     "3",     "4",           "5",           "6"};
  for (int ch = 0; ch < 2; ++ch) {
    const PolarChannel& c = d.channels[size_t(ch)];
    QCOMPARE(c.title, QStringLiteral("Channel %1").arg(ch + 1));
    QCOMPARE(Labels(c), want);
    for (int k = 1; k <= 6; ++k) {
      const PolarItem& b = Item(c, QString::number(k));
      QCOMPARE(b.kind, PolarKind::Blade);
      QCOMPARE(b.angle, (k - 1) * 60.0);
    }
    const PolarItem& m1 = Item(c, "M1");
    const PolarItem& m2 = Item(c, "M2");
    // Corrections -u1 (0.8 at 250, shown 110) and -u2 (1.3 at 70, shown 290).
    QVERIFY(std::fabs(m1.angle - 110.0) <= 1.0);
    QVERIFY(std::fabs(m2.angle - 290.0) <= 1.0);
    QCOMPARE(m1.angle, double(Corr().CorrAngleP1Shown));
    QCOMPARE(m2.angle, double(Corr().CorrAngleP2Shown));
    QCOMPARE(m1.text, QStringLiteral("8.00 g"));
    QCOMPARE(m2.text, QStringLiteral("6.50 g"));
    const Cx rest = Vec(Item(c, "Run#0")) +
                    Vec(Item(c, "Run#1-Run#0")) * Polar(8.0 / 10.0, m1.angle) +
                    Vec(Item(c, "Run#2-Run#0")) * Polar(6.5 / 5.0, m2.angle);
    const double run0 = Item(c, "Run#0").amplitude;
    QVERIFY2(std::hypot(rest.re, rest.im) < 0.03 * run0,
             qPrintable(QStringLiteral("channel %1: %2 of %3")
                            .arg(ch + 1)
                            .arg(std::hypot(rest.re, rest.im))
                            .arg(run0)));
    // Effects start at Run#0's tip and end at the trial run's.
    const Cx tip = Polar(Item(c, "Run#1-Run#0").tailAmplitude, Item(c, "Run#1-Run#0").tailAngle) +
                   Vec(Item(c, "Run#1-Run#0"));
    const Cx run1 = Vec(Item(c, "Run#1"));
    QVERIFY(std::hypot(tip.re - run1.re, tip.im - run1.im) < 1e-9);
  }
}

// Each check run overwrites the reference slots; the history keeps Run#0 and every check run,
// and the trial effects stay measured from the first Run#0.
void TestPolarDiagram::checkRunsKeepRun0() {
  RunRecords& r = Runs();
  r.Run0V1o = 4, r.Run0F1 = 60, r.Run1V1o = 6, r.Run1F1 = 30;
  PolarHistory h;
  h.NoteRun0(r);
  r.Run0V1o = 0.5, r.Run0F1 = 200;  // RunC
  h.NoteCheckRun(r);
  SinglePlaneCorrection corr;
  PolarDiagram d = BuildPolarDiagram(SinglePlanePolarJob(corr, h));
  QCOMPARE(Labels(d.channels[0]), (QStringList{"Run#0", "Run#1", "RunC", "Run#1-Run#0"}));
  QCOMPARE(Item(d.channels[0], "Run#0").amplitude, 4.0);
  QCOMPARE(Item(d.channels[0], "RunC").angle, 160.0);
  QCOMPARE(Item(d.channels[0], "Run#1-Run#0").tailAmplitude, 4.0);

  r.Run0V1o = 0.2, r.Run0F1 = 10;  // a second RunC
  h.NoteCheckRun(r);
  d = BuildPolarDiagram(SinglePlanePolarJob(corr, h));
  QCOMPARE(Labels(d.channels[0]), (QStringList{"Run#0", "Run#1", "RunC1", "RunC2", "Run#1-Run#0"}));
  QCOMPARE(Item(d.channels[0], "RunC2").amplitude, 0.2);

  // A new job: a fresh Run#0 forgets the old check runs; a cleared history reads the slots.
  h.NoteRun0(r);
  QVERIFY(h.CheckRuns().empty());
  h.Clear();
  d = BuildPolarDiagram(SinglePlanePolarJob(corr, h));
  QCOMPARE(Item(d.channels[0], "Run#0").amplitude, 0.2);
}

// What is not there is not drawn: an unmeasured trial run (stored coefficient) has no effect
// arrow, a failed or empty correction no mark, fewer than three blades no blade marks; a
// percent-mode mass is marked with "%".
void TestPolarDiagram::leftOut() {
  RunRecords& r = Runs();
  r.Run0V1o = 50, r.Run0F1 = 0;
  BalInput().R11 = 3, BalInput().R12 = 4;  // stored: 50 / 5 = 1000 % fails
  SinglePlaneCorrection corr;
  QVERIFY(!corr.Compute().ok);
  PolarDiagram d = BuildPolarDiagram(SinglePlanePolarJob(corr, PolarHistory{}));
  QCOMPARE(Labels(d.channels[0]), QStringList{"Run#0"});

  r.Run0V1o = 35;
  BalInput().R11 = 10, BalInput().R12 = 0.001;
  QVERIFY(corr.Compute().ok);
  d = BuildPolarDiagram(SinglePlanePolarJob(corr, PolarHistory{}));
  QCOMPARE(Item(d.channels[0], "M1").text, QStringLiteral("350 %"));

  r.Run0V1o = 0, r.Run0F1 = 123;  // nothing to correct: no direction to mark
  QVERIFY(corr.Compute().ok);
  QVERIFY(corr.Result().noCorrection);
  d = BuildPolarDiagram(SinglePlanePolarJob(corr, PolarHistory{}));
  QCOMPARE(Labels(d.channels[0]), QStringList{"Run#0"});

  PolarJob job;
  job.run0 = RunVectors{{1, 0}, {2, 0}};
  job.bladeCount = 2;
  QCOMPARE(Labels(BuildPolarDiagram(job).channels[0]), QStringList{"Run#0"});
  job.twoPlanes = true;  // without Run#1 and Run#2 there are no effects
  job.run2 = RunVectors{{1, 50}, {2, 50}};
  d = BuildPolarDiagram(job);
  QCOMPARE(Labels(d.channels[1]), (QStringList{"Run#0", "Run#2", "Run#2-Run#0"}));
  QCOMPARE(Item(d.channels[1], "Run#2").amplitude, 2.0);
}

QTEST_GUILESS_MAIN(TestPolarDiagram)
#include "test_polardiagram.moc"
