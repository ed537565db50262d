#include <QApplication>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

#include "kit/NumericField.h"
#include "kit/WidgetDialogs.h"
#include "kit/WindowKit.h"
#include "platform/DecimalSeparator.h"

using namespace vintor;

namespace {

// A window with a run button, an edit field, a drop-down list and a count of its show and
// close handlers.
class Probe : public KitDialog {
 public:
  explicit Probe(QWidget* parent = nullptr) : KitDialog(parent, "Probe", "Probe window") {
    Run = MakeButton(this, "ButtonRun", "F9 - Run");
    Field = MakeEdit(this, "EditM1");
    List = MakeCombo(this, "ComboBox1", {"1", "2"}, true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Run);
    layout->addWidget(Field);
    layout->addWidget(List);
    connect(Run, &QPushButton::clicked, this, [this] { ++runs; });
    Keys().Click(Qt::Key_F9, Run).On(Qt::Key_F10, [this] { close(); });
  }
  QPushButton* Run;
  QLineEdit* Field;
  QComboBox* List;
  int runs = 0, shows = 0, closes = 0;

 protected:
  void FormShow() override { ++shows; }
  void FormClose() override { ++closes; }
};

// Counts the key events that reach a control.
class KeyCounter : public QObject {
 public:
  int presses = 0, releases = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) ++presses;
    if (e->type() == QEvent::KeyRelease) ++releases;
    return false;
  }
};

}  // namespace

class TestKit : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    Kit() = KitHooks{};
    SetDecimalSeparatorOverride(QChar(','));
  }
  void cleanup() { SetDecimalSeparatorOverride(QChar()); }

  void functionKeyClicksOnlyAnEnabledButton();
  void spaceAndEnterPressAFocusedButton();
  void keysNeverReachControlsButTypingDoes();
  void f1ShowsAboutAndEscapeKeepsTheWindow();
  void showAndCloseHandlersRunOnEveryShowing();
  void numericFieldFiltersTypedKeys_data();
  void numericFieldFiltersTypedKeys();
  void numericFieldFiltersPaste_data();
  void numericFieldFiltersPaste();
  void leavingAFieldMendsSeparators_data();
  void leavingAFieldMendsSeparators();
  void radioGroupReportsEachChoiceOnce();
  void stepGroupColours();
  void modelessWindowStaysUsableOverAModalOne();
  void goOnOrRepeatAsks_data();
  void goOnOrRepeatAsks();
};

void TestKit::functionKeyClicksOnlyAnEnabledButton() {
  Probe w;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.Field->setFocus();
  QTest::keyClick(w.Field, Qt::Key_F9);
  QCOMPARE(w.runs, 1);
  w.Run->setEnabled(false);
  QTest::keyClick(w.Field, Qt::Key_F9);
  QCOMPARE(w.runs, 1);
  w.Run->setEnabled(true);
  w.Run->hide();  // a button that is not shown is not pressed by its key either
  QTest::keyClick(w.Field, Qt::Key_F9);
  QCOMPARE(w.runs, 1);
}

void TestKit::spaceAndEnterPressAFocusedButton() {
  Probe w;
  RadioGroup group(&w, "RadioGroup1", "Balancing", {"New rotor", "Select rotor"}, 0);
  w.layout()->addWidget(&group);
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  // The releases that would press them never reach the controls.
  w.Run->setFocus();
  QTest::keyClick(w.Run, Qt::Key_Space);
  QTest::keyClick(w.Run, Qt::Key_Return);
  QCOMPARE(w.runs, 2);
  QTest::keyClick(w.Field, Qt::Key_Space);  // a key sent to the field presses no button
  QCOMPARE(w.runs, 2);
  w.Run->setEnabled(false);
  w.Field->setFocus();
  QTest::keyClick(w.Field, Qt::Key_Return);  // Enter in a field presses nothing
  QCOMPARE(w.runs, 2);
  group.Item(1)->setFocus();
  QTest::keyClick(group.Item(1), Qt::Key_Space);
  QCOMPARE(group.ItemIndex(), 1);
}

