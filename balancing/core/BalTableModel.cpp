#include "balancing/core/BalTableModel.h"

#include <QSqlRecord>
#include <algorithm>

#include "base/Formatting.h"

namespace vintor {

BalTableModel::BalTableModel(BalTable& table)
    : QSqlTableModel(nullptr, table.Database()), table_(table) {
  setEditStrategy(QSqlTableModel::OnManualSubmit);
  // The file's own spelling of the table name; setTable quotes it.
  QString name = table.SqlTable();
  name = name.mid(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
  setTable(name);
  const QSqlRecord columns = record();
  for (int c = 0; c < columns.count(); ++c) {
    const int i = table.Shape().IndexOf(columns.fieldName(c));
    // A column the program does not know is shown as the file holds it.
    types_.push_back(i < 0 ? FieldType::Text : table.Shape().fields[static_cast<size_t>(i)].type);
  }
  const int key = ColumnOf(QStringLiteral("Thr"));
  if (key >= 0) setSort(key, Qt::AscendingOrder);
  for (const FieldDef& f : table.Shape().fields) {
    const int column = ColumnOf(f.name);
    if (column >= 0 && !f.title.isEmpty()) setHeaderData(column, Qt::Horizontal, f.title);
  }
  select();
}

bool BalTableModel::select() {
  error_.clear();
  if (!QSqlTableModel::select()) {
    error_ = table_.Describe(lastError(), QStringLiteral("cannot read the records"));
    return false;
  }
  // Everything at once: the rows then match the records, and the read on the file ends.
  while (canFetchMore()) fetchMore();
  if (lastError().isValid()) {
    error_ = table_.Describe(lastError(), QStringLiteral("cannot read the records"));
    return false;
  }
  return true;
}

int BalTableModel::ColumnOf(const QString& field) const {
  const QSqlRecord r = record();
  for (int i = 0; i < r.count(); ++i)
    if (r.fieldName(i).compare(field, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

std::vector<int> BalTableModel::GridColumns() const {
  std::vector<int> out;
  for (const FieldDef& f : table_.Shape().fields) {
    const int column = ColumnOf(f.name);
    if (column >= 0 && !f.title.isEmpty()) out.push_back(column);
  }
  return out;
}

QString BalTableModel::NameOfColumn(int column) const { return record().fieldName(column); }

FieldType BalTableModel::TypeOfColumn(int column) const {
  return column >= 0 && column < static_cast<int>(types_.size())
             ? types_[static_cast<size_t>(column)]
             : FieldType::Text;
}

QVariant BalTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const FieldType type = TypeOfColumn(index.column());
  if (role == Qt::TextAlignmentRole && type != FieldType::Text)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::EditRole) return QSqlTableModel::data(index, role);
  const QVariant v = QSqlTableModel::data(index, Qt::EditRole);
  if (v.isNull()) return QString();
  switch (type) {
    case FieldType::Real: {
      bool ok = false;
      const double x = v.toDouble(&ok);
      return ok ? FormatGeneral(x) : v.toString();
    }
    case FieldType::Key:
      return QString::number(v.toLongLong());
    case FieldType::Text:
      break;
  }
  return v.toString();
}

bool BalTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const FieldType type = TypeOfColumn(index.column());
  const QString name = NameOfColumn(index.column());
  if (type == FieldType::Key) {
    error_ = QStringLiteral("%1 is numbered by the program").arg(name);
    return false;
  }
  QVariant stored;
  const bool isText = value.typeId() == QMetaType::QString;
  if (value.isNull() || (isText && value.toString().trimmed().isEmpty())) {
    stored = QVariant();
  } else if (type == FieldType::Real) {
    if (isText) {
      double x = 0.0;
      const QString text = MendSeparators(value.toString().trimmed());
      if (!ParseNumber(text, &x)) {
        error_ = QStringLiteral("'%1' is not a valid number for %2").arg(value.toString(), name);
        return false;
      }
      stored = x;
    } else {
      bool ok = false;
      const double x = value.toDouble(&ok);
      if (!ok) {
        error_ = QStringLiteral("'%1' is not a valid number for %2").arg(value.toString(), name);
        return false;
      }
      stored = x;
    }
  } else if (name.compare(QStringLiteral("Date"), Qt::CaseInsensitive) == 0 &&
             table_.Shape().IndexOf(QStringLiteral("Date")) >= 0) {
    // Kept in one form so that the report can read it back.
    const auto when = value.typeId() == QMetaType::QDateTime
                          ? std::optional<QDateTime>(value.toDateTime())
                          : ParseArchiveDate(value.toString());
    if (!when || !when->isValid()) {
      error_ = QStringLiteral("'%1' is not a valid date and time (yyyy-mm-dd hh:mm:ss)")
                   .arg(value.toString());
      return false;
    }
    stored = ArchiveDateText(*when);
  } else {
    stored = value.toString();
  }
  if (!QSqlTableModel::setData(index, stored, role)) {
    error_ = table_.Describe(lastError(), QStringLiteral("cannot change %1").arg(name));
    return false;
  }
  return true;
}

Qt::ItemFlags BalTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QSqlTableModel::flags(index);
  if (table_.ReadOnly() || TypeOfColumn(index.column()) == FieldType::Key) f &= ~Qt::ItemIsEditable;
  return f;
}

int BalTableModel::RowOfRecord(int number) const {
  return number >= 1 && number <= rowCount() ? number - 1 : -1;
}

int BalTableModel::RowOfKey(qint64 key) const {
  const int column = ColumnOf(QStringLiteral("Thr"));
  if (column < 0 || key < 0) return -1;
  // Rows are in key order, apart from a row being inserted.
  int lo = 0, hi = rowCount() - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const QVariant v = QSqlTableModel::data(QSqlTableModel::index(mid, column), Qt::EditRole);
    if (v.isNull()) break;
    const qint64 k = v.toLongLong();
    if (k == key) return mid;
    if (k < key) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  for (int r = 0; r < rowCount(); ++r)
    if (KeyOfRow(r) == key) return r;
  return -1;
}

qint64 BalTableModel::KeyOfRow(int row) const {
  const int column = ColumnOf(QStringLiteral("Thr"));
  if (column < 0 || row < 0 || row >= rowCount()) return -1;
  const QVariant v = QSqlTableModel::data(QSqlTableModel::index(row, column), Qt::EditRole);
  return v.isNull() ? -1 : v.toLongLong();
}

TableRecord BalTableModel::RecordAt(int row) const {
  TableRecord r(table_.Kind());
  if (row < 0 || row >= rowCount()) return r;
  const auto& fields = table_.Shape().fields;
  for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
    const FieldDef& f = fields[static_cast<size_t>(i)];
    const int column = ColumnOf(f.name);
    if (column < 0) continue;
    QVariant v = QSqlTableModel::data(QSqlTableModel::index(row, column), Qt::EditRole);
    // A row being edited holds its other fields as data() shows them (Qt builds the edited row
    // through it): numbers as text with the decimal separator in use.
    if (f.type != FieldType::Text && v.typeId() == QMetaType::QString) {
      double x = 0.0;
      const QString text = v.toString().trimmed();
      if (text.isEmpty())
        v = QVariant();
      else if (ParseNumber(MendSeparators(text), &x))
        v = f.type == FieldType::Key ? QVariant(static_cast<qlonglong>(x)) : QVariant(x);
    }
    r.SetAt(i, v);
  }
  r.SetNumber(RecordOfRow(row));
  return r;
}

