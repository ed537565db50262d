#pragma once

// An operator at the program's windows as the composition root wires them, balancing the
// simulated rig: masses go on and off the rotor through the rig's parameter file (the simulated
// module reads it at the start of every acquisition, as with the rig window and `vintor-cli
// rig`), the windows are worked by their keys, and every modal window that comes up is answered
// by the step the test queued for it.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/ui/AppWindows.h"
#include "balancing/TableWidgets.h"
#include "balancing/core/BalRecords.h"
#include "balancing/core/BalancingAids.h"
#include "balancing/core/BalancingState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimRig.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"
#include "tests/tables/GridTestUtil.h"

namespace vintor::test {

// A window's number as the operator reads it (either decimal separator); NaN for "n.d.".
inline double Number(QString text) {
  bool ok = false;
  const double v = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  return ok ? v : std::nan("");
}

// Types into a field as the operator does: in its active window, the old text selected and
// typed over. (The windows act on Space for the focused button, so the focus must be right.)
inline void Type(QLineEdit* field, const QString& text) {
  QWidget* window = field->window();
  window->activateWindow();
  QTRY_COMPARE(QApplication::activeWindow(), window);
  field->setFocus();
  QCOMPARE(QApplication::focusWidget(), field);
  field->selectAll();
  QTest::keyClicks(field, text);
}

// Runs the step queued for a watched window each time the window is shown, once its own event
// loop turns. A showing with nothing queued, and a modal window its step left open, are noted
// and the window closed, so a test that goes wrong fails instead of waiting.
class ModalSteps final : public QObject {
 public:
  void Watch(QWidget* window) { window->installEventFilter(this); }
  void Expect(QWidget* window, std::function<void()> step) {
    queue_[window].push_back(std::move(step));
  }
  int Pending() const {
    int n = 0;
    for (const auto& [w, steps] : queue_) n += static_cast<int>(steps.size());
    return n;
  }
  QStringList problems;
  QStringList TakeProblems() { return std::exchange(problems, QStringList()); }
  // Forgets every step still queued; returns how many there were.
  int Clear() {
    const int n = Pending();
    queue_.clear();
    return n;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      QTimer::singleShot(0, w, [this, w] { Run(w); });
    }
    return false;
  }

 private:
  static void Close(QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w))
      d->reject();
    else
      w->close();
  }
  void Run(QWidget* w) {
    if (!w->isVisible()) return;
    std::deque<std::function<void()>>& steps = queue_[w];
    if (steps.empty()) {
      problems << "unexpected " + w->objectName();
      Close(w);
      return;
    }
    const std::function<void()> step = std::move(steps.front());
    steps.pop_front();
    step();
    if (w->isVisible() && w->isModal()) {
      problems << "left open " + w->objectName();
      Close(w);
    }
  }
  std::map<QWidget*, std::deque<std::function<void()>>> queue_;
};

// The rig's parameter file: every change reads it, edits it and writes it whole.
class RigFile {
 public:
  void SetPath(const QString& path) { path_ = path; }
  // Empty on success, else why not.
  QString Set(const QStringList& keyValues) {
    return Change([&](SimRig& rig) {
      for (const QString& kv : keyValues) {
        const QString why = rig.Set(kv.section(QLatin1Char('='), 0, 0).trimmed(),
                                    kv.section(QLatin1Char('='), 1).trimmed());
        if (!why.isEmpty()) return why;
      }
      return QString();
    });
  }
  QString Attach(int plane, double grams, double angle) {
    return Change([&](SimRig& rig) { return rig.Attach(plane, SimMass{grams, angle, 0.0}); });
  }
  QString Clear(int plane = 0) {
    return Change([&](SimRig& rig) {
      rig.Clear(plane);
      return QString();
    });
  }
  SimConfig Config() const {
    SimRig rig;
    rig.Load(path_);
    return rig.Config();
  }

 private:
  QString Change(const std::function<QString(SimRig&)>& change) {
    SimRig rig;
    QString error;
    if (!rig.Load(path_, &error)) return error;
    const QString why = change(rig);
    if (!why.isEmpty()) return why;
    return rig.Save(&error) ? QString() : error;
  }
  QString path_;
};

// What a correction window shows, read off its fields.
struct ShownCorrection {
  bool percent = false;
  bool blades = false;
  double mass[2] = {0, 0};  // polar: mass and angle per plane
  int angle[2] = {0, 0};
  int blade[2][2] = {{0, 0}, {0, 0}};  // blades: Z11, Z12 (Z21, Z22) and their masses
  double bladeMass[2][2] = {{0, 0}, {0, 0}};
  double d[2] = {0, 0};  // residual unbalance, g*mm (NaN: "n.d.")
  QString text;
};

