#include "balancing/CoeffTableForm.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/TableWidgets.h"

namespace vintor {
namespace {

void SetText(const QPointer<QLineEdit>& edit, const QString& text) {
  if (edit) edit->setText(text);
}

}  // namespace

InitialDataChoices ChoicesOf(const InitialDataFields& f) {
  InitialDataChoices c;
  if (f.RadioGroup1 && f.RadioGroup1->ItemIndex() == 1) c.trial = TrialUnit::Gramm;
  if (f.RadioGroup2 && f.RadioGroup2->ItemIndex() == 1) c.coords = Coordinates::Blades;
  return c;
}

void ApplyKftSelection(const InitialDataFields& f, Planes planes, const KftSelection& s) {
  if (f.RadioGroup1) f.RadioGroup1->SetItemIndex(s.choices.trial == TrialUnit::Gramm ? 1 : 0);
  if (f.RadioGroup2)
    f.RadioGroup2->SetItemIndex(s.choices.coords == Coordinates::Blades ? 1 : 0);
  SetText(f.EditM1, s.EditM1);
  SetText(f.Edit2, s.Edit2);
  SetText(f.EditD1, s.EditD1);
  if (planes == Planes::Two) {
    SetText(f.EditM2, s.EditM2);
    SetText(f.EditD2, s.EditD2);
  }
}

CoeffTableForm::CoeffTableForm(QWidget* parent, const CoeffTableTraits& traits)
    : KitDialog(parent, QString::fromLatin1(traits.name), QString::fromLatin1(traits.caption)),
      traits_(traits) {
  setModal(true);
  resize(traits.size);

  DBGrid1 = new RecordGrid(this, QStringLiteral("DBGrid1"));
  DBGrid1->setToolTip(ShapeOf(CoeffTableOf(traits.planes)).hint);
  DBNavigator1 = new RecordNavigator(this, QStringLiteral("DBNavigator1"));
  Button1 = MakeButton(this, "Button1", QString::fromLatin1(traits.selectCaption));
  Button2 = MakeButton(this, "Button2", QString::fromLatin1(traits.exitCaption));
  browser_ = new TableBrowser(this, DBGrid1, DBNavigator1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(DBNavigator1);
  bottom->addStretch();
  bottom->addWidget(Button1);
  bottom->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DBGrid1, 1);
  layout->addLayout(bottom);

  connect(Button1, &QPushButton::clicked, this, &CoeffTableForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &CoeffTableForm::Button2Click);
  Keys()
      .Click(Qt::Key_F2, Button1)
      .Click(Qt::Key_F10, Button2)
      // Escape leaves a cell being typed in as it was, and nothing else.
      .On(Qt::Key_Escape, [this] { DBGrid1->CancelEdit(); });
}

void CoeffTableForm::SelectInto(const InitialDataFields& fields) {
  const Planes planes = traits_.planes;
  currentChoices = [fields] { return ChoicesOf(fields); };
  selected = [fields, planes](const KftSelection& s) { ApplyKftSelection(fields, planes, s); };
}

void CoeffTableForm::ShowForSelection() {
  if (isVisible()) return;
  CentreOnScreen(this);
  ShowModal();
}

void CoeffTableForm::ShowOnRecord(int number) {
  showOn_ = number;
  ShowForSelection();
  showOn_ = 0;
}

void CoeffTableForm::FormShow() {
  // The table stays open once opened; opened again only when the working directory changed.
  BalTable* table = OpenProgramTable(CoeffTableOf(traits_.planes));
  browser_->Attach(table ? table->Model() : nullptr);
  if (showOn_ > 0) browser_->MoveToRecord(showOn_);
  DBGrid1->setFocus();
}

void CoeffTableForm::Button1Click() {
  if (!browser_->Model()) {
    // The table could not be opened: there is nothing to select, and the operator is told
    // again why (or sees the records, if the file has become usable meanwhile).
    if (BalTable* table = OpenProgramTable(CoeffTableOf(traits_.planes)))
      browser_->Attach(table->Model());
    return;
  }
  if (!browser_->PostPending()) return;
  const TableRecord record = browser_->CurrentRow() >= 0
                                 ? browser_->CurrentValues()
                                 : TableRecord(CoeffTableOf(traits_.planes));
  const InitialDataChoices now = currentChoices ? currentChoices() : InitialDataChoices{};
  const KftSelection s = SelectCoefficients(traits_.planes, record, now);
  CopyCoefficients(traits_.planes, s);
  if (selected) selected(s);
  accept();
}

void CoeffTableForm::Button2Click() { reject(); }

void CoeffTableForm::done(int result) {
  // A name typed into the grid is kept, not lost with the window; a post that fails keeps the
  // window open with its message, so the operator can try again or cancel the edit.
  if (isVisible() && !browser_->PostPending()) return;
  KitDialog::done(result);
}

}  // namespace vintor
