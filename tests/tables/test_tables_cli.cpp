// vintor-cli archive / coeffs: JSON lines in field order, the report from the shared writer,
// exit codes, and messages naming the file when a table cannot be used.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "TableTestUtil.h"
#include "balancing/core/BalTables.h"
#include "tests/support/CliRun.h"

using namespace vintor;
using namespace tabletest;

class TestTablesCli : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void coeffsAddAndList();
  void archiveAddRounds();
  void archiveReport_data();
  void archiveReport();
  void badArguments_data();
  void badArguments();
  void unusableTable_data();
  void unusableTable();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

namespace {

// The messages are read as text: they name files.
struct Run {
  int exitCode = -1;
  QByteArray out;
  QString err;
};

Run RunCli(const QStringList& args, const QString& dir) {
  const test::CliRun r = test::RunCli(args, dir);
  return {r.exitCode, r.out, QString::fromUtf8(r.err)};
}

}  // namespace

void TestTablesCli::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
}

void TestTablesCli::cleanup() { dir_.reset(); }

void TestTablesCli::coeffsAddAndList() {
  Run r = RunCli({"coeffs", "add", "--mode", "2", QString::fromUtf8("name=Вентилятор \"3\" 'Б'"),
                  "r11=1.5", "R42=-0.412", "m1=10", "L1=6", "D2="},
                 dir_->path());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(r.out, QByteArray("{\"record\":1}\n"));
  r = RunCli({"coeffs", "add", "--mode", "2", "--dir", dir_->path()}, QDir::tempPath());
  QCOMPARE(r.out, QByteArray("{\"record\":2}\n"));

  r = RunCli({"coeffs", "list", "--mode", "2"}, dir_->path());
  QCOMPARE(r.exitCode, 0);
  const QList<QByteArray> lines = r.out.split('\n');
  QCOMPARE(lines.size(), 3);
  QCOMPARE(
      QString::fromUtf8(lines[0]),
      QString::fromUtf8("{\"record\":1,\"Thr\":1,\"Name\":\"Вентилятор \\\"3\\\" 'Б'\",\"L1\":6,"
                        "\"M1\":10,\"D1\":null,\"M2\":null,\"D2\":null,\"R11\":1.5,"
                        "\"R12\":null,\"R21\":null,\"R22\":null,\"R31\":null,\"R32\":null,"
                        "\"R41\":null,\"R42\":-0.412}"));
  QVERIFY(lines[1].startsWith("{\"record\":2,\"Thr\":2,\"Name\":null,"));
  QVERIFY(lines[2].isEmpty());

  // The other mode's table is its own file.
  r = RunCli({"coeffs", "list", "--mode", "1"}, dir_->path());
  QCOMPARE(r.exitCode, 0);
  QVERIFY(r.out.isEmpty());
  QVERIFY(QFile::exists(dir_->filePath("KftTable1.db")));
}

// Measured values as "F9 - Archive" stores them; the tolerances as typed.
void TestTablesCli::archiveAddRounds() {
  Run r = RunCli({"archive", "add", "--mode", "1", "VO1=3.456", "dop_v=2.345", "d1=1520.254",
                  "Date=2024-03-05 14:30", "place=Shop 2"},
                 dir_->path());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(r.out, QByteArray("{\"record\":1}\n"));
  r = RunCli({"archive", "add", "--mode", "2", "VO8=0.005"}, dir_->path());
  QCOMPARE(r.exitCode, 0);

  r = RunCli({"archive", "list", "--mode", "1"}, dir_->path());
  QCOMPARE(r.out, QByteArray("{\"record\":1,\"NAME\":null,\"Date\":\"2024-03-05 14:30:00\","
                             "\"Place\":\"Shop 2\",\"VO1\":3.46,\"VO7\":null,\"DOP_V\":2.345,"
                             "\"D1\":1520.25,\"D7\":null,\"DOP_D\":null}\n"));
  r = RunCli({"archive", "list", "--mode", "2"}, dir_->path());
  // Without Date, the time of adding.
  QVERIFY2(QRegularExpression("^\\{\"record\":1,\"NAME\":null,\"Date\":\"\\d{4}-\\d\\d-\\d\\d "
                              "\\d\\d:\\d\\d:\\d\\d\",\"Place\":null,\"VO1\":null,\"VO2\":null,"
                              "\"VO7\":null,\"VO8\":0.01,")
               .match(QString::fromUtf8(r.out))
               .hasMatch(),
           r.out.constData());
}

void TestTablesCli::archiveReport_data() {
  QTest::addColumn<QString>("mode");
  QTest::addColumn<QStringList>("fields");
  QTest::addColumn<QString>("fixture");
  QTest::newRow("single") << "1"
                          << QStringList{"NAME=Fan 3",
                                         "Place=Shop 2, bay 4",
                                         "Date=2024-03-05 14:30:00",
                                         "VO1=3.46",
                                         "VO7=0.84",
                                         "DOP_V=2.8",
                                         "D1=1520.25",
                                         "D7=95.5",
                                         "DOP_D=300"}
                          << "report1_named.txt";
  QTest::newRow("two") << "2"
                       << QStringList{QString::fromUtf8("NAME=Вентилятор №3"),
                                      QString::fromUtf8("Place=Цех 2"),
                                      "Date=2024-12-31 23:59:59",
                                      "VO1=3.46",
                                      "VO2=2.1",
                                      "VO7=0.84",
                                      "VO8=0.5",
                                      "DOP_V=2.8",
                                      "D1=1520.25",
                                      "D2=810",
                                      "D7=95.5",
                                      "D8=40.04",
                                      "DOP_D=300"}
                       << "report2_named.txt";
}

