// Whole balancing jobs driven by keys on the simulated module at its fast pace. Trial masses are
// stood in for by rewriting the simulator's parameter file between runs (it is read at the start
// of every acquisition).
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <memory>

#include "SimulatedJobs.h"
#include "balancing/core/CorrectionMath.h"
#include "charts/SignalCharts.h"
#include "platform/Cp1251.h"

using namespace vintor;
using namespace vintor::test;

namespace {

double Number(const QString& text) {
  QString t = text;
  return t.replace(',', '.').toDouble();
}

QString ColourName(const QGroupBox* g) {
  const QColor c = GroupColourOf(g);
  if (c == QColor(0, 128, 0)) return "green";
  if (c == QColor(0, 255, 0)) return "lime";
  if (c == QColor(255, 0, 0)) return "red";
  if (c == QColor(131, 224, 147)) return "pale";
  return c.name();
}

// What the run window shows, in the sequence's own notation.
QString Shown(const RunForm& w) {
  QStringList parts;
  const RunWindowState& s = w.Sequence().State();
  parts << QStringLiteral("step=%1 back=%2 label=%3")
               .arg(s.RunStep)
               .arg(s.BackToRun0 ? 1 : 0)
               .arg(w.Label41->isVisibleTo(&w) ? 1 : 0);
  for (int k = kRun0; k <= kRunC; ++k) {
    const StepControls& c = w.Step(k);
    if (!c.group) continue;
    parts << QStringLiteral("%1 %2 %3 %4%5")
                 .arg(k)
                 .arg(ColourName(c.group), c.group->isEnabled() ? "on" : "off",
                      c.run->isEnabledTo(c.group) ? "P" : "-",
                      c.leave->isEnabledTo(c.group) ? "B" : "-");
  }
  return parts.join(" | ");
}

}  // namespace

class TestBalancingJobs : public QObject, public SimulatedJobs {
  Q_OBJECT
 private slots:
  void init() { Start(QChar(',')); }
  void cleanup() { Finish(); }

  void singlePlaneNewRotor();
  void twoPlaneNewRotor();
  void knownCoefficientRoad_data();
  void knownCoefficientRoad();
  void prevStepAndEscapeSinglePlane();
  void prevStepTwoPlane();
  void failedRunAtEachStep_data();
  void failedRunAtEachStep();
  void zeroSensitivityRefusesTheRun_data();
  void zeroSensitivityRefusesTheRun();
  void closingDuringMeasurementKeepsNothing();

 private:
  // Runs the current step of the job with the rotor as given; the step must succeed.
  void GoodRun(bool two, Vib a, Vib b);
  QStringList Log(bool two) const {
    const QString t = w_->Runs(two).Memo1->toPlainText();
    return t.isEmpty() ? QStringList() : t.split('\n');
  }
  QStringList Archived() const {
    return QDir(Paths().ArcDir).entryList({"*.dat", "*.par"}, QDir::Files, QDir::Name);
  }
  QString Stamp() const { return BalancingLogStamp(clock_.now); }
  // The log line of step k as its fields read.
  QString FieldsLine(const RunForm& w, int k) const;
};

void TestBalancingJobs::GoodRun(bool two, Vib a, Vib b) {
  Rig(a, b);
  RunForm& w = w_->Runs(two);
  const int step = w.Sequence().State().RunStep;
  bool success = false;
  w.onRunRecorded = [&](int k, bool ok) { success = k == step && ok; };
  Press(&w, Qt::Key_F9);
  w.onRunRecorded = nullptr;
  QVERIFY2(success, qPrintable(Shown(w)));
}

QString TestBalancingJobs::FieldsLine(const RunForm& w, int k) const {
  const StepControls& s = w.Step(k);
  QString line = "RPM=" + s.EditN->text() + " V01=" + s.EditV1->text() + " F1=" + s.EditF1->text();
  if (s.EditV2) line += " V02=" + s.EditV2->text() + " F2=" + s.EditF2->text();
  return line;
}

