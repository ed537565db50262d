#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <numbers>

#include "acquisition/AdcAcquire.h"
#include "acquisition/AdcContext.h"
#include "acquisition/AdcTesting.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/support/TestFakes.h"

using namespace vintor;

namespace {

// Raw recording as frames of four codes.
struct Recording {
  std::vector<std::array<int16_t, 4>> frames;
  static Recording Read(const QString& path) {
    QFile f(path);
    Recording r;
    if (!f.open(QIODevice::ReadOnly)) return r;
    const QByteArray bytes = f.readAll();
    r.frames.resize(size_t(bytes.size()) / 8);
    if (!r.frames.empty()) std::memcpy(r.frames.data(), bytes.constData(), r.frames.size() * 8);
    return r;
  }
  // Frame indexes of the tachometer marks: the first Low frame after a High one.
  std::vector<size_t> Marks() const {
    std::vector<size_t> marks;
    for (size_t k = 1; k < frames.size(); ++k)
      if (frames[k][2] < 100 && frames[k - 1][2] >= 100) marks.push_back(k);
    return marks;
  }
};

}  // namespace

class TestAcquisition : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void completeRecordingLog();
  void gainCodeTableAndParFile_data();
  void gainCodeTableAndParFile();
  void moduleAtSlot3();
  void wrongVersionOnlyWarns();
  void releaseFailureOnlyLogged();
  void setupFaults_data();
  void setupFaults();
  void threadFaults_data();
  void threadFaults();
  void writeFailureKeepsWholeBlocks();
  void stopDuringSecondBlock();
  void recordingsNeverNest();
  void dataFileCannotBeCreated();
  void threadCannotStart();
  void rotorReadBack();
  void sameSeedSameRecording();
  void overloadClipsCodes();
  void parameterFileInWorkingDir();
  void parameterFileErrors();
  void cliRecord_data();
  void cliRecord();

 private:
  void Record(const SimConfig& config) {
    sim_.SetConfig(config);
    AdcAcquire();
  }
  QStringList Counters() const {
    QStringList out;
    for (const QString& l : observer_.lines)
      if (l.startsWith(QLatin1String(" Counter"))) out << l;
    return out;
  }
  qint64 DatSize() const { return QFileInfo(Paths().TestDatPath).size(); }

  QTemporaryDir dir_;
  SimAdcLibrary sim_;
  test::RecordingObserver observer_;
  test::RecordingDialogs dialogs_;
};

void TestAcquisition::init() {
  ResetProgramState();
  QVERIFY(dir_.isValid());
  Paths().WorkDir = dir_.path();
  Paths().TestDatPath = dir_.filePath("Test.dat");
  QFile::remove(Paths().TestDatPath);
  QFile::remove(dir_.filePath("Test.par"));
  Meas().AdcRate = 100.0;
  Meas().Dlit = 3;
  Settings().Kpr1 = Settings().Kpr2 = 20.0;
  observer_ = test::RecordingObserver();
  dialogs_ = test::RecordingDialogs();
  SetObserver(&observer_);
  Svc().dialogs = &dialogs_;
  SetAdcLibrary(&sim_);
}

void TestAcquisition::cleanup() {
  // Whatever happened, the module is released and the thread is gone.
  QCOMPARE(sim_.LiveInstances(), 0);
  QVERIFY(!Acq().thread.joinable());
  QCOMPARE(Acq().dataFile, -1);
  QVERIFY(Acq().buffers[0].empty());
  SetAdcLibrary(nullptr);
  SetObserver(nullptr);
  ResetServices();
}

