#pragma once

#include <QString>
#include <cstdint>

namespace vintor {

// Fixed constants of the acquisition and scaling.
inline constexpr int32_t AdcRangeMv = 5000;
inline constexpr int32_t AdcMaxCode = 2047;
inline constexpr double GainStep = 3.16227;
inline constexpr int32_t GainThr1 = 500;
inline constexpr int32_t GainThr2 = 125;
inline constexpr int32_t GainThr3 = 31;
inline constexpr int32_t DataStep = 65536;  // samples per block (16384 frames)
inline constexpr int16_t ChannelsQuantity = 4;
inline constexpr int FramesPerBlock = DataStep / ChannelsQuantity;
inline constexpr int BlockBytes = DataStep * 2;

// Working paths, set when the main window is first shown.
struct ProgramPaths {
  QString WorkDir;
  QString ArcRootDir;
  QString ArcDir;
  QString TestDatPath;
  QString TestParPath;
};

// Sensor settings in use (loaded at start from Kavero.cfg).
struct SensorSettings {
  double Kpr1 = 0.0;
  double Kpr2 = 0.0;
  double Vs1Offset = 0.0;
  double Vs2Offset = 0.0;
  double MaxV = 0.0;
};

// The one record through which windows and the measurement machinery talk. UI thread only.
struct MeasState {
  // Steering inputs.
  bool NeedSighting = false;
  int16_t GainCode = 0;
  int16_t NextGainCode = 0;
  int16_t AverNum = 0;
  int16_t Dlit = 0;
  double AdcRate = 0.0;  // kHz
  bool StopRequested = false;
  // Text of the meter's "Average circles" box: the one averaging setting of the program.
  QString AverNumText = QStringLiteral("64");

  // Results of the last cycle.
  double RPM = 0.0;
  double RevPeriod = 0.0;  // frames per revolution
  double V1o = 0.0, V2o = 0.0;
  double F1 = 0.0, F2 = 0.0;
  double V1s = 0.0, V2s = 0.0;
  int32_t AdcMean1 = 0, AdcMean2 = 0;
  int32_t AdcPeak = 0;
  bool WrongTacho = false;
  int32_t AcqStatus = 0;
  QString GainText;
};

MeasState& Meas();
ProgramPaths& Paths();
SensorSettings& Settings();

// Zero-fills every record, then applies the program-start values (sighting on, stop off).
void ResetProgramState();

// mm/s per ADC code of vibration channel 1 or 2 at the current GainCode; 0 while the channel's
// sensitivity is not set.
double ChanScale(int channel);

// Input-range code for a signal peak in ADC codes.
int16_t GainFromPeak(int32_t peak);

}  // namespace vintor
