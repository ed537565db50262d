// The balancing aids of the correction windows, beside the window's own controls: the verdicts
// beside the residual unbalance, the polar diagram, the permissible residual unbalance entries
// and the vector tools.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/AidFields.h"
#include "balancing/CorrectionForm.h"
#include "balancing/PolarPanel.h"
#include "balancing/RunForm.h"
#include "balancing/VectorToolsForm.h"
#include "base/Formatting.h"
#include "measurement/MeasState.h"

namespace vintor {
namespace {

QLabel* VerdictLabel(QWidget* parent, const QString& name) {
  QLabel* l = MakeLabel(parent, name, QString());
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  l->setMinimumWidth(l->fontMetrics().horizontalAdvance(kExceedsTolerance) + 4);
  return l;
}

void ShowVerdict(QLabel* label, ToleranceVerdict verdict) {
  label->setText(VerdictText(verdict));
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText,
             verdict == ToleranceVerdict::Exceeds ? QColor(210, 0, 0) : QColor(0, 128, 0));
  label->setPalette(p);
}

// The speed the tolerance falls back to: that of the last run (the one the archive uses too).
double LastRunSpeed() { return Meas().RPM; }

QString UperText(const Tolerance& t, bool two) {
  if (Aids().Grade <= 0.0) return QString();  // no grade chosen: nothing to compare with
  if (!t.valid) {
    if (two && !(Aids().Share1 > 0.0 && Aids().Share1 < 1.0))
      return QStringLiteral("The share of plane 1 must lie between 0 and 100 %");
    return QStringLiteral("U_per needs the rotor mass and the service speed");
  }
  QString text = QStringLiteral("U_per = ") + FormatPicture(t.Uper, 1) + QStringLiteral(" g*mm");
  if (two)
    text += QStringLiteral("; plane 1: ") + FormatPicture(t.Uper1, 1) +
            QStringLiteral(", plane 2: ") + FormatPicture(t.Uper2, 1);
  return text;
}

}  // namespace

void CorrectionForm::BuildAids() {
  const bool two = mode_ == BalancingMode::TwoPlane;

  // Verdicts in the residual unbalance's free column.
  LabelVerdict1 = VerdictLabel(GroupBoxD, QStringLiteral("LabelVerdict1"));
  ResidualGrid->addWidget(LabelVerdict1, 0, 2);
  LabelVerdict2 = nullptr;
  if (two) {
    LabelVerdict2 = VerdictLabel(GroupBoxD, QStringLiteral("LabelVerdict2"));
    ResidualGrid->addWidget(LabelVerdict2, 1, 2);
  }

  Polar = new PolarPanel(AidArea, two ? 2 : 1, Qt::Horizontal);
  Polar->SetMinimumChartSide(320);
  ButtonVectorTools =
      MakeButton(Polar, QStringLiteral("ButtonVectorTools"), QStringLiteral("Vector tools"));
  ButtonVectorTools->setToolTip(
      QStringLiteral("Combine masses into one, or split a mass onto two angles"));
  Polar->ButtonRow->insertWidget(1, ButtonVectorTools);

  GroupBoxTolerance = MakeGroup(AidArea, QStringLiteral("GroupBoxTolerance"),
                                QStringLiteral("Permissible residual unbalance"));
  EditRotorMass =
      AidField(GroupBoxTolerance, QStringLiteral("EditRotorMass"), &AidsInput::RotorMass);
  ComboGrade = GradeCombo(GroupBoxTolerance, QStringLiteral("ComboGrade"));
  EditServiceRpm =
      AidField(GroupBoxTolerance, QStringLiteral("EditServiceRpm"), &AidsInput::ServiceRPM);
  EditServiceRpm->setFixedWidth(120);
  EditShare1 = nullptr;
  LabelUper = MakeLabel(GroupBoxTolerance, QStringLiteral("LabelUper"), QString());
  auto* grid = new QGridLayout(GroupBoxTolerance);
  grid->addWidget(MakeLabel(GroupBoxTolerance, QString(), QStringLiteral("Rotor mass, kg")), 0, 0);
  grid->addWidget(EditRotorMass, 0, 1);
  grid->addWidget(MakeLabel(GroupBoxTolerance, QString(), QStringLiteral("Grade")), 0, 2,
                  Qt::AlignRight);
  grid->addWidget(ComboGrade, 0, 3);
  grid->addWidget(MakeLabel(GroupBoxTolerance, QString(), QStringLiteral("Service speed, rpm")), 1,
                  0);
  grid->addWidget(EditServiceRpm, 1, 1);
  if (two) {
    // Entered in percent, kept as a part of 1; empty: equal shares.
    EditShare1 =
        AidField(GroupBoxTolerance, QStringLiteral("EditShare1"), &AidsInput::Share1, 100.0, 0.5);
    EditShare1->setToolTip(QStringLiteral("Plane 1's part of U_per; plane 2 has the rest"));
    grid->addWidget(MakeLabel(GroupBoxTolerance, QString(), QStringLiteral("Plane 1 share, %")), 1,
                    2, Qt::AlignRight);
    grid->addWidget(EditShare1, 1, 3);
  }
  grid->addWidget(LabelUper, 2, 0, 1, 5);
  grid->setColumnStretch(4, 1);

  auto* aids = static_cast<QVBoxLayout*>(AidArea->layout());
  aids->setContentsMargins(0, 0, 0, 0);
  aids->addWidget(Polar, 1);
  aids->addWidget(GroupBoxTolerance);
  AidArea->show();

  connect(ButtonVectorTools, &QPushButton::clicked, this, [this] { VectorTools()->ShowModal(); });
  connect(&AidEntries::Hub(), &AidEntries::changed, this, [this] { RefreshAids(); });
}

Tolerance CorrectionForm::CurrentTolerance() const {
  AidsInput entries = Aids();
  // One plane takes the whole rotor's figure, whatever share a two-plane job was given.
  if (mode_ == BalancingMode::SinglePlane) entries.Share1 = 0.5;
  return ToleranceFor(entries, LastRunSpeed());
}

void CorrectionForm::RefreshAids() {
  static const PolarHistory kNoHistory;
  Polar->Show(BuildPolarDiagram(PolarJobFor(runs_ ? runs_->History() : kNoHistory)));

  const bool two = mode_ == BalancingMode::TwoPlane;
  const Tolerance t = CurrentTolerance();
  const ResidualVerdicts v = Verdicts(t);
  ShowVerdict(LabelVerdict1, v.D1);
  if (LabelVerdict2) ShowVerdict(LabelVerdict2, v.D2);
  LabelUper->setText(UperText(t, two));
  LabelUper->setVisible(!LabelUper->text().isEmpty());
  const double rpm = LastRunSpeed();
  EditServiceRpm->setPlaceholderText(
      rpm > 0.0 ? FormatPicture(rpm, 0) + QStringLiteral(" (last run)") : QString());
}

VectorToolsForm* CorrectionForm::VectorTools() {
  if (!vectorTools_) vectorTools_ = new VectorToolsForm(this);
  return vectorTools_;
}

}  // namespace vintor
