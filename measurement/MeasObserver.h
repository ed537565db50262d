#pragma once

#include <QString>

namespace vintor {

// How the acquisition and the measurement cycle reach the windows: the device log, the progress
// gauges of the four measuring windows (moved together), the wrong-tachometer indicators and the
// chance to let the user interface process its events. Every method has a quiet default.
class MeasObserver {
 public:
  virtual ~MeasObserver() = default;
  virtual void LogLine(const QString& /*line*/) {}
  virtual void GaugesSetMax(int /*max*/) {}
  virtual void GaugesSetProgress(int /*value*/) {}
  virtual void GaugesStep() {}
  // Shown or hidden together: the meter's Label5 and LabelN1 colour, the runs windows' Label41.
  virtual void WrongTachoShown(bool /*shown*/) {}
  // The charts window's V1o/V2o labels when the sighting pass finds no speed.
  virtual void ChartsResultLabels(const QString& /*v1*/, const QString& /*v2*/) {}
  virtual void ProcessEvents() {}
};

// The observer in use; a quiet one until the composition root or a test installs another.
MeasObserver& Observer();
void SetObserver(MeasObserver* observer);

}  // namespace vintor
