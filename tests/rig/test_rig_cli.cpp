// One correction step on the simulated rig from the command line, the way a script would do
// it: meter, attach the trial mass, meter, balance, take the trial mass off, attach what the
// correction says, meter again. The residual 1x must be a tenth of the initial or less.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <numbers>

#include "tests/support/CliRun.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180;

using Run = vintor::test::CliRun;

// `json` holds the last line of stdout.
Run Cli(const QStringList& args) {
  Run r = vintor::test::RunCli(args, QString(), 120000);
  r.json = QJsonDocument::fromJson(r.out.trimmed().split('\n').last()).object();
  return r;
}

struct Vib {
  double v[2] = {0, 0};
  double f[2] = {0, 0};
  QString Ch(int ch) const {
    return QStringLiteral("%1@%2").arg(v[ch], 0, 'g', 17).arg(f[ch], 0, 'g', 17);
  }
  QString Both() const { return Ch(0) + QLatin1Char(',') + Ch(1); }
};

// A mass the correction asks for: grams (negative: take material off) at an angle or a blade.
struct Fit {
  int plane = 1;
  double grams = 0;
  int angle = 0;
  int blade = 0;
};

double Number(const QJsonObject& o, const char* key) {
  bool ok = false;
  const double v = o[QLatin1String(key)].toString().toDouble(&ok);
  if (!ok) qWarning("%s is not a number: %s", key, qPrintable(o[QLatin1String(key)].toString()));
  return ok ? v : std::nan("");
}

int BladeOf(const QJsonObject& o, const char* key) {
  QString label = o[QLatin1String(key)].toString();  // "Z3="
  return label.mid(1, label.size() - 2).toInt();
}

}  // namespace

class TestRigCli : public QObject {
  Q_OBJECT
 private slots:
  void correctionStep_data();
  void correctionStep();
  void badArguments_data();
  void badArguments();

 private:
  bool Meter(Vib* out);
  Run Rig(QStringList args);

  QTemporaryDir dir_;
};

Run TestRigCli::Rig(QStringList args) {
  args.prepend(QStringLiteral("rig"));
  args << QStringLiteral("--dir") << dir_.path();
  return Cli(args);
}

bool TestRigCli::Meter(Vib* out) {
  const Run r = Cli({"meter", "--dir", dir_.path()});
  if (r.exitCode != 0 || r.json["AcqStatus"].toInt() != 1 || r.json["WrongTacho"].toBool()) {
    qWarning("meter: %d %s", r.exitCode, r.err.constData());
    return false;
  }
  out->v[0] = r.json["V1o"].toDouble();
  out->f[0] = r.json["F1"].toDouble();
  out->v[1] = r.json["V2o"].toDouble();
  out->f[1] = r.json["F2"].toDouble();
  return true;
}

void TestRigCli::correctionStep_data() {
  QTest::addColumn<QStringList>("rig");  // on top of a quiet, fast rig
  QTest::addColumn<int>("planes");
  QTest::addColumn<double>("trial");  // grams, in both planes
  QTest::addColumn<bool>("percent");  // masses in percent of the trial mass
  QTest::addColumn<int>("blades");
  QTest::addColumn<bool>("remove");

  QTest::newRow("1: polar, grams")
      << QStringList{"unbalance1=400@130"} << 1 << 3.0 << false << 0 << false;
  QTest::newRow("1: polar, percent") << QStringList{"ch1_1x=0", "unbalance1=350@250", "radius1=150"}
                                     << 1 << 2.5 << true << 0 << false;
  QTest::newRow("1: blades") << QStringList{"unbalance1=300@75"} << 1 << 3.0 << false << 6 << false;
  QTest::newRow("1: remove mass") << QStringList{"unbalance1=500@310"} << 1 << 4.0 << false << 0
                                  << true;
  QTest::newRow("1: blades, remove mass, percent")
      << QStringList{"unbalance1=280@200", "ch1_1x=1.5"} << 1 << 2.0 << true << 7 << true;
  QTest::newRow("2: cross-coupling, grams")
      << QStringList{"unbalance1=300@40", "unbalance2=250@220"} << 2 << 2.0 << false << 0 << false;
  QTest::newRow("2: strong coupling, percent")
      << QStringList{"ch1_1x=0",          "ch2_1x=0",           "influence12=9@100",
                     "influence21=8@280", "unbalance1=200@300", "unbalance2=350@10"}
      << 2 << 3.0 << true << 0 << false;
  QTest::newRow("2: blades, remove mass")
      << QStringList{"unbalance1=150@160", "unbalance2=400@290"} << 2 << 2.0 << false << 8 << true;
}

