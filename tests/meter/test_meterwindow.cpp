// The vibration meter driven through its keys on the simulated module (fast pace).
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/core/ProgramStart.h"
#include "kit/WindowObserver.h"
#include "charts/SignalCharts.h"
#include "acquisition/AdcAcquire.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "meter/UnitIzm1.h"
#include "platform/AdcLibrary.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;

namespace {

double ValueOf(const QLabel* label) {
  // "V1o= 4,50 mm/s" -> 4.5
  QString t = label->text().section(' ', 1, 1);
  t.replace(',', '.');
  return t.toDouble();
}

bool IsRed(const QLabel* label) {
  return label->palette().color(QPalette::Window) == QColor(255, 0, 0);
}

}  // namespace

class TestMeterWindow : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void singleMeasuresTheRotor();
  void autoRepeatsUntilStop();
  void autoSaveFilesEachMeasurement();
  void levelOverLimitWarnsAndColours();
  void moduleFaultHaltsUntilExit();
  void badAveragingTextKeepsWindowUsable();
  void zeroSensitivityAsksForCoefficients_data();
  void zeroSensitivityAsksForCoefficients();
  void closeKeyKeepsPathsExitRestores();
  void exitDuringRecordingStopsIt();

 private:
  void Press(Qt::Key key) { QTest::keyClick(form_, key); }
  std::unique_ptr<test::CurrentTempDir> dir_;
  FormIzm1* form_ = nullptr;
  test::RecordingDialogs dialogs_;
  test::FixedClock clock_{QDateTime(QDate(2009, 3, 7), QTime(9, 5, 3))};
  SimAdcLibrary sim_;
  SimConfig config_;
  WindowObserver* observer_ = nullptr;
};

void TestMeterWindow::init() {
  ResetProgramState();
  ResetServices();
  BindCycleAcquisition([] { AdcAcquire(); });
  dialogs_ = test::RecordingDialogs();
  Svc().dialogs = &dialogs_;
  Svc().clock = &clock_;
  SetDecimalSeparatorOverride(QChar(','));
  dir_ = std::make_unique<test::CurrentTempDir>();
  InitProgramPaths(dir_->path());
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  config_ = SimConfig{};
  config_.Pace = 0;  // as fast as possible
  config_.Rpm = 1500;
  config_.RpmWander = 0;
  config_.Ch1 = SimChannel{4.5, 60, 0, 0, 0, 0, 0.05, 6, 20};
  config_.Ch2 = SimChannel{2.0, 200, 0, 0, 0, 0, 0.05, -3, 20};
  sim_.SetConfig(config_);
  SetAdcLibrary(&sim_);
  form_ = new FormIzm1;
  // Wired as the program wires it: the window's gauge and labels, and event processing.
  observer_ = new WindowObserver;
  observer_->Add(form_);
  SetObserver(observer_);
  form_->SetPlaneTwoShown(true);
  form_->show();
  QVERIFY(QTest::qWaitForWindowActive(form_));
}

void TestMeterWindow::cleanup() {
  SetObserver(nullptr);
  delete observer_;
  delete form_;
  SetAdcLibrary(nullptr);
  dir_.reset();
  SetDecimalSeparatorOverride(QChar());
  ResetServices();
}

