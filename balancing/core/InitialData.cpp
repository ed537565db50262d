#include "balancing/core/InitialData.h"

#include <cmath>
#include <limits>
#include <vector>

#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "base/Formatting.h"

namespace vintor {
namespace {

const InitialDataTable kSingle{
    BalancingMode::SinglePlane,
    QStringLiteral("Single Plane balancing, initial data"),
    QStringLiteral("Select primary or repeated balancing"),
    QStringLiteral("Trial mass is wrong "),
    QStringLiteral("Trial mass  is wrong "),
    QStringLiteral("Blades quantity is wrong"),
    QStringLiteral("Blades  quantity is wrong"),
};

const InitialDataTable kTwo{
    BalancingMode::TwoPlane,
    QStringLiteral("Two-Plane balancing, initial data"),
    QStringLiteral("Select new rotor"),
    QStringLiteral("Trial weight is wrong "),
    QStringLiteral("Trial weight is wrong "),
    QStringLiteral("Vanes quantity is wrong"),
    QStringLiteral("Vanes quantity is wrong"),
};

bool TwoPlanes(BalancingMode mode) { return mode == BalancingMode::TwoPlane; }

// Trial masses in grams: parsed into TrialM1 (then TrialM2), each stored before it is tested.
bool CheckTrialMasses(const InitialDataTable& t, const InitialDataEntries& e,
                      const std::function<void(const QString&)>& warn) {
  BalancingInput& in = BalInput();
  double m = 0.0;
  if (!ParseNumber(e.EditM1, &m)) {
    warn(t.massNotNumber);
    return false;
  }
  in.TrialM1 = m;
  if (TwoPlanes(t.mode)) {
    if (!ParseNumber(e.EditM2, &m)) {
      warn(t.massNotNumber);
      return false;
    }
    in.TrialM2 = m;
  }
  const bool positive = in.TrialM1 > 0.0 && (!TwoPlanes(t.mode) || in.TrialM2 > 0.0);
  if (!positive) {
    warn(t.massNotPositive);
    return false;
  }
  return true;
}

bool CheckBlades(const InitialDataTable& t, const InitialDataEntries& e,
                 const std::function<void(const QString&)>& warn) {
  int n = 0;
  if (!ParseWholeNumber(e.Edit2, &n)) {
    warn(t.bladesNotInteger);
    return false;
  }
  BalInput().BladeCount = n;
  if (n <= 2) {
    warn(t.bladesTooFew);
    return false;
  }
  return true;
}

// Radii of the mode, plane 1 then plane 2. A field still holding "n.d." gives no radius (0);
// a text that is not a number ends the step.
bool CheckRadii(BalancingMode mode, const InitialDataEntries& e,
                const std::function<void(const QString&)>& warn) {
  BalancingInput& in = BalInput();
  struct Field {
    const QString* text;
    double* radius;
  };
  std::vector<Field> fields{{&e.EditD1, &in.PlaceRadius1}};
  if (TwoPlanes(mode)) fields.push_back({&e.EditD2, &in.PlaceRadius2});

  for (const Field& f : fields) {
    if (*f.text == kNotDefined) continue;
    double r = 0.0;
    if (!ParseNumber(*f.text, &r)) {
      warn(kRadiusWrong);
      return false;
    }
    *f.radius = r;
  }
  bool ok = true;
  for (const Field& f : fields)
    if (*f.radius < 0.0) ok = false;
  if (!ok) warn(kRadiusWrong);
  for (const Field& f : fields)
    if (*f.text == kNotDefined) *f.radius = 0.0;
  return ok;
}

}  // namespace

const InitialDataTable& InitialDataTableOf(BalancingMode mode) {
  return TwoPlanes(mode) ? kTwo : kSingle;
}

void ClearOnShow(BalancingMode mode) {
  ClearCoefficients(mode);
  BalInput().PlaceRadius1 = 0.0;
  BalInput().PlaceRadius2 = 0.0;
}

void ClearCoefficients(BalancingMode mode) {
  BalancingInput& in = BalInput();
  in.R11 = in.R12 = 0.0;
  if (TwoPlanes(mode)) in.R21 = in.R22 = in.R31 = in.R32 = in.R41 = in.R42 = 0.0;
}

bool StoredCoefficientsUsable(BalancingMode mode) {
  const BalancingInput& in = BalInput();
  // Two-plane looks at the first pair only.
  if (TwoPlanes(mode)) return !(in.R11 * in.R11 < 0.0001 || in.R12 * in.R12 < 0.0001);
  return !(std::fabs(in.R11) < 0.001 || std::fabs(in.R12) < 0.001);
}

bool CoefficientsKnown(BalancingMode mode) {
  const BalancingInput& in = BalInput();
  if (TwoPlanes(mode)) return in.R11 * in.R11 > 0.0001 || in.R12 * in.R12 > 0.0001;
  return std::fabs(in.R11) > 0.001 || std::fabs(in.R12) > 0.001;
}

bool ParseWholeNumber(const QString& text, int* value) {
  int i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    v = v * 10 + (c.unicode() - '0');
    if (v > std::numeric_limits<int>::max()) return false;
  }
  *value = static_cast<int>(negative ? -v : v);
  return true;
}

bool CheckInitialData(BalancingMode mode, const InitialDataEntries& e,
                      const std::function<void(const QString&)>& warn) {
  const InitialDataTable& t = InitialDataTableOf(mode);
  BalancingInput& in = BalInput();
  bool ok = true;

  if (e.selectRotor) {
    if (!StoredCoefficientsUsable(mode)) {
      warn(t.selectMessage);
      ok = false;
    }
  } else {
    ClearCoefficients(mode);
  }

  if (e.grams) {
    if (!CheckTrialMasses(t, e, warn)) ok = false;
  } else {
    in.TrialM1 = 0.0;
    in.TrialM2 = 0.0;
  }

  if (e.blades) {
    if (!CheckBlades(t, e, warn)) ok = false;
  } else {
    in.BladeCount = 0;
  }

  // Radii only with the trial mass in grams; otherwise they keep what they hold.
  const bool grams = in.TrialM1 > 0.0 && (!TwoPlanes(mode) || in.TrialM2 > 0.0);
  if (grams && !CheckRadii(mode, e, warn)) ok = false;
  return ok;
}

}  // namespace vintor
