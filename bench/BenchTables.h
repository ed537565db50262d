#pragma once

// Balancing tables filled for the benchmarks.

#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include "balancing/core/BalTables.h"

namespace vintor::bench {

inline constexpr int kRecords = 10000;

// Writes `records` filled records into the table of `kind` in `dir`, straight through SQL in one
// transaction (posting them one by one as the program does would take minutes). Texts name a
// rotor and a shop, dates are one date, numbers grow with the record.
inline void FillTable(TableKind kind, const QString& dir, int records) {
  BalTable table(kind);
  table.Open(dir);
  QSqlQuery q(table.Database());
  q.exec(QStringLiteral("BEGIN"));
  const auto& fields = table.Shape().fields;
  QStringList names, marks;
  for (size_t i = 1; i < fields.size(); ++i) {
    names << fields[i].name;
    marks << QStringLiteral("?");
  }
  q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table.SqlTable(), names.join(','), marks.join(',')));
  for (int r = 0; r < records; ++r) {
    for (size_t i = 1; i < fields.size(); ++i) {
      if (fields[i].name == QLatin1String("Date")) {
        q.addBindValue(QStringLiteral("2024-03-05 14:30:00"));
      } else if (fields[i].type == FieldType::Text) {
        q.addBindValue(QStringLiteral("Rotor %1, shop %2").arg(r).arg(i));
      } else {
        q.addBindValue(r * 0.37 + static_cast<double>(i));
      }
    }
    q.exec();
  }
  q.exec(QStringLiteral("COMMIT"));
  q.finish();
}

}  // namespace vintor::bench
