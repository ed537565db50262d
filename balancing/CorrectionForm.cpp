#include "balancing/CorrectionForm.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/RunForm.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"

namespace vintor {
namespace {

QLineEdit* ResultField(QWidget* parent, const QString& name) {
  QLineEdit* e = MakeEdit(parent, name);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  e->setFixedWidth(80);
  QFont f = e->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 2);
  e->setFont(f);
  return e;
}

QPushButton* BigButton(QWidget* parent, const QString& name, const QString& caption) {
  return MakeBoldButton(parent, name, caption, 36);
}

// Caption, field and unit of one value in a row of `grid`, from column `col`.
void PutValue(QGridLayout* grid, int row, int col, QLabel* caption, QLineEdit* field,
              QLabel* unit) {
  grid->addWidget(caption, row, col, Qt::AlignRight);
  grid->addWidget(field, row, col + 1);
  if (unit) grid->addWidget(unit, row, col + 2);
}

}  // namespace

CorrectionForm::CorrectionForm(QWidget* parent, const CorrectionFormTable& t)
    : KitDialog(parent, t.name, t.caption),
      mode_(t.mode),
      successEnablesArchive_(t.successEnablesArchive) {
  const bool two = mode_ == BalancingMode::TwoPlane;
  const CorrectionTexts initial;
  setModal(true);

  RadioGroup1 =
      new RadioGroup(this, "RadioGroup1", "Correction method", {"Add mass", "Remove mass"}, 0);

  // Polar: mass and angle of each plane.
  GroupBoxP = MakeGroup(this, "GroupBoxP", t.groupP);
  Label17 = MakeLabel(GroupBoxP, "Label17", t.label17);
  EditM1 = ResultField(GroupBoxP, "EditM1");
  LabelM1 = MakeLabel(GroupBoxP, "LabelM1", initial.LabelM1);
  Label19 = MakeLabel(GroupBoxP, "Label19", t.label19);
  EditF1 = ResultField(GroupBoxP, "EditF1");
  Label18 = LabelM2 = Label20 = nullptr;
  EditM2 = EditF2 = nullptr;
  auto* polar = new QGridLayout(GroupBoxP);
  PutValue(polar, 0, 0, Label17, EditM1, LabelM1);
  if (two) {
    Label18 = MakeLabel(GroupBoxP, "Label18", t.label18);
    EditM2 = ResultField(GroupBoxP, "EditM2");
    LabelM2 = MakeLabel(GroupBoxP, "LabelM2", initial.LabelM2);
    Label20 = MakeLabel(GroupBoxP, "Label20", t.label20);
    EditF2 = ResultField(GroupBoxP, "EditF2");
    PutValue(polar, 0, 3, Label19, EditF1, nullptr);
    PutValue(polar, 1, 0, Label18, EditM2, LabelM2);
    PutValue(polar, 1, 3, Label20, EditF2, nullptr);
  } else {
    Label2 = MakeLabel(GroupBoxP, "Label2", QString::fromUtf8("°"));
    EditF1->setToolTip(
        QStringLiteral("Correction angle set from the trial mass point, by the rotor rotation "
                       "direction"));
    PutValue(polar, 1, 0, Label19, EditF1, Label2);
  }
  polar->setColumnStretch(6, 1);

  // Blades: the same place, each plane's mass split onto two blades.
  GroupBoxL = MakeGroup(this, "GroupBoxL", t.groupL);
  Label3 = MakeLabel(GroupBoxL, "Label3", t.label3);
  Label4 = MakeLabel(GroupBoxL, "Label4", t.label4);
  auto bladeValue = [&](const QString& plane, QLabel*& z1, QLineEdit*& m1, QLabel*& u1, QLabel*& z2,
                        QLineEdit*& m2, QLabel*& u2) {
    z1 = MakeLabel(GroupBoxL, "LabelZ" + plane + "1", "Z" + plane + "1");
    m1 = ResultField(GroupBoxL, "EditM" + plane + "1");
    u1 = MakeLabel(GroupBoxL, "LabelM" + plane + "1", initial.LabelM11);
    z2 = MakeLabel(GroupBoxL, "LabelZ" + plane + "2", "Z" + plane + "2");
    m2 = ResultField(GroupBoxL, "EditM" + plane + "2");
    u2 = MakeLabel(GroupBoxL, "LabelM" + plane + "2", initial.LabelM12);
  };
  bladeValue("1", LabelZ11, EditM11, LabelM11, LabelZ12, EditM12, LabelM12);
  LabelZ21 = LabelM21 = LabelZ22 = LabelM22 = nullptr;
  EditM21 = EditM22 = nullptr;
  auto* blades = new QGridLayout(GroupBoxL);
  if (two) {
    // One row per plane, headed by the plane.
    bladeValue("2", LabelZ21, EditM21, LabelM21, LabelZ22, EditM22, LabelM22);
    blades->addWidget(Label3, 0, 0);
    PutValue(blades, 0, 1, LabelZ11, EditM11, LabelM11);
    PutValue(blades, 0, 4, LabelZ12, EditM12, LabelM12);
    blades->addWidget(Label4, 1, 0);
    PutValue(blades, 1, 1, LabelZ21, EditM21, LabelM21);
    PutValue(blades, 1, 4, LabelZ22, EditM22, LabelM22);
  } else {
    // One column per blade, headed by the blade.
    blades->addWidget(Label3, 0, 1, Qt::AlignCenter);
    blades->addWidget(Label4, 0, 4, Qt::AlignCenter);
    PutValue(blades, 1, 0, LabelZ11, EditM11, LabelM11);
    PutValue(blades, 1, 3, LabelZ12, EditM12, LabelM12);
  }
  blades->setColumnStretch(7, 1);

  GroupBoxD = MakeGroup(this, "GroupBoxD", "Residual unbalance");
  Label1 = MakeLabel(GroupBoxD, "Label1", "D1,g*mm");
  EditD1 = ResultField(GroupBoxD, "EditD1");
  ResidualGrid = new QGridLayout(GroupBoxD);
  PutValue(ResidualGrid, 0, 0, Label1, EditD1, nullptr);
  EditD2 = nullptr;
  if (two) {
    Label2 = MakeLabel(GroupBoxD, "Label2", "D2,g*mm");
    EditD2 = ResultField(GroupBoxD, "EditD2");
    PutValue(ResidualGrid, 1, 0, Label2, EditD2, nullptr);
  }
  ResidualGrid->setColumnStretch(4, 1);

  LabelNote = MakeLabel(this, "LabelNote", QString());
  LabelNote->hide();
  Button2 = BigButton(this, "Button2", t.button2);
  if (!t.button2Hint.isEmpty()) Button2->setToolTip(t.button2Hint);
  Button3 = BigButton(this, "Button3", t.button3);
  Button1 = BigButton(this, "Button1", t.button1);
  // Nothing to store or save until a balancing has computed something.
  DisableButtons();

  AidArea = new QWidget(this);
  AidArea->setObjectName(QStringLiteral("AidArea"));
  new QVBoxLayout(AidArea);
  AidArea->hide();
  BuildAids();

  auto* column = new QVBoxLayout;
  column->addWidget(RadioGroup1);
  column->addWidget(GroupBoxP);
  column->addWidget(GroupBoxL);
  column->addWidget(GroupBoxD);
  column->addWidget(LabelNote);
  column->addStretch();
  auto* body = new QHBoxLayout;
  body->addLayout(column, 1);
  body->addWidget(AidArea);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);
  GroupBoxL->hide();
  setMinimumWidth(two ? 560 : 460);

  connect(RadioGroup1, &RadioGroup::itemChosen, this, &CorrectionForm::RadioGroup1Click);
  connect(Button1, &QPushButton::clicked, this, &CorrectionForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &CorrectionForm::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &CorrectionForm::Button3Click);
  Keys().Click(Qt::Key_F8, Button2).Click(Qt::Key_F9, Button3).Click(Qt::Key_F10, Button1);
  // Room for the aids: a first showing would keep to two thirds of the screen's width.
  resize(sizeHint());
}

