#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "kit/NSOUnit.h"
#include "kit/UnitAbout.h"
#include "kit/WidgetDialogs.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"

using namespace vintor;

class TestSmallWindows : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    ResetProgramState();
    ResetServices();
    Kit() = KitHooks{};
  }
  void warningOkLeavesUnknownDevice();
  void warningKeysCloseKeepingMessage_data();
  void warningKeysCloseKeepingMessage();
  void warningF1ShowsAbout();
  void aboutOpensManual_data();
  void aboutOpensManual();
  void aboutClosesOnlyWithF10OrItsButton();
};

// Answers the next modal window with `action` once it is up.
static void WhenModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
    action(QApplication::activeModalWidget());
  });
}

void TestSmallWindows::warningOkLeavesUnknownDevice() {
  NSOForm form;
  WidgetDialogs dialogs(&form);
  QCOMPARE(form.Label1->text(), QString("Set proper coefficient!"));
  QString seen;
  WhenModal([&](QWidget*) {
    seen = form.Label1->text();
    form.Button1->click();
  });
  dialogs.Warning("Trial mass weight is wrong");
  QCOMPARE(seen, QString("Trial mass weight is wrong"));
  // The next caller shows the window without a message.
  WhenModal([&](QWidget*) {
    seen = form.Label1->text();
    form.Button1->click();
  });
  dialogs.Warning(QString());
  QCOMPARE(seen, QString("Unknown device"));
}

void TestSmallWindows::warningKeysCloseKeepingMessage_data() {
  QTest::addColumn<int>("key");
  QTest::newRow("Esc") << int(Qt::Key_Escape);
  QTest::newRow("Insert") << int(Qt::Key_Insert);
  QTest::newRow("F10") << int(Qt::Key_F10);
}

void TestSmallWindows::warningKeysCloseKeepingMessage() {
  QFETCH(int, key);
  NSOForm form;
  WidgetDialogs dialogs(&form);
  WhenModal(
      [&](QWidget* w) { QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key(key)); });
  dialogs.Warning("Requested document not found");
  QVERIFY(!form.isVisible());
  QCOMPARE(form.Label1->text(), QString("Requested document not found"));
}

void TestSmallWindows::warningF1ShowsAbout() {
  NSOForm form;
  int abouts = 0;
  Kit().showAbout = [&] { ++abouts; };
  WidgetDialogs dialogs(&form);
  WhenModal([&](QWidget* w) {
    QTest::keyClick(w, Qt::Key_F1);
    QTest::keyClick(w, Qt::Key_Escape);
  });
  dialogs.Warning("x");
  QCOMPARE(abouts, 1);
}

void TestSmallWindows::aboutOpensManual_data() {
  QTest::addColumn<bool>("viewerAnswers");
  QTest::addColumn<bool>("byKey");
  QTest::newRow("button, found") << true << false;
  QTest::newRow("F1, found") << true << true;
  QTest::newRow("button, not found") << false << false;
  QTest::newRow("F1, not found") << false << true;
}

void TestSmallWindows::aboutOpensManual() {
  QFETCH(bool, viewerAnswers);
  QFETCH(bool, byKey);
  test::RecordingDialogs dialogs;
  test::RecordingShell shell;
  shell.answer = viewerAnswers;
  Svc().dialogs = &dialogs;
  Svc().shell = &shell;
  Paths().WorkDir = "/work/dir";
  FormAbout about;
  QCOMPARE(about.windowTitle(), QString("About"));
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  if (byKey)
    QTest::keyClick(&about, Qt::Key_F1);
  else
    about.Button1->click();
  QCOMPARE(shell.opened, QStringList{"/work/dir/Kavero_manual.pdf"});
  QCOMPARE(dialogs.warnings,
           viewerAnswers ? QStringList() : QStringList{"Requested document not found"});
  QVERIFY(about.isVisible());
  // Labels span the panel less one pixel; the manual button keeps 182 px from the right.
  about.resize(700, 400);
  QTRY_COMPARE(about.Label1->width(), about.Panel1->width() - 1);
  QCOMPARE(about.Button1->x(), about.Panel1->width() - 182);
}

void TestSmallWindows::aboutClosesOnlyWithF10OrItsButton() {
  FormAbout about;
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  // Escape, Enter and the other function keys leave it open.
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_F9, Qt::Key_F2})
    QTest::keyClick(&about, key);
  QVERIFY(about.isVisible());
  QTest::keyClick(&about, Qt::Key_F10);
  QVERIFY(!about.isVisible());
  about.show();
  about.Button5->click();
  QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestSmallWindows)
#include "test_smallwindows.moc"
