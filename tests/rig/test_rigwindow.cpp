// The "Simulated rig" window driven by keys and clicks: it changes the parameter file as SimRig
// does, reads it again when the command line changed it, refuses bad entries, keeps its hands
// off the function keys and stays usable over the program's modal windows.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <functional>

#include "app/ui/AppWindows.h"
#include "kit/WindowKit.h"
#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/SimRig.h"
#include "rig/UnitRig.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

const QByteArray kStart =
    "# the trainer's rig\r\n"
    "rpm = 1480\r\n"
    "colour = blue   # not the simulator's\r\n"
    "pace = 0\r\n";

// A modal window of the program (the meter, an initial-data or correction window).
class ModalProbe : public KitDialog {
 public:
  explicit ModalProbe(QWidget* parent = nullptr) : KitDialog(parent, "Probe", "Probe window") {
    resize(200, 100);
  }
};

// Stands in for the real module's library.
class RealLibrary final : public AdcLibrary {
 public:
  uint32_t GetDllVersion() override { return kAdcLibraryVersion; }
  ILE154* CreateLInstance(const char*) override { return nullptr; }
  bool CancelIo(AdcDeviceHandle) override { return false; }
};

// A click that comes through the window system, so Qt drops it when a modal window blocks.
void SystemClick(QWidget* w) {
  QWidget* top = w->window();
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, w->mapTo(top, w->rect().center()));
}

}  // namespace

class TestRigWindow : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();

  void fieldsChangeTheFile_data();
  void fieldsChangeTheFile();
  void massesAttachedRemovedCleared();
  void tachometerAndModuleSwitches();
  void rereadsAFileChangedMeanwhile();
  void refusesBadEntries_data();
  void refusesBadEntries();
  void unreadableFileIsReportedAndKept();
  void functionKeysDoNothingButF1();
  void staysUsableOverModalWindows();
  void besideTheMainWindowOnlyWithTheSimulatedModule();
  void usableWhileTheMeterIsUp();

 private:
  QString File() const { return dir_->filePath("SimE154.cfg"); }
  // The file after SimRig made `edit` to `before`, for comparing with what the window wrote.
  QByteArray AsSimRigWould(const QByteArray& before, const std::function<void(SimRig&)>& edit);
  void Type(QLineEdit* edit, const QString& text, int key = Qt::Key_Return);

  QTemporaryDir* dir_ = nullptr;
  FormRig* rig_ = nullptr;
  test::RecordingDialogs dialogs_;
  int abouts_ = 0;
};

void TestRigWindow::init() {
  dir_ = new QTemporaryDir;
  QVERIFY(dir_->isValid());
  ResetProgramState();
  Paths().WorkDir = dir_->path();
  SetDecimalSeparatorOverride(QChar(','));
  dialogs_ = test::RecordingDialogs();
  Svc().dialogs = &dialogs_;
  abouts_ = 0;
  Kit().showAbout = [this] { ++abouts_; };
  QVERIFY(WriteBytes(File(), kStart));
  rig_ = new FormRig;
  rig_->show();
  QVERIFY(QTest::qWaitForWindowActive(rig_));
}

void TestRigWindow::cleanup() {
  delete rig_;
  rig_ = nullptr;
  Kit() = KitHooks{};
  ResetServices();
  SetDecimalSeparatorOverride(QChar());
  SetAdcLibrary(nullptr);
  delete dir_;
}

QByteArray TestRigWindow::AsSimRigWould(const QByteArray& before,
                                        const std::function<void(SimRig&)>& edit) {
  const QString path = dir_->filePath("expected.cfg");
  WriteBytes(path, before);
  SimRig rig;
  rig.Load(path);
  edit(rig);
  rig.Save();
  return ReadBytes(path);
}

void TestRigWindow::Type(QLineEdit* edit, const QString& text, int key) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key(key));
}

void TestRigWindow::fieldsChangeTheFile_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("key");
  QTest::addColumn<QStringList>("sets");  // key=value, as SimRig sets them
  QTest::newRow("speed, Enter") << "EditRpm" << "1200" << int(Qt::Key_Return)
                                << QStringList{"rpm=1200"};
  QTest::newRow("speed, point typed, Tab") << "EditRpm" << "1234.5" << int(Qt::Key_Tab)
                                           << QStringList{"rpm=1234.5"};
  QTest::newRow("noise of both channels") << "EditNoise" << "0,02" << int(Qt::Key_Return)
                                          << QStringList{"ch1_noise=0.02", "ch2_noise=0.02"};
  QTest::newRow("unbalance, plane 1") << "EditUnbalance1" << "400" << int(Qt::Key_Tab)
                                      << QStringList{"unbalance1=400@0"};
  QTest::newRow("unbalance angle, plane 2") << "EditUnbalanceAngle2" << "130"
                                            << int(Qt::Key_Return)
                                            << QStringList{"unbalance2=0@130"};
}

