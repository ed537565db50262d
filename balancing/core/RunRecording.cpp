#include "balancing/core/RunRecording.h"

#include <exception>

#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "balancing/core/RunSequence.h"
#include "base/Formatting.h"
#include "measurement/MeasState.h"
#include "meter/core/MeasArchive.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

bool TwoPlanes(BalancingMode mode) { return mode == BalancingMode::TwoPlane; }

QString StepName(int step) {
  switch (step) {
    case kRun0:
      return QStringLiteral("Run#0 ");
    case kRun1:
      return QStringLiteral("Run#1 ");
    case kRun2:
      return QStringLiteral("Run#2 ");
    default:
      return QStringLiteral("RunC  ");
  }
}

// The slots a step writes: speed, channel 1 and channel 2 vectors.
struct Slots {
  double* rpm;
  double *v1, *f1, *v2, *f2;
};

Slots SlotsOf(int step) {
  RunRecords& r = Runs();
  switch (step) {
    case kRun0:
      return {&r.Run0RPM, &r.Run0V1o, &r.Run0F1, &r.Run0V2o, &r.Run0F2};
    case kRun1:
      return {&r.Run1RPM, &r.Run1V1o, &r.Run1F1, &r.Run1V2o, &r.Run1F2};
    case kRun2:
      return {&r.Run2RPM, &r.Run2V1o, &r.Run2F1, &r.Run2V2o, &r.Run2F2};
    default:  // the check run measures the new reference vector
      return {&r.RunCRPM, &r.Run0V1o, &r.Run0F1, &r.Run0V2o, &r.Run0F2};
  }
}

bool CarriesCorrection(BalancingMode mode, int step) {
  if (step == kRunC) return true;
  return TwoPlanes(mode) ? step == kRun2 : step == kRun1;
}

}  // namespace

QString RunTag(BalancingMode mode, int step) {
  const QString plane = TwoPlanes(mode) ? QStringLiteral("P2") : QStringLiteral("P1");
  switch (step) {
    case kRun0:
      return plane + QStringLiteral("Run0");
    case kRun1:
      return plane + QStringLiteral("Run1");
    case kRun2:
      return plane + QStringLiteral("Run2");
    default:
      return plane + QStringLiteral("RunC");
  }
}

RunFieldTexts NoDataFieldTexts() {
  return {kNotDefined, kNotDefined, kNotDefined, kNotDefined, kNotDefined};
}

void StoreRunResults(BalancingMode mode, int step, const MeasState& m) {
  const Slots s = SlotsOf(step);
  *s.rpm = m.RPM;
  *s.v1 = m.V1o;
  *s.f1 = m.F1;
  if (TwoPlanes(mode)) {
    *s.v2 = m.V2o;
    *s.f2 = m.F2;
  }
  RunRecords& r = Runs();
  if (step == kRun0) {
    r.StartV1o = m.V1o;
    if (TwoPlanes(mode)) r.StartV2o = m.V2o;
  } else if (step == kRunC) {
    r.EndV1o = m.V1o;
    if (TwoPlanes(mode)) r.EndV2o = m.V2o;
    BalancingJob().CheckRunStored = true;
  }
}

double RunSpeed(int step) { return *SlotsOf(step).rpm; }

RunFieldTexts RunTexts(BalancingMode mode, int step) {
  const Slots s = SlotsOf(step);
  RunFieldTexts t;
  t.N = FormatPicture(*s.rpm, 0);
  t.V1 = FormatVibValue(*s.v1);
  t.F1 = FormatPicture(*s.f1, 0);
  if (TwoPlanes(mode)) {
    t.V2 = FormatVibValue(*s.v2);
    t.F2 = FormatPicture(*s.f2, 0);
  } else {
    t.V2 = t.F2 = kNotDefined;
  }
  return t;
}

bool RunSucceeded(double speed, bool wrongTacho) { return speed > 100.0 && !wrongTacho; }

QString RunLogLine(BalancingMode mode, int step, const RunFieldTexts& t, const QString& stamp,
                   const QStringList& correction, bool measurementFailed) {
  QString line = StepName(step);
  if (step == kRun0) line += stamp + QLatin1Char(' ');
  line +=
      QStringLiteral("RPM=") + t.N + QStringLiteral(" V01=") + t.V1 + QStringLiteral(" F1=") + t.F1;
  if (TwoPlanes(mode)) line += QStringLiteral(" V02=") + t.V2 + QStringLiteral(" F2=") + t.F2;
  if (CarriesCorrection(mode, step)) {
    static const char* const kNames[] = {" M1=", " f1=", " M2=", " f2="};
    const int count = TwoPlanes(mode) ? 4 : 2;
    for (int i = 0; i < count; ++i)
      line += QLatin1String(kNames[i]) + (i < correction.size() ? correction[i] : kNotDefined);
  }
  if (measurementFailed) line += kMeasurementFailedNote;
  return line;
}

QString MemoPath() { return JoinPath(Paths().ArcDir, QStringLiteral("memo.txt")); }

bool SensorsReady(BalancingMode mode) {
  return Settings().Kpr1 > 0.0 && (!TwoPlanes(mode) || Settings().Kpr2 > 0.0);
}

RunRecordResult RecordRun(BalancingMode mode, int step, RunRecordSink& sink,
                          const std::function<void()>& measure) {
  using End = RunRecordResult::End;
  RunRecordResult result;
  MeasState& m = Meas();

  if (step == kRun0) m.NeedSighting = true;
  // A stop request left behind by another window (the meter's Exit sets one even when nothing
  // records) is not meant for this run.
  m.StopRequested = false;
  Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
  try {
    measure();
  } catch (const std::exception& e) {
    if (sink.Abandoned()) {
      result.end = End::Abandoned;
      return result;
    }
    // A bad averaging entry or an unreadable recording: said, and the step can be repeated.
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    result.end = End::Aborted;
    return result;
  }
  // Closed while measuring: no pair under a final name, no stored values, no log line.
  if (sink.Abandoned()) {
    result.end = End::Abandoned;
    return result;
  }

  const QString stem = ArchiveStamp(Svc().clock->Now()) + RunTag(mode, step);
  QString error;
  if (!FileParameterFile(stem, &error)) {
    Svc().dialogs->Error(error);
    result.end = End::Aborted;
    return result;
  }
  if (!FileRawData(stem, &error))
    Svc().dialogs->Message(QString(), QStringLiteral("Error!: ") + error);

  // A failed or stopped acquisition leaves the previous cycle's values in MeasState: they do
  // not belong to this run and are not stored.
  result.measured = m.AcqStatus != -1;
  RunFieldTexts texts = NoDataFieldTexts();
  if (result.measured) {
    StoreRunResults(mode, step, m);
    texts = RunTexts(mode, step);
  }
  sink.ShowFields(step, texts);

  QStringList correction;
  if (CarriesCorrection(mode, step)) {
    if (TwoPlanes(mode))
      correction = sink.CorrectionTexts(false);
    else if (result.measured)
      correction = sink.CorrectionTexts(true);
    else
      correction = QStringList{kNotDefined, kNotDefined};
  }

  sink.AppendLog(RunLogLine(mode, step, texts, BalancingLogStamp(Svc().clock->Now()), correction,
                            !result.measured));
  if (TwoPlanes(mode) && !WriteTextLines(MemoPath(), sink.LogLines(), &error)) {
    Svc().dialogs->Error(error);
    result.end = End::Aborted;
    return result;
  }

  result.success = result.measured && RunSucceeded(RunSpeed(step), m.WrongTacho);
  result.end = End::Recorded;
  return result;
}

}  // namespace vintor
