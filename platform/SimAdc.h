#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <complex>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/AdcLibrary.h"

namespace vintor {

// The calls of the simulated library that a test can make fail.
enum class SimCall {
  None,
  CreateLInstance,
  OpenLDevice,
  ReleaseLInstance,
  GetModuleHandle,
  GetModuleName,
  GetUsbSpeed,
  GET_ADC_PARS,
  SET_ADC_PARS,
  START_ADC,
  STOP_ADC,
  ReadData,
  GET_MODULE_DESCRIPTION,
  CancelIo,
};

// One vibration channel of the simulated rotor. Velocities in mm/s.
//
// The 1x component is v1(a) = Amp1x * 11.28 / 8 * cos(a - Phase1x), with a the rotation angle
// after the tachometer mark (the falling edge of its pulse). The program takes that component
// from 16 points of the averaged revolution and divides their sum by 11.28, so it reads back
// Amp1x at Phase1x: the angle after the mark at which the 1x velocity peaks. (Its 16 points
// start one frame after the mark and lie a little closer than 22.5 degrees, so the phase reads
// about half a degree low at 1480 rev/min, less at lower speeds.)
// Harmonic k (2, 3) is sqrt(2) * AmpKx * cos(k * a - PhaseKx): AmpKx is its true RMS value.
struct SimChannel {
  double Amp1x = 0.0;
  double Phase1x = 0.0;  // degrees
  double Amp2x = 0.0;
  double Phase2x = 0.0;
  double Amp3x = 0.0;
  double Phase3x = 0.0;
  double Noise = 0.0;         // RMS of white broadband vibration
  double DcCodes = 0.0;       // offset added to the codes
  double Sensitivity = 20.0;  // sensor, mV per mm/s
};

// "amount@degrees" in the parameter file.
struct SimPolar {
  double Amount = 0.0;
  double AngleDeg = 0.0;
};

// A mass on the rotor. Its angle, like every rotor angle here, is counted from the trial-mass
// point in the direction of rotation, as the correction windows count theirs. A negative mass
// is material taken off.
struct SimMass {
  double Grams = 0.0;
  double AngleDeg = 0.0;
  double RadiusMm = 0.0;  // 0: the plane's radius
};

// A correction plane: its unbalance as found (g*mm at degrees) and the masses attached to it.
struct SimPlane {
  SimPolar Unbalance;
  std::vector<SimMass> Masses;
  double RadiusMm = 100.0;  // for masses given without a radius
};

// What the tachometer does wrong. A bouncing contact follows each pulse by a few short extra
// pulses, the last ending between a third of the bounce time and all of it after the mark.
enum class SimTachoFault { None, NoSignal, Bounce };

struct SimConfig {
  // Rotor (defaults: a fan at about 1480 rev/min).
  uint64_t Seed = 1;
  double Rpm = 1480.0;
  double RpmWander = 0.5;   // rev/min RMS of the slow random speed drift
  double WanderTime = 3.0;  // s, how long the drift takes to change
  SimChannel Ch1{4.5, 60.0, 0.9, 30.0, 0.35, 140.0, 0.6, 6.0, 20.0};
  SimChannel Ch2{2.8, 210.0, 0.5, 300.0, 0.2, 75.0, 0.5, -3.0, 20.0};
  // Two correction planes behind the fixed 1x parts above. Influence[i][j]: the 1x vector at
  // channel i + 1 per 1000 g*mm in plane j + 1, mm/s at degrees. A plane's own bearing answers
  // most; the defaults make a job with the default 1x parts need about 3 g at 100 mm.
  SimPlane Plane[2];
  SimPolar Influence[2][2] = {{{15.0, 30.0}, {5.0, 120.0}}, {{4.0, 250.0}, {12.0, 200.0}}};
  double TachoHeightMv = 3000.0;  // pulse height at the tachometer input
  double TachoWidthDeg = 15.0;    // pulse length in degrees of rotation, ending at the mark
  double TachoNoiseMv = 3.0;
  SimTachoFault TachoFault = SimTachoFault::None;
  double TachoBounceMs = 3.0;  // the longest bounce
  // Timing: 1 = real time, N = N times faster, 0 = as fast as possible.
  double Pace = 1.0;
  // Fills each block with its number (first two samples, low word first) and a cheap pattern
  // instead of the rotor, so a reader can check that no block was lost or reordered.
  bool CounterPattern = false;
  bool UsbHighSpeed = false;

