#include "charts/SignalCharts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "base/Formatting.h"
#include "measurement/Spectrum.h"

namespace vintor {
namespace {

constexpr int kCornerRight = 77;   // the corner text's left edge, from the right edge
constexpr int kCornerBottom = 15;  // its top edge, from the bottom edge

QChartView* MakeView(QChart* chart, QWidget* parent) {
  chart->setLocalizeNumbers(true);
  QLocale locale = chart->locale();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  chart->setLocale(locale);
  chart->setMargins(QMargins(2, 0, 2, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->setBackgroundBrush(Qt::white);
  chart->legend()->setAlignment(Qt::AlignRight);
  QFont title = chart->titleFont();
  title.setBold(true);
  title.setPointSize(8);
  chart->setTitleFont(title);
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setFrameShape(QFrame::NoFrame);
  view->setBackgroundBrush(Qt::white);
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  return view;
}

void SmallFonts(QAbstractAxis* axis) {
  QFont f = axis->titleFont();
  f.setPointSize(7);
  axis->setTitleFont(f);
  QFont labels = axis->labelsFont();
  labels.setPointSize(7);
  axis->setLabelsFont(labels);
}

QValueAxis* MakeAxis(const QString& title, const QString& format) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setLabelFormat(format);
  SmallFonts(axis);
  return axis;
}

// A value axis whose labels read "##0.###": at most three decimals, no trailing zeros, never an
// exponent (a printf format cannot say that, so the labels are placed as categories).
QCategoryAxis* MakeValueAxis(const QString& title) {
  auto* axis = new QCategoryAxis;
  axis->setTitleText(title);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  SmallFonts(axis);
  return axis;
}

// About six intervals, each a step that three decimals show exactly.
double NiceStep(double rough) {
  if (!(rough > 0.001)) return 0.001;
  const double p = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 2.5, 5.0})
    if (rough <= m * p && (m != 2.5 || p >= 0.01)) return m * p;
  return 10 * p;
}

// A whole-number tick step of 1, 2 or 5 times a power of ten.
double NiceWholeStep(double rough) {
  if (!(rough > 1.0)) return 1.0;
  const double p = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0})
    if (rough <= m * p) return m * p;
  return 10 * p;
}

void ClearCategories(QCategoryAxis* axis) {
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
}

void SetValueRange(QCategoryAxis* axis, double lo, double hi) {
  QStringList labels;
  std::vector<double> at;
  const double step = NiceStep((hi - lo) / 6.0);
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1.0) {
    const QString label = FormatUpToDecimals(k * step, 3);
    if (labels.contains(label)) continue;
    labels << label;
    at.push_back(k * step);
  }
  // Every new label is laid out anew by Qt Charts: leave an unchanged axis alone.
  if (axis->min() == lo && axis->max() == hi && axis->categoriesLabels() == labels) return;
  ClearCategories(axis);
  axis->setStartValue(lo);
  axis->setRange(lo, hi);
  for (qsizetype i = 0; i < labels.size(); ++i) axis->append(labels[i], at[static_cast<size_t>(i)]);
}

void ShowInLegend(QChart* chart, QAbstractSeries* series, bool shown) {
  for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(shown);
}

// A symmetric range that leaves a little room above the largest value.
double NiceLimit(double peak) {
  if (!(peak > 0)) return 1.0;
  const double p = std::pow(10.0, std::floor(std::log10(peak)));
  for (double m : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
    if (peak * 1.05 <= m * p) return m * p;
  return 10 * p;
}

int PlotColumns(const QChart* chart, const QWidget* widget) {
  const int w = static_cast<int>(chart->plotArea().width());
  return std::max(w > 0 ? w : widget->width(), 64);
}

// The column (of `columns` across x0 .. x0 + span) that x falls in.
int ColumnOf(double x, double x0, double span, int columns) {
  const int c = static_cast<int>((x - x0) / span * columns);
  return std::clamp(c, 0, columns - 1);
}

// The line as drawn: all points while they are few, else per pixel column the first, lowest,
// highest and last point in their order, which draws the same picture.
QList<QPointF> Envelope(const std::vector<double>& x, const std::vector<double>& y, int columns) {
  const size_t n = std::min(x.size(), y.size());
  QList<QPointF> out;
  const double x0 = n ? x.front() : 0.0;
  const double span = n ? x[n - 1] - x0 : 0.0;
  if (n <= static_cast<size_t>(4 * columns) || !(span > 0)) {
    out.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) out.append({x[i], y[i]});
    return out;
  }
  out.reserve(4 * columns + 4);
  size_t i = 0;
  while (i < n) {
    const int col = ColumnOf(x[i], x0, span, columns);
    size_t lo = i, hi = i, j = i + 1;
    for (; j < n && ColumnOf(x[j], x0, span, columns) == col; ++j) {
      if (y[j] < y[lo]) lo = j;
      if (y[j] > y[hi]) hi = j;
    }
    size_t keep[4] = {i, std::min(lo, hi), std::max(lo, hi), j - 1};
    size_t last = n;
    for (size_t k : keep) {
      if (k == last) continue;
      out.append({x[k], y[k]});
      last = k;
    }
    i = j;
  }
  return out;
}

