// archive / coeffs: the balancing archive and the influence-coefficient tables without a
// window. Records are listed as JSON lines, added from FIELD=VALUE words, and an archive record
// is written as the printable report by the same writer as the archive window's.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <cstdio>

#include "app/cli/CliCommand.h"
#include "balancing/core/BalRecords.h"
#include "balancing/core/BalReport.h"
#include "balancing/core/BalTables.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor::cli {
namespace {

int Failure(const QString& message) {
  std::fprintf(stderr, "vintor-cli: %s\n", message.toLocal8Bit().constData());
  std::fflush(stderr);
  return kExitFailed;
}

// One JSON value as compact text (QJsonObject would sort the keys; the fields keep their order).
QByteArray JsonText(const QJsonValue& value) {
  const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  return array.mid(1, array.size() - 2);
}

void PrintRecord(const TableRecord& r, bool archive) {
  QByteArray line = "{\"record\":" + QByteArray::number(r.Number());
  const auto& fields = r.Shape().fields;
  for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
    const FieldDef& f = fields[static_cast<size_t>(i)];
    // The archives' key is the program's own, not one of their fields.
    if (archive && f.type == FieldType::Key) continue;
    const QVariant& v = r.At(i);
    QJsonValue json;
    if (v.isNull()) {
      json = QJsonValue(QJsonValue::Null);
    } else if (f.type == FieldType::Text) {
      json = v.toString();
    } else if (f.type == FieldType::Key) {
      json = v.toLongLong();
    } else {
      json = v.toDouble();
    }
    line += ",\"" + f.name.toUtf8() + "\":" + JsonText(json);
  }
  line += "}\n";
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
}

struct Target {
  Planes planes = Planes::One;
  QString dir;
};

// --mode and --dir; an empty text when they are right.
QString ReadTarget(const ParsedArgs& a, Target* t) {
  const QString mode = a.Value(QStringLiteral("mode"));
  if (mode == QLatin1String("1")) {
    t->planes = Planes::One;
  } else if (mode == QLatin1String("2")) {
    t->planes = Planes::Two;
  } else {
    return QStringLiteral("--mode 1 or --mode 2 is required");
  }
  t->dir = QDir(a.Value(QStringLiteral("dir"), QStringLiteral("."))).absolutePath();
  if (!QFileInfo(t->dir).isDir()) return QStringLiteral("no such directory: ") + t->dir;
  return QString();
}

// FIELD=VALUE words into a record; an empty text when they are right.
QString ReadFields(const QStringList& words, bool archive, TableRecord* r) {
  QStringList seen;
  const TableShape& shape = r->Shape();
  for (const QString& word : words) {
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq <= 0) return QStringLiteral("expected FIELD=VALUE, got %1").arg(word);
    const QString name = word.left(eq);
    const QString value = word.mid(eq + 1);
    const int i = shape.IndexOf(name);
    if (i < 0) return QStringLiteral("%1 has no field %2").arg(shape.fileName, name);
    const FieldDef& f = shape.fields[static_cast<size_t>(i)];
    if (f.type == FieldType::Key)
      return QStringLiteral("%1 is numbered by the program").arg(f.name);
    if (seen.contains(f.name)) return QStringLiteral("%1 is given twice").arg(f.name);
    seen << f.name;
    if (f.type == FieldType::Text) {
      if (archive && f.name == QLatin1String("Date") && !value.isEmpty()) {
        const auto when = ParseArchiveDate(value);
        if (!when) return QStringLiteral("Date needs YYYY-MM-DD hh:mm:ss, got %1").arg(value);
        r->SetAt(i, ArchiveDateText(*when));
      } else {
        r->SetAt(i, value.isEmpty() ? QVariant() : QVariant(value));
      }
      continue;
    }
    if (value.trimmed().isEmpty()) {
      r->SetAt(i, QVariant());
      continue;
    }
    auto number = ToDouble(value);
    if (!number) return QStringLiteral("%1 needs a number, got %2").arg(f.name, value);
    // The measured values are stored as "F9 - Archive" stores them.
    if (archive &&
        IsMeasuredField(r->Kind() == TableKind::Arch1 ? Planes::One : Planes::Two, f.name))
      number = RoundForArchive(*number);
    if (!number) return QStringLiteral("%1 needs a number, got %2").arg(f.name, value);
    r->SetAt(i, *number);
  }
  if (archive && !seen.contains(QStringLiteral("Date")))
    r->Set(QStringLiteral("Date"), ArchiveDateText(Svc().clock->Now()));
  return QString();
}

