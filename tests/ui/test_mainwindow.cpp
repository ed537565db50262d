#include <unistd.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "app/ui/Unit0.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;

class TestMainWindow : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void firstShowSetsPathsAndLoadsSettings();
  void badConfigWarnsAndOpensSettings();
  void functionKeys_data();
  void functionKeys();
  void disabledButtonIgnoresItsKey();
  void f10Closes();
  void saveWritesFileButValuesInUseStay();
  void saveFailureWarnsAndStillReturns();
  void numericFieldsFilterKeys_data();
  void numericFieldsFilterKeys();
  void leavingFieldMendsSeparators();

 private:
  void ShowIn(const QByteArray& config = {});
  std::unique_ptr<test::CurrentTempDir> dir_;
  Form0* form_ = nullptr;
  test::RecordingDialogs dialogs_;
  QStringList calls_;
};

void TestMainWindow::init() {
  ResetProgramState();
  ResetServices();
  dialogs_ = test::RecordingDialogs();
  Svc().dialogs = &dialogs_;
  calls_.clear();
  dir_ = std::make_unique<test::CurrentTempDir>();
  SetDecimalSeparatorOverride(QChar(','));
}

void TestMainWindow::cleanup() {
  delete form_;
  form_ = nullptr;
  dir_.reset();
  SetDecimalSeparatorOverride(QChar());
  ResetServices();
}