// Marks as spikes (x, height) from the zero line; where several fall in one pixel column the
// largest stands for them.
QList<QPointF> Spikes(const std::vector<double>& x, const std::vector<double>& mark, int columns) {
  const size_t n = std::min(x.size(), mark.size());
  QList<QPointF> out;
  if (n == 0) return out;
  const double x0 = x.front();
  const double span = x[n - 1] - x0;
  int lastCol = -1;
  for (size_t i = 0; i < n; ++i) {
    if (mark[i] == 0.0) continue;
    const int col = span > 0 ? ColumnOf(x[i], x0, span, columns) : 0;
    if (col == lastCol) {
      if (std::fabs(mark[i]) > std::fabs(out.last().y())) out.last().setY(mark[i]);
      continue;
    }
    lastCol = col;
    out.append({x[i], mark[i]});
  }
  return out;
}

}  // namespace

struct ChartWidget::Base {
  QChart* chart = nullptr;
  QChartView* view = nullptr;
  QCategoryAxis* y = nullptr;
  QLabel* corner = nullptr;
};

ChartWidget::ChartWidget(const QString& title, QWidget* parent) : QWidget(parent), b_(new Base) {
  b_->chart = new QChart;
  b_->chart->setTitle(title);
  b_->y = MakeValueAxis(QStringLiteral("mm/sec"));
  b_->chart->addAxis(b_->y, Qt::AlignLeft);
  b_->view = MakeView(b_->chart, this);
  b_->corner = new QLabel(this);
  QFont f = b_->corner->font();
  f.setPointSize(7);
  b_->corner->setFont(f);
  b_->corner->setAttribute(Qt::WA_TransparentForMouseEvents);
  b_->corner->hide();
}

ChartWidget::~ChartWidget() { delete b_; }

QString ChartWidget::Title() const { return b_->chart->title(); }
QString ChartWidget::ValueAxisTitle() const { return b_->y->titleText(); }
void ChartWidget::SetValueAxisTitle(const QString& title) { b_->y->setTitleText(title); }
QStringList ChartWidget::ValueAxisLabels() const { return b_->y->categoriesLabels(); }
QLabel* ChartWidget::CornerLabel() const { return b_->corner; }

void ChartWidget::SetCornerText(const QString& text) {
  b_->corner->setText(text);
  b_->corner->adjustSize();
  b_->corner->setVisible(!text.isEmpty());
  // Room along the bottom edge for the corner text, below the axis labels.
  b_->chart->setMargins(QMargins(2, 0, 2, text.isEmpty() ? 0 : 12));
  b_->corner->move(width() - kCornerRight, height() - kCornerBottom);
  b_->corner->raise();
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  b_->corner->move(width() - kCornerRight, height() - kCornerBottom);
}

namespace {

// What a chart shows, painted straight into its plot area. A Qt Charts line series works out a
// widened outline of its whole line for mouse hits each time its points change, and a bar series
// makes and destroys graphics items bar by bar: for a few thousand points or a hundred bars that
// takes far longer than the painting. The Qt Charts series stay, empty, for the legend.
class PlotItem final : public QGraphicsItem {
 public:
  PlotItem(QChart* chart, const QValueAxis* x, const QValueAxis* y)
      : QGraphicsItem(chart), chart_(chart), x_(x), y_(y) {
    setZValue(100);  // over the grid lines
  }
  struct Line {
    int series = 0;
    QPolygonF points;  // in axis values; for spikes (x, height)
    QPen pen;
    bool spikes = false;  // each point a narrow bar from zero, not a joined line
  };
  // Bar j spans j + offset .. j + offset + width along x, from 0 to values[j].
  struct Bars {
    std::vector<double> values;
    QColor colour;
    double offset = 0.0;
    double width = 1.0;
  };
  std::vector<Bars> bars;
  std::vector<Line> lines;

