#include "balancing/BalancingLinks.h"

#include "balancing/CorrectionForm.h"
#include "balancing/InitialDataForm.h"
#include "balancing/RunForm.h"

namespace vintor {

void LinkBalancingWindows(InitialDataForm& initial, RunForm& runs, CorrectionForm& correction) {
  initial.SetWindows(&runs, &correction);
  runs.SetWindows(&initial, &correction);
  correction.SetWindows(&initial, &runs);
}

}  // namespace vintor
