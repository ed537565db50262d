// Takes a single-plane and a two-plane balancing job through the program's own windows on the
// simulated module (trial masses stood in for by rewriting SimE154.cfg between runs) and saves
// pictures of the run and correction windows: shotbalancing OUTDIR. Run it under Xvfb in an
// empty directory (tools/balancing-shot.sh).
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "app/ui/AppWindows.h"
#include "tools/ShotKit.h"

using namespace vintor;
using namespace shot;

namespace {

// The rotor: channel 1 and 2 rotation-frequency vibration, mm/s at degrees.
void Rig(double a1, double p1, double a2, double p2) {
  Write("SimE154.cfg", QStringLiteral("pace = 0\nrpm = 1480\nrpm_wander = 0.3\nch1_1x = %1\n"
                                      "ch1_1x_phase = %2\nch2_1x = %3\nch2_1x_phase = %4\n")
                           .arg(a1)
                           .arg(p1)
                           .arg(a2)
                           .arg(p2)
                           .toUtf8());
}

void SinglePlaneJob(AppWindows& app, CorrectionAnswer& answer) {
  FormB10& b10 = app.B10();
  FormB11& b11 = app.B11();
  b10.RadioGroup1->Item(1)->click();
  b10.EditM1->setText("10");
  b10.EditD1->setText("250");
  b10.Button2->click();
  Rig(4.5, 60, 1.2, 200);
  b11.ButtonP1->click();
  Rig(5.41, 93.7, 1.2, 200);  // trial mass: +3 mm/s at 150
  answer.next = "corr1-trial.png";
  b11.ButtonP2->click();
  Rig(0.35, 110, 1.2, 200);
  CheckRun(b11, answer, "corr1.png", "run1.png");
  b11.Button1->click();
}

void TwoPlaneJob(AppWindows& app, CorrectionAnswer& answer) {
  FormB20& b20 = app.B20();
  FormB21& b21 = app.B21();
  b20.RadioGroup1->Item(1)->click();
  b20.EditM1->setText("10");
  b20.EditM2->setText("8");
  b20.EditD1->setText("250");
  b20.EditD2->setText("250");
  b20.RadioGroup2->Item(1)->click();
  b20.Edit2->setText("6");
  b20.Button2->click();
  Rig(4.5, 60, 2.0, 200);
  b21.ButtonP1->click();
  Rig(5.41, 93.7, 2.52, 175.3);  // trial mass in plane 1
  b21.ButtonP2->click();
  Rig(4.66, 47.5, 4.36, 145.4);  // trial mass in plane 2
  answer.next = "corr2-trial.png";
  b21.ButtonP3->click();
  Rig(0.4, 120, 0.3, 30);
  CheckRun(b21, answer, "corr2.png", "run2.png");
  b21.Button1->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  if (!Begin(argc, argv, "shotbalancing")) return 2;
  Rig(4.5, 60, 2.0, 200);

  AppWindows app;
  CorrectionAnswer answer1(&app.B12());
  CorrectionAnswer answer2(&app.B22());
  RunJobs(
      app, [&] { SinglePlaneJob(app, answer1); }, [&] { TwoPlaneJob(app, answer2); });
  return Finish();
}
