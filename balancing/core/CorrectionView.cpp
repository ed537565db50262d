#include "balancing/core/CorrectionView.h"

#include <QLocale>
#include <algorithm>

#include "base/Formatting.h"
#include "platform/Services.h"

namespace vintor {
namespace {

QString BladeLabel(int32_t blade) { return QStringLiteral("Z%1=").arg(blade); }

// Unbalance moment text: only a figure in g*mm when the mass is in grams and a radius given.
QString MomentText(bool grams, double radius, double moment) {
  return grams && radius > 0.0 ? FormatPicture(moment, 1) : kNotDefined;
}

void StoreMoment(double u, double& start, double& end) {
  if (start == 0.0)
    start = u;
  else
    end = u;
}

}  // namespace

CorrectionTexts::CorrectionTexts()
    : EditM1(kNotDefined),
      EditF1(kNotDefined),
      EditM2(kNotDefined),
      EditF2(kNotDefined),
      EditD1(kNotDefined),
      EditD2(kNotDefined),
      LabelM1(QStringLiteral(" g")),
      LabelM2(QStringLiteral(" g")),
      LabelM11(QStringLiteral(" g")),
      LabelM12(QStringLiteral(" g")),
      LabelM21(QStringLiteral(" g")),
      LabelM22(QStringLiteral(" g")),
      LabelZ11(QStringLiteral("Z11")),
      EditM11(kNotDefined),
      LabelZ12(QStringLiteral("Z12")),
      EditM12(kNotDefined),
      LabelZ21(QStringLiteral("Z21")),
      EditM21(kNotDefined),
      LabelZ22(QStringLiteral("Z22")),
      EditM22(kNotDefined) {}

QString BalancingLogStamp(const QDateTime& when) {
  const QLocale locale = QLocale::system();
  // The long time format without its time-zone field: the log has always shown local time only.
  const QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  QString bare;
  bool quoted = false;
  for (QChar c : timeFormat) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c != QLatin1Char('t')) bare += c;
  }
  return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(when.time(), bare.trimmed());
}

// ---- Single plane ----

CorrectionOutcome SinglePlaneCorrection::Compute() {
  CorrectionOutcome out;
  texts_.EditM1 = kNotDefined;
  texts_.EditF1 = kNotDefined;
  texts_.Note.clear();

  BalancingInput& input = BalInput();
  result_ = SolveSinglePlane(SinglePlaneInputFromRecords());
  // The coefficient stays for the check run when derived, and is forgotten after a failure.
  input.R11 = result_.R11;
  input.R12 = result_.R12;
  valid_ = result_.ok;

  if (!result_.ok) {
    out.warning = kTrialMassWrong;
    out.logLines << kTrialMassWrongLog;
  } else {
    CorrectionRecords& corr = Corr();
    corr.CorrAngle = result_.CorrAngle;
    const QString unit = result_.grams ? QStringLiteral(" g.") : QStringLiteral(" %");
    texts_.LabelM1 = texts_.LabelM11 = texts_.LabelM12 = unit;
    texts_.EditM1 = FormatMassValue(result_.M);
    texts_.EditF1 = QString::number(result_.CorrAngle);
    StoreMoment(result_.U, corr.StartD1, corr.EndD1);
    texts_.EditD1 = MomentText(result_.grams, input.PlaceRadius1, result_.U);
    if (result_.noCorrection) texts_.Note = kNoCorrectionNote;
    ApplyMethod();
    out.ok = true;
  }
  texts_.BladesShown = input.BladeCount != 0;
  return out;
}

void SinglePlaneCorrection::SetMethod(CorrectionMethod method) {
  method_ = method;
  ApplyMethod();
}

void SinglePlaneCorrection::ApplyMethod() {
  if (!valid_) return;
  CorrectionRecords& corr = Corr();
  corr.CorrAngleShown = ShownAngle(result_.CorrAngle, method_);
  texts_.EditF1 = QString::number(corr.CorrAngleShown);
  const int32_t blades = BalInput().BladeCount;
  if (blades <= 0) return;
  const BladeSplit s = SplitToBlades(MassAsShown(result_.M), corr.CorrAngleShown, blades);
  if (!s.valid) return;
  texts_.LabelZ11 = BladeLabel(s.i);
  texts_.EditM11 = FormatMassValue(s.massI);
  texts_.LabelZ12 = BladeLabel(s.j);
  texts_.EditM12 = FormatMassValue(s.massJ);
}

// ---- Two planes ----

CorrectionOutcome TwoPlaneCorrection::Compute() { return Compute(Svc().clock->Now()); }

