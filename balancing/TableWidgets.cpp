#include "balancing/TableWidgets.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMetaProperty>
#include <QScreen>
#include <QSqlRecord>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

#include "platform/Services.h"

namespace vintor {
namespace {

// Standard error display, after the event that found the error has finished: an editor that
// loses its focus to the message box must not commit a second time.
void ReportLater(const QString& text) {
  if (text.isEmpty()) return;
  QTimer::singleShot(0, [text] { Svc().dialogs->Error(text); });
}

class GridDelegate final : public QStyledItemDelegate {
 public:
  explicit GridDelegate(RecordGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    if (grid_->IsReadOnlyColumn(index.column())) return nullptr;
    return QStyledItemDelegate::createEditor(parent, option, index);
  }

  // As the base class does it, but a refused entry is not dropped silently.
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    const QByteArray property = editor->metaObject()->userProperty().name();
    if (property.isEmpty()) return;
    if (!model->setData(index, editor->property(property.constData()), Qt::EditRole)) {
      auto* table = dynamic_cast<BalTableModel*>(model);
      ReportLater(table ? table->ErrorText() : QString());
    }
  }

 private:
  RecordGrid* grid_;
};

struct NavButtonDef {
  NavAction action;
  const char* name;
  const char* glyph;
  const char* hint;
};

// The glyphs and hints a database navigator shows.
constexpr std::array<NavButtonDef, 10> kNavButtons = {{
    {NavAction::First, "nbFirst", "|\u25C0", "First record"},
    {NavAction::Prior, "nbPrior", "\u25C0", "Prior record"},
    {NavAction::Next, "nbNext", "\u25B6", "Next record"},
    {NavAction::Last, "nbLast", "\u25B6|", "Last record"},
    {NavAction::Insert, "nbInsert", "+", "Insert record"},
    {NavAction::Delete, "nbDelete", "\u2212", "Delete record"},
    {NavAction::Edit, "nbEdit", "\u25B2", "Edit record"},
    {NavAction::Post, "nbPost", "\u2713", "Post edit"},
    {NavAction::Cancel, "nbCancel", "\u2717", "Cancel edit"},
    {NavAction::Refresh, "nbRefresh", "\u21BB", "Refresh data"},
}};

}  // namespace

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

// ---- RecordGrid ------------------------------------------------------------------------------

RecordGrid::RecordGrid(QWidget* parent, const QString& name) : QTableView(parent) {
  setObjectName(name);
  setItemDelegate(new GridDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::AnyKeyPressed);
  setAlternatingRowColors(true);
  setWordWrap(false);
  // Fixed row heights: a grid of ten thousand records must not measure every row.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
}

BalTableModel* RecordGrid::Model() const { return dynamic_cast<BalTableModel*>(model()); }

void RecordGrid::SetRowNumbers(bool shown) { verticalHeader()->setVisible(shown); }

bool RecordGrid::IsReadOnlyColumn(int column) const {
  BalTableModel* m = Model();
  if (!m || column < 0) return true;
  const QString name = m->record().fieldName(column);
  return readOnly_.contains(name, Qt::CaseInsensitive);
}

void RecordGrid::SetTable(BalTableModel* model) {
  // Each model gets a new selection model; the old one is the grid's to drop.
  QItemSelectionModel* old = selectionModel();
  setModel(model);
  if (old && old != selectionModel()) old->deleteLater();
  if (!model) return;
  const std::vector<int> shown = model->GridColumns();
  for (int c = 0; c < model->columnCount(); ++c)
    setColumnHidden(c, std::find(shown.begin(), shown.end(), c) == shown.end());
  // The grid's order, whatever order the file keeps its fields in.
  QHeaderView* header = horizontalHeader();
  const QFontMetrics fm = fontMetrics();
  const BalTable& table = model->Table();
  for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
    const int column = shown[static_cast<size_t>(i)];
    header->moveSection(header->visualIndex(column), i);
    const int f = table.Shape().IndexOf(model->record().fieldName(column));
    const FieldType type = table.Shape().fields[static_cast<size_t>(f)].type;
    const QString title = model->headerData(column, Qt::Horizontal).toString();
    // Wide enough for a typical value; texts longer than that are cut, the operator widens.
    int width = fm.horizontalAdvance(QStringLiteral("-000.000"));
    if (type == FieldType::Key) width = fm.horizontalAdvance(QStringLiteral("0000"));
    if (type == FieldType::Text) width = fm.averageCharWidth() * 20;
    if (title == QLatin1String("Date"))
      width = fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00"));
    setColumnWidth(column, std::max(fm.horizontalAdvance(title), width) + fm.averageCharWidth() * 2);
  }
}

