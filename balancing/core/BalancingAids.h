#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionMath.h"

namespace vintor {

// Aids beside the correction arithmetic: permissible residual unbalance, the trial-mass
// suggestion and check, and the mass-vector tools. Nothing here changes the correction itself.

// ---- Entries the operator gives for the aids, kept for the program's lifetime ----

// A zero means "not entered".
struct AidsInput {
  double RotorMass = 0.0;   // kg
  double Grade = 0.0;       // balance quality grade G, mm/s; 0: no grade chosen
  double ServiceRPM = 0.0;  // rev/min; 0: the speed of the last run
  double Share1 = 0.5;      // plane 1's part of the permissible unbalance (two-plane), 0..1
};
AidsInput& Aids();
void ResetAidsInput();

// ---- Permissible residual unbalance ----

// The balance quality grades offered, smallest first.
const std::array<double, 6>& BalanceGrades();
bool IsBalanceGrade(double grade);

struct Tolerance {
  bool valid = false;  // grade from the list, mass and speed above 0, share inside (0, 1)
  double Uper = 0.0;   // g*mm, whole rotor
  double Uper1 = 0.0;  // g*mm, plane 1 (share1 x Uper)
  double Uper2 = 0.0;  // g*mm, plane 2 (the rest)
};
// Uper = 9549 x G x m / n with G in mm/s, m in kg, n in rev/min.
Tolerance PermissibleUnbalance(double grade, double rotorMassKg, double rpm, double share1 = 0.5);

// The same from the operator's entries; without an entered service speed, `lastRunRpm`.
Tolerance ToleranceFor(const AidsInput& entries, double lastRunRpm);

enum class ToleranceVerdict { None, Within, Exceeds };
inline const QString kWithinTolerance = QStringLiteral("within tolerance");
inline const QString kExceedsTolerance = QStringLiteral("exceeds tolerance");
QString VerdictText(ToleranceVerdict verdict);  // "" for None

// A residual unbalance against its limit. `defined` is false when the residual is "n.d." (trial
// mass not in grams or no radius); then, or without a valid limit, there is no verdict. A
// residual equal to the limit is within it.
ToleranceVerdict JudgeResidual(double residual, bool defined, double limit, bool limitValid);

// The verdicts beside EditD1/EditD2 for the results of the last computation. Single-plane
// compares D1 with the whole Uper; two-plane each plane with its share.
struct ResidualVerdicts {
  ToleranceVerdict D1 = ToleranceVerdict::None;
  ToleranceVerdict D2 = ToleranceVerdict::None;
};
// A failed computation (r.ok false) gets no verdict.
ResidualVerdicts JudgeSinglePlane(const SinglePlaneResult& r, const BalancingInput& in,
                                  const Tolerance& t);
ResidualVerdicts JudgeTwoPlane(const TwoPlaneResult& r, const BalancingInput& in,
                               const Tolerance& t);

// ---- Trial mass suggestion ----

// The mass (g) whose centrifugal force at the radius and speed is a tenth of the rotor's
// weight: 0.1 x M x 9.81 / (r x w^2), r in m, w = 2 pi n / 60. Nothing unless all three are
// finite and above 0.
std::optional<double> SuggestTrialMass(double rotorMassKg, double radiusMm, double rpm);
// The hint beside a trial-mass field: "Suggested trial mass: 4.97 g", or "" when unknown.
QString TrialMassHint(double rotorMassKg, double radiusMm, double rpm);

// ---- Trial mass check ----

// A 1x vibration as measured: amplitude in mm/s, phase in degrees.
struct VibVector {
  double amplitude = 0.0;
  double phase = 0.0;
};

inline const QString kTrialEffectSmall = QStringLiteral(
    "The trial mass changed the vibration too little; use a larger trial mass or another place");

struct TrialEffect {
  bool small = false;             // every channel below both limits
  std::vector<double> change;     // |trial - reference| / |reference| per channel, 0.2 = 20 %
  std::vector<double> phaseMove;  // |phase difference| per channel, degrees 0..180
};
// Small when on every channel the vector moved by less than 20 % of the reference amplitude
// and its phase by less than 20 degrees. A zero reference amplitude is never "small".
TrialEffect CheckTrialEffect(const std::vector<VibVector>& reference,
                             const std::vector<VibVector>& trial);
// Run#1 against Run#0 on channel 1.
TrialEffect CheckSinglePlaneTrial(const RunRecords& runs);
// Run#1 (plane 1) or Run#2 (plane 2) against Run#0 on both channels.
TrialEffect CheckTwoPlaneTrial(const RunRecords& runs, int plane);

// ---- Mass vectors ----

// A mass at an angle, all at one radius. Angles in degrees, any sense as long as it is one.
struct MassAt {
  double mass = 0.0;
  double angle = 0.0;
};

// The single mass equal to several; angle 0..360 (0 when they cancel out).
MassAt CombineMasses(const std::vector<MassAt>& masses);

// Two masses at the angles a1 and a2 that together equal `m`. A negative mass means that much
// taken away at its angle (or added opposite); this happens when m lies outside the narrower
// sector between a1 and a2. Refused (ok false) when a1 and a2 are equal or 180 degrees apart.
struct TwoMassSplit {
  bool ok = false;
  MassAt first, second;
};
TwoMassSplit SplitMass(const MassAt& m, double a1, double a2);
bool SplitAnglesUsable(double a1, double a2);

// Angle in degrees into [0, 360).
double NormalizeAngle(double degrees);

}  // namespace vintor
