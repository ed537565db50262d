#include "balancing/core/BalancingState.h"

namespace vintor {
namespace {
BalancingInput g_input;
RunRecords g_runs;
CorrectionRecords g_corr;
JobRecords g_job;
}  // namespace

BalancingInput& BalInput() { return g_input; }
RunRecords& Runs() { return g_runs; }
CorrectionRecords& Corr() { return g_corr; }
JobRecords& BalancingJob() { return g_job; }

void ResetRunRecords() {
  RunRecords fresh;
  fresh.Run0RPM = g_runs.Run0RPM;
  fresh.Run1RPM = g_runs.Run1RPM;
  fresh.Run2RPM = g_runs.Run2RPM;
  fresh.RunCRPM = g_runs.RunCRPM;
  g_runs = fresh;
  g_corr.StartD1 = g_corr.StartD2 = 0.0;
  g_corr.EndD1 = g_corr.EndD2 = 0.0;
  g_job = JobRecords{};
}

void ResetBalancingState() {
  g_input = BalancingInput{};
  g_runs = RunRecords{};
  g_corr = CorrectionRecords{};
  g_job = JobRecords{};
}

}  // namespace vintor