void TestBalancingJobs::singlePlaneNewRotor() {
  FormB11& w = w_->b11;
  FormB12& c = w_->b12;
  StartJob(false, {"gramm", "EditM1=10", "EditD1=200"});
  QCOMPARE(Shown(w),
           QString("step=1 back=0 label=0 | 1 green on PB | 2 pale off -- | 4 pale off --"));

  // Run#0: the rotor as found. A stop request left by the meter's Exit does not stop it.
  Meas().StopRequested = true;
  Press(&w, Qt::Key_F9);
  QCOMPARE(Shown(w),
           QString("step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 pale off --"));
  QVERIFY2(qAbs(Number(w.Step(1).EditN->text()) - 1497) <= 3, qPrintable(w.Step(1).EditN->text()));
  QVERIFY(qAbs(Number(w.Step(1).EditV1->text()) - 4.5) < 0.1);
  QVERIFY(qAbs(Number(w.Step(1).EditF1->text()) - 60) <= 2);
  QCOMPARE(Log(false), QStringList{"Run#0 " + Stamp() + " " + FieldsLine(w, 1)});
  QCOMPARE(Archived(), QStringList({"260108140305P1Run0.dat", "260108140305P1Run0.par"}));
  QCOMPARE(w.Chart2->BarCount(), 128);
  QCOMPARE(Runs().StartV1o, Runs().Run0V1o);

  // Run#1 with the trial mass: 150 % of it, that is 15 g, at 270 degrees.
  Rig(kA0 + kTrial1A, kB0);
  answer1_->Expect([&] {
    QVERIFY2(qAbs(Number(c.EditM1->text()) - 15) < 0.6, qPrintable(c.EditM1->text()));
    QCOMPARE(c.LabelM1->text(), QString(" g."));
    QVERIFY2(qAbs(Number(c.EditF1->text()) - 270) <= 2, qPrintable(c.EditF1->text()));
    QVERIFY(qAbs(Number(c.EditD1->text()) - 200 * Number(c.EditM1->text())) < 10);
    QVERIFY(c.Button2->isEnabled());
    QVERIFY(!c.Button3->isEnabled());
    QCOMPARE(c.pos().y(), w.pos().y());
    QCOMPARE(Shown(w),
             QString("step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 4 green on PB"));
  });
  Press(&w, Qt::Key_F9);
  QCOMPARE(answer1_->shown, 1);
  QCOMPARE(Log(false).value(1),
           "Run#1 " + FieldsLine(w, 2) + " M1=" + c.EditM1->text() + " f1=" + c.EditF1->text());
  QCOMPARE(Corr().StartD1, Corr().EndD1);  // computed for the log, then again when shown
  QVERIFY(Corr().StartD1 > 2800 && Corr().StartD1 < 3200);

  // RunC with the correction fitted: 10 % is left, 1 g; the archive may now be written.
  Rig(kLeftA, kB0);
  int records = 0;
  c.addArchiveRecord = [&] { ++records; };
  answer1_->Expect([&] {
    QVERIFY2(qAbs(Number(c.EditM1->text()) - 1.0) < 0.15, qPrintable(c.EditM1->text()));
    QVERIFY(c.Button3->isEnabled());
    QTest::keyClick(&c, Qt::Key_F9);  // the archive record of the values in Runs() and Corr()
  });
  Press(&w, Qt::Key_F9);
  QCOMPARE(Shown(w),
           QString("step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 4 green on P-"));
  QCOMPARE(Log(false).value(2),
           "RunC  " + FieldsLine(w, 4) + " M1=" + c.EditM1->text() + " f1=" + c.EditF1->text());
  QCOMPARE(Log(false).size(), 3);
  QCOMPARE(Archived().size(), 6);
  QVERIFY(Archived().contains("260108140305P1RunC.dat"));
  QVERIFY(qAbs(Runs().Run0V1o - 0.3) < 0.05);
  QVERIFY(qAbs(Runs().StartV1o - 4.5) < 0.1);
  QCOMPARE(Runs().EndV1o, Runs().Run0V1o);
  QVERIFY(Corr().EndD1 > 150 && Corr().EndD1 < 250);
  QVERIFY(!QFile::exists(dir_->filePath("Arc/Arc1/memo.txt")));

  QCOMPARE(records, 1);
  Press(&w, Qt::Key_F8);  // after a check run there is no previous step
  QCOMPARE(w.Sequence().State().RunStep, kRunC);
  QVERIFY(w.isVisible());
  int archives = 0, abouts = 0;
  w.viewArchives = [&] { ++archives; };
  Kit().showAbout = [&] { ++abouts; };
  w.Button2->click();
  Press(&w, Qt::Key_F1);
  Kit().showAbout = nullptr;
  QCOMPARE(archives, 1);
  QCOMPARE(abouts, 1);

  Press(&w, Qt::Key_F10);
  QVERIFY(!w.isVisible());
  QVERIFY(!w_->b10.isVisible());
  QCOMPARE(Shown(w),
           QString("step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 4 lime off P-"));
  QCOMPARE(w.Step(4).EditV1->text(), QString("n.d."));
  QVERIFY(!c.Button2->isEnabled() && !c.Button3->isEnabled());
  QVERIFY(Paths().TestParPath.endsWith("P1RunC.par"));  // single-plane Exit leaves it
  QVERIFY(dialogs_.warnings.isEmpty() && dialogs_.errors.isEmpty());
}