void TestKit::keysNeverReachControlsButTypingDoes() {
  Probe w;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  KeyCounter counter;
  w.List->installEventFilter(&counter);
  w.List->setFocus();
  // F4 would open the list; unbound function keys do nothing at all.
  QTest::keyClick(w.List, Qt::Key_F4);
  QTest::keyClick(w.List, Qt::Key_F7);
  QVERIFY(!w.List->view()->isVisible());
  QCOMPARE(counter.presses, 0);
  QTest::keyClicks(w.List, "2");
  QCOMPARE(counter.presses, 1);
  QCOMPARE(counter.releases, 0);  // every release is swallowed by the window
  QCOMPARE(w.List->currentText(), QString("12"));
}

void TestKit::f1ShowsAboutAndEscapeKeepsTheWindow() {
  int abouts = 0;
  Kit().showAbout = [&] { ++abouts; };
  Probe w;
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(&w, Qt::Key_F1);
  QCOMPARE(abouts, 1);
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(w.isVisible());
  QTest::keyClick(&w, Qt::Key_F10);
  QVERIFY(!w.isVisible());
}

void TestKit::showAndCloseHandlersRunOnEveryShowing() {
  Probe w;
  QCOMPARE(w.objectName(), QString("Probe"));
  QCOMPARE(w.windowTitle(), QString("Probe window"));
  QCOMPARE(Control<QLineEdit>(&w, "EditM1")->text(), QString("n.d."));
  // Modal showing, ended by the window's own key.
  QTimer::singleShot(0, &w, [&] { QTest::keyClick(&w, Qt::Key_F10); });
  w.ShowModal();
  // Modeless showing, ended by the title bar's close and by hide from code.
  w.ShowModeless();
  QVERIFY(w.isVisible());
  w.ShowModeless();  // already shown: brought to the front, not shown again
  w.close();
  w.ShowModeless();
  w.reject();
  QCOMPARE(w.shows, 3);
  QCOMPARE(w.closes, 3);
}

void TestKit::numericFieldFiltersTypedKeys_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("shown");
  QTest::newRow("digits and both separators") << "1.5" << "1,5";
  QTest::newRow("comma") << "2,25" << "2,25";
  QTest::newRow("sign, letters, blanks dropped") << "-3e+4 x" << "34";
}

void TestKit::numericFieldFiltersTypedKeys() {
  QFETCH(QString, typed);
  QFETCH(QString, shown);
  Probe w;
  MakeNumeric(w.Field);
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.Field->clear();
  w.Field->setFocus();
  QTest::keyClicks(w.Field, typed);
  QCOMPARE(w.Field->text(), shown);
  QTest::keyClick(w.Field, Qt::Key_Backspace);
  QCOMPARE(w.Field->text(), shown.chopped(1));
}

void TestKit::numericFieldFiltersPaste_data() {
  QTest::addColumn<int>("way");  // 0 keyboard, 1 context menu
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<QString>("shown");
  QTest::newRow("keyboard, mixed") << 0 << "-12a.5 mm" << "12,5";
  QTest::newRow("keyboard, nothing usable") << 0 << "abc" << "7";
  QTest::newRow("menu, mixed") << 1 << "+3,2e1" << "3,21";
  QTest::newRow("menu, nothing usable") << 1 << "--" << "7";
}

void TestKit::numericFieldFiltersPaste() {
  QFETCH(int, way);
  QFETCH(QString, clipboard);
  QFETCH(QString, shown);
  Probe w;
  MakeNumeric(w.Field);
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.Field->setText("7");
  w.Field->selectAll();
  w.Field->setFocus();
  QGuiApplication::clipboard()->setText(clipboard);
  if (way == 0) {
    QTest::keyClick(w.Field, Qt::Key_V, Qt::ControlModifier);
  } else {
    QMenu* menu = NumericContextMenu(w.Field);
    QAction* paste = menu->findChild<QAction*>("edit-paste");
    QVERIFY(paste);
    paste->trigger();
    delete menu;
  }
  QCOMPARE(w.Field->text(), shown);
}