void TestRigCli::correctionStep() {
  QFETCH(QStringList, rig);
  QFETCH(int, planes);
  QFETCH(double, trial);
  QFETCH(bool, percent);
  QFETCH(int, blades);
  QFETCH(bool, remove);
  QVERIFY(dir_.isValid());
  QFile::remove(dir_.filePath("SimE154.cfg"));
  Run r =
      Rig(QStringList{"set", "pace=0", "rpm_wander=0.1", "ch1_noise=0.02", "ch2_noise=0.02"} + rig);
  QVERIFY2(r.exitCode == 0, r.err.constData());

  // The trial mass sits at the trial-mass point: angle 0, blade 1.
  const QString tm = QString::number(trial);
  const QStringList trialAt = blades
                                  ? QStringList{"--blade", "1", "--blades", QString::number(blades)}
                                  : QStringList{"--angle", "0"};
  Vib run0, run1, run2, check;
  QVERIFY(Meter(&run0));
  // The rig's own account of its 1x vectors is what the program measures.
  const QJsonObject rigShown = r.json;
  const QJsonObject model = rigShown["vibration"].toObject();
  for (int ch = 0; ch < 2; ++ch) {
    const QString n = QString::number(ch + 1);
    const std::complex<double> shown =
        std::polar(model["V" + n + "o"].toDouble(), model["F" + n].toDouble() * kDeg);
    QVERIFY(std::abs(shown - std::polar(run0.v[ch], run0.f[ch] * kDeg)) <
            0.02 * std::abs(shown) + 0.05);
  }
  Vib* trialRuns[2] = {&run1, &run2};
  for (int plane = 1; plane <= planes; ++plane) {
    const QString p = QString::number(plane);
    QCOMPARE(Rig(QStringList{"attach", "--plane", p, "--mass", tm} + trialAt).exitCode, 0);
    QVERIFY(Meter(trialRuns[plane - 1]));
    QCOMPARE(Rig({"remove", "--plane", p, "--index", "1"}).exitCode, 0);
  }

  // The correction, with the radius of the trial mass place as the rig has it.
  QStringList args;
  const QJsonArray rigPlanes = rigShown.value("planes").toArray();
  const QString radius1 = QString::number(rigPlanes[0].toObject()["radius"].toDouble());
  const QString radius2 = QString::number(rigPlanes[1].toObject()["radius"].toDouble());
  if (planes == 1) {
    args = {"balance1", "--run0", run0.Ch(0), "--run1", run1.Ch(0)};
    if (!percent) args << "--trial-mass" << tm << "--radius" << radius1;
  } else {
    args = {"balance2", "--run0", run0.Both(), "--run1", run1.Both(), "--run2", run2.Both()};
    if (!percent)
      args << "--trial-mass1" << tm << "--trial-mass2" << tm << "--radius1" << radius1
           << "--radius2" << radius2;
  }
  if (blades) args << "--blades" << QString::number(blades);
  if (remove) args << "--remove";
  const Run b = Cli(args);
  QVERIFY2(b.exitCode == 0, qPrintable(QJsonDocument(b.json).toJson() + b.err));
  QCOMPARE(b.json["unit"].toString(), percent ? QString("%") : QString("g"));

  // What the operator reads off the window, in grams, and fits; "Remove mass" drills out.
  const double scale = (percent ? trial / 100 : 1.0) * (remove ? -1 : 1);
  std::vector<Fit> fits;
  for (int plane = 1; plane <= planes; ++plane) {
    if (blades) {
      const QByteArray z = "LabelZ" + QByteArray::number(plane),
                       m = "EditM" + QByteArray::number(plane);
      fits.push_back({plane, scale * Number(b.json, m + "1"), 0, BladeOf(b.json, z + "1")});
      if (BladeOf(b.json, z + "2") != 0)
        fits.push_back({plane, scale * Number(b.json, m + "2"), 0, BladeOf(b.json, z + "2")});
    } else {
      const QByteArray n = QByteArray::number(plane);
      fits.push_back(
          {plane, scale * Number(b.json, "EditM" + n), int(Number(b.json, "EditF" + n)), 0});
    }
  }
  QString fitted;
  for (const Fit& f : fits) {
    if (f.grams == 0) continue;
    QStringList attach = {"attach", "--plane", QString::number(f.plane), "--mass",
                          QString::number(f.grams, 'g', 17)};
    if (f.blade)
      attach << "--blade" << QString::number(f.blade) << "--blades" << QString::number(blades);
    else
      attach << "--angle" << QString::number(f.angle);
    r = Rig(attach);
    QVERIFY2(r.exitCode == 0, r.err.constData());
    fitted +=
        QStringLiteral(" P%1 %2 g at %3")
            .arg(f.plane)
            .arg(f.grams)
            .arg(f.blade ? QStringLiteral("blade %1").arg(f.blade) : QString::number(f.angle));
  }
  QVERIFY(Meter(&check));

  for (int ch = 0; ch < planes; ++ch) {
    qInfo("channel %d: initial %.3f mm/s, residual %.3f mm/s (%.1f %%);%s", ch + 1, run0.v[ch],
          check.v[ch], 100 * check.v[ch] / run0.v[ch], ch == 0 ? qPrintable(fitted) : "");
    QVERIFY(run0.v[ch] > 1.0);
    QVERIFY(check.v[ch] <= 0.1 * run0.v[ch]);
  }
}

void TestRigCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<int>("code");
  QTest::newRow("no action") << QStringList{} << 2;
  QTest::newRow("unknown action") << QStringList{"turn"} << 2;
  QTest::newRow("plane 3") << QStringList{"attach", "--plane", "3", "--mass", "1", "--angle", "0"}
                           << 2;
  QTest::newRow("no mass") << QStringList{"attach", "--plane", "1", "--angle", "0"} << 2;
  QTest::newRow("zero mass") << QStringList{"attach", "--plane", "1", "--mass", "0", "--angle", "0"}
                             << 2;
  QTest::newRow("angle and blade")
      << QStringList{"attach", "--plane", "1", "--mass",   "1", "--angle",
                     "0",      "--blade", "1", "--blades", "4"}
      << 2;
  QTest::newRow("blade past the last")
      << QStringList{"attach", "--plane", "1", "--mass", "1", "--blade", "5", "--blades", "4"} << 2;
  QTest::newRow("bad radius") << QStringList{"attach",  "--plane", "1",        "--mass", "1",
                                             "--angle", "0",       "--radius", "-1"}
                              << 2;
  QTest::newRow("remove what is not there")
      << QStringList{"remove", "--plane", "1", "--index", "2"} << 2;
  QTest::newRow("set unknown key") << QStringList{"set", "pace=0", "colour=blue"} << 2;
  QTest::newRow("set bad value") << QStringList{"set", "pace=0", "unbalance1=x@1"} << 2;
  QTest::newRow("set without value") << QStringList{"set", "pace"} << 2;
  QTest::newRow("show with a stray word") << QStringList{"show", "now"} << 2;
}

void TestRigCli::badArguments() {
  QFETCH(QStringList, args);
  QFETCH(int, code);
  const QByteArray before = "rpm = 1200  # kept\r\nmasses1 = 1@0\r\n";
  QFile f(dir_.filePath("SimE154.cfg"));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(before);
  f.close();
  const Run r = Rig(args);
  QCOMPARE(r.exitCode, code);
  QVERIFY(!r.err.isEmpty());
  // A refused command leaves the file alone, all of it.
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), before);
}

QTEST_GUILESS_MAIN(TestRigCli)
#include "test_rig_cli.moc"
