#pragma once

namespace vintor {

class InitialDataForm;
class RunForm;
class CorrectionForm;

// The three windows of one balancing mode know each other: Continue opens the run window and
// turns the correction window's buttons off, a run shows the correction window, the correction
// window writes to the run window's log (two-plane: and performs Continue when shown), and Exit
// of the run window closes the initial-data window.
void LinkBalancingWindows(InitialDataForm& initial, RunForm& runs, CorrectionForm& correction);

}  // namespace vintor
