// vintor-cli rig: the simulated rotor behind the simulated module, shown and changed through
// its parameter file, so that a script can balance it without windows.
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <complex>
#include <numbers>

#include "app/cli/CliCommand.h"
#include "app/cli/CliTerminal.h"
#include "platform/SimAdc.h"
#include "platform/SimRig.h"

namespace vintor::cli {
namespace {

constexpr long long kMaxBlades = 1000;

double Degrees(double radians) {
  double d = radians * 180.0 / std::numbers::pi;
  if (d < 0) d += 360.0;
  return d >= 360.0 ? d - 360.0 : d;
}

QJsonObject PolarJson(std::complex<double> v, const char* amount, const char* angle) {
  return {{QLatin1String(amount), std::abs(v)}, {QLatin1String(angle), Degrees(std::arg(v))}};
}

QJsonObject RigJson(const QString& action, const SimRig& rig) {
  QStringList problems;
  const SimConfig c = rig.Config(&problems);
  for (const QString& p : problems) PrintLine(rig.Path() + QStringLiteral(": ") + p);

  QJsonObject keys;
  for (const auto& [key, value] : rig.Keys()) keys[key] = value;
  QJsonArray planes;
  for (int j = 0; j < 2; ++j) {
    const SimPlane& p = c.Plane[j];
    QJsonArray masses;
    int index = 0;
    for (const SimMass& m : p.Masses) {
      masses.append(QJsonObject{{"index", ++index},
                                {"grams", m.Grams},
                                {"angle", m.AngleDeg},
                                {"radius", m.RadiusMm > 0 ? m.RadiusMm : p.RadiusMm}});
    }
    QJsonObject plane{
        {"plane", j + 1},
        {"radius", p.RadiusMm},
        {"unbalance", QJsonObject{{"gmm", p.Unbalance.Amount}, {"angle", p.Unbalance.AngleDeg}}},
        {"masses", masses},
        {"total", PolarJson(SimPlaneUnbalance(c, j), "gmm", "angle")}};
    planes.append(plane);
  }
  QJsonObject influence;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      influence[QStringLiteral("%1%2").arg(i + 1).arg(j + 1)] = QJsonObject{
          {"amplitude", c.Influence[i][j].Amount}, {"phase", c.Influence[i][j].AngleDeg}};
  const std::complex<double> v1 = SimVibration1x(c, 0), v2 = SimVibration1x(c, 1);

  return {{"action", action},
          {"file", rig.Path()},
          {"exists", rig.Exists()},
          {"keys", keys},
          {"rpm", c.Rpm},
          {"planes", planes},
          {"influence", influence},
          {"vibration", QJsonObject{{"V1o", std::abs(v1)},
                                    {"F1", Degrees(std::arg(v1))},
                                    {"V2o", std::abs(v2)},
                                    {"F2", Degrees(std::arg(v2))}}},
          {"problems", QJsonArray::fromStringList(problems)}};
}

std::optional<int> ReadPlane(const ParsedArgs& p) {
  const auto plane = ToInt(p.Value("plane"));
  if (!plane || (*plane != 1 && *plane != 2)) return std::nullopt;
  return int(*plane);
}

// Reads the options of "rig attach" into a mass; an error text when they are off.
QString ReadMass(const ParsedArgs& p, SimMass* mass) {
  const auto grams = ToDouble(p.Value("mass"));
  if (!grams || *grams == 0.0) return "--mass needs a number of grams other than 0";
  mass->Grams = *grams;
  if (p.Has("radius")) {
    const auto radius = ToDouble(p.Value("radius"));
    if (!radius || *radius <= 0.0) return "--radius needs a number of mm above 0";
    mass->RadiusMm = *radius;
  }
  const bool byBlade = p.Has("blade") || p.Has("blades");
  if (byBlade == p.Has("angle")) return "give either --angle DEG or --blade K --blades N";
  if (!byBlade) {
    const auto angle = ToDouble(p.Value("angle"));
    if (!angle) return "--angle needs a number of degrees";
    mass->AngleDeg = *angle;
    return QString();
  }
  const auto blades = ToInt(p.Value("blades"));
  if (!blades || *blades < 1 || *blades > kMaxBlades)
    return QStringLiteral("--blades needs a whole number from 1 to %1").arg(kMaxBlades);
  const auto blade = ToInt(p.Value("blade"));
  if (!blade || *blade < 1 || *blade > *blades)
    return QStringLiteral("--blade needs a whole number from 1 to %1").arg(*blades);
  mass->AngleDeg = SimRig::BladeAngle(int(*blade), int(*blades));
  return QString();
}

int RunRig(const QStringList& args) {
  if (args.isEmpty()) return UsageError("rig needs show, attach, remove, clear or set");
  const QString action = args.first();
  QStringList options = {"dir", "sim-file"};
  if (action == "attach")
    options << "plane"
            << "mass"
            << "angle"
            << "radius"
            << "blade"
            << "blades";
  else if (action == "remove")
    options << "plane"
            << "index";
  else if (action == "clear")
    options << "plane";
  else if (action != "show" && action != "set")
    return UsageError("unknown rig action " + action);
  const ParsedArgs p = ParseArgs(args.mid(1), options, {});
  if (!p.error.isEmpty()) return UsageError(p.error);
  if (action != "set" && !p.positional.isEmpty())
    return UsageError("unexpected argument " + p.positional.first());
  QString dir, simFile;
  if (const QString bad = ResolveWorkDir(p, &dir, &simFile, /*newSimFile=*/true); !bad.isEmpty())
    return UsageError(bad);

  SimRig rig;
  QString error;
  if (!rig.Load(simFile, &error)) {
    PrintLine(simFile + QStringLiteral(": ") + error);
    return kExitFailed;
  }

  if (action == "attach") {
    const auto plane = ReadPlane(p);
    if (!plane) return UsageError("--plane must be 1 or 2");
    SimMass mass;
    if (const QString bad = ReadMass(p, &mass); !bad.isEmpty()) return UsageError(bad);
    if (const QString bad = rig.Attach(*plane, mass); !bad.isEmpty()) return UsageError(bad);
  } else if (action == "remove") {
    const auto plane = ReadPlane(p);
    if (!plane) return UsageError("--plane must be 1 or 2");
    const auto index = ToInt(p.Value("index"));
    const int count = int(rig.Masses(*plane).size());
    if (!index || *index < 1 || *index > count)
      return UsageError(QStringLiteral("--index must be a mass of plane %1, from 1 to %2")
                            .arg(*plane)
                            .arg(count));
    rig.Remove(*plane, int(*index));
  } else if (action == "clear") {
    int plane = 0;
    if (p.Has("plane")) {
      const auto chosen = ReadPlane(p);
      if (!chosen) return UsageError("--plane must be 1 or 2");
      plane = *chosen;
    }
    rig.Clear(plane);
  } else if (action == "set") {
    if (p.positional.isEmpty()) return UsageError("rig set needs KEY=VALUE");
    // All or nothing: the file is written only when every setting is good.
    for (const QString& item : p.positional) {
      const qsizetype eq = item.indexOf(QLatin1Char('='));
      if (eq <= 0) return UsageError("rig set needs KEY=VALUE, not " + item);
      if (const QString bad = rig.Set(item.left(eq), item.mid(eq + 1)); !bad.isEmpty())
        return UsageError(bad);
    }
  }

  if (action != "show" && !rig.Save(&error)) {
    PrintLine(simFile + QStringLiteral(": ") + error);
    return kExitFailed;
  }
  PrintJson(RigJson(action, rig));
  return kExitOk;
}

Registrar reg{{"rig",
               "rig show | attach --plane 1|2 --mass G (--angle DEG | --blade K --blades N) "
               "[--radius MM] | remove --plane P --index I | clear [--plane P] | "
               "set KEY=VALUE ... [--dir WORKDIR] [--sim-file FILE]",
               RunRig}};

}  // namespace
}  // namespace vintor::cli
