#pragma once

#include "balancing/CorrectionForm.h"
#include "balancing/core/CorrectionView.h"

namespace vintor {

// Two-plane correction masses and angles, blade splits and residual unbalance. Every showing
// first performs the initial-data Continue, so the entries are read again.
class FormB22 : public CorrectionForm {
  Q_OBJECT
 public:
  explicit FormB22(QWidget* parent = nullptr);
  const TwoPlaneCorrection& Correction() const { return correction_; }

 protected:
  CorrectionOutcome Compute() override { return correction_.Compute(); }
  const CorrectionTexts& Texts() const override { return correction_.Texts(); }
  void SetMethod(CorrectionMethod method) override { correction_.SetMethod(method); }
  PolarJob PolarJobFor(const PolarHistory& history) const override {
    return TwoPlanePolarJob(correction_, history);
  }
  ResidualVerdicts Verdicts(const Tolerance& tolerance) const override {
    return JudgeTwoPlane(correction_.Result(), BalInput(), tolerance);
  }
  void BeforeCompute() override;

 private:
  TwoPlaneCorrection correction_;
};

}  // namespace vintor
