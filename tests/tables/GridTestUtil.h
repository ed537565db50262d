#pragma once

// The record grid of the table windows worked as the operator works it.

#include <QCoreApplication>
#include <QModelIndex>
#include <QString>
#include <QtTest>

#include "balancing/TableWidgets.h"
#include "balancing/core/BalTableModel.h"

namespace tabletest {

// The cell of `field` in row `row`; invalid when the grid shows no table.
inline QModelIndex Cell(const vintor::RecordGrid* grid, int row, const QString& field) {
  auto* model = dynamic_cast<vintor::BalTableModel*>(grid->model());
  return model ? model->index(row, model->ColumnOf(field)) : QModelIndex();
}

// Types `text` into a cell of the grid and ends with Enter; false when no editor opened.
inline bool TypeInCell(vintor::RecordGrid* grid, int row, const QString& field,
                       const QString& text) {
  const QModelIndex at = Cell(grid, row, field);
  if (!at.isValid()) return false;
  grid->setCurrentIndex(at);
  QCoreApplication::processEvents();
  grid->edit(at);
  QWidget* editor = grid->indexWidget(at);
  if (!editor) return false;
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  return true;
}

}  // namespace tabletest
