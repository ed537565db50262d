// The pictures of the manual's walk-through: a single-plane job on the simulated rig, worked
// the way the manual tells it, with the masses attached in the "Simulated rig" window.
// shotwalkthrough OUTDIR; run it under Xvfb in an empty directory (tools/walkthrough-shots.sh).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/ui/AppWindows.h"

using namespace vintor;

namespace {

QString g_out;
int g_failures = 0;

void Fail(const char* what) {
  std::fprintf(stderr, "shotwalkthrough: %s\n", what);
  ++g_failures;
}

// Screenshots are flat colours: a palette of 256 keeps them small without a visible loss.
void SaveImage(const QImage& image, const QString& name) {
  const QImage small = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  // Quality 0: the strongest compression.
  if (!small.save(QDir(g_out).filePath(name), "PNG", 0)) Fail(qPrintable(name));
}

void Save(QWidget* w, const QString& name) { SaveImage(w->grab().toImage(), name); }

void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Takes the picture of the correction window once it is on screen, keeps what it shows and
// closes it with F10 as the operator would.
class Answer final : public QObject {
 public:
  explicit Answer(CorrectionForm* w) : w_(w) { w->installEventFilter(this); }
  QString next;  // picture name for the next showing
  QString mass, angle;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == w_ && e->type() == QEvent::Show) {
      QTimer::singleShot(400, w_, [this] {
        if (!next.isEmpty()) Save(w_, next);
        next.clear();
        mass = w_->EditM1->text();
        angle = w_->EditF1->text();
        w_->Button1->click();
      });
    }
    return false;
  }

 private:
  CorrectionForm* w_;
};

// The operator at the rig window: attach a mass on plane 1 at an angle.
void Attach(FormRig& rig, const QString& grams, const QString& angle) {
  rig.ComboPlane->setCurrentIndex(0);
  rig.EditMass->setText(grams);
  rig.EditRadius->clear();
  rig.RadioAngle->setChecked(true);
  rig.EditAngle->setText(angle);
  rig.ButtonAttach->click();
}

void Job(AppWindows& app, Answer& answer) {
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
  answer.next = "wt-correction.png";
  b11.ButtonP2->click();  // Run#1, then the correction window

  // Trial mass off, correction on.
  rig->ListMasses[0]->setCurrentRow(0);
  rig->ButtonRemove[0]->click();
  Attach(*rig, answer.mass, answer.angle);
  Pause(200);
  Save(rig, "wt-rig-correction.png");
  answer.next = "wt-residual.png";
  b11.ButtonP4->click();  // RunC, then the residual correction
  Pause(300);
  Save(&b11, "wt-check.png");
  b11.Button1->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: shotwalkthrough OUTDIR\n");
    return 2;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_out);
  QFile cfg("Kavero.cfg");
  if (!cfg.open(QIODevice::WriteOnly)) Fail("Kavero.cfg");
  cfg.write("20\r\n20\r\n0\r\n0\r\n100\r\n");
  cfg.close();
  // The rotor of the walk-through: quiet, and fast so the runs do not take their real time.
  QFile sim("SimE154.cfg");
  if (!sim.open(QIODevice::WriteOnly)) Fail("SimE154.cfg");
  sim.write(
      "pace = 0\r\nrpm_wander = 0.1\r\nch1_noise = 0.05\r\nch2_noise = 0.05\r\n"
      "unbalance1 = 400@130\r\n");
  sim.close();

  AppWindows app;
  Answer answer(&app.B12());
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
  if (g_failures)
    std::fprintf(stderr, "shotwalkthrough: %d pictures or files failed\n", g_failures);
  return g_failures ? 1 : 0;
}
