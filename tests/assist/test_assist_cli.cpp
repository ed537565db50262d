#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cmath>

#include "tests/support/CliRun.h"

class TestAssistCli : public QObject {
  Q_OBJECT
 private slots:
  void results_data();
  void results();
  void badArguments_data();
  void badArguments();
};

namespace {

using Run = vintor::test::CliRun;
using vintor::test::RunCli;

}  // namespace

// Expected: a JSON subset of the output; numbers to 1e-6 relative, the rest exactly.
void TestAssistCli::results_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QString>("expect");
  // 9549 x 2.5 x 100 / 3000 = 795.75; 9549 x 6.3 x 200 / 1500 = 8021.16, 30 % of it 2406.348.
  QTest::newRow("tolerance G2.5") << QStringList{"tolerance", "--grade", "2.5", "--rotor-mass",
                                                 "100",       "--rpm",   "3000"}
                                  << R"({"Uper":795.75,"Uper1":397.875,"Uper2":397.875})";
  QTest::newRow("tolerance G6.3 written G6.3, share")
      << QStringList{"tolerance", "--grade", "G6.3",    "--rotor-mass", "200",
                     "--rpm",     "1500",    "--share", "0.3"}
      << R"({"Uper":8021.16,"Uper1":2406.348,"Uper2":5614.812})";
  QTest::newRow("trial mass") << QStringList{"trial-mass", "--rotor-mass", "100", "--radius",
                                             "200",        "--rpm",        "3000"}
                              << R"({"TrialMass":4.969804057656667})";
  QTest::newRow("combine") << QStringList{"vector", "combine", "3@0", "4@90"}
                           << R"({"M":5,"A":53.13010235415598})";
  QTest::newRow("combine, negative angle")
      << QStringList{"vector", "combine", "2@-90"} << R"({"M":2,"A":270})";
  QTest::newRow("split") << QStringList{"vector", "split", "10@350", "--at", "330,30"}
                         << R"({"M1":7.422271989685595,"A1":330,"M2":3.9493084363469846,"A2":30})";
  QTest::newRow("split, --at first") << QStringList{"vector", "split", "--at", "0,90", "10@45"}
                                     << R"({"M1":7.0710678118654755,"M2":7.0710678118654755})";
  // 1@10 -> 1.1@12: 10.6 % and 2 degrees; 1@10 -> 2@10: 100 %.
  QTest::newRow("balance1, weak trial")
      << QStringList{"balance1", "--run0", "1@10", "--run1", "1.1@12"}
      << R"({"ok":true,"trialEffectSmall":true})";
  QTest::newRow("balance1, good trial")
      << QStringList{"balance1", "--run0", "1@10", "--run1", "2@10"}
      << R"({"ok":true,"trialEffectSmall":false})";
  QTest::newRow("balance1, no trial run")
      << QStringList{"balance1", "--run0", "1@10", "--coeff", "3,4"}
      << R"({"trialEffectSmall":false})";
  QTest::newRow("balance1, failed and weak")
      << QStringList{"balance1", "--run0", "1@10", "--run1", "1@10"}
      << R"({"ok":false,"failure":"no-trial-effect","trialEffectSmall":true})";
  // Each trial moves one channel only: still enough, "small" needs every channel small.
  QTest::newRow("balance2, good trials")
      << QStringList{"balance2", "--run0", "1@0,2@90", "--run1", "2@0,2@90", "--run2", "1@0,4@90"}
      << R"({"ok":true,"trialEffectSmall":false,"trialEffectSmall1":false,
            "trialEffectSmall2":false})";
  // Run#2 moves channel 2 by 10 % and 1 degree, channel 1 not at all: the computation still
  // passes (984 % in plane 2), the check is what tells the operator.
  QTest::newRow("balance2, second trial weak")
      << QStringList{"balance2", "--run0", "1@0,2@90", "--run1", "2@0,2@90", "--run2", "1@0,2.2@91"}
      << R"({"ok":true,"PercentP2":984,"trialEffectSmall":true,"trialEffectSmall1":false,
            "trialEffectSmall2":true})";
  QTest::newRow("balance2, stored coefficients")
      << QStringList{"balance2", "--run0", "1@0,2@90", "--coeffs", "1,0,0,0,0,0,1,0"}
      << R"({"ok":true,"trialEffectSmall":false})";
}

