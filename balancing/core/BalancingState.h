#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace vintor {

// What the operator stated before the runs. A zero means "not known" / "not given":
// zero coefficients are derived from the runs, zero trial masses mean masses in percent,
// zero radii give no unbalance moment, a zero blade count means polar angles.
struct BalancingInput {
  double R11 = 0.0, R12 = 0.0;  // channel 1 per trial mass in plane 1 (single-plane: the only one)
  double R21 = 0.0, R22 = 0.0;  // channel 2 per trial mass in plane 1
  double R31 = 0.0, R32 = 0.0;  // channel 1 per trial mass in plane 2
  double R41 = 0.0, R42 = 0.0;  // channel 2 per trial mass in plane 2
  double TrialM1 = 0.0;         // g
  double TrialM2 = 0.0;         // g
  double PlaceRadius1 = 0.0;    // mm
  double PlaceRadius2 = 0.0;    // mm
  int32_t BladeCount = 0;
};

// Results of the balancing runs: amplitudes in mm/s, phases in degrees, speeds in rev/min.
// The Run0 vector is the reference: Run#0, replaced by every check run.
struct RunRecords {
  double Run0RPM = 0.0, Run1RPM = 0.0, Run2RPM = 0.0, RunCRPM = 0.0;
  double Run0V1o = 0.0, Run0F1 = 0.0, Run0V2o = 0.0, Run0F2 = 0.0;
  double Run1V1o = 0.0, Run1F1 = 0.0, Run1V2o = 0.0, Run1F2 = 0.0;
  double Run2V1o = 0.0, Run2F1 = 0.0, Run2V2o = 0.0, Run2F2 = 0.0;
  double StartV1o = 0.0, StartV2o = 0.0;  // before balancing (Run#0), for the archive
  double EndV1o = 0.0, EndV2o = 0.0;      // after balancing (check run), for the archive
};

// Results of the last correction computation of either mode.
struct CorrectionRecords {
  // Single-plane.
  int32_t CorrAngle = 0;       // degrees 0..359, as computed
  int32_t CorrAngleShown = 0;  // after "Add mass" / "Remove mass"
  // Two-plane.
  double CorrMassP1 = 0.0,
         CorrMassP2 = 0.0;  // whole percent, or grams when both trial masses given
  int32_t CorrAngleP1 = 0, CorrAngleP2 = 0;
  int32_t CorrAngleP1Shown = 0, CorrAngleP2Shown = 0;
  QString CorrLine2;  // the last result line written to the balancing log
  // Unbalance moments, g*mm: the first computation of a balancing, then every later one.
  double StartD1 = 0.0, StartD2 = 0.0;
  double EndD1 = 0.0, EndD2 = 0.0;
};

// What one balancing job (from the showing of its run window to its closing) keeps of its own
// runs. After a check run the reference vector no longer holds the Run#0 that the trial runs
// were measured against, so two-plane coefficients cleared by the initial-data Continue come
// back from the trial runs rather than being derived from the check run.
struct JobRecords {
  bool CheckRunStored = false;  // a check run has replaced the reference vector
  bool TrialCoefficientsKept = false;
  std::array<double, 8> TrialCoefficients{};  // R11 .. R42 derived from the trial runs
};

BalancingInput& BalInput();
RunRecords& Runs();
CorrectionRecords& Corr();
JobRecords& BalancingJob();

// On every showing of a run window: amplitudes, phases, start/end amplitudes and the four
// unbalance moments go back to 0; the speeds stay. The job's records start afresh.
void ResetRunRecords();

// Zero-fills the records (program start, tests).
void ResetBalancingState();

}  // namespace vintor