  void SetXAxis(const QValueAxis* x) { x_ = x; }
  void Changed() {
    prepareGeometryChange();
    update();
  }
  QRectF boundingRect() const override { return chart_->plotArea(); }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    const QRectF plot = chart_->plotArea();
    const double x0 = x_->min(), y0 = y_->min();
    const double xs = x_->max() > x0 ? plot.width() / (x_->max() - x0) : 0.0;
    const double ys = y_->max() > y0 ? plot.height() / (y_->max() - y0) : 0.0;
    auto px = [&](double x) { return plot.left() + (x - x0) * xs; };
    auto py = [&](double y) { return plot.bottom() - (y - y0) * ys; };
    painter->save();
    painter->setClipRect(plot);
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (const Bars& b : bars) {
      painter->setPen(Qt::NoPen);
      painter->setBrush(b.colour);
      for (size_t j = 0; j < b.values.size(); ++j) {
        const double left = px(static_cast<double>(j) + b.offset);
        const double right = px(static_cast<double>(j) + b.offset + b.width);
        painter->drawRect(QRectF(QPointF(left, py(b.values[j])), QPointF(right, py(0.0))));
      }
    }
    QPolygonF mapped;
    for (const Line& line : lines) {
      if (line.spikes) {
        // Bars of two pixels: a widened line joined over hundreds of up-and-down strokes
        // takes the painter ages.
        painter->setRenderHint(QPainter::Antialiasing, false);
        for (const QPointF& p : line.points)
          painter->fillRect(
              QRectF(QPointF(px(p.x()) - 1, py(p.y())), QPointF(px(p.x()) + 1, py(0))),
              line.pen.color());
        continue;
      }
      painter->setRenderHint(QPainter::Antialiasing, false);
      mapped.resize(line.points.size());
      for (qsizetype i = 0; i < line.points.size(); ++i)
        mapped[i] = {px(line.points[i].x()), py(line.points[i].y())};
      painter->setPen(line.pen);
      painter->drawPolyline(mapped);
    }
    painter->restore();
  }

 private:
  QChart* chart_;
  const QValueAxis* x_;
  const QValueAxis* y_;
};

}  // namespace

struct SignalChart::Impl {
  QLineSeries* series[4] = {};  // the two signals, the marks, zero (for the legend)
  QValueAxis* x = nullptr;
  PlotItem* item = nullptr;
  ChartTrace trace;
  int drawnColumns = 0;
};

SignalChart::SignalChart(const QString& title, QWidget* parent)
    : ChartWidget(title, parent), d_(new Impl) {
  const QString names[4] = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("Mark"),
                            QStringLiteral("Zero")};
  QPen pens[4] = {QPen(QColor(220, 0, 0), 1), QPen(QColor(0, 150, 0), 1),
                  QPen(QColor(193, 192, 255), 2), QPen(QColor(0, 0, 220), 1)};
  // Cosmetic pens take the painter's quick path: a widened outline of thousands of segments
  // costs tens of milliseconds.
  for (QPen& pen : pens) pen.setCosmetic(true);
  d_->x = MakeAxis(QStringLiteral("s"), QStringLiteral("%.2f"));
  QChart* chart = b_->chart;
  chart->addAxis(d_->x, Qt::AlignBottom);
  for (int i = 0; i < 4; ++i) {
    auto* s = new QLineSeries;
    s->setName(names[i]);
    s->setPen(pens[i]);
    chart->addSeries(s);
    s->attachAxis(d_->x);
    s->attachAxis(b_->y);
    d_->series[i] = s;
  }
  ShowInLegend(chart, d_->series[2], false);
  ShowInLegend(chart, d_->series[3], false);
  d_->item = new PlotItem(chart, d_->x, b_->y);
  // A new plot width changes the envelope of a long trace.
  connect(chart, &QChart::plotAreaChanged, this, [this] {
    if (PlotColumns(b_->chart, this) != d_->drawnColumns && d_->trace.x.size() > 4 * 64)
      Draw();
    else
      d_->item->Changed();
  });
  d_->x->setRange(0, 1);
  SetValueRange(b_->y, -1, 1);
}