void TestRigWindow::fieldsChangeTheFile() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(int, key);
  QFETCH(QStringList, sets);
  auto* edit = Control<QLineEdit>(rig_, field);
  QVERIFY(edit);
  Type(edit, typed, key);
  const QByteArray expected = AsSimRigWould(kStart, [&](SimRig& r) {
    for (const QString& s : sets) QCOMPARE(r.Set(s.section('=', 0, 0), s.section('=', 1)), QString());
  });
  QCOMPARE(ReadBytes(File()), expected);
  QVERIFY(dialogs_.warnings.isEmpty());
  // The field shows what the file holds, in the program's way of writing numbers.
  QCOMPARE(edit->text(), QString(typed).replace('.', ','));
}

void TestRigWindow::massesAttachedRemovedCleared() {
  QByteArray expected = kStart;
  auto check = [&](const std::function<void(SimRig&)>& edit) {
    expected = AsSimRigWould(expected, edit);
    return ReadBytes(File()) == expected;
  };
  // By angle: the angle first, then the mass and Enter.
  Type(rig_->EditAngle, "45", Qt::Key_Tab);
  Type(rig_->EditMass, "3");
  QVERIFY(check([](SimRig& r) { r.Attach(1, {3, 45, 0}); }));
  QCOMPARE(rig_->ListMasses[0]->count(), 1);
  // Material taken off, at its own radius; Enter in the radius field attaches too.
  Type(rig_->EditMass, "-1.5", Qt::Key_Tab);
  Type(rig_->EditAngle, "370", Qt::Key_Tab);
  Type(rig_->EditRadius, "80");
  QVERIFY(check([](SimRig& r) { r.Attach(1, {-1.5, 10, 80}); }));
  // On blade 3 of 8 in plane 2, at the plane's radius.
  rig_->ComboPlane->setFocus();
  QTest::keyClick(rig_->ComboPlane, Qt::Key_Down);
  QCOMPARE(rig_->ComboPlane->currentIndex(), 1);
  rig_->RadioBlade->setFocus();
  QTest::keyClick(rig_->RadioBlade, Qt::Key_Space);
  QVERIFY(rig_->RadioBlade->isChecked() && !rig_->EditAngle->isEnabled());
  Type(rig_->EditRadius, "", Qt::Key_Tab);
  Type(rig_->EditMass, "2", Qt::Key_Tab);
  Type(rig_->EditBlade, "3", Qt::Key_Tab);
  Type(rig_->EditBlades, "8");
  QVERIFY(check([](SimRig& r) { r.Attach(2, {2, SimRig::BladeAngle(3, 8), 0}); }));
  QVERIFY(rig_->ListMasses[1]->item(0)->text().contains("at 90"));
  // Delete in a list takes off the chosen mass.
  rig_->ListMasses[0]->setFocus();
  rig_->ListMasses[0]->setCurrentRow(0);
  QTest::keyClick(rig_->ListMasses[0], Qt::Key_Delete);
  QVERIFY(check([](SimRig& r) { r.Remove(1, 1); }));
  // The Remove button, clicked.
  rig_->ListMasses[1]->setCurrentRow(0);
  QTest::mouseClick(rig_->ButtonRemove[1], Qt::LeftButton);
  QVERIFY(check([](SimRig& r) { r.Remove(2, 1); }));
  // Clear, from the keyboard.
  Type(rig_->EditMass, "1", Qt::Key_Return);
  QCOMPARE(rig_->ListMasses[1]->count(), 1);
  rig_->ButtonClear[0]->setFocus();
  QTest::keyClick(rig_->ButtonClear[0], Qt::Key_Space);  // plane 1 only
  QTest::mouseClick(rig_->ButtonClear[1], Qt::LeftButton);
  QVERIFY(check([](SimRig& r) {
    r.Attach(2, {1, 90, 0});
    r.Clear(1);
    r.Clear(2);
  }));
  QCOMPARE(rig_->ListMasses[0]->count() + rig_->ListMasses[1]->count(), 0);
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestRigWindow::tachometerAndModuleSwitches() {
  struct Step {
    QRadioButton* button;
    QString key, value;  // value empty: the key taken out
  };
  const std::vector<Step> steps = {
      {rig_->GroupTacho->Item(1), "tacho_fault", "no_signal"},
      {rig_->GroupTacho->Item(2), "tacho_fault", "bounce"},
      {rig_->GroupTacho->Item(0), "tacho_fault", ""},
      {rig_->GroupModule->Item(1), "module_slot", "127"},
      {rig_->GroupModule->Item(0), "module_slot", ""},
  };
  QByteArray expected = kStart;
  SimAdcLibrary sim;
  sim.SetConfigFile(File());
  for (const Step& s : steps) {
    QTest::mouseClick(s.button, Qt::LeftButton);
    expected = AsSimRigWould(expected, [&](SimRig& r) { r.Set(s.key, s.value); });
    QCOMPARE(ReadBytes(File()), expected);
    if (s.key == "module_slot") {
      // The next acquisition finds a module only while it is connected.
      ILE154* module = sim.CreateLInstance("e154");
      QVERIFY(module);
      bool found = false;
      for (int slot = 0; slot < kAdcVirtualSlots && !found; ++slot)
        found = module->OpenLDevice(uint16_t(slot));
      module->ReleaseLInstance();
      QCOMPARE(found, s.value.isEmpty());
    }
  }
  // The same from the keyboard: arrows move the choice within a group.
  rig_->GroupTacho->Item(0)->setFocus();
  QTest::keyClick(rig_->GroupTacho->Item(0), Qt::Key_Down);
  QCOMPARE(rig_->GroupTacho->ItemIndex(), 1);
  SimRig now;
  QVERIFY(now.Load(File()));
  QCOMPARE(now.Value("tacho_fault"), QString("no_signal"));
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestRigWindow::rereadsAFileChangedMeanwhile() {
  // What "vintor-cli rig" does while the window is up.
  SimRig cli;
  QVERIFY(cli.Load(File()));
  cli.Set("rpm", "900");
  cli.Set("unbalance2", "250@40");
  cli.Set("tacho_fault", "bounce");
  cli.Set("module_slot", "127");
  cli.Attach(1, {2.5, 30, 0});
  QVERIFY(cli.Save());
  QCOMPARE(rig_->EditRpm->text(), QString("1480"));
  // Back in the window after working elsewhere.
  QWidget other;
  other.show();
  other.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&other));
  rig_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(rig_));
  QCOMPARE(rig_->EditRpm->text(), QString("900"));
  QCOMPARE(rig_->EditUnbalance[1]->text(), QString("250"));
  QCOMPARE(rig_->EditUnbalanceAngle[1]->text(), QString("40"));
  QCOMPARE(rig_->GroupTacho->ItemIndex(), 2);
  QCOMPARE(rig_->GroupModule->ItemIndex(), 1);
  QCOMPARE(rig_->ListMasses[0]->count(), 1);
  QVERIFY(rig_->LabelFile->text().contains("(1 skipped: line 3: unknown setting \"colour\")"));
  // The rotor's 1x vectors follow: a 250 g*mm unbalance is added to the fixed parts.
  const SimConfig c = cli.Config();
  QVERIFY(rig_->LabelVibration[0]->text().startsWith(
      "Channel 1: " + QString::number(std::abs(SimVibration1x(c, 0)), 'f', 2).replace('.', ',')));
  // Showing the window again reads it too; showing it changed nothing.
  cli.Set("rpm", "1000");
  QVERIFY(cli.Save());
  const QByteArray before = ReadBytes(File());
  rig_->hide();
  rig_->show();
  QCOMPARE(rig_->EditRpm->text(), QString("1000"));
  QCOMPARE(ReadBytes(File()), before);
  QVERIFY(dialogs_.warnings.isEmpty());
}

