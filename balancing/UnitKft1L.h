#pragma once

#include "balancing/CoeffEntryForm.h"
#include "balancing/UnitKft1.h"

namespace vintor {

// The single-plane coefficient pair, saved on F9 as a new record of KftTable1.db.
class FormKft1L : public CoeffEntryForm {
  Q_OBJECT
 public:
  FormKft1L(QWidget* parent, FormKft1* table)
      : CoeffEntryForm(parent,
                       {Planes::One, "FormKft1L", "Interference ratio (single plane)",
                        QSize(420, 170), false},
                       table) {}
};

}  // namespace vintor