SignalChart::~SignalChart() { delete d_; }

void SignalChart::SetSignals(const std::vector<double>& s1, const std::vector<double>& s2,
                             double step) {
  ChartTrace t;
  const size_t n = std::min(s1.size(), s2.size());
  t.x.resize(n);
  for (size_t j = 0; j < n; ++j) t.x[j] = static_cast<double>(j) * step;
  t.ch1.assign(s1.begin(), s1.begin() + static_cast<std::ptrdiff_t>(n));
  t.ch2.assign(s2.begin(), s2.begin() + static_cast<std::ptrdiff_t>(n));
  t.labelled = false;
  d_->trace = std::move(t);
  d_->x->setTitleText(QStringLiteral("s"));
  d_->x->setLabelFormat(QStringLiteral("%.2f"));
  d_->x->setTickType(QValueAxis::TicksFixed);
  d_->x->setRange(0, n > 1 ? static_cast<double>(n - 1) * step : 1.0);
  SetValueRangeFromTrace();
  Draw();
}

void SignalChart::SetTrace(ChartTrace trace) {
  const size_t n = std::min({trace.x.size(), trace.ch1.size(), trace.ch2.size()});
  trace.x.resize(n);
  trace.ch1.resize(n);
  trace.ch2.resize(n);
  if (!trace.mark.empty()) trace.mark.resize(n, 0.0);
  d_->trace = std::move(trace);
  const std::vector<double>& x = d_->trace.x;
  const double lo = n ? x.front() : 0.0;
  const double hi = n > 1 ? x.back() : lo + 1.0;
  d_->x->setTitleText(QString());
  d_->x->setLabelFormat(QStringLiteral("%.0f"));
  // Never a moment with the old step over the new range: that could be thousands of ticks.
  d_->x->setTickType(QValueAxis::TicksFixed);
  d_->x->setRange(lo, hi);
  d_->x->setTickAnchor(0);
  d_->x->setTickInterval(NiceWholeStep((hi - lo) / 8.0));
  d_->x->setTickType(QValueAxis::TicksDynamic);
  SetValueRangeFromTrace();
  Draw();
}

void SignalChart::Draw() {
  const ChartTrace& t = d_->trace;
  const int columns = PlotColumns(b_->chart, this);
  d_->drawnColumns = columns;
  QList<QPointF> zero;
  if (!t.x.empty()) zero = {{t.x.front(), 0.0}, {t.x.back(), 0.0}};
  // Painted in this order: zero, the marks behind the signals, channel 2, channel 1 on top.
  const std::pair<int, QList<QPointF>> drawn[4] = {{3, zero},
                                                   {2, Spikes(t.x, t.mark, columns)},
                                                   {1, Envelope(t.x, t.ch2, columns)},
                                                   {0, Envelope(t.x, t.ch1, columns)}};
  d_->item->lines.clear();
  for (const auto& [series, points] : drawn)
    d_->item->lines.push_back({series, QPolygonF(points), d_->series[series]->pen(), series == 2});
  d_->item->Changed();
}

void SignalChart::SetValueRangeFromTrace() {
  const ChartTrace& t = d_->trace;
  double peak = 0;
  for (const std::vector<double>* v : {&t.ch1, &t.ch2, &t.mark})
    for (double a : *v) peak = std::max(peak, std::fabs(a));
  const double limit = NiceLimit(peak);
  SetValueRange(b_->y, -limit, limit);
}

void SignalChart::Clear() {
  // The axes keep their scales: the next points most often need the same.
  d_->trace = ChartTrace{};
  d_->item->lines.clear();
  d_->item->Changed();
}

int SignalChart::PointCount() const { return static_cast<int>(d_->trace.x.size()); }

QString SignalChart::SeriesName(int index) const {
  return index >= 0 && index < 4 ? d_->series[index]->name() : QString();
}

