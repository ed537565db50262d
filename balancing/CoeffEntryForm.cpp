#include "balancing/CoeffEntryForm.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/CoeffTableForm.h"
#include "balancing/TableWidgets.h"
#include "balancing/core/BalRecords.h"
#include "measurement/MeasState.h"

namespace vintor {

CoeffEntryForm::CoeffEntryForm(QWidget* parent, const CoeffEntryTraits& traits,
                               CoeffTableForm* table)
    : KitDialog(parent, QString::fromLatin1(traits.name), QString::fromLatin1(traits.caption)),
      traits_(traits),
      table_(table) {
  setModal(true);
  resize(traits.size);

  // One row per coefficient, its two components side by side.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(40);
  grid->setVerticalSpacing(12);
  QFont big = font();
  big.setPointSize(big.pointSize() + 3);
  big.setBold(true);
  auto label = [&](const char* name, int row, int column) {
    QLabel* l = MakeLabel(this, QString::fromLatin1(name), QString());
    l->setFont(big);
    l->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("R11= -00000.000")));
    grid->addWidget(l, row, column);
    return l;
  };
  LabelR11 = label("LabelR11", 0, 0);
  LabelR12 = label("LabelR12", 0, 1);
  if (traits.planes == Planes::Two) {
    LabelR21 = label("LabelR21", 1, 0);
    LabelR22 = label("LabelR22", 1, 1);
    LabelR31 = label("LabelR31", 2, 0);
    LabelR32 = label("LabelR32", 2, 1);
    LabelR41 = label("LabelR41", 3, 0);
    LabelR42 = label("LabelR42", 3, 1);
  }
  Button1 = MakeButton(this, "Button1", "F9 - Save");
  Button2 = MakeButton(this, "Button2", "F10 - Cancel");

  auto* centred = new QHBoxLayout;
  centred->addStretch();
  centred->addLayout(grid);
  centred->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Button1);
  bottom->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch();
  layout->addLayout(centred);
  layout->addStretch();
  layout->addLayout(bottom);

  connect(Button1, &QPushButton::clicked, this, &CoeffEntryForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &CoeffEntryForm::Button2Click);
  Keys().Click(Qt::Key_F9, Button1).Click(Qt::Key_F10, Button2);
}

void CoeffEntryForm::ShowForEntry() {
  if (isVisible()) return;
  CentreOnScreen(this);
  ShowModal();
}

void CoeffEntryForm::FormShow() {
  for (const auto& [name, text] : CoefficientLabels(traits_.planes))
    if (QLabel* l = Control<QLabel>(this, name)) l->setText(text);
}

void CoeffEntryForm::Button1Click() {
  // A failed save has been reported; there is no record to show then.
  const std::optional<int> number = SaveCoefficients(traits_.planes);
  if (number && table_) table_->ShowOnRecord(*number);
}

void CoeffEntryForm::Button2Click() {
  if (traits_.leaveToArcDir) QDir::setCurrent(Paths().ArcDir);
  reject();
}

}  // namespace vintor