void TestMeterWindow::singleMeasuresTheRotor() {
  QCOMPARE(form_->LabelV11->text(), QString("V1o= n.d."));
  form_->RadioButton1->setChecked(true);
  Press(Qt::Key_F9);
  QCOMPARE(Meas().AcqStatus, 1);
  // The working pass reports 1500000 / RevPeriod x 0.9977: 1496.55 for 1500 rev/min.
  QCOMPARE(form_->LabelN1->text(), QString("Nrev= 1497 rpm"));
  // 1x amplitude within 2 % and phase within 2 degrees: the noise is 1 % of the 1x level and
  // 64 revolutions are averaged; the resampling grid costs well under a degree at 1500 rev/min.
  QVERIFY2(qAbs(ValueOf(form_->LabelV11) - 4.5) < 0.09, qPrintable(form_->LabelV11->text()));
  QVERIFY2(qAbs(ValueOf(form_->LabelF11) - 60) <= 2, qPrintable(form_->LabelF11->text()));
  QVERIFY2(qAbs(ValueOf(form_->LabelV21) - 2.0) < 0.04, qPrintable(form_->LabelV21->text()));
  QVERIFY2(qAbs(ValueOf(form_->LabelF21) - 200) <= 2, qPrintable(form_->LabelF21->text()));
  QVERIFY(form_->LabelV11->text().endsWith(" mm/s"));
  QVERIFY(form_->LabelF11->text().endsWith(" degree"));
  QVERIFY(form_->btn2Run->isEnabled());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(!Meas().NeedSighting);  // cleared by the first good measurement
  QVERIFY(!form_->Label5->isVisible());
  // The spectrum shows the 1x line at 25 Hz and is listed in Garmoniki.txt.
  QCOMPARE(form_->Chart2->BarCount(), 128);
  int peak = 0;
  for (int j = 1; j < 128; ++j)
    if (form_->Chart2->BarValue(0, j) > form_->Chart2->BarValue(0, peak)) peak = j;
  QVERIFY2(qAbs(peak - 25) <= 1, qPrintable(QString::number(peak)));
  QFile list(dir_->filePath("Garmoniki.txt"));
  QVERIFY(list.open(QIODevice::ReadOnly));
  QCOMPARE(list.readAll().count("\r\n"), 128);
  QCOMPARE(Meas().AdcRate, 100.0);
}

void TestMeterWindow::autoRepeatsUntilStop() {
  QVERIFY(form_->RadioButton2->isChecked());
  Press(Qt::Key_F9);
  QVERIFY(form_->Timer1->isActive());
  QVERIFY(!form_->btn2Run->isEnabled());
  Press(Qt::Key_F9);        // ignored while waiting to repeat
  form_->Button2->click();  // Stop: one more run, then idle
  QVERIFY(form_->RadioButton1->isChecked());
  QTRY_VERIFY_WITH_TIMEOUT(form_->btn2Run->isEnabled(), 20000);
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(dialogs_.errors.isEmpty());
}

void TestMeterWindow::autoSaveFilesEachMeasurement() {
  form_->RadioButton3->setChecked(true);
  Meas().NextGainCode = 0;
  Press(Qt::Key_F9);
  QVERIFY(form_->Timer1->isActive());
  const QString stem = Paths().ArcDir + "/090307090503";
  QVERIFY(QFile::exists(stem + ".dat"));
  QCOMPARE(QFileInfo(stem + ".dat").size(), QFileInfo(Paths().TestDatPath).size());
  QFile par(stem + ".par");
  QVERIFY(par.open(QIODevice::ReadOnly));
  QCOMPARE(par.readAll(), Meas().GainText.toLatin1() + "\r\n");
  QCOMPARE(Paths().TestParPath, stem + ".par");
  QCOMPARE(Paths().TestDatPath, dir_->filePath("Test.dat"));
  form_->Timer1->stop();
  // An unwritable archive gives the message and the repetition goes on.
  Paths().ArcDir = dir_->filePath("gone/Arc1");
  form_->Timer1->start(0);
  QTRY_COMPARE_WITH_TIMEOUT(dialogs_.messages.size(), 1, 20000);
  QCOMPARE(dialogs_.messages[0].caption, QString());
  QVERIFY(dialogs_.messages[0].text.startsWith(QString::fromUtf8("Ошибка!код: ")));
  QVERIFY(form_->Timer1->isActive());
}

void TestMeterWindow::levelOverLimitWarnsAndColours() {
  Settings().MaxV = 3.0;  // V1o 4.5 and V1s over it; channel 2 at 2.0 is not
  form_->SetPlaneTwoShown(false);
  form_->RadioButton1->setChecked(true);
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.warnings,
           QStringList{
               "Vibration level is too high to measure! Mount vibration sensors in other place! "});
  QVERIFY(IsRed(form_->LabelV11));
  QVERIFY(IsRed(form_->LabelS11));
  QVERIFY(!IsRed(form_->LabelV21));
  QVERIFY(form_->btn2Run->isEnabled());
}

