#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <numbers>

#include "platform/SimAdc.h"
#include "platform/SimRig.h"
#include "tests/support/TestFiles.h"

using namespace vintor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

QString MassesText(const std::vector<SimMass>& masses) { return FormatSimMasses(masses); }

}  // namespace

class TestSimRig : public QObject {
  Q_OBJECT
 private slots:
  void editsKeepTheRestOfTheFile();
  void missingFileIsTheDefaultRig();
  void setRefusesWhatTheSimulatorWouldSkip_data();
  void setRefusesWhatTheSimulatorWouldSkip();
  void emptyValueTakesTheKeyOut();
  void attachRemoveClear();
  void bladePlacement_data();
  void bladePlacement();
  void newKeysAndBadValues_data();
  void newKeysAndBadValues();
  void tachometerFaultKeys_data();
  void tachometerFaultKeys();

 private:
  QTemporaryDir dir_;
};

void TestSimRig::editsKeepTheRestOfTheFile() {
  // Comments (one in Windows-1251 bytes), an unknown key, a bad value, LF and CR LF lines, a
  // key set twice and no final line end.
  const QByteArray before =
      "# \xD0\xEE\xF2\xEE\xF0 rig\r\n"
      "rpm = 1200\n"
      "\n"
      "colour = blue   # not the simulator's\r\n"
      "ch1_noise = lots\r\n"
      "pace=2    # fast enough\r\n"
      "PACE = 0 # the last one wins\r\n"
      "masses1 = 1@10";
  const QString path = dir_.filePath("edit.cfg");
  QVERIFY(WriteBytes(path, before));
  SimRig rig;
  QVERIFY(rig.Load(path));
  QVERIFY(rig.Exists());
  QStringList problems;
  SimConfig c = rig.Config(&problems);
  QCOMPARE(c.Pace, 0.0);
  QCOMPARE(c.Rpm, 1200.0);
  QCOMPARE(problems.size(), 2);  // colour, ch1_noise

  QCOMPARE(rig.Set("pace", "0.5"), QString());
  QCOMPARE(rig.Set("unbalance2", "250@40"), QString());
  QCOMPARE(rig.Attach(1, {2.5, -90.0, 80.0}), QString());
  QVERIFY(rig.Save());
  const QByteArray after = ReadBytes(path);
  QCOMPARE(after, QByteArray("# \xD0\xEE\xF2\xEE\xF0 rig\r\n"
                             "rpm = 1200\r\n"
                             "\r\n"
                             "colour = blue   # not the simulator's\r\n"
                             "ch1_noise = lots\r\n"
                             "pace=2    # fast enough\r\n"
                             "PACE = 0.5 # the last one wins\r\n"
                             "masses1 = 1@10; 2.5@270@80\r\n"
                             "unbalance2 = 250@40\r\n"));

  // What was saved reads back the same; the old file went away by rename, not rewriting.
  SimRig again;
  QVERIFY(again.Load(path));
  c = again.Config(&problems);
  QCOMPARE(problems.size(), 2);
  QCOMPARE(c.Pace, 0.5);
  QCOMPARE(c.Plane[1].Unbalance.Amount, 250.0);
  QCOMPARE(c.Plane[1].Unbalance.AngleDeg, 40.0);
  QCOMPARE(MassesText(again.Masses(1)), QString("1@10; 2.5@270@80"));
  QCOMPARE(again.Value("PACE"), QString("0.5"));
  QCOMPARE(again.Value("colour"), QString("blue"));
  QVERIFY(again.Value("seed").isNull());
  const QStringList leftovers = QDir(dir_.path()).entryList({"edit.cfg*"}, QDir::Files);
  QCOMPARE(leftovers, QStringList{"edit.cfg"});
}

void TestSimRig::missingFileIsTheDefaultRig() {
  const QString path = dir_.filePath("new.cfg");
  SimRig rig;
  QVERIFY(rig.Load(path));
  QVERIFY(!rig.Exists());
  QVERIFY(rig.Masses(1).empty());
  QCOMPARE(rig.Config().Ch1.Amp1x, SimConfig().Ch1.Amp1x);
  QCOMPARE(rig.Attach(2, {3.0, 45.0, 0.0}), QString());
  QVERIFY(rig.Save());
  QCOMPARE(ReadBytes(path), QByteArray("masses2 = 3@45\r\n"));

  // A file that exists but cannot be read is an error, not an empty rig.
  QString error;
  SimRig folder;
  QVERIFY(!folder.Load(dir_.path(), &error));
  QVERIFY(!error.isEmpty());
}

void TestSimRig::setRefusesWhatTheSimulatorWouldSkip_data() {
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("value");
  QTest::addColumn<QString>("error");
  QTest::newRow("unknown key") << "colour"
                               << "blue"
                               << "unknown setting \"colour\"";
  QTest::newRow("bad number") << "rpm"
                              << "fast"
                              << "bad value \"fast\" for rpm";
  QTest::newRow("out of range") << "tacho_width"
                                << "400"
                                << "bad value \"400\" for tacho_width";
  QTest::newRow("negative unbalance") << "unbalance1"
                                      << "-3@10"
                                      << "bad value \"-3@10\" for unbalance1";
  QTest::newRow("bad mass entry") << "masses1"
                                  << "1@2; x@3"
                                  << "bad value \"1@2; x@3\" for masses1";
  QTest::newRow("comment in value") << "rpm"
                                    << "100 # x"
                                    << "bad value \"100 # x\" for rpm";
  QTest::newRow("key with blank") << "ch1 1x"
                                  << "2"
                                  << "bad key \"ch1 1x\"";
}

