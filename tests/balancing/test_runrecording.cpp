// Recording one balancing run without the windows: the archived pair, the stored values, the
// log lines, memo.txt, the success test and the faults (failed or stopped acquisition, a window
// closed during the measurement, files that cannot be written).
#include <QDir>
#include <QtTest>
#include <map>
#include <memory>

#include "app/core/ProgramStart.h"
#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "balancing/core/RunRecording.h"
#include "balancing/core/RunSequence.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "platform/Cp1251.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;

namespace {

class FakeSink final : public RunRecordSink {
 public:
  bool abandoned = false;
  QStringList log;
  std::map<int, RunFieldTexts> fields;
  QStringList correction;
  int computed = 0;
  bool Abandoned() const override { return abandoned; }
  void ShowFields(int step, const RunFieldTexts& t) override { fields[step] = t; }
  QStringList CorrectionTexts(bool compute) override {
    if (compute) ++computed;
    return correction;
  }
  void AppendLog(const QString& line) override { log << line; }
  QStringList LogLines() const override { return log; }
};

// What the measurement leaves in MeasState.
struct Measured {
  double rpm, v1, f1, v2, f2;
  bool wrongTacho = false;
  int acqStatus = 1;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

Q_DECLARE_METATYPE(Measured)

class TestRunRecording : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();

  void logLineOfEveryRun_data();
  void logLineOfEveryRun();
  void archivedPairAndSlots();
  void checkRunReplacesTheReference();
  void twoPlaneMemoAfterEveryLine();
  void successOnTheRunsOwnSpeed_data();
  void successOnTheRunsOwnSpeed();
  void failedAcquisitionKeepsNoStaleValues_data();
  void failedAcquisitionKeepsNoStaleValues();
  void closedDuringMeasurementLeavesNothing();
  void fileFailures_data();
  void fileFailures();
  void measurementErrorIsReported();

 private:
  RunRecordResult Record(BalancingMode mode, int step, const Measured& m);
  QString Stamp() const { return BalancingLogStamp(clock_.now); }
  std::unique_ptr<test::CurrentTempDir> dir_;
  test::FixedClock clock_;
  test::RecordingDialogs dialogs_;
  FakeSink sink_;
  std::function<void()> duringMeasure_;
};

void TestRunRecording::init() {
  ResetProgramState();
  ResetBalancingState();
  ResetServices();
  dialogs_ = test::RecordingDialogs();
  Svc().dialogs = &dialogs_;
  clock_.now = QDateTime(QDate(2026, 1, 8), QTime(14, 3, 5));
  Svc().clock = &clock_;
  SetDecimalSeparatorOverride(QChar(','));
  dir_ = std::make_unique<test::CurrentTempDir>();
  InitProgramPaths(dir_->path());
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  sink_ = FakeSink();
  sink_.correction = {"12,0", "40", "3,50", "300"};
  duringMeasure_ = nullptr;
}

void TestRunRecording::cleanup() {
  dir_.reset();
  SetDecimalSeparatorOverride(QChar());
  ResetServices();
}

RunRecordResult TestRunRecording::Record(BalancingMode mode, int step, const Measured& m) {
  return RecordRun(mode, step, sink_, [&] {
    QVERIFY(Paths().TestDatPath == dir_->filePath("Test.dat"));
    MeasState& s = Meas();
    s.AcqStatus = m.acqStatus;
    if (m.acqStatus != -1) {  // else the results stay as the previous cycle left them
      s.RPM = m.rpm, s.V1o = m.v1, s.F1 = m.f1, s.V2o = m.v2, s.F2 = m.f2;
      s.WrongTacho = m.wrongTacho;
      s.GainCode = 2;
      QFile dat(Paths().TestDatPath);
      QVERIFY(dat.open(QIODevice::WriteOnly));
      dat.write(QByteArray("run data ") + QByteArray::number(step));
    }
    if (duringMeasure_) duringMeasure_();
  });
}

void TestRunRecording::logLineOfEveryRun_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<int>("step");
  QTest::addColumn<QString>("line");  // %1: the date and time
  QTest::newRow("single Run#0") << false << kRun0 << "Run#0 %1 RPM=1497 V01=4,50 F1=60";
  QTest::newRow("single Run#1") << false << kRun1 << "Run#1 RPM=1497 V01=4,50 F1=60 M1=12,0 f1=40";
  QTest::newRow("single RunC") << false << kRunC << "RunC  RPM=1497 V01=4,50 F1=60 M1=12,0 f1=40";
  QTest::newRow("two Run#0") << true << kRun0
                             << "Run#0 %1 RPM=1497 V01=4,50 F1=60 V02=0,950 F2=211";
  QTest::newRow("two Run#1") << true << kRun1 << "Run#1 RPM=1497 V01=4,50 F1=60 V02=0,950 F2=211";
  QTest::newRow("two Run#2") << true << kRun2
                             << "Run#2 RPM=1497 V01=4,50 F1=60 V02=0,950 F2=211 M1=12,0 f1=40 "
                                "M2=3,50 f2=300";
  QTest::newRow("two RunC") << true << kRunC
                            << "RunC  RPM=1497 V01=4,50 F1=60 V02=0,950 F2=211 M1=12,0 f1=40 "
                               "M2=3,50 f2=300";
}

