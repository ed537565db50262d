#include "balancing/core/BalTables.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include "base/Formatting.h"
#include "balancing/core/BalTableModel.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

// SQLite primary result codes (the low byte of an extended code).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;

// A writer elsewhere gets this long to finish before a post gives up.
constexpr int kBusyTimeoutMs = 2000;

const QString kThr = QStringLiteral("Thr");

FieldDef Key() { return {kThr, FieldType::Key, QStringLiteral("NN")}; }
FieldDef Text(const char* name, const char* title) {
  return {QString::fromLatin1(name), FieldType::Text, QString::fromLatin1(title)};
}
FieldDef Real(const char* name, const char* title) {
  return {QString::fromLatin1(name), FieldType::Real, QString::fromLatin1(title)};
}

std::vector<TableShape> MakeShapes() {
  std::vector<TableShape> shapes;
  shapes.push_back({TableKind::Kft1,
                    QStringLiteral("KftTable1.db"),
                    QStringLiteral("KftTable1"),
                    {Key(), Text("Name", "Rotor"), Real("L1", "Nbld"), Real("M1", "Mtw"),
                     Real("D1", "Rtw"), Real("R11", "R11"), Real("R12", "R12")},
                    QString()});
  shapes.push_back(
      {TableKind::Kft2,
       QStringLiteral("KftTable2.db"),
       QStringLiteral("KftTable2"),
       {Key(), Text("Name", "Rotor"), Real("L1", "Nblades"), Real("M1", "Mtw.1"),
        Real("D1", "Rtw.1"), Real("M2", "Mtw.2"), Real("D2", "Rtw.2"), Real("R11", "R11"),
        Real("R12", "R12"), Real("R21", "R21"), Real("R22", "R22"), Real("R31", "R31"),
        Real("R32", "R32"), Real("R41", "R41"), Real("R42", "R42")},
       QStringLiteral("Rotor - rotor name; Nblades - number of blades; Mtw1(2) - trial mass weight "
                      "1st(2nd ) plane; Rtw1(2) -  radius of test weigt placed 1st(2nd) plane; "
                      "R11..R44 - interference ratio")});
  // The archives keep Thr as a hidden key so that equal records stay apart.
  FieldDef hiddenKey = Key();
  hiddenKey.title.clear();
  shapes.push_back(
      {TableKind::Arch1,
       QStringLiteral("ArchTable1.db"),
       QStringLiteral("ArchTable1"),
       {hiddenKey, Text("NAME", "Rotor name"), Text("Date", "Date"), Text("Place", "Place"),
        Real("VO1", "Vo - initial"), Real("VO7", "Vo - finite"), Real("DOP_V", "Tolerance V"),
        Real("D1", "D- initial"), Real("D7", "D- finite"), Real("DOP_D", "Tolerance.D")},
       QString()});
  shapes.push_back(
      {TableKind::Arch2,
       QStringLiteral("ArchTable2.db"),
       QStringLiteral("ArchTable2"),
       {hiddenKey, Text("NAME", "Rotor name"), Text("Date", "Date"), Text("Place", "Place"),
        Real("VO1", "Vo1-ini"), Real("VO2", "Vo2-ini"), Real("VO7", "Vo1-fin"),
        Real("VO8", "Vo2-fin"), Real("DOP_V", "Toler.V"), Real("D1", "D1-ini"),
        Real("D2", "D2-ini"), Real("D7", "D1-fin"), Real("D8", "D2-fin"), Real("DOP_D", "Toler.D")},
       QString()});
  return shapes;
}