void TestSimRig::setRefusesWhatTheSimulatorWouldSkip() {
  QFETCH(QString, key);
  QFETCH(QString, value);
  QFETCH(QString, error);
  const QString path = dir_.filePath("refuse.cfg");
  QVERIFY(WriteBytes(path, "rpm = 900\r\n"));
  SimRig rig;
  QVERIFY(rig.Load(path));
  QCOMPARE(rig.Set(key, value), error);
  QCOMPARE(rig.Keys().size(), size_t(1));
  QCOMPARE(rig.Value("rpm"), QString("900"));
}

void TestSimRig::emptyValueTakesTheKeyOut() {
  const QString path = dir_.filePath("unset.cfg");
  QVERIFY(WriteBytes(path, "rpm = 900  # slow fan\r\nseed = 4\r\nrpm = 950\r\n"));
  SimRig rig;
  QVERIFY(rig.Load(path));
  QCOMPARE(rig.Set("rpm", ""), QString());
  QCOMPARE(rig.Config().Rpm, SimConfig().Rpm);
  QVERIFY(rig.Save());
  QCOMPARE(ReadBytes(path), QByteArray("# slow fan\r\nseed = 4\r\n"));
  QCOMPARE(rig.Set("colour", ""), QString("unknown setting \"colour\""));
}

void TestSimRig::attachRemoveClear() {
  const QString path = dir_.filePath("masses.cfg");
  QVERIFY(WriteBytes(path, "radius1 = 120\r\n"));
  SimRig rig;
  QVERIFY(rig.Load(path));
  QCOMPARE(rig.Attach(1, {2.0, 30.0, 0.0}), QString());
  QCOMPARE(rig.Attach(1, {-1.5, 400.0, 0.0}), QString());  // material off, angle wrapped
  QCOMPARE(rig.Attach(1, {0.25, -30.0, 90.0}), QString());
  QCOMPARE(rig.Attach(2, {4.0, 180.0, 0.0}), QString());
  QCOMPARE(MassesText(rig.Masses(1)), QString("2@30; -1.5@40; 0.25@330@90"));
  // Unbalance of plane 1: the plane's radius for masses given without one.
  const std::complex<double> u = SimPlaneUnbalance(rig.Config(), 0);
  constexpr double kDeg = std::numbers::pi / 180;
  const std::complex<double> expected =
      std::polar(240.0, 30 * kDeg) - std::polar(180.0, 40 * kDeg) + std::polar(22.5, 330 * kDeg);
  QVERIFY(std::abs(u - expected) < 1e-9);

  QVERIFY(!rig.Remove(1, 0));
  QVERIFY(!rig.Remove(1, 4));
  QVERIFY(!rig.Remove(3, 1));
  QVERIFY(rig.Remove(1, 2));
  QCOMPARE(MassesText(rig.Masses(1)), QString("2@30; 0.25@330@90"));
  QVERIFY(rig.Remove(2, 1));
  QVERIFY(rig.Value("masses2").isNull());  // the last mass off takes the key out
  QCOMPARE(rig.Attach(2, {1.0, 0.0, 0.0}), QString());
  rig.Clear(1);
  QVERIFY(rig.Masses(1).empty());
  QCOMPARE(rig.Masses(2).size(), size_t(1));
  rig.Clear(0);
  QVERIFY(rig.Masses(2).empty());

  QVERIFY(!rig.Attach(1, {0.0, 10.0, 0.0}).isEmpty());
  QVERIFY(!rig.Attach(3, {1.0, 10.0, 0.0}).isEmpty());
  QVERIFY(!rig.Attach(1, {1.0, 10.0, -5.0}).isEmpty());
  QVERIFY(!rig.Attach(1, {std::nan(""), 10.0, 0.0}).isEmpty());
  QVERIFY(rig.Save());
  QCOMPARE(ReadBytes(path), QByteArray("radius1 = 120\r\n"));
}

void TestSimRig::bladePlacement_data() {
  QTest::addColumn<int>("blade");
  QTest::addColumn<int>("blades");
  QTest::addColumn<double>("angle");
  QTest::newRow("blade 1 is the trial-mass point") << 1 << 6 << 0.0;
  QTest::newRow("2 of 6") << 2 << 6 << 60.0;
  QTest::newRow("6 of 6") << 6 << 6 << 300.0;
  QTest::newRow("3 of 7") << 3 << 7 << 720.0 / 7;
  QTest::newRow("4 of 4") << 4 << 4 << 270.0;
}

