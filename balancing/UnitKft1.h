#pragma once

#include "balancing/CoeffTableForm.h"

namespace vintor {

// Single-plane influence coefficients to select from (KftTable1.db).
class FormKft1 : public CoeffTableForm {
  Q_OBJECT
 public:
  explicit FormKft1(QWidget* parent = nullptr)
      : CoeffTableForm(parent, {Planes::One, "FormKft1", "Influence coeff. Single plane.",
                                "F2 - Select", "F10 - Exit", QSize(600, 400)}) {}
};

}  // namespace vintor
