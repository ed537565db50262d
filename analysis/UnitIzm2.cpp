#include "analysis/UnitIzm2.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>
#include <functional>

#include "charts/DiagramExport.h"
#include "charts/SignalCharts.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {

namespace {

const QColor kNormal(255, 255, 166);
constexpr int kSplitterHeight = 4;
constexpr int kPanel2Height = 60;
constexpr int kTrackInset = 77;  // the limits are as wide as the panel less this

struct TabLayout {
  int stripHeight;
  bool panel2;
  int chart2Height;
  bool splitter;
  const char* label8;
};
constexpr TabLayout kTabs[4] = {
    {73, true, 0, false, "x.z."},
    {83, false, 0, false, "x.z."},
    {73, false, 200, true, "# Harmonic"},
    {73, false, 200, true, "Freq, Hz"},
};

QLabel* ResultLabel(QWidget* parent, const QString& name, const QString& text) {
  QLabel* l = MakeLabel(parent, name, text);
  l->setAutoFillBackground(true);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setMargin(2);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, kNormal);
  l->setPalette(p);
  return l;
}

// The bar between the two charts: dragging it gives Chart2 more or less of the height.
class SplitterBar final : public QFrame {
 public:
  explicit SplitterBar(std::function<void(int dy, bool start)> drag) : drag_(std::move(drag)) {
    setObjectName(QStringLiteral("Splitter1"));
    setCursor(Qt::SplitVCursor);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    y0_ = e->globalPosition().y();
    drag_(0, true);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() & Qt::LeftButton)
      drag_(static_cast<int>(e->globalPosition().y() - y0_), false);
  }

 private:
  std::function<void(int, bool)> drag_;
  double y0_ = 0;
};

}  // namespace

// Chart1 fills what Chart2 (of a set height) and the splitter leave; the corner labels follow
// each chart's size.
class ChartArea final : public QWidget {
 public:
  ChartArea(QWidget* chart1, QWidget* splitter, QWidget* chart2)
      : chart1_(chart1), splitter_(splitter), chart2_(chart2) {
    for (QWidget* w : {chart1, splitter, chart2}) w->setParent(this);
  }
  int Chart2Height() const { return chart2Height_; }
  void SetChart2Height(int h) {
    chart2Height_ = std::max(h, 0);
    Place();
  }
  void SetSplitterShown(bool shown) {
    splitter_->setVisible(shown);
    Place();
  }
  void Drag(int dy, bool start) {
    if (start) dragStart_ = chart2Height_;
    SetChart2Height(std::clamp(dragStart_ - dy, 0, height() - kSplitterHeight));
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    Place();
  }

 private:
  void Place() {
    const int w = width(), h = height();
    const int sh = splitter_->isVisibleTo(this) ? kSplitterHeight : 0;
    const int h2 = std::min(chart2Height_, std::max(h - sh, 0));
    const int h1 = std::max(h - h2 - sh, 0);
    chart1_->setGeometry(0, 0, w, h1);
    splitter_->setGeometry(0, h1, w, sh);
    chart2_->setGeometry(0, h1 + sh, w, h2);
  }
  QWidget* chart1_;
  QWidget* splitter_;
  QWidget* chart2_;
  int chart2Height_ = 0;
  int dragStart_ = 0;
};

