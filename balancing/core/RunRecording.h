#pragma once

// Recording one balancing run: measure, file the raw data pair into the archive, store and show
// the results, write the balancing log line (two-plane: and memo.txt), judge the run.

#include <QString>
#include <QStringList>
#include <functional>

#include "balancing/core/InitialData.h"

namespace vintor {

struct MeasState;

// "P1Run0" .. "P2RunC": the archive tag of a run.
QString RunTag(BalancingMode mode, int step);

// The texts of a step's fields: speed, amplitude and phase of channel 1 (and 2).
struct RunFieldTexts {
  QString N, V1, F1, V2, F2;
};
RunFieldTexts NoDataFieldTexts();

// The measurement into the run's slots (channel 2 in two-plane only); Run#0 also gives the
// start amplitudes, a check run replaces the reference vector and gives the end amplitudes.
void StoreRunResults(BalancingMode mode, int step, const MeasState& m);
// The run's own speed slot.
double RunSpeed(int step);
// The step's field texts from its slots (a check run's vector is the reference one).
RunFieldTexts RunTexts(BalancingMode mode, int step);
// A run advances the sequence only above 100 rev/min with a regular tachometer signal.
bool RunSucceeded(double speed, bool wrongTacho);

// The log line of a run. `stamp` is the date and time (Run#0 only), `correction` the mass and
// angle texts of the correction window (M1, f1 [, M2, f2]) for the runs that carry them.
inline const QString kMeasurementFailedNote = QStringLiteral(" - measurement failed");
QString RunLogLine(BalancingMode mode, int step, const RunFieldTexts& texts, const QString& stamp,
                   const QStringList& correction, bool measurementFailed = false);

// ArcDir/memo.txt, the two-plane balancing log.
QString MemoPath();

// Balancing needs the sensitivity of channel 1, and in two-plane of channel 2 too.
bool SensorsReady(BalancingMode mode);

// What a run needs from its windows.
class RunRecordSink {
 public:
  virtual ~RunRecordSink() = default;
  // The window was closed while the measurement ran: the run is dropped.
  virtual bool Abandoned() const = 0;
  virtual void ShowFields(int step, const RunFieldTexts& texts) = 0;
  // Mass and angle texts of the correction window: single-plane computes them first for the
  // values just stored (without showing the window), two-plane takes what the window holds.
  virtual QStringList CorrectionTexts(bool compute) = 0;
  virtual void AppendLog(const QString& line) = 0;
  virtual QStringList LogLines() const = 0;
};

struct RunRecordResult {
  enum class End {
    Recorded,   // filed, stored, logged and judged
    Abandoned,  // the window was closed during the measurement: nothing was kept
    Aborted,    // the measurement or a file write failed; reported, the run has no outcome
  };
  End end = End::Aborted;
  bool measured = false;  // the acquisition completed (AcqStatus not -1)
  bool success = false;
};

// Records run `step` of the mode. `measure` is the measurement cycle (a stand-in in tests).
RunRecordResult RecordRun(BalancingMode mode, int step, RunRecordSink& sink,
                          const std::function<void()>& measure);

}  // namespace vintor
