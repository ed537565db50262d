#include "balancing/InitialDataForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/CorrectionForm.h"
#include "balancing/RunForm.h"
#include "kit/NumericField.h"
#include "platform/Services.h"

namespace vintor {
namespace {

constexpr int kNewRotor = 0, kSelectRotor = 1;
constexpr int kPercent = 0, kGramm = 1;
constexpr int kPolar = 0, kBlades = 1;

QLineEdit* Field(QWidget* parent, const QString& name, ExitMend mend) {
  QLineEdit* e = MakeEdit(parent, name);
  e->setFixedWidth(90);
  MakeNumeric(e, mend);
  return e;
}

QPushButton* BigButton(QWidget* parent, const QString& name, const QString& caption) {
  return MakeBoldButton(parent, name, caption, 36);
}

// A field beside the second item of its radio group, where that item's choice enables it.
QVBoxLayout* BesideSecondItem() {
  auto* column = new QVBoxLayout;
  column->addStretch(3);
  return column;
}

}  // namespace

InitialDataForm::InitialDataForm(QWidget* parent, BalancingMode mode, const QString& name)
    : KitDialog(parent, name, InitialDataTableOf(mode).caption), mode_(mode) {
  const bool two = mode == BalancingMode::TwoPlane;
  setModal(true);

  RadioGroup0 =
      new RadioGroup(this, "RadioGroup0", "Balancing", {"New rotor", "Select rotor"}, kNewRotor);
  Button3 = BigButton(this, "Button3", "Select");
  RadioGroup1 =
      new RadioGroup(this, "RadioGroup1", "Trial mass weight", {"Percent", "Gramm"}, kPercent);
  EditM1 = Field(this, "EditM1", ExitMend::Point);
  EditM2 = two ? Field(this, "EditM2", ExitMend::Point) : nullptr;
  RadioGroup2 =
      new RadioGroup(this, "RadioGroup2", "Coordinate system", {"Polar", "Blades"}, kPolar);
  Edit2 = Field(this, "Edit2", ExitMend::None);
  GroupBox1 = MakeGroup(this, "GroupBox1", "Trial mass place radius, mm");
  EditD1 = Field(GroupBox1, "EditD1", ExitMend::None);
  EditD2 = two ? Field(GroupBox1, "EditD2", ExitMend::None) : nullptr;
  Button2 = BigButton(this, "Button2", "F9 - Continue");
  Button1 = BigButton(this, "Button1", "F10 - Exit");

  // Radii, each with its plane label.
  auto* radii = new QHBoxLayout(GroupBox1);
  radii->addWidget(MakeLabel(GroupBox1, "Label4", "Plane1"));
  radii->addWidget(EditD1);
  if (two) {
    radii->addSpacing(16);
    radii->addWidget(MakeLabel(GroupBox1, "Label5", "Plane2"));
    radii->addWidget(EditD2);
  }
  radii->addStretch();

  // Trial masses beside "Gramm"; two-plane heads them with their planes.
  auto* masses = new QGridLayout;
  masses->setRowStretch(0, 1);
  if (two) {
    masses->addWidget(MakeLabel(this, "Label2", "1st plane"), 1, 0);
    masses->addWidget(MakeLabel(this, "Label3", "2nd plane"), 1, 1);
    masses->addWidget(EditM2, 2, 1);
  }
  masses->addWidget(EditM1, 2, 0);
  auto* blades = BesideSecondItem();
  blades->addWidget(Edit2);
  auto* select = BesideSecondItem();
  select->addWidget(Button3);

  FieldGrid = new QGridLayout;
  FieldGrid->addWidget(RadioGroup0, 0, 0);
  FieldGrid->addLayout(select, 0, 1);
  FieldGrid->addWidget(RadioGroup1, 1, 0);
  FieldGrid->addLayout(masses, 1, 1);
  FieldGrid->addWidget(RadioGroup2, 2, 0);
  FieldGrid->addLayout(blades, 2, 1);
  FieldGrid->addWidget(GroupBox1, 3, 0, 1, 2);
  FieldGrid->setColumnStretch(2, 1);

  AidArea = new QWidget(this);
  AidArea->setObjectName(QStringLiteral("AidArea"));
  new QVBoxLayout(AidArea);
  AidArea->hide();
  BuildAids();

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  auto* body = new QHBoxLayout;
  body->addLayout(FieldGrid, 1);
  body->addWidget(AidArea);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addStretch();
  layout->addLayout(buttons);

  connect(RadioGroup0, &RadioGroup::itemChosen, this, &InitialDataForm::RadioGroup0Click);
  connect(RadioGroup1, &RadioGroup::itemChosen, this, &InitialDataForm::RadioGroup1Click);
  connect(RadioGroup2, &RadioGroup::itemChosen, this, &InitialDataForm::RadioGroup2Click);
  connect(Button3, &QPushButton::clicked, this, &InitialDataForm::Button3Click);
  connect(Button2, &QPushButton::clicked, this, [this] { Continue(); });
  connect(Button1, &QPushButton::clicked, this, &InitialDataForm::Button1Click);
  Keys().Click(Qt::Key_F9, Button2).Click(Qt::Key_F10, Button1);

  // The enabling rules hold from the first showing: the groups report only changes.
  RadioGroup0Click();
  RadioGroup1Click();
  RadioGroup2Click();
}

void InitialDataForm::SetWindows(RunForm* runs, CorrectionForm* correction) {
  runs_ = runs;
  correction_ = correction;
}

void InitialDataForm::FormShow() {
  ClearOnShow(mode_);
  ShowTrialHints();
}

void InitialDataForm::RadioGroup0Click() {
  Button3->setEnabled(RadioGroup0->ItemIndex() == kSelectRotor);
}

void InitialDataForm::RadioGroup1Click() {
  const bool grams = RadioGroup1->ItemIndex() == kGramm;
  for (QLineEdit* e : {EditM1, EditM2, EditD1, EditD2}) {
    if (!e) continue;
    if (!grams) e->setText(kNoData);
    e->setEnabled(grams);
  }
}

void InitialDataForm::RadioGroup2Click() {
  const bool blades = RadioGroup2->ItemIndex() == kBlades;
  if (!blades) Edit2->setText(kNoData);
  Edit2->setEnabled(blades);
}

void InitialDataForm::Button3Click() {
  if (selectRotor) selectRotor();
}

void InitialDataForm::Button1Click() { done(QDialog::Rejected); }

InitialDataEntries InitialDataForm::Entries() const {
  InitialDataEntries e;
  e.selectRotor = RadioGroup0->ItemIndex() == kSelectRotor;
  e.grams = RadioGroup1->ItemIndex() == kGramm;
  e.blades = RadioGroup2->ItemIndex() == kBlades;
  e.EditM1 = EditM1->text();
  e.EditM2 = EditM2 ? EditM2->text() : QString();
  e.Edit2 = Edit2->text();
  e.EditD1 = EditD1->text();
  e.EditD2 = EditD2 ? EditD2->text() : QString();
  return e;
}

bool InitialDataForm::Continue() {
  if (runs_) runs_->HideTachoLabel();
  const bool ok =
      CheckInitialData(mode_, Entries(), [](const QString& m) { Svc().dialogs->Warning(m); });
  if (!ok) return false;
  if (correction_) correction_->DisableButtons();
  if (runs_) {
    runs_->EnableRun0Group();
    runs_->ShowModeless(this);
  }
  return true;
}

}  // namespace vintor