void RecordGrid::CommitEdit() {
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

bool RecordGrid::CancelEdit() {
  if (state() != QAbstractItemView::EditingState) return false;
  if (QWidget* editor = indexWidget(currentIndex())) {
    closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    setFocus();
    return true;
  }
  return false;
}

// ---- RecordNavigator -------------------------------------------------------------------------

RecordNavigator::RecordNavigator(QWidget* parent, const QString& name) : QWidget(parent) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const int side = fontMetrics().height() + 10;
  for (size_t i = 0; i < kNavButtons.size(); ++i) {
    const NavButtonDef& d = kNavButtons[i];
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(d.name));
    b->setText(QString::fromUtf8(d.glyph));
    b->setToolTip(QString::fromLatin1(d.hint));
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(side + 6, side);
    layout->addWidget(b);
    buttons_[i] = b;
    const NavAction action = d.action;
    connect(b, &QToolButton::clicked, this, [this, action] { emit actionClicked(action); });
  }
}

QToolButton* RecordNavigator::Button(NavAction action) const {
  return buttons_[static_cast<size_t>(action)];
}

// ---- TableBrowser ----------------------------------------------------------------------------

TableBrowser::TableBrowser(QObject* parent, RecordGrid* grid, RecordNavigator* buttons)
    : QObject(parent), grid_(grid), buttons_(buttons) {
  connect(buttons_, &RecordNavigator::actionClicked, this, [this](NavAction a) { Act(a); });
  UpdateButtons();
}

TableBrowser::~TableBrowser() = default;

void TableBrowser::Attach(BalTableModel* model) {
  if (model && model == model_.data() && nav_) {
    // The same table: keep the position, but take in what others changed meanwhile.
    nav_->Clamp();
    ShowCurrent();
    emit recordChanged();
    return;
  }
  Detach();
  if (!model) return;
  model_ = model;
  nav_ = std::make_unique<TableNavigator>(*model);
  grid_->SetTable(model);
  // The grid's current row follows the operator; moving it may post, which selects the rows
  // again, so that happens after the grid's own handling of the click or key.
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
    if (syncing_ || followQueued_) return;
    followQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      if (!followQueued_) return;  // done already by an action that came first
      followQueued_ = false;
      FollowGrid();
    });
  });
  // Edits in the grid, and selects from elsewhere (a record saved or added by another window).
  connect(model, &QAbstractItemModel::dataChanged, this, [this] {
    UpdateButtons();
    emit recordChanged();
  });
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    if (syncing_) return;
    QTimer::singleShot(0, this, [this] {
      if (!nav_ || !model_) return;
      nav_->Clamp();
      ShowCurrent();
      emit recordChanged();
    });
  });
  ShowCurrent();
  emit recordChanged();
}

void TableBrowser::Detach() {
  if (model_) disconnect(model_, nullptr, this, nullptr);
  if (grid_->selectionModel()) disconnect(grid_->selectionModel(), nullptr, this, nullptr);
  // The grid lets go of the model before the table may drop it.
  grid_->SetTable(nullptr);
  nav_.reset();
  model_ = nullptr;
  UpdateButtons();
  emit recordChanged();
}

int TableBrowser::CurrentRow() const { return Nav() ? nav_->CurrentRow() : -1; }

TableRecord TableBrowser::CurrentValues() const {
  if (!Nav()) return TableRecord();
  return model_->RecordAt(nav_->CurrentRow());
}

bool TableBrowser::ReadOnly() const {
  const BalTableModel* model = model_.data();
  return !model || model->Table().ReadOnly();
}

void TableBrowser::Warn(const QString& text) {
  if (!text.isEmpty()) Svc().dialogs->Warning(text);
}