FormIzm2::FormIzm2(QWidget* parent)
    : KitDialog(parent, QStringLiteral("FormIzm2"), QStringLiteral("Charts - 2 channels ")) {
  resize(956, 685);
  setMinimumSize(640, 480);

  Gauge1 = new QProgressBar;
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setRange(0, 100);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Gauge1->setFixedHeight(14);

  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setToolTip(QStringLiteral("Vibration on the rotation frequency (1x vibration)"));
  const QStringList captions{"Broadband vibration", "Rotational frequency vibration",
                             "Harmonics (1\\rev)", "Spectrum (Hz)"};
  QWidget* pages[4];
  for (int i = 0; i < 4; ++i) {
    pages[i] = new QWidget;
    pages[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    PageControl1->addTab(pages[i], captions[i]);
  }
  auto row = [](QWidget* page) {
    auto* l = new QHBoxLayout(page);
    l->setContentsMargins(6, 4, 6, 4);
    return l;
  };

  // Broadband.
  ComboBox1 = MakeCombo(pages[0], "ComboBox1", {"2", "5", "10", "15", "20"}, true);
  ComboBox1->setCurrentText(QStringLiteral("2"));
  Button1 = MakeButton(pages[0], "Button1", "F9 - Run");
  Button13 = MakeButton(pages[0], "Button13", "F7 - Save Diagram");
  Button13->hide();
  {
    auto* l = row(pages[0]);
    l->addWidget(new QLabel(QStringLiteral("Duration, sec")));
    l->addWidget(ComboBox1);
    l->addSpacing(16);
    l->addWidget(Button1);
    l->addWidget(Button13);
    l->addStretch();
  }

  // Rotational frequency.
  LabelN1 = ResultLabel(pages[1], "LabelN1", "Nrev= n.d.");
  LabelS11 = ResultLabel(pages[1], "LabelS11", "V1s= n.d.");
  LabelV11 = ResultLabel(pages[1], "LabelV11", "V1o= n.d.");
  LabelF11 = ResultLabel(pages[1], "LabelF11", "F1= n.d.");
  LabelS21 = ResultLabel(pages[1], "LabelS21", "V2s= n.d.");
  LabelV21 = ResultLabel(pages[1], "LabelV21", "V2o= n.d.");
  LabelF21 = ResultLabel(pages[1], "LabelF21", "F2= n.d.");
  Button2 = MakeButton(pages[1], "Button2", "F9 - Run");
  Button12 = MakeButton(pages[1], "Button12", "F7 - Save Diagram");
  {
    auto* g = new QGridLayout(pages[1]);
    g->setContentsMargins(6, 3, 6, 3);
    g->setVerticalSpacing(2);
    g->addWidget(LabelN1, 0, 0);
    g->addWidget(LabelS11, 0, 1);
    g->addWidget(LabelV11, 0, 2);
    g->addWidget(LabelF11, 0, 3);
    g->addWidget(LabelS21, 1, 1);
    g->addWidget(LabelV21, 1, 2);
    g->addWidget(LabelF21, 1, 3);
    g->addWidget(Button2, 0, 4);
    g->addWidget(Button12, 1, 4);
    for (int c = 0; c < 4; ++c) g->setColumnStretch(c, 1);
  }

  // Harmonics.
  ComboBox2 = MakeCombo(pages[2], "ComboBox2", {"1", "2", "4", "8"}, true);
  ComboBox3 = MakeCombo(pages[2], "ComboBox3", {"32", "64", "128", "256", "512", "1024"}, true);
  ComboBox3->hide();
  Button5 = MakeButton(pages[2], "Button5", "F9 - Run");
  Button3 = MakeButton(pages[2], "Button3", "F8 - List");
  Button11 = MakeButton(pages[2], "Button11", "F7 - Save Diagram");
  {
    auto* l = row(pages[2]);
    l->addWidget(new QLabel(QStringLiteral("Rev. number")));
    l->addWidget(ComboBox2);
    l->addSpacing(16);
    l->addWidget(Button5);
    l->addWidget(Button3);
    l->addWidget(Button11);
    l->addStretch();
  }

  // Spectrum.
  ComboBox4 = MakeCombo(pages[3], "ComboBox4", {"64", "128", "320", "640", ""}, false);
  Button8 = MakeButton(pages[3], "Button8", "F9 - Run");
  Button9 = MakeButton(pages[3], "Button9", "F8 - List");
  Button10 = MakeButton(pages[3], "Button10", "F7 - Save Diagram");
  {
    auto* l = row(pages[3]);
    l->addWidget(new QLabel(QStringLiteral("Bandwith, Hz")));
    l->addWidget(ComboBox4);
    l->addSpacing(16);
    l->addWidget(Button8);
    l->addWidget(Button9);
    l->addWidget(Button10);
    l->addStretch();
  }
  for (QComboBox* c : {ComboBox1, ComboBox2, ComboBox4}) c->setMinimumWidth(70);

  // Charts.
  Chart1 = new SignalChart(QStringLiteral("Vibration  - channel 1 & 2 (mm/sec) "));
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->SetSeriesNames({"Ch1", "Ch2", "Rev mark", "Zero"});
  Chart1->SetValueAxisTitle(QStringLiteral("mm/s"));
  Chart1->SetCornerText(QStringLiteral("# point"));
  Chart2 =
      new SpectrumChart(QStringLiteral("Vibration spectrum  - channel 1 & 2 (mm/sec) "), false);
  Chart2->setObjectName(QStringLiteral("Chart2"));
  Chart2->SetSeriesNames({"Ch1", "Ch2", "Zero"});
  Chart2->SetZeroColour(QColor(171, 205, 243));
  Chart2->SetValueAxisTitle(QStringLiteral("mm/sec"));
  Label8 = Chart2->CornerLabel();
  Label8->setObjectName(QStringLiteral("Label8"));
  Splitter1 = new SplitterBar([this](int dy, bool start) { chartArea_->Drag(dy, start); });
  chartArea_ = new ChartArea(Chart1, Splitter1, Chart2);

  // Limits.
  Panel2 = new QWidget;
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFixedHeight(kPanel2Height);
  TrackBar1 = new QSlider(Qt::Horizontal);
  TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
  TrackBar2 = new QSlider(Qt::Horizontal);
  TrackBar2->setObjectName(QStringLiteral("TrackBar2"));
  for (QSlider* t : {TrackBar1, TrackBar2}) t->setRange(1, 25000);
  TrackBar1->setValue(1);
  TrackBar2->setValue(15000);
  {
    auto* g = new QGridLayout(Panel2);
    g->setContentsMargins(0, 2, 0, 2);
    g->setHorizontalSpacing(0);
    g->setColumnMinimumWidth(0, kTrackInset);
    auto* begin = new QLabel(QStringLiteral("Begin"));
    auto* end = new QLabel(QStringLiteral("End"));
    for (QLabel* l : {begin, end}) {
      l->setFixedWidth(kTrackInset);
      l->setIndent(8);
    }
    g->addWidget(begin, 0, 0);
    g->addWidget(TrackBar1, 0, 1);
    g->addWidget(end, 1, 0);
    g->addWidget(TrackBar2, 1, 1);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Gauge1);
  layout->addWidget(PageControl1);
  layout->addWidget(chartArea_, 1);
  layout->addWidget(Panel2);

  connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (!showing_) PageControl1Change();
  });
  connect(Button1, &QPushButton::clicked, this, &FormIzm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &FormIzm2::Button2Click);
  connect(Button5, &QPushButton::clicked, this, &FormIzm2::Button5Click);
  connect(Button8, &QPushButton::clicked, this, &FormIzm2::Button8Click);
  connect(Button3, &QPushButton::clicked, this, &FormIzm2::ListClick);
  connect(Button9, &QPushButton::clicked, this, &FormIzm2::ListClick);
  connect(Button13, &QPushButton::clicked, this, [this] { SaveDiagram("_sm.jpg"); });
  connect(Button12, &QPushButton::clicked, this, [this] { SaveDiagram("_ob.jpg"); });
  connect(Button11, &QPushButton::clicked, this, [this] { SaveDiagram("_tm.jpg", "_gr.jpg"); });
  connect(Button10, &QPushButton::clicked, this, [this] { SaveDiagram("_tm.jpg", "_sp.jpg"); });
  connect(TrackBar1, &QSlider::valueChanged, this, &FormIzm2::TrackBarChange);
  connect(TrackBar2, &QSlider::valueChanged, this, &FormIzm2::TrackBarChange);
  connect(ComboBox4, &QComboBox::currentIndexChanged, this, &FormIzm2::ComboBox4Change);

  const int tabKeys[4] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5};
  for (int i = 0; i < 4; ++i) {
    Keys().On(tabKeys[i], [this, i] {
      if (PageControl1->tabBar()->isEnabled()) PageControl1->setCurrentIndex(i);
    });
  }
  Keys()
      .On(Qt::Key_F8,
          [this] {
            if (PageControl1->currentIndex() == 3) ClickIfEnabled(Button9);
          })
      .On(Qt::Key_F9, [this] { ClickIfEnabled(RunButton(PageControl1->currentIndex())); })
      .On(Qt::Key_F10, [this] { done(QDialog::Rejected); });

  ApplyLayout(0);
}

