#include "balancing/ArchiveForm.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/TableWidgets.h"
#include "balancing/core/BalRecords.h"
#include "kit/NumericField.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"

namespace vintor {
namespace {

const QString kDate = QStringLiteral("Date");

// A group of one plane's two values: before above after.
QGroupBox* PlaneGroup(QWidget* parent, const char* name, const char* caption, QLineEdit* before,
                      QLineEdit* after) {
  QGroupBox* g = MakeGroup(parent, QString::fromLatin1(name), QString::fromLatin1(caption));
  auto* layout = new QVBoxLayout(g);
  before->setParent(g);
  after->setParent(g);
  layout->addWidget(before);
  layout->addWidget(after);
  return g;
}

QGroupBox* ToleranceGroup(QWidget* parent, const char* name, QLineEdit* edit) {
  QGroupBox* g = MakeGroup(parent, QString::fromLatin1(name), QStringLiteral("Tolerance"));
  auto* layout = new QVBoxLayout(g);
  edit->setParent(g);
  layout->addStretch();
  layout->addWidget(edit);
  layout->addStretch();
  return g;
}

}  // namespace

ArchiveForm::ArchiveForm(QWidget* parent, const ArchiveTraits& traits)
    : KitDialog(parent, QString::fromLatin1(traits.name), QString::fromLatin1(traits.caption)),
      traits_(traits) {
  const bool two = traits.planes == Planes::Two;
  resize(traits.size);
  if (traits.hintOnHelp) setWindowFlag(Qt::WindowContextHelpButtonHint, true);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::StyledPanel);