void TableBrowser::CommitEdits() {
  // A move in the grid not yet followed comes first: the action is for the record shown.
  if (followQueued_) {
    followQueued_ = false;
    FollowGrid();
  }
  grid_->CommitEdit();
  if (commitFields) commitFields();
}

bool TableBrowser::MoveToRecord(int number) {
  if (!Nav()) return false;
  CommitEdits();
  const int rows = model_->rowCount() - (nav_->Inserting() ? 1 : 0);
  if (number < 1 || number > rows) return false;
  const bool ok = nav_->MoveToRecord(number);
  if (!ok) Warn(nav_->ErrorText());
  ShowCurrent();
  emit recordChanged();
  return ok;
}

bool TableBrowser::Act(NavAction action) {
  if (!Nav()) return false;
  CommitEdits();
  if (!nav_->Enabled(action)) {
    UpdateButtons();
    return false;
  }
  if (action == NavAction::Delete && !nav_->Inserting() &&
      !Svc().dialogs->Confirm(QStringLiteral("Delete record?")))
    return false;
  syncing_ = true;
  const bool ok = nav_->Apply(action);
  syncing_ = false;
  if (!ok) Warn(nav_->ErrorText());
  ShowCurrent();
  emit recordChanged();
  if (ok && action == NavAction::Edit) {
    // Editing starts in the grid's current cell when the grid has the focus.
    const QModelIndex at = grid_->currentIndex();
    if (grid_->hasFocus() && at.isValid() && !grid_->IsReadOnlyColumn(at.column()))
      grid_->edit(at);
  }
  return ok;
}

bool TableBrowser::PostPending() {
  if (!Nav()) return true;
  CommitEdits();
  if (!nav_->Editing()) return true;
  syncing_ = true;
  const bool ok = nav_->Apply(NavAction::Post);
  syncing_ = false;
  if (!ok) Warn(nav_->ErrorText());
  ShowCurrent();
  emit recordChanged();
  return ok;
}

bool TableBrowser::SetField(const QString& field, const QString& text) {
  if (!Nav() || ReadOnly()) return false;
  if (nav_->CurrentRow() < 0) {
    if (text.trimmed().isEmpty()) return true;
    syncing_ = true;
    const bool inserted = nav_->Apply(NavAction::Insert);
    syncing_ = false;
    if (!inserted) {
      Warn(nav_->ErrorText());
      return false;
    }
    ShowCurrent();
  }
  BalTableModel* model = model_.data();
  if (!model) return false;
  if (!model->SetField(nav_->CurrentRow(), field, text)) {
    ReportLater(model->ErrorText());
    emit recordChanged();
    return false;
  }
  UpdateButtons();
  return true;
}

void TableBrowser::FollowGrid() {
  if (!Nav() || syncing_) return;
  const int row = grid_->currentIndex().row();
  if (row < 0 || row == nav_->CurrentRow()) {
    UpdateButtons();
    return;
  }
  if (commitFields) commitFields();
  syncing_ = true;
  const bool ok = nav_->MoveToRow(row);
  syncing_ = false;
  if (!ok) Warn(nav_->ErrorText());
  ShowCurrent();
  emit recordChanged();
}

void TableBrowser::ShowCurrent() {
  if (Nav()) {
    nav_->Clamp();
    const int row = nav_->CurrentRow();
    syncing_ = true;
    if (row >= 0) {
      int column = grid_->currentIndex().column();
      if (column < 0 || grid_->isColumnHidden(column)) {
        const std::vector<int> shown = model_->GridColumns();
        column = shown.empty() ? 0 : shown.front();
      }
      const QModelIndex at = model_->index(row, column);
      if (grid_->currentIndex() != at) {
        grid_->selectionModel()->setCurrentIndex(
            at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      }
      grid_->scrollTo(at);
    } else {
      grid_->selectionModel()->clear();
    }
    syncing_ = false;
  }
  UpdateButtons();
}

void TableBrowser::UpdateButtons() {
  for (int a = 0; a < 10; ++a) {
    const auto action = static_cast<NavAction>(a);
    buttons_->Button(action)->setEnabled(Nav() && nav_->Enabled(action));
  }
}

}  // namespace vintor
