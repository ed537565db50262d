#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include "tests/support/TestFiles.h"

namespace tabletest {

using vintor::test::ReadBytes;
using vintor::test::WriteBytes;

// A file of `size` random bytes: what a damaged table looks like.
inline QByteArray RandomBytes(int size, quint32 seed) {
  QRandomGenerator gen(seed);
  QByteArray out(size, '\0');
  for (char& c : out) c = static_cast<char>(gen.bounded(256));
  return out;
}

// Runs SQL statements on a file directly, outside the program's table code.
inline QString RunSql(const QString& path, const QStringList& statements) {
  QString error;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
    db.setDatabaseName(path);
    if (!db.open()) {
      error = db.lastError().text();
    } else {
      QSqlQuery q(db);
      for (const QString& s : statements) {
        if (!q.exec(s)) {
          error = s + QStringLiteral(": ") + q.lastError().text();
          break;
        }
      }
      q.finish();
      db.close();
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("raw"));
  return error;
}

// One value from a file, read directly.
inline QVariant QueryOne(const QString& path, const QString& sql) {
  QVariant out;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
    db.setDatabaseName(path);
    if (db.open()) {
      QSqlQuery q(db);
      if (q.exec(sql) && q.next()) out = q.value(0);
      q.finish();
      db.close();
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("raw"));
  return out;
}

// Another program holding a table file in the middle of a write (an exclusive lock), until
// the object goes.
class Locker {
 public:
  Locker(const QString& writer, const QString& dir, const QString& file) {
    process_.start(writer, {QStringLiteral("lock"), dir, file});
    locked_ = process_.waitForStarted(10000) && process_.waitForReadyRead(10000) &&
              process_.readLine().startsWith("locked");
  }
  ~Locker() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) process_.kill();
    process_.waitForFinished(10000);
  }
  bool Locked() const { return locked_; }

 private:
  QProcess process_;
  bool locked_ = false;
};

}  // namespace tabletest
