#include "balancing/core/CorrectionMath.h"

#include <charconv>
#include <cmath>

#include "base/Formatting.h"

namespace vintor {
namespace {

// Degrees per radian as each computation has always used them; the results the operators
// know depend on these exact figures, so they are not unified.
constexpr double kDegSingle = 57.29577951;         // single-plane phases and angle
constexpr double kRadTwo = 0.0174444444444444444;  // two-plane phases: 3.14 / 180
constexpr double kDegTwo = 57.2829;                // two-plane angles
constexpr double kDegBlade = 57.2957;              // blade split

// 360 - A, with 360 itself written 0.
int32_t TurnToRotationSense(int32_t raw) {
  const int32_t a = 360 - raw;
  return a == 360 ? 0 : a;
}

SinglePlaneResult FailSingle(SinglePlaneResult r, CorrFailure why) {
  r.ok = false;
  r.failure = why;
  r.R11 = r.R12 = 0.0;
  return r;
}

TwoPlaneResult FailTwo(TwoPlaneResult r, CorrFailure why) {
  r.ok = false;
  r.failure = why;
  r.R.fill(0.0);
  return r;
}

}  // namespace

QString FailureCode(CorrFailure failure) {
  switch (failure) {
    case CorrFailure::None:
      return QString();
    case CorrFailure::NoTrialEffect:
      return QStringLiteral("no-trial-effect");
    case CorrFailure::TrialTooLight:
      return QStringLiteral("trial-too-light");
    case CorrFailure::Singular:
      return QStringLiteral("singular");
    case CorrFailure::WeakPlane1:
      return QStringLiteral("weak-plane1");
    case CorrFailure::Plane2TooLarge:
      return QStringLiteral("plane2-too-large");
    case CorrFailure::Plane1TooLarge:
      return QStringLiteral("plane1-too-large");
  }
  return QString();
}

SinglePlaneInput SinglePlaneInputFromRecords() {
  const BalancingInput& b = BalInput();
  const RunRecords& r = Runs();
  SinglePlaneInput in;
  in.R11 = b.R11;
  in.R12 = b.R12;
  in.TrialM1 = b.TrialM1;
  in.PlaceRadius1 = b.PlaceRadius1;
  in.Run0V1o = r.Run0V1o;
  in.Run0F1 = r.Run0F1;
  in.Run1V1o = r.Run1V1o;
  in.Run1F1 = r.Run1F1;
  return in;
}

SinglePlaneResult SolveSinglePlane(const SinglePlaneInput& in) {
  SinglePlaneResult r;
  r.R11 = in.R11;
  r.R12 = in.R12;
  // A stored coefficient with a zero component counts as unknown.
  if (in.R11 * in.R12 == 0.0) {
    r.R11 = in.Run1V1o * std::cos(in.Run1F1 / kDegSingle) -
            in.Run0V1o * std::cos(in.Run0F1 / kDegSingle);
    r.R12 = in.Run1V1o * std::sin(in.Run1F1 / kDegSingle) -
            in.Run0V1o * std::sin(in.Run0F1 / kDegSingle);
    r.derived = true;
  }

  r.K = std::sqrt(r.R11 * r.R11 + r.R12 * r.R12);
  if (!(r.K > 0.0) || !std::isfinite(r.K)) return FailSingle(r, CorrFailure::NoTrialEffect);
  r.P = 100.0 * in.Run0V1o / r.K;
  if (!(r.P < 1000.0)) return FailSingle(r, CorrFailure::TrialTooLight);

  double a;
  if (r.R11 == 0.0)
    a = in.Run0F1 + 180.0 - 90.0 * (r.R12 > 0.0 ? 1.0 : -1.0);
  else if (r.R11 > 0.0)
    a = in.Run0F1 + 180.0 - std::atan(r.R12 / r.R11) * kDegSingle;
  else
    a = in.Run0F1 - std::atan(r.R12 / r.R11) * kDegSingle;
  a = RoundHalfEven(a);
  // Into 0..359 whatever the phase; for the phases a measurement gives (0..360) this is one
  // subtraction or one addition of 360.
  a = std::fmod(a, 360.0);
  if (a < 0.0) a += 360.0;
  int32_t angle = static_cast<int32_t>(a);
  if (angle != 0) angle = 360 - angle;

  // Nothing to correct: the phase of a zero vibration is noise, so no angle is made up.
  if (r.P == 0.0) {
    r.noCorrection = true;
    angle = 0;
  }
  r.CorrAngle = angle;

  r.grams = in.TrialM1 > 0.0;
  r.M = r.grams ? r.P * in.TrialM1 / 100.0 : r.P;
  // A moment needs grams; a radius times a percentage is no g*mm figure.
  r.U = r.grams ? in.PlaceRadius1 * r.M : 0.0;
  r.ok = true;
  return r;
}

Cx RunVector(double amplitude, double phaseDeg) {
  const double rad = phaseDeg * kRadTwo;
  return {amplitude * std::cos(rad), amplitude * std::sin(rad)};
}

TwoPlaneVectors TwoPlaneVectorsFromRuns(const RunRecords& runs) {
  TwoPlaneVectors v;
  v.A0 = RunVector(runs.Run0V1o, runs.Run0F1);
  v.B0 = RunVector(runs.Run0V2o, runs.Run0F2);
  v.A1 = RunVector(runs.Run1V1o, runs.Run1F1);
  v.B1 = RunVector(runs.Run1V2o, runs.Run1F2);
  v.A2 = RunVector(runs.Run2V1o, runs.Run2F1);
  v.B2 = RunVector(runs.Run2V2o, runs.Run2F2);
  return v;
}

TwoPlaneInput TwoPlaneInputFromRecords() {
  const BalancingInput& b = BalInput();
  TwoPlaneInput in;
  in.R = {b.R11, b.R12, b.R21, b.R22, b.R31, b.R32, b.R41, b.R42};
  in.TrialM1 = b.TrialM1;
  in.TrialM2 = b.TrialM2;
  in.PlaceRadius1 = b.PlaceRadius1;
  in.PlaceRadius2 = b.PlaceRadius2;
  in.v = TwoPlaneVectorsFromRuns(Runs());
  return in;
}

int32_t TwoPlaneRawAngle(Cx v) {
  if (v.re == 0.0 && v.im == 0.0) return 0;
  double a;
  if (v.re == 0.0)
    a = RoundHalfEven(90.0 * v.im / std::fabs(v.im) + 0.5);
  else if (v.re < 0.0)
    a = RoundHalfEven(std::atan(v.im / v.re) * kDegTwo + 180.0 + 0.5);
  else
    a = RoundHalfEven(std::atan(v.im / v.re) * kDegTwo + 0.5);
  if (a < 0.0) a += 360.0;
  return static_cast<int32_t>(a);
}

TwoPlaneResult SolveTwoPlane(const TwoPlaneInput& in) {
  TwoPlaneResult r;
  r.R = in.R;
  const TwoPlaneVectors& v = in.v;
  // Signed on purpose: a stored set below 0.01 in every value counts as unknown.
  bool allSmall = true;
  for (double c : in.R) allSmall = allSmall && c < 0.01;
  if (allSmall) {
    const Cx a = v.A1 - v.A0, b = v.B1 - v.B0, g = v.A2 - v.A0, d = v.B2 - v.B0;
    r.R = {a.re, a.im, b.re, b.im, g.re, g.im, d.re, d.im};
    r.derived = true;
  }
  const Cx alpha{r.R[0], r.R[1]}, beta{r.R[2], r.R[3]};
  const Cx gamma{r.R[4], r.R[5]}, delta{r.R[6], r.R[7]};

  const Cx n = v.B0 * alpha - v.A0 * beta;
  const Cx d = beta * gamma - alpha * delta;
  const double d2 = Norm2(d);
  if (d2 == 0.0) return FailTwo(r, CorrFailure::Singular);
  const Cx nd = n * Conj(d);
  r.X = {nd.re / d2, nd.im / d2};

  const Cx t = -(v.A0 + gamma * r.X);
  const double a2 = Norm2(alpha);
  if (a2 < 0.001) return FailTwo(r, CorrFailure::WeakPlane1);
  const Cx ta = t * Conj(alpha);
  r.Y = {ta.re / a2, ta.im / a2};

  // Non-finite figures (overflowing input) fail like oversized ones.
  r.PercentP2 = RoundHalfEven(100.0 * std::sqrt(Norm2(r.X)));
  if (!(r.PercentP2 <= 999.0)) return FailTwo(r, CorrFailure::Plane2TooLarge);
  const int32_t raw2 = TwoPlaneRawAngle(r.X);
  r.PercentP1 = RoundHalfEven(100.0 * std::sqrt(Norm2(r.Y)));
  if (!(r.PercentP1 <= 999.0)) return FailTwo(r, CorrFailure::Plane1TooLarge);
  const int32_t raw1 = TwoPlaneRawAngle(r.Y);

  r.noCorrectionP1 = r.Y.re == 0.0 && r.Y.im == 0.0;
  r.noCorrectionP2 = r.X.re == 0.0 && r.X.im == 0.0;
  r.CorrAngleP1 = TurnToRotationSense(raw1);
  r.CorrAngleP2 = TurnToRotationSense(raw2);

  r.grams = in.TrialM1 > 0.0 && in.TrialM2 > 0.0;
  r.CorrMassP1 = r.grams ? r.PercentP1 * in.TrialM1 / 100.0 : r.PercentP1;
  r.CorrMassP2 = r.grams ? r.PercentP2 * in.TrialM2 / 100.0 : r.PercentP2;
  r.U1 = r.grams ? in.PlaceRadius1 * r.CorrMassP1 : 0.0;
  r.U2 = r.grams ? in.PlaceRadius2 * r.CorrMassP2 : 0.0;
  r.ok = true;
  return r;
}

int32_t ShownAngle(int32_t angle, CorrectionMethod method) {
  int32_t a = method == CorrectionMethod::RemoveMass ? angle + 180 : angle;
  if (a >= 360) a -= 360;
  return a;
}

double MassAsShown(double mass) {
  const QByteArray text = FormatMassValue(mass, QLatin1Char('.')).toLatin1();
  double v = 0.0;
  std::from_chars(text.constData(), text.constData() + text.size(), v);
  return v;
}

BladeSplit SplitToBlades(double mass, int32_t angle, int32_t bladeCount) {
  BladeSplit s;
  if (bladeCount < 3) return s;
  s.valid = true;
  const int64_t n = bladeCount;
  const int64_t phi = ((static_cast<int64_t>(angle) % 360) + 360) % 360;
  // Exact integer form of x = phi * N / 360: blade i at or before the angle, i = floor(x) + 1.
  s.i = static_cast<int32_t>(phi * n / 360 + 1);
  if ((phi * n) % 360 == 0) {
    s.massI = mass;
    return s;
  }
  s.j = s.i + 1 > bladeCount ? 1 : s.i + 1;
  const double pitch = 360.0 / static_cast<double>(n);
  const double thetaI = (s.i - 1) * pitch;
  const double thetaJ = (s.j - 1) * pitch;
  const double f = static_cast<double>(phi);
  const double sinGap = std::sin((180.0 - pitch) / kDegBlade);
  s.massI = mass * std::sin((thetaJ - f) / kDegBlade) / sinGap;
  s.massJ = mass * std::sin((f - thetaI) / kDegBlade) / sinGap;
  return s;
}

}  // namespace vintor
