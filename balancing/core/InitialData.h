#pragma once

// The balancing initial data without its window: the differences between the single-plane and
// the two-plane window, the show-time clearing and the checks of Continue.

#include <QString>
#include <functional>

namespace vintor {

enum class BalancingMode { SinglePlane, TwoPlane };

// What differs between the two initial-data windows, besides their controls.
struct InitialDataTable {
  BalancingMode mode;
  QString caption;
  QString selectMessage;     // "Select rotor" without usable stored coefficients
  QString massNotPositive;   // a trial mass of 0 or less
  QString massNotNumber;     // a trial mass text that is not a number
  QString bladesTooFew;      // a blade count of 2 or less
  QString bladesNotInteger;  // a blade count text that is not a whole number
};
const InitialDataTable& InitialDataTableOf(BalancingMode mode);

inline const QString kRadiusWrong = QStringLiteral("Trial mass place radius is wrong");

// What the operator chose and typed, as the window holds it.
struct InitialDataEntries {
  bool selectRotor = false;  // "Select rotor" rather than "New rotor"
  bool grams = false;        // "Gramm" rather than "Percent"
  bool blades = false;       // "Blades" rather than "Polar"
  QString EditM1, EditM2;    // trial masses (EditM2 two-plane only)
  QString Edit2;             // blade count
  QString EditD1, EditD2;    // place radii (EditD2 two-plane only)
};

// On every showing: the coefficients of the mode and both radii go back to 0.
void ClearOnShow(BalancingMode mode);
// The coefficient set of the mode: R11, R12 (single-plane) or R11 .. R42.
void ClearCoefficients(BalancingMode mode);
// "Select rotor": the stored coefficients are fit to balance with.
bool StoredCoefficientsUsable(BalancingMode mode);
// After Run#0: the trial runs can be skipped.
bool CoefficientsKnown(BalancingMode mode);

// A blade count as typed: optional sign and decimal digits only.
bool ParseWholeNumber(const QString& text, int* value);

// Continue, from the balancing choice to the radii: every check runs, each failing one calls
// `warn` with its message at once, and the balancing input receives what each step stores
// (also after a failure). True when every check passed.
bool CheckInitialData(BalancingMode mode, const InitialDataEntries& entries,
                      const std::function<void(const QString&)>& warn);

}  // namespace vintor