void SignalChart::SetSeriesNames(const QStringList& names) {
  for (int i = 0; i < 4 && i < names.size(); ++i) d_->series[i]->setName(names[i]);
  // A window that names its marks lists them.
  ShowInLegend(b_->chart, d_->series[2], names.size() > 2 && !names[2].isEmpty());
}

QColor SignalChart::SeriesColour(int index) const {
  return index >= 0 && index < 4 ? d_->series[index]->pen().color() : QColor();
}

double SignalChart::PointValue(int series, int index) const {
  const ChartTrace& t = d_->trace;
  if (index < 0 || static_cast<size_t>(index) >= t.x.size()) return 0.0;
  const auto i = static_cast<size_t>(index);
  switch (series) {
    case 0:
      return t.ch1[i];
    case 1:
      return t.ch2[i];
    case 2:
      return t.mark.empty() ? 0.0 : t.mark[i];
    default:
      return 0.0;
  }
}

QString SignalChart::PointLabel(int index) const {
  const ChartTrace& t = d_->trace;
  if (!t.labelled || index < 0 || static_cast<size_t>(index) >= t.x.size()) return QString();
  return FormatPicture(t.x[static_cast<size_t>(index)], 0);
}

int SignalChart::DrawnPointCount(int series) const {
  for (const PlotItem::Line& line : d_->item->lines)
    if (line.series == series) return static_cast<int>(line.points.size());
  return 0;
}

struct SpectrumChart::Impl {
  QBarSeries* bars = nullptr;  // empty: the names and colours of the legend
  QBarSet* a1 = nullptr;
  QBarSet* a2 = nullptr;
  QLineSeries* zero = nullptr;
  QValueAxis* hz = nullptr;
  QValueAxis* rpm = nullptr;
  QCategoryAxis* labelsAxis = nullptr;  // the bottom axis of labelled bars
  PlotItem* item = nullptr;
  bool labelled = false;
  QStringList labels;
  std::vector<double> v1, v2;
};

SpectrumChart::SpectrumChart(const QString& title, bool rpmTopAxis, QWidget* parent)
    : ChartWidget(title, parent), d_(new Impl) {
  QChart* chart = b_->chart;
  d_->a1 = new QBarSet(QStringLiteral("A1"));
  d_->a1->setColor(QColor(220, 0, 0));
  d_->a1->setBorderColor(QColor(220, 0, 0));
  d_->a2 = new QBarSet(QStringLiteral("A2"));
  d_->a2->setColor(QColor(0, 150, 0));
  d_->a2->setBorderColor(QColor(0, 150, 0));
  d_->bars = new QBarSeries;
  d_->bars->append(d_->a1);
  d_->bars->append(d_->a2);
  d_->hz = MakeAxis(QStringLiteral("Hz"), QStringLiteral("%.0f"));
  d_->hz->setRange(0, 128);
  d_->hz->setTickType(QValueAxis::TicksDynamic);
  d_->hz->setTickAnchor(0);
  d_->hz->setTickInterval(10);
  d_->labelsAxis = MakeValueAxis(QString());
  d_->labelsAxis->setVisible(false);
  SetValueRange(b_->y, 0, 1);
  chart->addAxis(d_->hz, Qt::AlignBottom);
  chart->addAxis(d_->labelsAxis, Qt::AlignBottom);
  chart->addSeries(d_->bars);
  d_->bars->attachAxis(d_->hz);
  d_->bars->attachAxis(b_->y);
  d_->zero = new QLineSeries;
  d_->zero->setName(QStringLiteral("Zero"));
  QPen zeroPen(QColor(0, 0, 220), 1);
  zeroPen.setCosmetic(true);
  d_->zero->setPen(zeroPen);
  chart->addSeries(d_->zero);
  if (rpmTopAxis) {
    d_->rpm = MakeAxis(QStringLiteral("RPM"), QStringLiteral("%.0f"));
    d_->rpm->setRange(0, 7680);
    d_->rpm->setTickType(QValueAxis::TicksDynamic);
    d_->rpm->setTickAnchor(0);
    d_->rpm->setTickInterval(600);
    chart->addAxis(d_->rpm, Qt::AlignTop);
    d_->zero->attachAxis(d_->rpm);
  } else {
    d_->zero->attachAxis(d_->hz);
  }
  d_->zero->attachAxis(b_->y);
  ShowInLegend(chart, d_->zero, false);
  d_->item = new PlotItem(chart, d_->hz, b_->y);
  connect(chart, &QChart::plotAreaChanged, this, [this] {
    if (d_->labelled) PlaceBarLabels();
    d_->item->Changed();
  });
}

