// The initial-data and correction windows driven as an operator would: controls, captions and
// enabling rules, Continue with its messages, and the worked examples of the corrections.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>
#include <cmath>
#include <memory>

#include "BalancingFixture.h"
#include "app/core/ProgramStart.h"
#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionMath.h"
#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"
#include "platform/Services.h"
#include "tests/support/TestFakes.h"
#include "tests/support/TestFiles.h"

using namespace vintor;
using namespace vintor::test;

namespace {

// The text a control shows, by name; "visible" and "enabled" for its state.
QString Shown(const QWidget* window, const QString& name) {
  const QString control = name.section('.', 0, 0);
  const QString what = name.section('.', 1);
  auto* w = window->findChild<QWidget*>(control);
  if (!w) return "<no " + control + ">";
  if (what == "visible") return w->isVisibleTo(window) ? "yes" : "no";
  if (what == "enabled") return w->isEnabled() ? "yes" : "no";
  if (what == "hint") return w->toolTip();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  return "<?>";
}

// Checks "Control=text" pairs.
void CheckShown(const QWidget* window, const QStringList& expected) {
  for (const QString& pair : expected) {
    const QString name = pair.section('=', 0, 0);
    const QString text = pair.mid(name.size() + 1);
    QCOMPARE(name + "=" + Shown(window, name), name + "=" + text);
  }
}

// A vector (x, y) as the amplitude and phase a run would store, in the two-plane convention.
void AsRun(double x, double y, double& v, double& f) {
  v = std::hypot(x, y);
  // Left as it comes (negative too): 360 in this convention is not a whole turn.
  f = std::atan2(y, x) / 0.0174444444444444444;
}

struct TwoPlaneRuns {
  Cx A0, B0, A1, B1, A2, B2;
};

void StoreRuns(const TwoPlaneRuns& r) {
  RunRecords& s = Runs();
  AsRun(r.A0.re, r.A0.im, s.Run0V1o, s.Run0F1);
  AsRun(r.B0.re, r.B0.im, s.Run0V2o, s.Run0F2);
  AsRun(r.A1.re, r.A1.im, s.Run1V1o, s.Run1F1);
  AsRun(r.B1.re, r.B1.im, s.Run1V2o, s.Run1F2);
  AsRun(r.A2.re, r.A2.im, s.Run2V1o, s.Run2F1);
  AsRun(r.B2.re, r.B2.im, s.Run2V2o, s.Run2F2);
}

// Runs whose coefficients are alpha = delta = (1, 0), beta = gamma = 0: the plane corrections
// are minus the reference vectors.
TwoPlaneRuns Uncoupled(Cx a0, Cx b0) { return {a0, b0, a0 + Cx{1, 0}, b0, a0, b0 + Cx{1, 0}}; }

Cx Polar(double r, double radians) { return {r * std::cos(radians), r * std::sin(radians)}; }

}  // namespace

struct SingleExample {
  double r11, r12;  // stored coefficient; 0: derived from the runs
  double v0, f0, v1, f1;
  double trial, radius;
  int blades;
  bool remove;
};
struct TwoExample {
  TwoPlaneRuns runs;
  QString m1, m2, d1, d2;  // "Gramm" when m1 is not empty
  int blades;
  bool remove;
};
Q_DECLARE_METATYPE(SingleExample)
Q_DECLARE_METATYPE(TwoExample)

class TestBalancingWindows : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();

  void initialDataControlsAtFirstShowing_data();
  void initialDataControlsAtFirstShowing();
  void choicesEnableAndClearFields();
  void showClearsCoefficientsAndRadiiOnly();
  void continueThroughTheWindow_data();
  void continueThroughTheWindow();
  void initialDataKeys();

  void runWindowControls_data();
  void runWindowControls();
  void correctionControls_data();
  void correctionControls();
  void singlePlaneWorkedExamples_data();
  void singlePlaneWorkedExamples();
  void twoPlaneWorkedExamples_data();
  void twoPlaneWorkedExamples();
  void correctionKeysAndHooks();

 private:
  void Show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
  }
  std::unique_ptr<CurrentTempDir> dir_;
  std::unique_ptr<BalancingWindows> w_;
  RecordingDialogs dialogs_;
  FixedClock clock_;
  int abouts_ = 0;
};