void TestRunRecording::logLineOfEveryRun() {
  QFETCH(bool, two);
  QFETCH(int, step);
  QFETCH(QString, line);
  const BalancingMode mode = two ? BalancingMode::TwoPlane : BalancingMode::SinglePlane;
  const RunRecordResult r = Record(mode, step, {1496.55, 4.5, 60.4, 0.95, 210.6});
  QCOMPARE(int(r.end), int(RunRecordResult::End::Recorded));
  QVERIFY(r.success && r.measured);
  QCOMPARE(sink_.log, QStringList{line.contains("%1") ? line.arg(Stamp()) : line});
  // Single-plane Run#1 and RunC have the correction computed for the values just stored.
  QCOMPARE(sink_.computed, !two && step != kRun0 ? 1 : 0);
  const RunFieldTexts& f = sink_.fields[step];
  QCOMPARE(QStringList({f.N, f.V1, f.F1}), QStringList({"1497", "4,50", "60"}));
  if (two) QCOMPARE(QStringList({f.V2, f.F2}), QStringList({"0,950", "211"}));
}

void TestRunRecording::archivedPairAndSlots() {
  Meas().NeedSighting = false;
  duringMeasure_ = [] { QVERIFY(Meas().NeedSighting); };  // Run#0 starts with the sighting pass
  Record(BalancingMode::SinglePlane, kRun0, {600, 3.2, 100, 9, 9});
  const QString stem = Paths().ArcDir + "/260108140305P1Run0";
  QCOMPARE(ReadAll(stem + ".dat"), QByteArray("run data 1"));
  QCOMPARE(ReadAll(stem + ".par"), QByteArray("2\r\n"));
  QCOMPARE(Paths().TestParPath, stem + ".par");
  QCOMPARE(Paths().TestDatPath, dir_->filePath("Test.dat"));
  const RunRecords& r = Runs();
  QCOMPARE(r.Run0RPM, 600.0);
  QCOMPARE(r.Run0V1o, 3.2);
  QCOMPARE(r.Run0F1, 100.0);
  QCOMPARE(r.StartV1o, 3.2);
  QCOMPARE(r.Run0V2o, 0.0);  // channel 2 belongs to the two-plane window
  QVERIFY(!QFile::exists(MemoPath()));

  // The next run: no sighting forced, its own tag; the same second overwrites its own pair.
  Meas().NeedSighting = false;
  duringMeasure_ = [] { QVERIFY(!Meas().NeedSighting); };
  Record(BalancingMode::SinglePlane, kRun1, {610, 5.0, 80, 0, 0});
  QCOMPARE(ReadAll(Paths().ArcDir + "/260108140305P1Run1.dat"), QByteArray("run data 2"));
  QCOMPARE(r.Run1V1o, 5.0);
  QCOMPARE(r.Run0V1o, 3.2);
  duringMeasure_ = nullptr;
  clock_.now = QDateTime(QDate(2009, 3, 7), QTime(9, 5, 3));
  Record(BalancingMode::TwoPlane, kRun2, {610, 5.0, 80, 1, 2});
  QVERIFY(QFile::exists(Paths().ArcDir + "/090307090503P2Run2.dat"));
  QVERIFY(QFile::exists(Paths().ArcDir + "/090307090503P2Run2.par"));
}

void TestRunRecording::checkRunReplacesTheReference() {
  Record(BalancingMode::TwoPlane, kRun0, {600, 3.2, 100, 1.5, 200});
  Record(BalancingMode::TwoPlane, kRunC, {590, 0.4, 250, 0.3, 10});
  const RunRecords& r = Runs();
  QCOMPARE(QList<double>({r.Run0RPM, r.RunCRPM, r.Run0V1o, r.Run0F1, r.Run0V2o, r.Run0F2}),
           QList<double>({600, 590, 0.4, 250, 0.3, 10}));
  QCOMPARE(QList<double>({r.StartV1o, r.StartV2o, r.EndV1o, r.EndV2o}),
           QList<double>({3.2, 1.5, 0.4, 0.3}));
  QVERIFY(QFile::exists(Paths().ArcDir + "/260108140305P2RunC.dat"));
}

