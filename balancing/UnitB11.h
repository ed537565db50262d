#pragma once

#include "balancing/RunForm.h"

namespace vintor {

// Single-plane balancing runs: Run#0, Run#1 with the trial mass, then the check run RunC.
class FormB11 : public RunForm {
  Q_OBJECT
 public:
  explicit FormB11(QWidget* parent = nullptr);
};

}  // namespace vintor
