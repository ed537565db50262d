// The balancing aids in the windows: the polar diagrams after jobs on the simulated module and
// their export, the permissible residual unbalance with its verdicts, the trial-mass hint, the
// trial-effect question and the vector tools window.
#include <QComboBox>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cmath>
#include <memory>

#include "SimulatedJobs.h"
#include "balancing/AidFields.h"
#include "balancing/PolarPanel.h"
#include "balancing/VectorToolsForm.h"
#include "balancing/core/BalRecords.h"
#include "charts/PolarChart.h"

using namespace vintor;
using namespace vintor::test;

namespace {

// The effects of trial masses too light.
const Vib kLightA{0.6, 80}, kLightB{0.1, 220};

double Number(const QString& text) { return QString(text).replace(',', '.').toDouble(); }

QStringList Labels(const PolarChannel& c) {
  QStringList out;
  for (const PolarItem& it : c.items) out << it.label;
  return out;
}

QStringList Labels(const PolarPanel* p, int channel) {
  return Labels(p->Chart(channel)->Channel());
}

double AngleGap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

// Runs in the two-plane convention, as the correction windows read them.
void AsRun(double x, double y, double& v, double& f) {
  v = std::hypot(x, y);
  f = std::atan2(y, x) / 0.0174444444444444444;
}

QColor TextColour(const QLabel* l) { return l->palette().color(QPalette::WindowText); }

}  // namespace

class TestBalancingAids : public QObject, public SimulatedJobs {
  Q_OBJECT
 private slots:
  void init() { Start(QChar('.')); }
  void cleanup() { Finish(); }

  void polarDiagramsFollowTheJob_data();
  void polarDiagramsFollowTheJob();
  void polarDiagramExport_data();
  void polarDiagramExport();
  void toleranceVerdicts_data();
  void toleranceVerdicts();
  void entriesSharedAndKept();
  void trialMassHint_data();
  void trialMassHint();
  void trialEffectQuestion_data();
  void trialEffectQuestion();
  void vectorTools_data();
  void vectorTools();
  void vectorToolsFromTheCorrectionWindow();

 private:
  // Runs the current step with the rotor as given.
  void Run(bool two, Vib a, Vib b, const QString& extra = QString()) {
    Rig(a, b, extra);
    Press(&w_->Runs(two), Qt::Key_F9);
  }
};

// ---- Polar diagrams ----

void TestBalancingAids::polarDiagramsFollowTheJob_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<int>("blades");
  QTest::newRow("single") << false << 0;
  QTest::newRow("two") << true << 0;
  QTest::newRow("two, six blades") << true << 6;
}

