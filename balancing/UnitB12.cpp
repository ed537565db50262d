#include "balancing/UnitB12.h"

namespace vintor {
namespace {

CorrectionFormTable Table() {
  CorrectionFormTable t;
  t.mode = BalancingMode::SinglePlane;
  t.name = QStringLiteral("FormB12");
  t.caption = QStringLiteral("Single Plane balance - correction masses and residual unbalance");
  t.groupP = QStringLiteral("Correction mass and angle");
  t.groupL = QStringLiteral("Correction masses");
  t.label17 = QString::fromUtf8(" М1=");  // Cyrillic capital EM
  t.label19 = QStringLiteral("f1=");
  t.label3 = QStringLiteral("Blade1");
  t.label4 = QStringLiteral("Blade2");
  t.button2 = QStringLiteral("F8 - Int. Ratio");
  t.button2Hint = QStringLiteral("Correction plane interference ratios");
  t.button3 = QStringLiteral("F9 - Archive");
  t.button1 = QStringLiteral("F10-Exit");
  // "F9 - Archive" comes on only after an accepted check run.
  t.successEnablesArchive = false;
  return t;
}

}  // namespace

FormB12::FormB12(QWidget* parent) : CorrectionForm(parent, Table()) {}

}  // namespace vintor
