// The pictures of the manual's walk-through: a single-plane job on the simulated rig, worked
// the way the manual tells it, with the masses attached in the "Simulated rig" window.
// shotwalkthrough OUTDIR; run it under Xvfb in an empty directory (tools/walkthrough-shots.sh).
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include "app/ui/AppWindows.h"
#include "tools/ShotKit.h"

using namespace vintor;
using namespace shot;

namespace {

// The operator at the rig window: attach a mass on plane 1 at an angle.
void Attach(FormRig& rig, const QString& grams, const QString& angle) {
  rig.ComboPlane->setCurrentIndex(0);
  rig.EditMass->setText(grams);
  rig.EditRadius->clear();
  rig.RadioAngle->setChecked(true);
  rig.EditAngle->setText(angle);
  rig.ButtonAttach->click();
}

void Job(AppWindows& app, CorrectionAnswer& answer) {
  FormRig* rig = app.Rig();
  if (!rig) {
    Fail("no rig window: the simulated module is not in use");
    app.B10().reject();
    return;
  }
  FormB10& b10 = app.B10();
  FormB11& b11 = app.B11();
  b10.RadioGroup0->Item(0)->click();
  b10.RadioGroup1->Item(1)->click();
  b10.EditM1->setText("3");
  b10.EditD1->setText("100");
  b10.RadioGroup2->Item(0)->click();
  Pause(200);
  Save(&b10, "wt-initial.png");
  b10.Button2->click();

  b11.ButtonP1->click();  // Run#0
  Pause(300);
  // The steps and their fields; the log and the charts are shown after the check run.
  SaveImage(b11.grab(QRect(0, 0, 480, 490)).toImage(), "wt-run0.png");

  Attach(*rig, "3", "0");  // the trial mass at the trial-mass point
  Pause(200);
  Save(rig, "wt-rig-trial.png");
  // The correction the window shows is the mass to attach.
  QString mass, angle;
  answer.first = [&app, &mass, &angle] {
    mass = app.B12().EditM1->text();
    angle = app.B12().EditF1->text();
  };
  answer.next = "wt-correction.png";
  b11.ButtonP2->click();  // Run#1, then the correction window

  // Trial mass off, correction on.
  rig->ListMasses[0]->setCurrentRow(0);
  rig->ButtonRemove[0]->click();
  Attach(*rig, mass, angle);
  Pause(200);
  Save(rig, "wt-rig-correction.png");
  CheckRun(b11, answer, "wt-residual.png", "wt-check.png");  // RunC, the residual correction
  b11.Button1->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  if (!Begin(argc, argv, "shotwalkthrough")) return 2;
  g_small = true;  // the manual's pictures
  // The rotor of the walk-through: quiet, and fast so the runs do not take their real time.
  Write("SimE154.cfg",
        "pace = 0\r\nrpm_wander = 0.1\r\nch1_noise = 0.05\r\nch2_noise = 0.05\r\n"
        "unbalance1 = 400@130\r\n");

  AppWindows app;
  CorrectionAnswer answer(&app.B12());
  app.Main().show();
  app.Main().PageControl1->setCurrentIndex(0);
  QTimer::singleShot(600, [&] {
    if (FormRig* rig = app.Rig())
      Save(rig, "wt-rig.png");
    else
      Fail("no rig window");
    QTimer::singleShot(0, [&] { Job(app, answer); });
    app.Main().PageControl1->setCurrentIndex(0);
    app.Main().Button7->click();  // F7 - Balancing: the initial data, modally
    qapp.quit();
  });
  qapp.exec();
  return Finish();
}
