// vintor-cli broadband: the charts window's broadband job on a recording on disk.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/measurement/SynthRecording.h"
#include "tests/support/CliRun.h"

namespace {

using Run = vintor::test::CliRun;

Run Cli(const QStringList& args, const QString& dir) {
  return vintor::test::RunCli(args, dir, 60000);
}

}  // namespace

class TestCliBroadband : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void limits_data();
  void limits();
  void badArguments_data();
  void badArguments();

 private:
  QTemporaryDir dir_;
};

void TestCliBroadband::initTestCase() {
  // Two seconds at 1500 rev/min: 65 536 frames, a pulse every 1000 frames.
  vintor::test::SynthSpec s;
  s.frames = 65536;
  s.period = 1000;
  s.ch1 = {200, 0, 1, 7, 3};
  s.ch2 = {100, 90, 1, -4, 3};
  QVERIFY(vintor::test::WriteRaw(dir_.filePath("Test.dat"), vintor::test::MakeRecording(s)));
}

void TestCliBroadband::limits_data() {
  QTest::addColumn<QStringList>("extra");
  QTest::addColumn<int>("points");
  QTest::addColumn<int>("first");
  QTest::addColumn<int>("last");
  QTest::newRow("first tenth") << QStringList{} << 409 << 16 << 6544;
  QTest::newRow("begin 100 end 200")
      << QStringList{"--begin", "100", "--end", "200"} << 6 << 112 << 192;
}

void TestCliBroadband::limits() {
  QFETCH(QStringList, extra);
  QFETCH(int, points);
  QFETCH(int, first);
  QFETCH(int, last);
  const Run r =
      Cli(QStringList{"broadband", "Test.dat", "--output", "out.txt"} + extra, dir_.path());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(r.json["lines"].toInt(), 65536);
  // The offset of 7 codes, and what the unfinished last revolution leaves of the sine.
  QVERIFY(std::abs(r.json["AdcMean1"].toInt() - 7) <= 1);
  QCOMPARE(r.json["points"].toInt(), points);
  QCOMPARE(r.json["firstPoint"].toInt(), first);
  QCOMPARE(r.json["lastPoint"].toInt(), last);
  QVERIFY2(std::abs(r.json["marks"].toInt() - 65) <= 1,
           qPrintable(QString::number(r.json["marks"].toInt())));
  QFile out(dir_.filePath("out.txt"));
  QVERIFY(out.open(QIODevice::ReadOnly));
  QCOMPARE(out.readAll().count("\r\n"), 65536);
}

void TestCliBroadband::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::newRow("no file") << QStringList{"broadband"};
  QTest::newRow("missing file") << QStringList{"broadband", "none.dat"};
  QTest::newRow("begin 0") << QStringList{"broadband", "Test.dat", "--begin", "0"};
  QTest::newRow("end text") << QStringList{"broadband", "Test.dat", "--end", "x"};
}

void TestCliBroadband::badArguments() {
  QFETCH(QStringList, args);
  QCOMPARE(Cli(args, dir_.path()).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestCliBroadband)
#include "test_cli_broadband.moc"