SpectrumChart::~SpectrumChart() { delete d_; }

namespace {

void SwitchAxis(QAbstractSeries* series, QAbstractAxis* from, QAbstractAxis* to) {
  if (series->attachedAxes().contains(from)) {
    series->detachAxis(from);
    series->attachAxis(to);
  }
}

}  // namespace

void SpectrumChart::Draw() {
  const size_t n = std::min(d_->v1.size(), d_->v2.size());
  d_->v1.resize(n);
  d_->v2.resize(n);
  // Two bars share each line, side by side: together they fill it.
  d_->item->bars = {{d_->v1, d_->a1->color(), -0.5, 0.5}, {d_->v2, d_->a2->color(), 0.0, 0.5}};
  d_->item->lines.clear();
  if (n > 0)
    d_->item->lines.push_back(
        {2, QPolygonF({{0.0, 0.0}, {static_cast<double>(n - 1), 0.0}}), d_->zero->pen(), false});
  double peak = 0;
  for (size_t j = 0; j < n; ++j) peak = std::max({peak, d_->v1[j], d_->v2[j]});
  SetValueRange(b_->y, 0, NiceLimit(peak));
  d_->item->Changed();
}

void SpectrumChart::resizeEvent(QResizeEvent* event) {
  ChartWidget::resizeEvent(event);
  FitFrequencyTicks();
}

void SpectrumChart::FitFrequencyTicks() {
  // Labels every 10 Hz and 600 rev/min where there is room, fewer in a narrow chart, rather
  // than labels cut down to "...". The plot takes the width less the value axis and the legend.
  const double plot = std::max(0, width() - 110);
  auto fit = [plot](double range, std::initializer_list<double> steps, double labelWidth) {
    for (double step : steps)
      if ((range / step + 1) * labelWidth <= plot) return step;
    return *(steps.end() - 1);
  };
  const double hz = fit(128, {10, 20, 40, 64}, 30);
  if (d_->hz->tickInterval() != hz) d_->hz->setTickInterval(hz);
  if (d_->rpm) {
    const double rpm = fit(7680, {600, 1200, 2400, 3840}, 44);
    if (d_->rpm->tickInterval() != rpm) d_->rpm->setTickInterval(rpm);
  }
}

double SpectrumChart::FrequencyStep() const { return d_->hz->tickInterval(); }
double SpectrumChart::RpmStep() const { return d_->rpm ? d_->rpm->tickInterval() : 0.0; }

void SpectrumChart::SetSpectrum(const std::vector<double>& a1, const std::vector<double>& a2) {
  if (d_->labelled) {
    // Back to the frequency axis.
    d_->labelled = false;
    d_->labels.clear();
    SwitchAxis(d_->bars, d_->labelsAxis, d_->hz);
    if (!d_->rpm) SwitchAxis(d_->zero, d_->labelsAxis, d_->hz);
    d_->labelsAxis->setVisible(false);
    d_->hz->setVisible(true);
    d_->item->SetXAxis(d_->hz);
  }
  d_->v1 = a1;
  d_->v2 = a2;
  Draw();
}

void SpectrumChart::SetBars(const QStringList& labels, const std::vector<double>& a1,
                            const std::vector<double>& a2) {
  if (!d_->labelled) {
    d_->labelled = true;
    SwitchAxis(d_->bars, d_->hz, d_->labelsAxis);
    if (!d_->rpm) SwitchAxis(d_->zero, d_->hz, d_->labelsAxis);
    d_->hz->setVisible(false);
    d_->labelsAxis->setVisible(true);
    d_->item->SetXAxis(d_->labelsAxis);
  }
  const size_t n = std::min({static_cast<size_t>(labels.size()), a1.size(), a2.size()});
  d_->labels = labels.mid(0, static_cast<qsizetype>(n));
  d_->v1.assign(a1.begin(), a1.begin() + static_cast<std::ptrdiff_t>(n));
  d_->v2.assign(a2.begin(), a2.begin() + static_cast<std::ptrdiff_t>(n));
  PlaceBarLabels();
  Draw();
}