void TestAssistCli::results() {
  QFETCH(QStringList, args);
  QFETCH(QString, expect);
  const Run r = RunCli(args);
  const bool wantOk = !expect.contains(QLatin1String("\"ok\":false"));
  QCOMPARE(r.exitCode, wantOk ? 0 : 1);
  QVERIFY2(r.err.isEmpty(), r.err.constData());
  const QJsonObject want = QJsonDocument::fromJson(expect.toUtf8()).object();
  QVERIFY(!want.isEmpty());
  vintor::test::CompareJsonSubset(r.json, want, 1e-6);
}

void TestAssistCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QString>("message");  // a part of the one-line message
  const QString t = "tolerance", m = "trial-mass", v = "vector";
  QTest::newRow("grade off the list")
      << QStringList{t, "--grade", "3", "--rotor-mass", "100", "--rpm", "3000"} << "--grade";
  QTest::newRow("grade not a number")
      << QStringList{t, "--grade", "good", "--rotor-mass", "100", "--rpm", "3000"} << "--grade";
  QTest::newRow("no grade") << QStringList{t, "--rotor-mass", "100", "--rpm", "3000"} << "--grade";
  QTest::newRow("rotor mass 0") << QStringList{t,   "--grade", "2.5", "--rotor-mass",
                                               "0", "--rpm",   "3000"}
                                << "--rotor-mass";
  QTest::newRow("speed negative") << QStringList{t,     "--grade", "2.5",  "--rotor-mass",
                                                 "100", "--rpm",   "-3000"}
                                  << "--rpm";
  QTest::newRow("speed missing") << QStringList{t, "--grade", "2.5", "--rotor-mass", "100"}
                                 << "--rpm";
  QTest::newRow("share 1") << QStringList{t,      "--grade", "2.5", "--rotor-mass", "100", "--rpm",
                                          "3000", "--share", "1"}
                           << "--share";
  QTest::newRow("share in percent")
      << QStringList{t, "--grade", "2.5", "--rotor-mass", "100", "--rpm", "3000", "--share", "60"}
      << "--share";
  QTest::newRow("trial: mass not a number")
      << QStringList{m, "--rotor-mass", "heavy", "--radius", "200", "--rpm", "3000"}
      << "--rotor-mass";
  QTest::newRow("trial: radius 0")
      << QStringList{m, "--rotor-mass", "100", "--radius", "0", "--rpm", "3000"} << "--radius";
  QTest::newRow("trial: radius negative")
      << QStringList{m, "--rotor-mass", "100", "--radius", "-5", "--rpm", "3000"} << "--radius";
  QTest::newRow("trial: speed nan")
      << QStringList{m, "--rotor-mass", "100", "--radius", "200", "--rpm", "nan"} << "--rpm";
  QTest::newRow("trial: stray word")
      << QStringList{m, "--rotor-mass", "100", "--radius", "200", "--rpm", "3000", "x"}
      << "unexpected";
  QTest::newRow("vector: no tool") << QStringList{v} << "combine";
  QTest::newRow("vector: unknown tool") << QStringList{v, "add", "1@0"} << "unknown tool";
  QTest::newRow("combine: nothing") << QStringList{v, "combine"} << "M@A";
  QTest::newRow("combine: no @") << QStringList{v, "combine", "10", "5@90"} << "M@A";
  QTest::newRow("combine: negative mass") << QStringList{v, "combine", "-10@0"} << "M@A";
  QTest::newRow("combine: zero mass") << QStringList{v, "combine", "0@0"} << "M@A";
  QTest::newRow("split: equal angles")
      << QStringList{v, "split", "10@45", "--at", "30,30"} << "180 degrees apart";
  QTest::newRow("split: opposite angles")
      << QStringList{v, "split", "10@45", "--at", "10,190"} << "180 degrees apart";
  QTest::newRow("split: no --at") << QStringList{v, "split", "10@45"} << "--at";
  QTest::newRow("split: one angle") << QStringList{v, "split", "10@45", "--at", "30"} << "--at";
  QTest::newRow("split: two masses")
      << QStringList{v, "split", "10@45", "5@0", "--at", "0,90"} << "one M@A";
}

void TestAssistCli::badArguments() {
  QFETCH(QStringList, args);
  QFETCH(QString, message);
  const Run r = RunCli(args);
  QCOMPARE(r.exitCode, 2);
  QVERIFY(r.json.isEmpty());
  QVERIFY2(r.err.startsWith("vintor-cli: ") && r.err.count('\n') == 1, r.err.constData());
  QVERIFY2(QString::fromLocal8Bit(r.err).contains(message), r.err.constData());
}

QTEST_GUILESS_MAIN(TestAssistCli)
#include "test_assist_cli.moc"