void TestRigWindow::refusesBadEntries_data() {
  QTest::addColumn<QStringList>("typed");  // field=text; the last one gets Enter
  QTest::addColumn<QString>("warning");
  const QString speed = "Wrong speed! Enter rev/min from 0 to 60000.";
  const QString mass = "Wrong mass! Enter grams other than 0 (below 0: material taken off).";
  const QString blade = "Wrong blade! Enter blade K of N blades, 1 <= K <= N <= 1000.";
  QTest::newRow("speed too high") << QStringList{"EditRpm=70000"} << speed;
  QTest::newRow("speed empty") << QStringList{"EditRpm="} << speed;
  QTest::newRow("speed two separators") << QStringList{"EditRpm=1,2,3"} << speed;
  QTest::newRow("noise not a number")
      << QStringList{"EditNoise=,"} << "Wrong noise level! Enter mm/s, 0 or more, for both channels.";
  QTest::newRow("unbalance angle empty")
      << QStringList{"EditUnbalanceAngle1="}
      << QString::fromUtf8("Wrong unbalance! Enter g\u00B7mm, 0 or more, at an angle in degrees.");
  QTest::newRow("mass 0") << QStringList{"EditAngle=10", "EditMass=0"} << mass;
  QTest::newRow("mass of letters") << QStringList{"EditAngle=10", "EditMass=three"} << mass;
  QTest::newRow("no angle") << QStringList{"EditAngle=", "EditMass=2"}
                            << "Wrong angle! Enter degrees.";
  QTest::newRow("radius 0")
      << QStringList{"EditAngle=10", "EditRadius=0", "EditMass=2"}
      << "Wrong radius! Enter mm above 0, or leave the field empty for the plane's radius.";
  QTest::newRow("blade beyond the blades")
      << QStringList{"RadioBlade", "EditBlade=9", "EditBlades=8", "EditMass=2"} << blade;
  QTest::newRow("no blades") << QStringList{"RadioBlade", "EditBlade=1", "EditBlades=0",
                                            "EditMass=2"}
                             << blade;
  QTest::newRow("remove with no mass") << QStringList{"ButtonRemove1"}
                                       << "Choose the mass to remove in the list first.";
}

