// Balancing jobs end to end on the simulated rig, through the windows the composition root
// wires, driven by their keys: each job is archived after its check run and reported, the first
// job's coefficients are stored under the rotor's name, and a second job selects them and goes
// from Run#0 straight to the correction.
#include <QRegularExpression>
#include <QtTest>

#include "RigOperator.h"
#include "balancing/core/BalReport.h"
#include "balancing/core/RunSequence.h"
#include "tests/tables/TableTestUtil.h"

using namespace vintor;
using namespace vintor::test;
using tabletest::QueryOne;
using tabletest::ReadBytes;

namespace {

double Round2(double v) { return QString::number(v, 'f', 2).toDouble(); }

// The archive record a job should have left, from the values it measured and computed.
TableRecord ExpectedRecord(bool two, const QString& name, const QString& place) {
  TableRecord r(two ? TableKind::Arch2 : TableKind::Arch1);
  r.Set("NAME", name);
  r.Set("Place", place);
  r.Set("Date", "2026-01-08 14:03:05");
  r.Set("VO1", Round2(Runs().StartV1o));
  r.Set("VO7", Round2(Runs().EndV1o));
  r.Set("D1", Round2(Corr().StartD1));
  r.Set("D7", Round2(Corr().EndD1));
  if (two) {
    r.Set("VO2", Round2(Runs().StartV2o));
    r.Set("VO8", Round2(Runs().EndV2o));
    r.Set("D2", Round2(Corr().StartD2));
    r.Set("D8", Round2(Corr().EndD2));
  }
  return r;
}

}  // namespace

class TestBalancingStore : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { p_.Finish(); }
  void storeSelectAndReport_data();
  void storeSelectAndReport();

 private:
  // "F9 - Archive" in the correction window after the check run: the archive window comes up
  // on the new record (single-plane beside the correction window, two-plane modally), the
  // operator types the name and the place and presses "F9 - Report", then F10.
  void ArchiveAndReport(CorrectionForm& c, const QString& name, const QString& place);

  ProgramOnRig p_;
};

void TestBalancingStore::ArchiveAndReport(CorrectionForm& c, const QString& name,
                                          const QString& place) {
  const bool two = c.Mode() == BalancingMode::TwoPlane;
  ArchiveForm& archive = two ? static_cast<ArchiveForm&>(p_.App().Arch2()) : p_.App().Arch1();
  const int before = ArchRecNo(two ? Planes::Two : Planes::One);
  auto fill = [this, &archive, two, name, place, before] {
    QCOMPARE(archive.isModal(), two);
    QCOMPARE(archive.Browser()->CurrentRecord(), before + 1);
    QCOMPARE(Number(archive.DBEdit4->text()), Round2(Runs().StartV1o));
    Type(archive.DBEdit1, name);
    Type(archive.DBEdit3, place);
    p_.shell.opened.clear();
    QTest::keyClick(&archive, Qt::Key_F9);
    const QString path = p_.WorkFile(kReportFileName);
    QCOMPARE(p_.shell.opened, QStringList{path});
    const TableRecord expected = ExpectedRecord(two, name, place);
    const QByteArray bytes = ReadBytes(path);
    QCOMPARE(bytes, EncodeLines(ReportLines(two ? Planes::Two : Planes::One, expected)).bytes);
    // The job's own figures, where the report puts them.
    const QString before1 = QString::asprintf("%6.1f", Round2(Runs().StartV1o)).replace('.', ',');
    const QString after1 = QString::asprintf("%6.1f", Round2(Runs().EndV1o)).replace('.', ',');
    const QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    QVERIFY2(lines.value(30).contains(before1), qPrintable(lines.value(30)));
    QVERIFY2(lines.value(34).contains(after1), qPrintable(lines.value(34)));
    QVERIFY(lines.value(1).contains("\"" + name + " \""));
    QTest::keyClick(&archive, Qt::Key_F10);
    QVERIFY(!archive.isVisible());
  };
  QVERIFY(c.Button3->isEnabled());
  if (two) {
    p_.steps.Expect(&archive, fill);
    QTest::keyClick(&c, Qt::Key_F9);
  } else {
    QTest::keyClick(&c, Qt::Key_F9);
    QVERIFY(archive.isVisible());
    fill();
  }
}

void TestBalancingStore::storeSelectAndReport_data() {
  QTest::addColumn<bool>("two");
  QTest::newRow("single-plane") << false;
  QTest::newRow("two-plane") << true;
}

