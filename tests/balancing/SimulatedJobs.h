#pragma once

// Balancing jobs of both modes driven by keys on the simulated module at its fast pace, in a
// working directory of their own. Trial masses are stood in for by rewriting the simulator's
// parameter file between runs (it is read at the start of every acquisition).

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cmath>
#include <memory>

#include "BalancingFixture.h"
#include "acquisition/AdcAcquire.h"
#include "app/core/ProgramStart.h"
#include "balancing/core/BalancingAids.h"
#include "balancing/core/BalancingState.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

namespace vintor::test {

// A rotation-frequency vibration: mm/s at degrees.
struct Vib {
  double amp, phase;
};
inline Vib operator+(Vib a, Vib b) {
  const double r = M_PI / 180.0;
  const double x = a.amp * std::cos(a.phase * r) + b.amp * std::cos(b.phase * r);
  const double y = a.amp * std::sin(a.phase * r) + b.amp * std::sin(b.phase * r);
  double p = std::atan2(y, x) / r;
  if (p < 0) p += 360;
  return {std::hypot(x, y), p};
}

// The rotor as found, the effects of the trial masses in planes 1 and 2, and what is left after
// the correction, on channels 1 and 2.
inline const Vib kA0{4.5, 60}, kB0{2.0, 200};
inline const Vib kTrial1A{3.0, 150}, kTrial1B{1.0, 30};
inline const Vib kTrial2A{1.0, 300}, kTrial2B{2.5, 100};
inline const Vib kLeftA{0.3, 100}, kLeftB{0.2, 10};

// Derive a QtTest class from QObject and this; call Start from init and Finish from cleanup.
// Every showing of a correction window must have been expected of its answerer.
class SimulatedJobs {
 protected:
  void Start(QChar decimalSeparator) {
    ResetProgramState();
    ResetBalancingState();
    ResetAidsInput();
    ResetServices();
    BindCycleAcquisition([] { AdcAcquire(); });
    dialogs_ = RecordingDialogs();
    shell_ = RecordingShell();
    Svc().dialogs = &dialogs_;
    Svc().shell = &shell_;
    Svc().clock = &clock_;
    SetDecimalSeparatorOverride(decimalSeparator);
    dir_ = std::make_unique<CurrentTempDir>();
    InitProgramPaths(dir_->path());
    Settings() = SensorSettings{20, 20, 0, 0, 100};
    // The two-plane windows change the current directory: the file is named in full.
    sim_.SetConfigFile(dir_->filePath("SimE154.cfg"));
    SetAdcLibrary(&sim_);
    Rig(kA0, kB0);
    w_ = std::make_unique<BalancingWindows>();
    answer1_ = std::make_unique<CorrectionAnswerer>(&w_->b12);
    answer2_ = std::make_unique<CorrectionAnswerer>(&w_->b22);
  }

  void Finish() {
    for (const auto* a : {answer1_.get(), answer2_.get()}) {
      if (!a) continue;
      QCOMPARE(a->unexpected, 0);
      QCOMPARE(a->Pending(), 0);
    }
    answer1_.reset();
    answer2_.reset();
    w_.reset();
    SetAdcLibrary(nullptr);
    BindCycleAcquisition(nullptr);
    dir_.reset();
    SetDecimalSeparatorOverride(QChar());
    ResetServices();
    ResetAidsInput();
  }

  // The rotor of the next runs; `extra` adds lines to the parameter file.
  void Rig(Vib a, Vib b, const QString& extra = QString()) {
    QFile f(dir_->filePath("SimE154.cfg"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral(
                             "pace = 0\nrpm = 1500\nrpm_wander = 0\nch1_noise = 0.05\n"
                             "ch2_noise = 0.05\nch1_1x = %1\nch1_1x_phase = %2\nch2_1x = %3\n"
                             "ch2_1x_phase = %4\n")
                             .arg(a.amp)
                             .arg(a.phase)
                             .arg(b.amp)
                             .arg(b.phase) +
                         extra;
    f.write(text.toUtf8());
  }

  // Continue of the initial-data window with `fields`: "gramm", "select" and "blades" choose
  // the second item of their radio group, "Name=text" types into a field (the second plane's
  // fields are passed over in a single-plane job).
  void StartJob(bool two, const QStringList& fields) {
    InitialDataForm& f = w_->Initial(two);
    if (!f.isVisible()) Show(&f);
    for (const QString& e : fields) {
      if (e == "gramm") f.RadioGroup1->Item(1)->click();
      if (e == "select") f.RadioGroup0->Item(1)->click();
      if (e == "blades") f.RadioGroup2->Item(1)->click();
      if (!e.contains('=')) continue;
      const QString name = e.section('=', 0, 0);
      auto* field = Control<QLineEdit>(&f, name);
      QVERIFY2(field || (!two && Control<QLineEdit>(&w_->Initial(true), name)), qPrintable(e));
      if (field) field->setText(e.section('=', 1));
    }
    Press(&f, Qt::Key_F9);
    QVERIFY(w_->Runs(two).isVisible());
  }

  void Press(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
  void Show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
  }
  CorrectionAnswerer& Answer(bool two) { return two ? *answer2_ : *answer1_; }

  std::unique_ptr<CurrentTempDir> dir_;
  std::unique_ptr<BalancingWindows> w_;
  std::unique_ptr<CorrectionAnswerer> answer1_, answer2_;
  RecordingDialogs dialogs_;
  RecordingShell shell_;
  FixedClock clock_;
  SimAdcLibrary sim_;
};

}  // namespace vintor::test