void TestRunRecording::twoPlaneMemoAfterEveryLine() {
  // Lines the correction window added since the last run are saved with the next one.
  sink_.log << QString::fromUtf8("--- М1 ---");
  Record(BalancingMode::TwoPlane, kRun0, {600, 3.2, 100, 1.5, 200});
  QCOMPARE(sink_.log.size(), 2);
  QByteArray expected = *EncodeCp1251(sink_.log.join("\r\n") + "\r\n");
  QCOMPARE(ReadAll(MemoPath()), expected);
  QVERIFY(expected.contains("\xCC"));  // the Cyrillic EM in Windows-1251
  sink_.correction = {"n.d.", "n.d.", "n.d.", "n.d."};
  Record(BalancingMode::TwoPlane, kRun2, {600, 3.2, 100, 1.5, 200});
  QCOMPARE(sink_.log.last(), QString("Run#2 RPM=600 V01=3,20 F1=100 V02=1,50 F2=200 M1=n.d. "
                                     "f1=n.d. M2=n.d. f2=n.d."));
  expected = *EncodeCp1251(sink_.log.join("\r\n") + "\r\n");
  QCOMPARE(ReadAll(MemoPath()), expected);
  // No temporary file is left beside it.
  QCOMPARE(QDir(Paths().ArcDir).entryList({"*memo*"}, QDir::Files), QStringList{"memo.txt"});
}

void TestRunRecording::successOnTheRunsOwnSpeed_data() {
  QTest::addColumn<int>("step");
  QTest::addColumn<Measured>("m");
  QTest::addColumn<bool>("success");
  QTest::addColumn<QString>("speedText");
  QTest::newRow("100 rpm") << kRun0 << Measured{100.0, 1, 1, 0, 0} << false << "100";
  QTest::newRow("100.5 rpm") << kRun0 << Measured{100.5, 1, 1, 0, 0} << true << "101";
  QTest::newRow("no tachometer signal") << kRun0 << Measured{0.0, 0, 0, 0, 0, true} << false << "0";
  QTest::newRow("irregular signal at speed")
      << kRun1 << Measured{1500.0, 1, 1, 0, 0, true} << false << "1500";
  QTest::newRow("run1 at 80 after run0 at 600")
      << kRun1 << Measured{80.0, 1, 1, 0, 0} << false << "80";
  QTest::newRow("runC at speed") << kRunC << Measured{590.0, 1, 1, 0, 0} << true << "590";
}

void TestRunRecording::successOnTheRunsOwnSpeed() {
  QFETCH(int, step);
  QFETCH(Measured, m);
  QFETCH(bool, success);
  QFETCH(QString, speedText);
  Runs().Run0RPM = 600;
  const RunRecordResult r = Record(BalancingMode::SinglePlane, step, m);
  QCOMPARE(r.success, success);
  QCOMPARE(int(r.end), int(RunRecordResult::End::Recorded));
  QCOMPARE(sink_.fields[step].N, speedText);
  QVERIFY(sink_.log.value(0).contains("RPM=" + speedText + " "));
  // A failed run is archived, stored and logged like a good one.
  QVERIFY(QFile::exists(Paths().ArcDir + "/260108140305" +
                        RunTag(BalancingMode::SinglePlane, step) + ".dat"));
  QCOMPARE(RunSpeed(step), m.rpm);
}

void TestRunRecording::failedAcquisitionKeepsNoStaleValues_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<int>("step");
  QTest::addColumn<QString>("line");
  QTest::newRow("single Run#0") << false << kRun0
                                << "Run#0 %1 RPM=n.d. V01=n.d. F1=n.d. - measurement failed";
  QTest::newRow("single Run#1")
      << false << kRun1 << "Run#1 RPM=n.d. V01=n.d. F1=n.d. M1=n.d. f1=n.d. - measurement failed";
  QTest::newRow("two RunC") << true << kRunC
                            << "RunC  RPM=n.d. V01=n.d. F1=n.d. V02=n.d. F2=n.d. M1=12,0 f1=40 "
                               "M2=3,50 f2=300 - measurement failed";
}