void TestAcquisition::completeRecordingLog() {
  SimConfig c;
  c.Pace = 5;  // blocks 131 ms apart: each is seen by the 20 ms polling on its own
  const int delivered = sim_.BlocksDelivered();
  QElapsedTimer timer;
  timer.start();
  Record(c);
  // Paced, not faster: three blocks of 16384 frames at 25 kHz, five times faster.
  QVERIFY(timer.elapsed() >= 3 * 655 / 5);

  QCOMPARE(Meas().AcqStatus, 1);
  QCOMPARE(DatSize(), 393216);
  const QStringList expected = {
      " DLL Version --> OK",
      " Module Interface --> OK",
      " OpenLDevice(0) --> OK",
      " GetModuleName() --> OK",
      " The module is 'E-154'",
      " GetUsbSpeed() --> OK\\n",
      "   USB is in Full-Speed Mode (12 Mbit/s)",
      " GET_MODULE_DESCRIPTION() --> OK",
      " GET_ADC_PARS --> OK",
      " SET_ADC_PARS --> OK AdcRate=100",
      " SET_ADC_PARS --> OK AdcRate=100",
      " SET_ADC_PARS --> OK Dlit=3",
      "",
      " Create file Test.dat ... OK",
      " Create ReadThread ... OK",
      "",
      "   Module Info:",
      "     Module  Revision   is 'A'",
      "     MCU Driver Version is 1.20 (12.11.2008)",
      "   ADC parameters:",
      "     AdcRate = 100.000 kHz",
      "     InterKadrDelay = 0.0000 ms",
      "     KadrRate =  25.000 kHz",
      " You can press ESC key to terminate the program...",
      "--------------------------------------------------",
      " ",
      " Counter   0 from   3",
      " Counter   0 from   3",
      " Counter   1 from   3",
      " Counter   1 from   3",
      " Counter   2 from   3",
      " Counter   2 from   3",
      " Counter   3 from   3",
      " Counter   3 from   3",
      "",
      " ReleaseLInstance() --> OK",
      " The program was completed successfully!!!",
  };
  QCOMPARE(observer_.lines, expected);
  QCOMPARE(observer_.gaugeSteps, 4);
  QCOMPARE(observer_.processEventsCalls, 4);
  QVERIFY(dialogs_.messages.empty());
  QCOMPARE(sim_.BlocksDelivered() - delivered, 3);
}

void TestAcquisition::gainCodeTableAndParFile_data() {
  QTest::addColumn<int>("gain");
  QTest::addColumn<QList<int>>("table");
  QTest::addColumn<QByteArray>("par");
  QTest::newRow("0") << 0 << QList<int>{0x20, 0x21, 0x22, 0x23} << QByteArray("0\r\n");
  QTest::newRow("1") << 1 << QList<int>{0x60, 0x61, 0x22, 0x23} << QByteArray("1\r\n");
  QTest::newRow("2") << 2 << QList<int>{0xA0, 0xA1, 0x22, 0x23} << QByteArray("2\r\n");
  QTest::newRow("3") << 3 << QList<int>{0xE0, 0xE1, 0x22, 0x23} << QByteArray("3\r\n");
  // Outside 0..3 the table stays as the module had it.
  QTest::newRow("7") << 7 << QList<int>{0x20, 0x21, 0x22, 0x23} << QByteArray("7\r\n");
}

void TestAcquisition::gainCodeTableAndParFile() {
  QFETCH(int, gain);
  QFETCH(QList<int>, table);
  QFETCH(QByteArray, par);
  Meas().GainCode = int16_t(gain);
  Meas().Dlit = 1;
  SimConfig c;
  c.Pace = 0;
  Record(c);
  QCOMPARE(Meas().AcqStatus, 1);
  QCOMPARE(DatSize(), 131072);
  QCOMPARE(Counters().mid(2), QStringList({" Counter   1 from   1", " Counter   1 from   1"}));
  const AdcParsE154 p = sim_.LastSetPars();
  QCOMPARE(int(p.ChannelsQuantity), 4);
  QCOMPARE(int(p.ClkSource) + p.EnableClkOutput + p.InputMode, 0);
  QCOMPARE(p.InterKadrDelay, 0.0);
  for (int i = 0; i < 4; ++i) QCOMPARE(int(p.ControlTable[size_t(i)]), table[i]);
  QFile f(dir_.filePath("Test.par"));
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), par);
  QCOMPARE(Meas().GainText, QString::fromLatin1(par.left(1)));
}

