#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include "app/core/ConfigFile.h"
#include "platform/Cp1251.h"

using namespace vintor;

class TestConfig : public QObject {
  Q_OBJECT
 private slots:
  void load_data();
  void load();
  void missingFileLoadsNothing();
  void saveWritesFiveCrLfLines();
  void saveToReadOnlyDirFailsAndKeepsOldFile();
  void cancelTexts();
};

// Columns: file bytes, separator, expected result, the five values and the five field texts.
void TestConfig::load_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<int>("result");
  QTest::addColumn<QList<double>>("values");
  QTest::addColumn<QStringList>("texts");

  const QStringList init{"20,1", "20,01", "0,0", "0,0", "80"};
  const QList<double> zero{0, 0, 0, 0, 0};
  const int ok = int(ConfigLoad::Loaded), bad = int(ConfigLoad::BadValue);

  QTest::newRow("points on comma system")
      << QByteArray("20.5\r\n19.5\r\n0.1\r\n0.2\r\n80\r\n") << QChar(',') << ok
      << QList<double>{20.5, 19.5, 0.1, 0.2, 80} << QStringList{"20,5", "19,5", "0,1", "0,2", "80"};
  QTest::newRow("commas on point system")
      << QByteArray("20,5\r\n19,5\r\n0,1\r\n0,2\r\n80\r\n") << QChar('.') << ok
      << QList<double>{20.5, 19.5, 0.1, 0.2, 80} << QStringList{"20.5", "19.5", "0.1", "0.2", "80"};
  QTest::newRow("fifth value with other separator fails")
      << QByteArray("20,5\r\n19,5\r\n0,1\r\n0,2\r\n80.5\r\n") << QChar(',') << bad
      << QList<double>{20.5, 19.5, 0.1, 0.2, 0}
      << QStringList{"20,5", "19,5", "0,1", "0,2", "80.5"};
  QTest::newRow("empty second line")
      << QByteArray("21\r\n\r\n1\r\n2\r\n90\r\n") << QChar('.') << ok
      << QList<double>{21, 20, 1, 2, 90} << QStringList{"21", "", "1", "2", "90"};
  QTest::newRow("sixth line starts a second group")
      << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n33\r\n") << QChar('.') << ok
      << QList<double>{33, 20, 0, 0, 100} << QStringList{"33", "", "", "", ""};
  QTest::newRow("empty sixth line")
      << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n\r\n") << QChar('.') << ok
      << QList<double>{20, 20, 0, 0, 100} << QStringList{"", "", "", "", ""};
  QTest::newRow("no final line end")
      << QByteArray("1\r\n2\r\n3\r\n4\r\n5") << QChar('.') << ok << QList<double>{1, 2, 3, 4, 5}
      << QStringList{"1", "2", "3", "4", "5"};
  QTest::newRow("bare LF line ends")
      << QByteArray("1\n2\n3\n4\n5\n") << QChar('.') << ok << QList<double>{1, 2, 3, 4, 5}
      << QStringList{"1", "2", "3", "4", "5"};
  QTest::newRow("empty file loads nothing") << QByteArray() << QChar('.') << ok << zero << init;
  QTest::newRow("number followed by junk stops at that line")
      << QByteArray("21\r\n12abc\r\n3\r\n4\r\n5\r\n") << QChar('.') << bad
      << QList<double>{21, 0, 0, 0, 0} << QStringList{"21", "12abc", "0,0", "0,0", "80"};
  QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe\x01garbage\x98\r\n", 14) << QChar('.')
                                  << bad << zero
                                  << QStringList{QString(QChar(0)) +
                                                     QString::fromUtf8("\u044f\u044e\x01garbage?"),
                                                 "20,01", "0,0", "0,0", "80"};
  QTest::newRow("very long line") << (QByteArray(100000, '1') + "\r\n") << QChar('.') << bad << zero
                                  << QStringList{QString(100000, '1'), "20,01", "0,0", "0,0", "80"};
}

void TestConfig::load() {
  QFETCH(QByteArray, content);
  QFETCH(QChar, sep);
  QFETCH(int, result);
  QFETCH(QList<double>, values);
  QFETCH(QStringList, texts);

  SensorSettings s;
  SettingsTexts t = InitialSettingsTexts();
  QCOMPARE(int(ParseSensorConfig(content, s, t, sep)), result);
  QCOMPARE(s.Kpr1, values[0]);
  QCOMPARE(s.Kpr2, values[1]);
  QCOMPARE(s.Vs1Offset, values[2]);
  QCOMPARE(s.Vs2Offset, values[3]);
  QCOMPARE(s.MaxV, values[4]);
  QCOMPARE(QStringList(t.begin(), t.end()), texts);
}

void TestConfig::missingFileLoadsNothing() {
  QTemporaryDir dir;
  SensorSettings s;
  SettingsTexts t = InitialSettingsTexts();
  QCOMPARE(LoadSensorConfig(dir.filePath("Kavero.cfg"), s, t, QChar(',')), ConfigLoad::NotRead);
  QCOMPARE(s.Kpr1, 0.0);
  QCOMPARE(t, InitialSettingsTexts());
}

void TestConfig::saveWritesFiveCrLfLines() {
  QTemporaryDir dir;
  const QString path = dir.filePath("Kavero.cfg");
  SettingsTexts t{"20,5", "19", "0,1", "0", "80.5"};
  QVERIFY(SaveSensorConfig(path, t));
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("20,5\r\n19\r\n0,1\r\n0\r\n80.5\r\n"));
  // Round trip on the same separator.
  SensorSettings s;
  SettingsTexts back = InitialSettingsTexts();
  QCOMPARE(LoadSensorConfig(path, s, back, QChar(',')), ConfigLoad::BadValue);  // "80.5" on ","
  QCOMPARE(s.Kpr1, 20.5);
  QCOMPARE(s.Vs1Offset, 0.1);
}

void TestConfig::saveToReadOnlyDirFailsAndKeepsOldFile() {
  if (::geteuid() == 0) QSKIP("root writes into read-only directories");
  QTemporaryDir dir;
  const QString path = dir.filePath("Kavero.cfg");
  QVERIFY(SaveSensorConfig(path, {"1", "2", "3", "4", "5"}));
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
  QString error;
  QVERIFY(!SaveSensorConfig(path, {"9", "9", "9", "9", "9"}, &error));
  QVERIFY(!error.isEmpty());
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n"));
}

void TestConfig::cancelTexts() {
  SensorSettings s{20.1, 20, 0.25, 0, 77};
  const SettingsTexts t = TextsFromValues(s, {"a", "b", "c", "d", "keep"}, QChar(','));
  QCOMPARE(t, (SettingsTexts{"20,1", "20", "0,25", "0", "keep"}));
}

QTEST_APPLESS_MAIN(TestConfig)
#include "test_config.moc"
