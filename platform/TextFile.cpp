#include "platform/TextFile.h"

#include <QSaveFile>

#include "platform/Cp1251.h"

namespace vintor {

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  // QSaveFile writes beside the target and renames on commit; never fall back to writing in place.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size()) {
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error) {
  QByteArray bytes;
  for (const QString& line : lines) {
    auto encoded = EncodeCp1251(line);
    if (!encoded) {
      if (error) *error = QStringLiteral("Text cannot be written in code page 1251: ") + line;
      return false;
    }
    bytes += *encoded;
    bytes += "\r\n";
  }
  return ReplaceFile(path, bytes, error);
}

QString JoinPath(const QString& dir, const QString& name) {
  if (dir.isEmpty()) return name;
  if (dir.endsWith(QLatin1Char('/'))) return dir + name;
  return dir + QLatin1Char('/') + name;
}

}  // namespace vintor
