#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "measurement/MeasState.h"
#include "tests/measurement/SynthRecording.h"
#include "tests/support/CliRun.h"

using namespace vintor;
using vintor::test::MakeRecording;
using vintor::test::SynthSpec;

namespace {

using Run = vintor::test::CliRun;

Run Cli(const QStringList& args, const QString& dir) {
  return vintor::test::RunCli(args, dir, 120000);
}

QJsonObject Json(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }

}  // namespace

class TestCliAnalysis : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void measureWorkingFile();
  void measureWithSightingAndPar();
  void badArguments_data();
  void badArguments();
  void measureBatch_data();
  void measureBatch();
  void measureBatchBadArguments_data();
  void measureBatchBadArguments();
  void measureTruncatedRecording();
  void spectrumLists();
  void meterOnSimulatedModule();

 private:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes);
  QTemporaryDir dir_;
};

void TestCliAnalysis::initTestCase() {
  QVERIFY(dir_.isValid());
  // A rotor at 3000 rev/min: the sighting file at range 0, the working file at range 3.
  const double k0 = 5000.0 / (2047 * 20);
  const double k3 = k0 / std::pow(3.16227, 3);
  SynthSpec s;
  s.ch1 = {test::CodesFor1x(2.0, k0), 60, 1, 5, 0};
  s.ch2 = {test::CodesFor1x(1.0, k0), 210, 1, -9, 0};
  QVERIFY(test::WriteRaw(Path("s.dat"), MakeRecording(s)));
  s.frames = 5 * 16384;
  s.ch1.amp = test::CodesFor1x(2.0, k3);
  s.ch2.amp = test::CodesFor1x(1.0, k3);
  QVERIFY(test::WriteRaw(Path("w.dat"), MakeRecording(s), 3));  // and a partial frame
  // A 20 Hz sine of 5 mm/s on channel 1 at range 0.
  std::vector<int16_t> sine(65536 * 4, 0);
  for (size_t k = 0; k < 65536; ++k)
    sine[k * 4] =
        int16_t(std::lround(5.0 / k0 * std::sin(2 * std::numbers::pi * 20 * k / 25000.0)));
  QVERIFY(test::WriteRaw(Path("sine.dat"), sine));
  QVERIFY(test::WriteRaw(Path("empty.dat"), {}));
  QFile par(Path("g3.par"));
  QVERIFY(par.open(QIODevice::WriteOnly));
  par.write("3\r\n");
  par.close();
  QFile junk(Path("junk.par"));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("x7\r\n");
  junk.close();
  QFile cfg(Path("bad.cfg"));
  QVERIFY(cfg.open(QIODevice::WriteOnly));
  cfg.write("20\r\nabc\r\n0\r\n0\r\n80\r\n");
  cfg.close();

  // An archive to re-measure: recordings with the .par filed beside them.
  QFile w(Path("w.dat"));
  QVERIFY(w.open(QIODevice::ReadOnly));
  const QByteArray working = w.readAll();
  QFile sf(Path("s.dat"));
  QVERIFY(sf.open(QIODevice::ReadOnly));
  const QByteArray sighting = sf.readAll();
  Write("a1.dat", working);
  Write("a1.par", "3\r\n");
  Write("a2.dat", sighting);
  Write("a2.par", "0\r\n");
  Write("cut.dat", working.left(3 * 131072));  // three whole blocks
  Write("cut.par", "3\r\n");
  Write("trunc.dat", working.left(3 * 131072 + 5));  // and part of a frame
  Write("trunc.par", "3\r\n");
  Write("tiny.dat", working.left(5));  // not one whole frame
  Write("tiny.par", "3\r\n");
  Write("badgain.dat", working);
  Write("badgain.par", "7\r\n");
  Write("nopar.dat", working);
}