void TestBalancingJobs::twoPlaneNewRotor() {
  FormB21& w = w_->b21;
  FormB22& c = w_->b22;
  StartJob(true, {"gramm", "EditM1=10", "EditM2=5", "EditD1=200", "EditD2=150"});
  Press(&w, Qt::Key_F9);
  QCOMPARE(Log(true), QStringList{"Run#0 " + Stamp() + " " + FieldsLine(w, 1)});
  QVERIFY(qAbs(Number(w.Step(1).EditV2->text()) - 2.0) < 0.06);
  QVERIFY(qAbs(Number(w.Step(1).EditF2->text()) - 200) <= 2);
  const QString memo = dir_->filePath("Arc/Arc1/memo.txt");
  auto memoLines = [&] {
    QFile f(memo);
    return f.open(QIODevice::ReadOnly) ? DecodeCp1251(f.readAll()).split("\r\n") : QStringList();
  };
  QCOMPARE(memoLines(), Log(true) << "");

  GoodRun(true, kA0 + kTrial1A, kB0 + kTrial1B);
  QCOMPARE(Shown(w), QString("step=3 back=0 label=0 | 1 lime off -- | 2 lime off -- | "
                             "3 green on PB | 4 pale off --"));
  QCOMPARE(Log(true).value(1), "Run#1 " + FieldsLine(w, 2));

  // The correction the runs call for, from the rotor's true vectors.
  TwoPlaneInput truth;
  truth.TrialM1 = 10, truth.TrialM2 = 5;
  const Vib a1 = kA0 + kTrial1A, b1 = kB0 + kTrial1B, a2 = kA0 + kTrial2A, b2 = kB0 + kTrial2B;
  truth.v = {RunVector(kA0.amp, kA0.phase), RunVector(kB0.amp, kB0.phase),
             RunVector(a1.amp, a1.phase),   RunVector(b1.amp, b1.phase),
             RunVector(a2.amp, a2.phase),   RunVector(b2.amp, b2.phase)};
  const TwoPlaneResult expected = SolveTwoPlane(truth);
  QVERIFY(expected.ok);
  Rig(a2, b2);
  answer2_->Expect([&] {
    QVERIFY2(qAbs(Number(c.EditM1->text()) / expected.CorrMassP1 - 1) < 0.06,
             qPrintable(c.EditM1->text() + " / " + QString::number(expected.CorrMassP1)));
    QVERIFY2(qAbs(Number(c.EditM2->text()) / expected.CorrMassP2 - 1) < 0.06,
             qPrintable(c.EditM2->text() + " / " + QString::number(expected.CorrMassP2)));
    QVERIFY(qAbs(Number(c.EditF1->text()) - expected.CorrAngleP1) <= 3);
    QVERIFY(qAbs(Number(c.EditF2->text()) - expected.CorrAngleP2) <= 3);
    QVERIFY(c.Button2->isEnabled() && c.Button3->isEnabled());
    QCOMPARE(c.pos().y(), w.pos().y());
  });
  Press(&w, Qt::Key_F9);
  QCOMPARE(answer2_->shown, 1);
  // Run#2 carries what the correction window held before: nothing yet.
  const QStringList afterRun2 = Log(true);
  QCOMPARE(afterRun2.mid(2),
           QStringList({"Run#2 " + FieldsLine(w, 3) + " M1=n.d. f1=n.d. M2=n.d. f2=n.d.", "---",
                        "Corr.Mass and angles " + Stamp(), Corr().CorrLine2, "---"}));
  QCOMPARE(Corr().CorrLine2, "M1=" + c.EditM1->text() + " U1=" + c.EditF1->text() +
                                 " M2=" + c.EditM2->text() + " U2=" + c.EditF2->text());
  // Showing the correction performed Continue again: the Run#0 group is enabled once more.
  QCOMPARE(Shown(w), QString("step=4 back=0 label=0 | 1 green on -- | 2 lime off -- | "
                             "3 lime off -- | 4 green on PB"));
  QCOMPARE(memoLines(), afterRun2.mid(0, 3) << "");

  const QString heldLine = Corr().CorrLine2;
  Rig(kLeftA, kLeftB);
  answer2_->Expect([&] { QVERIFY(c.Button3->isEnabled()); });
  Press(&w, Qt::Key_F9);
  const QStringList log = Log(true);
  QCOMPARE(log.value(7), "RunC  " + FieldsLine(w, 4) + " " +
                             QString(heldLine).replace("U1=", "f1=").replace("U2=", "f2="));
  QCOMPARE(log.size(), 12);
  QCOMPARE(memoLines(), log.mid(0, 8) << "");
  QCOMPARE(Shown(w), QString("step=4 back=1 label=0 | 1 green on -- | 2 lime off -- | "
                             "3 lime off -- | 4 green on P-"));
  QCOMPARE(Archived().size(), 8);
  QVERIFY(qAbs(Runs().EndV2o - 0.2) < 0.05);
  QVERIFY(qAbs(Runs().StartV2o - 2.0) < 0.06);

  Meas().WrongTacho = true;
  Press(&w, Qt::Key_F10);
  QVERIFY(!w.isVisible() && !w_->b20.isVisible());
  QCOMPARE(Paths().TestParPath, dir_->filePath("Test.par"));
  QCOMPARE(Paths().TestDatPath, dir_->filePath("Test.dat"));
  QVERIFY(!Meas().WrongTacho);
  QCOMPARE(QDir::current().canonicalPath(), QDir(dir_->path()).canonicalPath());
  QVERIFY(dialogs_.warnings.isEmpty() && dialogs_.errors.isEmpty());
}