void TestMeterWindow::moduleFaultHaltsUntilExit() {
  config_.ModuleSlot = 127;  // no module answers
  sim_.SetConfig(config_);
  Press(Qt::Key_F9);
  QCOMPARE(Meas().AcqStatus, -1);
  QVERIFY(!form_->btn2Run->isEnabled());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(!QFile::exists(dir_->filePath("Garmoniki.txt")));
  QCOMPARE(form_->LabelV11->text(), QString("V1o= 0,000 mm/s"));
  Press(Qt::Key_F9);  // halted: the key does nothing
  QCOMPARE(dialogs_.messages.size(), 1);
  form_->Button1->click();  // Exit enables the run again
  QVERIFY(form_->btn2Run->isEnabled());
}

void TestMeterWindow::badAveragingTextKeepsWindowUsable() {
  form_->AverNumCBox1->setEditText("abc");
  QCOMPARE(Meas().AverNumText, QString("abc"));
  form_->RadioButton1->setChecked(true);
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.errors.size(), 1);
  QVERIFY(form_->btn2Run->isEnabled());
  form_->AverNumCBox1->setEditText("16");
  Press(Qt::Key_F9);
  QCOMPARE(dialogs_.errors.size(), 1);
  QCOMPARE(Meas().AverNum, int16_t(16));
}

void TestMeterWindow::zeroSensitivityAsksForCoefficients_data() {
  QTest::addColumn<bool>("twoPlane");
  QTest::addColumn<double>("kpr1");
  QTest::addColumn<double>("kpr2");
  QTest::addColumn<bool>("refused");
  // As after a start without a settings file, or with one sensor only.
  QTest::newRow("two-plane, no channel 2") << true << 20.0 << 0.0 << true;
  QTest::newRow("two-plane, no channel 1") << true << 0.0 << 20.0 << true;
  QTest::newRow("single-plane, no channel 1") << false << 0.0 << 20.0 << true;
  QTest::newRow("single-plane, no channel 2") << false << 20.0 << 0.0 << false;
}

void TestMeterWindow::zeroSensitivityAsksForCoefficients() {
  QFETCH(bool, twoPlane);
  QFETCH(double, kpr1);
  QFETCH(double, kpr2);
  QFETCH(bool, refused);
  form_->SetPlaneTwoShown(twoPlane);
  form_->RadioButton1->setChecked(true);
  Settings().Kpr1 = kpr1;
  Settings().Kpr2 = kpr2;
  Press(Qt::Key_F9);
  QVERIFY(form_->btn2Run->isEnabled());
  QVERIFY(!form_->Timer1->isActive());
  if (refused) {
    QCOMPARE(dialogs_.warnings, QStringList{"Set proper coefficient!"});
    QCOMPARE(Meas().AcqStatus, 0);  // nothing was recorded
    return;
  }
  // Channel 1 is measured; the silent channel 2 raises no level warning.
  QCOMPARE(Meas().AcqStatus, 1);
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(qAbs(ValueOf(form_->LabelV11) - 4.5) < 0.2);
  QCOMPARE(Meas().V2o, 0.0);
  QCOMPARE(Meas().V2s, 0.0);
}

void TestMeterWindow::closeKeyKeepsPathsExitRestores() {
  form_->RadioButton3->setChecked(true);
  Press(Qt::Key_F9);
  const QString filedPar = Paths().TestParPath;
  QVERIFY(filedPar.startsWith(Paths().ArcDir));
  Press(Qt::Key_F10);
  QVERIFY(!form_->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QCOMPARE(Paths().TestParPath, filedPar);
  form_->show();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  QCOMPARE(form_->LabelV11->text(), QString("V1o= n.d."));
  form_->Button1->click();
  QVERIFY(!form_->isVisible());
  QCOMPARE(Paths().TestParPath, dir_->filePath("Test.par"));
  QVERIFY(Meas().StopRequested);
}

void TestMeterWindow::exitDuringRecordingStopsIt() {
  config_.Pace = 1;  // real time: the sighting pass alone takes about two seconds
  sim_.SetConfig(config_);
  QTimer::singleShot(700, form_->Button1, &QPushButton::click);
  Press(Qt::Key_F9);
  QCOMPARE(Meas().AcqStatus, -1);
  QVERIFY(!form_->isVisible());
  QVERIFY(!form_->Timer1->isActive());
  QVERIFY(form_->btn2Run->isEnabled());
}

QTEST_MAIN(TestMeterWindow)
#include "test_meterwindow.moc"