QString Quoted(const QString& identifier) {
  QString inner = identifier;
  inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString FieldList(const TableShape& shape, bool withKey) {
  QStringList names;
  for (const FieldDef& f : shape.fields)
    if (withKey || f.type != FieldType::Key) names << Quoted(f.name);
  return names.join(QStringLiteral(", "));
}

QVariant Normalized(FieldType type, const QVariant& value) {
  if (value.isNull() || !value.isValid()) return QVariant();
  switch (type) {
    case FieldType::Key: {
      bool ok = false;
      const qlonglong v = value.toLongLong(&ok);
      return ok ? QVariant(v) : QVariant();
    }
    case FieldType::Real: {
      bool ok = false;
      const double v = value.toDouble(&ok);
      return ok ? QVariant(v) : QVariant();
    }
    case FieldType::Text:
      return QVariant(value.toString());
  }
  return QVariant();
}

TableRecord RecordFromQuery(TableKind kind, const QSqlQuery& q, int number) {
  TableRecord r(kind);
  const auto& fields = r.Shape().fields;
  for (int i = 0; i < static_cast<int>(fields.size()); ++i) r.SetAt(i, q.value(i));
  r.SetNumber(number);
  return r;
}

QAtomicInt g_connectionCounter;

}  // namespace

TableKind CoeffTableOf(Planes planes) {
  return planes == Planes::One ? TableKind::Kft1 : TableKind::Kft2;
}

TableKind ArchiveTableOf(Planes planes) {
  return planes == Planes::One ? TableKind::Arch1 : TableKind::Arch2;
}