void CorrectionForm::SetWindows(InitialDataForm* initial, RunForm* runs) {
  initial_ = initial;
  runs_ = runs;
}

void CorrectionForm::DisableButtons() {
  Button2->setEnabled(false);
  Button3->setEnabled(false);
}

void CorrectionForm::EnableArchive() { Button3->setEnabled(true); }

void CorrectionForm::MoveToTopOf(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  move(frame.x() + std::max(0, (frame.width() - width()) / 2), frame.y());
}

QStringList CorrectionForm::LogTexts() const {
  QStringList t{EditM1->text(), EditF1->text()};
  if (EditM2) t << EditM2->text() << EditF2->text();
  return t;
}

void CorrectionForm::FormShow() {
  Recompute();
  RefreshAids();
}

void CorrectionForm::Recompute() {
  BeforeCompute();
  const CorrectionOutcome out = Compute();
  PlaceTexts();
  for (const QString& line : out.logLines)
    if (runs_) runs_->AppendLog(line);
  if (!out.warning.isEmpty()) Svc().dialogs->Warning(out.warning);
  if (out.ok) {
    Button2->setEnabled(true);
    if (successEnablesArchive_) Button3->setEnabled(true);
  }
  if (onComputed) onComputed();
}

void CorrectionForm::PlaceTexts() {
  const CorrectionTexts& t = Texts();
  EditM1->setText(t.EditM1);
  EditF1->setText(t.EditF1);
  LabelM1->setText(t.LabelM1);
  EditD1->setText(t.EditD1);
  LabelZ11->setText(t.LabelZ11);
  EditM11->setText(t.EditM11);
  LabelM11->setText(t.LabelM11);
  LabelZ12->setText(t.LabelZ12);
  EditM12->setText(t.EditM12);
  LabelM12->setText(t.LabelM12);
  if (mode_ == BalancingMode::TwoPlane) {
    EditM2->setText(t.EditM2);
    EditF2->setText(t.EditF2);
    LabelM2->setText(t.LabelM2);
    EditD2->setText(t.EditD2);
    LabelZ21->setText(t.LabelZ21);
    EditM21->setText(t.EditM21);
    LabelM21->setText(t.LabelM21);
    LabelZ22->setText(t.LabelZ22);
    EditM22->setText(t.EditM22);
    LabelM22->setText(t.LabelM22);
  }
  GroupBoxL->setVisible(t.BladesShown);
  GroupBoxP->setVisible(!t.BladesShown);
  LabelNote->setText(t.Note);
  LabelNote->setVisible(!t.Note.isEmpty());
}

void CorrectionForm::RadioGroup1Click() {
  SetMethod(RadioGroup1->ItemIndex() == 1 ? CorrectionMethod::RemoveMass
                                          : CorrectionMethod::AddMass);
  PlaceTexts();
  RefreshAids();
}

void CorrectionForm::Button1Click() {
  done(QDialog::Accepted);
  // The two-plane window has always left the archive directory current.
  if (mode_ == BalancingMode::TwoPlane) QDir::setCurrent(Paths().ArcDir);
}

void CorrectionForm::Button2Click() {
  if (showIntRatio) showIntRatio();
}

void CorrectionForm::Button3Click() {
  if (mode_ == BalancingMode::TwoPlane) QDir::setCurrent(Paths().WorkDir);
  if (addArchiveRecord) addArchiveRecord();
}

}  // namespace vintor