void TestBalancingAids::polarDiagramsFollowTheJob() {
  QFETCH(bool, two);
  QFETCH(int, blades);
  RunForm& w = w_->Runs(two);
  CorrectionForm& c = w_->Correction(two);
  const int channels = two ? 2 : 1;
  QStringList fields{"gramm", "EditM1=10", "EditM2=5", "EditD1=200", "EditD2=150"};
  if (blades) fields << "blades" << QStringLiteral("Edit2=%1").arg(blades);
  QStringList bladeLabels;
  for (int k = 1; k <= blades; ++k) bladeLabels << QString::number(k);
  StartJob(two, fields);
  QCOMPARE(w.Polar->ChartCount(), channels);
  QCOMPARE(Labels(w.Polar, 0), bladeLabels);  // the rotor before any run

  // Each run appears as measured, its arrow as the fields read (degrees turned into the rotor's).
  Run(two, kA0, kB0);
  for (int ch = 0; ch < channels; ++ch) {
    QCOMPARE(Labels(w.Polar, ch), QStringList{"Run#0"} + bladeLabels);
    const PolarItem* run0 = w.Polar->Chart(ch)->Channel().Find("Run#0");
    const StepControls& s = w.Step(kRun0);
    QVERIFY(std::fabs(run0->amplitude - Number((ch ? s.EditV2 : s.EditV1)->text())) < 0.01);
    QVERIFY(AngleGap(run0->angle, 360 - Number((ch ? s.EditF2 : s.EditF1)->text())) <= 0.6);
  }
  for (int k = 0; k < blades; ++k) {
    const PolarItem* b = w.Polar->Chart(0)->Channel().Find(QString::number(k + 1));
    QCOMPARE(b->kind, PolarKind::Blade);
    QCOMPARE(b->angle, k * 360.0 / blades);
  }

  Rig(kA0 + kTrial1A, kB0 + kTrial1B);
  const QStringList trialRuns =
      two ? QStringList{"Run#0", "Run#1", "Run#2", "Run#1-Run#0", "Run#2-Run#0"}
          : QStringList{"Run#0", "Run#1", "Run#1-Run#0"};
  double m1Angle = -1;
  // The correction window draws the same runs with the correction marks, and turns M1 with
  // "Remove mass".
  auto checkCorrection = [&] {
    const QStringList expected = trialRuns + (two ? QStringList{"M1", "M2"} : QStringList{"M1"});
    for (int ch = 0; ch < channels; ++ch) QCOMPARE(Labels(c.Polar, ch), expected + bladeLabels);
    const PolarItem* m1 = c.Polar->Chart(0)->Channel().Find("M1");
    QCOMPARE(m1->angle, double(two ? Corr().CorrAngleP1Shown : Corr().CorrAngleShown));
    if (!blades) QCOMPARE(m1->angle, Number(c.EditF1->text()));
    QVERIFY2(m1->text.startsWith(c.EditM1->text()), qPrintable(m1->text));
    m1Angle = m1->angle;
    c.RadioGroup1->Item(1)->click();
    QCOMPARE(c.Polar->Chart(0)->Channel().Find("M1")->angle, std::fmod(m1Angle + 180, 360));
    c.RadioGroup1->Item(0)->click();
  };
  if (two) {
    Press(&w, Qt::Key_F9);
    QCOMPARE(Labels(w.Polar, 1), (QStringList{"Run#0", "Run#1", "Run#1-Run#0"} + bladeLabels));
    Rig(kA0 + kTrial2A, kB0 + kTrial2B);
  }
  Answer(two).Expect(checkCorrection);
  Press(&w, Qt::Key_F9);
  QCOMPARE(Answer(two).shown, 1);
  // The run window shows the correction too, once it is closed.
  for (int ch = 0; ch < channels; ++ch) QCOMPARE(Labels(w.Polar, ch), Labels(c.Polar, ch));
  QCOMPARE(w.Polar->Chart(0)->Channel().Find("M1")->angle, m1Angle);

  // The check run is drawn beside Run#0, which the reference slots no longer hold.
  Answer(two).Expect([&] {
    QVERIFY(c.Polar->Chart(0)->Channel().Find("RunC"));
    QVERIFY(c.Polar->Chart(0)->Channel().Find("Run#0"));
  });
  Run(two, kLeftA, kLeftB);
  const PolarChannel& after = w.Polar->Chart(channels - 1)->Channel();
  const QStringList expected =
      trialRuns.mid(0, two ? 3 : 2) + QStringList{"RunC"} + trialRuns.mid(two ? 3 : 2);
  QCOMPARE(Labels(after).mid(0, expected.size()), expected);
  const StepControls& sc = w.Step(kRunC);
  QVERIFY(std::fabs(after.Find("RunC")->amplitude - Number((two ? sc.EditV2 : sc.EditV1)->text())) <
          0.002);
  QVERIFY(std::fabs(after.Find("Run#0")->amplitude - (two ? kB0 : kA0).amp) < 0.1);

  // A new job: nothing of the old one, not even its correction.
  Press(&w, Qt::Key_F10);
  StartJob(two, {});
  QCOMPARE(Labels(w.Polar, 0), bladeLabels);
  Run(two, kA0, kB0);
  QCOMPARE(Labels(w.Polar, 0), QStringList{"Run#0"} + bladeLabels);
}

void TestBalancingAids::polarDiagramExport_data() {
  QTest::addColumn<bool>("two");
  QTest::newRow("single") << false;
  QTest::newRow("two") << true;
}

