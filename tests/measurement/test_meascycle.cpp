#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <deque>

#include "acquisition/AdcAcquire.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasMath.h"
#include "measurement/MeasState.h"
#include "platform/AdcLibrary.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/measurement/SynthRecording.h"
#include "tests/support/TestFakes.h"

using namespace vintor;
using vintor::test::MakeRecording;
using vintor::test::SynthSpec;

namespace {

class FakeClock : public Clock {
 public:
  QDateTime now{QDate(2024, 5, 6), QTime(12, 34, 56)};
  qint64 ms = 1000;
  QDateTime Now() const override { return now; }
  qint64 MonotonicMs() const override { return ms; }
};

// A rotor in mm/s: the scripted module turns it into codes at the gain code of the moment.
struct Rotor {
  double period = 500.0;  // frames per revolution; <= 0: tachometer disconnected
  double v1o = 2.0, f1 = 60.0, v2o = 1.0, f2 = 210.0;  // program-read 1x values
  double noise = 0.0;                                  // mm/s RMS
  int bounceAfterMark = 0;  // > 0: an extra edge 20 frames after that mark
};

double AngleDistance(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

QStringList WithoutTimes(const QStringList& lines) {
  QStringList out;
  for (const QString& l : lines)
    if (!l.startsWith(QStringLiteral("Начало")) && !l.startsWith(QStringLiteral("Конец")) &&
        !l.startsWith(QStringLiteral("Время")))
      out << l;
  return out;
}

}  // namespace

class TestMeasCycle : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void firstCycleAt3000();
  void tachometerDisconnected();
  void speedOutOfRangeInSighting();
  void stoppedAcquisitionKeepsResults_data();
  void stoppedAcquisitionKeepsResults();
  void averNumText_data();
  void averNumText();
  void nonNumericAverNumReachesCaller();
  void workingPassAloneUsesPreviousPeriod();
  void revolutionLongerThanArraysIsRefused();
  void irregularTachometerIsLoggedAndRaised();
  void missingRawFile();
  void simulatedModuleEndToEnd();

 private:
  // Each acquisition takes the next rotor (or -1 status) and records Dlit blocks of it.
  CycleIo ScriptedIo();
  void Queue(const Rotor& r, int status = 1) { script_.push_back({r, status}); }

  QTemporaryDir dir_;
  test::RecordingObserver observer_;
  FakeClock clock_;
  std::deque<std::pair<Rotor, int>> script_;
  int acquisitions_ = 0;
};

CycleIo TestMeasCycle::ScriptedIo() {
  CycleIo io;
  io.outputPath = dir_.filePath("Output.txt");
  io.pauseBeforeAveraging = false;
  io.acquire = [this] {
    ++acquisitions_;
    QVERIFY(!script_.empty());
    const auto [rotor, status] = script_.front();
    script_.pop_front();
    clock_.ms += 1966;
    SynthSpec spec;
    spec.frames = int64_t{Meas().Dlit} * FramesPerBlock;
    spec.period = rotor.period;
    spec.ch1.amp = test::CodesFor1x(rotor.v1o, ChanScale(1));
    spec.ch1.phase = rotor.f1;
    spec.ch1.dc = 5;
    spec.ch1.noise = rotor.noise / ChanScale(1);
    spec.ch2.amp = test::CodesFor1x(rotor.v2o, ChanScale(2));
    spec.ch2.phase = rotor.f2;
    spec.ch2.dc = -9;
    std::vector<int16_t> s = MakeRecording(spec);
    if (rotor.bounceAfterMark > 0) {
      const auto edge =
          static_cast<int64_t>(spec.firstEdge + (rotor.bounceAfterMark - 1) * rotor.period);
      for (int64_t k = edge + 15; k < edge + 20; ++k) s[static_cast<size_t>(k - 1) * 4 + 2] = 2000;
    }
    QVERIFY(test::WriteRaw(Paths().TestDatPath, s));
    Meas().AcqStatus = status;
  };
  return io;
}

