// Helper process for the table tests: posts records one by one and says so after each post
// (the test kills it at a moment of its choosing), or holds a table file locked.
//   table_writer insert DIR [COUNT]  posts Kft1 records R11 = 1, 2, ... (COUNT 0: until killed)
//   table_writer lock DIR FILE       holds an exclusive lock on FILE until stdin closes
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

#include "balancing/core/BalTables.h"

using namespace vintor;

namespace {

int Insert(const QString& dir, long long count) {
  BalTable table(TableKind::Kft1);
  if (!table.Open(dir)) {
    std::fprintf(stderr, "%s\n", qPrintable(table.ErrorText()));
    return 1;
  }
  for (long long i = 1; count == 0 || i <= count; ++i) {
    TableRecord r(TableKind::Kft1);
    r.Set(QStringLiteral("R11"), static_cast<double>(i));
    r.Set(QStringLiteral("Name"), QStringLiteral("record %1").arg(i));
    if (!table.Insert(r)) {
      std::fprintf(stderr, "%s\n", qPrintable(table.ErrorText()));
      return 1;
    }
    std::printf("%lld\n", i);
    std::fflush(stdout);
  }
  return 0;
}

int Lock(const QString& path) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
    db.setDatabaseName(path);
    if (!db.open()) return 1;
    QSqlQuery q(db);
    // A writer in the middle of its transaction: nobody else may read or write.
    if (!q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
      std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
      return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    char buf[64];
    while (std::fgets(buf, sizeof buf, stdin)) {
    }
    q.exec(QStringLiteral("ROLLBACK"));
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("lock"));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() >= 3 && args[1] == QLatin1String("insert"))
    return Insert(args[2], args.size() > 3 ? args[3].toLongLong() : 0);
  if (args.size() >= 4 && args[1] == QLatin1String("lock")) return Lock(args[2] + '/' + args[3]);
  std::fprintf(stderr, "usage: table_writer insert DIR [COUNT] | lock DIR FILE\n");
  return 2;
}
