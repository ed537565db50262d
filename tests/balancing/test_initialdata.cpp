// Continue of the initial-data windows without the windows: every check in its order, its
// message exactly, and what the balancing input holds afterwards.
#include <QtTest>

#include "balancing/core/BalancingState.h"
#include "balancing/core/InitialData.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

Q_DECLARE_METATYPE(BalancingMode)

class TestInitialData : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ResetBalancingState();
    SetDecimalSeparatorOverride(QChar(','));
  }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void continueChecks_data();
  void continueChecks();
  void storedCoefficientTests_data();
  void storedCoefficientTests();
  void showClearsCoefficientsOfTheModeAndRadii();
};

namespace {

struct Setup {
  BalancingMode mode;
  InitialDataEntries e;
  // What the input held before Continue (a stored record, an earlier Continue).
  BalancingInput before;
};

Setup Single(bool select, bool grams, bool blades, QString m1, QString n, QString d1) {
  Setup s{BalancingMode::SinglePlane, {}, {}};
  s.e.selectRotor = select;
  s.e.grams = grams;
  s.e.blades = blades;
  s.e.EditM1 = m1;
  s.e.Edit2 = n;
  s.e.EditD1 = d1;
  return s;
}

Setup Two(bool select, bool grams, bool blades, QString m1, QString m2, QString n, QString d1,
          QString d2) {
  Setup s{BalancingMode::TwoPlane, {}, {}};
  s.e.selectRotor = select;
  s.e.grams = grams;
  s.e.blades = blades;
  s.e.EditM1 = m1;
  s.e.EditM2 = m2;
  s.e.Edit2 = n;
  s.e.EditD1 = d1;
  s.e.EditD2 = d2;
  return s;
}

// The input after Continue, as one text: R11 R12 R41 | M1 M2 | N | D1 D2.
QString InputText() {
  const BalancingInput& b = BalInput();
  return QStringLiteral("%1 %2 %3 | %4 %5 | %6 | %7 %8")
      .arg(b.R11)
      .arg(b.R12)
      .arg(b.R41)
      .arg(b.TrialM1)
      .arg(b.TrialM2)
      .arg(b.BladeCount)
      .arg(b.PlaceRadius1)
      .arg(b.PlaceRadius2);
}

}  // namespace

Q_DECLARE_METATYPE(Setup)

