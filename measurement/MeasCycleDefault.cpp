#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

std::function<void()>& BoundAcquisition() {
  static std::function<void()> acquire;
  return acquire;
}

}  // namespace

void BindCycleAcquisition(std::function<void()> acquire) {
  BoundAcquisition() = std::move(acquire);
}

CycleIo DefaultCycleIo() {
  CycleIo io;
  io.acquire = [] {
    if (BoundAcquisition())
      BoundAcquisition()();
    else
      Meas().AcqStatus = -1;
  };
  io.outputPath = JoinPath(Paths().WorkDir, QStringLiteral("Output.txt"));
  return io;
}

void MeasCycle() { MeasCycle(DefaultCycleIo()); }

}  // namespace vintor