inline int BladeOfLabel(const QLabel* label) {  // "Z3=" -> 3
  const QString t = label->text();
  return t.endsWith(QLatin1Char('=')) ? t.mid(1, t.size() - 2).toInt() : 0;
}

inline ShownCorrection ReadCorrection(const CorrectionForm& c) {
  ShownCorrection s;
  const bool two = c.Mode() == BalancingMode::TwoPlane;
  s.percent = c.LabelM1->text().contains(QLatin1Char('%'));
  s.blades = !c.GroupBoxL->isHidden();
  s.mass[0] = Number(c.EditM1->text());
  s.angle[0] = c.EditF1->text().toInt();
  s.d[0] = Number(c.EditD1->text());
  s.text = "M1=" + c.EditM1->text() + " f1=" + c.EditF1->text();
  const QLabel* z[2][2] = {{c.LabelZ11, c.LabelZ12}, {c.LabelZ21, c.LabelZ22}};
  const QLineEdit* m[2][2] = {{c.EditM11, c.EditM12}, {c.EditM21, c.EditM22}};
  for (int p = 0; p < (two ? 2 : 1); ++p) {
    if (p == 1) {
      s.mass[1] = Number(c.EditM2->text());
      s.angle[1] = c.EditF2->text().toInt();
      s.d[1] = Number(c.EditD2->text());
      s.text += " M2=" + c.EditM2->text() + " f2=" + c.EditF2->text();
    }
    for (int k = 0; k < 2; ++k) {
      s.blade[p][k] = BladeOfLabel(z[p][k]);
      s.bladeMass[p][k] = Number(m[p][k]->text());
    }
    if (s.blades)
      s.text += QStringLiteral(" plane %1: %2 %3 %4 %5")
                    .arg(p + 1)
                    .arg(z[p][0]->text(), m[p][0]->text(), z[p][1]->text(), m[p][1]->text());
  }
  s.text += " " + c.LabelM1->text().trimmed();
  return s;
}

// A mass to fit: grams (negative: material taken off) at a rotor angle.
struct Fit {
  int plane = 1;
  double grams = 0;
  double angle = 0;
};

// How a balancing job is set up.
struct JobSetup {
  bool two = false;
  bool percent = false;  // trial mass not weighed: masses shown in percent of it
  bool remove = false;   // "Remove mass": material taken off at the angle shown
  int blades = 0;        // 0: polar
  double trial = 3.0;    // grams, at the trial-mass point of each plane
  double radius = 100;   // of the trial-mass place (the rig's plane radius)
};

// The masses the operator fits for a correction shown: percentages of the trial mass turned
// into grams, blades into their angles, removed material into negative masses.
inline std::vector<Fit> FitsFor(const ShownCorrection& s, const JobSetup& job) {
  std::vector<Fit> fits;
  const double scale = (s.percent ? job.trial / 100.0 : 1.0) * (job.remove ? -1.0 : 1.0);
  for (int p = 0; p < (job.two ? 2 : 1); ++p) {
    if (s.blades) {
      for (int k = 0; k < 2; ++k)
        if (s.blade[p][k] > 0 && s.bladeMass[p][k] != 0.0)
          fits.push_back(
              {p + 1, scale * s.bladeMass[p][k], SimRig::BladeAngle(s.blade[p][k], job.blades)});
    } else if (s.mass[p] != 0.0) {
      fits.push_back({p + 1, scale * s.mass[p], double(s.angle[p])});
    }
  }
  return fits;
}

// The whole program on the simulated module, in a working directory of its own, with the
// dialogs, the shell and the clock recorded or fixed.
class ProgramOnRig {
 public:
  // A quiet, fast rig: little noise and speed drift, no waiting for the module.
  static QStringList QuietRig() {
    return {"pace=0", "rpm_wander=0.1", "ch1_noise=0.02", "ch2_noise=0.02"};
  }