void TestBalancingJobs::knownCoefficientRoad_data() {
  QTest::addColumn<bool>("two");
  QTest::newRow("single") << false;
  QTest::newRow("two") << true;
}

void TestBalancingJobs::knownCoefficientRoad() {
  QFETCH(bool, two);
  InitialDataForm& f = w_->Initial(two);
  RunForm& w = w_->Runs(two);
  CorrectionForm& c = w_->Correction(two);
  CorrectionAnswerer& answer = two ? *answer2_ : *answer1_;
  // "Select" fills the coefficients and the fields as the coefficient table window does.
  f.selectRotor = [&] {
    BalancingInput& b = BalInput();
    if (two) {
      const Cx a = RunVector(kTrial1A.amp, kTrial1A.phase),
               bb = RunVector(kTrial1B.amp, kTrial1B.phase);
      const Cx g = RunVector(kTrial2A.amp, kTrial2A.phase),
               d = RunVector(kTrial2B.amp, kTrial2B.phase);
      b.R11 = a.re, b.R12 = a.im, b.R21 = bb.re, b.R22 = bb.im;
      b.R31 = g.re, b.R32 = g.im, b.R41 = d.re, b.R42 = d.im;
      f.EditM2->setText("5");
    } else {
      b.R11 = 3 * std::cos(150 / 57.29577951), b.R12 = 3 * std::sin(150 / 57.29577951);
    }
    f.RadioGroup1->SetItemIndex(1);
    f.EditM1->setText("10");
  };
  f.show();
  QVERIFY(QTest::qWaitForWindowExposed(&f));
  f.RadioGroup0->Item(1)->click();
  f.Button3->click();
  Press(&f, Qt::Key_F9);
  QVERIFY(w.isVisible());
  QVERIFY(dialogs_.warnings.isEmpty());

  // A Run#0 without a tachometer signal fails, and the correction is shown all the same.
  Rig(kA0, kB0, "tacho_height = 0\n");
  answer.Expect();
  Press(&w, Qt::Key_F9);
  QCOMPARE(answer.shown, 1);
  // Two-plane: showing the correction performed Continue, which repaints the Run#0 group and
  // hides the label.
  QCOMPARE(Shown(w), two ? QString("step=4 back=1 label=0 | 1 green on PB | 2 lime off -- | "
                                   "3 lime off -- | 4 green on PB")
                         : QString("step=4 back=1 label=1 | 1 red on PB | 2 lime off -- | "
                                   "4 green on PB"));

  // Prev.step from RunC goes back to Run#0; a good Run#0 goes straight to the correction.
  Press(&w, Qt::Key_F8);
  QCOMPARE(w.Sequence().State().RunStep, kRun0);
  Rig(kA0, kB0);
  answer.Expect([&] {
    if (two) return;
    QVERIFY2(qAbs(Number(c.EditM1->text()) - 15) < 0.6, qPrintable(c.EditM1->text()));
    QVERIFY2(qAbs(Number(c.EditF1->text()) - 270) <= 2, qPrintable(c.EditF1->text()));
  });
  Press(&w, Qt::Key_F9);
  QCOMPARE(answer.shown, 2);
  QCOMPARE(w.Sequence().State().RunStep, kRunC);
  QVERIFY(w.Sequence().State().BackToRun0);
  QVERIFY(!c.Button3->isEnabled() || two);  // single-plane archives only after a check run
  QCOMPARE(Log(two).filter(QRegularExpression("^Run#1|^Run#2")).size(), 0);

  answer.Expect([&] { QVERIFY(c.Button3->isEnabled()); });
  Rig(kLeftA, kLeftB);
  Press(&w, Qt::Key_F9);
  QCOMPARE(answer.shown, 3);
  QVERIFY(Log(two).last().startsWith("RunC  ") || two);
  QVERIFY(!w.ButtonB4->isEnabledTo(w.GroupBox4));
  // The stored coefficients were used throughout, never derived again.
  QCOMPARE(BalInput().R11, two ? RunVector(3, 150).re : 3 * std::cos(150 / 57.29577951));
  Press(&w, Qt::Key_F10);
}