bool BalTableModel::SetField(int row, const QString& field, const QVariant& value) {
  const int column = ColumnOf(field);
  if (column < 0) {
    error_ = QStringLiteral("the table has no field %1").arg(field);
    return false;
  }
  return setData(index(row, column), value, Qt::EditRole);
}

// ---------------------------------------------------------------------------------------------

TableNavigator::TableNavigator(BalTableModel& model) : model_(model) { Clamp(); }

void TableNavigator::Clamp() {
  const int rows = model_.rowCount();
  if (rows == 0) {
    row_ = -1;
  } else {
    row_ = std::clamp(row_, 0, rows - 1);
  }
}

bool TableNavigator::Editing() const { return editing_ || inserting_ || model_.isDirty(); }

bool TableNavigator::Enabled(NavAction action) const {
  const bool canModify = !model_.Table().ReadOnly();
  const int rows = model_.rowCount();
  switch (action) {
    case NavAction::First:
    case NavAction::Prior:
      return row_ > 0;
    case NavAction::Next:
    case NavAction::Last:
      return row_ >= 0 && row_ < rows - 1;
    case NavAction::Insert:
      return canModify;
    case NavAction::Delete:
      return canModify && row_ >= 0;
    case NavAction::Edit:
      return canModify && row_ >= 0 && !Editing();
    case NavAction::Post:
    case NavAction::Cancel:
      return canModify && Editing();
    case NavAction::Refresh:
      return !Editing();
  }
  return false;
}