void TestAcquisition::moduleAtSlot3() {
  SimConfig c;
  c.Pace = 0;
  c.ModuleSlot = 3;
  Meas().Dlit = 1;
  const int attempts = sim_.OpenAttempts();
  Record(c);
  QCOMPARE(sim_.OpenAttempts() - attempts, 4);  // three failures, then slot 3
  QCOMPARE(observer_.lines.at(2), QString(" OpenLDevice(3) --> OK"));
  QCOMPARE(Meas().AcqStatus, 1);
}

void TestAcquisition::wrongVersionOnlyWarns() {
  SimConfig c;
  c.Pace = 0;
  c.DllVersion = 0x30002;
  Meas().Dlit = 1;
  Record(c);
  QCOMPARE(dialogs_.messages.size(), size_t(1));
  QCOMPARE(dialogs_.messages[0].caption, QString("Error !!! "));
  QCOMPARE(dialogs_.messages[0].text,
           QString("Wrong DLL version Lusbapi.dll!            Current: 3.2. Required: 3.4."));
  QCOMPARE(observer_.lines.first(), QString(" Module Interface --> OK"));
  QCOMPARE(Meas().AcqStatus, 1);
  QCOMPARE(DatSize(), 131072);
}

void TestAcquisition::releaseFailureOnlyLogged() {
  SimConfig c;
  c.Pace = 0;
  c.FailCall = SimCall::ReleaseLInstance;
  Meas().Dlit = 1;
  Record(c);
  QCOMPARE(observer_.lines.mid(observer_.lines.size() - 3),
           QStringList(
               {"", " ReleaseLInstance() --> Bad", " The program was completed successfully!!!"}));
  QCOMPARE(Meas().AcqStatus, 1);
}

void TestAcquisition::setupFaults_data() {
  QTest::addColumn<QString>("sim");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("lastLog");
  const QString released = " ReleaseLInstance() --> OK";
  QTest::newRow("no interface") << "fail_call = CreateLInstance"
                                << "Can\"t find interface E-154!"
                                << " DLL Version --> OK";
  QTest::newRow("no module") << "module_slot = 127"
                             << "Can\"t find  E-154 device! "
                             << " F10 pressed!!!";
  QTest::newRow("open fails") << "fail_call = OpenLDevice"
                              << "Can\"t find  E-154 device! "
                              << " F10 pressed!!!";
  QTest::newRow("name unread") << "fail_call = GetModuleName"
                               << "Cant read device name!" << released;
  QTest::newRow("wrong name") << "module_name = E140"
                              << "Found device is not E-154!" << released;
  QTest::newRow("longer name") << "module_name = E154-X"
                               << "Found device is not E-154!" << released;
  QTest::newRow("usb speed") << "fail_call = GetUsbSpeed"
                             << " Cant check USB speed" << released;
  QTest::newRow("description") << "fail_call = GET_MODULE_DESCRIPTION"
                               << "Cant get device info!" << released;
  QTest::newRow("get pars") << "fail_call = GET_ADC_PARS"
                            << "Cant get data parameters!" << released;
  QTest::newRow("set pars") << "fail_call = SET_ADC_PARS"
                            << "Cant set data parameters!" << released;
}

