#pragma once

#include "balancing/InitialDataForm.h"

namespace vintor {

// Two-plane balancing, initial data: trial masses and radii of both planes. Its other
// differences are the two-plane row of InitialDataTableOf.
class FormB20 : public InitialDataForm {
  Q_OBJECT
 public:
  explicit FormB20(QWidget* parent = nullptr)
      : InitialDataForm(parent, BalancingMode::TwoPlane, QStringLiteral("FormB20")) {}
};

}  // namespace vintor
