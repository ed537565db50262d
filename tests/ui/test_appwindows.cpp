// The program as it is wired: main window keys open the real windows.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "analysis/UnitIzm2.h"
#include "app/ui/AppWindows.h"
#include "charts/SignalCharts.h"
#include "measurement/MeasState.h"
#include "meter/UnitIzm1.h"
#include "tests/support/TestFiles.h"

using namespace vintor;

class TestAppWindows : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void f5OpensMeterWithChannelTwoPerTab_data();
  void f5OpensMeterWithChannelTwoPerTab();
  void f1InMeterShowsAbout();
  void meterMeasurementFillsDeviceLog();
  void f6OpensArchiveOfTheTab_data();
  void f6OpensArchiveOfTheTab();
  void f7OpensBalancingOfTheTab_data();
  void f7OpensBalancingOfTheTab();
  void balancingReachesTheTablesAndTheArchive();
  void f8ShowsChartsWithoutModality_data();
  void f8ShowsChartsWithoutModality();

 private:
  std::unique_ptr<test::CurrentTempDir> dir_;
  AppWindows* app_ = nullptr;
};

void TestAppWindows::init() {
  dir_ = std::make_unique<test::CurrentTempDir>();
  QVERIFY(test::WriteBytes(dir_->filePath("Kavero.cfg"), test::kSimSensorsConfig));
  app_ = new AppWindows;
  app_->Main().show();
  QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
}

void TestAppWindows::cleanup() {
  delete app_;
  dir_.reset();
}

void TestAppWindows::f5OpensMeterWithChannelTwoPerTab_data() {
  QTest::addColumn<int>("tab");
  QTest::addColumn<bool>("channelTwo");
  QTest::newRow("single-plane") << 0 << false;
  QTest::newRow("two-plane") << 1 << true;
}