void TestBalancingWindows::init() {
  ResetProgramState();
  ResetBalancingState();
  ResetServices();
  dialogs_ = RecordingDialogs();
  Svc().dialogs = &dialogs_;
  Svc().clock = &clock_;
  abouts_ = 0;
  Kit().showAbout = [this] { ++abouts_; };
  SetDecimalSeparatorOverride(QChar(','));
  dir_ = std::make_unique<CurrentTempDir>();
  InitProgramPaths(dir_->path());
  Settings() = SensorSettings{20, 20, 0, 0, 100};
  w_ = std::make_unique<BalancingWindows>();
}

void TestBalancingWindows::cleanup() {
  w_.reset();
  Kit() = KitHooks{};
  dir_.reset();
  SetDecimalSeparatorOverride(QChar());
  ResetServices();
}

void TestBalancingWindows::initialDataControlsAtFirstShowing_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QStringList>("shown");
  const QStringList common{"RadioGroup0=Balancing",
                           "RadioGroup0_0=New rotor",
                           "RadioGroup0_1=Select rotor",
                           "RadioGroup1=Trial mass weight",
                           "RadioGroup1_0=Percent",
                           "RadioGroup1_1=Gramm",
                           "RadioGroup2=Coordinate system",
                           "RadioGroup2_0=Polar",
                           "RadioGroup2_1=Blades",
                           "Button3=Select",
                           "Button3.enabled=no",
                           "EditM1=n.d.",
                           "EditM1.enabled=no",
                           "Edit2=n.d.",
                           "Edit2.enabled=no",
                           "GroupBox1=Trial mass place radius, mm",
                           "EditD1=n.d.",
                           "EditD1.enabled=no",
                           "Label4=Plane1",
                           "Button2=F9 - Continue",
                           "Button1=F10 - Exit",
                           "Button2.enabled=yes"};
  QTest::newRow("single") << false << (common + QStringList{"EditM2.visible=<no EditM2>"});
  QTest::newRow("two") << true
                       << (common + QStringList{"EditM2=n.d.", "EditM2.enabled=no", "EditD2=n.d.",
                                                "EditD2.enabled=no", "Label2=1st plane",
                                                "Label3=2nd plane", "Label5=Plane2"});
}

void TestBalancingWindows::initialDataControlsAtFirstShowing() {
  QFETCH(bool, two);
  QFETCH(QStringList, shown);
  InitialDataForm& f = w_->Initial(two);
  QCOMPARE(f.windowTitle(), two ? QString("Two-Plane balancing, initial data")
                                : QString("Single Plane balancing, initial data"));
  Show(&f);
  CheckShown(&f, shown);
  QVERIFY(f.RadioGroup0->Item(0)->isChecked());
  QVERIFY(f.RadioGroup1->Item(0)->isChecked());
  QVERIFY(f.RadioGroup2->Item(0)->isChecked());
}

void TestBalancingWindows::choicesEnableAndClearFields() {
  FormB20& f = w_->b20;
  Show(&f);
  int selects = 0;
  f.selectRotor = [&] { ++selects; };
  f.RadioGroup0->Item(1)->click();
  QVERIFY(f.Button3->isEnabled());
  f.Button3->click();
  QCOMPARE(selects, 1);
  f.RadioGroup0->Item(0)->click();
  QVERIFY(!f.Button3->isEnabled());

  f.RadioGroup1->Item(1)->click();  // Gramm: masses and radii, texts kept
  for (QLineEdit* e : {f.EditM1, f.EditM2, f.EditD1, f.EditD2}) QVERIFY(e->isEnabled());
  f.EditM1->setText("10");
  f.EditD2->setText("250");
  f.RadioGroup1->Item(0)->click();  // Percent: "n.d." and off
  for (QLineEdit* e : {f.EditM1, f.EditM2, f.EditD1, f.EditD2}) {
    QVERIFY(!e->isEnabled());
    QCOMPARE(e->text(), QString("n.d."));
  }
  f.RadioGroup2->Item(1)->click();
  QVERIFY(f.Edit2->isEnabled());
  f.Edit2->setText("6");
  f.RadioGroup2->Item(0)->click();
  QVERIFY(!f.Edit2->isEnabled());
  QCOMPARE(f.Edit2->text(), QString("n.d."));
}