void TestMeasCycle::init() {
  for (const QString& name : QDir(dir_.path()).entryList(QDir::Files))
    QFile::remove(dir_.filePath(name));
  ResetProgramState();
  Paths().WorkDir = dir_.path();
  Paths().TestDatPath = dir_.filePath("Test.dat");
  Meas().AdcRate = 100.0;
  Settings().Kpr1 = Settings().Kpr2 = 20.0;
  observer_ = test::RecordingObserver();
  SetObserver(&observer_);
  Svc().clock = &clock_;
  SetDecimalSeparatorOverride(QLatin1Char(','));
  script_.clear();
  acquisitions_ = 0;
}

void TestMeasCycle::cleanup() {
  SetObserver(nullptr);
  ResetServices();
  SetDecimalSeparatorOverride(QChar());
}

void TestMeasCycle::firstCycleAt3000() {
  Rotor r;
  Queue(r);
  Queue(r);
  CycleDetails d;
  MeasCycle(ScriptedIo(), &d);
  QCOMPARE(acquisitions_, 2);
  QVERIFY(d.sightingRan && d.workingRan);

  // Sighting: 1x peak of 2 mm/s is about 23 codes at range 0, so range 3 for the working pass.
  QCOMPARE(Meas().GainCode, int16_t(3));
  QCOMPARE(Meas().Dlit, int16_t(5));  // nearest(500 / 25000 x 64 x 3) + 1
  QCOMPARE(Meas().AverNum, int16_t(64));
  QCOMPARE(Meas().RevPeriod, 500.0);
  QVERIFY(std::fabs(Meas().RPM - 2993.1) < 0.05);
  QCOMPARE(d.M, 69);
  QCOMPARE(d.First, 620);
  QCOMPARE(d.Lend, 34120);
  QCOMPARE(d.revolutionsAveraged, 64);
  QVERIFY(std::abs(Meas().AdcMean1 - 5) <= 1);  // the part revolution at the end moves it
  QVERIFY(std::abs(Meas().AdcMean2 + 9) <= 1);
  // 1x read back within the code step (about 0.004 mm/s at range 3) and the 16-point lag.
  QVERIFY2(std::fabs(Meas().V1o - 2.0) < 0.02, qPrintable(QString::number(Meas().V1o)));
  QVERIFY2(std::fabs(Meas().V2o - 1.0) < 0.02, qPrintable(QString::number(Meas().V2o)));
  QVERIFY2(AngleDistance(Meas().F1, 60.0) < 1.5, qPrintable(QString::number(Meas().F1)));
  QVERIFY2(AngleDistance(Meas().F2, 210.0) < 1.5, qPrintable(QString::number(Meas().F2)));
  // Broadband RMS of a pure sine of peak 2 x 11.28 / 8: that peak / sqrt(2).
  QVERIFY(std::fabs(Meas().V1s - 2.0 * 11.28 / 8 / std::sqrt(2.0)) < 0.02);
  QVERIFY(!Meas().WrongTacho);
  QCOMPARE(observer_.wrongTacho, std::vector<bool>{false});
  QCOMPARE(observer_.gaugeProgress, 0);
  // The peak keeps growing over the working pass, whose codes are at range 3 (about 730).
  QVERIFY(Meas().AdcPeak > 700);
  QCOMPARE(Meas().NextGainCode, int16_t(0));

  const QStringList expected = {
      "Waiting, step - 0",
      "\"Пристрелочний\" цикл - измерение",
      "Waiting, step - 1",
      "\"Пристрелочний\" цикл - обработка",
      "Waiting, step - 2",
      "Dlit=5",
      "\"Рабочий\" цикл - измерение",
      "Waiting, step - 3",
      "\"Рабочий\" цикл обработка - первый проход",
      "Waiting, step - 4",
      "\"Рабочий\" цикл обработка - Второй проход суммирование и усреднение",
      "Waiting, step - 5",
      "\"Рабочий\" цикл обработка - Второй проход Делим накопленное",
      "Waiting, step - 6",
      "\"Рабочий\" цикл обработка - Второй проход Выделяем гармоники",
      "Waiting, step - 7",
      "657\"Рабочий\" цикл СКЗ",
      "658 Waiting, step - 8",
      QString(39, '=')};
  QCOMPARE(WithoutTimes(observer_.lines), expected);
  QCOMPARE(observer_.lines[3], QString("Начало измерения=12:34:56"));
  QCOMPARE(observer_.lines[4], QString("Конец измерения=12:34:56"));
  QCOMPARE(observer_.lines[5], QString("Время измерения=1966"));

  QFile out(dir_.filePath("Output.txt"));
  QVERIFY(out.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = out.readAll().split('\n');
  QCOMPARE(lines.size(), 501);  // 500 lines and the empty rest after the last CR LF
  for (int i = 0; i < 500; ++i) QVERIFY(lines[i].endsWith("\t0\r"));
  QCOMPARE(d.averaged1.size(), size_t(500));
  QCOMPARE(lines[7], QByteArray::number(d.averaged1[7]) + '\t' +
                         QByteArray::number(d.averaged2[7]) + "\t0\r");
}

void TestMeasCycle::tachometerDisconnected() {
  Rotor r;
  r.period = 0;
  r.noise = 0.5;
  Queue(r);
  Meas().F1 = 77;
  Meas().V1o = 5;
  MeasCycle(ScriptedIo());
  QCOMPARE(acquisitions_, 1);  // no working pass
  QCOMPARE(Meas().RPM, 0.0);
  QVERIFY(Meas().WrongTacho);
  QVERIFY(Meas().NeedSighting);
  QCOMPARE(observer_.wrongTacho, std::vector<bool>{true});
  QCOMPARE(observer_.chartsLabels.size(), size_t(1));
  QCOMPARE(observer_.chartsLabels[0].first, QString("V1o= 0,00 mm/sec"));
  QCOMPARE(observer_.chartsLabels[0].second, QString("V2o= 0,00 mm/sec"));
  QCOMPARE(Meas().V1o, 0.0);
  QCOMPARE(Meas().F1, 77.0);                    // only the amplitudes are cleared
  QVERIFY(std::fabs(Meas().V1s - 0.5) < 0.02);  // RMS still from the sighting recording
  QVERIFY(observer_.lines.contains("657\"Рабочий\" цикл СКЗ"));
  QVERIFY(!QFile::exists(dir_.filePath("Output.txt")));
}

void TestMeasCycle::speedOutOfRangeInSighting() {
  Rotor r;
  r.period = 6000;  // 250 rev/min
  Queue(r);
  Meas().V1o = Meas().F1 = Meas().V2o = Meas().F2 = 3;
  MeasCycle(ScriptedIo());
  QCOMPARE(acquisitions_, 1);
  QVERIFY(Meas().RPM > 0 && Meas().RPM < 300);
  QVERIFY(Meas().RevPeriod >= 5000);
  QVERIFY(!Meas().WrongTacho);
  QCOMPARE(Meas().V1o + Meas().F1 + Meas().V2o + Meas().F2, 0.0);
  QVERIFY(Meas().V1s > 1);
  QCOMPARE(Meas().GainCode, int16_t(0));  // not chosen from the peak
}

void TestMeasCycle::stoppedAcquisitionKeepsResults_data() {
  QTest::addColumn<bool>("sighting");
  QTest::newRow("sighting pass") << true;
  QTest::newRow("working pass") << false;
}

void TestMeasCycle::stoppedAcquisitionKeepsResults() {
  QFETCH(bool, sighting);
  Meas().NeedSighting = sighting;
  Meas().RevPeriod = 480;
  Meas().AdcPeak = 40;
  Meas().V1o = 1.5;
  Meas().F1 = 33;
  Meas().V1s = 2.5;
  Meas().RPM = 3100;
  Queue(Rotor{}, -1);
  MeasCycle(ScriptedIo());
  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(Meas().V1o, 1.5);
  QCOMPARE(Meas().F1, 33.0);
  QCOMPARE(Meas().V1s, 2.5);
  QCOMPARE(Meas().RPM, 3100.0);
  QCOMPARE(Meas().NextGainCode, int16_t(2));  // the final step still runs: peak 40
  QCOMPARE(observer_.wrongTacho, std::vector<bool>{false});
  QVERIFY(!observer_.lines.contains("657\"Рабочий\" цикл СКЗ"));
}

void TestMeasCycle::averNumText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("count");  // -1: not a number
  QTest::newRow("64") << "64" << 64;
  QTest::newRow("1") << "1" << 2;
  QTest::newRow("500") << "500" << 128;
  QTest::newRow("-3") << "-3" << 2;
  QTest::newRow("abc") << "abc" << -1;
  QTest::newRow("empty") << "" << -1;
  QTest::newRow("12.5") << "12.5" << -1;
  QTest::newRow("huge") << "99999999999" << -1;
}