int List(BalTable& table, bool archive) {
  const auto records = table.List();
  if (!records) return Failure(table.ErrorText());
  for (const TableRecord& r : *records) PrintRecord(r, archive);
  std::fflush(stdout);
  return kExitOk;
}

int Add(BalTable& table, const TableRecord& record) {
  const auto number = table.Insert(record);
  if (!number) return Failure(table.ErrorText());
  QJsonObject o;
  o[QStringLiteral("record")] = *number;
  PrintJson(o);
  return kExitOk;
}

// --record N: the number, or 0 after the usage message.
int ReadRecordNumber(const ParsedArgs& a) {
  if (!a.Has(QStringLiteral("record"))) {
    UsageError(QStringLiteral("--record N is required"));
    return 0;
  }
  const auto number = ToInt(a.Value(QStringLiteral("record")));
  if (!number || *number < 1 || *number > 1000000000) {
    UsageError(QStringLiteral("--record needs a record number from 1"));
    return 0;
  }
  return static_cast<int>(*number);
}

int Report(BalTable& table, Planes planes, int number, const ParsedArgs& a) {
  const auto record = table.Read(number);
  if (!record) return Failure(table.ErrorText());
  const QString output = a.Has(QStringLiteral("output"))
                             ? QFileInfo(a.Value(QStringLiteral("output"))).absoluteFilePath()
                             : JoinPath(table.WorkDir(), kReportFileName);
  const ReportOutcome out = WriteReport(output, planes, *record);
  if (!out.ok) return Failure(out.error);
  if (out.replaced) Failure(kReportReplacedWarning);
  QJsonObject o;
  o[QStringLiteral("record")] = number;
  o[QStringLiteral("output")] = QDir::toNativeSeparators(output);
  o[QStringLiteral("replaced")] = out.replaced;
  PrintJson(o);
  return kExitOk;
}

int Run(const QStringList& args, bool archive) {
  const ParsedArgs a = ParseArgs(args,
                                 {QStringLiteral("mode"), QStringLiteral("dir"),
                                  QStringLiteral("record"), QStringLiteral("output")},
                                 {});
  if (!a.error.isEmpty()) return UsageError(a.error);
  if (a.positional.isEmpty()) return UsageError(QStringLiteral("list, add or report expected"));
  const QString verb = a.positional[0];
  const QStringList words = a.positional.mid(1);
  const bool report = archive && verb == QLatin1String("report");
  if (verb != QLatin1String("list") && verb != QLatin1String("add") && !report)
    return UsageError(QStringLiteral("unknown action %1").arg(verb));
  if (verb != QLatin1String("add") && !words.isEmpty())
    return UsageError(QStringLiteral("unexpected %1").arg(words[0]));
  if (!report && (a.Has(QStringLiteral("record")) || a.Has(QStringLiteral("output"))))
    return UsageError(QStringLiteral("--record and --output belong to archive report"));
  Target t;
  if (const QString bad = ReadTarget(a, &t); !bad.isEmpty()) return UsageError(bad);

  BalTable table(archive ? ArchiveTableOf(t.planes) : CoeffTableOf(t.planes));
  // The words are checked before the file is touched.
  TableRecord record(table.Kind());
  if (verb == QLatin1String("add")) {
    if (const QString bad = ReadFields(words, archive, &record); !bad.isEmpty())
      return UsageError(bad);
  }
  const int number = report ? ReadRecordNumber(a) : 0;
  if (report && number == 0) return kExitUsage;
  if (!table.Open(t.dir)) return Failure(table.ErrorText());
  if (verb == QLatin1String("list")) return List(table, archive);
  if (verb == QLatin1String("add")) return Add(table, record);
  return Report(table, t.planes, number, a);
}

const Registrar kArchive{
    {QStringLiteral("archive"),
     QStringLiteral("archive list|add|report --mode 1|2 [--dir WORKDIR] [FIELD=VALUE ...] "
                    "[--record N] [--output FILE]"),
     [](const QStringList& args) { return Run(args, true); }}};
const Registrar kCoeffs{
    {QStringLiteral("coeffs"),
     QStringLiteral("coeffs list|add --mode 1|2 [--dir WORKDIR] [FIELD=VALUE ...]"),
     [](const QStringList& args) { return Run(args, false); }}};

}  // namespace
}  // namespace vintor::cli