void TestCliAnalysis::Write(const QString& name, const QByteArray& bytes) {
  QFile f(Path(name));
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

void TestCliAnalysis::measureWorkingFile() {
  const Run r = Cli({"measure", "w.dat", "--gain", "3", "--output", "out.txt"}, dir_.path());
  QCOMPARE(r.exitCode, 0);
  QCOMPARE(r.out.count('\n'), 1);
  const QJsonObject o = Json(r.out);
  QCOMPARE(o["RPM"].toDouble(), 2993.1);
  QCOMPARE(o["RevPeriod"].toDouble(), 500.0);
  QCOMPARE(o["RevLen"].toInt(), 500);
  QCOMPARE(o["First"].toInt(), 620);
  QCOMPARE(o["Lend"].toInt(), 34120);
  QCOMPARE(o["marks"].toArray().size(), 69);
  QCOMPARE(o["GainCode"].toInt(), 3);
  QVERIFY(std::fabs(o["V1o"].toDouble() - 2.0) < 0.02);
  QVERIFY(std::fabs(o["V2o"].toDouble() - 1.0) < 0.02);
  QVERIFY(std::fabs(o["F1"].toDouble() - 60) < 1.5);
  QVERIFY(!o["WrongTacho"].toBool());
  QFile out(Path("out.txt"));
  QVERIFY(out.open(QIODevice::ReadOnly));
  QCOMPARE(out.readAll().count("\t0\r\n"), 500);
}

void TestCliAnalysis::measureWithSightingAndPar() {
  const Run r = Cli({"measure", "w.dat", "--sighting", "s.dat", "--par", "g3.par", "--aver", "16"},
                    dir_.path());
  QCOMPARE(r.exitCode, 0);
  const QJsonObject o = Json(r.out);
  QVERIFY(o["sighting"].toBool());
  QCOMPARE(o["AverNum"].toInt(), 16);
  QCOMPARE(o["Dlit"].toInt(), 3);  // nearest(500 / 25000 x 16 x 3) + 1 is 2, at least 3
  QCOMPARE(o["GainCode"].toInt(), 3);
  QCOMPARE(o["marks"].toArray().size(), 21);
  QVERIFY(std::fabs(o["V1o"].toDouble() - 2.0) < 0.02);
  QVERIFY(!QFile::exists(Path("Output.txt")));  // only with --output
}

void TestCliAnalysis::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::newRow("no file") << QStringList{"measure"};
  QTest::newRow("missing file") << QStringList{"measure", "none.dat"};
  QTest::newRow("empty file") << QStringList{"measure", "empty.dat"};
  QTest::newRow("junk par") << QStringList{"measure", "w.dat", "--par", "junk.par"};
  QTest::newRow("par and gain") << QStringList{"measure", "w.dat",  "--par",
                                               "g3.par",  "--gain", "1"};
  QTest::newRow("gain 4") << QStringList{"measure", "w.dat", "--gain", "4"};
  QTest::newRow("aver abc") << QStringList{"measure", "w.dat", "--aver", "abc"};
  QTest::newRow("bad config") << QStringList{"measure", "w.dat", "--config", "bad.cfg"};
  QTest::newRow("unknown option") << QStringList{"spectrum", "w.dat", "--revs", "2"};
  QTest::newRow("revs missing") << QStringList{"harmonics", "w.dat"};
  QTest::newRow("revs 0") << QStringList{"harmonics", "w.dat", "--revs", "0"};
  QTest::newRow("bandwidth") << QStringList{"bandspectrum", "w.dat", "--bandwidth", "100"};
  QTest::newRow("two files") << QStringList{"spectrum", "w.dat", "s.dat"};
  QTest::newRow("meter count") << QStringList{"meter", "--count", "x"};
}

void TestCliAnalysis::badArguments() {
  QFETCH(QStringList, args);
  const Run r = Cli(args, dir_.path());
  QCOMPARE(r.exitCode, 2);
  QVERIFY(r.out.isEmpty());
  QCOMPARE(r.err.count('\n'), 1);
  QVERIFY(r.err.startsWith("vintor-cli: "));
}