  // Call from the test's init; QVERIFY failures end it early.
  void Start(const QStringList& rigKeys = QuietRig()) {
    dir_ = std::make_unique<CurrentTempDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(WriteBytes(dir_->filePath("Kavero.cfg"), kSimSensorsConfig));
    rig.SetPath(dir_->filePath("SimE154.cfg"));
    const QString why = rig.Set(rigKeys);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    ResetAidsInput();
    ArchPos() = ArchivePositions{};
    SetDecimalSeparatorOverride(QLatin1Char(','));
    app_ = std::make_unique<AppWindows>();
    Svc().dialogs = &dialogs;
    Svc().clock = &clock;
    Svc().shell = &shell;
    for (QWidget* w : std::initializer_list<QWidget*>{
             &app_->B10(), &app_->B20(), &app_->B12(), &app_->B22(), &app_->Kft1(), &app_->Kft2(),
             &app_->Kft1L(), &app_->Kft2L(), &app_->Arch2()})
      steps.Watch(w);
    app_->Main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&app_->Main()));
    // The rig window comes up beside the main window a moment later and hands the focus back.
    if (FormRig* rigWindow = app_->Rig()) QTRY_VERIFY(rigWindow->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &app_->Main());
  }

  // Call from the test's cleanup.
  void Finish() {
    const QStringList problems = steps.TakeProblems();
    const int pending = steps.Clear();
    while (QWidget* w = QApplication::activeModalWidget()) w->close();
    app_.reset();
    CloseProgramTables();
    dir_.reset();
    SetDecimalSeparatorOverride(QChar());
    QCOMPARE(problems, QStringList());
    QCOMPARE(pending, 0);
  }

  AppWindows& App() { return *app_; }
  QString WorkFile(const QString& name) const { return dir_->filePath(name); }
  InitialDataForm& Initial(bool two) {
    return two ? static_cast<InitialDataForm&>(app_->B20()) : app_->B10();
  }
  RunForm& Runs(bool two) { return two ? static_cast<RunForm&>(app_->B21()) : app_->B11(); }
  CorrectionForm& Correction(bool two) {
    return two ? static_cast<CorrectionForm&>(app_->B22()) : app_->B12();
  }
  QStringList Log(bool two) {
    const QString t = Runs(two).Memo1->toPlainText();
    return t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
  }

  // A job from the main window: F7 on the mode's tab opens the initial-data window modally,
  // `body` works the job inside it and ends it (F10 of the run window closes both).
  void Job(bool two, std::function<void()> body) {
    steps.Expect(&Initial(two), std::move(body));
    app_->Main().PageControl1->setCurrentIndex(two ? 1 : 0);
    QTest::keyClick(&app_->Main(), Qt::Key_F7);
    QVERIFY(!Initial(two).isVisible());
    QVERIFY(!Runs(two).isVisible());
  }

  // The initial data of a new rotor, then Continue.
  void EnterNewRotor(const JobSetup& job) {
    InitialDataForm& f = Initial(job.two);
    f.RadioGroup0->Item(0)->click();
    f.RadioGroup1->Item(job.percent ? 0 : 1)->click();
    if (!job.percent) {
      const QString m = QString::number(job.trial), r = QString::number(job.radius);
      Type(f.EditM1, m);
      Type(f.EditD1, r);
      if (job.two) {
        Type(f.EditM2, m);
        Type(f.EditD2, r);
      }
      QCOMPARE(f.EditM1->text(), m);
    }
    f.RadioGroup2->Item(job.blades ? 1 : 0)->click();
    if (job.blades) Type(f.Edit2, QString::number(job.blades));
    Continue(job.two);
  }

  // "Select rotor", "Select": the coefficient table comes up modally and `choose` picks the
  // record (its F2 copies it into the initial data).
  void SelectRotor(bool two, std::function<void(CoeffTableForm&)> choose) {
    InitialDataForm& f = Initial(two);
    CoeffTableForm& table = two ? static_cast<CoeffTableForm&>(app_->Kft2()) : app_->Kft1();
    f.RadioGroup0->Item(1)->click();
    steps.Expect(&table, [&table, choose] { choose(table); });
    f.Button3->click();
    QCOMPARE(steps.Pending(), 0);
  }

  // F9 in the initial-data window: the run window comes up.
  void Continue(bool two) {
    QTest::keyClick(&Initial(two), Qt::Key_F9);
    QVERIFY(Runs(two).isVisible());
  }

  // F9 in the run window; true when the current step was recorded and accepted.
  bool Run(bool two) {
    RunForm& w = Runs(two);
    const int step = w.Sequence().State().RunStep;
    const int lines = Log(two).size();
    QTest::keyClick(&w, Qt::Key_F9);
    const StepGroupState& g = w.Sequence().State().group[static_cast<size_t>(step)];
    return Log(two).size() > lines && g.colour != StepColour::Red;
  }

  // The next showing of the correction window: `look` at it, then F10.
  void OnCorrection(bool two, std::function<void(CorrectionForm&)> look) {
    CorrectionForm& c = Correction(two);
    steps.Expect(&c, [&c, look] {
      look(c);
      QTest::keyClick(&c, Qt::Key_F10);
    });
  }

  void FitAll(const std::vector<Fit>& fits) {
    for (const Fit& f : fits) {
      const QString why = rig.Attach(f.plane, f.grams, f.angle);
      QVERIFY2(why.isEmpty(), qPrintable(why));
    }
  }

  RigFile rig;
  ModalSteps steps;
  RecordingDialogs dialogs;
  FixedClock clock;
  RecordingShell shell;

 private:
  std::unique_ptr<CurrentTempDir> dir_;
  std::unique_ptr<AppWindows> app_;
};

