// A two-plane job through the program's own windows on the simulated rig, its trial and
// correction masses attached to the rig's planes (SimE154.cfg through SimRig), and pictures of
// the balancing aids: shotaids OUTDIR writes initial2.png (the trial-mass suggestion),
// corr2-trial.png (the correction after the trial runs, with the tolerance verdicts), corr2.png
// and run2.png (after the check run, with their polar diagrams) and vectors.png (the vector
// tools); a single-plane job on a three-bladed rotor before it gives initial1.png, corr1.png and
// run1.png. Run it under Xvfb in an empty directory (tools/aids-shot.sh).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/ui/AppWindows.h"
#include "balancing/VectorToolsForm.h"
#include "balancing/core/BalancingState.h"
#include "platform/SimRig.h"
#include "tools/ShotKit.h"

using namespace vintor;
using namespace shot;

namespace {

QString RigPath() { return QDir(g_work).filePath(QStringLiteral("SimE154.cfg")); }

// The rotor as found: an unbalance in each plane and a little vibration no mass can remove.
void NewRig() {
  SimRig rig;
  if (!rig.Load(RigPath())) Fail("rig not readable");
  for (const auto& [key, value] : {std::pair{"pace", "0"},
                                   {"rpm", "1480"},
                                   {"rpm_wander", "0.3"},
                                   {"ch1_1x", "0.25"},
                                   {"ch1_1x_phase", "40"},
                                   {"ch2_1x", "0.2"},
                                   {"ch2_1x_phase", "250"},
                                   {"unbalance1", "400@130"},
                                   {"unbalance2", "180@300"}}) {
    if (!rig.Set(QString::fromLatin1(key), QString::fromLatin1(value)).isEmpty())
      Fail("rig key refused");
  }
  rig.Clear(0);
  if (!rig.Save()) Fail("rig not written");
}

// Masses on or off the rig: plane, grams, degrees from the trial-mass point.
void Attach(int plane, double grams, double angle) {
  SimRig rig;
  rig.Load(RigPath());
  if (!rig.Attach(plane, {grams, angle, 0.0}).isEmpty()) Fail("mass refused");
  if (!rig.Save()) Fail("rig not written");
}

void ClearPlane(int plane) {
  SimRig rig;
  rig.Load(RigPath());
  rig.Clear(plane);
  if (!rig.Save()) Fail("rig not written");
}

// The single-plane windows after a job on plane 1 of the rig, three blades, grade G 2.5.
void SinglePlaneJob(AppWindows& app, CorrectionAnswer& answer) {
  FormB10& b10 = app.B10();
  FormB11& b11 = app.B11();
  FormB12& b12 = app.B12();
  b10.RadioGroup1->Item(1)->click();
  b10.EditM1->setText("3");
  b10.EditD1->setText("100");
  b10.RadioGroup2->Item(1)->click();
  b10.Edit2->setText("3");
  b10.EditRotorMass->setText("30");
  Pause(300);
  Save(&b10, "initial1.png");
  b10.Button2->click();

  NewRig();
  b11.ButtonP1->click();
  Attach(1, 3.0, 0.0);
  double m = 0, f = 0;
  answer.first = [&] {
    b12.ComboGrade->setCurrentIndex(3);  // G 2.5
    m = b12.Correction().Result().M;
    f = Corr().CorrAngleShown;
  };
  b11.ButtonP2->click();
  std::printf("single-plane correction: %.2f g at %.0f\n", m, f);
  ClearPlane(1);
  Attach(1, m, f);
  CheckRun(b11, answer, "corr1.png", "run1.png");
  b11.Button1->click();
}

void TwoPlaneJob(AppWindows& app, CorrectionAnswer& answer) {
  FormB20& b20 = app.B20();
  FormB21& b21 = app.B21();
  FormB22& b22 = app.B22();
  b20.RadioGroup1->Item(1)->click();
  b20.EditM1->setText("3");
  b20.EditM2->setText("3");
  b20.EditD1->setText("100");
  b20.EditD2->setText("100");
  b20.EditRotorMass->setText("60");
  b20.EditServiceRpm->setText("1480");
  Pause(300);
  Save(&b20, "initial2.png");
  b20.Button2->click();

  NewRig();
  b21.ButtonP1->click();
  Attach(1, 3.0, 0.0);  // trial mass in plane 1, at the trial-mass point
  b21.ButtonP2->click();
  ClearPlane(1);
  Attach(2, 3.0, 0.0);  // trial mass in plane 2
  double m1 = 0, f1 = 0, m2 = 0, f2 = 0;
  answer.first = [&] {
    b22.ComboGrade->setCurrentIndex(4);  // G 6.3
    m1 = b22.Correction().Result().CorrMassP1;
    m2 = b22.Correction().Result().CorrMassP2;
    f1 = Corr().CorrAngleP1Shown;
    f2 = Corr().CorrAngleP2Shown;
  };
  answer.next = "corr2-trial.png";
  b21.ButtonP3->click();
  std::printf("correction: %.2f g at %.0f, %.2f g at %.0f\n", m1, f1, m2, f2);
  if (!(m1 > 0 && m2 > 0)) Fail("no correction");

  ClearPlane(2);
  Attach(1, m1, f1);
  Attach(2, m2, f2);
  CheckRun(b21, answer, "corr2.png", "run2.png");

  // The vector tools with an example in each group.
  VectorToolsForm* v = b22.VectorTools();
  v->EditMass[0]->setText("10");
  v->EditAngle[0]->setText("0");
  v->EditMass[1]->setText("10");
  v->EditAngle[1]->setText("90");
  v->EditSplitMass->setText("10");
  v->EditSplitAngle->setText("45");
  v->EditAt1->setText("0");
  v->EditAt2->setText("120");
  v->Combine();
  v->Split();
  v->show();
  Pause(300);
  Save(v, "vectors.png");
  v->close();
  b21.Button1->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  if (!Begin(argc, argv, "shotaids")) return 2;
  NewRig();

  AppWindows app;
  // The windows get a moment more to draw what `first` changed.
  CorrectionAnswer answer1(&app.B12(), 200);
  CorrectionAnswer answer(&app.B22(), 200);
  RunJobs(
      app, [&] { SinglePlaneJob(app, answer1); }, [&] { TwoPlaneJob(app, answer); });
  return Finish();
}
