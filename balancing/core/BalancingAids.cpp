#include "balancing/core/BalancingAids.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "base/Formatting.h"

namespace vintor {
namespace {

AidsInput g_aids;

constexpr double kDeg = 180.0 / std::numbers::pi;
constexpr double kTrialLimit = 0.2;        // vector change, part of the reference amplitude
constexpr double kTrialPhaseLimit = 20.0;  // degrees

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

Cx FromPolar(double magnitude, double degrees) {
  return {magnitude * std::cos(degrees / kDeg), magnitude * std::sin(degrees / kDeg)};
}

// |a - b| folded into 0..180.
double AngleBetween(double a, double b) {
  const double d = NormalizeAngle(a - b);
  return d > 180.0 ? 360.0 - d : d;
}

}  // namespace

AidsInput& Aids() { return g_aids; }
void ResetAidsInput() { g_aids = AidsInput{}; }

double NormalizeAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0.0;
  double a = std::fmod(degrees, 360.0);
  if (a < 0.0) a += 360.0;
  // -1e-18 + 360 rounds to 360.
  return a >= 360.0 ? 0.0 : a;
}

// ---- Permissible residual unbalance ----

const std::array<double, 6>& BalanceGrades() {
  static const std::array<double, 6> grades{0.4, 1.0, 2.5, 6.3, 16.0, 40.0};
  return grades;
}

bool IsBalanceGrade(double grade) {
  for (double g : BalanceGrades())
    if (std::fabs(grade - g) <= 1e-9 * g) return true;
  return false;
}

Tolerance PermissibleUnbalance(double grade, double rotorMassKg, double rpm, double share1) {
  Tolerance t;
  if (!IsBalanceGrade(grade) || !Positive(rotorMassKg) || !Positive(rpm) ||
      !(share1 > 0.0 && share1 < 1.0))
    return t;
  t.Uper = 9549.0 * grade * rotorMassKg / rpm;
  if (!std::isfinite(t.Uper)) return t;
  t.Uper1 = t.Uper * share1;
  t.Uper2 = t.Uper - t.Uper1;
  t.valid = true;
  return t;
}

Tolerance ToleranceFor(const AidsInput& entries, double lastRunRpm) {
  const double rpm = entries.ServiceRPM > 0.0 ? entries.ServiceRPM : lastRunRpm;
  return PermissibleUnbalance(entries.Grade, entries.RotorMass, rpm, entries.Share1);
}

QString VerdictText(ToleranceVerdict verdict) {
  switch (verdict) {
    case ToleranceVerdict::Within:
      return kWithinTolerance;
    case ToleranceVerdict::Exceeds:
      return kExceedsTolerance;
    case ToleranceVerdict::None:
      break;
  }
  return QString();
}

ToleranceVerdict JudgeResidual(double residual, bool defined, double limit, bool limitValid) {
  if (!defined || !limitValid || !std::isfinite(residual)) return ToleranceVerdict::None;
  return residual <= limit ? ToleranceVerdict::Within : ToleranceVerdict::Exceeds;
}

// "Defined" is exactly when the window shows a figure rather than "n.d." in EditD1/EditD2.
ResidualVerdicts JudgeSinglePlane(const SinglePlaneResult& r, const BalancingInput& in,
                                  const Tolerance& t) {
  ResidualVerdicts v;
  if (!r.ok) return v;
  v.D1 = JudgeResidual(r.U, r.grams && in.PlaceRadius1 > 0.0, t.Uper, t.valid);
  return v;
}

ResidualVerdicts JudgeTwoPlane(const TwoPlaneResult& r, const BalancingInput& in,
                               const Tolerance& t) {
  ResidualVerdicts v;
  if (!r.ok) return v;
  v.D1 = JudgeResidual(r.U1, r.grams && in.PlaceRadius1 > 0.0, t.Uper1, t.valid);
  v.D2 = JudgeResidual(r.U2, r.grams && in.PlaceRadius2 > 0.0, t.Uper2, t.valid);
  return v;
}

// ---- Trial mass suggestion ----

