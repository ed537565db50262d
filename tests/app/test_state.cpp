#include <QTemporaryDir>
#include <QtTest>

#include "app/core/ProgramStart.h"
#include "measurement/MeasState.h"

using namespace vintor;

class TestState : public QObject {
  Q_OBJECT
 private slots:
  void init() { ResetProgramState(); }
  void gainFromPeak_data();
  void gainFromPeak();
  void chanScale();
  void startValues();
  void pathsAndArchiveDirs();
  void existingArchiveDirsUntouched();
  void unwritableWorkDirStillStarts();
};

void TestState::gainFromPeak_data() {
  QTest::addColumn<int>("peak");
  QTest::addColumn<int>("code");
  for (auto [p, c] :
       {std::pair{2047, 0}, {500, 0}, {499, 1}, {126, 1}, {125, 2}, {32, 2}, {31, 3}, {0, 3}})
    QTest::addRow("%d", p) << p << c;
}

void TestState::gainFromPeak() {
  QFETCH(int, peak);
  QFETCH(int, code);
  QCOMPARE(int(GainFromPeak(peak)), code);
}

void TestState::chanScale() {
  Settings().Kpr1 = 20;
  Settings().Kpr2 = 10;
  Meas().GainCode = 2;
  QVERIFY(qAbs(ChanScale(1) - 5000.0 / (3.16227 * 3.16227 * 2047 * 20)) < 1e-15);
  QVERIFY(qAbs(ChanScale(1) - 0.0122) < 0.00005);
  QVERIFY(qAbs(ChanScale(2) - 2 * ChanScale(1)) < 1e-15);
  Meas().GainCode = 0;
  QVERIFY(qAbs(ChanScale(1) - 5000.0 / (2047 * 20)) < 1e-15);
}

void TestState::startValues() {
  QVERIFY(Meas().NeedSighting);
  QVERIFY(!Meas().StopRequested);
  QCOMPARE(Meas().AdcRate, 0.0);
  QCOMPARE(Meas().RPM, 0.0);
}

void TestState::pathsAndArchiveDirs() {
  QTemporaryDir dir;
  InitProgramPaths(dir.path() + "/");
  QCOMPARE(Meas().AdcRate, 100.0);
  QCOMPARE(Paths().WorkDir, dir.path());
  QCOMPARE(Paths().ArcRootDir, dir.path() + "/Arc");
  QCOMPARE(Paths().ArcDir, dir.path() + "/Arc/Arc1");
  QCOMPARE(Paths().TestDatPath, dir.path() + "/Test.dat");
  QCOMPARE(Paths().TestParPath, dir.path() + "/Test.par");
  QVERIFY(QFileInfo(Paths().ArcDir).isDir());
}

void TestState::existingArchiveDirsUntouched() {
  QTemporaryDir dir;
  QVERIFY(QDir().mkpath(dir.filePath("Arc/Arc1")));
  QFile keep(dir.filePath("Arc/Arc1/keep.dat"));
  QVERIFY(keep.open(QIODevice::WriteOnly));
  keep.write("x");
  keep.close();
  InitProgramPaths(dir.path());
  QCOMPARE(QDir(dir.filePath("Arc/Arc1")).entryList(QDir::Files), QStringList{"keep.dat"});
}

void TestState::unwritableWorkDirStillStarts() {
  InitProgramPaths("/proc/no-such-dir");
  QCOMPARE(Paths().ArcDir, QString("/proc/no-such-dir/Arc/Arc1"));
  QVERIFY(!QFileInfo::exists(Paths().ArcDir));
}

QTEST_APPLESS_MAIN(TestState)
#include "test_state.moc"
