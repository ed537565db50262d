#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "base/Formatting.h"
#include "meter/core/MeasArchive.h"
#include "meter/core/MeterResults.h"
#include "platform/TextFile.h"

using namespace vintor;

class TestMeterArchive : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup() { delete dir_; }
  void stamp_data();
  void stamp();
  void filesPairAndPointsParPath();
  void sameSecondReplacesPair();
  void missingSourceReportsAndKeepsPar();
  void unwritableArchiveReports();
  void resultTexts_data();
  void resultTexts();

 private:
  QTemporaryDir* dir_ = nullptr;
};

static QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestMeterArchive::init() {
  ResetProgramState();
  dir_ = new QTemporaryDir;
  Paths().WorkDir = dir_->path();
  Paths().ArcDir = dir_->filePath("Arc/Arc1");
  QDir().mkpath(Paths().ArcDir);
  Paths().TestDatPath = dir_->filePath("Test.dat");
  Paths().TestParPath = dir_->filePath("Test.par");
}

void TestMeterArchive::stamp_data() {
  QTest::addColumn<QDateTime>("when");
  QTest::addColumn<QString>("stamp");
  QTest::newRow("7 March 2009") << QDateTime(QDate(2009, 3, 7), QTime(9, 5, 3)) << "090307090503";
  QTest::newRow("padding") << QDateTime(QDate(2026, 1, 2), QTime(0, 0, 5)) << "260102000005";
  QTest::newRow("end of year") << QDateTime(QDate(2030, 12, 31), QTime(23, 59, 59))
                               << "301231235959";
}

void TestMeterArchive::stamp() {
  QFETCH(QDateTime, when);
  QFETCH(QString, stamp);
  QCOMPARE(ArchiveStamp(when), stamp);
}

void TestMeterArchive::filesPairAndPointsParPath() {
  QVERIFY(ReplaceFile(Paths().TestDatPath, QByteArray(131072 * 2, '\x5a')));
  Meas().GainCode = 3;
  const FilingResult r = FileMeasurement(QString(), QDateTime(QDate(2009, 3, 7), QTime(9, 5, 3)));
  QVERIFY(r.ok);
  QCOMPARE(Paths().TestParPath, Paths().ArcDir + "/090307090503.par");
  QCOMPARE(Paths().TestDatPath, dir_->filePath("Test.dat"));
  QCOMPARE(ReadAll(Paths().ArcDir + "/090307090503.par"), QByteArray("3\r\n"));
  QCOMPARE(ReadAll(Paths().ArcDir + "/090307090503.dat"), QByteArray(131072 * 2, '\x5a'));
  QCOMPARE(Meas().GainText, QString("3"));
  // Nothing but the pair is left in the archive (no temporary files).
  QCOMPARE(QDir(Paths().ArcDir).entryList(QDir::Files),
           (QStringList{"090307090503.dat", "090307090503.par"}));
}

void TestMeterArchive::sameSecondReplacesPair() {
  const QDateTime t(QDate(2026, 5, 1), QTime(12, 0, 0));
  QVERIFY(ReplaceFile(Paths().TestDatPath, "first"));
  Meas().GainCode = 1;
  QVERIFY(FileMeasurement("P1Run0", t).ok);
  QVERIFY(ReplaceFile(Paths().TestDatPath, "second"));
  Meas().GainCode = 2;
  QVERIFY(FileMeasurement("P1Run0", t).ok);
  QCOMPARE(ReadAll(Paths().ArcDir + "/260501120000P1Run0.dat"), QByteArray("second"));
  QCOMPARE(ReadAll(Paths().ArcDir + "/260501120000P1Run0.par"), QByteArray("2\r\n"));
  QCOMPARE(QDir(Paths().ArcDir).entryList(QDir::Files).size(), 2);
}

void TestMeterArchive::missingSourceReportsAndKeepsPar() {
  const FilingResult r = FileMeasurement(QString(), QDateTime(QDate(2026, 5, 1), QTime(12, 0, 0)));
  QVERIFY(!r.ok);
  QVERIFY(!r.error.isEmpty());
  QCOMPARE(ReadAll(Paths().ArcDir + "/260501120000.par"), QByteArray("0\r\n"));
  QVERIFY(!QFile::exists(Paths().ArcDir + "/260501120000.dat"));
}

void TestMeterArchive::unwritableArchiveReports() {
  QVERIFY(ReplaceFile(Paths().TestDatPath, "data"));
  Paths().ArcDir = dir_->filePath("no/such/dir");
  const FilingResult r = FileMeasurement(QString(), QDateTime(QDate(2026, 5, 1), QTime(12, 0, 0)));
  QVERIFY(!r.ok);
  QVERIFY(!r.error.isEmpty());
  QCOMPARE(ReadAll(Paths().TestDatPath), QByteArray("data"));
}

void TestMeterArchive::resultTexts_data() {
  QTest::addColumn<double>("v1s");
  QTest::addColumn<double>("v1o");
  QTest::addColumn<double>("v2s");
  QTest::addColumn<double>("v2o");
  QTest::addColumn<QString>("over");  // which labels are red: S11 V11 S21 V21
  QTest::newRow("all below") << 1.0 << 2.0 << 3.0 << 4.0 << "0000";
  QTest::newRow("equal is not over") << 10.0 << 10.0 << 10.0 << 10.0 << "0000";
  QTest::newRow("only V2o over") << 1.0 << 2.0 << 3.0 << 10.5 << "0001";
  QTest::newRow("V1s over") << 10.01 << 2.0 << 3.0 << 4.0 << "1000";
}

void TestMeterArchive::resultTexts() {
  QFETCH(double, v1s);
  QFETCH(double, v1o);
  QFETCH(double, v2s);
  QFETCH(double, v2o);
  QFETCH(QString, over);
  SetDecimalSeparatorOverride(QChar(','));
  MeasState m;
  m.RPM = 1479.5;
  m.V1s = v1s;
  m.V1o = v1o;
  m.V2s = v2s;
  m.V2o = v2o;
  m.F1 = 359.6;
  m.F2 = 12.4;
  const MeterResults r = MeterResultTexts(m, 10.0);
  QCOMPARE(r.N1, QString("Nrev= 1480 rpm"));
  QCOMPARE(r.F11, QString("F1= 360 degree"));
  QCOMPARE(r.F21, QString("F2= 12 degree"));
  QCOMPARE(r.S11, "V1s= " + FormatVibValue(v1s) + " mm/s");
  const QString flags = QString("%1%2%3%4")
                            .arg(int(r.overS11))
                            .arg(int(r.overV11))
                            .arg(int(r.overS21))
                            .arg(int(r.overV21));
  QCOMPARE(flags, over);
  QCOMPARE(r.AnyOver(), over.contains('1'));
  SetDecimalSeparatorOverride(QChar());
}

QTEST_APPLESS_MAIN(TestMeterArchive)
#include "test_meterarchive.moc"
