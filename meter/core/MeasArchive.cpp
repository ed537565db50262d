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

bool FileParameterFile(const QString& stem, QString* error) {
  Paths().TestParPath = JoinPath(Paths().ArcDir, stem + QStringLiteral(".par"));
  Meas().GainText = QString::number(Meas().GainCode);
  return WriteTextLines(Paths().TestParPath, {Meas().GainText}, error);
}

bool FileRawData(const QString& stem, QString* error) {
  const QString target = JoinPath(Paths().ArcDir, stem + QStringLiteral(".dat"));
  QFile in(Paths().TestDatPath);
  QByteArray data;
  bool copied = in.open(QIODevice::ReadOnly);
  if (copied) {
    data = in.readAll();
    copied = in.error() == QFileDevice::NoError;
  }
  if (!copied) {
    if (error) *error = in.errorString();
    return false;
  }
  return ReplaceFile(target, data, error);
}

FilingResult FileMeasurement(const QString& tag, const QDateTime& when) {
  FilingResult result;
  const QString stem = ArchiveStamp(when) + tag;
  QString error;
  if (!FileParameterFile(stem, &error)) {
    result.ok = false;
    result.error = error;
  }
  if (!FileRawData(stem, &error) && result.ok) {
    result.ok = false;
    result.error = error;
  }
  return result;
}

}  // namespace vintor
