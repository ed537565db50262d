#include "balancing/core/PolarDiagram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Formatting.h"

namespace vintor {
namespace {

constexpr double kDeg = 180.0 / std::numbers::pi;

// Position in the diagram plane: x along 0 degrees, y along 90 (any fixed frame will do).
Cx Point(double amplitude, double angle) {
  return {amplitude * std::cos(angle / kDeg), amplitude * std::sin(angle / kDeg)};
}

// A measured vector in the phase sense; differences are taken there and turned once.
Cx Phasor(const VibVector& v) { return Point(v.amplitude, v.phase); }

PolarItem RunItem(const QString& label, const VibVector& v) {
  PolarItem it;
  it.kind = PolarKind::Run;
  it.label = label;
  it.amplitude = v.amplitude;
  it.angle = ShownAngleOfPhase(v.phase);
  return it;
}

PolarItem EffectItem(const QString& label, const VibVector& run0, const VibVector& trial) {
  const Cx d = Phasor(trial) - Phasor(run0);
  PolarItem it;
  it.kind = PolarKind::TrialEffect;
  it.label = label;
  it.amplitude = std::sqrt(Norm2(d));
  it.angle = it.amplitude > 0.0 ? ShownAngleOfPhase(std::atan2(d.im, d.re) * kDeg) : 0.0;
  it.tailAmplitude = run0.amplitude;
  it.tailAngle = ShownAngleOfPhase(run0.phase);
  return it;
}

PolarItem CorrectionItem(const QString& label, const PolarCorrection& c) {
  PolarItem it;
  it.kind = PolarKind::Correction;
  it.label = label;
  it.angle = NormalizeAngle(c.angle);
  it.text = FormatMassValue(c.mass) + (c.grams ? QStringLiteral(" g") : QStringLiteral(" %"));
  return it;
}

bool Measured(const VibVector& v) { return v.amplitude != 0.0 || v.phase != 0.0; }

RunVectors Reference(const RunRecords& r) { return {{r.Run0V1o, r.Run0F1}, {r.Run0V2o, r.Run0F2}}; }

// Run#0 and the check runs: from the history once it holds anything, else the reference slots.
void TakeReferenceRuns(PolarJob& job, const PolarHistory& history, bool twoPlanes) {
  const RunVectors held = Reference(Runs());
  if (history.Run0() || !history.CheckRuns().empty()) {
    job.run0 = history.Run0();
    job.checkRuns = history.CheckRuns();
  } else if (Measured(held.ch1) || (twoPlanes && Measured(held.ch2))) {
    job.run0 = held;
  }
}

}  // namespace

double ShownAngleOfPhase(double phase) { return NormalizeAngle(360.0 - NormalizeAngle(phase)); }

double PolarChannel::Reach() const {
  double reach = 0.0;
  for (const PolarItem& it : items) {
    if (it.kind != PolarKind::Run && it.kind != PolarKind::TrialEffect) continue;
    const Cx tip = Point(it.tailAmplitude, it.tailAngle) + Point(it.amplitude, it.angle);
    reach = std::max({reach, std::sqrt(Norm2(tip)), it.tailAmplitude});
  }
  return reach;
}

const PolarItem* PolarChannel::Find(const QString& label) const {
  for (const PolarItem& it : items)
    if (it.label == label) return &it;
  return nullptr;
}

PolarDiagram BuildPolarDiagram(const PolarJob& job) {
  PolarDiagram d;
  const int channels = job.twoPlanes ? 2 : 1;
  const auto pick = [](const RunVectors& r, int ch) { return ch == 0 ? r.ch1 : r.ch2; };
  for (int ch = 0; ch < channels; ++ch) {
    PolarChannel c;
    c.title = QStringLiteral("Channel %1").arg(ch + 1);
    if (job.run0) c.items.push_back(RunItem(QStringLiteral("Run#0"), pick(*job.run0, ch)));
    if (job.run1) c.items.push_back(RunItem(QStringLiteral("Run#1"), pick(*job.run1, ch)));
    if (job.twoPlanes && job.run2)
      c.items.push_back(RunItem(QStringLiteral("Run#2"), pick(*job.run2, ch)));
    const size_t checks = job.checkRuns.size();
    for (size_t k = 0; k < checks; ++k) {
      const QString label =
          checks == 1 ? QStringLiteral("RunC") : QStringLiteral("RunC%1").arg(k + 1);
      c.items.push_back(RunItem(label, pick(job.checkRuns[k], ch)));
    }
    if (job.run0 && job.run1)
      c.items.push_back(
          EffectItem(QStringLiteral("Run#1-Run#0"), pick(*job.run0, ch), pick(*job.run1, ch)));
    if (job.twoPlanes && job.run0 && job.run2)
      c.items.push_back(
          EffectItem(QStringLiteral("Run#2-Run#0"), pick(*job.run0, ch), pick(*job.run2, ch)));
    if (job.plane1) c.items.push_back(CorrectionItem(QStringLiteral("M1"), *job.plane1));
    if (job.twoPlanes && job.plane2)
      c.items.push_back(CorrectionItem(QStringLiteral("M2"), *job.plane2));
    if (job.bladeCount >= 3) {
      for (int32_t k = 1; k <= job.bladeCount; ++k) {
        PolarItem it;
        it.kind = PolarKind::Blade;
        it.label = QString::number(k);
        it.angle = (k - 1) * 360.0 / job.bladeCount;
        c.items.push_back(it);
      }
    }
    d.channels.push_back(std::move(c));
  }
  return d;
}

void PolarHistory::Clear() {
  run0_.reset();
  checkRuns_.clear();
}

void PolarHistory::NoteRun0(const RunRecords& runs) {
  run0_ = Reference(runs);
  checkRuns_.clear();
}

void PolarHistory::NoteCheckRun(const RunRecords& runs) { checkRuns_.push_back(Reference(runs)); }

PolarJob SinglePlanePolarJob(const SinglePlaneCorrection& corr, const PolarHistory& history) {
  PolarJob job;
  const RunRecords& r = Runs();
  TakeReferenceRuns(job, history, false);
  const VibVector run1{r.Run1V1o, r.Run1F1};
  if (Measured(run1)) job.run1 = RunVectors{run1, {}};
  if (corr.HasResult() && !corr.Result().noCorrection) {
    const SinglePlaneResult& res = corr.Result();
    job.plane1 = PolarCorrection{res.M, res.grams, ShownAngle(res.CorrAngle, corr.Method())};
  }
  job.bladeCount = BalInput().BladeCount;
  return job;
}

PolarJob TwoPlanePolarJob(const TwoPlaneCorrection& corr, const PolarHistory& history) {
  PolarJob job;
  job.twoPlanes = true;
  const RunRecords& r = Runs();
  TakeReferenceRuns(job, history, true);
  const RunVectors run1{{r.Run1V1o, r.Run1F1}, {r.Run1V2o, r.Run1F2}};
  const RunVectors run2{{r.Run2V1o, r.Run2F1}, {r.Run2V2o, r.Run2F2}};
  if (Measured(run1.ch1) || Measured(run1.ch2)) job.run1 = run1;
  if (Measured(run2.ch1) || Measured(run2.ch2)) job.run2 = run2;
  if (corr.HasResult()) {
    const TwoPlaneResult& res = corr.Result();
    if (!res.noCorrectionP1)
      job.plane1 =
          PolarCorrection{res.CorrMassP1, res.grams, ShownAngle(res.CorrAngleP1, corr.Method())};
    if (!res.noCorrectionP2)
      job.plane2 =
          PolarCorrection{res.CorrMassP2, res.grams, ShownAngle(res.CorrAngleP2, corr.Method())};
  }
  job.bladeCount = BalInput().BladeCount;
  return job;
}

}  // namespace vintor
