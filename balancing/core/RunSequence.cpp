#include "balancing/core/RunSequence.h"

#include <QStringList>

namespace vintor {

QString StepColourName(StepColour colour) {
  switch (colour) {
    case StepColour::PaleGreen:
      return QStringLiteral("pale");
    case StepColour::Green:
      return QStringLiteral("green");
    case StepColour::Lime:
      return QStringLiteral("lime");
    case StepColour::Red:
      return QStringLiteral("red");
  }
  return QString();
}

void RunSequence::Current(int k) {
  s_.group[k].enabled = true;
  s_.group[k].colour = StepColour::Green;
}

void RunSequence::Closed(int k) {
  s_.group[k].enabled = false;
  s_.group[k].colour = StepColour::Lime;
}

void RunSequence::Buttons(int k, bool on) {
  s_.group[k].runEnabled = on;
  s_.group[k].leaveEnabled = on;
}

void RunSequence::OnlyButtons(int k) {
  for (int i = kRun0; i <= kRunC; ++i) Buttons(i, i == k);
}

void RunSequence::EnableRun0Group() { Current(kRun0); }

void RunSequence::Show() {
  s_.BackToRun0 = false;
  OnlyButtons(kRun0);
  s_.RunStep = kRun0;
}

void RunSequence::Close() {
  for (int k = kRun0; k <= kRunC; ++k) Closed(k);
}

// Steps that disable their own buttons while they record: every step of the two-plane window
// but the check run, and Run#0 of the single-plane one.
static bool DisablesOwnButtons(BalancingMode mode, int k) {
  if (k == kRunC) return false;
  return mode == BalancingMode::TwoPlane || k == kRun0;
}

void RunSequence::BeginRun(int k) {
  s_.busy = true;
  repeating_ = false;
  s_.tachoLabelShown = false;
  if (DisablesOwnButtons(mode_, k)) Buttons(k, false);
}

void RunSequence::AbortRun(int k) {
  if (DisablesOwnButtons(mode_, k)) Buttons(k, true);
  s_.busy = false;
}

std::vector<AfterRun> RunSequence::AfterRunOrder(BalancingMode mode, int k) {
  using A = AfterRun;
  const bool two = mode == BalancingMode::TwoPlane;
  switch (k) {
    case kRun0:
      return {A::Outcome, A::Spectrum, A::KnownCoefficientTest};
    case kRun1:
      return {A::TrialCheck, A::Outcome, A::Spectrum};
    case kRun2:
      return {A::Spectrum, A::TrialCheck, A::Outcome};
    case kRunC:
      if (two) return {A::Spectrum, A::Outcome, A::FinishCheckRun};
      return {A::Outcome, A::Spectrum, A::FinishCheckRun};
    default:
      return {};
  }
}

bool RunSequence::IsTrialStep(BalancingMode mode, int k) {
  return k == kRun1 || (k == kRun2 && mode == BalancingMode::TwoPlane);
}

void RunSequence::RepeatStep(int k) {
  if (!IsTrialStep(mode_, k)) return;
  repeating_ = true;
  Current(k);
  Buttons(k, true);
  s_.RunStep = k;
}

OutcomeEffects RunSequence::Outcome(int k, bool success) {
  OutcomeEffects e;
  if (repeating_) return e;
  if (!success) {
    s_.group[k].colour = StepColour::Red;
    s_.tachoLabelShown = true;
    // The check run's Run button was never disabled.
    if (k != kRunC) Buttons(k, true);
    return e;
  }
  switch (k) {
    case kRun0:
      Current(kRun1);
      Closed(kRun0);
      Buttons(kRun1, true);
      s_.RunStep = kRun1;
      break;
    case kRun1:
      Closed(kRun1);
      if (TwoPlanes()) {
        Current(kRun2);
        Buttons(kRun2, true);
        s_.RunStep = kRun2;
      } else {
        Current(kRunC);
        Buttons(kRun1, false);
        Buttons(kRunC, true);
        s_.RunStep = kRunC;
        e.showCorrection = true;
      }
      break;
    case kRun2:
      Current(kRunC);
      Closed(kRun2);
      Buttons(kRunC, true);
      s_.RunStep = kRunC;
      e.enableArchive = true;
      e.showCorrection = true;
      break;
    case kRunC:
      Current(kRunC);
      if (TwoPlanes()) Closed(kRun2);
      s_.RunStep = kRunC;
      e.enableArchive = true;
      e.showCorrection = true;
      break;
    default:
      break;
  }
  return e;
}

bool RunSequence::KnownCoefficientTest(bool known) {
  if (!known) return false;
  // The Run#0 group keeps what its outcome gave it.
  Closed(kRun1);
  if (TwoPlanes()) Closed(kRun2);
  Current(kRunC);
  Buttons(kRun1, false);
  Buttons(kRunC, true);
  s_.RunStep = kRunC;
  return true;
}

void RunSequence::FinishCheckRun() {
  s_.BackToRun0 = true;
  s_.group[kRunC].leaveEnabled = false;
}

void RunSequence::Escape() {
  OnlyButtons(kRun0);
  s_.RunStep = 0;
}

void RunSequence::PrevStep(int k) {
  int back = k - 1;
  if (k == kRunC) back = s_.BackToRun0 ? kRun0 : (TwoPlanes() ? kRun2 : kRun1);
  Current(back);
  Closed(k);
  OnlyButtons(back);
  s_.RunStep = back;
}

int RunSequence::F9Step() const {
  const int k = s_.RunStep;
  if (s_.busy || !HasStep(k)) return 0;
  const StepGroupState& g = s_.group[k];
  return g.enabled && g.runEnabled ? k : 0;
}

KeyAction RunSequence::F8Action() const {
  const int k = s_.RunStep;
  if (s_.busy || !HasStep(k)) return KeyAction::Nothing;
  const StepGroupState& g = s_.group[k];
  if (!g.enabled || !g.leaveEnabled) return KeyAction::Nothing;
  return k == kRun0 ? KeyAction::Escape : KeyAction::PrevStep;
}

bool RunSequence::CanRun(int k) const {
  return !s_.busy && HasStep(k) && s_.group[k].enabled && s_.group[k].runEnabled;
}

bool RunSequence::CanLeave(int k) const {
  return !s_.busy && HasStep(k) && s_.group[k].enabled && s_.group[k].leaveEnabled;
}

QString RunSequence::Text() const {
  QStringList parts;
  parts << QStringLiteral("step=%1 back=%2 label=%3")
               .arg(s_.RunStep)
               .arg(s_.BackToRun0 ? 1 : 0)
               .arg(s_.tachoLabelShown ? 1 : 0);
  for (int k = kRun0; k <= kRunC; ++k) {
    if (!HasStep(k)) continue;
    const StepGroupState& g = s_.group[k];
    parts << QStringLiteral("%1 %2 %3 %4%5")
                 .arg(k)
                 .arg(StepColourName(g.colour),
                      g.enabled ? QStringLiteral("on") : QStringLiteral("off"),
                      g.runEnabled ? QStringLiteral("P") : QStringLiteral("-"),
                      g.leaveEnabled ? QStringLiteral("B") : QStringLiteral("-"));
  }
  return parts.join(QStringLiteral(" | "));
}

}  // namespace vintor