void TestBalancingAids::polarDiagramExport() {
  QFETCH(bool, two);
  RunForm& w = w_->Runs(two);
  StartJob(two, {});
  Run(two, kA0, kB0);
  const QString path = dir_->filePath("fan_pl.jpg");
  dialogs_.saveName = dir_->filePath("fan");
  w.Polar->ButtonSave->click();
  QCOMPARE(shell_.opened, QStringList{path});
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QVERIFY(f.read(2) == QByteArray("\xFF\xD8"));
  f.close();
  QImageReader reader(path);
  QCOMPARE(reader.format(), QByteArray("jpeg"));
  QCOMPARE(reader.size().width(), (two ? 2 : 1) * reader.size().height());
  QVERIFY(dialogs_.warnings.isEmpty() && dialogs_.errors.isEmpty());

  // The viewer missing is said; a cancelled dialog writes nothing; a bad place is an error.
  shell_.answer = false;
  w.Polar->ButtonSave->click();
  QCOMPARE(dialogs_.warnings, QStringList{path + " file not found"});
  QVERIFY(QFile::remove(path));
  dialogs_.saveName.clear();
  w.Polar->ButtonSave->click();
  QVERIFY(!QFile::exists(path));
  dialogs_.saveName = dir_->filePath("no/such/dir/fan");
  w.Polar->ButtonSave->click();
  QCOMPARE(dialogs_.errors.size(), 1);
  QVERIFY(
      dialogs_.errors[0].startsWith("Cannot write " + dir_->filePath("no/such/dir/fan_pl.jpg")));
  QCOMPARE(shell_.opened.size(), 2);
}

// ---- Permissible residual unbalance ----

void TestBalancingAids::toleranceVerdicts_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<bool>("grams");           // residuals in g*mm; else "n.d."
  QTest::addColumn<QStringList>("entries");  // fields of the correction window; grade index
  QTest::addColumn<double>("lastRpm");
  QTest::addColumn<QString>("verdicts");  // beside D1 (and D2): "within", "exceeds", "-"
  QTest::addColumn<QString>("uper");
  QTest::addColumn<double>("archived");  // DOP_D of "F9 - Archive"; -1: empty
  // Single: D1 = 1000.0 g*mm. Two: D1 = 1200.0, D2 = 700.0.
  const QStringList g25{"EditRotorMass=100", "grade=3", "EditServiceRpm=3000"};
  const QStringList g63{"EditRotorMass=100", "grade=4", "EditServiceRpm=3000"};
  QTest::newRow("single, G 2.5 exceeds") << false << true << g25 << 0.0 << "exceeds"
                                         << "U_per = 795.8 g*mm" << 795.75;
  QTest::newRow("single, G 6.3 within") << false << true << g63 << 0.0 << "within"
                                        << "U_per = 2005.3 g*mm" << 2005.29;
  QTest::newRow("single, speed of the last run")
      << false << true << QStringList{"EditRotorMass=100", "grade=4"} << 3000.0 << "within"
      << "U_per = 2005.3 g*mm" << 2005.29;
  QTest::newRow("single, the entered speed over the last run's")
      << false << true << QStringList{"EditRotorMass=100", "grade=4", "EditServiceRpm=7000"}
      << 3000.0 << "exceeds"
      << "U_per = 859.4 g*mm" << 859.41;
  QTest::newRow("single, no grade")
      << false << true << QStringList{"EditRotorMass=100", "EditServiceRpm=3000"} << 0.0 << "-"
      << "" << -1.0;
  QTest::newRow("single, no rotor mass")
      << false << true << QStringList{"grade=4", "EditServiceRpm=3000"} << 0.0 << "-"
      << "U_per needs the rotor mass and the service speed" << -1.0;
  QTest::newRow("single, no speed at all")
      << false << true << QStringList{"EditRotorMass=100", "grade=4"} << 0.0 << "-"
      << "U_per needs the rotor mass and the service speed" << -1.0;
  QTest::newRow("single, residual n.d.") << false << false << g63 << 0.0 << "-"
                                         << "U_per = 2005.3 g*mm" << 2005.29;
  QTest::newRow("two, equal shares")
      << true << true << g63 << 0.0 << "exceeds within"
      << "U_per = 2005.3 g*mm; plane 1: 1002.6, plane 2: 1002.6" << 2005.29;
  QTest::newRow("two, plane 1 takes 60 %")
      << true << true << (g63 + QStringList{"EditShare1=60"}) << 0.0 << "within within"
      << "U_per = 2005.3 g*mm; plane 1: 1203.2, plane 2: 802.1" << 2005.29;
  QTest::newRow("two, plane 1 takes 30 %")
      << true << true << (g63 + QStringList{"EditShare1=30"}) << 0.0 << "exceeds within"
      << "U_per = 2005.3 g*mm; plane 1: 601.6, plane 2: 1403.7" << 2005.29;
  QTest::newRow("two, a share of 100 %")
      << true << true << (g63 + QStringList{"EditShare1=100"}) << 0.0 << "- -"
      << "The share of plane 1 must lie between 0 and 100 %" << 2005.29;
  QTest::newRow("two, residuals n.d.")
      << true << false << g63 << 0.0 << "- -"
      << "U_per = 2005.3 g*mm; plane 1: 1002.6, plane 2: 1002.6" << 2005.29;
}