void TestBalancingJobs::prevStepAndEscapeSinglePlane() {
  FormB11& w = w_->b11;
  StartJob(false, {});
  // Escape at Run#0 closes the run window and keeps the initial data.
  Press(&w, Qt::Key_F8);
  QVERIFY(!w.isVisible());
  QVERIFY(w_->b10.isVisible());
  QCOMPARE(w.Sequence().State().RunStep, 0);

  Press(&w_->b10, Qt::Key_F9);
  QCOMPARE(Shown(w),
           QString("step=1 back=0 label=0 | 1 green on PB | 2 lime off -- | 4 lime off --"));
  GoodRun(false, kA0, kB0);
  Press(&w, Qt::Key_F8);  // Prev.step from Run#1 before it ran
  QCOMPARE(Shown(w),
           QString("step=1 back=0 label=0 | 1 green on PB | 2 lime off -- | 4 lime off --"));
  QVERIFY(w.Step(1).EditV1->text() != "n.d.");  // only the step left is cleared

  GoodRun(false, kA0, kB0);
  Rig(kA0 + kTrial1A, kB0, "tacho_height = 0\n");
  Press(&w, Qt::Key_F9);  // Run#1 fails
  QCOMPARE(Shown(w),
           QString("step=2 back=0 label=1 | 1 lime off -- | 2 red on PB | 4 lime off --"));
  const QString speed = w.Step(2).EditN->text();
  QVERIFY(w.Step(2).EditV1->text() != "n.d.");
  const double run1 = Runs().Run1V1o;
  Press(&w, Qt::Key_F8);
  QCOMPARE(Shown(w),
           QString("step=1 back=0 label=1 | 1 green on PB | 2 lime off -- | 4 lime off --"));
  QCOMPARE(w.Step(2).EditV1->text(), QString("n.d."));
  QCOMPARE(w.Step(2).EditF1->text(), QString("n.d."));
  QCOMPARE(w.Step(2).EditN->text(), speed);
  QCOMPARE(Runs().Run1V1o, run1);

  // Run#1 left a coefficient behind (computed for its log line): Run#0 repeated now takes the
  // known-coefficient road. A new job (Escape, Continue on a new rotor) starts afresh.
  QVERIFY(CoefficientsKnown(BalancingMode::SinglePlane));
  Press(&w, Qt::Key_F8);
  QVERIFY(!w.isVisible());
  Press(&w_->b10, Qt::Key_F9);
  QVERIFY(!CoefficientsKnown(BalancingMode::SinglePlane));
  GoodRun(false, kA0, kB0);
  answer1_->Expect();
  GoodRun(false, kA0 + kTrial1A, kB0);
  Press(&w, Qt::Key_F8);  // Prev.step from RunC on a new rotor: back to Run#1
  QCOMPARE(Shown(w),
           QString("step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 lime off --"));

  // Escape, then Continue: every field "n.d." and the results reset, the speeds kept.
  Press(&w, Qt::Key_F8);
  Press(&w, Qt::Key_F8);
  QVERIFY(!w.isVisible());
  const double speed0 = Runs().Run0RPM;
  Press(&w_->b10, Qt::Key_F9);
  for (int k : {kRun0, kRun1, kRunC})
    for (QLineEdit* e : {w.Step(k).EditN, w.Step(k).EditV1, w.Step(k).EditF1})
      QCOMPARE(e->text(), QString("n.d."));
  QCOMPARE(Runs().Run0V1o, 0.0);
  QCOMPARE(Runs().Run1V1o, 0.0);
  QCOMPARE(Runs().Run0RPM, speed0);
  QCOMPARE(w.Sequence().State().RunStep, kRun0);
}

