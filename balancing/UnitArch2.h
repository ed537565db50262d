#pragma once

#include "balancing/ArchiveForm.h"

namespace vintor {

// The two-plane balancing archive (ArchTable2.db).
class FormArch2 : public ArchiveForm {
  Q_OBJECT
 public:
  explicit FormArch2(QWidget* parent = nullptr)
      : ArchiveForm(parent, {Planes::Two, "FormArch2", "Two-Plane balancing archive",
                             QSize(1120, 600), true, true, false, false, true}) {}
};

}  // namespace vintor