void TestAcquisition::setupFaults() {
  QFETCH(QString, sim);
  QFETCH(QString, message);
  QFETCH(QString, lastLog);
  SimConfig c;
  c.Pace = 0;
  QVERIFY(ParseSimConfig(sim, &c).isEmpty());
  // A stale recording from before stays, but the status tells the caller not to use it.
  QFile old(Paths().TestDatPath);
  QVERIFY(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  Meas().AcqStatus = 1;
  Meas().StopRequested = false;

  Record(c);

  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(dialogs_.messages.size(), size_t(1));
  QCOMPARE(dialogs_.messages[0].caption, QString("Error !!! "));
  QCOMPARE(dialogs_.messages[0].text, message);
  QCOMPARE(observer_.lines.last(), lastLog);
  QVERIFY(!observer_.lines.contains(" Create file Test.dat ... OK"));
  QCOMPARE(DatSize(), 3);
  QVERIFY(!QFile::exists(dir_.filePath("Test.par")));
  if (lastLog == " F10 pressed!!!") {
    // No module: reported like a stop, after the release.
    QCOMPARE(observer_.lines.mid(observer_.lines.size() - 3),
             QStringList({"", " ADC Thread: F10 key pressed!", " F10 pressed!!!"}));
  }
}

void TestAcquisition::threadFaults_data() {
  QTest::addColumn<QString>("sim");
  QTest::addColumn<int>("dlit");
  QTest::addColumn<QString>("errorLine");
  QTest::addColumn<int>("blocks");
  const QString stop = " ADC Thread: STOP_ADC() --> Bad! :(((";
  const QString read = " ADC Thread: ReadData() --> Bad :(((";
  const QString cancel = " ADC Thread: Can't cancel ending input and output (I/O) operations! :(((";
  QTest::newRow("first stop") << "stop_fail_at = 1" << 3 << stop << 0;
  QTest::newRow("last stop") << "stop_fail_at = 2" << 3 << stop << 3;
  QTest::newRow("first read") << "read_fail_at = 1" << 3 << read << 0;
  QTest::newRow("second read") << "read_fail_at = 2" << 3 << read << 0;
  QTest::newRow("third read") << "read_fail_at = 3" << 3 << read << 1;
  QTest::newRow("start") << "fail_call = START_ADC" << 3 << " ADC Thread: START_ADC() --> Bad :((("
                         << 0;
  QTest::newRow("cancel") << "fail_call = CancelIo" << 3 << cancel << 3;
  QTest::newRow("no handle") << "fail_call = GetModuleHandle" << 2 << cancel << 2;
  QTest::newRow("block 3 never comes")
      << "read_hang_at = 3" << 4 << " ADC Thread: Waiting data Error! :(((" << 2;
  QTest::newRow("single block never comes")
      << "read_hang_at = 1" << 1 << " ADC Thread: Waiting data Error! :(((" << 0;
}

void TestAcquisition::threadFaults() {
  QFETCH(QString, sim);
  QFETCH(int, dlit);
  QFETCH(QString, errorLine);
  QFETCH(int, blocks);
  SimConfig c;
  c.Pace = 0;
  c.CounterPattern = true;
  QVERIFY(ParseSimConfig(sim, &c).isEmpty());
  Meas().Dlit = int16_t(dlit);
  Meas().AcqStatus = 1;
  QElapsedTimer timer;
  timer.start();

  Record(c);

  QCOMPARE(Meas().AcqStatus, -1);
  QVERIFY(dialogs_.messages.empty());
  QCOMPARE(observer_.lines.mid(observer_.lines.size() - 4),
           QStringList({"", " ReleaseLInstance() --> OK", errorLine, " F10 pressed!!!"}));
  // The blocks before the fault, whole and in order.
  const Recording rec = Recording::Read(Paths().TestDatPath);
  QCOMPARE(DatSize(), qint64(blocks) * BlockBytes);
  for (int b = 0; b < blocks; ++b) QCOMPARE(int(rec.frames[size_t(b) * FramesPerBlock][0]), b);
  if (errorLine.contains("Waiting")) QVERIFY(timer.elapsed() >= 1655);  // 655 + 1000 ms
}

void TestAcquisition::writeFailureKeepsWholeBlocks() {
  // The file may grow to two and a half blocks: the third write stops half-way.
  struct rlimit old {};
  QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit limit = old;
  limit.rlim_cur = BlockBytes * 5 / 2;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
  SimConfig c;
  c.Pace = 0;
  Meas().Dlit = 4;
  Record(c);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(observer_.lines.at(observer_.lines.size() - 2),
           QString(" ADC Thread: Writing data file error! :((("));
  QCOMPARE(DatSize(), qint64(2) * BlockBytes);
}

void TestAcquisition::stopDuringSecondBlock() {
  SimConfig c;
  c.Pace = 5;
  c.CounterPattern = true;
  Meas().Dlit = 6;
  observer_.onProcessEvents = [this] {
    if (observer_.lines.last() == " Counter   1 from   6") Meas().StopRequested = true;
  };
  Record(c);
  QCOMPARE(Meas().AcqStatus, -1);
  QVERIFY(!Meas().StopRequested);
  QCOMPARE(observer_.lines.mid(observer_.lines.size() - 2),
           QStringList({" ADC Thread: F10 key pressed!", " F10 pressed!!!"}));
  QVERIFY2(DatSize() == BlockBytes || DatSize() == 2 * BlockBytes,
           qPrintable(QString::number(DatSize())));
  QCOMPARE(Counters().size(), 4);  // blocks 0 and 1
}

void TestAcquisition::recordingsNeverNest() {
  // Another window asks for a recording while this one waits for its blocks.
  SimConfig c;
  c.Pace = 5;
  c.CounterPattern = true;
  Meas().Dlit = 3;
  int nestedStatus = 0;
  observer_.onProcessEvents = [&] {
    if (nestedStatus != 0) return;
    const auto outer = Meas().AcqStatus;
    AdcAcquire();
    nestedStatus = Meas().AcqStatus;
    Meas().AcqStatus = outer;
  };
  Record(c);
  QCOMPARE(nestedStatus, -1);
  QVERIFY(observer_.lines.contains(" Another recording is running: this one is refused"));
  QCOMPARE(Meas().AcqStatus, 1);
  QCOMPARE(DatSize(), 3 * BlockBytes);
  // Once it has ended, the next recording runs as usual.
  observer_.onProcessEvents = nullptr;
  Record(c);
  QCOMPARE(Meas().AcqStatus, 1);
}

void TestAcquisition::dataFileCannotBeCreated() {
  Paths().TestDatPath = dir_.filePath("missing/Test.dat");
  Meas().AcqStatus = 1;  // a previous success must not show through
  SimConfig c;
  c.Pace = 0;
  Record(c);
  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(dialogs_.messages.size(), size_t(1));
  QCOMPARE(dialogs_.messages[0].text,
           "Cant create file to write data! " + dir_.filePath("missing/Test.dat"));
  QCOMPARE(observer_.lines.last(), QString(" ReleaseLInstance() --> OK"));
  QVERIFY(Counters().isEmpty());
}

void TestAcquisition::threadCannotStart() {
  AdcFailNextThreadStart();
  Meas().AcqStatus = 1;
  SimConfig c;
  c.Pace = 0;
  const int delivered = sim_.BlocksDelivered();
  Record(c);
  QCOMPARE(Meas().AcqStatus, -1);
  QCOMPARE(dialogs_.messages.size(), size_t(1));
  QCOMPARE(dialogs_.messages[0].text, QString("Cant start thread!"));
  QCOMPARE(observer_.lines.mid(observer_.lines.size() - 2),
           QStringList({" Create file Test.dat ... OK", " ReleaseLInstance() --> OK"}));
  QCOMPARE(DatSize(), 0);
  QCOMPARE(sim_.BlocksDelivered() - delivered, 0);
}

void TestAcquisition::rotorReadBack() {
  // Default rotor, working range 2 (500 mV), 8 blocks: about 5 s and 128 revolutions.
  SimConfig c;
  c.Pace = 0;
  Meas().GainCode = 2;
  Meas().Dlit = 8;
  Record(c);
  QCOMPARE(Meas().AcqStatus, 1);
  const Recording rec = Recording::Read(Paths().TestDatPath);
  QCOMPARE(rec.frames.size(), size_t(8 * FramesPerBlock));

  // Speed from the mean mark interval. The drift has 0.5 rev/min RMS and changes within 3 s,
  // so the mean over 5 s lies within about 0.5 rev/min of the set speed; 2 is four times that.
  const std::vector<size_t> marks = rec.Marks();
  QVERIFY(marks.size() > 100);
  const double period = double(marks.back() - marks.front()) / double(marks.size() - 1);
  const double rpm = 60.0 * 25000.0 / period;
  QVERIFY2(std::abs(rpm - c.Rpm) < 2.0, qPrintable(QString::number(rpm)));

  // Pulse height (3000 mV on the 5000 mV range) and width (15 degrees ~ 42 frames).
  long high = 0, highSum = 0;
  for (const auto& f : rec.frames)
    if (f[2] >= 100) ++high, highSum += f[2];
  QVERIFY(std::abs(double(highSum) / high - 3000.0 * 2047 / 5000) < 2);
  QVERIFY(std::abs(double(high) / double(marks.size()) - 15.0 / 360 * period) < 1.5);

  // 1x component of each revolution, mark to mark, averaged. Read as the program reads it
  // (peak x 8 / 11.28), it must give the set value and phase. Noise (0.6 mm/s RMS) leaves
  // about 0.003 mm/s over 128 revolutions, whole revolutions cancel the harmonics, and the
  // code step is 0.012 mm/s: 1 % and 1 degree hold with a wide margin. Each revolution starts
  // on the first frame past the mark, on average half a frame (0.18 degree) late.
  for (int ch = 0; ch < 2; ++ch) {
    const SimChannel& s = ch == 0 ? c.Ch1 : c.Ch2;
    std::complex<double> sum;
    double dc = 0;  // over whole revolutions, where the periodic part cancels
    for (size_t k = marks.front(); k < marks.back(); ++k) dc += rec.frames[k][size_t(ch)];
    dc /= double(marks.back() - marks.front());
    for (size_t m = 0; m + 1 < marks.size(); ++m) {
      const size_t len = marks[m + 1] - marks[m];
      std::complex<double> c1;
      for (size_t n = 0; n < len; ++n)
        c1 += (rec.frames[marks[m] + n][size_t(ch)] - dc) *
              std::polar(1.0, -2 * std::numbers::pi * double(n) / double(len));
      sum += c1 * 2.0 / double(len);
    }
    sum /= double(marks.size() - 1);
    const double scale = 5000.0 / (3.16227 * 3.16227 * 2047 * 20);
    const double amp = std::abs(sum) * scale * 8 / 11.28;
    double phase = -std::arg(sum) * 180 / std::numbers::pi;
    if (phase < 0) phase += 360;
    QVERIFY2(std::abs(amp - s.Amp1x) < 0.01 * s.Amp1x, qPrintable(QString::number(amp)));
    QVERIFY2(std::abs(phase - s.Phase1x) < 1.0, qPrintable(QString::number(phase)));
    QVERIFY(std::abs(dc - s.DcCodes) < 0.5);

    // Broadband RMS: the 1x, both harmonics and the noise.
    double q = 0;
    for (const auto& f : rec.frames) q += (f[size_t(ch)] - dc) * (f[size_t(ch)] - dc);
    const double rms = std::sqrt(q / double(rec.frames.size())) * scale;
    const double a1 = s.Amp1x * 11.28 / 8;
    const double expected =
        std::sqrt(a1 * a1 / 2 + s.Amp2x * s.Amp2x + s.Amp3x * s.Amp3x + s.Noise * s.Noise);
    QVERIFY2(std::abs(rms - expected) < 0.01 * expected, qPrintable(QString::number(rms)));
  }
}

void TestAcquisition::sameSeedSameRecording() {
  SimConfig c;
  c.Pace = 0;
  Meas().Dlit = 1;
  Record(c);
  QFile f1(Paths().TestDatPath);
  QVERIFY(f1.open(QIODevice::ReadOnly));
  const QByteArray first = f1.readAll();
  f1.close();
  Record(c);
  QVERIFY(f1.open(QIODevice::ReadOnly));
  QCOMPARE(f1.readAll(), first);
  f1.close();
  c.Seed = 2;
  Record(c);
  QVERIFY(f1.open(QIODevice::ReadOnly));
  QVERIFY(f1.readAll() != first);
}

void TestAcquisition::overloadClipsCodes() {
  SimConfig c;
  c.Pace = 0;
  c.Ch1.Amp1x = 200;  // 5.6 V at the input, on the 158 mV range
  Meas().GainCode = 3;
  Meas().Dlit = 1;
  Record(c);
  const Recording rec = Recording::Read(Paths().TestDatPath);
  int lo = 0, hi = 0;
  for (const auto& f : rec.frames) lo = std::min<int>(lo, f[0]), hi = std::max<int>(hi, f[0]);
  QCOMPARE(lo, -2047);
  QCOMPARE(hi, 2047);
}

void TestAcquisition::parameterFileInWorkingDir() {
  QFile file(dir_.filePath("SimE154.cfg"));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("# a faster machine\nrpm = 3000\nrpm_wander = 0\npace = 0\n");
  file.close();
  const QString oldDir = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir_.path()));
  sim_.UseConfigFile();
  Meas().Dlit = 1;
  AdcAcquire();
  QDir::setCurrent(oldDir);
  QCOMPARE(Meas().AcqStatus, 1);
  QVERIFY(sim_.LastConfigErrors().isEmpty());
  const std::vector<size_t> marks = Recording::Read(Paths().TestDatPath).Marks();
  QVERIFY(marks.size() > 20);
  const double period = double(marks.back() - marks.front()) / double(marks.size() - 1);
  QVERIFY(std::abs(period - 500.0) < 0.1);
}

