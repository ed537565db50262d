#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "balancing/core/CorrectionMath.h"

namespace vintor {

// Every text the correction windows show, by control name; the windows only place them.
// Single-plane leaves the plane-2 texts alone.
struct CorrectionTexts {
  QString EditM1, EditF1, EditM2, EditF2;  // masses and angles
  QString EditD1, EditD2;                  // unbalance moments
  QString LabelM1, LabelM2;                // mass units
  QString LabelM11, LabelM12, LabelM21, LabelM22;
  QString LabelZ11, EditM11, LabelZ12, EditM12;  // plane 1 split onto blades
  QString LabelZ21, EditM21, LabelZ22, EditM22;  // plane 2 split onto blades
  QString CorrLine2;                             // two-plane result line of the log
  QString Note;                                  // why an angle of 0 means nothing, or empty
  bool BladesShown = false;                      // GroupBoxL in place of GroupBoxP

  CorrectionTexts();  // the texts the windows are created with
};

// What a computation tells the operator besides the texts: a warning for the warning window
// and lines for the run window's balancing log.
struct CorrectionOutcome {
  bool ok = false;
  QString warning;
  QStringList logLines;
};

inline const QString kNotDefined = QStringLiteral("n.d.");
inline const QString kNoCorrectionNote = QStringLiteral("No correction needed");

// Date and time as the balancing log writes them: the system's short date and long time.
QString BalancingLogStamp(const QDateTime& when);

// The single-plane correction window without its widgets. Works on BalInput(), Runs() and
// Corr(): derives or clears R11/R12, writes CorrAngle, CorrAngleShown and StartD1/EndD1.
class SinglePlaneCorrection {
 public:
  // Showing the window (and the run window's direct computation): "n.d." into mass and
  // angle, the correction, then the correction method when it succeeded.
  CorrectionOutcome Compute();
  // "Add mass" / "Remove mass": re-applied to the result held, if any.
  void SetMethod(CorrectionMethod method);
  CorrectionMethod Method() const { return method_; }
  bool HasResult() const { return valid_; }  // enables "F8 - Int. Ratio"
  const SinglePlaneResult& Result() const { return result_; }
  const CorrectionTexts& Texts() const { return texts_; }

 private:
  void ApplyMethod();

  CorrectionTexts texts_;
  SinglePlaneResult result_;
  CorrectionMethod method_ = CorrectionMethod::AddMass;
  bool valid_ = false;
};

// The two-plane correction window without its widgets. Works on BalInput(), Runs() and
// Corr(): derives or clears R11..R42, writes the CorrMass/CorrAngle values, CorrLine2 and
// StartD1/StartD2/EndD1/EndD2. The window runs the initial-data Continue before Compute.
class TwoPlaneCorrection {
 public:
  CorrectionOutcome Compute(const QDateTime& now);
  CorrectionOutcome Compute();  // stamped with the services clock
  void SetMethod(CorrectionMethod method);
  CorrectionMethod Method() const { return method_; }
  bool HasResult() const { return valid_; }  // enables "F8-Int.Ratio" and "F9 - Archive"
  const TwoPlaneResult& Result() const { return result_; }
  const CorrectionTexts& Texts() const { return texts_; }

 private:
  void ApplyMethod();

  CorrectionTexts texts_;
  TwoPlaneResult result_;
  CorrectionMethod method_ = CorrectionMethod::AddMass;
  bool valid_ = false;
};

}  // namespace vintor