// What one job measured and showed.
struct JobOutcome {
  double initial[2] = {0, 0};   // Run#0 1x, mm/s, per channel
  double residual[2] = {0, 0};  // the check run's
  ShownCorrection correction;   // shown after the trial runs (or Run#0 with known coefficients)
  ShownCorrection residualCorrection;  // shown after the check run
  QString fitted;                      // the masses fitted, for messages
};

// The trial runs of a new rotor as the operator makes them, from Run#0 to the correction: the
// trial mass on plane 1 (at the trial-mass point), then on plane 2 alone. The correction window
// is read when it comes up, with "Remove mass" chosen first when the job asks for it.
inline void TrialRuns(ProgramOnRig& p, const JobSetup& job, JobOutcome* out) {
  QVERIFY(p.Run(job.two));
  p.OnCorrection(job.two, [&job, out](CorrectionForm& c) {
    c.RadioGroup1->Item(job.remove ? 1 : 0)->click();
    out->correction = ReadCorrection(c);
  });
  for (int plane = 1; plane <= (job.two ? 2 : 1); ++plane) {
    QCOMPARE(p.rig.Clear(), QString());
    QCOMPARE(p.rig.Attach(plane, job.trial, 0.0), QString());
    QVERIFY(p.Run(job.two));
  }
  QCOMPARE(p.steps.Pending(), 0);
  QCOMPARE(p.rig.Clear(), QString());
}

// Fits the correction shown, runs the check run and reads the residual correction. `atCheck`
// acts in the correction window after the check run, before F10.
inline void CorrectAndCheck(ProgramOnRig& p, const JobSetup& job, JobOutcome* out,
                            std::function<void(CorrectionForm&)> atCheck = {}) {
  const std::vector<Fit> fits = FitsFor(out->correction, job);
  QVERIFY2(!fits.empty(), qPrintable(out->correction.text));
  for (const Fit& f : fits)
    out->fitted += QStringLiteral(" P%1 %2 g at %3").arg(f.plane).arg(f.grams).arg(f.angle);
  p.FitAll(fits);
  p.OnCorrection(job.two, [out, atCheck](CorrectionForm& c) {
    out->residualCorrection = ReadCorrection(c);
    if (atCheck) atCheck(c);
  });
  QVERIFY(p.Run(job.two));
  QCOMPARE(p.steps.Pending(), 0);
  out->initial[0] = Runs().StartV1o;
  out->initial[1] = Runs().StartV2o;
  out->residual[0] = Runs().EndV1o;
  out->residual[1] = Runs().EndV2o;
}

using tabletest::TypeInCell;

// "F8 - Int. Ratio" of the correction window shows the coefficients; "F9 - Save" stores them
// as a new record and shows the coefficient table on it, where the rotor's name is typed; F10
// leaves the table and then the entry window. `labels` gets what the entry window showed.
inline void StoreCoefficients(ProgramOnRig& p, CorrectionForm& c, const QString& name,
                              QStringList* labels) {
  const bool two = c.Mode() == BalancingMode::TwoPlane;
  AppWindows& app = p.App();
  CoeffEntryForm& entry = two ? static_cast<CoeffEntryForm&>(app.Kft2L()) : app.Kft1L();
  CoeffTableForm& table = two ? static_cast<CoeffTableForm&>(app.Kft2()) : app.Kft1();
  p.steps.Expect(&entry, [&p, &entry, &table, name, labels] {
    for (QLabel* l : {entry.LabelR11, entry.LabelR12, entry.LabelR21, entry.LabelR22,
                      entry.LabelR31, entry.LabelR32, entry.LabelR41, entry.LabelR42})
      if (l) *labels << l->text();
    p.steps.Expect(&table, [&table, name] {
      const int record = table.Browser()->CurrentRecord();
      QVERIFY(record > 0);
      QVERIFY(TypeInCell(table.DBGrid1, record - 1, QStringLiteral("Name"), name));
      QTest::keyClick(&table, Qt::Key_F10);
    });
    QTest::keyClick(&entry, Qt::Key_F9);
    QTest::keyClick(&entry, Qt::Key_F10);
  });
  QVERIFY(c.Button2->isEnabled());
  QTest::keyClick(&c, Qt::Key_F8);
}

// Picks the record named `name` in the coefficient table (it stands on the record last shown)
// and copies it into the initial data with F2.
inline void PickRotor(CoeffTableForm& table, const QString& name) {
  QCOMPARE(table.Browser()->CurrentValues().Text(QStringLiteral("Name")), name);
  QTest::keyClick(&table, Qt::Key_F2);
}

}  // namespace vintor::test