void TestBalancingAids::toleranceVerdicts() {
  QFETCH(bool, two);
  QFETCH(bool, grams);
  QFETCH(QStringList, entries);
  QFETCH(double, lastRpm);
  QFETCH(QString, verdicts);
  QFETCH(QString, uper);
  QFETCH(double, archived);
  answer1_.reset();  // the correction windows stay up here
  answer2_.reset();
  Meas().RPM = lastRpm;
  RunRecords& r = Runs();
  if (two) {
    // Uncoupled planes (each trial mass moves only its own channel by 1): the corrections are
    // 1.2 x 10 g and 0.7 x 5 g at radii 100 and 200 mm.
    FormB20& f = w_->b20;
    Show(&f);
    if (grams) {
      f.RadioGroup1->Item(1)->click();
      f.EditM1->setText("10");
      f.EditM2->setText("5");
      f.EditD1->setText("100");
      f.EditD2->setText("200");
    }
    Press(&f, Qt::Key_F9);
    AsRun(1.2, 0, r.Run0V1o, r.Run0F1);
    AsRun(0, 0.7, r.Run0V2o, r.Run0F2);
    AsRun(2.2, 0, r.Run1V1o, r.Run1F1);
    AsRun(0, 0.7, r.Run1V2o, r.Run1F2);
    AsRun(1.2, 0, r.Run2V1o, r.Run2F1);
    AsRun(1, 0.7, r.Run2V2o, r.Run2F2);
  } else {
    BalInput().TrialM1 = grams ? 10 : 0;
    BalInput().PlaceRadius1 = grams ? 100 : 0;
    r.Run0V1o = 1, r.Run0F1 = 10, r.Run1V1o = 2, r.Run1F1 = 10;
  }
  CorrectionForm& c = w_->Correction(two);
  Show(&c);
  for (const QString& e : entries) {
    if (e.startsWith("grade=")) {
      c.ComboGrade->setCurrentIndex(e.section('=', 1).toInt());
    } else {
      auto* field = Control<QLineEdit>(&c, e.section('=', 0, 0));
      field->setFocus();
      field->selectAll();
      QTest::keyClicks(field, e.section('=', 1));
    }
  }
  QCOMPARE(c.EditD1->text(), grams ? (two ? QString("1200.0") : QString("1000.0")) : "n.d.");
  QStringList shown;
  for (QLabel* l : {c.LabelVerdict1, c.LabelVerdict2}) {
    if (!l) continue;
    const QString t = l->text();
    shown << (t.isEmpty() ? "-" : t.section(' ', 0, 0));
    if (!t.isEmpty()) {
      QVERIFY(l->isVisibleTo(&c));
      QCOMPARE(TextColour(l), t == "within tolerance" ? QColor(0, 128, 0) : QColor(210, 0, 0));
    }
  }
  QCOMPARE(shown.join(' '), verdicts);
  QCOMPARE(c.LabelUper->text(), uper);
  QCOMPARE(c.EditServiceRpm->placeholderText(),
           lastRpm > 0 ? QString("%1 (last run)").arg(lastRpm) : QString());
  // "F9 - Archive" stores the same U_per, at the same speed, whole rotor.
  const auto dopD = ArchiveUnbalanceTolerance(Meas().RPM);
  QCOMPARE(dopD.has_value(), archived >= 0);
  if (dopD) QVERIFY2(std::fabs(*dopD - archived) < 0.01, qPrintable(QString::number(*dopD)));
}

