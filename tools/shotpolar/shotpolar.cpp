// A two-plane job on an eight-bladed rotor, measured on the simulated module, and a picture of
// both channels' polar diagrams after the check run: shotpolar OUT.png|OUT.jpg.
// The simulated rotor answers each run as a linear rotor would: the as-found vibration plus
// each plane's influence times the mass in that plane. Run it in an empty directory
// (tools/polar-shot.sh): it writes SimE154.cfg, Test.dat and the archive folders there.
#include <QApplication>
#include <QDir>
#include <cmath>
#include <cstdio>

#include "acquisition/AdcAcquire.h"
#include "app/core/ProgramStart.h"
#include "balancing/core/PolarDiagram.h"
#include "charts/PolarChart.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

namespace {

using namespace vintor;

constexpr double kRad = M_PI / 180.0;

Cx Polar(double amplitude, double degrees) {
  return {amplitude * std::cos(degrees * kRad), amplitude * std::sin(degrees * kRad)};
}

// The rotor in the measurement's phase sense. A mass at shown angle t (from the trial-mass
// point in the direction of rotation) acts as e^(-i t) there.
struct Rotor {
  Cx a0 = Polar(4.5, 60), b0 = Polar(2.8, 210);        // as found, channels 1 and 2
  Cx alpha = Polar(3.0, 95), beta = Polar(1.2, 140);   // per trial mass in plane 1
  Cx gamma = Polar(1.0, 320), delta = Polar(2.6, 20);  // per trial mass in plane 2
  double trial1 = 20.0, trial2 = 15.0;                 // g
};

struct Masses {
  double m1 = 0, t1 = 0, m2 = 0, t2 = 0;  // g and shown degrees per plane
};

void Answer(const Rotor& r, const Masses& m, Cx& ch1, Cx& ch2) {
  const Cx p1 = Polar(m.m1 / r.trial1, -m.t1), p2 = Polar(m.m2 / r.trial2, -m.t2);
  ch1 = r.a0 + r.alpha * p1 + r.gamma * p2;
  ch2 = r.b0 + r.beta * p1 + r.delta * p2;
}

double Amp(Cx v) { return std::hypot(v.re, v.im); }
double Phase(Cx v) {
  const double p = std::atan2(v.im, v.re) / kRad;
  return p < 0 ? p + 360 : p;
}

// One run: the simulated rotor set to the masses on it, then a measurement as a run makes it.
bool Measure(const Rotor& r, const Masses& m, int seed, bool sighting, VibVector& v1, VibVector& v2,
             double& rpm) {
  Cx ch1, ch2;
  Answer(r, m, ch1, ch2);
  const QString cfg = QStringLiteral(
                          "seed = %1\npace = 0\nch1_1x = %2\nch1_1x_phase = %3\n"
                          "ch2_1x = %4\nch2_1x_phase = %5\n")
                          .arg(seed)
                          .arg(Amp(ch1), 0, 'f', 4)
                          .arg(Phase(ch1), 0, 'f', 3)
                          .arg(Amp(ch2), 0, 'f', 4)
                          .arg(Phase(ch2), 0, 'f', 3);
  const QString path = JoinPath(Paths().WorkDir, QStringLiteral("SimE154.cfg"));
  if (!WriteTextLines(path, cfg.split(QLatin1Char('\n'), Qt::SkipEmptyParts))) return false;
  DefaultSimAdc().SetConfigFile(path);
  MeasState& s = Meas();
  s.NeedSighting = sighting || s.NeedSighting;
  s.StopRequested = false;
  Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
  MeasCycle();
  if (s.AcqStatus == -1 || s.WrongTacho) return false;
  s.NeedSighting = false;
  v1 = {s.V1o, s.F1};
  v2 = {s.V2o, s.F2};
  rpm = s.RPM;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: shotpolar OUT.png\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  ResetProgramState();
  ResetBalancingState();
  InitProgramPaths(QDir::currentPath());
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  Meas().AverNumText = QStringLiteral("32");
  BindCycleAcquisition([] { AdcAcquire(); });

  const Rotor rotor;
  BalancingInput& in = BalInput();
  in.TrialM1 = rotor.trial1;
  in.TrialM2 = rotor.trial2;
  in.PlaceRadius1 = in.PlaceRadius2 = 150.0;
  in.BladeCount = 8;
  RunRecords& runs = Runs();
  PolarHistory history;
  TwoPlaneCorrection corr;

  const auto fail = [](const char* what) {
    std::fprintf(stderr, "shotpolar: %s failed\n", what);
    return 1;
  };
  VibVector v1, v2;
  if (!Measure(rotor, {}, 1, true, v1, v2, runs.Run0RPM)) return fail("Run#0");
  runs.Run0V1o = v1.amplitude, runs.Run0F1 = v1.phase, runs.Run0V2o = v2.amplitude,
  runs.Run0F2 = v2.phase;
  history.NoteRun0(runs);
  if (!Measure(rotor, {rotor.trial1, 0, 0, 0}, 2, false, v1, v2, runs.Run1RPM))
    return fail("Run#1");
  runs.Run1V1o = v1.amplitude, runs.Run1F1 = v1.phase, runs.Run1V2o = v2.amplitude,
  runs.Run1F2 = v2.phase;
  if (!Measure(rotor, {0, 0, rotor.trial2, 0}, 3, false, v1, v2, runs.Run2RPM))
    return fail("Run#2");
  runs.Run2V1o = v1.amplitude, runs.Run2F1 = v1.phase, runs.Run2V2o = v2.amplitude,
  runs.Run2F2 = v2.phase;
  if (!corr.Compute().ok) return fail("the correction");
  std::printf("correction: %s\n", qPrintable(corr.Texts().CorrLine2));
  const Masses fitted{corr.Result().CorrMassP1, double(Corr().CorrAngleP1Shown),
                      corr.Result().CorrMassP2, double(Corr().CorrAngleP2Shown)};

  if (!Measure(rotor, fitted, 4, false, v1, v2, runs.RunCRPM)) return fail("RunC");
  runs.Run0V1o = v1.amplitude, runs.Run0F1 = v1.phase, runs.Run0V2o = v2.amplitude,
  runs.Run0F2 = v2.phase;
  history.NoteCheckRun(runs);
  std::printf("check run: %.3f mm/s, %.3f mm/s\n", v1.amplitude, v2.amplitude);
  // The coefficients of the first computation stay in BalInput() for the residual correction.
  if (!corr.Compute().ok) return fail("the residual correction");
  std::printf("residual: %s\n", qPrintable(corr.Texts().CorrLine2));

  const PolarDiagram d = BuildPolarDiagram(TwoPlanePolarJob(corr, history));
  return PolarChart::RenderDiagram(d, 320).save(out) ? 0 : 1;
}
