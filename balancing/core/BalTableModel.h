#pragma once

#include <QSqlTableModel>
#include <QString>
#include <vector>

#include "balancing/core/BalTables.h"

namespace vintor {

// The grid's view of one table, on the table's own connection, in record order (by Thr).
// select() fetches every row, so row r is always record r + 1 and no read stays open on the
// file (a half-read table would keep other writers out). Numbers are shown and edited as text
// in the general format with the system decimal separator; "." and "," typed are mended; an
// empty text empties the field. Edits stay in the model until posted (TableNavigator).
class BalTableModel final : public QSqlTableModel {
 public:
  explicit BalTableModel(BalTable& table);

  BalTable& Table() const { return table_; }

  bool select() override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Column of a field, without regard to case; -1 when the file has none.
  int ColumnOf(const QString& field) const;
  // Columns the grid shows, in order; the grid hides every other one.
  std::vector<int> GridColumns() const;

  int RowOfRecord(int number) const;  // -1 when there is no such record
  static int RecordOfRow(int row) { return row + 1; }
  int RowOfKey(qint64 key) const;  // -1 when no row has that Thr
  qint64 KeyOfRow(int row) const;  // -1 for a row not yet posted
  TableRecord RecordAt(int row) const;

  // Sets one field of a row as an edit would (text or number); false with ErrorText().
  bool SetField(int row, const QString& field, const QVariant& value);

  QString ErrorText() const { return error_; }
  void SetErrorText(const QString& text) { error_ = text; }

 private:
  FieldType TypeOfColumn(int column) const;
  QString NameOfColumn(int column) const;

  BalTable& table_;
  std::vector<FieldType> types_;  // by column
  QString error_;
};

// The record navigator's ten actions.
enum class NavAction { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// The record navigator without its buttons: the current record and the edit state of one grid.
// A move while editing posts first, as a database grid does; a failed post keeps the edits and
// the position, with the message in ErrorText().
class TableNavigator {
 public:
  explicit TableNavigator(BalTableModel& model);

  BalTableModel& Model() const { return model_; }
  int CurrentRow() const { return row_; }         // -1 on an empty table
  int CurrentRecord() const { return row_ + 1; }  // 0 on an empty table
  bool Editing() const;
  bool Inserting() const { return inserting_; }
  bool Enabled(NavAction action) const;

  bool Apply(NavAction action);
  bool MoveToRecord(int number);
  bool MoveToRow(int row);
  // After the model was selected again from outside: keeps the row in range.
  void Clamp();

  QString ErrorText() const { return error_; }

 private:
  bool Post();
  void Cancel();
  bool Delete();
  bool Refresh();
  bool MoveAfterPost(int target);

  BalTableModel& model_;
  int row_ = -1;
  bool editing_ = false;
  bool inserting_ = false;
  QString error_;
};

}  // namespace vintor