void TestBalancingAids::entriesSharedAndKept() {
  // Typed in one window, shown in the others, and by windows made later.
  FormB10& f = w_->b10;
  Show(&f);
  f.EditRotorMass->setFocus();
  QTest::keyClicks(f.EditRotorMass, "120.5");
  QCOMPARE(Aids().RotorMass, 120.5);
  for (CorrectionForm* c : {static_cast<CorrectionForm*>(&w_->b12), &w_->Correction(true)})
    QCOMPARE(c->EditRotorMass->text(), QString("120.5"));
  w_->b22.ComboGrade->setCurrentIndex(2);
  QCOMPARE(Aids().Grade, 1.0);
  QCOMPARE(w_->b12.ComboGrade->currentText(), QString("G 1"));
  w_->b22.EditShare1->setText("");  // empty: equal shares
  QCOMPARE(Aids().Share1, 0.5);
  w_->b22.EditShare1->setText("25");
  QCOMPARE(Aids().Share1, 0.25);
  f.hide();

  w_.reset();
  answer1_.reset();
  answer2_.reset();
  w_ = std::make_unique<BalancingWindows>();
  answer1_ = std::make_unique<CorrectionAnswerer>(&w_->b12);
  answer2_ = std::make_unique<CorrectionAnswerer>(&w_->b22);
  QCOMPARE(w_->b20.EditRotorMass->text(), QString("120.5"));
  QCOMPARE(w_->b22.ComboGrade->currentText(), QString("G 1"));
  QCOMPARE(w_->b22.EditShare1->text(), QString("25"));
  QCOMPARE(w_->b22.EditServiceRpm->text(), QString());
  // The grade list, the empty choice first.
  QStringList grades;
  for (int i = 0; i < w_->b12.ComboGrade->count(); ++i) grades << w_->b12.ComboGrade->itemText(i);
  QCOMPARE(grades, QStringList({"", "G 0.4", "G 1", "G 2.5", "G 6.3", "G 16", "G 40"}));
}

// ---- Trial mass ----

void TestBalancingAids::trialMassHint_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QStringList>("entries");
  QTest::addColumn<double>("measuredRpm");
  QTest::addColumn<QString>("hint1");
  QTest::addColumn<QString>("hint2");
  const QString g497 = "Suggested trial mass: 4.97 g";
  QTest::newRow("single") << false
                          << QStringList{"gramm", "EditD1=200", "EditRotorMass=100",
                                         "EditServiceRpm=3000"}
                          << 0.0 << g497 << "";
  QTest::newRow("single, the last measured speed")
      << false << QStringList{"gramm", "EditD1=200", "EditRotorMass=100"} << 3000.0 << g497 << "";
  QTest::newRow("single, the entered speed first")
      << false << QStringList{"gramm", "EditD1=200", "EditRotorMass=100", "EditServiceRpm=1500"}
      << 3000.0 << "Suggested trial mass: 19.9 g"
      << "";
  QTest::newRow("single, no speed")
      << false << QStringList{"gramm", "EditD1=200", "EditRotorMass=100"} << 0.0 << ""
      << "";
  QTest::newRow("single, no rotor mass")
      << false << QStringList{"gramm", "EditD1=200", "EditServiceRpm=3000"} << 0.0 << ""
      << "";
  QTest::newRow("single, radius n.d. (percent)")
      << false << QStringList{"EditRotorMass=100", "EditServiceRpm=3000"} << 0.0 << ""
      << "";
  QTest::newRow("two, half the rotor per plane")
      << true
      << QStringList{"gramm", "EditD1=200", "EditD2=100", "EditRotorMass=100",
                     "EditServiceRpm=3000"}
      << 0.0 << "1st plane: Suggested trial mass: 2.48 g"
      << "2nd plane: Suggested trial mass: 4.97 g";
  QTest::newRow("two, no radius in plane 2")
      << true << QStringList{"gramm", "EditD1=200", "EditRotorMass=100", "EditServiceRpm=3000"}
      << 0.0 << "1st plane: Suggested trial mass: 2.48 g"
      << "";
}

