#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "balancing/core/BalTables.h"
#include "platform/DecimalSeparator.h"

namespace vintor {

inline const QString kReportFileName = QStringLiteral("Protokol.txt");

// The 48 lines of the printable report of an archive record, without line ends (line 12 keeps
// its own trailing CR). Numbers use `separator`; the month is named in `locale`'s language.
QStringList ReportLines(Planes planes, const TableRecord& record,
                        QChar separator = DecimalSeparator(),
                        const QLocale& locale = QLocale::system());

// " < dd > mmmm yyyy" of an archive Date text. A date that cannot be read is the zero date of
// the original program's date arithmetic, 30 December 1899.
QString ReportDate(const QString& dateText, const QLocale& locale = QLocale::system());

struct EncodedText {
  QByteArray bytes;
  bool replaced = false;  // some character had no Windows-1251 byte and became "?"
};
// Windows-1251, every line ended by CR LF.
EncodedText EncodeLines(const QStringList& lines);

struct ReportOutcome {
  bool ok = false;
  bool replaced = false;  // tell the operator once
  QString error;          // names the file
};
// Writes the report to `path` through a temporary file renamed over it.
ReportOutcome WriteReport(const QString& path, Planes planes, const TableRecord& record,
                          QChar separator = DecimalSeparator(),
                          const QLocale& locale = QLocale::system());

}  // namespace vintor
