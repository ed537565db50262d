// Runs each tab of the charts window once on the simulated module and saves a picture of the
// window after each run, and the harmonics tab's diagram files (OUTDIR/harmonics_tm.jpg and
// _gr.jpg): shotcharts OUTDIR [REVS]. Run it under Xvfb (tools/charts-shot.sh).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include "acquisition/AdcAcquire.h"
#include "analysis/UnitIzm2.h"
#include "app/core/ConfigFile.h"
#include "app/core/ProgramStart.h"
#include "kit/WindowObserver.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"

namespace {

// The save dialog answers with a fixed name; the shell opens nothing.
class FixedName final : public vintor::Dialogs {
 public:
  QString name;
  void Warning(const QString& m) override { qWarning("warning: %s", qPrintable(m)); }
  void Message(const QString&, const QString& t) override { qWarning("%s", qPrintable(t)); }
  void Error(const QString& t) override { qWarning("error: %s", qPrintable(t)); }
  QString AskSaveFileName() override { return name; }
};
class NoViewer final : public vintor::Shell {
 public:
  bool Open(const QString&) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const QString revs = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("2");
  using namespace vintor;
  ResetProgramState();
  InitProgramPaths(QDir::currentPath());
  Meas().AdcRate = 100.0;
  SettingsTexts texts = InitialSettingsTexts();
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  LoadSensorConfig(SensorConfigPath(), Settings(), texts);
  BindCycleAcquisition([] { AdcAcquire(); });
  FixedName dialogs;
  dialogs.name = out.filePath(QStringLiteral("harmonics"));
  NoViewer shell;
  Svc().dialogs = &dialogs;
  Svc().shell = &shell;

  FormIzm2 charts;
  WindowObserver observer;
  observer.Add(&charts);
  SetObserver(&observer);
  charts.ShowModeless();
  int rc = 0;
  auto shot = [&](const char* name) {
    QApplication::processEvents();
    if (!charts.grab().save(out.filePath(QString::fromLatin1(name)))) rc = 1;
  };
  QTimer::singleShot(300, [&] {
    charts.Button1Click();
    shot("charts-broadband.png");
    charts.PageControl1->setCurrentIndex(1);
    charts.Button2Click();
    shot("charts-rotational.png");
    charts.PageControl1->setCurrentIndex(2);
    charts.ComboBox2->setCurrentText(revs);
    charts.Button5Click();
    shot("charts-harmonics.png");
    charts.SaveDiagram(QStringLiteral("_tm.jpg"), QStringLiteral("_gr.jpg"));
    charts.PageControl1->setCurrentIndex(3);
    charts.ComboBox4->setCurrentText(QStringLiteral("128"));
    charts.Button8Click();
    shot("charts-spectrum.png");
    app.quit();
  });
  app.exec();
  SetObserver(nullptr);
  ResetServices();
  return rc;
}