CorrectionOutcome TwoPlaneCorrection::Compute(const QDateTime& now) {
  CorrectionOutcome out;
  texts_.EditM1 = texts_.EditM2 = kNotDefined;
  texts_.EditF1 = texts_.EditF2 = kNotDefined;
  texts_.Note.clear();

  BalancingInput& input = BalInput();
  TwoPlaneInput in = TwoPlaneInputFromRecords();
  JobRecords& job = BalancingJob();
  // Derived from the trial runs, the coefficients hold for the whole job; after a check run the
  // runs would give (trial run - check run) instead.
  const bool cleared = std::all_of(in.R.begin(), in.R.end(), [](double c) { return c == 0.0; });
  if (job.CheckRunStored && job.TrialCoefficientsKept && cleared) in.R = job.TrialCoefficients;
  result_ = SolveTwoPlane(in);
  if (result_.ok && result_.derived && !job.CheckRunStored) {
    job.TrialCoefficients = result_.R;
    job.TrialCoefficientsKept = true;
  }
  const auto& r = result_.R;
  input.R11 = r[0], input.R12 = r[1], input.R21 = r[2], input.R22 = r[3];
  input.R31 = r[4], input.R32 = r[5], input.R41 = r[6], input.R42 = r[7];
  valid_ = result_.ok;

  if (!result_.ok) {
    out.warning = kTrialMassWrong;
    out.logLines << kTrialMassWrongLog;
  } else {
    CorrectionRecords& corr = Corr();
    corr.CorrMassP1 = result_.CorrMassP1;
    corr.CorrMassP2 = result_.CorrMassP2;
    corr.CorrAngleP1 = result_.CorrAngleP1;
    corr.CorrAngleP2 = result_.CorrAngleP2;

    const QString unit = result_.grams ? QStringLiteral(" g.") : QStringLiteral(" %");
    texts_.LabelM1 = texts_.LabelM2 = unit;
    texts_.LabelM11 = texts_.LabelM21 = texts_.LabelM12 = texts_.LabelM22 = unit;
    texts_.EditM1 = FormatMassValue(result_.CorrMassP1);
    texts_.EditM2 = FormatMassValue(result_.CorrMassP2);
    texts_.EditF1 = QString::number(result_.CorrAngleP1);
    texts_.EditF2 = QString::number(result_.CorrAngleP2);

    corr.CorrLine2 = QStringLiteral("M1=") + texts_.EditM1 + QStringLiteral(" U1=") +
                     texts_.EditF1 + QStringLiteral(" M2=") + texts_.EditM2 +
                     QStringLiteral(" U2=") + texts_.EditF2;
    texts_.CorrLine2 = corr.CorrLine2;
    out.logLines << QStringLiteral("---")
                 << QStringLiteral("Corr.Mass and angles ") + BalancingLogStamp(now)
                 << corr.CorrLine2 << QStringLiteral("---");

    StoreMoment(result_.U1, corr.StartD1, corr.EndD1);
    StoreMoment(result_.U2, corr.StartD2, corr.EndD2);
    texts_.EditD1 = MomentText(result_.grams, input.PlaceRadius1, result_.U1);
    texts_.EditD2 = MomentText(result_.grams, input.PlaceRadius2, result_.U2);

    if (result_.noCorrectionP1 && result_.noCorrectionP2)
      texts_.Note = kNoCorrectionNote;
    else if (result_.noCorrectionP1)
      texts_.Note = kNoCorrectionNote + QStringLiteral(" in plane 1");
    else if (result_.noCorrectionP2)
      texts_.Note = kNoCorrectionNote + QStringLiteral(" in plane 2");
    ApplyMethod();
    out.ok = true;
  }
  texts_.BladesShown = input.BladeCount != 0;
  return out;
}

void TwoPlaneCorrection::SetMethod(CorrectionMethod method) {
  method_ = method;
  ApplyMethod();
}

void TwoPlaneCorrection::ApplyMethod() {
  if (!valid_) return;
  CorrectionRecords& corr = Corr();
  corr.CorrAngleP1Shown = ShownAngle(result_.CorrAngleP1, method_);
  corr.CorrAngleP2Shown = ShownAngle(result_.CorrAngleP2, method_);
  texts_.EditF1 = QString::number(corr.CorrAngleP1Shown);
  texts_.EditF2 = QString::number(corr.CorrAngleP2Shown);
  const int32_t blades = BalInput().BladeCount;
  if (blades <= 0) return;
  const BladeSplit s1 =
      SplitToBlades(MassAsShown(result_.CorrMassP1), corr.CorrAngleP1Shown, blades);
  const BladeSplit s2 =
      SplitToBlades(MassAsShown(result_.CorrMassP2), corr.CorrAngleP2Shown, blades);
  if (!s1.valid || !s2.valid) return;
  // The second blade of each plane has always been shown with one decimal here.
  texts_.LabelZ11 = BladeLabel(s1.i);
  texts_.EditM11 = FormatMassValue(s1.massI);
  texts_.LabelZ12 = BladeLabel(s1.j);
  texts_.EditM12 = FormatPicture(s1.massJ, 1);
  texts_.LabelZ21 = BladeLabel(s2.i);
  texts_.EditM21 = FormatMassValue(s2.massI);
  texts_.LabelZ22 = BladeLabel(s2.j);
  texts_.EditM22 = FormatPicture(s2.massJ, 1);
}

}  // namespace vintor