void TestBalancingWindows::showClearsCoefficientsAndRadiiOnly() {
  FormB10& f = w_->b10;
  f.RadioGroup1->SetItemIndex(1);
  f.EditM1->setText("12");
  BalInput() = BalancingInput{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  Show(&f);
  const BalancingInput& b = BalInput();
  QCOMPARE(QList<double>({b.R11, b.R12, b.R21, b.PlaceRadius1, b.PlaceRadius2}),
           QList<double>({0, 0, 3, 0, 0}));
  QCOMPARE(QList<double>({b.TrialM1, b.TrialM2, double(b.BladeCount)}), QList<double>({9, 10, 13}));
  QCOMPARE(f.EditM1->text(), QString("12"));
  QVERIFY(f.RadioGroup1->Item(1)->isChecked());
  f.hide();
  BalInput().R41 = 5;
  Show(&w_->b20);
  QCOMPARE(b.R41, 0.0);
}

void TestBalancingWindows::continueThroughTheWindow_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QStringList>("entries");  // radio choices and typed texts
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<double>("trialM1");
  // "2.5" typed on a system whose separator is the comma reads 2,5.
  QTest::newRow("typed point") << false << QStringList{"gramm", "EditM1:2.5"} << QStringList{}
                               << 2.5;
  QTest::newRow("blades 3") << false << QStringList{"blades", "Edit2:3"} << QStringList{} << 0.0;
  QTest::newRow("several wrong entries, one message each in order")
      << false << QStringList{"select", "gramm", "EditM1:0", "blades", "Edit2:2"}
      << QStringList{"Select primary or repeated balancing", "Trial mass is wrong ",
                     "Blades quantity is wrong"}
      << 0.0;
  QTest::newRow("mass left n.d.") << false << QStringList{"gramm"}
                                  << QStringList{"Trial mass  is wrong "} << 0.0;
  QTest::newRow("radius as a record without one leaves it")
      << false << QStringList{"gramm", "EditM1:4", "EditD1=e.f."}
      << QStringList{"Trial mass place radius is wrong"} << 4.0;
  QTest::newRow("two: second mass 0") << true << QStringList{"gramm", "EditM1:10", "EditM2:0"}
                                      << QStringList{"Trial weight is wrong "} << 10.0;
  QTest::newRow("two: new rotor, grams, radii")
      << true << QStringList{"gramm", "EditM1:10", "EditM2:5", "EditD1:120", "EditD2:80"}
      << QStringList{} << 10.0;
}

void TestBalancingWindows::continueThroughTheWindow() {
  QFETCH(bool, two);
  QFETCH(QStringList, entries);
  QFETCH(QStringList, messages);
  QFETCH(double, trialM1);
  InitialDataForm& f = w_->Initial(two);
  RunForm& runs = w_->Runs(two);
  CorrectionForm& corr = w_->Correction(two);
  Show(&f);
  for (const QString& e : entries) {
    if (e == "select") f.RadioGroup0->Item(1)->click();
    if (e == "gramm") f.RadioGroup1->Item(1)->click();
    if (e == "blades") f.RadioGroup2->Item(1)->click();
    if (e.contains(':')) {  // typed
      auto* edit = Control<QLineEdit>(&f, e.section(':', 0, 0));
      edit->setFocus();
      edit->selectAll();
      QTest::keyClicks(edit, e.section(':', 1));
    }
    if (e.contains('=')) Control<QLineEdit>(&f, e.section('=', 0, 0))->setText(e.section('=', 1));
  }
  f.Button1->setFocus();  // leaving a mass field mends its separator
  corr.EnableArchive();
  runs.WrongTachoShown(true);
  QTest::keyClick(&f, Qt::Key_F9);
  QCOMPARE(dialogs_.warnings, messages);
  QCOMPARE(BalInput().TrialM1, trialM1);
  QVERIFY(f.isVisible());
  QVERIFY(!runs.Label41->isVisibleTo(&runs));  // hidden whatever the checks found
  if (messages.isEmpty()) {
    QVERIFY(runs.isVisible());
    QCOMPARE(GroupColourOf(runs.GroupBox1), QColor(0, 128, 0));
    QVERIFY(runs.GroupBox1->isEnabled());
    QVERIFY(!corr.Button3->isEnabled());
    QVERIFY(!corr.Button2->isEnabled());
    if (two) {
      QCOMPARE(
          QList<double>({BalInput().TrialM2, BalInput().PlaceRadius1, BalInput().PlaceRadius2}),
          QList<double>({5, 120, 80}));
    }
    if (entries.contains("EditM1:2.5")) QCOMPARE(f.EditM1->text(), QString("2,5"));
  } else {
    // A failed Continue changes nothing in the run window.
    QVERIFY(!runs.isVisible());
    QVERIFY(corr.Button3->isEnabled());
    QCOMPARE(GroupColourOf(runs.GroupBox1), QColor(131, 224, 147));
  }
}

