#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "balancing/core/BalancingAids.h"
#include "balancing/core/CorrectionView.h"

namespace vintor {

// What the polar diagram of a balancing job shows, per channel, as plain data.
//
// Angle convention: every angle here is in degrees [0, 360) counted from the trial-mass point
// in the direction of rotation, exactly as the correction angles are shown. A measured phase p
// runs the other way; it is drawn at 360 - p, the same turn the correction computations make
// as their last step. So the correction mark lies where the mass goes on the rotor, and the
// vibration arrows turn with it: a mass moved by +30 degrees turns its effect by +30 degrees.
// Vectors are computed with exact degrees (the correction arithmetic keeps its own factors;
// the difference is far below what a drawing shows).

// A measured phase (degrees) as a diagram angle: 360 - p, into [0, 360).
double ShownAngleOfPhase(double phase);

enum class PolarKind {
  Run,          // a run's 1x vector: an arrow from the centre
  TrialEffect,  // trial run minus Run#0: an arrow from Run#0's tip to the trial run's tip
  Correction,   // where a plane's correction mass goes, with its mass: a mark on the rim
  Blade,        // a blade position of a bladed rotor, numbered from 1 at the trial-mass point
};

struct PolarItem {
  PolarKind kind = PolarKind::Run;
  // "Run#0", "Run#1", "Run#2", "RunC" (several check runs: "RunC1", "RunC2", ...),
  // "Run#1-Run#0", "Run#2-Run#0", "M1", "M2", or the blade number "1".."N".
  QString label;
  double amplitude = 0.0;      // mm/s: length of the vector (Run, TrialEffect); 0 for positions
  double angle = 0.0;          // direction of the vector, or the position (Correction, Blade)
  double tailAmplitude = 0.0;  // where the arrow starts: the centre for runs,
  double tailAngle = 0.0;      // Run#0's tip for trial effects
  QString text;                // Correction: the mass as shown, "12.0 g" or "35 %"
};

struct PolarChannel {
  QString title;  // "Channel 1", "Channel 2"
  std::vector<PolarItem> items;
  // The farthest point of any arrow from the centre, mm/s (0 without arrows).
  double Reach() const;
  // The first item with this label, or nullptr.
  const PolarItem* Find(const QString& label) const;
};

struct PolarDiagram {
  std::vector<PolarChannel> channels;  // single-plane: one; two-plane: two
};

// One run's 1x vectors. Single-plane jobs leave ch2 at zero.
struct RunVectors {
  VibVector ch1, ch2;
};

// A plane's correction as shown: the mass, its unit and the angle after the correction method.
struct PolarCorrection {
  double mass = 0.0;
  bool grams = false;
  int32_t angle = 0;
};

// Everything a diagram is drawn from. Missing runs are left out of the drawing.
struct PolarJob {
  bool twoPlanes = false;
  std::optional<RunVectors> run0, run1, run2;  // run2 only with two planes
  std::vector<RunVectors> checkRuns;           // oldest first
  std::optional<PolarCorrection> plane1, plane2;
  int32_t bladeCount = 0;  // 3 or more: blade marks
};

// Items per channel, in this order: Run#0, Run#1, Run#2, the check runs, the trial effects
// (when Run#0 and the trial run are both there), the corrections M1 and M2, the blades.
PolarDiagram BuildPolarDiagram(const PolarJob& job);

// What a run window keeps of a job for the diagram. Every check run overwrites the reference
// slots of Runs() that held Run#0, so Run#0 and each check run are noted when measured.
// Without notes the reference slots are read as Run#0.
class PolarHistory {
 public:
  void Clear();                               // when the run window is shown
  void NoteRun0(const RunRecords& runs);      // after Run#0: the reference slots as Run#0
  void NoteCheckRun(const RunRecords& runs);  // after each RunC: the reference slots as a RunC
  const std::optional<RunVectors>& Run0() const { return run0_; }
  const std::vector<RunVectors>& CheckRuns() const { return checkRuns_; }

 private:
  std::optional<RunVectors> run0_;
  std::vector<RunVectors> checkRuns_;
};

// The job of a correction window from the program-wide records: Run#1 and Run#2 from Runs()
// when measured (a slot whose amplitudes and phases are all 0 counts as not measured), Run#0
// and the check runs as the history says, the blade count from BalInput(), and the correction
// the window holds (none after a failure or when nothing needs correcting), at its shown angle.
PolarJob SinglePlanePolarJob(const SinglePlaneCorrection& corr, const PolarHistory& history);
PolarJob TwoPlanePolarJob(const TwoPlaneCorrection& corr, const PolarHistory& history);

}  // namespace vintor
