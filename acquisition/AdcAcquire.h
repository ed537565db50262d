#pragma once

#include <QString>

namespace vintor {

// Records one measurement from the ADC module into the raw data file (Paths().TestDatPath) and
// its gain code into WorkDir/Test.par. Reads Meas().Dlit, GainCode, AdcRate and StopRequested;
// sets Meas().GainText and Meas().AcqStatus (1 done, -1 failed or stopped). Runs on the UI
// thread and returns when the recording is over, letting the UI process events once per block.
// A call made while a recording runs (from an event processed meanwhile) is refused at once with
// AcqStatus -1 and a device-log line; the running recording goes on.
void AdcAcquire();

// Opens the module and programs the ADC. False when the set-up failed (already reported and
// released); a missing module also sets the thread error to 14.
bool AdcConnect();

// Releases the module, the data file and the sample buffers; shows `message` in a message box
// captioned "Error !!! " unless it is " ".
void AdcRelease(const QString& message);

// Entry point of the acquisition thread: streams the blocks into the data file. Returns 0.
int ReadThread();

// The device-log line for a thread error code.
QString AdcThreadErrorText(int code);

}  // namespace vintor