void TestBalancingWindows::initialDataKeys() {
  FormB10& f = w_->b10;
  Show(&f);
  QTest::keyClick(&f, Qt::Key_F1);
  QCOMPARE(abouts_, 1);
  QTest::keyClick(&f, Qt::Key_Escape);
  QVERIFY(f.isVisible());
  QTest::keyClick(&f, Qt::Key_F9);
  QVERIFY(w_->b11.isVisible());
  w_->b11.close();
  QTest::keyClick(&f, Qt::Key_F10);
  QVERIFY(!f.isVisible());
}

void TestBalancingWindows::runWindowControls_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QStringList>("shown");
  const QStringList common{
      "GroupBox1=Run#0 (initial, no trial mass)", "GroupBox2=Run#1(Trial mass Plane 1)",
      "GroupBox4=RunC (Check balance quality)", "LabelN1=Nrev=", "EditN1=n.d.", "EditV11=n.d.",
      "EditF11=n.d.", "ButtonP1=F9 - Run", "ButtonB1=F8 - Escape ", "ButtonP2=F9 - Run",
      "ButtonB2=F8-Prev.step", "ButtonB2.hint=Repeate Run#0 once more.", "ButtonP4=F9 - Run",
      "ButtonB4=F8-Prev.step", "Label41= Wrong tachometer signal! Try step again! ",
      "Label41.visible=no", "Button2=View archieves", "Button1=F10 - Exit",
      "RunSpkBtn.visible=no", "GroupBox1.enabled=no", "GroupBox4.enabled=no"};
  QTest::newRow("single") << false << "Single-Plane balancing"
                          << (common + QStringList{"ButtonB4.hint=Repeate Run#1 once more.",
                                                   "GroupBox3.visible=<no GroupBox3>",
                                                   "EditV21.visible=<no EditV21>"});
  QTest::newRow("two") << true << "Two plane balance"
                       << (common + QStringList{"GroupBox3=Run#2(Trial mass Plane 2)",
                                                "ButtonB3.hint=Repeate Run#1 once more.",
                                                "ButtonB4.hint=Repeate Run#2 once more.",
                                                "ButtonP2.hint=Repeate Run#0 once more.",
                                                "EditV21=n.d.", "EditF24=n.d."});
}

void TestBalancingWindows::runWindowControls() {
  QFETCH(bool, two);
  QFETCH(QString, caption);
  QFETCH(QStringList, shown);
  RunForm& w = w_->Runs(two);
  QCOMPARE(w.windowTitle(), caption);
  CheckShown(&w, shown);
  // Before any step was entered every group is pale green.
  QCOMPARE(GroupColourOf(w.GroupBox2), QColor(131, 224, 147));
}

