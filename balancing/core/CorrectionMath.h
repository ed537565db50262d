#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "balancing/core/BalancingState.h"

namespace vintor {

// A vibration or coefficient vector: cosine and sine components.
struct Cx {
  double re = 0.0;
  double im = 0.0;
};
inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
inline Cx operator-(Cx a) { return {-a.re, -a.im}; }
inline Cx operator*(Cx a, Cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline Cx Conj(Cx a) { return {a.re, -a.im}; }
inline double Norm2(Cx a) { return a.re * a.re + a.im * a.im; }

enum class CorrectionMethod { AddMass, RemoveMass };

// Why a correction could not be computed. Every reason reads the same to the operator.
enum class CorrFailure {
  None,
  NoTrialEffect,   // single-plane: coefficient of length 0
  TrialTooLight,   // single-plane: 1000 % of the trial mass or more
  Singular,        // two-plane: the planes cannot be told apart (D = 0)
  WeakPlane1,      // two-plane: |alpha|^2 below 0.001
  Plane2TooLarge,  // two-plane: more than 999 % in plane 2
  Plane1TooLarge,  // two-plane: more than 999 % in plane 1
};
QString FailureCode(CorrFailure failure);  // short key for reports ("" for None)

inline const QString kTrialMassWrong = QStringLiteral("Trial mass weight is wrong");
inline const QString kTrialMassWrongLog = QStringLiteral("---Trial mass weight is wrong---");

// ---- Single plane ----

struct SinglePlaneInput {
  double R11 = 0.0, R12 = 0.0;  // stored coefficient; a zero product means "derive it"
  double TrialM1 = 0.0;         // g; 0: masses in percent
  double PlaceRadius1 = 0.0;    // mm
  double Run0V1o = 0.0, Run0F1 = 0.0;
  double Run1V1o = 0.0, Run1F1 = 0.0;
};
SinglePlaneInput SinglePlaneInputFromRecords();

struct SinglePlaneResult {
  bool ok = false;
  CorrFailure failure = CorrFailure::None;
  double R11 = 0.0, R12 = 0.0;  // coefficient used; 0 after a failure
  bool derived = false;         // taken from the runs rather than stored
  double K = 0.0;               // length of the coefficient
  double P = 0.0;               // correction mass, percent of the trial mass
  bool grams = false;           // trial mass given: M in grams
  double M = 0.0;               // correction mass in grams or percent
  int32_t CorrAngle = 0;        // 0..359
  bool noCorrection = false;    // zero correction vector: angle 0 means nothing
  double U = 0.0;               // unbalance moment, g*mm (0 unless M is in grams)
};
SinglePlaneResult SolveSinglePlane(const SinglePlaneInput& in);

// ---- Two planes ----

// Amplitude (mm/s) and phase (degrees) as a vector, with the program's 3.14/180 conversion.
Cx RunVector(double amplitude, double phaseDeg);

struct TwoPlaneVectors {
  Cx A0, B0;  // reference run, channels 1 and 2
  Cx A1, B1;  // trial mass in plane 1
  Cx A2, B2;  // trial mass in plane 2
};
TwoPlaneVectors TwoPlaneVectorsFromRuns(const RunRecords& runs);

struct TwoPlaneInput {
  std::array<double, 8> R{};  // R11, R12, R21, R22, R31, R32, R41, R42
  double TrialM1 = 0.0, TrialM2 = 0.0;
  double PlaceRadius1 = 0.0, PlaceRadius2 = 0.0;
  TwoPlaneVectors v;
};
TwoPlaneInput TwoPlaneInputFromRecords();

struct TwoPlaneResult {
  bool ok = false;
  CorrFailure failure = CorrFailure::None;
  std::array<double, 8> R{};  // coefficients used; all 0 after a failure
  bool derived = false;
  Cx X, Y;                                    // corrections of planes 2 and 1 in trial masses
  double PercentP1 = 0.0, PercentP2 = 0.0;    // whole percent
  bool grams = false;                         // both trial masses given
  double CorrMassP1 = 0.0, CorrMassP2 = 0.0;  // grams or percent
  int32_t CorrAngleP1 = 0, CorrAngleP2 = 0;   // 0..359
  bool noCorrectionP1 = false, noCorrectionP2 = false;
  double U1 = 0.0, U2 = 0.0;  // g*mm (0 unless the masses are in grams)
};
TwoPlaneResult SolveTwoPlane(const TwoPlaneInput& in);

// Raw angle of a two-plane correction vector, 0..359 before the turn to the rotation sense.
// A zero vector has no direction: 0.
int32_t TwoPlaneRawAngle(Cx v);

// ---- Shared by both windows ----

// The angle as shown: the computed one for "Add mass", the opposite one for "Remove mass".
int32_t ShownAngle(int32_t angle, CorrectionMethod method);

// The number a correction mass shows as (its FormatMassValue text read back).
double MassAsShown(double mass);

// A correction mass split onto the two blades around its angle. Blade k sits at
// (k - 1) x 360 / N degrees; i is the blade at or before the angle. When the angle falls on a
// blade the whole mass goes there and j is 0.
struct BladeSplit {
  bool valid = false;  // false for fewer than 3 blades
  int32_t i = 0, j = 0;
  double massI = 0.0, massJ = 0.0;
};
BladeSplit SplitToBlades(double mass, int32_t angle, int32_t bladeCount);

}  // namespace vintor