void TestBalancingAids::trialMassHint() {
  QFETCH(bool, two);
  QFETCH(QStringList, entries);
  QFETCH(double, measuredRpm);
  QFETCH(QString, hint1);
  QFETCH(QString, hint2);
  Meas().RPM = measuredRpm;
  InitialDataForm& f = w_->Initial(two);
  Show(&f);
  QVERIFY(!f.LabelTrialHint1->isVisibleTo(&f));
  for (const QString& e : entries) {
    if (e == "gramm") f.RadioGroup1->Item(1)->click();
    if (e.contains('=')) Control<QLineEdit>(&f, e.section('=', 0, 0))->setText(e.section('=', 1));
  }
  QCOMPARE(f.LabelTrialHint1->text(), hint1);
  QCOMPARE(f.LabelTrialHint1->isVisibleTo(&f), !hint1.isEmpty());
  if (two) {
    QCOMPARE(f.LabelTrialHint2->text(), hint2);
    QCOMPARE(f.LabelTrialHint2->isVisibleTo(&f), !hint2.isEmpty());
  }
  // Never put into the trial mass fields.
  QCOMPARE(f.EditM1->text(), QString("n.d."));
  // Percent again: the radius reads "n.d." and the hint goes.
  f.RadioGroup1->Item(0)->click();
  QVERIFY(!f.LabelTrialHint1->isVisibleTo(&f));
}

void TestBalancingAids::trialEffectQuestion_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<int>("step");
  QTest::addColumn<QString>("answer");  // "go on", "repeat", or "failed": the light run fails
  for (bool two : {false, true}) {
    for (int step : {kRun1, kRun2}) {
      if (step == kRun2 && !two) continue;
      for (const char* answer : {"go on", "repeat", "failed"})
        QTest::addRow("%s %s %s", two ? "two" : "single", step == kRun1 ? "Run#1" : "Run#2", answer)
            << two << step << answer;
    }
  }
}

void TestBalancingAids::trialEffectQuestion() {
  QFETCH(bool, two);
  QFETCH(int, step);
  QFETCH(QString, answer);
  RunForm& w = w_->Runs(two);
  CorrectionForm& c = w_->Correction(two);
  const bool lastTrial = step == (two ? kRun2 : kRun1);
  StartJob(two, {"gramm", "EditM1=10", "EditM2=5"});
  Run(two, kA0, kB0);
  if (step == kRun2) Run(two, kA0 + kTrial1A, kB0 + kTrial1B);
  QVERIFY(dialogs_.questions.isEmpty());  // a good trial run asks nothing

  // The trial mass too light: under a fifth of Run#0 and a few degrees on both channels.
  dialogs_.goOnAnswers = {answer == "go on"};
  if (lastTrial && answer == "go on") Answer(two).Expect();
  Run(two, kA0 + kLightA, kB0 + kLightB, answer == "failed" ? "tacho_height = 0\n" : "");
  const StepControls& s = w.Step(step);
  if (answer == "failed") {
    QVERIFY(dialogs_.questions.isEmpty());
    QCOMPARE(w.Sequence().State().RunStep, step);
    return;
  }
  QCOMPARE(dialogs_.questions, QStringList{kTrialEffectSmall});
  if (answer == "go on") {
    QCOMPARE(w.Sequence().State().RunStep, step == kRun1 && two ? kRun2 : kRunC);
    QCOMPARE(Answer(two).shown, lastTrial ? 1 : 0);
    return;
  }
  // Repeat: the step stays current with its buttons, no correction was shown.
  QCOMPARE(w.Sequence().State().RunStep, step);
  QVERIFY(s.group->isEnabled());
  QCOMPARE(GroupColourOf(s.group), QColor(0, 128, 0));
  QVERIFY(s.run->isEnabledTo(s.group) && s.leave->isEnabledTo(s.group));
  QCOMPARE(Answer(two).shown, 0);
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(!w.Polar->Chart(0)->Channel().Find("M1"));  // computed for the log line only

  // A heavier trial mass: the step goes on, and its correction comes from the new run alone.
  if (lastTrial) {
    Answer(two).Expect([&] {
      if (two) return;
      QVERIFY2(std::fabs(Number(c.EditM1->text()) - 15) < 0.6, qPrintable(c.EditM1->text()));
      QVERIFY2(std::fabs(Number(c.EditF1->text()) - 270) <= 2, qPrintable(c.EditF1->text()));
    });
  }
  if (step == kRun1)
    Run(two, kA0 + kTrial1A, kB0 + kTrial1B);
  else
    Run(two, kA0 + kTrial2A, kB0 + kTrial2B);
  QCOMPARE(dialogs_.questions.size(), 1);
  QCOMPARE(w.Sequence().State().RunStep, step == kRun1 && two ? kRun2 : kRunC);
  QCOMPARE(Answer(two).shown, lastTrial ? 1 : 0);
}