void TestBalancingWindows::correctionControls_data() {
  QTest::addColumn<bool>("two");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QStringList>("shown");
  QTest::newRow("single")
      << false << "Single Plane balance - correction masses and residual unbalance"
      << QStringList{"RadioGroup1=Correction method",
                     "RadioGroup1_0=Add mass",
                     "RadioGroup1_1=Remove mass",
                     "GroupBoxP=Correction mass and angle",
                     QString::fromUtf8("Label17= М1="),
                     "EditM1=n.d.",
                     "Label19=f1=",
                     "EditF1=n.d.",
                     QString::fromUtf8("Label2=°"),
                     "EditF1.hint=Correction angle set from the trial mass point, by the rotor "
                     "rotation direction",
                     "GroupBoxL=Correction masses",
                     "Label3=Blade1",
                     "Label4=Blade2",
                     "LabelZ11=Z11",
                     "EditM11=n.d.",
                     "LabelM11= g",
                     "LabelZ12=Z12",
                     "EditM12=n.d.",
                     "LabelM12= g",
                     "GroupBoxD=Residual unbalance",
                     "Label1=D1,g*mm",
                     "EditD1=n.d.",
                     "Button2=F8 - Int. Ratio",
                     "Button2.hint=Correction plane interference ratios",
                     "Button3=F9 - Archive",
                     "Button1=F10-Exit",
                     "Button2.enabled=no",
                     "Button3.enabled=no",
                     "GroupBoxP.visible=yes",
                     "GroupBoxL.visible=no"};
  QTest::newRow("two") << true << "Two-plane  balancing - correction masses and  residual imbalance"
                       << QStringList{"GroupBoxP=Correction masses and angles",
                                      QString::fromUtf8("Label17= М1="),
                                      QString::fromUtf8("Label18= М2="),
                                      "Label19= f1=",
                                      "Label20= f2=",
                                      "LabelM1= g",
                                      "LabelM2= g",
                                      "EditM2=n.d.",
                                      "EditF2=n.d.",
                                      "GroupBoxL=Correction masses (splitted to blades)",
                                      "Label3=Plane 1",
                                      "Label4=Plane2",
                                      "LabelZ21=Z21",
                                      "LabelZ22=Z22",
                                      "EditM22=n.d.",
                                      "Label1=D1,g*mm",
                                      "Label2=D2,g*mm",
                                      "EditD2=n.d.",
                                      "Button2=F8-Int.Ratio",
                                      "Button3=F9 - Archive",
                                      "Button1=F10 - Exit"};
}

void TestBalancingWindows::correctionControls() {
  QFETCH(bool, two);
  QFETCH(QString, caption);
  QFETCH(QStringList, shown);
  CorrectionForm& c = w_->Correction(two);
  QCOMPARE(c.windowTitle(), caption);
  CheckShown(&c, shown);
}

void TestBalancingWindows::singlePlaneWorkedExamples_data() {
  QTest::addColumn<SingleExample>("x");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<bool>("failed");
  const double tiny = 1e-9;  // a stored coefficient along the cosine axis
  QTest::newRow("1 at 10 and 2 at 10") << SingleExample{0, 0, 1, 10, 2, 10, 0, 0, 0, false}
                                       << QStringList{"EditM1=100", "LabelM1= %", "EditF1=180",
                                                      "EditD1=n.d.", "GroupBoxP.visible=yes"}
                                       << false;
  QTest::newRow("remove mass turns 180 into 0")
      << SingleExample{0, 0, 1, 10, 2, 10, 0, 0, 0, true} << QStringList{"EditF1=0"} << false;
  QTest::newRow("grams and radius")
      << SingleExample{0, 0, 1, 10, 2, 10, 10, 100, 0, false}
      << QStringList{"EditM1=10,0",   "LabelM1= g.",         "EditF1=180",
                     "EditD1=1000,0", "Button2.enabled=yes", "Button3.enabled=no"}
      << false;
  QTest::newRow("raw angle 0 stays 0")
      << SingleExample{1, tiny, 1, 180, 0, 0, 0, 0, 0, false} << QStringList{"EditF1=0"} << false;
  QTest::newRow("six blades at 45") << SingleExample{1, tiny, 1, 135, 0, 0, 0, 0, 6, false}
                                    << QStringList{"GroupBoxL.visible=yes",
                                                   "GroupBoxP.visible=no",
                                                   "LabelZ11=Z1=",
                                                   "EditM11=29,9",
                                                   "LabelZ12=Z2=",
                                                   "EditM12=81,6",
                                                   "LabelM11= %"}
                                    << false;
  QTest::newRow("six blades at 330")
      << SingleExample{1, tiny, 1, 210, 0, 0, 0, 0, 6, false}
      << QStringList{"LabelZ11=Z6=", "EditM11=57,7", "LabelZ12=Z1=", "EditM12=57,7"} << false;
  QTest::newRow("six blades at 60")
      << SingleExample{1, tiny, 1, 120, 0, 0, 0, 0, 6, false}
      << QStringList{"LabelZ11=Z2=", "EditM11=100", "LabelZ12=Z0=", "EditM12=0,000"} << false;
  QTest::newRow("remove mass on blades puts 180 on blade 1")
      << SingleExample{1, tiny, 1, 0, 0, 0, 0, 0, 6, true}
      << QStringList{"EditF1=0", "LabelZ11=Z1=", "EditM11=100", "LabelZ12=Z0="} << false;
  QTest::newRow("999.9 percent") << SingleExample{1, tiny, 9.999, 0, 0, 0, 0, 0, 0, false}
                                 << QStringList{"EditM1=1000", "EditF1=180"} << false;
  QTest::newRow("1000 percent fails")
      << SingleExample{1, tiny, 10, 0, 0, 0, 0, 0, 0, false}
      << QStringList{"EditM1=n.d.", "EditF1=n.d.", "Button2.enabled=no"} << true;
  QTest::newRow("no trial effect fails") << SingleExample{0, 0, 1, 10, 1, 10, 0, 0, 0, false}
                                         << QStringList{"EditM1=n.d.", "EditF1=n.d."} << true;
}

