// balance1 / balance2: the correction windows' arithmetic from run vectors given on the
// command line, printed as one JSON object with every text the window would show.
#include <QJsonArray>
#include <QJsonObject>
#include <array>

#include "app/cli/CliCommand.h"
#include "balancing/core/BalancingAids.h"
#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "platform/DecimalSeparator.h"

namespace vintor::cli {
namespace {

constexpr long long kMaxBlades = 1000;

struct Polar {
  double amplitude = 0.0;
  double phase = 0.0;
};

// "AMP@DEG": amplitude in mm/s (not negative), phase in degrees.
std::optional<Polar> ToPolar(const QString& text) {
  const QStringList parts = text.split(QLatin1Char('@'));
  if (parts.size() != 2) return std::nullopt;
  const auto amp = ToDouble(parts[0]);
  const auto phase = ToDouble(parts[1]);
  if (!amp || !phase || *amp < 0.0) return std::nullopt;
  return Polar{*amp, *phase};
}

// "V1@F1,V2@F2": both channels of one run.
std::optional<std::array<Polar, 2>> ToPolarPair(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 2) return std::nullopt;
  const auto ch1 = ToPolar(parts[0]);
  const auto ch2 = ToPolar(parts[1]);
  if (!ch1 || !ch2) return std::nullopt;
  return std::array<Polar, 2>{*ch1, *ch2};
}

std::optional<std::vector<double>> ToNumbers(const QString& text, qsizetype count) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != count) return std::nullopt;
  std::vector<double> out;
  for (const QString& p : parts) {
    const auto v = ToDouble(p);
    if (!v) return std::nullopt;
    out.push_back(*v);
  }
  return out;
}

// Reads a positive number option into `target`; false (after the message) when it is wrong.
bool ReadPositive(const ParsedArgs& a, const QString& name, double& target, QString& error) {
  if (!a.Has(name)) return true;
  const auto v = ToDouble(a.Value(name));
  if (!v || *v <= 0.0) {
    error = QStringLiteral("--%1 needs a number greater than 0").arg(name);
    return false;
  }
  target = *v;
  return true;
}

bool ReadRadius(const ParsedArgs& a, const QString& name, double& target, QString& error) {
  if (!a.Has(name)) return true;
  const auto v = ToDouble(a.Value(name));
  if (!v || *v < 0.0) {
    error = QStringLiteral("--%1 needs a number of 0 or more").arg(name);
    return false;
  }
  target = *v;
  return true;
}

bool ReadBlades(const ParsedArgs& a, int32_t& target, QString& error) {
  if (!a.Has(QStringLiteral("blades"))) return true;
  const auto v = ToInt(a.Value(QStringLiteral("blades")));
  // Past a few thousand blades the split is lost in rounding; no rotor comes near that.
  if (!v || *v <= 2 || *v > kMaxBlades) {
    error = QStringLiteral("--blades needs a whole number from 3 to %1").arg(kMaxBlades);
    return false;
  }
  target = static_cast<int32_t>(*v);
  return true;
}

QString MethodName(CorrectionMethod m) {
  return m == CorrectionMethod::RemoveMass ? QStringLiteral("remove") : QStringLiteral("add");
}

void PutTexts(QJsonObject& o, const CorrectionTexts& t, bool twoPlanes) {
  o[QStringLiteral("EditM1")] = t.EditM1;
  o[QStringLiteral("EditF1")] = t.EditF1;
  o[QStringLiteral("EditD1")] = t.EditD1;
  o[QStringLiteral("LabelM1")] = t.LabelM1;
  o[QStringLiteral("LabelM11")] = t.LabelM11;
  o[QStringLiteral("LabelM12")] = t.LabelM12;
  o[QStringLiteral("LabelZ11")] = t.LabelZ11;
  o[QStringLiteral("EditM11")] = t.EditM11;
  o[QStringLiteral("LabelZ12")] = t.LabelZ12;
  o[QStringLiteral("EditM12")] = t.EditM12;
  if (twoPlanes) {
    o[QStringLiteral("EditM2")] = t.EditM2;
    o[QStringLiteral("EditF2")] = t.EditF2;
    o[QStringLiteral("EditD2")] = t.EditD2;
    o[QStringLiteral("LabelM2")] = t.LabelM2;
    o[QStringLiteral("LabelM21")] = t.LabelM21;
    o[QStringLiteral("LabelM22")] = t.LabelM22;
    o[QStringLiteral("LabelZ21")] = t.LabelZ21;
    o[QStringLiteral("EditM21")] = t.EditM21;
    o[QStringLiteral("LabelZ22")] = t.LabelZ22;
    o[QStringLiteral("EditM22")] = t.EditM22;
    o[QStringLiteral("CorrLine2")] = t.CorrLine2;
  }
  o[QStringLiteral("bladesShown")] = t.BladesShown;
  o[QStringLiteral("note")] = t.Note;
}

