// The four runs of the charts window and the broadband redraw.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <optional>

#include "acquisition/AdcAcquire.h"
#include "analysis/UnitIzm2.h"
#include "base/Formatting.h"
#include "charts/SignalCharts.h"
#include "measurement/Broadband.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "measurement/Spectrum.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {

namespace {

const QColor kNormal(255, 255, 166);
const QColor kOver(255, 0, 0);
const QString kSetCoefficient = QStringLiteral("Set proper coefficient!");
const QString kTooHigh = QStringLiteral(
    "Vibration level is too high to measure! Place vibration sensors in other place! ");
// The longest duration whose block count (2 per second) the recording length can carry.
constexpr int kMaxDuration = 16383;

// A whole number from 1 up to `max` as the operator typed it, or nothing.
std::optional<int> WholeFromText(const QString& text, int max) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.size() > 9) return std::nullopt;
  for (QChar c : t)
    if (!c.isDigit() || c.unicode() > '9') return std::nullopt;
  const int v = t.toInt();
  if (v < 1 || v > max) return std::nullopt;
  return v;
}

void Paint(QLabel* label, bool over) {
  QPalette p = label->palette();
  p.setColor(QPalette::Window, over ? kOver : kNormal);
  label->setPalette(p);
}

void Log(const QString& line) { Observer().LogLine(line); }

// Every recording of this window goes to the program's raw data file, never to an archived copy.
void PrepareRecording() {
  Paths().TestDatPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.dat"));
  // A stop asked for when nothing was recording must not end this recording at once.
  Meas().StopRequested = false;
}

// A measurement cycle recorded into the program's raw data file; false, the error shown, when
// the cycle failed.
bool RunCycle() {
  PrepareRecording();
  try {
    MeasCycle();
  } catch (const MeasError& e) {
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return false;
  }
  return true;
}

}  // namespace