void TestBalancingWindows::singlePlaneWorkedExamples() {
  QFETCH(SingleExample, x);
  QFETCH(QStringList, shown);
  QFETCH(bool, failed);
  BalancingInput& in = BalInput();
  in.R11 = x.r11, in.R12 = x.r12, in.TrialM1 = x.trial, in.PlaceRadius1 = x.radius;
  in.BladeCount = x.blades;
  RunRecords& r = Runs();
  r.Run0V1o = x.v0, r.Run0F1 = x.f0, r.Run1V1o = x.v1, r.Run1F1 = x.f1;
  FormB12& c = w_->b12;
  if (x.remove) c.RadioGroup1->Item(1)->click();
  Show(&c);
  CheckShown(&c, shown);
  const QStringList log = w_->b11.Memo1->toPlainText().split('\n', Qt::SkipEmptyParts);
  if (failed) {
    QCOMPARE(dialogs_.warnings, QStringList{"Trial mass weight is wrong"});
    QCOMPARE(log, QStringList{"---Trial mass weight is wrong---"});
    QCOMPARE(QList<double>({in.R11, in.R12}), QList<double>({0, 0}));
    // The method choice leaves "n.d." in place.
    c.RadioGroup1->Item(x.remove ? 0 : 1)->click();
    QCOMPARE(c.EditF1->text(), QString("n.d."));
  } else {
    QVERIFY(dialogs_.warnings.isEmpty());
    QVERIFY(log.isEmpty());
    QCOMPARE(Corr().StartD1, in.PlaceRadius1 * in.TrialM1);  // the first computation
  }
}

void TestBalancingWindows::twoPlaneWorkedExamples_data() {
  QTest::addColumn<TwoExample>("x");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QString>("line");  // the result line of the log; empty: the computation fails
  const double k = 57.2829;
  const TwoPlaneRuns uncoupled = Uncoupled({1, 0}, {0, 2});
  QTest::newRow("no coupling, percent")
      << TwoExample{uncoupled, "", "", "", "", 0, false}
      << QStringList{"EditM1=100",          "EditF1=180",           "EditM2=200",
                     "EditF2=90",           "LabelM1= %",           "LabelM2= %",
                     "EditD1=n.d.",         "EditD2=n.d.",          "Button2.enabled=yes",
                     "Button3.enabled=yes", "GroupBoxP.visible=yes"}
      << "M1=100 U1=180 M2=200 U2=90";
  QTest::newRow("no coupling, remove mass")
      << TwoExample{uncoupled, "", "", "", "", 0, true} << QStringList{"EditF1=0", "EditF2=270"}
      << "M1=100 U1=180 M2=200 U2=90";
  QTest::newRow("no coupling on four blades")
      << TwoExample{uncoupled, "", "", "", "", 4, false}
      << QStringList{"GroupBoxL.visible=yes", "LabelZ11=Z3=", "EditM11=100",
                     "LabelZ12=Z0=",          "EditM12=0.0",  "LabelZ21=Z2=",
                     "EditM21=200",           "LabelZ22=Z0=", "EditM22=0.0"}
      << "M1=100 U1=180 M2=200 U2=90";
  // 120 % of 10 g at 40 and 70 % of 5 g at 300.
  const Cx y = Polar(1.2, -40.5 / k), xv = Polar(0.7, 59.5 / k);
  QTest::newRow("12.0 g at 40, 3.50 g at 300")
      << TwoExample{Uncoupled(-y, -xv), "10", "5", "100", "200", 0, false}
      << QStringList{"EditM1=12.0", "EditF1=40",    "EditM2=3.50",   "EditF2=300",
                     "LabelM1= g.", "LabelM22= g.", "EditD1=1200.0", "EditD2=700.0"}
      << "M1=12.0 U1=40 M2=3.50 U2=300";
  const Cx a{1, 1}, b{2, -1};
  QTest::newRow("singular") << TwoExample{{a, b, a, b, a, b}, "", "", "", "", 0, false}
                            << QStringList{"EditM1=n.d.", "EditF2=n.d.", "Button2.enabled=no",
                                           "Button3.enabled=no"}
                            << "";
}

