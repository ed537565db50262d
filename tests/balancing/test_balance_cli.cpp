#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cmath>

#include "tests/support/CliRun.h"

class TestBalanceCli : public QObject {
  Q_OBJECT
 private slots:
  void balance_data();
  void balance();
  void badArguments_data();
  void badArguments();
};

namespace {

using Run = vintor::test::CliRun;
using vintor::test::RunCli;

// Amplitude@phase for the two-plane conversion (3.14/180) of a wanted vector.
QString TwoPlaneRun(double re, double im) {
  const double phase = std::atan2(im, re) / 0.0174444444444444444;
  return QStringLiteral("%1@%2").arg(std::hypot(re, im), 0, 'g', 17).arg(phase, 0, 'g', 17);
}

}  // namespace

// Expected values are a JSON subset of the output: strings and booleans exactly, numbers to
// 1e-9 relative.
void TestBalanceCli::balance_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<QString>("expect");
  const QString b1 = QStringLiteral("balance1"), b2 = QStringLiteral("balance2");

  QTest::newRow("1: example")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10"} << 0
      << R"({"ok":true,"P":100,"M":100,"CorrAngle":180,"CorrAngleShown":180,"EditM1":"100",
            "EditF1":"180","LabelM1":" %","EditD1":"n.d.","U":0,"coeffDerived":true,
            "noCorrection":false,"bladesShown":false})";
  QTest::newRow("1: example, remove mass")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--remove"} << 0
      << R"({"CorrAngle":180,"CorrAngleShown":0,"EditF1":"0","method":"remove"})";
  QTest::newRow("1: grams and moment")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--trial-mass", "20", "--radius", "50"}
      << 0 << R"({"M":20,"U":1000,"EditM1":"20.0","LabelM1":" g.","EditD1":"1000.0"})";
  QTest::newRow("1: 999.9 % passes")
      << QStringList{b1, "--run0", "49.995@0", "--coeff", "3,4"} << 0
      << R"({"ok":true,"P":999.9,"R11":3,"R12":4,"coeffDerived":false,"EditM1":"1000"})";
  QTest::newRow("1: 1000 % fails")
      << QStringList{b1, "--run0", "50@0", "--coeff", "3,4"} << 1
      << R"({"ok":false,"message":"Trial mass weight is wrong","R11":0,"R12":0,
            "EditM1":"n.d.","EditF1":"n.d.","log":["---Trial mass weight is wrong---"]})";
  QTest::newRow("1: no trial effect fails") << QStringList{b1, "--run0", "1@10", "--run1", "1@10"}
                                            << 1 << R"({"ok":false,"failure":"no-trial-effect"})";
  // Stored (1, 1) and sqrt(2) at 180: 100 % at 45 degrees, 10 g on six blades.
  QTest::newRow("1: six blades at 45")
      << QStringList{b1,        "--run0",   "1.4142135623730951@180",
                     "--coeff", "1,1",      "--trial-mass",
                     "10",      "--blades", "6"}
      << 0
      << R"({"CorrAngle":45,"EditM1":"10.0","bladesShown":true,"LabelZ11":"Z1=","EditM11":"2.99",
            "LabelZ12":"Z2=","EditM12":"8.16","LabelM11":" g."})";
  QTest::newRow("1: six blades, 45 removed is 225")
      << QStringList{b1,  "--run0",  "1.4142135623730951@180", "--coeff", "1,1", "--blades",
                     "6", "--remove"}
      << 0 << R"({"CorrAngleShown":225,"LabelZ11":"Z4=","LabelZ12":"Z5="})";
  QTest::newRow("1: zero vibration")
      << QStringList{b1, "--run0", "0@123", "--coeff", "3,4"} << 0
      << R"({"ok":true,"noCorrection":true,"CorrAngle":0,"EditF1":"0",
            "note":"No correction needed"})";

  QTest::newRow("2: decoupled")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0"} << 0
      << R"({"ok":true,"PercentP1":100,"CorrAngleP1":180,"PercentP2":200,"CorrAngleP2":90,
            "CorrMassP1":100,"CorrMassP2":200,"EditM1":"100","EditF1":"180","EditM2":"200",
            "EditF2":"90","LabelM1":" %","EditD1":"n.d.","EditD2":"n.d.","coeffDerived":false,
            "CorrLine2":"M1=100 U1=180 M2=200 U2=90","R":[1,0,0,0,0,0,1,0]})";
  QTest::newRow("2: decoupled, remove, blades")
      << QStringList{b2,         "--run0",   "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0",
                     "--remove", "--blades", "6"}
      << 0 << R"({"CorrAngleP1Shown":0,"CorrAngleP2Shown":270,"EditF1":"0","EditF2":"270",
            "LabelZ11":"Z1=","EditM11":"100","LabelZ12":"Z0=","EditM12":"0.0",
            "LabelZ21":"Z5=","EditM21":"115","LabelZ22":"Z6=","EditM22":"115.5",
            "CorrLine2":"M1=100 U1=180 M2=200 U2=90"})";
  QTest::newRow("2: derived from runs")
      << QStringList{b2,
                     "--run0",
                     "1@0,2@90",
                     "--run1",
                     "2@0,2@90",
                     "--run2",
                     TwoPlaneRun(1, 0) + "," + TwoPlaneRun(1, 2)}
      << 0 << R"({"coeffDerived":true,"PercentP1":100,"PercentP2":200,"CorrAngleP1":180})";
  QTest::newRow("2: 999 % passes")
      << QStringList{b2, "--run0", "9.99@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0"} << 0
      << R"({"ok":true,"PercentP1":999,"EditM1":"999"})";
  QTest::newRow("2: 1000 % fails")
      << QStringList{b2, "--run0", "10@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0"} << 1
      << R"({"ok":false,"message":"Trial mass weight is wrong","failure":"plane1-too-large",
            "R":[0,0,0,0,0,0,0,0],"EditM1":"n.d.","EditF2":"n.d."})";
  QTest::newRow("2: singular fails")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "1,0,1,0,1,0,1,0"} << 1
      << R"({"ok":false,"failure":"singular"})";
  QTest::newRow("2: grams, moments, result line")
      << QStringList{b2,
                     "--run0",
                     TwoPlaneRun(-1.2 * std::cos(-40.5 / 57.2829),
                                 -1.2 * std::sin(-40.5 / 57.2829)) +
                         "," +
                         TwoPlaneRun(-0.7 * std::cos(59.5 / 57.2829),
                                     -0.7 * std::sin(59.5 / 57.2829)),
                     "--coeffs",
                     "1,0,0,0,0,0,1,0",
                     "--trial-mass1",
                     "10",
                     "--trial-mass2",
                     "5",
                     "--radius1",
                     "100",
                     "--radius2",
                     "50"}
      << 0 << R"({"CorrLine2":"M1=12.0 U1=40 M2=3.50 U2=300","CorrMassP1":12,"CorrMassP2":3.5,
            "U1":1200,"U2":175,"EditD1":"1200.0","EditD2":"175.0","LabelM2":" g."})";
  QTest::newRow("2: zero in plane 1")
      << QStringList{b2, "--run0", "0@50,2@90", "--coeffs", "1,0,0,0,0,0,1,0"} << 0
      << R"({"noCorrection":false,"noCorrectionP1":true,"noCorrectionP2":false,"CorrAngleP1":0,
            "note":"No correction needed in plane 1"})";
}