// While a run records or measures: no run button and no other tab (runs never nest).
class FormIzm2::RunScope {
 public:
  explicit RunScope(FormIzm2* w) : w_(w) {
    w_->running_ = true;
    for (int t = 0; t < 4; ++t) w_->RunButton(t)->setEnabled(false);
    w_->PageControl1->tabBar()->setEnabled(false);
  }
  ~RunScope() {
    w_->running_ = false;
    for (int t = 0; t < 4; ++t) w_->RunButton(t)->setEnabled(true);
    w_->PageControl1->tabBar()->setEnabled(true);
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  FormIzm2* w_;
};

bool FormIzm2::SensorsSet() const {
  if (Settings().Kpr1 > 0 && Settings().Kpr2 > 0) return true;
  // Without both sensitivities every velocity would be infinite or zero.
  Svc().dialogs->Warning(kSetCoefficient);
  return false;
}

// Broadband run.

void FormIzm2::Button1Click() {
  if (running_) return;
  const std::optional<int> duration = WholeFromText(ComboBox1->currentText(), kMaxDuration);
  if (!duration) {
    Svc().dialogs->Warning(QStringLiteral("Set duration!!"));
    return;
  }
  if (!SensorsSet()) return;
  RunScope scope(this);
  Panel2->setEnabled(false);
  MeasState& m = Meas();
  m.Dlit = static_cast<int16_t>(2 * *duration);
  m.GainCode = 0;
  Gauge1->setMaximum(m.Dlit);
  Gauge1->setValue(0);
  PrepareRecording();
  AdcAcquire();
  ShowRecording();
}

void FormIzm2::ShowRecording() {
  std::vector<OutputLine> lines;
  try {
    lines = RunBroadbandOutput();
  } catch (const MeasError& e) {
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  const int n = static_cast<int>(std::min<size_t>(lines.size(), 1u << 30));
  output_.Remember(OutputPath(), std::move(lines));
  for (QSlider* t : {TrackBar1, TrackBar2}) t->setMaximum(std::max(n, 1));
  TrackBar2->setValue(TrackBar2->minimum());
  TrackBar2->setValue(static_cast<int>(Nearest(n / 10.0)));
  Panel2->setEnabled(true);
  Button13->setEnabled(true);
}

void FormIzm2::TrackBarChange() {
  const double k1 = ChanScale(1), k2 = ChanScale(2), km = (k1 + k2) / 2;
  std::vector<GroupAverage> groups;
  try {
    groups = GroupAverages(output_.Lines(OutputPath()), TrackBar1->value(), TrackBar2->value());
  } catch (const MeasError& e) {
    Chart1->Clear();
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  ChartTrace t;
  t.x.resize(groups.size());
  t.ch1.resize(groups.size());
  t.ch2.resize(groups.size());
  t.mark.resize(groups.size());
  for (size_t i = 0; i < groups.size(); ++i) {
    t.x[i] = static_cast<double>(groups[i].frame);
    t.ch1[i] = k1 * groups[i].a1;
    t.ch2[i] = k2 * groups[i].a2;
    t.mark[i] = km * static_cast<double>(groups[i].s3);
  }
  Chart1->SetTrace(std::move(t));
}

// Rotational run.

void FormIzm2::Button2Click() {
  if (running_ || !SensorsSet()) return;
  RunScope scope(this);
  Meas().NeedSighting = true;  // every run starts with the sighting pass
  if (!RunCycle()) return;
  ShowRotationalResults();
}

void FormIzm2::ShowRotationalResults() {
  const MeasState& m = Meas();
  const QString mm = QStringLiteral(" mm/sec");
  LabelN1->setText(QStringLiteral("Nrev= ") + FormatPicture(m.RPM, 0) + QStringLiteral(" rpm"));
  LabelS11->setText(QStringLiteral("V1s= ") + FormatPicture(m.V1s, 2) + mm);
  LabelV11->setText(QStringLiteral("V1o= ") + FormatPicture(m.V1o, 2) + mm);
  LabelF11->setText(QStringLiteral("F1= ") + FormatPicture(m.F1, 0) + QStringLiteral(" degree"));
  LabelS21->setText(QStringLiteral("V2s= ") + FormatPicture(m.V2s, 2) + mm);
  LabelV21->setText(QStringLiteral("V2o= ") + FormatPicture(m.V2o, 2) + mm);
  LabelF21->setText(QStringLiteral("F2= ") + FormatPicture(m.F2, 0) + QStringLiteral(" degree"));
  const double maxV = Settings().MaxV;
  bool anyOver = false;
  for (auto [label, value] : {std::pair{LabelS11, m.V1s}, std::pair{LabelV11, m.V1o},
                              std::pair{LabelS21, m.V2s}, std::pair{LabelV21, m.V2o}}) {
    Paint(label, value > maxV);
    anyOver = anyOver || value > maxV;
  }
  if (anyOver) Svc().dialogs->Warning(kTooHigh);
  if (!(m.RPM > 0)) {
    Chart1->Clear();
    return;
  }

  std::vector<OutputLine> lines;
  try {
    lines = ReadOutputFile(OutputPath());
  } catch (const MeasError& e) {
    Chart1->Clear();
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  const double step = 360.0 / m.RevPeriod;
  const double k1 = ChanScale(1), k2 = ChanScale(2);
  ChartTrace t;
  double angle = 0;
  for (const OutputLine& l : lines) {
    t.x.push_back(angle);
    t.ch1.push_back(k1 * l.c1);
    t.ch2.push_back(k2 * l.c2);
    angle += step;
  }
  t.mark.assign(t.x.size(), 0.0);
  Chart1->SetTrace(std::move(t));
  Button12->setEnabled(true);
}

// Harmonics run.

void FormIzm2::Button5Click() {
  if (running_) return;
  const std::optional<int> revs = WholeFromText(ComboBox2->currentText(), 1 << 20);
  if (!revs) {
    Svc().dialogs->Warning(QStringLiteral("Set duration!!!"));
    return;
  }
  if (!SensorsSet()) return;
  RunScope scope(this);
  if (!RunCycle()) return;
  const MeasState& m = Meas();
  if (m.AcqStatus == -1) {
    // The raw data file is not this run's recording: the charts and the list stay as they were.
    Log(QStringLiteral(" Harmonics: the recording failed or was stopped, nothing analysed"));
    return;
  }
  if (m.RPM >= 30000 || m.RPM <= 100) {
    Svc().dialogs->Warning(QStringLiteral("Rotor speed is out of range!!! (200-30000 RPM)"));
    return;
  }
  try {
    Extraction(*revs);
  } catch (const MeasError& e) {
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
  }
}

void FormIzm2::Extraction(int revs) {
  Chart1->Clear();
  Panel2->setEnabled(false);
  RunHarmonicsExtraction(revs);
  harmRevs_ = revs;
  Analysis(revs);
}

void FormIzm2::Analysis(int revs) {
  ComboBox2->setEnabled(false);
  ComboBox3->setEnabled(false);
  struct ListsBack {
    FormIzm2* w;
    ~ListsBack() {
      w->ComboBox2->setEnabled(true);
      w->ComboBox3->setEnabled(true);
    }
  } listsBack{this};
  const int listLimit = ComboBox3->currentText().trimmed().toInt();
  const std::optional<HarmonicsResult> r =
      RunHarmonicsAnalysis(revs, listLimit > 0 ? listLimit : 32);
  if (!r) {
    // List and save stay off: Garmoniki.txt and Chart2 are not this run's.
    Svc().dialogs->Warning(QStringLiteral("Requare more points to calculate spectrum !!!"));
    return;
  }
  const QString selected = ComboBox3->currentText();
  ComboBox3->clear();
  ComboBox3->addItems(r->pointCountItems);
  ComboBox3->setCurrentText(selected);

  ChartTrace t;
  for (int m = 0; m < r->N; ++m) t.x.push_back(m);
  t.ch1 = r->z1;
  t.ch2 = r->z2;
  t.mark.assign(t.x.size(), 0.0);
  Chart1->SetTrace(std::move(t));

  QStringList labels;
  std::vector<double> h1, h2;
  for (const HarmonicRow& row : r->rows) {
    labels << row.label;
    h1.push_back(row.h1);
    h2.push_back(row.h2);
  }
  Chart2->SetBars(labels, h1, h2);
  Button3->setEnabled(true);
  Button11->setEnabled(true);
}

// Spectrum run.

void FormIzm2::Button8Click() {
  if (running_) return;
  const std::optional<Bandwidth> bandwidth = BandwidthFromItem(ComboBox4->currentText());
  if (!bandwidth) {
    Svc().dialogs->Warning(QStringLiteral("Set bandwidth!!"));
    return;
  }
  if (!SensorsSet()) return;
  RunScope scope(this);
  QWidget* page = PageControl1->widget(3);
  Panel2->setEnabled(false);
  ComboBox4->setEnabled(false);
  page->setEnabled(false);
  MeasState& m = Meas();
  m.GainCode = 0;
  m.Dlit = 4;
  Gauge1->setMaximum(4);
  m.AdcRate = bandwidth->adcRate;
  // The clock goes back to 100.0 however the run ends.
  struct RateBack {
    FormIzm2* w;
    QWidget* page;
    ~RateBack() {
      Meas().AdcRate = 100.0;
      w->ComboBox4->setEnabled(true);
      page->setEnabled(true);
    }
  } rateBack{this, page};
  PrepareRecording();
  AdcAcquire();
  Gauge1->setValue(0);
  if (m.AcqStatus == -1) {
    Log(QStringLiteral(" Spectrum: the recording failed or was stopped, nothing analysed"));
    return;
  }
  SpectrumData d;
  try {
    d = RunBandSpectrumAnalysis(*bandwidth);
  } catch (const MeasError& e) {
    Svc().dialogs->Error(QString::fromUtf8(e.what()));
    return;
  }
  ChartTrace t;
  for (int k = 0; k < kSpectrumPoints; ++k) t.x.push_back(k);
  t.ch1 = d.s1;
  t.ch2 = d.s2;
  t.mark.assign(t.x.size(), 0.0);
  t.labelled = false;
  Chart1->SetTrace(std::move(t));
  Gauge1->setValue(0);

  QStringList labels;
  std::vector<double> a1, a2;
  for (int k = 0; k < kListedBins; ++k) {
    const auto i = static_cast<size_t>(k);
    labels << FormatGeneral(k * d.df);
    a1.push_back(d.p1[i] / kPeakToRms);
    a2.push_back(d.p2[i] / kPeakToRms);
  }
  Chart2->SetBars(labels, a1, a2);
  ComboBox2->setEnabled(true);
  ComboBox3->setEnabled(true);
  Button9->setEnabled(true);
  Button10->setEnabled(true);
}

}  // namespace vintor