void TestMainWindow::ShowIn(const QByteArray& config) {
  if (!config.isNull()) {
    QFile f(dir_->filePath("Kavero.cfg"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(config);
  }
  form_ = new Form0;
  Form0::Actions a;
  a.about = [this] { calls_ << "about"; };
  a.vibrationMeter = [this](bool two) { calls_ << QString("meter %1").arg(two); };
  a.reports = [this](bool two) { calls_ << QString("reports %1").arg(two); };
  a.balancing = [this](bool two) { calls_ << QString("balancing %1").arg(two); };
  a.charts = [this] { calls_ << "charts"; };
  form_->SetActions(a);
  form_->show();
  QVERIFY(QTest::qWaitForWindowActive(form_));
}

void TestMainWindow::firstShowSetsPathsAndLoadsSettings() {
  ShowIn("21.5\r\n19,5\r\n0.1\r\n0\r\n80\r\n");
  QCOMPARE(form_->windowTitle(), QString("Balancing system Vintor-1"));
  QCOMPARE(form_->size(), QSize(590, 446));
  QCOMPARE(form_->PageControl1->currentIndex(), 1);
  QCOMPARE(Paths().WorkDir, dir_->path());
  QVERIFY(QFileInfo(dir_->filePath("Arc/Arc1")).isDir());
  QCOMPARE(Meas().AdcRate, 100.0);
  QCOMPARE(Settings().Kpr1, 21.5);
  QCOMPARE(Settings().Vs1Offset, 0.1);
  QCOMPARE(form_->EditKPR1->text(), QString("21,5"));
  QVERIFY(dialogs_.warnings.isEmpty());
  QVERIFY(!form_->Image1->pixmap().isNull());
  QVERIFY(!form_->Image2->pixmap().isNull());
}

void TestMainWindow::badConfigWarnsAndOpensSettings() {
  ShowIn("20\r\nabc\r\n0\r\n0\r\n80\r\n");
  QTRY_COMPARE(dialogs_.warnings, QStringList{"Wrong sensitivity value!!!"});
  QCOMPARE(form_->PageControl1->currentIndex(), 2);
  QCOMPARE(Settings().Kpr1, 20.0);
  QCOMPARE(Settings().Kpr2, 0.0);
  QCOMPARE(form_->EditKPR2->text(), QString("abc"));
}

void TestMainWindow::functionKeys_data() {
  QTest::addColumn<int>("tab");
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("call");
  QTest::addColumn<int>("tabAfter");
  QTest::newRow("F1 about") << 2 << int(Qt::Key_F1) << "about" << 2;
  QTest::newRow("F2 single") << 1 << int(Qt::Key_F2) << "" << 0;
  QTest::newRow("F3 two") << 2 << int(Qt::Key_F3) << "" << 1;
  QTest::newRow("F4 settings") << 0 << int(Qt::Key_F4) << "" << 2;
  QTest::newRow("F5 single") << 0 << int(Qt::Key_F5) << "meter 0" << 0;
  QTest::newRow("F5 two") << 1 << int(Qt::Key_F5) << "meter 1" << 1;
  QTest::newRow("F5 settings") << 2 << int(Qt::Key_F5) << "" << 2;
  QTest::newRow("F6 single") << 0 << int(Qt::Key_F6) << "reports 0" << 0;
  QTest::newRow("F6 two") << 1 << int(Qt::Key_F6) << "reports 1" << 1;
  QTest::newRow("F7 single") << 0 << int(Qt::Key_F7) << "balancing 0" << 0;
  QTest::newRow("F7 two") << 1 << int(Qt::Key_F7) << "balancing 1" << 1;
  QTest::newRow("F7 settings") << 2 << int(Qt::Key_F7) << "" << 2;
  QTest::newRow("F8 single") << 0 << int(Qt::Key_F8) << "charts" << 0;
  QTest::newRow("F8 two") << 1 << int(Qt::Key_F8) << "charts" << 1;
  QTest::newRow("F8 settings") << 2 << int(Qt::Key_F8) << "" << 2;
  QTest::newRow("F9 nothing") << 1 << int(Qt::Key_F9) << "" << 1;
}

void TestMainWindow::functionKeys() {
  QFETCH(int, tab);
  QFETCH(int, key);
  QFETCH(QString, call);
  QFETCH(int, tabAfter);
  ShowIn();
  form_->PageControl1->setCurrentIndex(tab);
  // Keys reach the window first even when a control has the focus.
  QWidget* target = tab == 2 ? static_cast<QWidget*>(form_->EditKPR1) : form_;
  target->setFocus();
  QTest::keyClick(target, Qt::Key(key));
  QCOMPARE(calls_, call.isEmpty() ? QStringList() : QStringList{call});
  QCOMPARE(form_->PageControl1->currentIndex(), tabAfter);
  QVERIFY(form_->isVisible());
}

void TestMainWindow::disabledButtonIgnoresItsKey() {
  ShowIn();
  form_->Button12->setEnabled(false);
  QTest::keyClick(form_, Qt::Key_F5);
  QVERIFY(calls_.isEmpty());
}

void TestMainWindow::f10Closes() {
  ShowIn();
  QTest::keyClick(form_, Qt::Key_F10);
  QVERIFY(!form_->isVisible());
}

void TestMainWindow::saveWritesFileButValuesInUseStay() {
  ShowIn("20\r\n20\r\n0\r\n0\r\n80\r\n");
  form_->PageControl1->setCurrentIndex(2);
  form_->EditKPR1->setText("25,5");
  QTest::mouseClick(form_->Button10, Qt::LeftButton);
  QCOMPARE(form_->PageControl1->currentIndex(), 0);
  QFile f(dir_->filePath("Kavero.cfg"));
  QVERIFY(f.open(QIODevice::ReadOnly));
  QCOMPARE(f.readAll(), QByteArray("25,5\r\n20\r\n0\r\n0\r\n80\r\n"));
  QCOMPARE(Settings().Kpr1, 20.0);  // used from the next start
  // Cancel shows the values in use, not the saved ones.
  QTest::mouseClick(form_->Button9, Qt::LeftButton);
  QCOMPARE(form_->EditKPR1->text(), QString("20"));
  QCOMPARE(form_->EditMaxV->text(), QString("80"));
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestMainWindow::saveFailureWarnsAndStillReturns() {
  ShowIn();
  // A working directory that vanished (or a read-only one) cannot take the file.
  Paths().WorkDir = dir_->filePath("missing/dir");
  form_->PageControl1->setCurrentIndex(2);
  QTest::mouseClick(form_->Button10, Qt::LeftButton);
  QCOMPARE(dialogs_.warnings, QStringList{"Wrong sensitivity value!!!"});
  QCOMPARE(form_->PageControl1->currentIndex(), 0);
}

void TestMainWindow::numericFieldsFilterKeys_data() {
  QTest::addColumn<QChar>("sep");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("kpr");
  QTest::addColumn<QString>("maxv");
  QTest::newRow("comma system") << QChar(',') << "1.5-e 2,x"
                                << "1,52,"
                                << "1.5-e 2,x";
  QTest::newRow("point system") << QChar('.') << "1,5+3"
                                << "1.53"
                                << "1,5+3";
}

void TestMainWindow::numericFieldsFilterKeys() {
  QFETCH(QChar, sep);
  QFETCH(QString, typed);
  QFETCH(QString, kpr);
  QFETCH(QString, maxv);
  SetDecimalSeparatorOverride(sep);
  ShowIn();
  form_->PageControl1->setCurrentIndex(2);
  for (QLineEdit* e : {form_->EditKPR2, form_->EditMaxV}) {
    e->clear();
    e->setFocus();
    QTest::keyClicks(e, typed);
  }
  QCOMPARE(form_->EditKPR2->text(), kpr);
  QCOMPARE(form_->EditMaxV->text(), maxv);  // takes any key
}

void TestMainWindow::leavingFieldMendsSeparators() {
  ShowIn();
  form_->PageControl1->setCurrentIndex(2);
  form_->EditKPR1->setText("1.5,2");
  form_->EditKPR2->setText("1.5,2");
  form_->EditMaxV->setText("1.5");
  form_->EditKPR1->setFocus();
  form_->EditKPR2->setFocus();
  form_->EditMaxV->setFocus();
  form_->EditKPR1->setFocus();
  QCOMPARE(form_->EditKPR1->text(), QString("1,5,2"));
  QCOMPARE(form_->EditKPR2->text(), QString("1,5,2"));
  QCOMPARE(form_->EditMaxV->text(), QString("1.5"));
  SetDecimalSeparatorOverride(QChar('.'));
  form_->EditKPR1->setText("1,5");
  form_->EditKPR2->setText("2,5");
  form_->EditKPR2->setFocus();
  form_->EditMaxV->setFocus();
  QCOMPARE(form_->EditKPR1->text(), QString("1.5"));
  QCOMPARE(form_->EditKPR2->text(), QString("2,5"));  // only "." is mended here
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