void TestAppWindows::f5OpensMeterWithChannelTwoPerTab() {
  QFETCH(int, tab);
  QFETCH(bool, channelTwo);
  app_->Main().PageControl1->setCurrentIndex(tab);
  Meas().NeedSighting = false;
  Meas().StopRequested = true;
  bool seen = false, shown = !channelTwo;
  QTimer::singleShot(0, [&] {
    auto* meter = qobject_cast<FormIzm1*>(QApplication::activeModalWidget());
    QVERIFY(meter);
    seen = true;
    shown = meter->LabelV21->isVisible() && meter->LabelS21->isVisible() &&
            meter->LabelF21->isVisible();
    QVERIFY(Meas().NeedSighting);
    QVERIFY(!Meas().StopRequested);
    QTest::keyClick(meter, Qt::Key_F10);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F5);
  QVERIFY(seen);
  QCOMPARE(shown, channelTwo);
  QVERIFY(!QApplication::activeModalWidget());
}

void TestAppWindows::f1InMeterShowsAbout() {
  QStringList titles;
  QTimer::singleShot(0, [&] {
    QWidget* meter = QApplication::activeModalWidget();
    titles << meter->windowTitle();
    QTimer::singleShot(0, [&] {
      QWidget* about = QApplication::activeModalWidget();
      titles << about->windowTitle();
      QTest::keyClick(about, Qt::Key_F10);
      QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_F10);
    });
    QTest::keyClick(meter, Qt::Key_F1);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F5);
  QCOMPARE(titles, (QStringList{"Measure RPM, Vs, Vo, F", "About"}));
}

void TestAppWindows::meterMeasurementFillsDeviceLog() {
  QFile sim(dir_->filePath("SimE154.cfg"));
  QVERIFY(sim.open(QIODevice::WriteOnly));
  sim.write("pace = 0\n");
  sim.close();
  QTimer::singleShot(0, [&] {
    QWidget* meter = QApplication::activeModalWidget();
    QTest::keyClick(meter, Qt::Key_F9);
    QTest::keyClick(meter, Qt::Key_F10);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F5);
  const QString log = app_->Main().Memo1->toPlainText();
  QVERIFY(log.contains(" DLL Version --> OK"));
  QVERIFY(log.contains(" The program was completed successfully!!!"));
  QVERIFY(log.contains(QString::fromUtf8("\"Рабочий\" цикл - измерение")));
  QCOMPARE(Meas().AcqStatus, 1);
}

void TestAppWindows::f6OpensArchiveOfTheTab_data() {
  QTest::addColumn<int>("tab");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("file");
  QTest::newRow("single-plane") << 0 << "Single Plane balancing archive" << "ArchTable1.db";
  QTest::newRow("two-plane") << 1 << "Two-Plane balancing archive" << "ArchTable2.db";
}

void TestAppWindows::f6OpensArchiveOfTheTab() {
  QFETCH(int, tab);
  QFETCH(QString, title);
  QFETCH(QString, file);
  app_->Main().PageControl1->setCurrentIndex(tab);
  QString shown;
  QTimer::singleShot(0, [&] {
    QWidget* archive = QApplication::activeModalWidget();
    shown = archive->windowTitle();
    QTest::keyClick(archive, Qt::Key_F10);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F6);
  QCOMPARE(shown, title);
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY(QFile::exists(dir_->filePath(file)));
}

void TestAppWindows::f7OpensBalancingOfTheTab_data() {
  QTest::addColumn<int>("tab");
  QTest::addColumn<QString>("window");
  QTest::newRow("single-plane") << 0 << "FormB10";
  QTest::newRow("two-plane") << 1 << "FormB20";
}

void TestAppWindows::f7OpensBalancingOfTheTab() {
  QFETCH(int, tab);
  QFETCH(QString, window);
  app_->Main().PageControl1->setCurrentIndex(tab);
  Meas().NeedSighting = false;
  QString seen, runs;
  QTimer::singleShot(0, [&] {
    QWidget* initial = QApplication::activeModalWidget();
    seen = initial->objectName();
    QVERIFY(Meas().NeedSighting);
    // Continue opens the run window of the mode over it; its Exit closes both.
    QTest::keyClick(initial, Qt::Key_F9);
    QWidget* run = tab == 0 ? static_cast<QWidget*>(&app_->B11()) : &app_->B21();
    runs = run->isVisible() ? run->objectName() : QString();
    QTest::keyClick(run, Qt::Key_F10);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F7);
  QCOMPARE(seen, window);
  QCOMPARE(runs, tab == 0 ? QString("FormB11") : QString("FormB21"));
  QVERIFY(!QApplication::activeModalWidget());
}

void TestAppWindows::balancingReachesTheTablesAndTheArchive() {
  app_->Main().PageControl1->setCurrentIndex(0);
  QStringList seen;
  bool archiveModeless = false;
  QTimer::singleShot(0, [&] {
    FormB10& initial = app_->B10();
    initial.RadioGroup0->Item(1)->click();
    // "Select": the coefficient table, modally; F10 leaves it without a choice.
    QTimer::singleShot(0, [&] {
      QWidget* table = QApplication::activeModalWidget();
      seen << table->windowTitle();
      QTest::keyClick(table, Qt::Key_F10);
    });
    initial.Button3->click();
    initial.RadioGroup0->Item(0)->click();
    QTest::keyClick(&initial, Qt::Key_F9);
    // "View archieves": the archive of the mode, not modally, over the run window.
    FormB11& runs = app_->B11();
    runs.Button2->click();
    seen << app_->Arch1().windowTitle();
    archiveModeless = app_->Arch1().isVisible() && !app_->Arch1().isModal() &&
                      QApplication::activeModalWidget() == &initial;
    app_->Arch1().close();
    QTest::keyClick(&runs, Qt::Key_F10);
  });
  QTest::keyClick(&app_->Main(), Qt::Key_F7);
  QCOMPARE(seen, QStringList({"Influence coeff. Single plane.", "Single Plane balancing archive"}));
  QVERIFY(archiveModeless);
  QVERIFY(!QApplication::activeModalWidget());
}

void TestAppWindows::f8ShowsChartsWithoutModality_data() {
  QTest::addColumn<int>("tab");
  QTest::newRow("single-plane") << 0;
  QTest::newRow("two-plane") << 1;
}

void TestAppWindows::f8ShowsChartsWithoutModality() {
  QFETCH(int, tab);
  QFile sim(dir_->filePath("SimE154.cfg"));
  QVERIFY(sim.open(QIODevice::WriteOnly));
  sim.write("pace = 0\n");
  sim.close();
  app_->Main().PageControl1->setCurrentIndex(tab);
  QTest::keyClick(&app_->Main(), Qt::Key_F8);
  auto* charts = app_->Main().findChild<FormIzm2*>("FormIzm2");
  QVERIFY(charts);
  QVERIFY(charts->isVisible());
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY(QTest::qWaitForWindowActive(charts));
  // Its run moves its own gauge and writes to the main window's device log.
  QTest::keyClick(charts, Qt::Key_F9);
  QCOMPARE(charts->Chart1->PointCount(), 409);
  QVERIFY(charts->Gauge1->value() > 0);
  QVERIFY(app_->Main().Memo1->toPlainText().contains(" The program was completed successfully!!!"));
  // The main window stays usable: its tabs still answer their keys.
  QTest::keyClick(&app_->Main(), Qt::Key_F4);
  QCOMPARE(app_->Main().PageControl1->currentIndex(), 2);
  Meas().AdcRate = 100.5;
  QTest::keyClick(charts, Qt::Key_F10);
  QVERIFY(!charts->isVisible());
  QCOMPARE(Meas().AdcRate, 100.0);
}

QTEST_MAIN(TestAppWindows)
#include "test_appwindows.moc"
