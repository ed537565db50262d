#pragma once

#include "balancing/CorrectionForm.h"
#include "balancing/core/CorrectionView.h"

namespace vintor {

// Single-plane correction mass and angle, blade split and residual unbalance. The run window
// also has it compute without showing, for the log line of Run#1 and RunC.
class FormB12 : public CorrectionForm {
  Q_OBJECT
 public:
  explicit FormB12(QWidget* parent = nullptr);
  const SinglePlaneCorrection& Correction() const { return correction_; }

 protected:
  CorrectionOutcome Compute() override { return correction_.Compute(); }
  const CorrectionTexts& Texts() const override { return correction_.Texts(); }
  void SetMethod(CorrectionMethod method) override { correction_.SetMethod(method); }
  PolarJob PolarJobFor(const PolarHistory& history) const override {
    return SinglePlanePolarJob(correction_, history);
  }
  ResidualVerdicts Verdicts(const Tolerance& tolerance) const override {
    return JudgeSinglePlane(correction_.Result(), BalInput(), tolerance);
  }

 private:
  SinglePlaneCorrection correction_;
};

}  // namespace vintor
