#include "meter/UnitIzm1.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "charts/SignalCharts.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "measurement/Spectrum.h"
#include "meter/core/MeasArchive.h"
#include "meter/core/MeterResults.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

const QColor kNormal(255, 255, 166);
const QColor kOver(255, 0, 0);

void Paint(QLabel* label, const QColor& colour) {
  QPalette p = label->palette();
  p.setColor(QPalette::Window, colour);
  label->setPalette(p);
}

QLabel* ResultLabel(const QString& name, const QString& text, int pointSize) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  l->setAutoFillBackground(true);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setMargin(4);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSize(pointSize);
  f.setBold(true);
  l->setFont(f);
  Paint(l, kNormal);
  return l;
}

}  // namespace

FormIzm1::FormIzm1(QWidget* parent) : KitDialog(parent, "FormIzm1", "Measure RPM, Vs, Vo, F") {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setModal(true);
  resize(1177, 488);
  setMinimumWidth(760);
  setFixedHeight(488);

  // Trigger mode and averaging.
  RadioButton2 = new QRadioButton(QStringLiteral("Auto"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton1 = new QRadioButton(QStringLiteral("Single"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton3 = new QRadioButton(QStringLiteral("AutoSave"));
  RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
  RadioButton2->setChecked(true);
  AverNumCBox1 = new QComboBox;
  AverNumCBox1->setObjectName(QStringLiteral("AverNumCBox1"));
  AverNumCBox1->setEditable(true);
  AverNumCBox1->addItems({"8", "16", "32", "64", "128"});
  AverNumCBox1->setCurrentText(QStringLiteral("64"));
  AverNumCBox1->setInsertPolicy(QComboBox::NoInsert);
  Meas().AverNumText = AverNumCBox1->currentText();
  connect(AverNumCBox1, &QComboBox::currentTextChanged, this,
          [](const QString& t) { Meas().AverNumText = t; });
  auto* mode = new QGroupBox(QStringLiteral("Trigger"));
  auto* modeLayout = new QVBoxLayout(mode);
  modeLayout->addWidget(RadioButton2);
  modeLayout->addWidget(RadioButton1);
  modeLayout->addWidget(RadioButton3);
  modeLayout->addWidget(new QLabel(QStringLiteral("Average circles")));
  modeLayout->addWidget(AverNumCBox1);

  // Results.
  LabelN1 = ResultLabel("LabelN1", "Nrev= n.d.", 20);
  LabelN1->setAlignment(Qt::AlignCenter);
  Label5 = new QLabel(QStringLiteral("Wrong tachometr signal !!!"));
  Label5->setObjectName(QStringLiteral("Label5"));
  Label5->setAutoFillBackground(true);
  Label5->setAlignment(Qt::AlignCenter);
  {
    QPalette p = Label5->palette();
    p.setColor(QPalette::Window, kOver);
    p.setColor(QPalette::WindowText, QColor(255, 255, 0));
    Label5->setPalette(p);
    QFont f = Label5->font();
    f.setBold(true);
    Label5->setFont(f);
  }
  Label5->hide();
  Gauge1 = new QProgressBar;
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setRange(0, 100);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);

  LabelS11 = ResultLabel("LabelS11", "V1s= n.d.", 12);
  LabelV11 = ResultLabel("LabelV11", "V1o= n.d.", 12);
  LabelF11 = ResultLabel("LabelF11", "F1= n.d.", 12);
  LabelS21 = ResultLabel("LabelS21", "V2s= n.d.", 12);
  LabelV21 = ResultLabel("LabelV21", "V2o= n.d.", 12);
  LabelF21 = ResultLabel("LabelF21", "F2= n.d.", 12);
  GroupBox1 = new QGroupBox(QStringLiteral("Plane 1"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* g1 = new QVBoxLayout(GroupBox1);
  for (QLabel* l : {LabelS11, LabelV11, LabelF11}) g1->addWidget(l);
  GroupBox2 = new QGroupBox(QStringLiteral("Plane 2"));
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  auto* g2 = new QVBoxLayout(GroupBox2);
  for (QLabel* l : {LabelS21, LabelV21, LabelF21}) g2->addWidget(l);
  SetPlaneTwoShown(false);

  btn2Run = new QPushButton(QStringLiteral("F9 - Run"));
  btn2Run->setObjectName(QStringLiteral("btn2Run"));
  Button2 = new QPushButton(QStringLiteral("Stop"));
  Button2->setObjectName(QStringLiteral("Button2"));
  {
    QPalette p = Button2->palette();
    p.setColor(QPalette::ButtonText, QColor(220, 0, 0));
    Button2->setPalette(p);
  }
  Button1 = new QPushButton(QStringLiteral("F10 - Exit"));
  Button1->setObjectName(QStringLiteral("Button1"));
  RunSpk = new QPushButton(QStringLiteral("RunSpk"), this);
  RunSpk->setObjectName(QStringLiteral("RunSpk"));
  RunSpk->hide();
  for (QPushButton* b : {btn2Run, Button2, Button1}) {
    b->setMinimumHeight(36);
    b->setFocusPolicy(Qt::TabFocus);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
  }
  btn2Run->setDefault(false);
  btn2Run->setAutoDefault(false);

  auto* left = new QVBoxLayout;
  left->addWidget(LabelN1);
  left->addWidget(Label5);
  left->addWidget(Gauge1);
  auto* planes = new QHBoxLayout;
  planes->addWidget(GroupBox1);
  planes->addWidget(GroupBox2);
  left->addLayout(planes);
  auto* controls = new QHBoxLayout;
  controls->addWidget(mode);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btn2Run);
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  buttons->addStretch();
  controls->addLayout(buttons, 1);
  left->addLayout(controls);
  left->addStretch();

  // Charts.
  Panel2 = new QWidget;
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Chart1 = new SignalChart(QStringLiteral("Vibration - channel 1&2 (mm\\sec)"));
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart2 = new SpectrumChart(QStringLiteral("Vibration spectrum - channel 1&2 (mm\\sec)"), true);
  Chart2->setObjectName(QStringLiteral("Chart2"));
  auto* chartLayout = new QVBoxLayout(Panel2);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  chartLayout->addWidget(Chart1, 1);
  chartLayout->addWidget(Chart2, 1);

  auto* layout = new QHBoxLayout(this);
  auto* leftWidget = new QWidget;
  leftWidget->setLayout(left);
  leftWidget->setFixedWidth(440);
  layout->addWidget(leftWidget);
  layout->addWidget(Panel2, 1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);

  connect(btn2Run, &QPushButton::clicked, this, &FormIzm1::btn2RunClick);
  connect(Button2, &QPushButton::clicked, this, &FormIzm1::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &FormIzm1::Button1Click);
  connect(RunSpk, &QPushButton::clicked, this, &FormIzm1::RunSpkClick);
  connect(Timer1, &QTimer::timeout, this, &FormIzm1::Timer1Timer);
  // F10 closes without the Exit button's resets; Escape does nothing (the window is left with
  // F10 or Exit only).
  Keys().Click(Qt::Key_F9, btn2Run).On(Qt::Key_F10, [this] { CloseWindow(); });
}

void FormIzm1::SetPlaneTwoShown(bool shown) {
  planeTwoShown_ = shown;
  for (QLabel* l : {LabelS21, LabelV21, LabelF21}) l->setVisible(shown);
  GroupBox2->setVisible(shown);
}

void FormIzm1::FormShow() { PlaceTexts(MeterEmptyTexts()); }  // colours stay as they were

void FormIzm1::PlaceTexts(const MeterResults& r) {
  LabelN1->setText(r.N1);
  LabelS11->setText(r.S11);
  LabelV11->setText(r.V11);
  LabelF11->setText(r.F11);
  LabelS21->setText(r.S21);
  LabelV21->setText(r.V21);
  LabelF21->setText(r.F21);
}

void FormIzm1::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (height() != 488) resize(width(), 488);
}

void FormIzm1::btn2RunClick() { Run(); }
void FormIzm1::Timer1Timer() { Run(); }

void FormIzm1::Button2Click() { RadioButton1->setChecked(true); }

void FormIzm1::Run() {
  if (measuring_) return;  // a measurement never starts inside another
  // Single-plane work reads channel 1 only; two-plane needs both sensors.
  const bool sensorsSet = Settings().Kpr1 > 0 && (!planeTwoShown_ || Settings().Kpr2 > 0);
  if (!sensorsSet) {
    // Without sensor sensitivities (no settings file yet) every velocity would be infinite.
    Timer1->stop();
    Svc().dialogs->Warning(kSetCoefficientMessage);
    return;
  }
  measuring_ = true;
  Timer1->stop();
  btn2Run->setEnabled(false);
  Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
  Paths().TestParPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.par"));
  Meas().StopRequested = false;
  Meas().GainCode = Meas().NextGainCode;

  try {
    MeasCycle();
  } catch (const std::exception& e) {
    // A bad averaging entry or an unreadable recording: say so and stay usable.
    measuring_ = false;
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    btn2Run->setEnabled(true);
    return;
  }
  measuring_ = false;

  MeasState& m = Meas();
  if (m.NeedSighting && m.RPM > 0 && !m.WrongTacho) m.NeedSighting = false;
  const MeterResults r = MeterResultTexts(m, Settings().MaxV);
  ShowResults(r);
  if (r.AnyOver()) Svc().dialogs->Warning(kTooHighMessage);
  if (m.AcqStatus == -1) {
    // Halted: only Exit enables the run again, unless the window was closed meanwhile.
    if (!isVisible()) btn2Run->setEnabled(true);
    return;
  }

  RunSpk->click();
  // The window may have been closed while the measurement ran: nothing repeats then.
  if (!isVisible()) {
    btn2Run->setEnabled(true);
    return;
  }
  if (RadioButton2->isChecked()) {
    Timer1->start();
  } else if (RadioButton3->isChecked()) {
    FileIntoArchive();
    if (isVisible()) Timer1->start();
  } else {
    btn2Run->setEnabled(true);
    Meas().StopRequested = false;
  }
}

void FormIzm1::ShowResults(const MeterResults& r) {
  PlaceTexts(r);
  Paint(LabelS11, r.overS11 ? kOver : kNormal);
  Paint(LabelV11, r.overV11 ? kOver : kNormal);
  Paint(LabelS21, r.overS21 ? kOver : kNormal);
  Paint(LabelV21, r.overV21 ? kOver : kNormal);
}

void FormIzm1::FileIntoArchive() {
  const FilingResult result = FileMeasurement(QString(), Svc().clock->Now());
  if (!result.ok)
    Svc().dialogs->Message(QString(), QString::fromUtf8("Ошибка!код: ") + result.error);
}

void FormIzm1::RunSpkClick() {
  Gauge1->setMaximum(4);
  Panel2->setEnabled(false);
  std::optional<SpectrumData> spectrum;
  try {
    spectrum = RunSpectrumRoutine(true);
  } catch (const std::exception& e) {
    Panel2->setEnabled(true);
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  if (spectrum) {
    ShowMeterSpectrum(*spectrum, Chart1, Chart2);
    Gauge1->setValue(0);
  }
  Panel2->setEnabled(true);
}

void FormIzm1::Button1Click() {
  btn2Run->setEnabled(true);
  Meas().StopRequested = true;  // a recording still running stops at its next block
  QDir::setCurrent(Paths().WorkDir);
  Meas().WrongTacho = false;
  Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
  Paths().TestParPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.par"));
  Timer1->stop();
  done(QDialog::Accepted);
}

void FormIzm1::CloseWindow() {
  Timer1->stop();
  // Closing also leaves the halted state, so F9 works at the next showing.
  if (!measuring_) btn2Run->setEnabled(true);
  done(QDialog::Rejected);
}

void FormIzm1::closeEvent(QCloseEvent* event) {
  Timer1->stop();
  if (!measuring_) btn2Run->setEnabled(true);
  QDialog::closeEvent(event);
}

void FormIzm1::reject() { CloseWindow(); }

void FormIzm1::GaugesSetMax(int max) { Gauge1->setMaximum(std::max(max, 1)); }
void FormIzm1::GaugesSetProgress(int value) {
  Gauge1->setValue(std::min(value, Gauge1->maximum()));
}
void FormIzm1::GaugesStep() { Gauge1->setValue(std::min(Gauge1->value() + 1, Gauge1->maximum())); }

void FormIzm1::WrongTachoShown(bool shown) {
  Label5->setVisible(shown);
  Paint(LabelN1, shown ? kOver : kNormal);
}

}  // namespace vintor