void TestRigWindow::refusesBadEntries() {
  QFETCH(QStringList, typed);
  QFETCH(QString, warning);
  for (int i = 0; i < typed.size(); ++i) {
    const QString name = typed[i].section('=', 0, 0);
    if (auto* edit = Control<QLineEdit>(rig_, name)) {
      Type(edit, typed[i].section('=', 1), i + 1 == typed.size() ? Qt::Key_Return : Qt::Key_Tab);
    } else {
      auto* button = Control<QAbstractButton>(rig_, name);
      QVERIFY(button);
      QTest::mouseClick(button, Qt::LeftButton);
    }
  }
  QCOMPARE(dialogs_.warnings, QStringList{warning});
  QCOMPARE(ReadBytes(File()), kStart);
  // The rig's fields show the file again.
  QCOMPARE(rig_->EditRpm->text(), QString("1480"));
  QCOMPARE(rig_->EditUnbalanceAngle[0]->text(), QString("0"));
}

void TestRigWindow::unreadableFileIsReportedAndKept() {
  // A directory where the file should be: read errors are shown, nothing is written.
  QVERIFY(QFile::remove(File()));
  QVERIFY(QDir().mkdir(File()));
  rig_->Reload();
  QVERIFY(rig_->LabelFile->text().startsWith(File() + ": "));
  Type(rig_->EditRpm, "1000");
  QCOMPARE(dialogs_.warnings.size(), 1);
  QVERIFY(dialogs_.warnings[0].startsWith(File() + ": "));
  QVERIFY(QFileInfo(File()).isDir());
}

void TestRigWindow::functionKeysDoNothingButF1() {
  for (QWidget* w : std::initializer_list<QWidget*>{rig_->EditRpm, rig_->ListMasses[0],
                                                    rig_->ComboPlane, rig_->ButtonAttach}) {
    w->setFocus();
    for (int key = Qt::Key_F2; key <= Qt::Key_F12; ++key) QTest::keyClick(w, Qt::Key(key));
    QTest::keyClick(w, Qt::Key_Escape);
  }
  QVERIFY(rig_->isVisible());
  QCOMPARE(ReadBytes(File()), kStart);
  QVERIFY(dialogs_.warnings.isEmpty());
  QCOMPARE(abouts_, 0);
  QTest::keyClick(rig_->EditMass, Qt::Key_F1);
  QCOMPARE(abouts_, 1);
}