void TestMeasCycle::averNumText() {
  QFETCH(QString, text);
  QFETCH(int, count);
  if (count < 0)
    QVERIFY_THROWS_EXCEPTION(MeasError, AverNumFromText(text));
  else
    QCOMPARE(int(AverNumFromText(text)), count);
}

void TestMeasCycle::nonNumericAverNumReachesCaller() {
  Meas().AverNumText = "abc";
  Queue(Rotor{});
  try {
    MeasCycle(ScriptedIo());
    QFAIL("no exception");
  } catch (const MeasError& e) {
    QVERIFY(QString(e.what()).contains("'abc'"));
  }
  // The sighting pass's results stand; the working pass never began.
  QCOMPARE(acquisitions_, 1);
  QCOMPARE(Meas().RPM, 3000.0);
  QCOMPARE(Meas().GainCode, int16_t(3));
  QCOMPARE(Meas().AverNum, int16_t(4));
  QCOMPARE(Meas().Dlit, int16_t(3));
  QVERIFY(!Meas().WrongTacho);
}

void TestMeasCycle::workingPassAloneUsesPreviousPeriod() {
  Meas().NeedSighting = false;
  Meas().RevPeriod = 0;
  Meas().GainCode = 1;
  Queue(Rotor{});
  CycleDetails d;
  MeasCycle(ScriptedIo(), &d);
  QCOMPARE(acquisitions_, 1);
  QVERIFY(!d.sightingRan);
  QCOMPARE(Meas().Dlit, int16_t(3));  // RevPeriod 0: three blocks
  QVERIFY(observer_.lines.contains("Dlit=3"));
  QCOMPARE(Meas().GainCode, int16_t(1));
  QVERIFY(std::fabs(Meas().V1o - 2.0) < 0.03);
  QCOMPARE(DlitFor(500, 64), int16_t(5));
  QCOMPARE(DlitFor(1e9, 128), int16_t(32767));
}