void TestBalanceCli::balance() {
  QFETCH(QStringList, args);
  QFETCH(int, exitCode);
  QFETCH(QString, expect);
  const Run r = RunCli(args);
  QCOMPARE(r.exitCode, exitCode);
  QVERIFY2(r.err.isEmpty(), r.err.constData());
  QJsonParseError perr;
  const QJsonObject want = QJsonDocument::fromJson(expect.toUtf8(), &perr).object();
  QVERIFY2(perr.error == QJsonParseError::NoError, qPrintable(perr.errorString()));
  vintor::test::CompareJsonSubset(r.json, want, 1e-9);
}

void TestBalanceCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  const QString b1 = QStringLiteral("balance1"), b2 = QStringLiteral("balance2");
  QTest::newRow("1: no run0") << QStringList{b1, "--run1", "2@10"};
  QTest::newRow("1: no run1, no coefficient") << QStringList{b1, "--run0", "1@10"};
  QTest::newRow("1: half-stored coefficient needs run1")
      << QStringList{b1, "--run0", "1@10", "--coeff", "5,0"};
  QTest::newRow("1: vector without @") << QStringList{b1, "--run0", "1x10", "--run1", "2@10"};
  QTest::newRow("1: negative amplitude") << QStringList{b1, "--run0", "-1@10", "--run1", "2@10"};
  QTest::newRow("1: not finite") << QStringList{b1, "--run0", "nan@10", "--run1", "2@10"};
  QTest::newRow("1: two blades") << QStringList{b1,     "--run0",   "1@10", "--run1",
                                                "2@10", "--blades", "2"};
  QTest::newRow("1: absurd blade count")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--blades", "2147483647"};
  QTest::newRow("1: blades not whole")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--blades", "6.5"};
  QTest::newRow("1: zero trial mass")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--trial-mass", "0"};
  QTest::newRow("1: radius without trial mass")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--radius", "50"};
  QTest::newRow("1: negative radius")
      << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "--trial-mass", "5", "--radius", "-5"};
  QTest::newRow("1: coefficient with one value")
      << QStringList{b1, "--run0", "1@10", "--coeff", "3"};
  QTest::newRow("1: unknown option") << QStringList{b1, "--run0", "1@10", "--run3", "2@10"};
  QTest::newRow("1: stray word") << QStringList{b1, "--run0", "1@10", "--run1", "2@10", "x"};
  QTest::newRow("2: one channel only")
      << QStringList{b2, "--run0", "1@0", "--coeffs", "1,0,0,0,0,0,1,0"};
  QTest::newRow("2: no run2, no coefficients")
      << QStringList{b2, "--run0", "1@0,2@90", "--run1", "2@0,2@90"};
  QTest::newRow("2: small coefficients need the runs")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "0,0,0,0,0,0,0,0.001"};
  QTest::newRow("2: seven coefficients")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1"};
  QTest::newRow("2: one trial mass")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0", "--trial-mass1", "5"};
  QTest::newRow("2: radius in percent")
      << QStringList{b2, "--run0", "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0", "--radius1", "100"};
}

void TestBalanceCli::badArguments() {
  QFETCH(QStringList, args);
  const Run r = RunCli(args);
  QCOMPARE(r.exitCode, 2);
  QVERIFY(r.json.isEmpty());
  QVERIFY(r.err.startsWith("vintor-cli: "));
}

QTEST_GUILESS_MAIN(TestBalanceCli)
#include "test_balance_cli.moc"