std::optional<double> SuggestTrialMass(double rotorMassKg, double radiusMm, double rpm) {
  if (!Positive(rotorMassKg) || !Positive(radiusMm) || !Positive(rpm)) return std::nullopt;
  const double omega = 2.0 * std::numbers::pi * rpm / 60.0;
  const double grams = 1000.0 * 0.1 * rotorMassKg * 9.81 / (radiusMm / 1000.0 * omega * omega);
  if (!std::isfinite(grams) || !(grams > 0.0)) return std::nullopt;
  return grams;
}

QString TrialMassHint(double rotorMassKg, double radiusMm, double rpm) {
  const auto m = SuggestTrialMass(rotorMassKg, radiusMm, rpm);
  if (!m) return QString();
  return QStringLiteral("Suggested trial mass: ") + FormatMassValue(*m) + QStringLiteral(" g");
}

// ---- Trial mass check ----

TrialEffect CheckTrialEffect(const std::vector<VibVector>& reference,
                             const std::vector<VibVector>& trial) {
  TrialEffect e;
  const size_t n = std::min(reference.size(), trial.size());
  bool small = n > 0;
  for (size_t k = 0; k < n; ++k) {
    const VibVector& r = reference[k];
    const VibVector& t = trial[k];
    const Cx d = FromPolar(t.amplitude, t.phase) - FromPolar(r.amplitude, r.phase);
    const double moved = std::sqrt(Norm2(d));
    e.change.push_back(r.amplitude > 0.0 ? moved / r.amplitude
                                         : std::numeric_limits<double>::infinity());
    e.phaseMove.push_back(AngleBetween(t.phase, r.phase));
    // Written as a product so that a zero reference is never "small".
    const bool channelSmall =
        moved < kTrialLimit * r.amplitude && e.phaseMove.back() < kTrialPhaseLimit;
    small = small && channelSmall;
  }
  e.small = small;
  return e;
}

TrialEffect CheckSinglePlaneTrial(const RunRecords& runs) {
  return CheckTrialEffect({{runs.Run0V1o, runs.Run0F1}}, {{runs.Run1V1o, runs.Run1F1}});
}

TrialEffect CheckTwoPlaneTrial(const RunRecords& runs, int plane) {
  const std::vector<VibVector> ref{{runs.Run0V1o, runs.Run0F1}, {runs.Run0V2o, runs.Run0F2}};
  if (plane == 2)
    return CheckTrialEffect(ref, {{runs.Run2V1o, runs.Run2F1}, {runs.Run2V2o, runs.Run2F2}});
  return CheckTrialEffect(ref, {{runs.Run1V1o, runs.Run1F1}, {runs.Run1V2o, runs.Run1F2}});
}

// ---- Mass vectors ----

MassAt CombineMasses(const std::vector<MassAt>& masses) {
  Cx sum;
  for (const MassAt& m : masses) sum = sum + FromPolar(m.mass, m.angle);
  MassAt out;
  out.mass = std::sqrt(Norm2(sum));
  // Masses that cancel leave rounding dust whose direction means nothing.
  double scale = 0.0;
  for (const MassAt& m : masses) scale += std::fabs(m.mass);
  if (!(out.mass > 1e-12 * scale)) return MassAt{};
  out.angle = NormalizeAngle(std::atan2(sum.im, sum.re) * kDeg);
  return out;
}

bool SplitAnglesUsable(double a1, double a2) {
  if (!std::isfinite(a1) || !std::isfinite(a2)) return false;
  const double apart = std::fmod(AngleBetween(a1, a2), 180.0);
  return apart > 1e-9 && apart < 180.0 - 1e-9;
}

// m1 e^(i a1) + m2 e^(i a2) = M e^(i A), solved by components (Cramer's rule).
TwoMassSplit SplitMass(const MassAt& m, double a1, double a2) {
  TwoMassSplit s;
  if (!SplitAnglesUsable(a1, a2) || !std::isfinite(m.mass) || !std::isfinite(m.angle)) return s;
  const double gap = std::sin((a2 - a1) / kDeg);
  s.first = {m.mass * std::sin((a2 - m.angle) / kDeg) / gap, NormalizeAngle(a1)};
  s.second = {m.mass * std::sin((m.angle - a1) / kDeg) / gap, NormalizeAngle(a2)};
  s.ok = true;
  return s;
}

}  // namespace vintor