void TestMeasCycle::revolutionLongerThanArraysIsRefused() {
  // About 57 rev/min measured without a sighting pass: a revolution of some 26 000 frames.
  Meas().NeedSighting = false;
  Meas().RevPeriod = 20000;
  Meas().AverNumText = "2";
  Meas().V1o = 4;
  Rotor r;
  r.period = 20000;
  Queue(r);
  CycleDetails d;
  MeasCycle(ScriptedIo(), &d);
  QCOMPARE(Meas().Dlit, int16_t(6));
  QVERIFY(d.revolutionTooLong);
  QVERIFY(d.RevLen > kRevCapacity);
  QVERIFY(Meas().WrongTacho);
  QVERIFY(Meas().NeedSighting);
  QCOMPARE(Meas().V1o, 0.0);
  QVERIFY(Meas().V1s > 1);
  QVERIFY(!QFile::exists(dir_.filePath("Output.txt")));
}

void TestMeasCycle::irregularTachometerIsLoggedAndRaised() {
  Meas().NeedSighting = false;
  Meas().RevPeriod = 500;
  Rotor r;
  r.bounceAfterMark = 10;
  Queue(r);
  MeasCycle(ScriptedIo());
  QVERIFY(observer_.lines.contains("10( abs(Delta - DeltaOld))=480"));
  QVERIFY(Meas().WrongTacho);
  QVERIFY(Meas().NeedSighting);
  QVERIFY(observer_.processEventsCalls >= 1);
  QCOMPARE(observer_.wrongTacho, (std::vector<bool>{true, true}));
  // The cycle goes on with the marks it accepted.
  QVERIFY(std::fabs(Meas().V1o - 2.0) < 0.03);
}

