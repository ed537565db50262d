#include "acquisition/AdcAcquire.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/TextFile.h"

namespace vintor {

CycleIo DefaultCycleIo() {
  CycleIo io;
  io.acquire = [] { AdcAcquire(); };
  io.outputPath = JoinPath(Paths().WorkDir, QStringLiteral("Output.txt"));
  return io;
}

void MeasCycle() { MeasCycle(DefaultCycleIo()); }

}  // namespace vintor
