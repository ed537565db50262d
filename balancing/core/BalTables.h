#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

#include "platform/DecimalSeparator.h"

class QSqlQuery;

namespace vintor {

class BalTableModel;

enum class Planes { One = 1, Two = 2 };

// The four balancing tables, one SQLite file each in the working directory.
enum class TableKind { Kft1, Kft2, Arch1, Arch2 };

TableKind CoeffTableOf(Planes planes);
TableKind ArchiveTableOf(Planes planes);

enum class FieldType { Key, Text, Real };

struct FieldDef {
  QString name;  // as the program spells it; files may spell it in another case
  FieldType type;
  QString title;  // grid column title; empty: the grid does not show the field
};

struct TableShape {
  TableKind kind;
  QString fileName;              // "KftTable1.db"
  QString tableName;             // "KftTable1"
  std::vector<FieldDef> fields;  // in grid order; fields[0] is the key Thr
  QString hint;                  // shown with the grid, may be empty

  // Index of a field by name, without regard to case; -1 when the table has none.
  int IndexOf(const QString& name) const;
};

const TableShape& ShapeOf(TableKind kind);

// The archives' Date field is text: "yyyy-MM-dd HH:mm:ss".
QString ArchiveDateText(const QDateTime& when);
// Reads that form, also without seconds, without the time, or with "T" before the time.
std::optional<QDateTime> ParseArchiveDate(const QString& text);

// One record of a table: every field of its kind, each a value or empty. Empty numbers read 0,
// empty texts read "". `Number` is the record's position in the table, from 1 (0: not stored).
class TableRecord {
 public:
  explicit TableRecord(TableKind kind = TableKind::Kft1);

  TableKind Kind() const { return kind_; }
  const TableShape& Shape() const { return ShapeOf(kind_); }
  int Number() const { return number_; }
  void SetNumber(int number) { number_ = number; }

  bool HasField(const QString& field) const { return Shape().IndexOf(field) >= 0; }
  bool IsEmpty(const QString& field) const;
  QVariant Value(const QString& field) const;  // null when empty or not a field
  double Num(const QString& field) const;      // 0 when empty
  // The field as a text: "" when empty, numbers in the general format with `separator`.
  QString Text(const QString& field, QChar separator = DecimalSeparator()) const;

  // False when the table has no such field. A null value empties the field; numbers are
  // stored as double, texts as text.
  bool Set(const QString& field, const QVariant& value);
  void Clear(const QString& field) { Set(field, QVariant()); }

  // By index into Shape().fields.
  const QVariant& At(int index) const { return values_[static_cast<size_t>(index)]; }
  void SetAt(int index, const QVariant& value);

 private:
  TableKind kind_;
  int number_ = 0;
  std::vector<QVariant> values_;
};

// One table file, opened on its own connection. Every failure leaves the file as it was and
// gives a message naming the file and the problem (ErrorText). Every write is one transaction,
// on disk when the call returns. The program never writes Thr: it numbers records itself.
class BalTable {
 public:
  explicit BalTable(TableKind kind);
  ~BalTable();
  BalTable(const BalTable&) = delete;
  BalTable& operator=(const BalTable&) = delete;

  TableKind Kind() const { return kind_; }
  const TableShape& Shape() const { return ShapeOf(kind_); }

  // Opens WORKDIR/<file>, creating the file and the table when missing. A file whose write
  // permission is off is opened read-only: browsing works, every write is refused.
  bool Open(const QString& workDir);
  // Drops the grid model, then the connection.
  void Close();
  bool IsOpen() const { return open_; }
  bool ReadOnly() const { return readOnly_; }
  QString FilePath() const { return path_; }
  QString WorkDir() const { return workDir_; }

  std::optional<int> Count();
  std::optional<TableRecord> Read(int number);
  std::optional<std::vector<TableRecord>> List();
  // Appends a record; returns its number. The record's Thr is ignored.
  std::optional<int> Insert(const TableRecord& record);
  // Replaces every field but Thr of record `number`.
  bool Update(int number, const TableRecord& record);
  bool Remove(int number);

  QString ErrorText() const { return error_; }

  // The model the grids show, created on first use and dropped by Close. Null when closed.
  BalTableModel* Model();

  QSqlDatabase Database() const;
  // The table's name as the file spells it, quoted for SQL.
  QString SqlTable() const;
  // A message for a failed database call: the file, what was being done, and the problem.
  QString Describe(const QSqlError& error, const QString& doing) const;

 private:
  bool Fail(const QString& message);
  bool FailSql(const QSqlError& error, const QString& doing);
  bool CheckShape(const QString& table);
  bool CreateTable();
  std::optional<qint64> KeyOf(int number);
  bool CanWrite(const QString& doing);
  bool Exec(const QString& sql, const QString& doing);
  void Rollback();
  // A write transaction: begun when the file may be written, ended by Commit, given up by
  // Rollback. Every failure leaves its message and no transaction open.
  bool BeginWrite(const QString& doing);
  // Begins a write on record `number`: its key, or nothing when there is no such record.
  std::optional<qint64> BeginWriteOn(int number, const QString& doing);
  bool ExecOrRollback(QSqlQuery& q, const QString& doing);
  bool Commit(const QString& doing);

  TableKind kind_;
  QString connection_;
  QString path_;
  QString workDir_;
  QString table_;  // name in the file
  QString error_;
  bool open_ = false;
  bool readOnly_ = false;
  std::unique_ptr<BalTableModel> model_;
};

}  // namespace vintor
