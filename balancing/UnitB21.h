#pragma once

#include "balancing/RunForm.h"

namespace vintor {

// Two-plane balancing runs: Run#0, Run#1 and Run#2 with the trial mass in plane 1 and in
// plane 2, then the check run RunC.
class FormB21 : public RunForm {
  Q_OBJECT
 public:
  explicit FormB21(QWidget* parent = nullptr);
};

}  // namespace vintor