  // Faults.
  int ModuleSlot = 0;  // the module answers at this virtual slot only; 127 or more: no module
  std::string ModuleName = "E154";
  uint32_t DllVersion = kAdcLibraryVersion;
  SimCall FailCall = SimCall::None;  // this call always fails
  int StopFailAt = 0;                // the n-th STOP_ADC call (from 1) reports failure; 0: none
  int ReadFailAt = 0;                // the n-th ReadData call is refused
  int ReadHangAt = 0;                // the n-th block never arrives
};

// Reads "key = value" lines ('#' starts a comment) over `config`. Returns one message per line
// it could not use (per entry of a mass list); the other lines and entries still apply.
QStringList ParseSimConfig(const QString& text, SimConfig* config);
// Whether the parameter file knows `key` (lower case).
bool IsSimConfigKey(const QString& key);
// A mass list "m@a@r; m@a; ...": the masses it could read go to `masses`, the entries it
// could not to `bad`.
void ParseSimMasses(const QString& text, std::vector<SimMass>* masses, QStringList* bad);
QString FormatSimMasses(const std::vector<SimMass>& masses);
// The shortest text that reads back as the same double (C locale).
QString FormatSimNumber(double value);

// The plane's unbalance (plane 0 or 1): as found plus every mass, g*mm as a complex number
// whose argument is the rotor angle.
std::complex<double> SimPlaneUnbalance(const SimConfig& config, int plane);
// What the planes' unbalances add to channel 0 or 1: the 1x vector in mm/s whose argument is
// the measured phase. Zero when no plane carries unbalance.
std::complex<double> SimUnbalanceResponse(const SimConfig& config, int channel);
// The whole 1x vector of a channel: its fixed part plus the unbalance response.
std::complex<double> SimVibration1x(const SimConfig& config, int channel);
// The name of a tachometer fault as the parameter file spells it ("none", "no_signal",
// "bounce"), and back.
QString SimTachoFaultName(SimTachoFault fault);
bool SimTachoFaultFromName(const QString& name, SimTachoFault* fault);
// The name of a SimCall as the parameter file spells it ("SET_ADC_PARS"...), and back.
QString SimCallName(SimCall call);
bool SimCallFromName(const QString& name, SimCall* call);

// The simulated E-154 library. Each CreateLInstance takes its parameters from a fixed SimConfig
// when one was set, else from the parameter file (default: "SimE154.cfg" in the current
// directory; defaults when it is absent).
class SimAdcLibrary final : public AdcLibrary {
 public:
  static constexpr const char* kDefaultFile = "SimE154.cfg";

  SimAdcLibrary() = default;
  ~SimAdcLibrary() override;

  void SetConfig(const SimConfig& config);
  void SetConfigFile(const QString& path);  // empty: kDefaultFile in the current directory
  void UseConfigFile();                     // drops a config set by SetConfig

  uint32_t GetDllVersion() override;
  ILE154* CreateLInstance(const char* deviceName) override;
  bool CancelIo(AdcDeviceHandle handle) override;

  // What the tests look at.
  int LiveInstances() const { return live_.load(); }
  int OpenAttempts() const { return openAttempts_.load(); }
  int BlocksDelivered() const { return blocksDelivered_.load(); }
  AdcParsE154 LastSetPars() const;
  QStringList LastConfigErrors() const;

 private:
  friend class SimE154;
  SimConfig CurrentConfig();

  mutable std::mutex mutex_;
  bool fixed_ = false;
  SimConfig config_;
  QString file_;
  QStringList configErrors_;
  AdcParsE154 lastSetPars_;
  std::set<void*> instances_;
  uint64_t recordings_ = 0;  // instances created since the last configuration
  std::atomic<int> live_{0};
  std::atomic<int> openAttempts_{0};
  std::atomic<int> blocksDelivered_{0};
};

// The process-wide simulated library: the default AdcLib() on this platform.
SimAdcLibrary& DefaultSimAdc();
// Whether the ADC library in use is the simulated module (no real library was installed).
bool SimulatedModuleInUse();

}  // namespace vintor