FormIzm2::~FormIzm2() = default;

int FormIzm2::Chart2Height() const { return chartArea_->Chart2Height(); }

QPushButton* FormIzm2::RunButton(int tab) const {
  switch (tab) {
    case 0:
      return Button1;
    case 1:
      return Button2;
    case 2:
      return Button5;
    case 3:
      return Button8;
    default:
      return nullptr;
  }
}

QString FormIzm2::OutputPath() const {
  return JoinPath(Paths().WorkDir, QStringLiteral("Output.txt"));
}

void FormIzm2::ApplyLayout(int tab) {
  const TabLayout& t = kTabs[std::clamp(tab, 0, 3)];
  PageControl1->setFixedHeight(t.stripHeight);
  Panel2->setVisible(t.panel2);
  chartArea_->SetSplitterShown(t.splitter);
  chartArea_->SetChart2Height(t.chart2Height);
  Chart2->SetCornerText(QString::fromLatin1(t.label8));
}

void FormIzm2::EmptyCharts() {
  Chart1->Clear();
  Chart2->Clear();
}

void FormIzm2::ResetResultLabels() {
  LabelN1->setText(QStringLiteral("Nrev= n.d."));
  LabelS11->setText(QStringLiteral("V1s= n.d."));
  LabelV11->setText(QStringLiteral("V1o= n.d."));
  LabelF11->setText(QStringLiteral("F1= n.d."));
  LabelS21->setText(QStringLiteral("V2s= n.d."));
  LabelV21->setText(QStringLiteral("V2o= n.d."));
  LabelF21->setText(QStringLiteral("F2= n.d."));
}

