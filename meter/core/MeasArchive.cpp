#include "meter/core/MeasArchive.h"

#include <QFile>

#include "measurement/MeasState.h"
#include "platform/TextFile.h"

namespace vintor {

QString ArchiveStamp(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
  return QString::number(d.year()).mid(2) + two(d.month()) + two(d.day()) + two(t.hour()) +
         two(t.minute()) + two(t.second());
}

FilingResult FileMeasurement(const QString& tag, const QDateTime& when) {
  FilingResult result;
  const QString source = Paths().TestDatPath;
  const QString stem = ArchiveStamp(when) + tag;
  Paths().TestParPath = JoinPath(Paths().ArcDir, stem + QStringLiteral(".par"));
  const QString target = JoinPath(Paths().ArcDir, stem + QStringLiteral(".dat"));

  Meas().GainText = QString::number(Meas().GainCode);
  QString error;
  if (!WriteTextLines(Paths().TestParPath, {Meas().GainText}, &error)) {
    result.ok = false;
    result.error = error;
  }

  QFile in(source);
  QByteArray data;
  bool copied = in.open(QIODevice::ReadOnly);
  if (copied) {
    data = in.readAll();
    copied = in.error() == QFileDevice::NoError;
  }
  if (!copied) error = in.errorString();
  if (copied) copied = ReplaceFile(target, data, &error);
  if (!copied && result.ok) {
    result.ok = false;
    result.error = error;
  }
  return result;
}

}  // namespace vintor
