#pragma once

#include "balancing/ArchiveForm.h"

namespace vintor {

// The single-plane balancing archive (ArchTable1.db).
class FormArch1 : public ArchiveForm {
  Q_OBJECT
 public:
  explicit FormArch1(QWidget* parent = nullptr)
      : ArchiveForm(parent, {Planes::One, "FormArch1", "Single Plane balancing archive",
                             QSize(940, 560), false, false, true, true, false}) {}
};

}  // namespace vintor