// ---- Vector tools ----

void TestBalancingAids::vectorTools_data() {
  QTest::addColumn<QStringList>("typed");  // field=text, then Enter in the last field
  QTest::addColumn<QStringList>("shown");  // result labels: combined, or the two split masses
  QTest::addColumn<QString>("warning");
  QTest::newRow("combine two") << QStringList{"EditMass1=10", "EditAngle1=0", "EditMass2=10",
                                              "EditAngle2=90"}
                               << QStringList{"= 14.1 at 45°"} << "";
  QTest::newRow("combine three, gaps skipped")
      << QStringList{"EditMass1=5",   "EditAngle1=350", "EditMass3=5",
                     "EditAngle3=10", "EditMass6=2",    "EditAngle6=180"}
      << QStringList{"= 7.85 at 0°"} << "";
  QTest::newRow("combine: they cancel")
      << QStringList{"EditMass1=3", "EditAngle1=30", "EditMass2=3", "EditAngle2=210"}
      << QStringList{"= 0.000 at 0°"} << "";
  QTest::newRow("combine: an angle without its mass")
      << QStringList{"EditMass1=4", "EditAngle1=0", "EditAngle2=90"} << QStringList{""}
      << "Enter at least one mass above 0 with its angle";
  QTest::newRow("split between the angles")
      << QStringList{"EditSplitMass=10", "EditSplitAngle=45", "EditAt1=0", "EditAt2=90"}
      << QStringList{"7.07 at 0°", "7.07 at 90°"} << "";
  QTest::newRow("split outside the sector")
      << QStringList{"EditSplitMass=10", "EditSplitAngle=180", "EditAt1=0", "EditAt2=90"}
      << QStringList{"-10.0 at 0° (take off, or add 10.0 at 180°)", "0.000 at 90°"} << "";
  QTest::newRow("split onto equal angles")
      << QStringList{"EditSplitMass=10", "EditSplitAngle=45", "EditAt1=30", "EditAt2=30"}
      << QStringList{"", ""} << "Enter the two angles; they must not be equal or 180° apart";
  QTest::newRow("split onto opposite angles")
      << QStringList{"EditSplitMass=10", "EditSplitAngle=45", "EditAt1=10", "EditAt2=190"}
      << QStringList{"", ""} << "Enter the two angles; they must not be equal or 180° apart";
  QTest::newRow("split without a mass")
      << QStringList{"EditSplitAngle=45", "EditAt1=0", "EditAt2=90"} << QStringList{"", ""}
      << "Enter a mass above 0 and its angle";
}

void TestBalancingAids::vectorTools() {
  QFETCH(QStringList, typed);
  QFETCH(QStringList, shown);
  QFETCH(QString, warning);
  VectorToolsForm v;
  Show(&v);
  QLineEdit* last = nullptr;
  for (const QString& t : typed) {
    last = Control<QLineEdit>(&v, t.section('=', 0, 0));
    last->setFocus();
    QTest::keyClicks(last, t.section('=', 1));
  }
  QTest::keyClick(last, Qt::Key_Return);
  const QStringList got = shown.size() == 1
                              ? QStringList{v.LabelCombined->text()}
                              : QStringList{v.LabelSplit1->text(), v.LabelSplit2->text()};
  QCOMPARE(got, shown);
  QCOMPARE(dialogs_.warnings, warning.isEmpty() ? QStringList() : QStringList{warning});
  QTest::keyClick(&v, Qt::Key_F10);
  QVERIFY(!v.isVisible());
}

void TestBalancingAids::vectorToolsFromTheCorrectionWindow() {
  answer1_.reset();
  FormB12& c = w_->b12;
  Show(&c);
  bool shown = false;
  QTimer::singleShot(0, [&] {
    VectorToolsForm* v = c.VectorTools();
    shown = v->isVisible() && v->isModal();
    QTest::keyClick(v, Qt::Key_F10);
  });
  c.ButtonVectorTools->click();
  QVERIFY(shown);
  QVERIFY(c.isVisible());
  QTest::keyClick(&c, Qt::Key_F10);
}

QTEST_MAIN(TestBalancingAids)
#include "test_balancingaids.moc"