void TestSimRig::bladePlacement() {
  QFETCH(int, blade);
  QFETCH(int, blades);
  QFETCH(double, angle);
  QCOMPARE(SimRig::BladeAngle(blade, blades), angle);
  // A blade's mass reads back at the blade's angle, to the last bit.
  SimRig rig;
  QVERIFY(rig.Load(dir_.filePath("blades-not-saved.cfg")));
  QCOMPARE(rig.Attach(2, {1.5, SimRig::BladeAngle(blade, blades), 0.0}), QString());
  QCOMPARE(rig.Masses(2).at(0).AngleDeg, angle);
}

void TestSimRig::newKeysAndBadValues_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("errors");
  QTest::addColumn<QString>("masses1");
  QTest::addColumn<double>("unbalance1");
  QTest::addColumn<double>("influence21");
  QTest::addColumn<double>("radius2");
  const QString none;
  QTest::newRow("defaults") << "" << QStringList{} << none << 0.0 << 4.0 << 100.0;
  QTest::newRow("all good") << "unbalance1 = 300 @ 40\ninfluence21 = 7@10\nradius2 = 80\n"
                               "masses1 = 2@10; 1@20@50\n"
                            << QStringList{} << "2@10; 1@20@50" << 300.0 << 7.0 << 80.0;
  QTest::newRow("lone amount") << "unbalance1 = 120" << QStringList{} << none << 120.0 << 4.0
                               << 100.0;
  QTest::newRow("bad values skipped")
      << "unbalance1 = 300@40\nunbalance1 = -1@0\ninfluence21 = 7@x\nradius2 = 0\n"
         "influence21 = 1@2@3"
      << QStringList{"line 2: bad value \"-1@0\" for unbalance1",
                     "line 3: bad value \"7@x\" for influence21",
                     "line 4: bad value \"0\" for radius2",
                     "line 5: bad value \"1@2@3\" for influence21"}
      << none << 300.0 << 4.0 << 100.0;
  QTest::newRow("bad mass entries skipped alone")
      << "masses1 = 9@9\nmasses1 = 2@10; x@5; 3@20@0; 4; ; 1@30@50"
      << QStringList{"line 2: bad mass \"x@5\" for masses1",
                     "line 2: bad mass \"3@20@0\" for masses1",
                     "line 2: bad mass \"4\" for masses1"}
      << "2@10; 1@30@50" << 0.0 << 4.0 << 100.0;
  QTest::newRow("empty list, no masses")
      << "masses1 = 9@9\nmasses1 =" << QStringList{} << none << 0.0 << 4.0 << 100.0;
}

void TestSimRig::newKeysAndBadValues() {
  QFETCH(QString, text);
  QFETCH(QStringList, errors);
  QFETCH(QString, masses1);
  QFETCH(double, unbalance1);
  QFETCH(double, influence21);
  QFETCH(double, radius2);
  SimConfig c;
  QCOMPARE(ParseSimConfig(text, &c), errors);
  QCOMPARE(FormatSimMasses(c.Plane[0].Masses), masses1);
  QCOMPARE(c.Plane[0].Unbalance.Amount, unbalance1);
  QCOMPARE(c.Influence[1][0].Amount, influence21);
  QCOMPARE(c.Plane[1].RadiusMm, radius2);
}

void TestSimRig::tachometerFaultKeys_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("fault");
  QTest::addColumn<double>("bounceMs");
  QTest::addColumn<int>("errors");
  const int none = int(SimTachoFault::None), noSignal = int(SimTachoFault::NoSignal),
            bounce = int(SimTachoFault::Bounce);
  QTest::newRow("defaults") << "" << none << 3.0 << 0;
  QTest::newRow("no signal") << "tacho_fault = no_signal" << noSignal << 3.0 << 0;
  QTest::newRow("bounce, any case") << "tacho_fault = Bounce\ntacho_bounce_time = 1.5" << bounce
                                    << 1.5 << 0;
  QTest::newRow("back to none") << "tacho_fault = bounce\ntacho_fault = none" << none << 3.0 << 0;
  QTest::newRow("bad values skipped")
      << "tacho_fault = bounce\ntacho_fault = sometimes\ntacho_bounce_time = -1\n"
         "tacho_bounce_time = 2000"
      << bounce << 3.0 << 3;
}

void TestSimRig::tachometerFaultKeys() {
  QFETCH(QString, text);
  QFETCH(int, fault);
  QFETCH(double, bounceMs);
  QFETCH(int, errors);
  SimConfig c;
  QCOMPARE(ParseSimConfig(text, &c).size(), errors);
  QCOMPARE(int(c.TachoFault), fault);
  QCOMPARE(c.TachoBounceMs, bounceMs);
  // What a window writes reads back as the same fault.
  SimTachoFault back = SimTachoFault::Bounce;
  QVERIFY(SimTachoFaultFromName(SimTachoFaultName(c.TachoFault), &back));
  QCOMPARE(int(back), fault);
  QVERIFY(IsSimConfigKey("tacho_fault") && IsSimConfigKey("tacho_bounce_time"));
}

QTEST_GUILESS_MAIN(TestSimRig)
#include "test_simrig.moc"