int TableShape::IndexOf(const QString& name) const {
  for (int i = 0; i < static_cast<int>(fields.size()); ++i)
    if (fields[static_cast<size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

const TableShape& ShapeOf(TableKind kind) {
  static const std::vector<TableShape> shapes = MakeShapes();
  return shapes[static_cast<size_t>(kind)];
}

QString ArchiveDateText(const QDateTime& when) {
  return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QDateTime> ParseArchiveDate(const QString& text) {
  const QString t = text.trimmed();
  for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd'T'HH:mm:ss", "yyyy-MM-dd HH:mm",
                             "yyyy-MM-dd'T'HH:mm", "yyyy-MM-dd"}) {
    const QDateTime d = QDateTime::fromString(t, QString::fromLatin1(format));
    if (d.isValid()) return d;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

TableRecord::TableRecord(TableKind kind) : kind_(kind), values_(ShapeOf(kind).fields.size()) {}

bool TableRecord::IsEmpty(const QString& field) const { return Value(field).isNull(); }

QVariant TableRecord::Value(const QString& field) const {
  const int i = Shape().IndexOf(field);
  return i < 0 ? QVariant() : values_[static_cast<size_t>(i)];
}

double TableRecord::Num(const QString& field) const {
  const QVariant v = Value(field);
  return v.isNull() ? 0.0 : v.toDouble();
}

QString TableRecord::Text(const QString& field, QChar separator) const {
  const int i = Shape().IndexOf(field);
  if (i < 0) return QString();
  const QVariant& v = values_[static_cast<size_t>(i)];
  if (v.isNull()) return QString();
  switch (Shape().fields[static_cast<size_t>(i)].type) {
    case FieldType::Real:
      return FormatGeneral(v.toDouble(), separator);
    case FieldType::Key:
      return QString::number(v.toLongLong());
    case FieldType::Text:
      break;
  }
  return v.toString();
}

bool TableRecord::Set(const QString& field, const QVariant& value) {
  const int i = Shape().IndexOf(field);
  if (i < 0) return false;
  SetAt(i, value);
  return true;
}

void TableRecord::SetAt(int index, const QVariant& value) {
  values_[static_cast<size_t>(index)] =
      Normalized(Shape().fields[static_cast<size_t>(index)].type, value);
}

// ---------------------------------------------------------------------------------------------

BalTable::BalTable(TableKind kind)
    : kind_(kind),
      connection_(
          QStringLiteral("vintor_table_%1").arg(g_connectionCounter.fetchAndAddRelaxed(1))) {}

BalTable::~BalTable() { Close(); }

QSqlDatabase BalTable::Database() const { return QSqlDatabase::database(connection_, false); }

QString BalTable::SqlTable() const { return Quoted(table_); }

bool BalTable::Fail(const QString& message) {
  error_ = QStringLiteral("Table file %1: %2").arg(QDir::toNativeSeparators(path_), message);
  return false;
}

QString BalTable::Describe(const QSqlError& error, const QString& doing) const {
  bool ok = false;
  const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
  const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
  QString problem;
  switch (ok ? code : -1) {
    case kSqliteBusy:
    case kSqliteLocked:
      problem = QStringLiteral("the file is locked by another program");
      break;
    case kSqliteReadOnly:
      problem = QStringLiteral("the file is read-only");
      break;
    case kSqliteCorrupt:
    case kSqliteNotADb:
      problem = QStringLiteral("the file is damaged or is not a table file");
      break;
    case kSqliteFull:
      problem = QStringLiteral("the disk is full");
      break;
    case kSqliteCantOpen:
      problem = QStringLiteral("the file cannot be opened");
      break;
    case kSqliteIoErr:
      problem = QStringLiteral("the file cannot be read or written");
      break;
    default:
      problem = QStringLiteral("the database reports an error");
      break;
  }
  return QStringLiteral("Table file %1: %2: %3 (%4)")
      .arg(QDir::toNativeSeparators(path_), doing, problem, detail.trimmed());
}

bool BalTable::FailSql(const QSqlError& error, const QString& doing) {
  error_ = Describe(error, doing);
  return false;
}

bool BalTable::CanWrite(const QString& doing) {
  if (!readOnly_) return true;
  return Fail(doing + QStringLiteral(": the file is read-only"));
}

bool BalTable::Exec(const QString& sql, const QString& doing) {
  QSqlQuery q(Database());
  if (q.exec(sql)) return true;
  return FailSql(q.lastError(), doing);
}

void BalTable::Rollback() {
  QSqlQuery q(Database());
  q.exec(QStringLiteral("ROLLBACK"));
}

bool BalTable::BeginWrite(const QString& doing) {
  return CanWrite(doing) && Exec(QStringLiteral("BEGIN IMMEDIATE"), doing);
}

std::optional<qint64> BalTable::BeginWriteOn(int number, const QString& doing) {
  if (!BeginWrite(doing)) return std::nullopt;
  const auto key = KeyOf(number);
  if (!key) Rollback();
  return key;
}

bool BalTable::ExecOrRollback(QSqlQuery& q, const QString& doing) {
  if (q.exec()) return true;
  FailSql(q.lastError(), doing);
  q.finish();
  Rollback();
  return false;
}

bool BalTable::Commit(const QString& doing) {
  if (Exec(QStringLiteral("COMMIT"), doing)) return true;
  Rollback();
  return false;
}

bool BalTable::Open(const QString& workDir) {
  Close();
  error_.clear();
  workDir_ = workDir;
  path_ = JoinPath(workDir, Shape().fileName);
  if (!QFileInfo(workDir).isDir()) return Fail(QStringLiteral("the folder does not exist"));
  const QFileInfo info(path_);
  if (info.exists() && !info.isFile()) return Fail(QStringLiteral("it is not a file"));
  // The write permission counts even for an administrator, who could write anyway.
  readOnly_ =
      info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(connection_);
      return Fail(QStringLiteral("the SQLite driver of Qt is not installed"));
    }
    db.setDatabaseName(path_);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (readOnly_) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
      const QSqlError e = db.lastError();
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(connection_);
      return FailSql(e, QStringLiteral("cannot open"));
    }
  }
  open_ = true;
  const QString opening = QStringLiteral("cannot open");
  // EXTRA also syncs the folder after the journal is removed, so a commit survives power loss.
  bool ok = readOnly_ || Exec(QStringLiteral("PRAGMA synchronous=EXTRA"), opening);
  QString found;
  if (ok) {
    // The first read of the file: a damaged or locked file shows here.
    QSqlQuery q(Database());
    q.prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"));
    q.addBindValue(Shape().tableName);
    if (!q.exec()) {
      ok = FailSql(q.lastError(), opening);
    } else if (q.next()) {
      found = q.value(0).toString();
    }
  }
  if (ok) {
    if (!found.isEmpty()) {
      ok = CheckShape(found);
    } else if (readOnly_) {
      ok = Fail(QStringLiteral("it holds no table %1 and it is read-only").arg(Shape().tableName));
    } else {
      ok = CreateTable();
    }
  }
  if (!ok) {
    const QString keep = error_;
    Close();
    error_ = keep;
  }
  return ok;
}

bool BalTable::CheckShape(const QString& table) {
  QSqlQuery q(Database());
  if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(table))))
    return FailSql(q.lastError(), QStringLiteral("cannot open"));
  QStringList present;
  while (q.next()) present << q.value(1).toString();
  QStringList missing;
  for (const FieldDef& f : Shape().fields)
    if (!present.contains(f.name, Qt::CaseInsensitive)) missing << f.name;
  if (!missing.isEmpty())
    return Fail(QStringLiteral("the table is of an older shape, missing field(s) %1; the file was "
                               "left as it is")
                    .arg(missing.join(QStringLiteral(", "))));
  table_ = table;
  return true;
}