void TestInitialData::continueChecks_data() {
  QTest::addColumn<Setup>("setup");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<QString>("input");
  const QString nd = "n.d.";

  // New rotor, percent, polar: nothing to check; the coefficients and masses are cleared.
  Setup s = Single(false, false, false, nd, nd, nd);
  s.before.R11 = 1.0, s.before.R12 = 2.0, s.before.TrialM1 = 5.0, s.before.BladeCount = 6;
  s.before.PlaceRadius1 = 40;  // an earlier Continue in grams stored it: percent keeps it
  QTest::newRow("single new rotor percent")
      << s << true << QStringList{} << "0 0 0 | 0 0 | 0 | 40 0";

  s = Single(false, true, true, "2,5", "3", "100");
  QTest::newRow("single grams, 3 blades")
      << s << true << QStringList{} << "0 0 0 | 2.5 0 | 3 | 100 0";

  s = Single(true, false, false, nd, nd, nd);
  QTest::newRow("single select without record")
      << s << false << QStringList{"Select primary or repeated balancing"}
      << "0 0 0 | 0 0 | 0 | 0 0";
  s.before.R11 = 5.0, s.before.R12 = 0.0005;
  QTest::newRow("single select, one component too small")
      << s << false << QStringList{"Select primary or repeated balancing"}
      << "5 0.0005 0 | 0 0 | 0 | 0 0";
  s.before.R12 = -0.001;
  QTest::newRow("single select, both at 0.001")
      << s << true << QStringList{} << "5 -0.001 0 | 0 0 | 0 | 0 0";

  s = Single(false, true, false, nd, nd, nd);
  QTest::newRow("single grams n.d.")
      << s << false << QStringList{"Trial mass  is wrong "} << "0 0 0 | 0 0 | 0 | 0 0";
  s.e.EditM1 = "e.f.";
  QTest::newRow("single grams e.f.")
      << s << false << QStringList{"Trial mass  is wrong "} << "0 0 0 | 0 0 | 0 | 0 0";
  s.e.EditM1 = "0";
  QTest::newRow("single grams 0") << s << false << QStringList{"Trial mass is wrong "}
                                  << "0 0 0 | 0 0 | 0 | 0 0";
  s.e.EditM1 = "-4";
  s.e.EditD1 = "50";
  QTest::newRow("single negative mass: no radii read")
      << s << false << QStringList{"Trial mass is wrong "} << "0 0 0 | -4 0 | 0 | 0 0";
  s.e.EditM1 = "2.5";  // the point of the other separator, not mended
  QTest::newRow("single mass with the other separator")
      << s << false << QStringList{"Trial mass  is wrong "} << "0 0 0 | 0 0 | 0 | 0 0";

  s = Single(false, false, true, nd, "2", nd);
  QTest::newRow("single 2 blades")
      << s << false << QStringList{"Blades quantity is wrong"} << "0 0 0 | 0 0 | 2 | 0 0";
  s.e.Edit2 = "n.d.";
  s.before.BladeCount = 7;
  QTest::newRow("single blades n.d.")
      << s << false << QStringList{"Blades  quantity is wrong"} << "0 0 0 | 0 0 | 7 | 0 0";
  s.e.Edit2 = "3,0";
  QTest::newRow("single blades not whole")
      << s << false << QStringList{"Blades  quantity is wrong"} << "0 0 0 | 0 0 | 7 | 0 0";

  s = Single(false, true, false, "10", nd, nd);
  s.before.PlaceRadius1 = 33;
  QTest::newRow("single radius n.d. is 0")
      << s << true << QStringList{} << "0 0 0 | 10 0 | 0 | 0 0";
  s.e.EditD1 = "-5";
  QTest::newRow("single radius negative")
      << s << false << QStringList{"Trial mass place radius is wrong"} << "0 0 0 | 10 0 | 0 | -5 0";
  s.e.EditD1 = "e.f.";
  QTest::newRow("single radius e.f.")
      << s << false << QStringList{"Trial mass place radius is wrong"} << "0 0 0 | 10 0 | 0 | 33 0";

  // Several wrong entries: one message per check, in the order balancing, mass, blades, radius.
  s = Single(true, true, true, "0", "1", "x");
  QTest::newRow("single wrong entries, radius not read")
      << s << false
      << QStringList{"Select primary or repeated balancing", "Trial mass is wrong ",
                     "Blades quantity is wrong"}
      << "0 0 0 | 0 0 | 1 | 0 0";
  s.e.EditM1 = "1";
  QTest::newRow("single select, blades and radius wrong")
      << s << false
      << QStringList{"Select primary or repeated balancing", "Blades quantity is wrong",
                     "Trial mass place radius is wrong"}
      << "0 0 0 | 1 0 | 1 | 0 0";

  // Two planes.
  s = Two(false, true, true, "10", "12,5", "8", "200", nd);
  s.before.R41 = 3.0;
  QTest::newRow("two grams blades") << s << true << QStringList{} << "0 0 0 | 10 12.5 | 8 | 200 0";
  s = Two(false, true, false, nd, "3", nd, nd, nd);
  QTest::newRow("two mass 1 n.d.")
      << s << false << QStringList{"Trial weight is wrong "} << "0 0 0 | 0 0 | 0 | 0 0";
  s.e.EditM1 = "10";
  s.e.EditM2 = "0";
  QTest::newRow("two mass 2 zero keeps both")
      << s << false << QStringList{"Trial weight is wrong "} << "0 0 0 | 10 0 | 0 | 0 0";
  s.e.EditM2 = "n.d.";
  s.before.TrialM2 = 4;
  QTest::newRow("two mass 2 n.d. keeps the old one")
      << s << false << QStringList{"Trial weight is wrong "} << "0 0 0 | 10 4 | 0 | 0 0";
  s = Two(true, false, true, nd, nd, "2", nd, nd);
  QTest::newRow("two select and 2 vanes")
      << s << false << QStringList{"Select new rotor", "Vanes quantity is wrong"}
      << "0 0 0 | 0 0 | 2 | 0 0";
  s.e.Edit2 = "abc";
  s.before.R11 = 0.02, s.before.R12 = -0.02, s.before.R41 = -7;
  QTest::newRow("two select accepted on the first pair only")
      << s << false << QStringList{"Vanes quantity is wrong"} << "0.02 -0.02 -7 | 0 0 | 0 | 0 0";
  s.before.R11 = 0.005;
  QTest::newRow("two select, square below the threshold")
      << s << false << QStringList{"Select new rotor", "Vanes quantity is wrong"}
      << "0.005 -0.02 -7 | 0 0 | 0 | 0 0";
  s = Two(false, true, false, "1", "1", nd, "-1", "e.f.");
  QTest::newRow("two radius 2 not a number skips the rest")
      << s << false << QStringList{"Trial mass place radius is wrong"} << "0 0 0 | 1 1 | 0 | -1 0";
  s.e.EditD2 = "-2";
  QTest::newRow("two radii negative: one message")
      << s << false << QStringList{"Trial mass place radius is wrong"} << "0 0 0 | 1 1 | 0 | -1 -2";
}

