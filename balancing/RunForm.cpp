#include "balancing/RunForm.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "balancing/CorrectionForm.h"
#include "balancing/InitialDataForm.h"
#include "balancing/PolarPanel.h"
#include "balancing/core/BalancingState.h"
#include "charts/SignalCharts.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasState.h"
#include "measurement/Spectrum.h"
#include "meter/core/MeterResults.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

GroupColour KitColour(StepColour c) {
  switch (c) {
    case StepColour::Green:
      return GroupColour::Green;
    case StepColour::Lime:
      return GroupColour::Lime;
    case StepColour::Red:
      return GroupColour::Red;
    case StepColour::PaleGreen:
      break;
  }
  return GroupColour::PaleGreen;
}

// The step colour, with texts that stay readable on the dark green and the red.
void PaintStep(QGroupBox* group, StepColour colour) {
  PaintGroup(group, KitColour(colour));
  QPalette p = group->palette();
  const bool dark = colour == StepColour::Green || colour == StepColour::Red;
  p.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
  group->setPalette(p);
}

QLineEdit* ResultField(QWidget* parent, const QString& name) {
  QLineEdit* e = MakeEdit(parent, name);
  e->setReadOnly(true);
  e->setFixedWidth(72);
  e->setFocusPolicy(Qt::NoFocus);
  return e;
}

QPushButton* StepButton(QWidget* parent, const QString& name, const QString& caption) {
  return MakeBoldButton(parent, name, caption, 30);
}

}  // namespace

