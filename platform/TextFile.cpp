#include "platform/TextFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Cp1251.h"

namespace vintor {
namespace {

// A temporary file beside the target, renamed over it without waiting for the disk.
bool ReplaceWorkingFile(const QString& path, const QByteArray& bytes, QString* error) {
  QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
  if (!file.open()) {
    if (error) *error = file.errorString();
    return false;
  }
  // A temporary file is private to its owner; the new file reads like the one it replaces.
  const QFileInfo old(path);
  file.setPermissions(old.exists() ? old.permissions()
                                   : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadGroup | QFileDevice::ReadOther);
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    if (error) *error = file.errorString();
    return false;
  }
  if (std::rename(QFile::encodeName(file.fileName()).constData(),
                  QFile::encodeName(path).constData()) != 0) {
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  file.setAutoRemove(false);
  return true;
}

}  // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error, Flush flush) {
  if (flush == Flush::Working) return ReplaceWorkingFile(path, bytes, error);
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

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error, Flush flush) {
  QByteArray bytes;
  for (const QString& line : lines) {
    // Plain ASCII reads the same in the code page.
    if (std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
      bytes += line.toLatin1();
      bytes += "\r\n";
      continue;
    }
    auto encoded = EncodeCp1251(line);
    if (!encoded) {
      if (error) *error = QStringLiteral("Text cannot be written in code page 1251: ") + line;
      return false;
    }
    bytes += *encoded;
    bytes += "\r\n";
  }
  return ReplaceFile(path, bytes, error, flush);
}

QString JoinPath(const QString& dir, const QString& name) {
  if (dir.isEmpty()) return name;
  if (dir.endsWith(QLatin1Char('/'))) return dir + name;
  return dir + QLatin1Char('/') + name;
}

}  // namespace vintor