bool TableNavigator::MoveAfterPost(int target) {
  if (!Editing()) {
    row_ = target;
    Clamp();
    return true;
  }
  // Posting selects the rows again; find the target by its key where it has one.
  const qint64 key = model_.KeyOfRow(target);
  const bool toNew = inserting_ && target == row_;
  if (!Post()) return false;
  if (key >= 0) {
    row_ = model_.RowOfKey(key);
  } else if (!toNew) {
    row_ = target;
  }
  Clamp();
  return true;
}

bool TableNavigator::MoveToRow(int row) {
  error_.clear();
  if (row == row_) return true;
  return MoveAfterPost(row);
}

bool TableNavigator::MoveToRecord(int number) {
  error_.clear();
  const int rows = model_.rowCount() - (inserting_ ? 1 : 0);
  if (number < 1 || number > rows) {
    error_ = model_.Table().FilePath() + QStringLiteral(": there is no record %1").arg(number);
    return false;
  }
  // Records are rows once the insertion in progress is posted.
  if (!Editing()) return MoveAfterPost(number - 1);
  if (!Post()) return false;
  row_ = number - 1;
  Clamp();
  return true;
}

bool TableNavigator::Post() {
  if (!Editing()) return true;
  const bool wasInserting = inserting_;
  const qint64 key = model_.KeyOfRow(row_);
  if (wasInserting) {
    // An empty new record is still a record: an insert names at least one field.
    const QModelIndex first =
        model_.index(row_, model_.ColumnOf(model_.Table().Shape().fields[1].name));
    model_.QSqlTableModel::setData(first, model_.QSqlTableModel::data(first, Qt::EditRole),
                                   Qt::EditRole);
  }
  if (!model_.submitAll()) {
    error_ =
        model_.Table().Describe(model_.lastError(), QStringLiteral("the record was not saved"));
    return false;
  }
  // submitAll selected again; fetch the rest as select() does.
  while (model_.canFetchMore()) model_.fetchMore();
  editing_ = inserting_ = false;
  // A new record gets the highest key, so it is the last row.
  row_ = wasInserting ? model_.rowCount() - 1 : model_.RowOfKey(key);
  Clamp();
  return true;
}

void TableNavigator::Cancel() {
  model_.revertAll();
  editing_ = inserting_ = false;
  Clamp();
}

bool TableNavigator::Delete() {
  if (inserting_) {
    Cancel();
    return true;
  }
  if (row_ < 0) return true;
  if (model_.isDirty()) model_.revertAll();
  editing_ = false;
  if (!model_.removeRow(row_) || !model_.submitAll()) {
    error_ =
        model_.Table().Describe(model_.lastError(), QStringLiteral("the record was not deleted"));
    model_.revertAll();
    return false;
  }
  while (model_.canFetchMore()) model_.fetchMore();
  Clamp();
  return true;
}

bool TableNavigator::Refresh() {
  const qint64 key = model_.KeyOfRow(row_);
  const int before = row_;
  if (!model_.select()) {
    error_ = model_.ErrorText();
    Clamp();
    return false;
  }
  const int found = model_.RowOfKey(key);
  row_ = found >= 0 ? found : before;
  Clamp();
  return true;
}

bool TableNavigator::Apply(NavAction action) {
  error_.clear();
  if (!Enabled(action)) return false;
  switch (action) {
    case NavAction::First:
      return MoveAfterPost(0);
    case NavAction::Prior:
      return MoveAfterPost(row_ - 1);
    case NavAction::Next:
      return MoveAfterPost(row_ + 1);
    case NavAction::Last:
      return MoveAfterPost(model_.rowCount() - 1);
    case NavAction::Insert: {
      if (Editing() && !Post()) return false;
      const int at = row_ < 0 ? 0 : row_;
      if (!model_.insertRow(at)) {
        error_ = model_.Table().Describe(model_.lastError(), QStringLiteral("cannot add a record"));
        return false;
      }
      row_ = at;
      inserting_ = editing_ = true;
      return true;
    }
    case NavAction::Delete:
      return Delete();
    case NavAction::Edit:
      editing_ = true;
      return true;
    case NavAction::Post:
      return Post();
    case NavAction::Cancel:
      Cancel();
      return true;
    case NavAction::Refresh:
      return Refresh();
  }
  return false;
}

}  // namespace vintor