  // Top row: name, date and place, and the navigator.
  Label1 = MakeLabel(Panel1, "Label1", "Rotor name");
  Label2 = MakeLabel(Panel1, "Label2", "Date and time");
  Label3 = MakeLabel(Panel1, "Label3", "Place");
  DBEdit1 = BindField(Panel1, "DBEdit1", "NAME");
  DBEdit2 = BindField(Panel1, "DBEdit2", "Date");
  DBEdit3 = BindField(Panel1, "DBEdit3", "Place");
  DBNavigator1 = new RecordNavigator(Panel1, QStringLiteral("DBNavigator1"));
  const QFontMetrics fm = fontMetrics();
  DBEdit2->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);

  // The values: vibration and unbalance, before and after, per plane, and the tolerances.
  const int valueWidth = fm.horizontalAdvance(QStringLiteral("-00000.00")) + 16;
  auto value = [&](const char* name, const char* field) {
    QLineEdit* e = BindField(Panel1, name, field);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(valueWidth);
    return e;
  };
  DBEdit4 = value("DBEdit4", "VO1");
  DBEdit5 = value("DBEdit5", "VO7");
  if (two) {
    DBEdit6 = value("DBEdit6", "VO2");
    DBEdit7 = value("DBEdit7", "VO8");
  }
  DBEdit8 = value("DBEdit8", "D1");
  DBEdit9 = value("DBEdit9", "D7");
  if (two) {
    DBEdit10 = value("DBEdit10", "D2");
    DBEdit11 = value("DBEdit11", "D8");
  }
  DBEdit12 = value("DBEdit12", "DOP_V");
  DBEdit14 = value("DBEdit14", "DOP_D");
  if (traits.mendTolerance) MendOnExit(DBEdit12, ExitMend::Point);

  GroupBox1 = MakeGroup(Panel1, "GroupBox1", "Vibration, mm/sec");
  GroupBox2 = MakeGroup(Panel1, "GroupBox2", "Unbalance, g*mm");
  Label4 = MakeLabel(GroupBox1, "Label4", "Before");
  Label5 = MakeLabel(GroupBox1, "Label5", "After");
  Label6 = MakeLabel(GroupBox2, "Label6", "Before");
  Label7 = MakeLabel(GroupBox2, "Label7", "After");
  GroupBox3 = PlaneGroup(GroupBox1, "GroupBox3", "Plane 1", DBEdit4, DBEdit5);
  if (two) GroupBox4 = PlaneGroup(GroupBox1, "GroupBox4", "Plane 2", DBEdit6, DBEdit7);
  GroupBox7 = ToleranceGroup(GroupBox1, "GroupBox7", DBEdit12);
  GroupBox5 = PlaneGroup(GroupBox2, "GroupBox5", "Plane 1", DBEdit8, DBEdit9);
  if (two) GroupBox6 = PlaneGroup(GroupBox2, "GroupBox6", "Plane 2", DBEdit10, DBEdit11);
  GroupBox8 = ToleranceGroup(GroupBox2, "GroupBox8", DBEdit14);
  auto values = [&](QGroupBox* box, QLabel* before, QLabel* after, QGroupBox* p1, QGroupBox* p2,
                    QGroupBox* tolerance) {
    // The headings stand level with the rows of values inside the plane groups.
    auto* headings = new QVBoxLayout;
    headings->addSpacing(fm.height());
    headings->addWidget(before, 1);
    headings->addWidget(after, 1);
    auto* row = new QHBoxLayout(box);
    row->addLayout(headings);
    row->addWidget(p1);
    if (p2) row->addWidget(p2);
    row->addWidget(tolerance);
  };
  values(GroupBox1, Label4, Label5, GroupBox3, GroupBox4, GroupBox7);
  values(GroupBox2, Label6, Label7, GroupBox5, GroupBox6, GroupBox8);

  Button3 = MakeButton(Panel1, "Button3", "F9 - Report");
  Button2 = MakeButton(Panel1, "Button2", "F10 - Exit");

  auto* top = new QGridLayout;
  top->addWidget(Label1, 0, 0);
  top->addWidget(DBEdit1, 0, 1);
  top->addWidget(Label2, 0, 2);
  top->addWidget(DBEdit2, 0, 3);
  top->addWidget(Label3, 1, 0);
  top->addWidget(DBEdit3, 1, 1, 1, 3);
  top->setColumnStretch(1, 1);
  auto* topRow = new QHBoxLayout;
  topRow->addLayout(top, 1);
  topRow->addSpacing(12);
  topRow->addWidget(DBNavigator1, 0, Qt::AlignBottom);
  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button3);
  buttons->addWidget(Button2);
  auto* middle = new QHBoxLayout;
  middle->addWidget(GroupBox1);
  middle->addWidget(GroupBox2);
  middle->addStretch();
  middle->addLayout(buttons);
  auto* panel = new QVBoxLayout(Panel1);
  panel->addLayout(topRow);
  panel->addLayout(middle);

  DBGrid1 = new RecordGrid(this, QStringLiteral("DBGrid1"));
  DBGrid1->SetRowNumbers(true);
  QStringList locked;
  for (const FieldDef& f : ShapeOf(ArchiveTableOf(traits.planes)).fields)
    if (IsMeasuredField(traits.planes, f.name)) locked << f.name;
  if (!traits.dateEditable) locked << kDate;
  DBGrid1->SetReadOnlyFields(locked);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  layout->addWidget(DBGrid1, 1);

  browser_ = new TableBrowser(this, DBGrid1, DBNavigator1);
  browser_->commitFields = [this] { CommitFields(); };
  connect(browser_, &TableBrowser::recordChanged, this, &ArchiveForm::ShowRecord);

  connect(Button3, &QPushButton::clicked, this, &ArchiveForm::Button3Click);
  connect(Button2, &QPushButton::clicked, this, &ArchiveForm::Button2Click);
  Keys()
      .Click(Qt::Key_F9, Button3)
      .Click(Qt::Key_F10, Button2)
      .On(Qt::Key_Escape, [this] { DBGrid1->CancelEdit(); });
  if (traits.hintOnHelp) Keys().On(Qt::Key_Help, [this] { ShowHint(); });
  ShowRecord();
}

QLineEdit* ArchiveForm::BindField(QWidget* parent, const char* name, const char* field) {
  QLineEdit* e = MakeEdit(parent, QString::fromLatin1(name), QString());
  const QString f = QString::fromLatin1(field);
  const size_t i = bound_.size();
  bound_.push_back({e, f, IsMeasuredField(traits_.planes, f)});
  connect(e, &QLineEdit::editingFinished, this, [this, i] { CommitField(bound_[i]); });
  return e;
}

ArchiveForm::~ArchiveForm() { DisconnectControls(this); }