void TestMeasCycle::missingRawFile() {
  // Sighting pass: a silent return, not even the final step.
  CycleIo io = ScriptedIo();
  io.acquire = [] { Meas().AcqStatus = 1; };
  Meas().RevPeriod = 480;
  MeasCycle(io);
  QVERIFY(observer_.wrongTacho.empty());
  QCOMPARE(Meas().NextGainCode, int16_t(0));
  QCOMPARE(Meas().AverNum, int16_t(4));
  // Working pass: the read error reaches the caller.
  Meas().NeedSighting = false;
  QVERIFY_THROWS_EXCEPTION(MeasError, MeasCycle(io));
}

void TestMeasCycle::simulatedModuleEndToEnd() {
  // The default cycle records through AdcAcquire from the simulated module: a fan at
  // 1480 rev/min with 1x of 4.5 mm/s at 60 degrees and 2.8 mm/s at 210 degrees, harmonics,
  // 0.6 and 0.5 mm/s of noise and a slowly wandering speed.
  SimAdcLibrary sim;
  SimConfig c;
  c.Pace = 0;
  sim.SetConfig(c);
  SetAdcLibrary(&sim);
  Paths().WorkDir = dir_.path();
  BindCycleAcquisition([] { AdcAcquire(); });
  MeasCycle();
  BindCycleAcquisition(nullptr);
  SetAdcLibrary(nullptr);
  QCOMPARE(Meas().AcqStatus, 1);
  QVERIFY(!Meas().WrongTacho);
  // Speed: the working figure carries the program's 0.9977; the wander is 0.5 rev/min RMS.
  QVERIFY2(std::fabs(Meas().RPM - 1480 * 0.9977) < 3, qPrintable(QString::number(Meas().RPM)));
  QCOMPARE(Meas().Dlit, int16_t(9));
  QCOMPARE(Meas().GainCode, int16_t(2));
  // Noise over 64 revolutions leaves about 0.05 mm/s on the 16 points; the 16-point lag is
  // about 0.4 degree: 3 % and 2 degrees.
  QVERIFY2(std::fabs(Meas().V1o / 4.5 - 1) < 0.03, qPrintable(QString::number(Meas().V1o)));
  QVERIFY2(std::fabs(Meas().V2o / 2.8 - 1) < 0.03, qPrintable(QString::number(Meas().V2o)));
  QVERIFY2(AngleDistance(Meas().F1, 60) < 2, qPrintable(QString::number(Meas().F1)));
  QVERIFY2(AngleDistance(Meas().F2, 210) < 2, qPrintable(QString::number(Meas().F2)));
  QVERIFY(QFile::exists(dir_.filePath("Output.txt")));
  QVERIFY(QFile::exists(dir_.filePath("Test.par")));
}

QTEST_GUILESS_MAIN(TestMeasCycle)
#include "test_meascycle.moc"