void TestBalancingJobs::prevStepTwoPlane() {
  FormB21& w = w_->b21;
  StartJob(true, {});
  Press(&w, Qt::Key_F8);  // Escape at Run#0
  QVERIFY(!w.isVisible());
  QVERIFY(w_->b20.isVisible());
  Press(&w_->b20, Qt::Key_F9);
  GoodRun(true, kA0, kB0);
  Press(&w, Qt::Key_F8);  // Prev.step from Run#1
  QCOMPARE(Shown(w), QString("step=1 back=0 label=0 | 1 green on PB | 2 lime off -- | "
                             "3 lime off -- | 4 lime off --"));
  GoodRun(true, kA0, kB0);
  GoodRun(true, kA0 + kTrial1A, kB0 + kTrial1B);
  Rig(kA0 + kTrial2A, kB0 + kTrial2B, "tacho_height = 0\n");
  Press(&w, Qt::Key_F9);  // Run#2 fails: no correction
  QCOMPARE(Shown(w), QString("step=3 back=0 label=1 | 1 lime off -- | 2 lime off -- | "
                             "3 red on PB | 4 lime off --"));
  const QString speed = w.Step(3).EditN->text();
  Press(&w, Qt::Key_F8);
  QCOMPARE(Shown(w), QString("step=2 back=0 label=1 | 1 lime off -- | 2 green on PB | "
                             "3 lime off -- | 4 lime off --"));
  for (QLineEdit* e : {w.Step(3).EditV1, w.Step(3).EditF1, w.Step(3).EditV2, w.Step(3).EditF2})
    QCOMPARE(e->text(), QString("n.d."));
  QCOMPARE(w.Step(3).EditN->text(), speed);
  QVERIFY(w.Step(2).EditV2->text() != "n.d.");

  GoodRun(true, kA0 + kTrial1A, kB0 + kTrial1B);
  answer2_->Expect();
  GoodRun(true, kA0 + kTrial2A, kB0 + kTrial2B);
  Press(&w, Qt::Key_F8);  // Prev.step from RunC: back to Run#2
  QCOMPARE(w.Sequence().State().RunStep, kRun2);
  QVERIFY(w.GroupBox3->isEnabled());
  QCOMPARE(ColourName(w.GroupBox4), QString("lime"));
}