bool BalTable::CreateTable() {
  const QString doing = QStringLiteral("cannot create the table");
  // One file at rest: a rollback journal that is removed at every commit.
  if (!Exec(QStringLiteral("PRAGMA journal_mode=DELETE"), doing)) return false;
  QStringList columns;
  for (const FieldDef& f : Shape().fields) {
    switch (f.type) {
      case FieldType::Key:
        columns << Quoted(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        break;
      case FieldType::Text:
        columns << Quoted(f.name) + QStringLiteral(" TEXT");
        break;
      case FieldType::Real:
        columns << Quoted(f.name) + QStringLiteral(" REAL");
        break;
    }
  }
  if (!Exec(QStringLiteral("BEGIN IMMEDIATE"), doing)) return false;
  if (!Exec(QStringLiteral("CREATE TABLE %1 (%2)")
                .arg(Quoted(Shape().tableName), columns.join(QStringLiteral(", "))),
            doing)) {
    Rollback();
    return false;
  }
  if (!Commit(doing)) return false;
  table_ = Shape().tableName;
  return true;
}

void BalTable::Close() {
  model_.reset();
  if (QSqlDatabase::contains(connection_)) {
    {
      QSqlDatabase db = QSqlDatabase::database(connection_, false);
      db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
  }
  open_ = false;
  table_.clear();
}

BalTableModel* BalTable::Model() {
  if (!open_) return nullptr;
  if (!model_) model_ = std::make_unique<BalTableModel>(*this);
  return model_.get();
}

std::optional<int> BalTable::Count() {
  if (!open_) {
    Fail(QStringLiteral("the table is not open"));
    return std::nullopt;
  }
  QSqlQuery q(Database());
  if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(SqlTable())) || !q.next()) {
    FailSql(q.lastError(), QStringLiteral("cannot count the records"));
    return std::nullopt;
  }
  return q.value(0).toInt();
}

std::optional<qint64> BalTable::KeyOf(int number) {
  QSqlQuery q(Database());
  q.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1 LIMIT 1 OFFSET ?")
                .arg(Quoted(kThr), SqlTable()));
  q.addBindValue(number - 1);
  if (!q.exec()) {
    FailSql(q.lastError(), QStringLiteral("cannot find record %1").arg(number));
    return std::nullopt;
  }
  if (number < 1 || !q.next()) {
    Fail(QStringLiteral("there is no record %1").arg(number));
    return std::nullopt;
  }
  return q.value(0).toLongLong();
}

std::optional<TableRecord> BalTable::Read(int number) {
  if (!open_) {
    Fail(QStringLiteral("the table is not open"));
    return std::nullopt;
  }
  if (number < 1) {
    Fail(QStringLiteral("there is no record %1").arg(number));
    return std::nullopt;
  }
  QSqlQuery q(Database());
  q.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT 1 OFFSET ?")
                .arg(FieldList(Shape(), true), SqlTable(), Quoted(kThr)));
  q.addBindValue(number - 1);
  if (!q.exec()) {
    FailSql(q.lastError(), QStringLiteral("cannot read record %1").arg(number));
    return std::nullopt;
  }
  if (!q.next()) {
    if (q.lastError().isValid()) {
      FailSql(q.lastError(), QStringLiteral("cannot read record %1").arg(number));
    } else {
      Fail(QStringLiteral("there is no record %1").arg(number));
    }
    return std::nullopt;
  }
  return RecordFromQuery(kind_, q, number);
}

