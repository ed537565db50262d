#pragma once

#include "balancing/CoeffEntryForm.h"
#include "balancing/UnitKft2.h"

namespace vintor {

// The four two-plane coefficients, saved on F9 as a new record of KftTable2.db; "F10 - Cancel"
// returns to the measurement archive directory.
class FormKft2L : public CoeffEntryForm {
  Q_OBJECT
 public:
  FormKft2L(QWidget* parent, FormKft2* table)
      : CoeffEntryForm(parent,
                       {Planes::Two, "FormKft2L", "Correction plane interference ratio (two planes)",
                        QSize(460, 280), true},
                       table) {}
};

}  // namespace vintor
