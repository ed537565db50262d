#include "balancing/core/BalReport.h"

#include <QDir>

#include "base/Formatting.h"
#include "platform/Cp1251.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

const QString kNoName = QString(21, QLatin1Char('_'));
const QString kNoPlace = QString(54, QLatin1Char('_'));

QString Tabs(int n) { return QString(n, QLatin1Char('\t')); }

QString Field(const TableRecord& r, const char* name, int width, QChar separator) {
  return FormatFixedWidth(r.Num(QString::fromLatin1(name)), width, 1, separator);
}

}  // namespace

QString ReportDate(const QString& dateText, const QLocale& locale) {
  const auto parsed = ParseArchiveDate(dateText);
  const QDate date = parsed ? parsed->date() : QDate(1899, 12, 30);
  QString month = locale.standaloneMonthName(date.month(), QLocale::LongFormat);
  // Month names as the system lists them: capitalised.
  if (!month.isEmpty()) month[0] = month[0].toUpper();
  return QStringLiteral(" < %1 > %2 %3")
      .arg(date.day(), 2, 10, QLatin1Char('0'))
      .arg(month)
      .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QStringList ReportLines(Planes planes, const TableRecord& r, QChar sep, const QLocale& locale) {
  const bool two = planes == Planes::Two;
  QString name = r.Text(QStringLiteral("NAME"));
  if (name.isEmpty()) name = kNoName;
  QString place = r.Text(QStringLiteral("Place"));
  if (place.isEmpty()) place = kNoPlace;
  const QString vo1 = Field(r, "VO1", 6, sep), vo2 = Field(r, "VO2", 6, sep);
  const QString vo7 = Field(r, "VO7", 6, sep), vo8 = Field(r, "VO8", 6, sep);
  const QString d1 = Field(r, "D1", 7, sep), d2 = Field(r, "D2", 7, sep);
  const QString d7 = Field(r, "D7", 7, sep), d8 = Field(r, "D8", 7, sep);
  const QString dopV = Field(r, "DOP_V", 7, sep);
  const QString dopD = Field(r, "DOP_D", 8, sep);

  const QString blank =
      two ? QStringLiteral(
                "|   |                   |       |       |        |       |       |        |")
          : QStringLiteral(
                "|   |                   |               |        |               |        |");
  const QString notes = QString(73, QLatin1Char('_')) + QStringLiteral(" ;");

  QStringList l;
  l << Tabs(5) + QStringLiteral("R E C O R D");
  l << Tabs(4) + QStringLiteral("balancing  \"") + name + QStringLiteral(" \"");
  l << QString() << QString();
  l << QStringLiteral("1. Customer: ") + QString(61, QLatin1Char('_')) + QStringLiteral(" ;");
  l << QString();
  l << QStringLiteral("2. Place: ") + place + QStringLiteral(" ;");
  l << QString();
  l << QStringLiteral("3. Equipment used for balancing: ");
  l << Tabs(2) + QStringLiteral("Balancing set  \"") +
           (two ? QStringLiteral("Kavero") : QStringLiteral("Vintor-1")) + QStringLiteral("\";");
  l << QString();
  l << QStringLiteral("4. Date: ") + ReportDate(r.Text(QStringLiteral("Date")), locale) +
           QStringLiteral(";\r");
  l << QString();
  l << QStringLiteral("5. The normative document setting allowable levels of vibration :");
  l << QString();
  l << Tabs(1) + QString::fromUtf8("\u0430) ISO 2372 -1974 \"Mechanical vibration machines");
  l << Tabs(2) + QStringLiteral("operating speed of 10 to 200 revolutions / sec;");
  l << QString();
  l << Tabs(1) + QString::fromUtf8("\u0431) ") + QString(64, QLatin1Char('_')) +
           QStringLiteral(" ;");
  l << Tabs(5) + QStringLiteral("(another document)");
  l << QString() << QString();
  l << (two ? QStringLiteral("6. Summary results of measurements of the  balancing mass")
            : QStringLiteral("6. Summary  results of measurements of the balancing mass"));
  l << QString();
  l << QString(75, QLatin1Char('_'));
  l << QStringLiteral(
      "|   |                   |    Vibration, mm/s     |    Imbalance, g*mm     |");
  l << QString::fromUtf8(
      "| \u2116 |      Time of      |________________________|________________________|");
  l << (two ? QStringLiteral(
                  "|   |    measurement    |Plane 1|Plane 2|Toleranc|Plane 1|Plane 2|Toleranc|")
            : QStringLiteral(
                  "|   |    measurement    |     Value     |Toleran.|     Value     |Toleran.|"));
  l << QString(74, QLatin1Char('_')) + QStringLiteral("|");
  l << blank;
  if (two) {
    l << QStringLiteral("| 1.| Before balancing  |") + vo1 + QStringLiteral(" |") + vo2 +
             QStringLiteral(" |        |") + d1 + QStringLiteral("|") + d2 +
             QStringLiteral("|        |");
  } else {
    l << QStringLiteral("| 1.| Before balancing  |   ") + vo1 +
             QStringLiteral("      |        |   ") + d1 + QStringLiteral("     |        |");
  }
  l << blank;
  l << QString(40, QLatin1Char('_')) + QStringLiteral("|") + dopV +
           QStringLiteral(" |_______________|") + dopD + QStringLiteral("|");
  l << blank;
  if (two) {
    l << QStringLiteral("| 2.| After  balancing  |") + vo7 + QStringLiteral(" |") + vo8 +
             QStringLiteral(" |        |") + d7 + QStringLiteral("|") + d8 +
             QStringLiteral("|        |");
  } else {
    l << QStringLiteral("| 2.| After  balancing  |   ") + vo7 +
             QStringLiteral("      |        |   ") + d7 + QStringLiteral("     |        |");
  }
  l << blank;
  l << QString(74, QLatin1Char('_'));
  l << QString() << QString();
  l << Tabs(1) + QStringLiteral("Notes:");
  l << QString();
  l << notes << notes << notes << notes;
  l << QString() << QString();
  l << (two ? QStringLiteral("Executed by:") : QStringLiteral("Created by:")) + Tabs(6) +
           QString(19, QLatin1Char('_')) + QStringLiteral(" ");
  return l;
}

EncodedText EncodeLines(const QStringList& lines) {
  EncodedText out;
  for (const QString& line : lines) {
    if (auto whole = EncodeCp1251(line)) {
      out.bytes += *whole;
    } else {
      // Character by character: what the code page lacks becomes "?".
      for (const char32_t cp : line.toUcs4()) {
        const QString one = QString::fromUcs4(&cp, 1);
        if (auto b = EncodeCp1251(one)) {
          out.bytes += *b;
        } else {
          out.bytes += '?';
          out.replaced = true;
        }
      }
    }
    out.bytes += "\r\n";
  }
  return out;
}

ReportOutcome WriteReport(const QString& path, Planes planes, const TableRecord& record,
                          QChar separator, const QLocale& locale) {
  ReportOutcome out;
  const EncodedText text = EncodeLines(ReportLines(planes, record, separator, locale));
  out.replaced = text.replaced;
  QString error;
  out.ok = ReplaceFile(path, text.bytes, &error);
  if (!out.ok)
    out.error = QStringLiteral("The report %1 was not written: %2")
                    .arg(QDir::toNativeSeparators(path), error);
  return out;
}

}  // namespace vintor