void TestKit::leavingAFieldMendsSeparators_data() {
  QTest::addColumn<int>("mend");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("left");
  QTest::newRow("point") << int(ExitMend::Point) << "2.5" << "2,5";
  QTest::newRow("point leaves other characters") << int(ExitMend::Point) << "n.d." << "n,d,";
  QTest::newRow("point and comma") << int(ExitMend::PointAndComma) << "1.5" << "1,5";
  QTest::newRow("none") << int(ExitMend::None) << "2.5" << "2.5";
}

void TestKit::leavingAFieldMendsSeparators() {
  QFETCH(int, mend);
  QFETCH(QString, text);
  QFETCH(QString, left);
  SetDecimalSeparatorOverride(QChar(','));
  Probe w;
  MendOnExit(w.Field, ExitMend(mend));
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  w.Field->setFocus();
  w.Field->setText(text);
  w.List->setFocus();
  QCOMPARE(w.Field->text(), left);
}

void TestKit::radioGroupReportsEachChoiceOnce() {
  QWidget parent;
  RadioGroup group(&parent, "RadioGroup1", "Trial mass weight", {"Percent", "Gramm"}, 0);
  QList<int> chosen;
  connect(&group, &RadioGroup::itemChosen, [&](int i) { chosen << i; });
  QCOMPARE(group.ItemIndex(), 0);
  group.SetItemIndex(1);
  group.SetItemIndex(1);  // choosing the chosen item does nothing, by code or by a click
  group.Item(1)->click();
  group.Item(0)->click();
  QCOMPARE(chosen, (QList<int>{1, 0}));
  QCOMPARE(group.ItemIndex(), 0);
  QCOMPARE(group.title(), QString("Trial mass weight"));
}

void TestKit::stepGroupColours() {
  QGroupBox g;
  const QList<QPair<GroupColour, QColor>> table = {
      {GroupColour::PaleGreen, QColor(131, 224, 147)},
      {GroupColour::Green, QColor(0, 128, 0)},
      {GroupColour::Lime, QColor(0, 255, 0)},
      {GroupColour::Red, QColor(255, 0, 0)}};
  for (const auto& [colour, rgb] : table) {
    PaintGroup(&g, colour);
    QCOMPARE(GroupColourOf(&g), rgb);
  }
}

void TestKit::modelessWindowStaysUsableOverAModalOne() {
  // An initial-data window is modal; the run window it opens is not, and must take clicks
  // that come through the window system while the modal one is up.
  Probe modal;
  Probe runs;
  bool clicked = false;
  QTimer::singleShot(0, &modal, [&] {
    runs.ShowModeless(&modal);
    QVERIFY(QTest::qWaitForWindowExposed(&runs));
    const QPoint centre = runs.Run->mapTo(&runs, runs.Run->rect().center());
    QTest::mouseClick(runs.windowHandle(), Qt::LeftButton, {}, centre);
    clicked = runs.runs == 1;
    runs.close();
    modal.close();
  });
  modal.ShowModal();
  QVERIFY(clicked);
}

void TestKit::goOnOrRepeatAsks_data() {
  QTest::addColumn<QString>("press");  // a button's caption, or "Enter" / "Escape"
  QTest::addColumn<bool>("goOn");
  QTest::newRow("go on") << "Go on" << true;
  QTest::newRow("repeat") << "Repeat" << false;
  QTest::newRow("Enter repeats") << "Enter" << false;
  QTest::newRow("Escape repeats") << "Escape" << false;
}

void TestKit::goOnOrRepeatAsks() {
  QFETCH(QString, press);
  QFETCH(bool, goOn);
  WidgetDialogs dialogs(nullptr);
  QString text;
  QStringList buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box);
    text = box->text();
    for (QAbstractButton* b : box->buttons()) buttons << b->text();
    if (press == "Enter" || press == "Escape") {
      QTest::keyClick(box, press == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* b : box->buttons())
      if (b->text() == press) b->click();
  });
  QCOMPARE(dialogs.GoOnOrRepeat("Too little"), goOn);
  QCOMPARE(text, QString("Too little"));
  buttons.sort();
  QCOMPARE(buttons, QStringList({"Go on", "Repeat"}));
}

QTEST_MAIN(TestKit)
#include "test_kit.moc"
