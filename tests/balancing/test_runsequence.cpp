// The run windows' sequence without widgets, as a table: (state, events) -> state, with the
// follow-up actions of each run and what F8 and F9 do next.
#include <QtTest>

#include "balancing/core/RunSequence.h"

using namespace vintor;

namespace {

// Plays `events` on a sequence as the run window would and returns the actions it took.
// Events: continue, show, close, esc, prev (the current step), begin<k>, abort<k>, and a whole
// run r<k>+ (success) or r<k>- (failure), with a trailing k when the coefficients are known, a
// trailing g or r when a trial run changed the vibration too little and the operator goes on
// or repeats the step.
// Actions: spk (spectrum), arch (archive button enabled), corr (correction window shown), ask
// (the trial-effect question).
QString Play(RunSequence& seq, const QString& events) {
  QStringList actions;
  for (const QString& e : events.split(' ', Qt::SkipEmptyParts)) {
    if (e == "continue") {
      seq.HideTachoLabel();
      seq.EnableRun0Group();
    } else if (e == "show") {
      seq.Show();
    } else if (e == "close") {
      seq.Close();
    } else if (e == "esc") {
      seq.Escape();
    } else if (e == "prev") {
      seq.PrevStep(seq.State().RunStep);
    } else if (e.startsWith("begin")) {
      seq.BeginRun(e.mid(5).toInt());
    } else if (e.startsWith("abort")) {
      seq.AbortRun(e.mid(5).toInt());
    } else if (e.startsWith('r')) {
      const int k = e.mid(1, 1).toInt();
      const bool ok = e.mid(2, 1) == "+";
      const bool known = e.endsWith('k');
      const bool small = e.endsWith('g') || e.endsWith('r');
      seq.BeginRun(k);
      for (AfterRun a : RunSequence::AfterRunOrder(seq.Mode(), k)) {
        switch (a) {
          case AfterRun::TrialCheck:
            if (!ok || !small) break;
            actions << "ask";
            if (e.endsWith('r')) seq.RepeatStep(k);
            break;
          case AfterRun::Outcome: {
            const OutcomeEffects fx = seq.Outcome(k, ok);
            if (fx.enableArchive) actions << "arch";
            if (fx.showCorrection) actions << "corr";
            break;
          }
          case AfterRun::Spectrum:
            actions << "spk";
            break;
          case AfterRun::KnownCoefficientTest:
            if (seq.KnownCoefficientTest(known)) {
              actions << "corr";
              seq.AfterKnownCorrection();
            }
            break;
          case AfterRun::FinishCheckRun:
            seq.FinishCheckRun();
            break;
        }
      }
      seq.EndRun();
    } else {
      qFatal("unknown event %s", qPrintable(e));
    }
  }
  return actions.join(' ');
}

QString KeyText(const RunSequence& seq) {
  auto f8 = [&] {
    switch (seq.F8Action()) {
      case KeyAction::Escape:
        return QString("escape");
      case KeyAction::PrevStep:
        return QString("prev");
      default:
        return QString("-");
    }
  };
  return QStringLiteral("F9=%1 F8=%2").arg(seq.F9Step()).arg(f8());
}

}  // namespace

class TestRunSequence : public QObject {
  Q_OBJECT
 private slots:
  void table_data();
  void table();
};