// The same bytes as the archive window writes, by default into the working directory.
void TestTablesCli::archiveReport() {
  QFETCH(QString, mode);
  QFETCH(QStringList, fields);
  QFETCH(QString, fixture);
  const QByteArray expected = ReadBytes(QStringLiteral(FIXTURES "/") + fixture);
  QVERIFY(RunCli({"archive", "add", "--mode", mode, "NAME=first"}, dir_->path()).exitCode == 0);
  QCOMPARE(RunCli(QStringList{"archive", "add", "--mode", mode} + fields, dir_->path()).exitCode,
           0);

  Run r = RunCli({"archive", "report", "--mode", mode, "--record", "2"}, dir_->path());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(ReadBytes(dir_->filePath("Protokol.txt")), expected);
  const QString other = dir_->filePath("other.txt");
  r = RunCli({"archive", "report", "--mode", mode, "--record", "2", "--output", other, "--dir",
              dir_->path()},
             QDir::tempPath());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(ReadBytes(other), expected);

  r = RunCli({"archive", "report", "--mode", mode, "--record", "3"}, dir_->path());
  QCOMPARE(r.exitCode, 1);
  QVERIFY2(r.err.contains("no record 3"), qPrintable(r.err));
}

void TestTablesCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::newRow("no mode") << QStringList{"coeffs", "list"};
  QTest::newRow("mode 3") << QStringList{"coeffs", "list", "--mode", "3"};
  QTest::newRow("no action") << QStringList{"archive", "--mode", "1"};
  QTest::newRow("unknown action") << QStringList{"archive", "remove", "--mode", "1"};
  QTest::newRow("coeffs report") << QStringList{"coeffs", "report", "--mode", "1", "--record", "1"};
  QTest::newRow("field of the other mode") << QStringList{"coeffs", "add", "--mode", "1", "R21=1"};
  QTest::newRow("Thr") << QStringList{"coeffs", "add", "--mode", "1", "Thr=5"};
  QTest::newRow("not a number") << QStringList{"coeffs", "add", "--mode", "1", "R11=1,5"};
  QTest::newRow("not finite") << QStringList{"coeffs", "add", "--mode", "1", "R11=inf"};
  QTest::newRow("no value") << QStringList{"coeffs", "add", "--mode", "1", "R11"};
  QTest::newRow("twice") << QStringList{"coeffs", "add", "--mode", "1", "R11=1", "r11=2"};
  QTest::newRow("bad date") << QStringList{"archive", "add", "--mode", "1", "Date=yesterday"};
  QTest::newRow("no record") << QStringList{"archive", "report", "--mode", "1"};
  QTest::newRow("record 0") << QStringList{"archive", "report", "--mode", "1", "--record", "0"};
  QTest::newRow("record on list") << QStringList{"archive", "list", "--mode", "1", "--record", "1"};
  QTest::newRow("words on list") << QStringList{"archive", "list", "--mode", "1", "VO1=1"};
  QTest::newRow("no such dir") << QStringList{"archive", "list",  "--mode",
                                              "1",       "--dir", "/nonexistent/dir"};
}

// Wrong words are refused before any file is touched.
void TestTablesCli::badArguments() {
  QFETCH(QStringList, args);
  const Run r = RunCli(args, dir_->path());
  QCOMPARE(r.exitCode, 2);
  QVERIFY(!r.err.isEmpty());
  QVERIFY(r.out.isEmpty());
  QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());
}

void TestTablesCli::unusableTable_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("problem");
  QTest::newRow("damaged") << "damaged"
                           << "damaged or is not a table file";
  QTest::newRow("older shape") << "older"
                               << "older shape, missing field(s) R12";
  QTest::newRow("read-only") << "readonly"
                             << "read-only";
  QTest::newRow("locked") << "locked"
                          << "locked by another program";
}

// Exit 1 with the file and the problem on stderr; the file stays as it was.
void TestTablesCli::unusableTable() {
  QFETCH(QString, kind);
  QFETCH(QString, problem);
  const QString path = dir_->filePath("KftTable1.db");
  if (kind == "damaged") {
    QVERIFY(WriteBytes(path, RandomBytes(3000, 5)));
  } else if (kind == "older") {
    QCOMPARE(RunSql(path, {"CREATE TABLE KftTable1 (Thr INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "Name TEXT, L1 REAL, M1 REAL, D1 REAL, R11 REAL)",
                           "INSERT INTO KftTable1 (Name) VALUES ('kept')"}),
             QString());
  } else {
    QCOMPARE(RunCli({"coeffs", "add", "--mode", "1", "Name=kept"}, dir_->path()).exitCode, 0);
    if (kind == "readonly") QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
  }
  const QByteArray before = ReadBytes(path);
  std::unique_ptr<Locker> locker;
  if (kind == "locked") {
    locker = std::make_unique<Locker>(TABLE_WRITER, dir_->path(), "KftTable1.db");
    QVERIFY(locker->Locked());
  }
  const Run r = RunCli({"coeffs", "add", "--mode", "1", "R11=1"}, dir_->path());
  QCOMPARE(r.exitCode, 1);
  QVERIFY(r.out.isEmpty());
  QVERIFY2(r.err.contains(QDir::toNativeSeparators(path)) && r.err.contains(problem),
           qPrintable(r.err));
  locker.reset();
  QCOMPARE(ReadBytes(path), before);
  if (kind == "readonly") {
    // Reading a read-only table still works.
    const Run list = RunCli({"coeffs", "list", "--mode", "1"}, dir_->path());
    QCOMPARE(list.exitCode, 0);
    QVERIFY(list.out.contains("\"Name\":\"kept\""));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
}

QTEST_GUILESS_MAIN(TestTablesCli)
#include "test_tables_cli.moc"