void TestCliAnalysis::measureBatch_data() {
  QTest::addColumn<QStringList>("files");
  QTest::addColumn<QStringList>("options");
  QTest::addColumn<QStringList>("errors");  // per line: empty for a result, else part of the error
  QTest::addColumn<int>("code");
  const QStringList none;
  QTest::newRow("good files") << QStringList{"a1.dat", "a2.dat"} << none << QStringList{"", ""}
                              << 0;
  QTest::newRow("missing file") << QStringList{"a1.dat", "none.dat", "a2.dat"} << none
                                << QStringList{"", "no such file: none.dat", ""} << 1;
  QTest::newRow("truncated files") << QStringList{"trunc.dat", "tiny.dat", "cut.dat"} << none
                                   << QStringList{"", "tiny.dat holds no whole frame", ""} << 1;
  QTest::newRow("bad gain in .par")
      << QStringList{"badgain.dat", "a1.dat"} << none
      << QStringList{"Parameter file badgain.par holds no gain code", ""} << 1;
  QTest::newRow("no .par") << QStringList{"a2.dat", "nopar.dat"} << none
                           << QStringList{"", "Cannot open parameter file nopar.par"} << 1;
  QTest::newRow("one file twice") << QStringList{"a1.dat", "a1.dat"} << none << QStringList{"", ""}
                                  << 0;
  QTest::newRow("--gain for every file") << QStringList{"nopar.dat", "badgain.dat"}
                                         << QStringList{"--gain", "2"} << QStringList{"", ""} << 0;
  QTest::newRow("sighting file before each")
      << QStringList{"a2.dat", "a1.dat"} << QStringList{"--sighting", "s.dat", "--aver", "16"}
      << QStringList{"", ""} << 0;
}

void TestCliAnalysis::measureBatch() {
  QFETCH(QStringList, files);
  QFETCH(QStringList, options);
  QFETCH(QStringList, errors);
  QFETCH(int, code);
  const Run r = Cli(QStringList{"measure"} + files + options, dir_.path());
  QCOMPARE(r.exitCode, code);
  QVERIFY(r.err.isEmpty());
  const QList<QByteArray> lines = r.out.trimmed().split('\n');
  QCOMPARE(lines.size(), files.size());
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QJsonObject o = Json(lines[i]);
    QCOMPARE(o["file"].toString(), files[i]);  // in the order given
    if (!errors[i].isEmpty()) {
      QCOMPARE(o.size(), 2);
      QVERIFY2(o["error"].toString().contains(errors[i]), qPrintable(o["error"].toString()));
      continue;
    }
    QVERIFY(!o.contains("error"));
    // Each line is what measuring that file alone gives.
    const Run alone = Cli(QStringList{"measure", files[i]} + options, dir_.path());
    QCOMPARE(alone.exitCode, 0);
    QCOMPARE(o, Json(alone.out));
  }
}

void TestCliAnalysis::measureBatchBadArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::newRow("--par with two files") << QStringList{"a1.dat", "a2.dat", "--par", "g3.par"};
  QTest::newRow("--output with two files") << QStringList{"a1.dat", "a2.dat", "--output", "o.txt"};
  QTest::newRow("bad --aver") << QStringList{"a1.dat", "a2.dat", "--aver", "x"};
  QTest::newRow("bad --gain") << QStringList{"a1.dat", "a2.dat", "--gain", "5"};
  QTest::newRow("bad config") << QStringList{"a1.dat", "a2.dat", "--config", "bad.cfg"};
  QTest::newRow("missing sighting") << QStringList{"a1.dat", "a2.dat", "--sighting", "none.dat"};
}

void TestCliAnalysis::measureBatchBadArguments() {
  QFETCH(QStringList, args);
  const Run r = Cli(QStringList{"measure"} + args, dir_.path());
  QCOMPARE(r.exitCode, 2);
  QVERIFY(r.out.isEmpty());  // nothing measured
  QCOMPARE(r.err.count('\n'), 1);
}

