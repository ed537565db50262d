#include "measurement/MeasState.h"

#include <cmath>

namespace vintor {
namespace {
MeasState g_meas;
ProgramPaths g_paths;
SensorSettings g_settings;
}  // namespace

MeasState& Meas() { return g_meas; }
ProgramPaths& Paths() { return g_paths; }
SensorSettings& Settings() { return g_settings; }

void ResetProgramState() {
  g_meas = MeasState{};
  g_paths = ProgramPaths{};
  g_settings = SensorSettings{};
  g_meas.NeedSighting = true;
  g_meas.StopRequested = false;
}

double ChanScale(int channel) {
  const double kpr = channel == 2 ? g_settings.Kpr2 : g_settings.Kpr1;
  // A channel without a sensitivity (no settings file) reads as silent, not as infinite.
  if (!(kpr > 0)) return 0.0;
  return AdcRangeMv / (std::pow(GainStep, g_meas.GainCode) * AdcMaxCode * kpr);
}

int16_t GainFromPeak(int32_t peak) {
  int16_t code = 0;
  if (peak < GainThr1 && peak > GainThr2) code = 1;
  if (peak <= GainThr2 && peak > GainThr3) code = 2;
  if (peak <= GainThr3) code = 3;
  return code;
}

}  // namespace vintor