void PutOutcome(QJsonObject& o, const CorrectionOutcome& out) {
  o[QStringLiteral("ok")] = out.ok;
  if (!out.ok) o[QStringLiteral("message")] = out.warning;
  o[QStringLiteral("log")] = QJsonArray::fromStringList(out.logLines);
}

int RunBalance1(const QStringList& args) {
  const ParsedArgs a =
      ParseArgs(args,
                {QStringLiteral("run0"), QStringLiteral("run1"), QStringLiteral("trial-mass"),
                 QStringLiteral("radius"), QStringLiteral("blades"), QStringLiteral("coeff")},
                {QStringLiteral("remove")});
  if (!a.error.isEmpty()) return UsageError(a.error);
  if (!a.positional.isEmpty()) return UsageError(QStringLiteral("unexpected ") + a.positional[0]);

  ResetBalancingState();
  BalancingInput& in = BalInput();
  RunRecords& runs = Runs();
  QString error;
  if (!ReadPositive(a, QStringLiteral("trial-mass"), in.TrialM1, error) ||
      !ReadRadius(a, QStringLiteral("radius"), in.PlaceRadius1, error) ||
      !ReadBlades(a, in.BladeCount, error))
    return UsageError(error);
  // The radius is only read with a weighed trial mass; silently dropping it would mislead.
  if (a.Has(QStringLiteral("radius")) && !a.Has(QStringLiteral("trial-mass")))
    return UsageError(QStringLiteral("--radius needs --trial-mass"));
  if (a.Has(QStringLiteral("coeff"))) {
    const auto c = ToNumbers(a.Value(QStringLiteral("coeff")), 2);
    if (!c) return UsageError(QStringLiteral("--coeff needs R11,R12"));
    in.R11 = (*c)[0];
    in.R12 = (*c)[1];
  }

  if (!a.Has(QStringLiteral("run0"))) return UsageError(QStringLiteral("--run0 is required"));
  const auto run0 = ToPolar(a.Value(QStringLiteral("run0")));
  if (!run0) return UsageError(QStringLiteral("--run0 needs AMP@DEG"));
  runs.Run0V1o = run0->amplitude;
  runs.Run0F1 = run0->phase;
  // Without a usable stored coefficient it comes from the trial run.
  if (a.Has(QStringLiteral("run1"))) {
    const auto run1 = ToPolar(a.Value(QStringLiteral("run1")));
    if (!run1) return UsageError(QStringLiteral("--run1 needs AMP@DEG"));
    runs.Run1V1o = run1->amplitude;
    runs.Run1F1 = run1->phase;
  } else if (in.R11 * in.R12 == 0.0) {
    return UsageError(QStringLiteral("--run1 is required without --coeff R11,R12 (both not 0)"));
  }

  SetDecimalSeparatorOverride(QLatin1Char('.'));
  SinglePlaneCorrection corr;
  corr.SetMethod(a.Has(QStringLiteral("remove")) ? CorrectionMethod::RemoveMass
                                                 : CorrectionMethod::AddMass);
  const CorrectionOutcome out = corr.Compute();
  const SinglePlaneResult& r = corr.Result();

  QJsonObject o;
  PutOutcome(o, out);
  if (!out.ok) o[QStringLiteral("failure")] = FailureCode(r.failure);
  // Only a trial run can be judged; with a stored coefficient alone there is none.
  o[QStringLiteral("trialEffectSmall")] =
      a.Has(QStringLiteral("run1")) && CheckSinglePlaneTrial(Runs()).small;
  o[QStringLiteral("R11")] = BalInput().R11;
  o[QStringLiteral("R12")] = BalInput().R12;
  if (out.ok) {
    o[QStringLiteral("coeffDerived")] = r.derived;
    o[QStringLiteral("K")] = r.K;
    o[QStringLiteral("P")] = r.P;
    o[QStringLiteral("M")] = r.M;
    o[QStringLiteral("unit")] = r.grams ? QStringLiteral("g") : QStringLiteral("%");
    o[QStringLiteral("CorrAngle")] = Corr().CorrAngle;
    o[QStringLiteral("CorrAngleShown")] = Corr().CorrAngleShown;
    o[QStringLiteral("method")] = MethodName(corr.Method());
    o[QStringLiteral("noCorrection")] = r.noCorrection;
    o[QStringLiteral("U")] = r.U;
  }
  PutTexts(o, corr.Texts(), false);
  PrintJson(o);
  return out.ok ? kExitOk : kExitFailed;
}

