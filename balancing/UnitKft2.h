#pragma once

#include "balancing/CoeffTableForm.h"

namespace vintor {

// Two-plane influence coefficients to select from (KftTable2.db).
class FormKft2 : public CoeffTableForm {
  Q_OBJECT
 public:
  explicit FormKft2(QWidget* parent = nullptr)
      : CoeffTableForm(parent, {Planes::Two, "FormKft2", "Interference ratio archive (2 planes) ",
                                "F2 - OK", "F10 - Cancel", QSize(1080, 420)}) {}
};

}  // namespace vintor
