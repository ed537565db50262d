#pragma once

#include <vector>

#include "measurement/MeasObserver.h"

namespace vintor {

// Fans the measurement's notifications out to every window that shows a part of them (the
// device log, the four gauges, the wrong-tachometer labels), then lets the UI process events.
class WindowObserver final : public MeasObserver {
 public:
  void Add(MeasObserver* view) { views_.push_back(view); }

  void LogLine(const QString& line) override;
  void GaugesSetMax(int max) override;
  void GaugesSetProgress(int value) override;
  void GaugesStep() override;
  void WrongTachoShown(bool shown) override;
  void ChartsResultLabels(const QString& v1, const QString& v2) override;
  void ProcessEvents() override;

 private:
  std::vector<MeasObserver*> views_;
};

}  // namespace vintor
