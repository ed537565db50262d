#pragma once

// The measurement cycle: an optional sighting pass and a working pass that turn recordings into
// the results of MeasState (speed, 1x amplitude and phase, broadband RMS) and Output.txt.

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "measurement/RawRecording.h"

namespace vintor {

// What the last cycle found besides the results in MeasState.
struct CycleDetails {
  bool sightingRan = false;
  bool workingRan = false;     // the working pass processed a recording
  std::vector<int32_t> marks;  // accepted marks of the last scan (frame numbers from 1)
  int32_t M = 0;
  int32_t First = 0;
  int32_t Lend = 0;
  int32_t RevLen = 0;
  int revolutionsAveraged = 0;
  bool revolutionTooLong = false;             // longer than the summing arrays: not averaged
  std::vector<int32_t> averaged1, averaged2;  // the averaged revolution, RevLen samples
};

// Where the recordings of a cycle come from and where its averaged revolution goes.
struct CycleIo {
  // Makes one recording at Paths().TestDatPath and sets Meas().AcqStatus.
  std::function<void()> acquire;
  // The Output.txt to write; empty: not written.
  QString outputPath;
  // The short pause before the averaging that lets the windows repaint their gauges.
  bool pauseBeforeAveraging = true;
  // Map the recordings instead of reading them into the cycle's buffer. Only for files at rest:
  // the program's windows let the operator start another recording while a cycle waits for
  // events, and a mapped file that is rewritten under the cycle would end the process.
  bool mapRecordings = false;
};

// Records through the acquisition bound below and writes WorkDir/Output.txt.
CycleIo DefaultCycleIo();

// The recording every window's cycle makes. The measurement knows nothing of the module: the
// program (or a test) binds the acquisition once at start. Unbound, a cycle's recording fails
// (AcqStatus -1).
void BindCycleAcquisition(std::function<void()> acquire);

// One measurement as every window makes it. A non-numeric averaging text or an unreadable
// recording throws MeasError; MeasState then holds what the cycle had set so far.
void MeasCycle();
void MeasCycle(const CycleIo& io, CycleDetails* details = nullptr);

// The averaging text of the meter as a count: a whole number, clamped to 2 .. 128.
// Throws MeasError when the text is not a whole number.
int16_t AverNumFromText(const QString& text);

// Blocks the working pass records for AverNum revolutions of RevPeriod frames.
int16_t DlitFor(double revPeriod, int averNum);

}  // namespace vintor
