#pragma once

// The run windows' sequence without widgets: which step group is current, enabled and in which
// colour, which Run and leave buttons are enabled, what F8 and F9 do next, and in which order a
// run's follow-up actions come. The windows only show this state and carry the actions out.

#include <QString>
#include <array>
#include <vector>

#include "balancing/core/InitialData.h"

namespace vintor {

// Steps as RunStep counts them: 1 Run#0, 2 Run#1, 3 Run#2 (two-plane), 4 RunC; 0 none.
inline constexpr int kRun0 = 1;
inline constexpr int kRun1 = 2;
inline constexpr int kRun2 = 3;
inline constexpr int kRunC = 4;

enum class StepColour { PaleGreen, Green, Lime, Red };

struct StepGroupState {
  bool enabled = false;
  StepColour colour = StepColour::PaleGreen;
  bool runEnabled = false;    // ButtonPk
  bool leaveEnabled = false;  // ButtonBk
};

struct RunWindowState {
  std::array<StepGroupState, 5> group{};  // 1 .. 4; 0 unused
  int RunStep = 0;
  bool BackToRun0 = false;
  bool tachoLabelShown = false;  // Label41 as the sequence leaves it
  bool busy = false;             // a run is in progress
};

// What the run window does after recording a run, in this order. TrialCheck comes before the
// outcome of a trial run: when a successful trial run changed the vibration too little, the
// operator goes on (the outcome follows) or repeats the step (RepeatStep, no outcome).
enum class AfterRun { TrialCheck, Outcome, Spectrum, KnownCoefficientTest, FinishCheckRun };

// What the outcome transition asks of the correction window.
struct OutcomeEffects {
  bool enableArchive = false;   // its "F9 - Archive"
  bool showCorrection = false;  // moved to the run window's top edge, shown modally
};

// What F8 or F9 does now.
enum class KeyAction { Nothing, Run, Escape, PrevStep };

class RunSequence {
 public:
  explicit RunSequence(BalancingMode mode) : mode_(mode) {}

  BalancingMode Mode() const { return mode_; }
  const RunWindowState& State() const { return s_; }
  bool HasStep(int k) const { return k >= kRun0 && k <= kRunC && (k != kRun2 || TwoPlanes()); }

  // Continue of the initial-data window: the tachometer label hidden (always), then, when the
  // entries passed, the Run#0 group enabled and green.
  void HideTachoLabel() { s_.tachoLabelShown = false; }
  // The measurement cycle shows and hides the same label while it runs.
  void SetTachoLabelShown(bool shown) { s_.tachoLabelShown = shown; }
  void EnableRun0Group();
  // The window becomes visible / is closed (whatever closed it).
  void Show();
  void Close();

  // A run of step k starts: the buttons the step disables before recording.
  void BeginRun(int k);
  // The run ended without an outcome (refused, a file could not be written, an error): the
  // buttons disabled by BeginRun work again and nothing else changes.
  void AbortRun(int k);
  // The run and its follow-up actions are over.
  void EndRun() { s_.busy = false; }
  static std::vector<AfterRun> AfterRunOrder(BalancingMode mode, int k);
  // Run#1, and Run#2 of the two-plane window: the runs with a trial mass.
  static bool IsTrialStep(BalancingMode mode, int k);
  // The operator repeats trial step k: it stays current with its Run and leave buttons on, and
  // the outcome of the run just made does nothing.
  void RepeatStep(int k);
  OutcomeEffects Outcome(int k, bool success);
  // After Run#0: with known coefficients the trial runs are skipped; true: show the correction.
  bool KnownCoefficientTest(bool known);
  void AfterKnownCorrection() { s_.BackToRun0 = true; }
  void FinishCheckRun();

  // Leaving a step: Escape from Run#0, Prev.step from a later one (k: the step left).
  void Escape();
  void PrevStep(int k);

  // The step whose Run button F9 presses (0: none), and what F8 does; both nothing while a run
  // is in progress or when the button is not usable.
  int F9Step() const;
  KeyAction F9Action() const { return F9Step() ? KeyAction::Run : KeyAction::Nothing; }
  KeyAction F8Action() const;
  // A click on a Run or leave button acts only while no run is in progress.
  bool CanRun(int k) const;
  bool CanLeave(int k) const;

  // Compact text of the state, for tests and logs:
  // "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 lime off --".
  QString Text() const;

 private:
  bool TwoPlanes() const { return mode_ == BalancingMode::TwoPlane; }
  void Current(int k);      // enabled, green
  void Closed(int k);       // disabled, lime
  void OnlyButtons(int k);  // Run and leave of k enabled, every other one disabled
  void Buttons(int k, bool on);

  BalancingMode mode_;
  RunWindowState s_;
  bool repeating_ = false;  // the run in progress is to be repeated: no outcome
};

QString StepColourName(StepColour colour);

}  // namespace vintor