void TestRunRecording::failedAcquisitionKeepsNoStaleValues() {
  QFETCH(bool, two);
  QFETCH(int, step);
  QFETCH(QString, line);
  const BalancingMode mode = two ? BalancingMode::TwoPlane : BalancingMode::SinglePlane;
  // The previous cycle's results are still in MeasState and Test.dat.
  Meas() = MeasState{};
  Meas().RPM = 1500, Meas().V1o = 4.5, Meas().F1 = 60, Meas().V2o = 2, Meas().F2 = 200;
  QFile dat(dir_->filePath("Test.dat"));
  QVERIFY(dat.open(QIODevice::WriteOnly));
  dat.write("old data");
  dat.close();
  Runs().Run0V1o = 1.0;
  Runs().RunCRPM = 7;
  const RunRecords before = Runs();

  const RunRecordResult r = Record(mode, step, {0, 0, 0, 0, 0, false, -1});
  QCOMPARE(int(r.end), int(RunRecordResult::End::Recorded));
  QVERIFY(!r.measured);
  QVERIFY(!r.success);
  QCOMPARE(sink_.log, QStringList{line.contains("%1") ? line.arg(Stamp()) : line});
  QCOMPARE(sink_.fields[step].V1, QString("n.d."));
  QCOMPARE(sink_.computed, 0);  // no correction from values that are not this run's
  const RunRecords& after = Runs();
  QCOMPARE(QList<double>({after.Run0RPM, after.Run1RPM, after.RunCRPM, after.Run0V1o, after.Run1V1o,
                          after.StartV1o, after.EndV1o}),
           QList<double>({before.Run0RPM, before.Run1RPM, before.RunCRPM, before.Run0V1o,
                          before.Run1V1o, before.StartV1o, before.EndV1o}));
  // Archived as any run: what the raw data file holds.
  QCOMPARE(ReadAll(Paths().ArcDir + "/260108140305" + RunTag(mode, step) + ".dat"),
           QByteArray("old data"));
}

void TestRunRecording::closedDuringMeasurementLeavesNothing() {
  duringMeasure_ = [this] { sink_.abandoned = true; };
  const RunRecordResult r = Record(BalancingMode::TwoPlane, kRun1, {1500, 4, 4, 4, 4});
  QCOMPARE(int(r.end), int(RunRecordResult::End::Abandoned));
  QVERIFY(sink_.log.isEmpty());
  QVERIFY(sink_.fields.empty());
  QCOMPARE(Runs().Run1RPM, 0.0);
  QCOMPARE(QDir(Paths().ArcDir).entryList(QDir::Files), QStringList{});
  QCOMPARE(Paths().TestParPath, dir_->filePath("Test.par"));
}

void TestRunRecording::fileFailures_data() {
  QTest::addColumn<QString>("broken");  // "arcdir", "testdat", "memo"
  QTest::addColumn<int>("end");
  QTest::addColumn<int>("logLines");
  QTest::addColumn<int>("errors");
  QTest::addColumn<int>("messages");
  const int recorded = int(RunRecordResult::End::Recorded);
  const int aborted = int(RunRecordResult::End::Aborted);
  // No parameter file: the run ends there, nothing is copied, stored or logged.
  QTest::newRow("parameter file") << "arcdir" << aborted << 0 << 1 << 0;
  // No raw data to copy: said, and the run goes on.
  QTest::newRow("raw data copy") << "testdat" << recorded << 1 << 0 << 1;
  // memo.txt cannot be replaced: the line is in the window, the run has no outcome.
  QTest::newRow("memo.txt") << "memo" << aborted << 1 << 1 << 0;
}

void TestRunRecording::fileFailures() {
  QFETCH(QString, broken);
  QFETCH(int, end);
  QFETCH(int, logLines);
  QFETCH(int, errors);
  QFETCH(int, messages);
  if (broken == "arcdir") Paths().ArcDir = dir_->filePath("missing/Arc1");
  if (broken == "memo") QVERIFY(QDir().mkpath(MemoPath()));
  if (broken == "testdat")
    duringMeasure_ = [] { Paths().TestDatPath = QStringLiteral("/nonexistent/Test.dat"); };
  const RunRecordResult r = Record(BalancingMode::TwoPlane, kRun0, {600, 1, 1, 1, 1});
  QCOMPARE(int(r.end), end);
  QCOMPARE(sink_.log.size(), logLines);
  QCOMPARE(dialogs_.errors.size(), errors);
  QCOMPARE(int(dialogs_.messages.size()), messages);
  if (messages) {
    QCOMPARE(dialogs_.messages[0].caption, QString());
    QVERIFY2(
        dialogs_.messages[0].text.startsWith("Error!: ") && dialogs_.messages[0].text.size() > 8,
        qPrintable(dialogs_.messages[0].text));
  }
  if (broken == "arcdir") {
    QVERIFY(!dialogs_.errors[0].isEmpty());
    QCOMPARE(Runs().Run0RPM, 0.0);
    QVERIFY(sink_.fields.empty());
  }
}

void TestRunRecording::measurementErrorIsReported() {
  const RunRecordResult r = RecordRun(BalancingMode::SinglePlane, kRun0, sink_, [] {
    throw MeasError(QStringLiteral("'abc' is not a valid integer value"));
  });
  QCOMPARE(int(r.end), int(RunRecordResult::End::Aborted));
  QCOMPARE(dialogs_.errors, QStringList{"'abc' is not a valid integer value"});
  QVERIFY(sink_.log.isEmpty());
  QCOMPARE(QDir(Paths().ArcDir).entryList(QDir::Files), QStringList{});
}

QTEST_MAIN(TestRunRecording)
#include "test_runrecording.moc"