void TestBalancingJobs::failedRunAtEachStep_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<int>("step");
  QTest::addColumn<QString>("fault");  // "tacho": no tachometer signal; "module": no module
  for (bool two : {false, true}) {
    for (int step : {kRun0, kRun1, kRun2, kRunC}) {
      if (step == kRun2 && !two) continue;
      for (const char* fault : {"tacho", "module"})
        QTest::addRow("%s %d %s", two ? "two" : "single", step, fault) << two << step << fault;
    }
  }
}

void TestBalancingJobs::failedRunAtEachStep() {
  QFETCH(bool, two);
  QFETCH(int, step);
  QFETCH(QString, fault);
  RunForm& w = w_->Runs(two);
  CorrectionAnswerer& answer = two ? *answer2_ : *answer1_;
  const std::vector<std::pair<Vib, Vib>> good{
      {kA0, kB0}, {kA0 + kTrial1A, kB0 + kTrial1B}, {kA0 + kTrial2A, kB0 + kTrial2B}};
  StartJob(two, {});
  for (int k = kRun0; k < step; ++k) {
    if (!w.Sequence().HasStep(k)) continue;
    const bool lastTrial = k == (two ? kRun2 : kRun1);
    if (lastTrial) answer.Expect();
    GoodRun(two, good[size_t(k - 1)].first, good[size_t(k - 1)].second);
  }
  const int shown = answer.shown;
  const QStringList before = Archived();
  const bool hadData = QFile::exists(dir_->filePath("Test.dat"));
  Rig(kA0, kB0, fault == "tacho" ? "tacho_height = 0\n" : "module_slot = 127\n");
  Press(&w, Qt::Key_F9);

  // The step stays current, red, with the tachometer label; no correction is shown.
  QCOMPARE(w.Sequence().State().RunStep, step);
  QCOMPARE(ColourName(w.Step(step).group), QString("red"));
  QVERIFY(w.Step(step).group->isEnabled());
  QVERIFY(w.Label41->isVisibleTo(&w));
  QVERIFY(w.Step(step).run->isEnabledTo(w.Step(step).group));
  QCOMPARE(w.Step(step).leave->isEnabledTo(w.Step(step).group), step != kRunC);
  QCOMPARE(answer.shown, shown);
  QVERIFY(!w.Sequence().State().busy);
  // Archived and logged as any run; a failed acquisition stores nothing and says so.
  // Without any recording yet there is no raw data to copy: said, and only the .par is filed.
  const bool noData = fault == "module" && !hadData;
  QCOMPARE(Archived().size(), before.size() + (noData ? 1 : 2));
  if (noData) QVERIFY(dialogs_.messages.back().text.startsWith("Error!: "));
  const QString line = Log(two).last();
  if (fault == "module") {
    QVERIFY2(line.endsWith(" - measurement failed"), qPrintable(line));
    QCOMPARE(w.Step(step).EditV1->text(), QString("n.d."));
    QCOMPARE(Meas().AcqStatus, -1);
  } else {
    QVERIFY2(!line.contains("failed") && line.contains("RPM=0 "), qPrintable(line));
  }

  // The same step again with the rotor running: it advances.
  if (step == kRunC || step == (two ? kRun2 : kRun1)) answer.Expect();
  GoodRun(two, step == kRunC ? kLeftA : good[size_t(step - 1)].first,
          step == kRunC ? kLeftB : good[size_t(step - 1)].second);
  QVERIFY(!w.Label41->isVisibleTo(&w));
}