RunForm::RunForm(QWidget* parent, const RunFormTable& table)
    : KitDialog(parent, table.name, table.caption), mode_(table.mode), seq_(table.mode) {
  resize(1180, 780);

  auto* stepsColumn = new QVBoxLayout;
  for (int k = kRun0; k <= kRunC; ++k)
    if (seq_.HasStep(k)) stepsColumn->addWidget(MakeStep(k, table));
  GroupBox1 = steps_[1].group;
  GroupBox2 = steps_[2].group;
  GroupBox3 = steps_[3].group;
  GroupBox4 = steps_[4].group;
  ButtonP1 = steps_[1].run, ButtonB1 = steps_[1].leave;
  ButtonP2 = steps_[2].run, ButtonB2 = steps_[2].leave;
  ButtonP3 = steps_[3].run, ButtonB3 = steps_[3].leave;
  ButtonP4 = steps_[4].run, ButtonB4 = steps_[4].leave;

  Label41 = MakeLabel(this, "Label41", " Wrong tachometer signal! Try step again! ");
  Label41->setAutoFillBackground(true);
  Label41->setAlignment(Qt::AlignCenter);
  {
    QPalette p = Label41->palette();
    p.setColor(QPalette::Window, QColor(255, 0, 0));
    p.setColor(QPalette::WindowText, QColor(255, 255, 0));
    Label41->setPalette(p);
    QFont f = Label41->font();
    f.setBold(true);
    Label41->setFont(f);
  }
  Label41->hide();
  Gauge1 = new QProgressBar(this);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setRange(0, 100);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Button2 = StepButton(this, "Button2", "View archieves");
  Button1 = StepButton(this, "Button1", "F10 - Exit");
  RunSpkBtn = MakeButton(this, "RunSpkBtn", "RunSpkBtn");
  RunSpkBtn->hide();
  stepsColumn->addWidget(Label41);
  stepsColumn->addWidget(Gauge1);
  auto* exitRow = new QHBoxLayout;
  exitRow->addWidget(Button2);
  exitRow->addStretch();
  exitRow->addWidget(Button1);
  stepsColumn->addLayout(exitRow);
  stepsColumn->addStretch();
  auto* stepsPanel = new QWidget(this);
  stepsPanel->setLayout(stepsColumn);
  stepsPanel->setFixedWidth(470);

  AidArea = new QWidget(this);
  AidArea->setObjectName(QStringLiteral("AidArea"));
  new QVBoxLayout(AidArea);
  AidArea->hide();
  Polar = new PolarPanel(AidArea, mode_ == BalancingMode::TwoPlane ? 2 : 1, Qt::Vertical);
  Polar->SetMinimumChartSide(320);
  AidArea->layout()->setContentsMargins(0, 0, 0, 0);
  AidArea->layout()->addWidget(Polar);
  AidArea->setFixedWidth(330);
  AidArea->show();

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setMaximumHeight(170);
  Chart1 = new SignalChart(QStringLiteral("Vibration - channel 1&2 (mm\\sec)"), this);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart2 =
      new SpectrumChart(QStringLiteral("Vibration spectrum - channel 1&2 (mm\\sec)"), true, this);
  Chart2->setObjectName(QStringLiteral("Chart2"));
  auto* right = new QVBoxLayout;
  right->addWidget(Memo1);
  right->addWidget(Chart1, 1);
  right->addWidget(Chart2, 1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(stepsPanel);
  layout->addWidget(AidArea);
  layout->addLayout(right, 1);

  for (int k = kRun0; k <= kRunC; ++k) {
    if (!seq_.HasStep(k)) continue;
    connect(steps_[k].run, &QPushButton::clicked, this, [this, k] { RunStep(k); });
    connect(steps_[k].leave, &QPushButton::clicked, this, [this, k] { LeaveStep(k); });
  }
  connect(Button1, &QPushButton::clicked, this, &RunForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &RunForm::Button2Click);
  connect(RunSpkBtn, &QPushButton::clicked, this, &RunForm::RunSpkBtnClick);
  // F9 presses the current step's Run button, F8 its leave button; neither acts during a run.
  Keys()
      .On(Qt::Key_F9,
          [this] {
            if (const int k = seq_.F9Step()) ClickIfEnabled(steps_[k].run);
          })
      .On(Qt::Key_F8,
          [this] {
            if (seq_.F8Action() != KeyAction::Nothing)
              ClickIfEnabled(steps_[seq_.State().RunStep].leave);
          })
      .Click(Qt::Key_F10, Button1);
  Apply();
}

QWidget* RunForm::MakeStep(int k, const RunFormTable& table) {
  const bool two = mode_ == BalancingMode::TwoPlane;
  StepControls& s = steps_[k];
  const QString n = QString::number(k);
  s.group = MakeGroup(this, QStringLiteral("GroupBox") + n, table.groupCaption[k]);
  QGroupBox* g = s.group;
  s.EditN = ResultField(g, QStringLiteral("EditN") + n);
  s.EditV1 = ResultField(g, QStringLiteral("EditV1") + n);
  s.EditF1 = ResultField(g, QStringLiteral("EditF1") + n);
  if (two) {
    s.EditV2 = ResultField(g, QStringLiteral("EditV2") + n);
    s.EditF2 = ResultField(g, QStringLiteral("EditF2") + n);
  }
  s.run = StepButton(g, QStringLiteral("ButtonP") + n, QStringLiteral("F9 - Run"));
  s.leave = StepButton(g, QStringLiteral("ButtonB") + n, table.leaveCaption[k]);
  s.run->setToolTip(table.runHint[k]);
  s.leave->setToolTip(table.leaveHint[k]);

  auto* grid = new QGridLayout(g);
  grid->addWidget(MakeLabel(g, QStringLiteral("LabelN") + n, "Nrev="), 0, 0);
  grid->addWidget(s.EditN, 0, 1);
  grid->addWidget(MakeLabel(g, QString(), "rpm"), 0, 2);
  auto channelRow = [&](int row, const QString& ch, QLineEdit* v, QLineEdit* f) {
    grid->addWidget(MakeLabel(g, QString(), QStringLiteral(" Vo") + ch + QStringLiteral("=")), row,
                    0);
    grid->addWidget(v, row, 1);
    grid->addWidget(MakeLabel(g, QString(), "mm/s"), row, 2);
    grid->addWidget(MakeLabel(g, QString(), QStringLiteral(" F") + ch + QStringLiteral("=")), row,
                    3);
    grid->addWidget(f, row, 4);
    grid->addWidget(MakeLabel(g, QString(), "degree"), row, 5);
  };
  channelRow(1, QStringLiteral("1"), s.EditV1, s.EditF1);
  if (two) channelRow(2, QStringLiteral("2"), s.EditV2, s.EditF2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(s.run);
  buttons->addWidget(s.leave);
  grid->addLayout(buttons, 3, 0, 1, 6);
  grid->setColumnStretch(6, 1);
  return g;
}

void RunForm::SetWindows(InitialDataForm* initial, CorrectionForm* correction) {
  initial_ = initial;
  correction_ = correction;
}

void RunForm::Apply() {
  const RunWindowState& st = seq_.State();
  for (int k = kRun0; k <= kRunC; ++k) {
    if (!seq_.HasStep(k)) continue;
    const StepGroupState& g = st.group[static_cast<size_t>(k)];
    steps_[k].group->setEnabled(g.enabled);
    PaintStep(steps_[k].group, g.colour);
    steps_[k].run->setEnabled(g.runEnabled);
    steps_[k].leave->setEnabled(g.leaveEnabled);
  }
  Label41->setVisible(st.tachoLabelShown);
}

void RunForm::HideTachoLabel() {
  seq_.HideTachoLabel();
  Apply();
}

void RunForm::EnableRun0Group() {
  seq_.EnableRun0Group();
  Apply();
}

void RunForm::FormShow() {
  ResetRunRecords();
  // Shown again while a dropped run still unwinds: that run stays dropped.
  if (!seq_.State().busy) abandoned_ = false;
  seq_.Show();
  Apply();
  history_.Clear();
  correctionInJob_ = false;
  RefreshPolar();
}

void RunForm::FormClose() {
  // Closed during a measurement: the recording stops and the run is dropped when it returns.
  if (seq_.State().busy) {
    abandoned_ = true;
    Meas().StopRequested = true;
  }
  seq_.Close();
  Apply();
  for (int k = kRun0; k <= kRunC; ++k) {
    if (!seq_.HasStep(k)) continue;
    const StepControls& s = steps_[k];
    for (QLineEdit* e : {s.EditN, s.EditV1, s.EditF1, s.EditV2, s.EditF2})
      if (e) e->setText(kNoData);
  }
  if (correction_) correction_->DisableButtons();
}

void RunForm::RunStep(int k) {
  if (!seq_.CanRun(k)) return;  // runs never nest
  if (!SensorsReady(mode_)) {
    // Without sensor sensitivities every velocity would be infinite.
    Svc().dialogs->Warning(kSetCoefficientMessage);
    return;
  }
  abandoned_ = false;
  seq_.BeginRun(k);
  Apply();
  const RunRecordResult rec = RecordRun(
      mode_, k, *this, measure ? measure : [] { MeasCycle(); });
  using End = RunRecordResult::End;
  if (rec.end == End::Abandoned) {
    // The stop request may have come after the recording ended; it must not stop the next.
    Meas().StopRequested = false;
    seq_.EndRun();
    return;
  }
  if (rec.end == End::Aborted) {
    seq_.AbortRun(k);
    Apply();
    return;
  }

  // Every check run replaces the reference vector: the diagram keeps each one as measured.
  if (rec.measured && k == kRun0) history_.NoteRun0(Runs());
  if (rec.success && k == kRunC) history_.NoteCheckRun(Runs());

  for (const AfterRun action : RunSequence::AfterRunOrder(mode_, k)) {
    switch (action) {
      case AfterRun::TrialCheck:
        if (rec.success && RepeatTrialRun(k)) {
          seq_.RepeatStep(k);
          Apply();
        }
        break;
      case AfterRun::Outcome: {
        const OutcomeEffects e = seq_.Outcome(k, rec.success);
        Apply();
        if (e.enableArchive && correction_) correction_->EnableArchive();
        if (e.showCorrection) ShowCorrection();
        break;
      }
      case AfterRun::Spectrum:
        // A failed recording has no spectrum of its own to show.
        if (rec.measured) {
          RunSpkBtn->click();
        } else {
          Chart1->Clear();
          Chart2->Clear();
        }
        break;
      case AfterRun::KnownCoefficientTest:
        if (seq_.KnownCoefficientTest(CoefficientsKnown(mode_))) {
          Apply();
          ShowCorrection();
          seq_.AfterKnownCorrection();
        }
        break;
      case AfterRun::FinishCheckRun:
        seq_.FinishCheckRun();
        Apply();
        break;
    }
  }
  seq_.EndRun();
  Apply();
  RefreshPolar();
  if (onRunRecorded) onRunRecorded(k, rec.success);
}

bool RunForm::RepeatTrialRun(int k) {
  const int plane = k == kRun2 ? 2 : 1;
  const TrialEffect effect = mode_ == BalancingMode::TwoPlane ? CheckTwoPlaneTrial(Runs(), plane)
                                                              : CheckSinglePlaneTrial(Runs());
  if (!effect.small || Svc().dialogs->GoOnOrRepeat(kTrialEffectSmall)) return false;
  // Coefficients derived from this run (single-plane: for its log line) must not outlive it, or
  // the repeated run would be read with them; nor is their correction drawn any longer.
  ClearCoefficients(mode_);
  correctionInJob_ = false;
  return true;
}

void RunForm::RefreshPolar() {
  PolarJob job;
  if (correction_) job = correction_->PolarJobFor(history_);
  // A correction from before this window was shown belongs to another job.
  if (!correctionInJob_) {
    job.plane1.reset();
    job.plane2.reset();
  }
  Polar->Show(BuildPolarDiagram(job));
}

void RunForm::ShowCorrection() {
  if (!correction_) return;
  correctionInJob_ = true;
  correction_->MoveToTopOf(this);
  correction_->ShowModal();
  // "Add mass" / "Remove mass" may have turned the correction meanwhile.
  RefreshPolar();
}

void RunForm::ClearAmplitudes(int k) {
  const StepControls& s = steps_[k];
  for (QLineEdit* e : {s.EditV1, s.EditF1, s.EditV2, s.EditF2})
    if (e) e->setText(kNoData);
}

void RunForm::LeaveStep(int k) {
  if (!seq_.CanLeave(k)) return;
  ClearAmplitudes(k);
  if (k == kRun0) {
    seq_.Escape();
    Apply();
    done(QDialog::Rejected);
    return;
  }
  seq_.PrevStep(k);
  Apply();
}

void RunForm::Button1Click() {
  if (mode_ == BalancingMode::TwoPlane) {
    QDir::setCurrent(Paths().WorkDir);
    Meas().WrongTacho = false;
    Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
    Paths().TestParPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.par"));
  }
  if (initial_) initial_->reject();
  done(QDialog::Rejected);
}

void RunForm::Button2Click() {
  if (viewArchives) viewArchives();
}

void RunForm::RunSpkBtnClick() {
  Gauge1->setMaximum(4);
  std::optional<SpectrumData> spectrum;
  try {
    spectrum = RunSpectrumRoutine(false);
  } catch (const std::exception& e) {
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  if (!spectrum) return;
  ShowMeterSpectrum(*spectrum, Chart1, Chart2);
  Gauge1->setValue(0);
}

void RunForm::ShowFields(int step, const RunFieldTexts& t) {
  const StepControls& s = steps_[static_cast<size_t>(step)];
  s.EditN->setText(t.N);
  s.EditV1->setText(t.V1);
  s.EditF1->setText(t.F1);
  if (s.EditV2) s.EditV2->setText(t.V2);
  if (s.EditF2) s.EditF2->setText(t.F2);
}

QStringList RunForm::CorrectionTexts(bool compute) {
  if (!correction_) return {};
  if (compute) {
    correctionInJob_ = true;
    correction_->ComputeWithoutShowing();
  }
  return correction_->LogTexts();
}

void RunForm::AppendLog(const QString& line) { Memo1->appendPlainText(line); }

QStringList RunForm::LogLines() const {
  const QString text = Memo1->toPlainText();
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void RunForm::GaugesSetMax(int max) { Gauge1->setMaximum(std::max(max, 1)); }
void RunForm::GaugesSetProgress(int value) { Gauge1->setValue(std::min(value, Gauge1->maximum())); }
void RunForm::GaugesStep() { Gauge1->setValue(std::min(Gauge1->value() + 1, Gauge1->maximum())); }

void RunForm::WrongTachoShown(bool shown) {
  seq_.SetTachoLabelShown(shown);
  Label41->setVisible(shown);
}

}  // namespace vintor
