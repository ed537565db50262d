// The trial-mass suggestion of the initial-data windows, in the free column beside the fields.
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "balancing/AidFields.h"
#include "balancing/InitialDataForm.h"
#include "base/Formatting.h"
#include "measurement/MeasState.h"

namespace vintor {
namespace {

QLabel* HintLabel(QWidget* parent, const QString& name) {
  QLabel* l = MakeLabel(parent, name, QString());
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, QColor(0, 70, 160));
  l->setPalette(p);
  l->hide();
  return l;
}

// The radius as the field reads; nothing while it shows "n.d." or anything unreadable.
double RadiusOf(const QLineEdit* e) {
  const auto v = e ? ReadAidNumber(e->text()) : std::nullopt;
  return v && *v > 0.0 ? *v : 0.0;
}

void ShowHint(QLabel* label, const QString& hint) {
  label->setText(hint);
  label->setVisible(!hint.isEmpty());
}

}  // namespace

void InitialDataForm::BuildAids() {
  const bool two = mode_ == BalancingMode::TwoPlane;
  GroupBoxRotor = MakeGroup(this, QStringLiteral("GroupBoxRotor"),
                            QStringLiteral("Rotor, for a trial mass suggestion"));
  EditRotorMass = AidField(GroupBoxRotor, QStringLiteral("EditRotorMass"), &AidsInput::RotorMass);
  EditServiceRpm =
      AidField(GroupBoxRotor, QStringLiteral("EditServiceRpm"), &AidsInput::ServiceRPM);
  EditServiceRpm->setFixedWidth(140);
  auto* rotor = new QGridLayout(GroupBoxRotor);
  rotor->addWidget(MakeLabel(GroupBoxRotor, QString(), QStringLiteral("Rotor mass, kg")), 0, 0);
  rotor->addWidget(EditRotorMass, 0, 1);
  rotor->addWidget(MakeLabel(GroupBoxRotor, QString(), QStringLiteral("Service speed, rpm")), 1, 0);
  rotor->addWidget(EditServiceRpm, 1, 1);
  rotor->setColumnStretch(2, 1);

  // Beside the trial masses, level with their fields.
  LabelTrialHint1 = HintLabel(this, QStringLiteral("LabelTrialHint1"));
  LabelTrialHint2 = two ? HintLabel(this, QStringLiteral("LabelTrialHint2")) : nullptr;
  auto* hints = new QVBoxLayout;
  hints->addStretch();
  hints->addWidget(LabelTrialHint1);
  if (LabelTrialHint2) hints->addWidget(LabelTrialHint2);
  FieldGrid->addWidget(GroupBoxRotor, 0, 2, Qt::AlignTop);
  FieldGrid->addLayout(hints, 1, 2);

  for (QLineEdit* e : {EditD1, EditD2})
    if (e) connect(e, &QLineEdit::textChanged, this, [this] { ShowTrialHints(); });
  connect(&AidEntries::Hub(), &AidEntries::changed, this, [this] { ShowTrialHints(); });
}

void InitialDataForm::ShowTrialHints() {
  const double measured = Meas().RPM;
  EditServiceRpm->setPlaceholderText(
      measured > 0.0 ? FormatPicture(measured, 0) + QStringLiteral(" (last measured)") : QString());
  const double rpm = Aids().ServiceRPM > 0.0 ? Aids().ServiceRPM : measured;
  const double mass = Aids().RotorMass;
  if (mode_ == BalancingMode::SinglePlane) {
    ShowHint(LabelTrialHint1, TrialMassHint(mass, RadiusOf(EditD1), rpm));
    return;
  }
  // Two planes: each carries half of the rotor.
  auto planeHint = [&](const QString& plane, const QLineEdit* radius) {
    const QString hint = TrialMassHint(mass / 2.0, RadiusOf(radius), rpm);
    return hint.isEmpty() ? hint : plane + QStringLiteral(": ") + hint;
  };
  ShowHint(LabelTrialHint1, planeHint(QStringLiteral("1st plane"), EditD1));
  ShowHint(LabelTrialHint2, planeHint(QStringLiteral("2nd plane"), EditD2));
}

}  // namespace vintor