void TestCliAnalysis::measureTruncatedRecording() {
  // A partial frame at the end is left out: the same results as the whole frames before it.
  QJsonObject trunc = Json(Cli({"measure", "trunc.dat"}, dir_.path()).out);
  QJsonObject cut = Json(Cli({"measure", "cut.dat"}, dir_.path()).out);
  QCOMPARE(trunc.take("file").toString(), QString("trunc.dat"));
  cut.remove("file");
  QCOMPARE(trunc, cut);
  QCOMPARE(trunc["Lend"].toInt(), 34120);
  // Its .par read beside it: gain code 3, as in the full recording.
  QCOMPARE(trunc["GainCode"].toInt(), 3);
  QVERIFY(std::fabs(trunc["V1o"].toDouble() - 2.0) < 0.02);
}

void TestCliAnalysis::spectrumLists() {
  Run r = Cli({"spectrum", "sine.dat"}, dir_.path());
  QCOMPARE(r.exitCode, 0);
  QJsonArray lines = Json(r.out)["lines"].toArray();
  QCOMPARE(lines.size(), 128);
  QCOMPARE(lines[20].toArray()[0].toDouble(), 20.0);
  QVERIFY(std::fabs(lines[20].toArray()[1].toDouble() - 3.5355) < 0.07);

  r = Cli({"bandspectrum", "sine.dat", "--bandwidth", "64"}, dir_.path());
  QCOMPARE(r.exitCode, 0);
  lines = Json(r.out)["lines"].toArray();
  QCOMPARE(lines.size(), 128);
  QCOMPARE(lines[1].toArray()[0].toDouble(), 0.5);

  r = Cli({"harmonics", "w.dat", "--revs", "1", "--gain", "3"}, dir_.path());
  QCOMPARE(r.exitCode, 0);
  const QJsonObject h = Json(r.out);
  QCOMPARE(h["N"].toInt(), 256);
  lines = h["lines"].toArray();
  QCOMPARE(lines.size(), 33);
  QCOMPARE(lines[1].toObject()["harmonic"].toString(), QString("1"));
  // 1x of 2 mm/s as the program reads it is a peak of 2 x 11.28 / 8; the list shows peak / 2.
  QVERIFY(std::fabs(lines[1].toObject()["ch1"].toDouble() - 2 * 11.28 / 8 / 2) < 0.03);

  // Too few lines for a transform: the window's warning, exit 1.
  r = Cli({"harmonics", "sine.dat", "--revs", "1"}, dir_.path());
  QCOMPARE(r.exitCode, 1);
  QVERIFY(r.err.contains("Requare more points to calculate spectrum !!!"));
}

void TestCliAnalysis::meterOnSimulatedModule() {
  QTemporaryDir work;
  QFile cfg(work.filePath("SimE154.cfg"));
  QVERIFY(cfg.open(QIODevice::WriteOnly));
  cfg.write("Pace = 0\n");
  cfg.close();
  const Run r = Cli({"meter", "--count", "2", "--aver", "8", "--dir", work.path()}, dir_.path());
  QCOMPARE(r.exitCode, 0);
  const QList<QByteArray> lines = r.out.trimmed().split('\n');
  QCOMPARE(lines.size(), 2);
  const QJsonObject first = Json(lines[0]);
  const QJsonObject second = Json(lines[1]);
  QVERIFY(first["sighting"].toBool());
  QVERIFY(!second["sighting"].toBool());  // cleared after a good measurement
  QCOMPARE(first["AcqStatus"].toInt(), 1);
  // The default simulated fan: 1480 rev/min, 4.5 mm/s at 60 degrees on channel 1.
  QVERIFY(std::fabs(first["RPM"].toDouble() - 1480 * 0.9977) < 3);
  QVERIFY(std::fabs(first["V1o"].toDouble() / 4.5 - 1) < 0.05);
  QVERIFY(std::fabs(first["F1"].toDouble() - 60) < 3);
  QVERIFY(r.err.contains("\"Рабочий\" цикл - измерение"));
  QVERIFY(QFile::exists(work.filePath("Garmoniki.txt")));
}

QTEST_GUILESS_MAIN(TestCliAnalysis)
#include "test_cli_analysis.moc"