std::optional<std::vector<TableRecord>> BalTable::List() {
  if (!open_) {
    Fail(QStringLiteral("the table is not open"));
    return std::nullopt;
  }
  QSqlQuery q(Database());
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                  .arg(FieldList(Shape(), true), SqlTable(), Quoted(kThr)))) {
    FailSql(q.lastError(), QStringLiteral("cannot read the records"));
    return std::nullopt;
  }
  std::vector<TableRecord> out;
  while (q.next()) out.push_back(RecordFromQuery(kind_, q, static_cast<int>(out.size()) + 1));
  if (q.lastError().isValid()) {
    FailSql(q.lastError(), QStringLiteral("cannot read the records"));
    return std::nullopt;
  }
  return out;
}

std::optional<int> BalTable::Insert(const TableRecord& record) {
  const QString doing = QStringLiteral("the record was not saved");
  if (!open_) {
    Fail(QStringLiteral("the table is not open"));
    return std::nullopt;
  }
  if (record.Kind() != kind_) {
    Fail(QStringLiteral("a record of another table"));
    return std::nullopt;
  }
  if (!BeginWrite(doing)) return std::nullopt;
  const auto& fields = Shape().fields;
  QStringList marks;
  for (size_t i = 1; i < fields.size(); ++i) marks << QStringLiteral("?");
  QSqlQuery q(Database());
  q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(SqlTable(), FieldList(Shape(), false), marks.join(QStringLiteral(", "))));
  for (int i = 1; i < static_cast<int>(fields.size()); ++i) q.addBindValue(record.At(i));
  if (!ExecOrRollback(q, doing)) return std::nullopt;
  const qint64 key = q.lastInsertId().toLongLong();
  q.finish();
  QSqlQuery pos(Database());
  pos.prepare(
      QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 <= ?").arg(SqlTable(), Quoted(kThr)));
  pos.addBindValue(key);
  if (!pos.exec() || !pos.next()) {
    FailSql(pos.lastError(), doing);
    pos.finish();
    Rollback();
    return std::nullopt;
  }
  const int number = pos.value(0).toInt();
  pos.finish();
  if (!Commit(doing)) return std::nullopt;
  return number;
}

bool BalTable::Update(int number, const TableRecord& record) {
  const QString doing = QStringLiteral("record %1 was not saved").arg(number);
  if (!open_) return Fail(QStringLiteral("the table is not open"));
  if (record.Kind() != kind_) return Fail(QStringLiteral("a record of another table"));
  const auto key = BeginWriteOn(number, doing);
  if (!key) return false;
  const auto& fields = Shape().fields;
  QStringList sets;
  for (size_t i = 1; i < fields.size(); ++i) sets << Quoted(fields[i].name) + QStringLiteral("=?");
  QSqlQuery q(Database());
  q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                .arg(SqlTable(), sets.join(QStringLiteral(", ")), Quoted(kThr)));
  for (int i = 1; i < static_cast<int>(fields.size()); ++i) q.addBindValue(record.At(i));
  q.addBindValue(*key);
  if (!ExecOrRollback(q, doing)) return false;
  q.finish();
  return Commit(doing);
}

bool BalTable::Remove(int number) {
  const QString doing = QStringLiteral("record %1 was not deleted").arg(number);
  if (!open_) return Fail(QStringLiteral("the table is not open"));
  const auto key = BeginWriteOn(number, doing);
  if (!key) return false;
  QSqlQuery q(Database());
  q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(SqlTable(), Quoted(kThr)));
  q.addBindValue(*key);
  if (!ExecOrRollback(q, doing)) return false;
  q.finish();
  return Commit(doing);
}

}  // namespace vintor