void TestBalancingJobs::zeroSensitivityRefusesTheRun_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<double>("kpr1");
  QTest::addColumn<double>("kpr2");
  QTest::addColumn<bool>("refused");
  QTest::newRow("single, no channel 1") << false << 0.0 << 20.0 << true;
  QTest::newRow("single, no channel 2") << false << 20.0 << 0.0 << false;
  QTest::newRow("two, no channel 1") << true << 0.0 << 20.0 << true;
  QTest::newRow("two, no channel 2") << true << 20.0 << 0.0 << true;
}

void TestBalancingJobs::zeroSensitivityRefusesTheRun() {
  QFETCH(bool, two);
  QFETCH(double, kpr1);
  QFETCH(double, kpr2);
  QFETCH(bool, refused);
  RunForm& w = w_->Runs(two);
  StartJob(two, {});
  Settings().Kpr1 = kpr1;
  Settings().Kpr2 = kpr2;
  const QString before = Shown(w);
  Press(&w, Qt::Key_F9);
  if (refused) {
    QCOMPARE(dialogs_.warnings, QStringList{"Set proper coefficient!"});
    QCOMPARE(Shown(w), before);
    QVERIFY(Log(two).isEmpty());
    QVERIFY(Archived().isEmpty());
    QCOMPARE(Meas().AcqStatus, 0);
  } else {
    QVERIFY(dialogs_.warnings.isEmpty());
    QCOMPARE(w.Sequence().State().RunStep, kRun1);
  }
}

void TestBalancingJobs::closingDuringMeasurementKeepsNothing() {
  FormB21& w = w_->b21;
  StartJob(true, {});
  Rig(kA0, kB0, "pace = 1\n");  // real time: the sighting pass alone takes about two seconds
  bool wasRunning = false;
  QTimer::singleShot(300, &w, [&] {
    wasRunning = w.Running();
    // Runs never nest: keys and the step's buttons do nothing meanwhile.
    Press(&w, Qt::Key_F9);
    Press(&w, Qt::Key_F8);
    w.ButtonP1->click();
    w.ButtonB1->click();
  });
  QTimer::singleShot(700, w.Button1, &QPushButton::click);
  Press(&w, Qt::Key_F9);
  QVERIFY(wasRunning);
  QVERIFY(!w.isVisible());
  QVERIFY(!w_->b20.isVisible());
  QCOMPARE(Meas().AcqStatus, -1);
  QVERIFY(!Meas().StopRequested);
  QVERIFY(Log(true).isEmpty());
  QCOMPARE(QDir(Paths().ArcDir).entryList(QDir::Files), QStringList{});
  QCOMPARE(Runs().Run0RPM, 0.0);
  QCOMPARE(sim_.LiveInstances(), 0);
  QVERIFY(!w.Running());

  // The next job measures normally.
  Rig(kA0, kB0);
  StartJob(true, {});
  GoodRun(true, kA0, kB0);
  QCOMPARE(Log(true).size(), 1);
}

QTEST_MAIN(TestBalancingJobs)
#include "test_balancingjobs.moc"