void SpectrumChart::PlaceBarLabels() {
  QCategoryAxis* axis = d_->labelsAxis;
  const auto n = d_->labels.size();
  const double lo = -0.5, hi = n > 0 ? static_cast<double>(n) - 0.5 : 0.5;
  // As many labels as fit without touching: every k-th distinct label at least.
  const QFontMetrics metrics(axis->labelsFont());
  int widest = 1;
  for (const QString& l : d_->labels) widest = std::max(widest, metrics.horizontalAdvance(l));
  const double perBar = PlotColumns(b_->chart, this) / std::max<double>(hi - lo, 1.0);
  // Qt shortens a label that comes near its neighbour: leave it room.
  const double rough = (widest * 1.6 + 12) / perBar;
  int k = 1;
  for (int m : {1, 2, 4, 5, 8, 10, 16, 20, 32, 40, 50, 64, 100, 128, 200, 256, 500, 1000}) {
    k = m;
    if (m >= rough) break;
  }
  QStringList shown;
  std::vector<double> at;
  qsizetype last = -1;
  for (qsizetype j = 0; j < n; ++j) {
    const QString& l = d_->labels[j];
    if (l.isEmpty() || l == QLatin1String(".") || shown.contains(l)) continue;
    if (last >= 0 && j - last < k) continue;
    shown << l;
    at.push_back(static_cast<double>(j));
    last = j;
  }
  if (axis->categoriesLabels() == shown && axis->min() == lo && axis->max() == hi) return;
  ClearCategories(axis);
  axis->setStartValue(lo);
  axis->setRange(lo, hi);
  for (qsizetype i = 0; i < shown.size(); ++i) axis->append(shown[i], at[static_cast<size_t>(i)]);
}

void SpectrumChart::Clear() {
  d_->v1.clear();
  d_->v2.clear();
  d_->item->bars.clear();
  d_->item->lines.clear();
  d_->item->Changed();
  if (d_->labelled) {
    d_->labels.clear();
    ClearCategories(d_->labelsAxis);
  }
}

int SpectrumChart::BarCount() const { return static_cast<int>(d_->v1.size()); }

double SpectrumChart::BarValue(int set, int line) const {
  const std::vector<double>& v = set == 0 ? d_->v1 : d_->v2;
  return line >= 0 && static_cast<size_t>(line) < v.size() ? v[static_cast<size_t>(line)] : 0.0;
}

QString SpectrumChart::BarLabel(int line) const {
  return line >= 0 && line < d_->labels.size() ? d_->labels[line] : QString();
}

QStringList SpectrumChart::BottomAxisLabels() const {
  return d_->labelled ? d_->labelsAxis->categoriesLabels() : QStringList();
}

QString SpectrumChart::SeriesName(int index) const {
  switch (index) {
    case 0:
      return d_->a1->label();
    case 1:
      return d_->a2->label();
    case 2:
      return d_->zero->name();
    default:
      return QString();
  }
}

void SpectrumChart::SetSeriesNames(const QStringList& names) {
  if (names.size() > 0) d_->a1->setLabel(names[0]);
  if (names.size() > 1) d_->a2->setLabel(names[1]);
  if (names.size() > 2) d_->zero->setName(names[2]);
}

QColor SpectrumChart::SeriesColour(int index) const {
  switch (index) {
    case 0:
      return d_->a1->color();
    case 1:
      return d_->a2->color();
    case 2:
      return d_->zero->pen().color();
    default:
      return QColor();
  }
}

void SpectrumChart::SetZeroColour(const QColor& colour) {
  QPen pen = d_->zero->pen();
  pen.setColor(colour);
  d_->zero->setPen(pen);
  Draw();
}

void ShowMeterSpectrum(const SpectrumData& data, SignalChart* waves, SpectrumChart* lines) {
  waves->SetSignals(data.s1, data.s2, kMeterDecimation / 25000.0);
  std::vector<double> a1, a2;
  for (int j = 0; j < kListedBins && j < static_cast<int>(data.p1.size()); ++j) {
    a1.push_back(data.p1[static_cast<size_t>(j)] / kPeakToRms);
    a2.push_back(data.p2[static_cast<size_t>(j)] / kPeakToRms);
  }
  lines->SetSpectrum(a1, a2);
}

}  // namespace vintor
