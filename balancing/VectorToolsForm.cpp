#include "balancing/VectorToolsForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "balancing/AidFields.h"
#include "balancing/core/BalancingAids.h"
#include "base/Formatting.h"
#include "kit/NumericField.h"
#include "platform/Services.h"

namespace vintor {
namespace {

const QString kNeedMasses = QStringLiteral("Enter at least one mass above 0 with its angle");
const QString kNeedSplitMass = QStringLiteral("Enter a mass above 0 and its angle");
const QString kNeedAngles =
    QStringLiteral("Enter the two angles; they must not be equal or 180° apart");

QLineEdit* Field(QWidget* parent, const QString& name) {
  QLineEdit* e = MakeEdit(parent, name, QString());
  e->setFixedWidth(80);
  MakeNumeric(e, ExitMend::Point);
  return e;
}

// To a tenth of a degree, 359.96 and up reading 0.
QString AngleText(double degrees) {
  const double tenths = std::round(NormalizeAngle(degrees) * 10.0) / 10.0;
  return FormatUpToDecimals(NormalizeAngle(tenths), 1) + QString::fromUtf8("°");
}

// "7.07 at 0°"; a negative mass is material taken off there, or the same added opposite.
QString MassText(const MassAt& m) {
  const QString at = QStringLiteral(" at ");
  if (m.mass >= 0.0) return FormatMassValue(m.mass) + at + AngleText(m.angle);
  const QString amount = FormatMassValue(-m.mass);
  return QStringLiteral("-") + amount + at + AngleText(m.angle) +
         QStringLiteral(" (take off, or add ") + amount + at + AngleText(m.angle + 180.0) +
         QStringLiteral(")");
}

}  // namespace

VectorToolsForm::VectorToolsForm(QWidget* parent)
    : KitDialog(parent, QStringLiteral("FormVector"), QStringLiteral("Vector tools")) {
  QGroupBox* combine =
      MakeGroup(this, QStringLiteral("GroupBoxCombine"), QStringLiteral("Combine masses into one"));
  auto* grid = new QGridLayout(combine);
  grid->addWidget(MakeLabel(combine, QString(), QStringLiteral("Mass")), 0, 1);
  grid->addWidget(MakeLabel(combine, QString(), QString::fromUtf8("Angle, °")), 0, 2);
  for (int k = 0; k < kRows; ++k) {
    const QString n = QString::number(k + 1);
    EditMass[k] = Field(combine, QStringLiteral("EditMass") + n);
    EditAngle[k] = Field(combine, QStringLiteral("EditAngle") + n);
    grid->addWidget(MakeLabel(combine, QString(), n + QStringLiteral(".")), k + 1, 0);
    grid->addWidget(EditMass[k], k + 1, 1);
    grid->addWidget(EditAngle[k], k + 1, 2);
  }
  ButtonCombine = MakeButton(combine, QStringLiteral("ButtonCombine"), QStringLiteral("Combine"));
  LabelCombined = MakeLabel(combine, QStringLiteral("LabelCombined"), QString());
  grid->addWidget(ButtonCombine, kRows + 1, 1);
  grid->addWidget(LabelCombined, kRows + 1, 2, 1, 2);
  grid->setColumnStretch(3, 1);

  QGroupBox* split = MakeGroup(this, QStringLiteral("GroupBoxSplit"),
                               QStringLiteral("Split a mass onto two angles"));
  EditSplitMass = Field(split, QStringLiteral("EditSplitMass"));
  EditSplitAngle = Field(split, QStringLiteral("EditSplitAngle"));
  EditAt1 = Field(split, QStringLiteral("EditAt1"));
  EditAt2 = Field(split, QStringLiteral("EditAt2"));
  ButtonSplit = MakeButton(split, QStringLiteral("ButtonSplit"), QStringLiteral("Split"));
  LabelSplit1 = MakeLabel(split, QStringLiteral("LabelSplit1"), QString());
  LabelSplit2 = MakeLabel(split, QStringLiteral("LabelSplit2"), QString());
  auto* sg = new QGridLayout(split);
  sg->addWidget(MakeLabel(split, QString(), QStringLiteral("Mass")), 0, 0);
  sg->addWidget(EditSplitMass, 0, 1);
  sg->addWidget(MakeLabel(split, QString(), QString::fromUtf8("at angle, °")), 0, 2);
  sg->addWidget(EditSplitAngle, 0, 3);
  sg->addWidget(MakeLabel(split, QString(), QString::fromUtf8("Onto angles, °")), 1, 0);
  sg->addWidget(EditAt1, 1, 1);
  sg->addWidget(MakeLabel(split, QString(), QStringLiteral("and")), 1, 2, Qt::AlignCenter);
  sg->addWidget(EditAt2, 1, 3);
  sg->addWidget(ButtonSplit, 2, 1);
  sg->addWidget(LabelSplit1, 2, 2, 1, 3);
  sg->addWidget(LabelSplit2, 3, 2, 1, 3);
  sg->setColumnStretch(4, 1);

  Button1 = MakeButton(this, QStringLiteral("ButtonVectorExit"), QStringLiteral("F10 - Exit"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(combine);
  layout->addWidget(split);
  layout->addLayout(buttons);

  connect(ButtonCombine, &QPushButton::clicked, this, [this] { Combine(); });
  connect(ButtonSplit, &QPushButton::clicked, this, [this] { Split(); });
  connect(Button1, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  for (int k = 0; k < kRows; ++k) {
    connect(EditMass[k], &QLineEdit::returnPressed, this, [this] { Combine(); });
    connect(EditAngle[k], &QLineEdit::returnPressed, this, [this] { Combine(); });
  }
  for (QLineEdit* e : {EditSplitMass, EditSplitAngle, EditAt1, EditAt2})
    connect(e, &QLineEdit::returnPressed, this, [this] { Split(); });
  Keys().Click(Qt::Key_F10, Button1);
}

bool VectorToolsForm::Combine() {
  LabelCombined->clear();
  std::vector<MassAt> masses;
  for (int k = 0; k < kRows; ++k) {
    const QString m = EditMass[k]->text().trimmed();
    const QString a = EditAngle[k]->text().trimmed();
    if (m.isEmpty() && a.isEmpty()) continue;
    const auto mass = ReadAidNumber(m);
    const auto angle = a.isEmpty() ? std::optional<double>(0.0) : ReadAidNumber(a);
    if (!mass || !(*mass > 0.0) || !angle) {
      Svc().dialogs->Warning(kNeedMasses);
      EditMass[k]->setFocus();
      return false;
    }
    masses.push_back({*mass, *angle});
  }
  if (masses.empty()) {
    Svc().dialogs->Warning(kNeedMasses);
    return false;
  }
  LabelCombined->setText(QStringLiteral("= ") + MassText(CombineMasses(masses)));
  return true;
}

bool VectorToolsForm::Split() {
  LabelSplit1->clear();
  LabelSplit2->clear();
  const auto mass = ReadAidNumber(EditSplitMass->text());
  const QString angleText = EditSplitAngle->text().trimmed();
  const auto angle = angleText.isEmpty() ? std::optional<double>(0.0) : ReadAidNumber(angleText);
  if (!mass || !(*mass > 0.0) || !angle) {
    Svc().dialogs->Warning(kNeedSplitMass);
    return false;
  }
  const auto a1 = ReadAidNumber(EditAt1->text());
  const auto a2 = ReadAidNumber(EditAt2->text());
  if (!a1 || !a2 || !SplitAnglesUsable(*a1, *a2)) {
    Svc().dialogs->Warning(kNeedAngles);
    return false;
  }
  const TwoMassSplit s = SplitMass({*mass, *angle}, *a1, *a2);
  LabelSplit1->setText(MassText(s.first));
  LabelSplit2->setText(MassText(s.second));
  return true;
}

}  // namespace vintor