void TestBalancingWindows::twoPlaneWorkedExamples() {
  QFETCH(TwoExample, x);
  QFETCH(QStringList, shown);
  QFETCH(QString, line);
  SetDecimalSeparatorOverride(QChar('.'));
  FormB20& f = w_->b20;
  Show(&f);
  if (!x.m1.isEmpty()) {
    f.RadioGroup1->Item(1)->click();
    f.EditM1->setText(x.m1);
    f.EditM2->setText(x.m2);
    f.EditD1->setText(x.d1);
    f.EditD2->setText(x.d2);
  }
  if (x.blades) {
    f.RadioGroup2->Item(1)->click();
    f.Edit2->setText(QString::number(x.blades));
  }
  QTest::keyClick(&f, Qt::Key_F9);  // the run window is up while the correction is shown
  QVERIFY(w_->b21.isVisible());
  StoreRuns(x.runs);
  FormB22& c = w_->b22;
  if (x.remove) c.RadioGroup1->Item(1)->click();
  Show(&c);
  CheckShown(&c, shown);
  const QStringList log = w_->b21.Memo1->toPlainText().split('\n');
  if (line.isEmpty()) {
    QCOMPARE(dialogs_.warnings, QStringList{"Trial mass weight is wrong"});
    QCOMPARE(log, QStringList{"---Trial mass weight is wrong---"});
    QCOMPARE(BalInput().R11, 0.0);
  } else {
    QVERIFY(dialogs_.warnings.isEmpty());
    QCOMPARE(log, QStringList({"---", "Corr.Mass and angles " + BalancingLogStamp(clock_.now), line,
                               "---"}));
    QCOMPARE(Corr().CorrLine2, line);
  }
}

void TestBalancingWindows::correctionKeysAndHooks() {
  FormB22& c = w_->b22;
  int ratios = 0, records = 0;
  c.showIntRatio = [&] { ++ratios; };
  c.addArchiveRecord = [&] {
    ++records;
    QCOMPARE(QDir::current().canonicalPath(), QDir(Paths().WorkDir).canonicalPath());
  };
  Show(&w_->b20);
  QTest::keyClick(&w_->b20, Qt::Key_F9);
  StoreRuns(Uncoupled({1, 0}, {0, 2}));
  Show(&c);
  QTest::keyClick(&c, Qt::Key_F8);
  QTest::keyClick(&c, Qt::Key_F9);
  QCOMPARE(ratios, 1);
  QCOMPARE(records, 1);
  c.DisableButtons();  // as the run window's closing does: the keys do nothing
  QTest::keyClick(&c, Qt::Key_F8);
  QTest::keyClick(&c, Qt::Key_F9);
  QCOMPARE(ratios + records, 2);
  QTest::keyClick(&c, Qt::Key_F1);
  QCOMPARE(abouts_, 1);
  QTest::keyClick(&c, Qt::Key_F10);
  QVERIFY(!c.isVisible());
  QCOMPARE(QDir::current().canonicalPath(), QDir(Paths().ArcDir).canonicalPath());
}

QTEST_MAIN(TestBalancingWindows)
#include "test_balancingwindows.moc"