void TestRigWindow::staysUsableOverModalWindows() {
  // The main window, an initial-data window (modal) with its run window (modeless) over it, and
  // a correction window (modal) over both.
  QWidget main;
  main.resize(300, 200);
  rig_->hide();
  rig_->Accompany(&main);
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  QTRY_VERIFY(rig_->isVisible());
  QCOMPARE(rig_->windowHandle()->transientParent(), main.windowHandle());
  ModalProbe initial(&main), runs(&main), correction(&main);
  // What the file holds after each click: the tachometer fault and the module slot.
  QStringList seen;
  auto clickAndRead = [&](QWidget* item) {
    SystemClick(item);
    SimRig r;
    r.Load(File());
    seen << r.Value("tacho_fault") + "/" + r.Value("module_slot");
  };
  QTimer::singleShot(0, &initial, [&] {
    runs.ShowModeless(&initial);
    QVERIFY(QTest::qWaitForWindowExposed(&runs));
    clickAndRead(rig_->GroupTacho->Item(1));
    QTimer::singleShot(0, &correction, [&] {
      clickAndRead(rig_->GroupTacho->Item(2));
      correction.close();
    });
    correction.ShowModal();
    // Back to the initial-data window alone.
    clickAndRead(rig_->GroupModule->Item(1));
    runs.close();
    initial.close();
  });
  initial.ShowModal();
  QCOMPARE(seen, (QStringList{"no_signal/", "bounce/", "bounce/127"}));
  QTRY_COMPARE(rig_->windowHandle()->transientParent(), main.windowHandle());
  // Hidden with the main window.
  main.hide();
  QVERIFY(!rig_->isVisible());
}

void TestRigWindow::besideTheMainWindowOnlyWithTheSimulatedModule() {
  delete rig_;
  rig_ = nullptr;
  QVERIFY(WriteBytes(dir_->filePath("Kavero.cfg"), "20\r\n20\r\n0\r\n0\r\n100\r\n"));
  const QString oldCwd = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  for (bool simulated : {true, false}) {
    RealLibrary real;
    if (!simulated) SetAdcLibrary(&real);
    QCOMPARE(SimulatedModuleInUse(), simulated);
    {
      AppWindows app;
      FormRig* rig = app.Main().findChild<FormRig*>("FormRig");
      QCOMPARE(rig != nullptr, simulated);
      app.Main().show();
      QVERIFY(QTest::qWaitForWindowActive(&app.Main()));
      if (simulated) {
        QTRY_VERIFY(rig->isVisible());
        QCOMPARE(FormRig::FilePath(), File());
        QCOMPARE(rig->EditRpm->text(), QString("1480"));
        // To the right of the main window, as far as the screen lets it.
        const QRect main = app.Main().frameGeometry();
        const QRect room = app.Main().screen()->availableGeometry();
        QCOMPARE(rig->frameGeometry().top(), main.top());
        QCOMPARE(rig->frameGeometry().left(),
                 std::min(main.right() + 9, room.right() + 1 - rig->width()));
        // The main window keeps the keyboard.
        QTRY_VERIFY(app.Main().isActiveWindow());
      }
    }
    SetAdcLibrary(nullptr);
  }
  QDir::setCurrent(oldCwd);
}

void TestRigWindow::usableWhileTheMeterIsUp() {
  delete rig_;
  rig_ = nullptr;
  QVERIFY(WriteBytes(dir_->filePath("Kavero.cfg"), "20\r\n20\r\n0\r\n0\r\n100\r\n"));
  const QString oldCwd = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  {
    AppWindows app;
    app.Main().show();
    QVERIFY(QTest::qWaitForWindowActive(&app.Main()));
    FormRig* rig = app.Main().findChild<FormRig*>("FormRig");
    QVERIFY(rig);
    QTRY_VERIFY(rig->isVisible());
    bool changed = false;
    QTimer::singleShot(0, [&] {
      QWidget* meter = QApplication::activeModalWidget();
      QVERIFY(meter);
      // The trainer disconnects the module between two measurements.
      SystemClick(rig->GroupModule->Item(1));
      SimRig r;
      r.Load(File());
      changed = r.Value("module_slot") == "127";
      QTest::keyClick(meter, Qt::Key_F10);
    });
    QTest::keyClick(&app.Main(), Qt::Key_F5);
    QVERIFY(changed);
  }
  QDir::setCurrent(oldCwd);
}

QTEST_MAIN(TestRigWindow)
#include "test_rigwindow.moc"
