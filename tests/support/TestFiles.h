#pragma once

// Files and folders for tests: whole files read and written as bytes, and a scratch folder that
// is the current one while it lives.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace vintor::test {

// The whole file; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

// Replaces the file with `bytes`; false when any of it was not written.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

// "Kavero.cfg" for the simulated sensors: sensitivities 20 and 20 mV per mm/s, offsets 0,
// limit 100 mm/s.
inline const QByteArray kSimSensorsConfig = "20\r\n20\r\n0\r\n0\r\n100\r\n";

// A fresh, empty folder made the current one; the previous current folder comes back and the
// folder goes with the object.
class CurrentTempDir {
 public:
  CurrentTempDir() : old_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~CurrentTempDir() { QDir::setCurrent(old_); }
  CurrentTempDir(const CurrentTempDir&) = delete;
  CurrentTempDir& operator=(const CurrentTempDir&) = delete;

  bool isValid() const { return dir_.isValid(); }
  QString path() const { return dir_.path(); }
  QString filePath(const QString& name) const { return dir_.filePath(name); }

 private:
  QString old_;
  QTemporaryDir dir_;
};

}  // namespace vintor::test