int RunBalance2(const QStringList& args) {
  const ParsedArgs a = ParseArgs(
      args,
      {QStringLiteral("run0"), QStringLiteral("run1"), QStringLiteral("run2"),
       QStringLiteral("trial-mass1"), QStringLiteral("trial-mass2"), QStringLiteral("radius1"),
       QStringLiteral("radius2"), QStringLiteral("blades"), QStringLiteral("coeffs")},
      {QStringLiteral("remove")});
  if (!a.error.isEmpty()) return UsageError(a.error);
  if (!a.positional.isEmpty()) return UsageError(QStringLiteral("unexpected ") + a.positional[0]);

  ResetBalancingState();
  BalancingInput& in = BalInput();
  RunRecords& runs = Runs();
  QString error;
  if (!ReadPositive(a, QStringLiteral("trial-mass1"), in.TrialM1, error) ||
      !ReadPositive(a, QStringLiteral("trial-mass2"), in.TrialM2, error) ||
      !ReadRadius(a, QStringLiteral("radius1"), in.PlaceRadius1, error) ||
      !ReadRadius(a, QStringLiteral("radius2"), in.PlaceRadius2, error) ||
      !ReadBlades(a, in.BladeCount, error))
    return UsageError(error);
  // Grams need both trial masses, and radii are only read then.
  const bool grams = a.Has(QStringLiteral("trial-mass1")) && a.Has(QStringLiteral("trial-mass2"));
  if (a.Has(QStringLiteral("trial-mass1")) != a.Has(QStringLiteral("trial-mass2")))
    return UsageError(QStringLiteral("give both --trial-mass1 and --trial-mass2, or neither"));
  if (!grams && (a.Has(QStringLiteral("radius1")) || a.Has(QStringLiteral("radius2"))))
    return UsageError(QStringLiteral("--radius1/--radius2 need both trial masses"));

  bool stored = false;
  if (a.Has(QStringLiteral("coeffs"))) {
    const auto c = ToNumbers(a.Value(QStringLiteral("coeffs")), 8);
    if (!c) return UsageError(QStringLiteral("--coeffs needs R11,R12,R21,R22,R31,R32,R41,R42"));
    in.R11 = (*c)[0], in.R12 = (*c)[1], in.R21 = (*c)[2], in.R22 = (*c)[3];
    in.R31 = (*c)[4], in.R32 = (*c)[5], in.R41 = (*c)[6], in.R42 = (*c)[7];
    for (double v : *c) stored = stored || !(v < 0.01);
  }

  const auto readRun = [&](const QString& name, double& v1, double& f1, double& v2,
                           double& f2) -> bool {
    const auto pair = ToPolarPair(a.Value(name));
    if (!pair) {
      error = QStringLiteral("--%1 needs V1@F1,V2@F2").arg(name);
      return false;
    }
    v1 = (*pair)[0].amplitude, f1 = (*pair)[0].phase;
    v2 = (*pair)[1].amplitude, f2 = (*pair)[1].phase;
    return true;
  };
  if (!a.Has(QStringLiteral("run0"))) return UsageError(QStringLiteral("--run0 is required"));
  if (!readRun(QStringLiteral("run0"), runs.Run0V1o, runs.Run0F1, runs.Run0V2o, runs.Run0F2))
    return UsageError(error);
  for (const auto& [name, v1, f1, v2, f2] :
       {std::tuple{QStringLiteral("run1"), &runs.Run1V1o, &runs.Run1F1, &runs.Run1V2o,
                   &runs.Run1F2},
        std::tuple{QStringLiteral("run2"), &runs.Run2V1o, &runs.Run2F1, &runs.Run2V2o,
                   &runs.Run2F2}}) {
    if (a.Has(name)) {
      if (!readRun(name, *v1, *f1, *v2, *f2)) return UsageError(error);
    } else if (!stored) {
      return UsageError(QStringLiteral("--%1 is required without --coeffs").arg(name));
    }
  }

  SetDecimalSeparatorOverride(QLatin1Char('.'));
  TwoPlaneCorrection corr;
  corr.SetMethod(a.Has(QStringLiteral("remove")) ? CorrectionMethod::RemoveMass
                                                 : CorrectionMethod::AddMass);
  const CorrectionOutcome out = corr.Compute();
  const TwoPlaneResult& r = corr.Result();

  QJsonObject o;
  PutOutcome(o, out);
  if (!out.ok) o[QStringLiteral("failure")] = FailureCode(r.failure);
  // Each trial run against Run#0; either one too weak spoils the coefficients.
  const bool small1 = a.Has(QStringLiteral("run1")) && CheckTwoPlaneTrial(Runs(), 1).small;
  const bool small2 = a.Has(QStringLiteral("run2")) && CheckTwoPlaneTrial(Runs(), 2).small;
  o[QStringLiteral("trialEffectSmall")] = small1 || small2;
  o[QStringLiteral("trialEffectSmall1")] = small1;
  o[QStringLiteral("trialEffectSmall2")] = small2;
  const BalancingInput& used = BalInput();
  o[QStringLiteral("R")] =
      QJsonArray{used.R11, used.R12, used.R21, used.R22, used.R31, used.R32, used.R41, used.R42};
  if (out.ok) {
    const CorrectionRecords& c = Corr();
    o[QStringLiteral("coeffDerived")] = r.derived;
    o[QStringLiteral("PercentP1")] = r.PercentP1;
    o[QStringLiteral("PercentP2")] = r.PercentP2;
    o[QStringLiteral("CorrMassP1")] = c.CorrMassP1;
    o[QStringLiteral("CorrMassP2")] = c.CorrMassP2;
    o[QStringLiteral("unit")] = r.grams ? QStringLiteral("g") : QStringLiteral("%");
    o[QStringLiteral("CorrAngleP1")] = c.CorrAngleP1;
    o[QStringLiteral("CorrAngleP2")] = c.CorrAngleP2;
    o[QStringLiteral("CorrAngleP1Shown")] = c.CorrAngleP1Shown;
    o[QStringLiteral("CorrAngleP2Shown")] = c.CorrAngleP2Shown;
    o[QStringLiteral("method")] = MethodName(corr.Method());
    o[QStringLiteral("noCorrection")] = r.noCorrectionP1 && r.noCorrectionP2;
    o[QStringLiteral("noCorrectionP1")] = r.noCorrectionP1;
    o[QStringLiteral("noCorrectionP2")] = r.noCorrectionP2;
    o[QStringLiteral("U1")] = r.U1;
    o[QStringLiteral("U2")] = r.U2;
  }
  PutTexts(o, corr.Texts(), true);
  PrintJson(o);
  return out.ok ? kExitOk : kExitFailed;
}

Registrar reg1{{QStringLiteral("balance1"),
                QStringLiteral("balance1 --run0 V@F --run1 V@F [--trial-mass G] [--radius MM] "
                               "[--blades N] [--coeff R11,R12] [--remove]"),
                RunBalance1}};
Registrar reg2{{QStringLiteral("balance2"),
                QStringLiteral("balance2 --run0 V1@F1,V2@F2 --run1 V1@F1,V2@F2 --run2 "
                               "V1@F1,V2@F2 [--trial-mass1 G] [--trial-mass2 G] [--radius1 MM] "
                               "[--radius2 MM] [--blades N] "
                               "[--coeffs R11,R12,R21,R22,R31,R32,R41,R42] [--remove]"),
                RunBalance2}};

}  // namespace
}  // namespace vintor::cli
