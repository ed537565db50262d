#pragma once

#include "balancing/InitialDataForm.h"

namespace vintor {

// Single-plane balancing, initial data. Its differences from the two-plane window (messages,
// coefficient checks, fields) are the single-plane row of InitialDataTableOf.
class FormB10 : public InitialDataForm {
  Q_OBJECT
 public:
  explicit FormB10(QWidget* parent = nullptr)
      : InitialDataForm(parent, BalancingMode::SinglePlane, QStringLiteral("FormB10")) {}
};

}  // namespace vintor
