#pragma once

// What the coefficient-table and archive windows share: the grid of a table, the record
// navigator's buttons, and the binding that keeps grid, buttons and the table's navigator on
// one current record.

#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "balancing/core/BalTableModel.h"

class QToolButton;

namespace vintor {

// Moves a window to the middle of the screen it is on.
void CentreOnScreen(QWidget* window);

// A grid of one table, edited in place: only the columns the table's grid shows, in their
// order, with their titles. Some fields may be kept from editing. An entry the table refuses is
// reported with the standard error display.
class RecordGrid : public QTableView {
  Q_OBJECT
 public:
  RecordGrid(QWidget* parent, const QString& name);

  // Shows `model` (null: nothing).
  void SetTable(BalTableModel* model);
  // Fields that cannot be edited in the grid, matched without regard to case.
  void SetReadOnlyFields(const QStringList& fields) { readOnly_ = fields; }
  bool IsReadOnlyColumn(int column) const;
  // Record numbers beside the rows.
  void SetRowNumbers(bool shown);

  // Writes an open cell editor into the model; drops it on `cancel`.
  void CommitEdit();
  bool CancelEdit();

 private:
  BalTableModel* Model() const;
  QStringList readOnly_;
};

// The record navigator's buttons (DBNavigator1): first, prior, next, last, insert, delete,
// edit, post, cancel, refresh. Each is named after its action ("nbFirst" ... "nbRefresh").
class RecordNavigator : public QWidget {
  Q_OBJECT
 public:
  RecordNavigator(QWidget* parent, const QString& name);
  QToolButton* Button(NavAction action) const;

 signals:
  void actionClicked(NavAction action);

 private:
  std::array<QToolButton*, 10> buttons_{};
};

// Keeps a grid, the navigator's buttons and the table's navigator on one current record.
// Actions that fail show the navigator's message with the warning window and keep the edits.
class TableBrowser : public QObject {
  Q_OBJECT
 public:
  TableBrowser(QObject* parent, RecordGrid* grid, RecordNavigator* buttons);
  ~TableBrowser() override;

  // Shows the table's model; the same model again keeps the position. Null shows nothing.
  void Attach(BalTableModel* model);
  void Detach();

  BalTableModel* Model() const { return model_.data(); }
  TableNavigator* Nav() const { return model_ ? nav_.get() : nullptr; }
  int CurrentRow() const;                                // -1: none
  int CurrentRecord() const { return CurrentRow() + 1; }  // 0: none
  // The current record's values, edits not yet posted included; empty when there is none.
  TableRecord CurrentValues() const;
  bool ReadOnly() const;

  // Stands on record `number`; false, keeping the position, when there is none.
  bool MoveToRecord(int number);
  // A navigator action as its button does it (deleting asks first).
  bool Act(NavAction action);
  // Writes open edits (the grid's cell, the bound fields) into the model, without posting.
  void CommitEdits();
  // Writes open edits into the model and posts them; false after the warning when that failed.
  bool PostPending();
  // One field of the current record, as typed into a field bound to it. Typing into an empty
  // table inserts a record first.
  bool SetField(const QString& field, const QString& text);

  // Writes the edits of fields bound to the record into the model; set by the window.
  std::function<void()> commitFields;

 signals:
  // The current record or its values changed: bound fields show them again.
  void recordChanged();

 private:
  void FollowGrid();
  void ShowCurrent();
  void UpdateButtons();
  void Warn(const QString& text);

  RecordGrid* grid_;
  RecordNavigator* buttons_;
  QPointer<BalTableModel> model_;
  std::unique_ptr<TableNavigator> nav_;
  bool syncing_ = false;
  bool followQueued_ = false;
};

}  // namespace vintor
