// Makes one "Single" measurement in the vibration meter on the simulated module and saves a
// picture of the window: shotmeter OUT.png [twoPlane=1]. Run it under Xvfb (tools/meter-shot.sh).
#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTimer>

#include "app/core/ConfigFile.h"
#include "app/core/ProgramStart.h"
#include "acquisition/AdcAcquire.h"
#include "kit/WindowObserver.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "meter/UnitIzm1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  const bool twoPlane = argc < 3 || QByteArray(argv[2]) != "0";
  using namespace vintor;
  ResetProgramState();
  InitProgramPaths(QDir::currentPath());
  SettingsTexts texts = InitialSettingsTexts();
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  LoadSensorConfig(SensorConfigPath(), Settings(), texts);
  BindCycleAcquisition([] { AdcAcquire(); });

  FormIzm1 meter;
  WindowObserver observer;
  observer.Add(&meter);
  SetObserver(&observer);
  meter.SetPlaneTwoShown(twoPlane);
  meter.RadioButton1->setChecked(true);
  meter.show();
  int rc = 1;
  QTimer::singleShot(300, [&] {
    meter.btn2RunClick();
    QTimer::singleShot(500, [&] {
      rc = meter.grab().save(out) ? 0 : 1;
      app.quit();
    });
  });
  app.exec();
  SetObserver(nullptr);
  return rc;
}