void TestInitialData::continueChecks() {
  QFETCH(Setup, setup);
  QFETCH(bool, ok);
  QFETCH(QStringList, messages);
  QFETCH(QString, input);
  BalInput() = setup.before;
  QStringList shown;
  QCOMPARE(CheckInitialData(setup.mode, setup.e, [&](const QString& m) { shown << m; }), ok);
  QCOMPARE(shown, messages);
  QCOMPARE(InputText(), input);
}

void TestInitialData::storedCoefficientTests_data() {
  QTest::addColumn<int>("mode");
  QTest::addColumn<double>("r11");
  QTest::addColumn<double>("r12");
  QTest::addColumn<bool>("usable");  // "Select rotor" accepts them
  QTest::addColumn<bool>("known");   // the run window skips the trial runs
  const int one = int(BalancingMode::SinglePlane), two = int(BalancingMode::TwoPlane);
  QTest::newRow("single zero") << one << 0.0 << 0.0 << false << false;
  QTest::newRow("single one component") << one << 5.0 << 0.0 << false << true;
  QTest::newRow("single both at 0.001") << one << 0.001 << -0.001 << true << false;
  QTest::newRow("single both above") << one << 0.0011 << -0.0011 << true << true;
  QTest::newRow("two zero") << two << 0.0 << 0.0 << false << false;
  QTest::newRow("two square at 0.0001") << two << 0.01 << -0.01 << true << false;
  QTest::newRow("two one component above") << two << 0.0 << 0.02 << false << true;
  QTest::newRow("two both above") << two << 0.02 << -0.02 << true << true;
}

void TestInitialData::storedCoefficientTests() {
  QFETCH(int, mode);
  QFETCH(double, r11);
  QFETCH(double, r12);
  QFETCH(bool, usable);
  QFETCH(bool, known);
  BalInput().R11 = r11;
  BalInput().R12 = r12;
  QCOMPARE(StoredCoefficientsUsable(BalancingMode(mode)), usable);
  QCOMPARE(CoefficientsKnown(BalancingMode(mode)), known);
}

void TestInitialData::showClearsCoefficientsOfTheModeAndRadii() {
  BalancingInput& b = BalInput();
  b = BalancingInput{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  ClearOnShow(BalancingMode::SinglePlane);
  QCOMPARE(InputText(), QString("0 0 7 | 9 10 | 13 | 0 0"));
  QCOMPARE(b.R21, 3.0);
  ClearOnShow(BalancingMode::TwoPlane);
  QCOMPARE(InputText(), QString("0 0 0 | 9 10 | 13 | 0 0"));
}

QTEST_MAIN(TestInitialData)
#include "test_initialdata.moc"
