#include "balancing/UnitB22.h"

#include <QLineEdit>

#include "balancing/InitialDataForm.h"

namespace vintor {
namespace {

CorrectionFormTable Table() {
  CorrectionFormTable t;
  t.mode = BalancingMode::TwoPlane;
  t.name = QStringLiteral("FormB22");
  t.caption = QStringLiteral("Two-plane  balancing - correction masses and  residual imbalance");
  t.groupP = QStringLiteral("Correction masses and angles");
  t.groupL = QStringLiteral("Correction masses (splitted to blades)");
  t.label17 = QString::fromUtf8(" М1=");  // Cyrillic capital EM
  t.label18 = QString::fromUtf8(" М2=");
  t.label19 = QStringLiteral(" f1=");
  t.label20 = QStringLiteral(" f2=");
  t.label3 = QStringLiteral("Plane 1");
  t.label4 = QStringLiteral("Plane2");
  t.button2 = QStringLiteral("F8-Int.Ratio");
  t.button3 = QStringLiteral("F9 - Archive");
  t.button1 = QStringLiteral("F10 - Exit");
  t.successEnablesArchive = true;
  return t;
}

}  // namespace

FormB22::FormB22(QWidget* parent) : CorrectionForm(parent, Table()) {}

void FormB22::BeforeCompute() {
  for (QLineEdit* e : {EditM1, EditM2, EditF1, EditF2}) e->setText(kNoData);
  // The entries are read again, with their warnings, and the buttons turned off.
  if (initial_) initial_->Continue();
}

}  // namespace vintor