void TestRunSequence::table_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QString>("events");
  QTest::addColumn<QString>("state");
  QTest::addColumn<QString>("actions");
  QTest::addColumn<QString>("keys");

  // Single plane.
  QTest::newRow("created")
      << false << ""
      << "step=0 back=0 label=0 | 1 pale off -- | 2 pale off -- | 4 pale off --"
      << ""
      << "F9=0 F8=-";
  QTest::newRow("shown after continue")
      << false << "continue show"
      << "step=1 back=0 label=0 | 1 green on PB | 2 pale off -- | 4 pale off --"
      << ""
      << "F9=1 F8=escape";
  QTest::newRow("run0 ok")
      << false << "continue show r1+"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 pale off --"
      << "spk"
      << "F9=2 F8=prev";
  QTest::newRow("run0 failed")
      << false << "continue show r1-"
      << "step=1 back=0 label=1 | 1 red on PB | 2 pale off -- | 4 pale off --"
      << "spk"
      << "F9=1 F8=escape";
  QTest::newRow("run0 failed then ok")
      << false << "continue show r1- r1+"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 pale off --"
      << "spk spk"
      << "F9=2 F8=prev";
  QTest::newRow("run1 ok shows the correction")
      << false << "continue show r1+ r2+"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 4 green on PB"
      << "spk corr spk"
      << "F9=4 F8=prev";
  QTest::newRow("run1 small effect, go on")
      << false << "continue show r1+ r2+g"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 4 green on PB"
      << "spk ask corr spk"
      << "F9=4 F8=prev";
  // The question comes before the outcome: repeating never shows the correction.
  QTest::newRow("run1 small effect, repeat")
      << false << "continue show r1+ r2+r"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 pale off --"
      << "spk ask spk"
      << "F9=2 F8=prev";
  QTest::newRow("run1 repeated, then ok")
      << false << "continue show r1+ r2+r r2+"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 4 green on PB"
      << "spk ask spk corr spk"
      << "F9=4 F8=prev";
  QTest::newRow("run1 failed")
      << false << "continue show r1+ r2-"
      << "step=2 back=0 label=1 | 1 lime off -- | 2 red on PB | 4 pale off --"
      << "spk spk"
      << "F9=2 F8=prev";
  QTest::newRow("runC ok: archive, no way back")
      << false << "continue show r1+ r2+ r4+"
      << "step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 4 green on P-"
      << "spk corr spk arch corr spk"
      << "F9=4 F8=-";
  QTest::newRow("runC failed keeps its Run button")
      << false << "continue show r1+ r2+ r4-"
      << "step=4 back=1 label=1 | 1 lime off -- | 2 lime off -- | 4 red on P-"
      << "spk corr spk spk"
      << "F9=4 F8=-";
  QTest::newRow("runC repeated after a failure")
      << false << "continue show r1+ r2+ r4- r4+"
      << "step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 4 green on P-"
      << "spk corr spk spk arch corr spk"
      << "F9=4 F8=-";
  QTest::newRow("known coefficients skip run1")
      << false << "continue show r1+k"
      << "step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 4 green on PB"
      << "spk corr"
      << "F9=4 F8=prev";
  QTest::newRow("known coefficients after a failed run0")
      << false << "continue show r1-k"
      << "step=4 back=1 label=1 | 1 red on PB | 2 lime off -- | 4 green on PB"
      << "spk corr"
      << "F9=4 F8=prev";
  QTest::newRow("known: prev from runC goes to run0")
      << false << "continue show r1+k prev"
      << "step=1 back=1 label=0 | 1 green on PB | 2 lime off -- | 4 lime off --"
      << "spk corr"
      << "F9=1 F8=escape";
  QTest::newRow("new rotor: prev from runC goes to run1")
      << false << "continue show r1+ r2+ prev"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 lime off --"
      << "spk corr spk"
      << "F9=2 F8=prev";
  QTest::newRow("prev from run1")
      << false << "continue show r1+ prev"
      << "step=1 back=0 label=0 | 1 green on PB | 2 lime off -- | 4 pale off --"
      << "spk"
      << "F9=1 F8=escape";
  QTest::newRow("escape") << false << "continue show esc"
                          << "step=0 back=0 label=0 | 1 green on PB | 2 pale off -- | 4 pale off --"
                          << ""
                          << "F9=0 F8=-";
  QTest::newRow("escape closes")
      << false << "continue show esc close"
      << "step=0 back=0 label=0 | 1 lime off PB | 2 lime off -- | 4 lime off --"
      << ""
      << "F9=0 F8=-";
  QTest::newRow("shown again after a close")
      << false << "continue show r1+ r2+ close continue show"
      << "step=1 back=0 label=0 | 1 green on PB | 2 lime off -- | 4 lime off --"
      << "spk corr spk"
      << "F9=1 F8=escape";
  QTest::newRow("nothing while run0 records")
      << false << "continue show begin1"
      << "step=1 back=0 label=0 | 1 green on -- | 2 pale off -- | 4 pale off --"
      << ""
      << "F9=0 F8=-";
  QTest::newRow("an aborted run0 gives its buttons back")
      << false << "continue show begin1 abort1"
      << "step=1 back=0 label=0 | 1 green on PB | 2 pale off -- | 4 pale off --"
      << ""
      << "F9=1 F8=escape";
  QTest::newRow("run1 keeps its buttons while it records, keys do nothing")
      << false << "continue show r1+ begin2"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 4 pale off --"
      << "spk"
      << "F9=0 F8=-";

  // Two planes.
  QTest::newRow("two: run1 ok") << true << "continue show r1+ r2+"
                                << "step=3 back=0 label=0 | 1 lime off -- | 2 lime off -- | "
                                   "3 green on PB | 4 pale off --"
                                << "spk spk"
                                << "F9=3 F8=prev";
  QTest::newRow("two: run1 failed")
      << true << "continue show r1+ r2-"
      << "step=2 back=0 label=1 | 1 lime off -- | 2 red on PB | 3 pale off -- | 4 pale off --"
      << "spk spk"
      << "F9=2 F8=prev";
  QTest::newRow("two: run2 ok, spectrum first")
      << true << "continue show r1+ r2+ r3+"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 lime off -- | 4 green on PB"
      << "spk spk spk arch corr"
      << "F9=4 F8=prev";
  QTest::newRow("two: run1 small effect, repeat")
      << true << "continue show r1+ r2+r"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 3 pale off -- | 4 pale off --"
      << "spk ask spk"
      << "F9=2 F8=prev";
  // Run#2 disabled its buttons while it recorded: repeating gives them back.
  QTest::newRow("two: run2 small effect, repeat")
      << true << "continue show r1+ r2+ r3+r"
      << "step=3 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 green on PB | 4 pale off --"
      << "spk spk spk ask"
      << "F9=3 F8=prev";
  QTest::newRow("two: run2 small effect, go on")
      << true << "continue show r1+ r2+ r3+g"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 lime off -- | 4 green on PB"
      << "spk spk spk ask arch corr"
      << "F9=4 F8=prev";
  QTest::newRow("two: run2 repeated, then ok")
      << true << "continue show r1+ r2+ r3+r r3+"
      << "step=4 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 lime off -- | 4 green on PB"
      << "spk spk spk ask spk arch corr"
      << "F9=4 F8=prev";
  QTest::newRow("two: run2 failed")
      << true << "continue show r1+ r2+ r3-"
      << "step=3 back=0 label=1 | 1 lime off -- | 2 lime off -- | 3 red on PB | 4 pale off --"
      << "spk spk spk"
      << "F9=3 F8=prev";
  QTest::newRow("two: runC ok")
      << true << "continue show r1+ r2+ r3+ r4+"
      << "step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 3 lime off -- | 4 green on P-"
      << "spk spk spk arch corr spk arch corr"
      << "F9=4 F8=-";
  QTest::newRow("two: prev from runC goes to run2")
      << true << "continue show r1+ r2+ r3+ prev"
      << "step=3 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 green on PB | 4 lime off --"
      << "spk spk spk arch corr"
      << "F9=3 F8=prev";
  QTest::newRow("two: prev from run2 goes to run1")
      << true << "continue show r1+ r2+ prev"
      << "step=2 back=0 label=0 | 1 lime off -- | 2 green on PB | 3 lime off -- | 4 pale off --"
      << "spk spk"
      << "F9=2 F8=prev";
  QTest::newRow("two: known coefficients")
      << true << "continue show r1+k"
      << "step=4 back=1 label=0 | 1 lime off -- | 2 lime off -- | 3 lime off -- | 4 green on PB"
      << "spk corr"
      << "F9=4 F8=prev";
  // Showing the correction window performs Continue, which enables the Run#0 group again.
  QTest::newRow("two: continue from the correction window")
      << true << "continue show r1+ r2+ r3+ continue"
      << "step=4 back=0 label=0 | 1 green on -- | 2 lime off -- | 3 lime off -- | 4 green on PB"
      << "spk spk spk arch corr"
      << "F9=4 F8=prev";
  QTest::newRow("two: run2 disables its buttons while it records")
      << true << "continue show r1+ r2+ begin3"
      << "step=3 back=0 label=0 | 1 lime off -- | 2 lime off -- | 3 green on -- | 4 pale off --"
      << "spk spk"
      << "F9=0 F8=-";
}

void TestRunSequence::table() {
  QFETCH(bool, two);
  QFETCH(QString, events);
  QFETCH(QString, state);
  QFETCH(QString, actions);
  QFETCH(QString, keys);
  RunSequence seq(two ? BalancingMode::TwoPlane : BalancingMode::SinglePlane);
  QCOMPARE(Play(seq, events), actions);
  QCOMPARE(seq.Text(), state);
  QCOMPARE(KeyText(seq), keys);
}

QTEST_MAIN(TestRunSequence)
#include "test_runsequence.moc"
