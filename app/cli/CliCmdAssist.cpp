// tolerance / trial-mass / vector: the balancing aids from the command line, as JSON.
#include <QJsonObject>
#include <QStringList>

#include "app/cli/CliCommand.h"
#include "balancing/core/BalancingAids.h"

namespace vintor::cli {
namespace {

QString GradeList() {
  QStringList names;
  for (double g : BalanceGrades()) names << QString::number(g);
  return names.join(QStringLiteral(", "));
}

// A required option holding a finite number above 0.
bool ReadRequiredPositive(const ParsedArgs& a, const QString& name, const QString& unit,
                          double& target, QString& error) {
  const auto v = a.Has(name) ? ToDouble(a.Value(name)) : std::nullopt;
  if (!v || *v <= 0.0) {
    error = QStringLiteral("--%1 needs a number greater than 0 (%2)").arg(name, unit);
    return false;
  }
  target = *v;
  return true;
}

bool CheckNoStrays(const ParsedArgs& a, QString& error) {
  if (!a.error.isEmpty()) {
    error = a.error;
    return false;
  }
  if (!a.positional.isEmpty()) {
    error = QStringLiteral("unexpected ") + a.positional[0];
    return false;
  }
  return true;
}

int RunTolerance(const QStringList& args) {
  const ParsedArgs a = ParseArgs(args,
                                 {QStringLiteral("grade"), QStringLiteral("rotor-mass"),
                                  QStringLiteral("rpm"), QStringLiteral("share")},
                                 {});
  QString error;
  if (!CheckNoStrays(a, error)) return UsageError(error);

  // "2.5", "G2.5" and "G 2.5" all name grade G 2.5.
  QString gradeText = a.Value(QStringLiteral("grade")).trimmed();
  if (gradeText.startsWith(QLatin1Char('G'), Qt::CaseInsensitive)) gradeText.remove(0, 1);
  const auto grade = a.Has(QStringLiteral("grade")) ? ToDouble(gradeText) : std::nullopt;
  if (!grade || !IsBalanceGrade(*grade))
    return UsageError(QStringLiteral("--grade needs one of G %1").arg(GradeList()));

  double mass = 0.0, rpm = 0.0, share = 0.5;
  if (!ReadRequiredPositive(a, QStringLiteral("rotor-mass"), QStringLiteral("kg"), mass, error) ||
      !ReadRequiredPositive(a, QStringLiteral("rpm"), QStringLiteral("rev/min"), rpm, error))
    return UsageError(error);
  if (a.Has(QStringLiteral("share"))) {
    const auto s = ToDouble(a.Value(QStringLiteral("share")));
    if (!s || !(*s > 0.0 && *s < 1.0))
      return UsageError(QStringLiteral(
          "--share needs plane 1's part of the unbalance, a number between 0 and 1"));
    share = *s;
  }

  const Tolerance t = PermissibleUnbalance(*grade, mass, rpm, share);
  if (!t.valid) return UsageError(QStringLiteral("the figures give no permissible unbalance"));
  QJsonObject o;
  o[QStringLiteral("Uper")] = t.Uper;
  o[QStringLiteral("Uper1")] = t.Uper1;
  o[QStringLiteral("Uper2")] = t.Uper2;
  PrintJson(o);
  return kExitOk;
}

int RunTrialMass(const QStringList& args) {
  const ParsedArgs a = ParseArgs(
      args, {QStringLiteral("rotor-mass"), QStringLiteral("radius"), QStringLiteral("rpm")}, {});
  QString error;
  if (!CheckNoStrays(a, error)) return UsageError(error);
  double mass = 0.0, radius = 0.0, rpm = 0.0;
  if (!ReadRequiredPositive(a, QStringLiteral("rotor-mass"), QStringLiteral("kg"), mass, error) ||
      !ReadRequiredPositive(a, QStringLiteral("radius"), QStringLiteral("mm"), radius, error) ||
      !ReadRequiredPositive(a, QStringLiteral("rpm"), QStringLiteral("rev/min"), rpm, error))
    return UsageError(error);
  const auto grams = SuggestTrialMass(mass, radius, rpm);
  if (!grams) return UsageError(QStringLiteral("the figures give no trial mass"));
  QJsonObject o;
  o[QStringLiteral("TrialMass")] = *grams;
  PrintJson(o);
  return kExitOk;
}

// "M@A": a mass above 0 (any unit) at an angle in degrees.
std::optional<MassAt> ToMassAt(const QString& text) {
  const QStringList parts = text.split(QLatin1Char('@'));
  if (parts.size() != 2) return std::nullopt;
  const auto m = ToDouble(parts[0]);
  const auto angle = ToDouble(parts[1]);
  if (!m || !angle || *m <= 0.0) return std::nullopt;
  return MassAt{*m, *angle};
}

int RunVectorCombine(const QStringList& words) {
  if (words.isEmpty()) return UsageError(QStringLiteral("vector combine needs M@A [M@A ...]"));
  std::vector<MassAt> masses;
  for (const QString& w : words) {
    const auto m = ToMassAt(w);
    if (!m)
      return UsageError(
          QStringLiteral("%1: a mass needs M@A, M a number greater than 0, A degrees").arg(w));
    masses.push_back(*m);
  }
  const MassAt sum = CombineMasses(masses);
  QJsonObject o;
  o[QStringLiteral("M")] = sum.mass;
  o[QStringLiteral("A")] = sum.angle;
  PrintJson(o);
  return kExitOk;
}

int RunVectorSplit(const ParsedArgs& a) {
  if (a.positional.size() != 1)
    return UsageError(QStringLiteral("vector split needs one M@A and --at A1,A2"));
  const auto m = ToMassAt(a.positional[0]);
  if (!m)
    return UsageError(QStringLiteral("%1: a mass needs M@A, M a number greater than 0, A degrees")
                          .arg(a.positional[0]));
  const QStringList at = a.Value(QStringLiteral("at")).split(QLatin1Char(','));
  double angles[2] = {0.0, 0.0};
  bool anglesOk = a.Has(QStringLiteral("at")) && at.size() == 2;
  for (qsizetype k = 0; anglesOk && k < 2; ++k) {
    const auto v = ToDouble(at[k]);
    anglesOk = v.has_value();
    angles[k] = v.value_or(0.0);
  }
  if (!anglesOk) return UsageError(QStringLiteral("--at needs two angles A1,A2 in degrees"));
  if (!SplitAnglesUsable(angles[0], angles[1]))
    return UsageError(QStringLiteral(
        "--at: the two angles must not be equal or 180 degrees apart (no split exists)"));
  const TwoMassSplit s = SplitMass(*m, angles[0], angles[1]);
  QJsonObject o;
  o[QStringLiteral("M1")] = s.first.mass;
  o[QStringLiteral("A1")] = s.first.angle;
  o[QStringLiteral("M2")] = s.second.mass;
  o[QStringLiteral("A2")] = s.second.angle;
  PrintJson(o);
  return kExitOk;
}

int RunVector(const QStringList& args) {
  if (args.isEmpty())
    return UsageError(QStringLiteral("vector needs combine M@A [M@A ...] or split M@A --at A1,A2"));
  const QString what = args[0];
  const ParsedArgs a = ParseArgs(args.mid(1), {QStringLiteral("at")}, {});
  if (!a.error.isEmpty()) return UsageError(a.error);
  if (what == QLatin1String("combine")) {
    if (a.Has(QStringLiteral("at"))) return UsageError(QStringLiteral("combine takes no --at"));
    return RunVectorCombine(a.positional);
  }
  if (what == QLatin1String("split")) return RunVectorSplit(a);
  return UsageError(QStringLiteral("vector: unknown tool %1 (combine or split)").arg(what));
}

Registrar regTolerance{{QStringLiteral("tolerance"),
                        QStringLiteral("tolerance --grade G --rotor-mass KG --rpm N [--share S]"),
                        RunTolerance}};
Registrar regTrialMass{{QStringLiteral("trial-mass"),
                        QStringLiteral("trial-mass --rotor-mass KG --radius MM --rpm N"),
                        RunTrialMass}};
Registrar regVector{{QStringLiteral("vector"),
                     QStringLiteral("vector combine M@A [M@A ...] | vector split M@A --at A1,A2"),
                     RunVector}};

}  // namespace
}  // namespace vintor::cli