void FormIzm2::FormShow() {
  if (!centred_ && screen()) {
    centred_ = true;
    move(screen()->availableGeometry().center() - rect().center());
  }
  showing_ = true;
  PageControl1->setCurrentIndex(0);
  showing_ = false;
  ApplyLayout(0);
  Panel2->setEnabled(false);
  ComboBox2->setCurrentIndex(0);
  ComboBox3->setCurrentIndex(0);
  ComboBox3->setEnabled(false);
  ComboBox4->setCurrentIndex(0);
  EmptyCharts();
  for (QPushButton* b : {Button13, Button12, Button11, Button10, Button3, Button9})
    b->setEnabled(false);
}

void FormIzm2::FormClose() { Meas().AdcRate = 100.0; }

void FormIzm2::PageControl1Change() {
  QString error;
  if (!ReplaceFile(OutputPath(), QByteArray(), &error, Flush::Working))
    Svc().dialogs->Error(QStringLiteral("Cannot write %1: %2").arg(OutputPath(), error));
  EmptyCharts();
  ResetResultLabels();
  const int tab = PageControl1->currentIndex();
  ApplyLayout(tab);
  RunButton(tab)->setFocus();
  switch (tab) {
    case 0:
      Button13->setEnabled(false);
      break;
    case 1:
      Button12->setEnabled(false);
      break;
    case 2:
      Button11->setEnabled(false);
      Button3->setEnabled(false);
      break;
    default:
      Button10->setEnabled(false);
      Button9->setEnabled(false);
      break;
  }
  Panel2->setEnabled(false);
}

void FormIzm2::ComboBox4Change() {
  // Nothing is recomputed: the charts no longer match the list.
  EmptyCharts();
}

void FormIzm2::ListClick() {
  OpenDocument(JoinPath(Paths().WorkDir, QStringLiteral("Garmoniki.txt")));
}

void FormIzm2::SaveDiagram(const QString& suffix1, const QString& suffix2) {
  const QString f = AskDiagramFileName();
  if (f.isEmpty()) return;
  const QString first = f + suffix1;
  if (suffix2.isEmpty()) {
    if (SaveWidgetJpeg(Chart1, first)) OpenDocument(first);
    return;
  }
  const QString second = f + suffix2;
  const int h1 = Chart1->height();
  const int h2 = chartArea_->Chart2Height();
  chartArea_->SetChart2Height(0);
  const bool wroteFirst = SaveWidgetJpeg(Chart1, first);
  chartArea_->SetChart2Height(h1 + h2);
  const bool wroteSecond = SaveWidgetJpeg(Chart2, second);
  if (wroteFirst) OpenDocument(first);
  // The viewer gets a moment with the first picture before the second arrives.
  if (wroteFirst && wroteSecond) QThread::msleep(1000);
  if (wroteSecond) OpenDocument(second);
  chartArea_->SetChart2Height(h2);
}

void FormIzm2::GaugesSetMax(int max) { Gauge1->setMaximum(std::max(max, 1)); }
void FormIzm2::GaugesSetProgress(int value) {
  Gauge1->setValue(std::min(value, Gauge1->maximum()));
}
void FormIzm2::GaugesStep() { Gauge1->setValue(std::min(Gauge1->value() + 1, Gauge1->maximum())); }

void FormIzm2::ChartsResultLabels(const QString& v1, const QString& v2) {
  LabelV11->setText(v1);
  LabelV21->setText(v2);
}

}  // namespace vintor