void TestAcquisition::parameterFileErrors() {
  SimConfig c;
  const QStringList errors = ParseSimConfig(
      "rpm = 2950  # comment\n"
      "CH2_1X = 7.5\n"
      "ch2_1x_phase=-30\n"
      "dll_version = 3.2\n"
      "fail_call = read_fail\n"
      "rpm = fast\n"
      "pattern = counter\n"
      "colour = blue\n"
      "just words\n",
      &c);
  QCOMPARE(c.Rpm, 2950.0);
  QCOMPARE(c.Ch2.Amp1x, 7.5);
  QCOMPARE(c.Ch2.Phase1x, -30.0);
  QCOMPARE(c.DllVersion, uint32_t(0x30002));
  QVERIFY(c.CounterPattern);
  QCOMPARE(c.FailCall, SimCall::None);
  QCOMPARE(errors.size(), 4);
  QVERIFY(errors[0].startsWith("line 5:"));
  QVERIFY(errors[1].startsWith("line 6:"));
  QVERIFY(errors[2].startsWith("line 8:"));
  QVERIFY(errors[3].startsWith("line 9:"));
}

void TestAcquisition::cliRecord_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QString>("sim");
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<qint64>("size");
  QTest::addColumn<QString>("lastLine");
  QTest::newRow("ok") << QStringList{"--blocks", "2", "--gain", "1"} << "pace = 0" << 0
                      << qint64(262144) << " The program was completed successfully!!!";
  QTest::newRow("fault") << QStringList{"--blocks", "2"} << "read_fail_at = 2" << 1 << qint64(0)
                         << " F10 pressed!!!";
  QTest::newRow("no blocks") << QStringList{"--gain", "1"} << "pace = 0" << 2 << qint64(-1) << "";
  QTest::newRow("bad gain") << QStringList{"--blocks", "2", "--gain", "4"} << "pace = 0" << 2
                            << qint64(-1) << "";
  QTest::newRow("bad rate") << QStringList{"--blocks", "2", "--rate", "x"} << "pace = 0" << 2
                            << qint64(-1) << "";
  QTest::newRow("zero blocks") << QStringList{"--blocks", "0"} << "pace = 0" << 2 << qint64(-1)
                               << "";
}

void TestAcquisition::cliRecord() {
  QFETCH(QStringList, args);
  QFETCH(QString, sim);
  QFETCH(int, exitCode);
  QFETCH(qint64, size);
  QFETCH(QString, lastLine);
  QTemporaryDir work;
  QFile simFile(work.filePath("sim.cfg"));
  QVERIFY(simFile.open(QIODevice::WriteOnly));
  simFile.write(sim.toUtf8() + "\n");
  simFile.close();
  QProcess cli;
  cli.start(VINTOR_CLI_PATH,
            QStringList{"record"} + args +
                QStringList{"--dir", work.path(), "--sim-file", simFile.fileName()});
  QVERIFY(cli.waitForFinished(60000));
  QCOMPARE(cli.exitCode(), exitCode);
  const qint64 actual = QFile::exists(work.filePath("Test.dat"))
                            ? QFileInfo(work.filePath("Test.dat")).size()
                            : qint64(-1);
  QCOMPARE(actual, size);
  if (!lastLine.isEmpty()) {
    const QStringList err =
        QString::fromLocal8Bit(cli.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!err.isEmpty());
    QCOMPARE(err.last(), lastLine);
  }
}

QTEST_GUILESS_MAIN(TestAcquisition)
#include "test_acquisition.moc"
