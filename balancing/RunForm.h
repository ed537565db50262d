#pragma once

#include <array>
#include <functional>

#include "balancing/core/PolarDiagram.h"
#include "balancing/core/RunRecording.h"
#include "balancing/core/RunSequence.h"
#include "kit/WindowKit.h"
#include "measurement/MeasObserver.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vintor {

class InitialDataForm;
class CorrectionForm;
class PolarPanel;
class SignalChart;
class SpectrumChart;

// What differs between the single-plane and the two-plane run window, besides the mode.
struct RunFormTable {
  BalancingMode mode;
  QString name;
  QString caption;
  std::array<QString, 5> groupCaption;  // steps 1 .. 4
  std::array<QString, 5> leaveCaption;
  std::array<QString, 5> leaveHint;
  std::array<QString, 5> runHint;
};

// The controls of one step group.
struct StepControls {
  QGroupBox* group = nullptr;
  QLineEdit* EditN = nullptr;
  QLineEdit* EditV1 = nullptr;
  QLineEdit* EditF1 = nullptr;
  QLineEdit* EditV2 = nullptr;   // two-plane only
  QLineEdit* EditF2 = nullptr;   // two-plane only
  QPushButton* run = nullptr;    // ButtonPk
  QPushButton* leave = nullptr;  // ButtonBk
};

// The balancing run window, one mechanism for both modes (FormB11, FormB21): it leads through
// Run#0, the trial runs and the check run, records every run and shows the correction window
// when the data for a correction are complete. The sequence itself is RunSequence; this window
// shows its state and carries out the actions it names.
class RunForm : public KitDialog, public MeasObserver, private RunRecordSink {
  Q_OBJECT
 public:
  RunForm(QWidget* parent, const RunFormTable& table);

  BalancingMode Mode() const { return mode_; }
  // The initial-data and correction windows of the mode (set once by the composition root).
  void SetWindows(InitialDataForm* initial, CorrectionForm* correction);

  const StepControls& Step(int k) const { return steps_.at(static_cast<size_t>(k)); }
  QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4;  // GroupBox3: two-plane only
  QPushButton *ButtonP1, *ButtonP2, *ButtonP3, *ButtonP4;
  QPushButton *ButtonB1, *ButtonB2, *ButtonB3, *ButtonB4;
  QLabel* Label41;  // " Wrong tachometer signal! Try step again! "
  QProgressBar* Gauge1;
  QPushButton* Button2;    // "View archieves"
  QPushButton* Button1;    // "F10 - Exit"
  QPushButton* RunSpkBtn;  // hidden: the spectrum step
  QPlainTextEdit* Memo1;   // the balancing log
  SignalChart* Chart1;
  SpectrumChart* Chart2;
  // Room beside the steps for balancing aids; empty and hidden until something is put there.
  QWidget* AidArea;
  // The polar diagram of the job there, redrawn after every run and every correction.
  PolarPanel* Polar;

  // "View archieves": the balancing archive of the mode, shown without being modal. Unset:
  // nothing happens.
  std::function<void()> viewArchives;
  // Called once a run is recorded and all its follow-up actions are done (step, outcome).
  std::function<void(int step, bool success)> onRunRecorded;
  // The measurement every run makes; tests put a stand-in here. Unset: MeasCycle.
  std::function<void()> measure;

  const RunSequence& Sequence() const { return seq_; }
  // Run#0 and the check runs of the job shown, for the polar diagrams.
  const PolarHistory& History() const { return history_; }
  bool Running() const { return seq_.State().busy; }

  // Continue of the initial-data window.
  void HideTachoLabel();
  void EnableRun0Group();

  // Run step k (ButtonPk, or F9 on the current step) and leaving it (ButtonBk, or F8).
  void RunStep(int k);
  void LeaveStep(int k);
  void Button1Click();  // Exit
  void Button2Click();  // View archieves
  void RunSpkBtnClick();
  void AppendLog(const QString& line) override;

  // MeasObserver: the gauge and the tachometer warning label of this window.
  void GaugesSetMax(int max) override;
  void GaugesSetProgress(int value) override;
  void GaugesStep() override;
  void WrongTachoShown(bool shown) override;

 protected:
  void FormShow() override;
  void FormClose() override;

 private:
  // RunRecordSink.
  bool Abandoned() const override { return abandoned_; }
  void ShowFields(int step, const RunFieldTexts& texts) override;
  QStringList CorrectionTexts(bool compute) override;
  QStringList LogLines() const override;

  void Apply();  // shows the sequence's state
  void RefreshPolar();
  // A successful trial run that changed the vibration too little: true when the operator
  // repeats the step.
  bool RepeatTrialRun(int k);
  void ShowCorrection();
  void ClearAmplitudes(int k);
  QWidget* MakeStep(int k, const RunFormTable& table);

  BalancingMode mode_;
  RunSequence seq_;
  std::array<StepControls, 5> steps_{};
  InitialDataForm* initial_ = nullptr;
  CorrectionForm* correction_ = nullptr;
  bool abandoned_ = false;
  PolarHistory history_;
  bool correctionInJob_ = false;  // the correction window computed since this window was shown
};

}  // namespace vintor