void ArchiveForm::ShowRecord() {
  const BalTableModel* model = browser_->Model();
  const int row = browser_->CurrentRow();
  const bool readOnly = browser_->ReadOnly();
  for (const Bound& b : bound_) {
    QString text;
    if (model && row >= 0) text = model->data(model->index(row, model->ColumnOf(b.field))).toString();
    if (b.edit->text() != text) b.edit->setText(text);
    const bool locked = readOnly || b.measured || (b.field == kDate && !traits_.dateEditable);
    if (locked != b.edit->isReadOnly()) {
      b.edit->setReadOnly(locked);
      // Read-only fields look it.
      QPalette p = b.edit->parentWidget()->palette();
      if (locked) p.setColor(QPalette::Base, p.color(QPalette::Window));
      b.edit->setPalette(p);
    }
  }
}

void ArchiveForm::CommitField(const Bound& b) {
  if (b.edit->isReadOnly()) return;
  const BalTableModel* model = browser_->Model();
  const int row = browser_->CurrentRow();
  QString stored;
  if (model && row >= 0) stored = model->data(model->index(row, model->ColumnOf(b.field))).toString();
  if (b.edit->text() == stored) return;
  browser_->SetField(b.field, b.edit->text());
}

void ArchiveForm::CommitFields() {
  // Taken all at once: writing one field shows the record again in every field.
  std::vector<std::pair<const Bound*, QString>> typed;
  const BalTableModel* model = browser_->Model();
  const int row = browser_->CurrentRow();
  for (const Bound& b : bound_) {
    if (b.edit->isReadOnly()) continue;
    QString stored;
    if (model && row >= 0) stored = model->data(model->index(row, model->ColumnOf(b.field))).toString();
    if (b.edit->text() != stored) typed.emplace_back(&b, b.edit->text());
  }
  for (const auto& [b, text] : typed) browser_->SetField(b->field, text);
}

void ArchiveForm::Reposition() {
  const int number = ArchRecNo(traits_.planes);
  if (number > 0) browser_->MoveToRecord(number);
}

void ArchiveForm::AttachTable() {
  BalTable* table = OpenProgramTable(ArchiveTableOf(traits_.planes));
  browser_->Attach(table ? table->Model() : nullptr);
  Reposition();
}

void ArchiveForm::Present(bool modal, QWidget* over) {
  if (isVisible()) {
    AttachTable();
    raise();
    activateWindow();
    return;
  }
  if (traits_.centred) CentreOnScreen(this);
  if (modal) {
    ShowModal();
  } else {
    ShowModeless(over);
  }
}

void ArchiveForm::ShowAfterAdding(QWidget* over) {
  // The record on screen is posted first: adding selects the table's rows again.
  if (isVisible() && !browser_->PostPending()) return;
  if (!AddToArchive(traits_.planes, ArchiveUnbalanceTolerance(Meas().RPM))) return;
  Present(traits_.modalAfterAdding, over);
}

void ArchiveForm::ShowForBrowsing(bool modal, QWidget* over) {
  if (!OpenArchiveForBrowsing(traits_.planes)) return;
  Present(modal, over);
}

void ArchiveForm::FormShow() {
  AttachTable();
  DBGrid1->setFocus();
}

void ArchiveForm::done(int result) {
  // Typed values are kept, not lost with the window; a post that fails keeps the window open
  // with its message.
  if (isVisible() && !browser_->PostPending()) return;
  KitDialog::done(result);
}

void ArchiveForm::FormClose() {
  // The grid lets go of the model before the table drops it.
  browser_->Detach();
  CloseArchive(traits_.planes);
}

void ArchiveForm::Button3Click() {
  browser_->CommitEdits();
  const TableRecord record = browser_->CurrentRow() >= 0
                                 ? browser_->CurrentValues()
                                 : TableRecord(ArchiveTableOf(traits_.planes));
  ReportRecord(traits_.planes, record);
}

void ArchiveForm::Button2Click() { reject(); }

void ArchiveForm::ShowHint() {
  Svc().dialogs->Message(QCoreApplication::applicationName(), QStringLiteral("Hint!"));
}

bool ArchiveForm::event(QEvent* event) {
  // What's This on any control of the window ends here unless the control answers itself.
  if (traits_.hintOnHelp && event->type() == QEvent::WhatsThis) {
    event->accept();
    ShowHint();
    return true;
  }
  return KitDialog::event(event);
}

}  // namespace vintor