void TestBalancingStore::storeSelectAndReport() {
  QFETCH(bool, two);
  JobSetup job;
  job.two = two;
  job.trial = two ? 2.0 : 3.0;
  const QString name = two ? "Pump 7" : "Fan 3";
  const QStringList first = two ? QStringList{"unbalance1=300@40", "unbalance2=250@220"}
                                : QStringList{"unbalance1=400@130"};
  const QStringList second = two ? QStringList{"unbalance1=200@250", "unbalance2=350@120"}
                                 : QStringList{"unbalance1=250@290"};
  p_.Start(ProgramOnRig::QuietRig() + first);
  if (QTest::currentTestFailed()) return;
  const QString kft = p_.WorkFile(two ? "KftTable2.db" : "KftTable1.db");
  const QString arch = p_.WorkFile(two ? "ArchTable2.db" : "ArchTable1.db");
  const QString kftTable = two ? "KftTable2" : "KftTable1";
  const QString archTable = two ? "ArchTable2" : "ArchTable1";

  // A new rotor: trial runs, correction, check run; archived, reported, coefficients stored.
  JobOutcome one;
  BalancingInput fromTrials;
  QStringList labels;
  p_.Job(two, [&] {
    p_.EnterNewRotor(job);
    TrialRuns(p_, job, &one);
    fromTrials = BalInput();
    CorrectAndCheck(p_, job, &one, [&](CorrectionForm& c) {
      ArchiveAndReport(c, name, "Shop 2");
      StoreCoefficients(p_, c, name, &labels);
    });
    // What was archived is what the windows showed.
    const RunForm& w = p_.Runs(two);
    QVERIFY(std::fabs(Number(w.Step(kRun0).EditV1->text()) - Runs().StartV1o) < 0.006);
    QVERIFY(std::fabs(Number(w.Step(kRunC).EditV1->text()) - Runs().EndV1o) < 0.006);
    QVERIFY(std::fabs(one.correction.d[0] - Corr().StartD1) < 0.051);
    QVERIFY(std::fabs(one.residualCorrection.d[0] - Corr().EndD1) < 0.051);
    QTest::keyClick(&p_.Runs(two), Qt::Key_F10);
  });
  if (QTest::currentTestFailed()) return;
  QCOMPARE(QueryOne(kft, "SELECT COUNT(*) FROM " + kftTable).toInt(), 1);
  QCOMPARE(QueryOne(kft, "SELECT Name FROM " + kftTable).toString(), name);
  QCOMPARE(QueryOne(kft, "SELECT M1 FROM " + kftTable).toDouble(), job.trial);
  QCOMPARE(QueryOne(kft, "SELECT D1 FROM " + kftTable).toDouble(), job.radius);
  QVERIFY(QueryOne(kft, "SELECT L1 FROM " + kftTable).isNull());
  // The coefficients of the trial runs, also when saved after the check run.
  QCOMPARE(QueryOne(kft, "SELECT R11 FROM " + kftTable).toDouble(), fromTrials.R11);
  QCOMPARE(QueryOne(kft, "SELECT R12 FROM " + kftTable).toDouble(), fromTrials.R12);
  if (two) {
    QCOMPARE(QueryOne(kft, "SELECT R21 FROM " + kftTable).toDouble(), fromTrials.R21);
    QCOMPARE(QueryOne(kft, "SELECT R32 FROM " + kftTable).toDouble(), fromTrials.R32);
    QCOMPARE(QueryOne(kft, "SELECT R42 FROM " + kftTable).toDouble(), fromTrials.R42);
    QCOMPARE(QueryOne(kft, "SELECT M2 FROM " + kftTable).toDouble(), job.trial);
  }
  QCOMPARE(labels.size(), two ? 8 : 2);

  // The same rotor again, with a new unbalance: selected by name, no trial runs.
  QCOMPARE(p_.rig.Clear(), QString());
  QCOMPARE(p_.rig.Set(second), QString());
  JobOutcome other;
  const int logBefore = p_.Log(two).size();
  p_.Job(two, [&] {
    InitialDataForm& f = p_.Initial(two);
    p_.SelectRotor(two, [&](CoeffTableForm& t) { PickRotor(t, name); });
    QCOMPARE(f.RadioGroup1->ItemIndex(), 1);  // "Gramm", with the record's mass and radius
    QCOMPARE(f.RadioGroup2->ItemIndex(), 0);  // "Polar"
    QCOMPARE(Number(f.EditM1->text()), job.trial);
    QCOMPARE(Number(f.EditD1->text()), job.radius);
    if (two) QCOMPARE(Number(f.EditM2->text()), job.trial);
    p_.Continue(two);
    p_.OnCorrection(two, [&](CorrectionForm& c) { other.correction = ReadCorrection(c); });
    QVERIFY(p_.Run(two));
    const RunForm& w = p_.Runs(two);
    QCOMPARE(w.Sequence().State().RunStep, kRunC);
    QVERIFY(!w.GroupBox2->isEnabled());
    QVERIFY(w.GroupBox4->isEnabled());
    CorrectAndCheck(p_, job, &other,
                    [&](CorrectionForm& c) { ArchiveAndReport(c, name, "Shop 3"); });
    QCOMPARE(p_.Log(two).mid(logBefore).filter(QRegularExpression("^Run#[12]")), QStringList());
    QTest::keyClick(&p_.Runs(two), Qt::Key_F10);
  });
  if (QTest::currentTestFailed()) return;
  QCOMPARE(BalInput().R11, fromTrials.R11);
  QCOMPARE(BalInput().R12, fromTrials.R12);
  QVERIFY(other.residual[0] <= 0.1 * other.initial[0]);

  // Two records, named and placed as typed, dated by the clock.
  QCOMPARE(QueryOne(arch, "SELECT COUNT(*) FROM " + archTable).toInt(), 2);
  QCOMPARE(QueryOne(arch, "SELECT NAME FROM " + archTable + " WHERE Thr = 1").toString(), name);
  QCOMPARE(QueryOne(arch, "SELECT Place FROM " + archTable + " WHERE Thr = 2").toString(),
           QString("Shop 3"));
  QCOMPARE(QueryOne(arch, "SELECT Date FROM " + archTable + " WHERE Thr = 2").toString(),
           QString("2026-01-08 14:03:05"));
  QCOMPARE(QueryOne(arch, "SELECT VO1 FROM " + archTable + " WHERE Thr = 2").toDouble(),
           Round2(other.initial[0]));
  QCOMPARE(QueryOne(arch, "SELECT VO7 FROM " + archTable + " WHERE Thr = 2").toDouble(),
           Round2(other.residual[0]));
  QVERIFY(p_.dialogs.warnings.isEmpty());
  QVERIFY(p_.dialogs.errors.isEmpty());
}

QTEST_MAIN(TestBalancingStore)
#include "test_balancingstore.moc"
