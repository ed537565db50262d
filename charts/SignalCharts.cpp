#include "charts/SignalCharts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "base/Formatting.h"

namespace vintor {
namespace {

QChartView* MakeView(QChart* chart, QWidget* parent) {
  chart->setLocalizeNumbers(true);
  chart->setMargins(QMargins(2, 0, 2, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  chart->legend()->setAlignment(Qt::AlignRight);
  QFont title = chart->titleFont();
  title.setBold(true);
  title.setPointSize(8);
  chart->setTitleFont(title);
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  return view;
}

QValueAxis* MakeAxis(const QString& title, const QString& format) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setLabelFormat(format);
  QFont f = axis->titleFont();
  f.setPointSize(7);
  axis->setTitleFont(f);
  QFont labels = axis->labelsFont();
  labels.setPointSize(7);
  axis->setLabelsFont(labels);
  return axis;
}

// A value axis whose labels read "##0.###": at most three decimals, no trailing zeros, never an
// exponent (a printf format cannot say that, so the labels are placed as categories).
QCategoryAxis* MakeValueAxis(const QString& title) {
  auto* axis = new QCategoryAxis;
  axis->setTitleText(title);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  QFont f = axis->titleFont();
  f.setPointSize(7);
  axis->setTitleFont(f);
  QFont labels = axis->labelsFont();
  labels.setPointSize(7);
  axis->setLabelsFont(labels);
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

void SetValueRange(QCategoryAxis* axis, double lo, double hi) {
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  axis->setStartValue(lo);
  axis->setRange(lo, hi);
  const double step = NiceStep((hi - lo) / 6.0);
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1.0) {
    const QString label = FormatUpToDecimals(k * step, 3);
    if (!axis->categoriesLabels().contains(label)) axis->append(label, k * step);
  }
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

// A symmetric range that leaves a little room above the largest value.
double NiceLimit(double peak) {
  if (!(peak > 0)) return 1.0;
  const double p = std::pow(10.0, std::floor(std::log10(peak)));
  for (double m : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
    if (peak * 1.05 <= m * p) return m * p;
  return 10 * p;
}

}  // namespace

struct SignalChart::Impl {
  QChart* chart = nullptr;
  QLineSeries* a1 = nullptr;
  QLineSeries* a2 = nullptr;
  QLineSeries* zero = nullptr;
  QBarSeries* mark = nullptr;
  QValueAxis* x = nullptr;
  QCategoryAxis* y = nullptr;
};

SignalChart::SignalChart(const QString& title, QWidget* parent) : QWidget(parent), d_(new Impl) {
  d_->chart = new QChart;
  d_->chart->setTitle(title);
  d_->a1 = new QLineSeries;
  d_->a1->setName(QStringLiteral("A1"));
  d_->a1->setPen(QPen(QColor(220, 0, 0), 1.2));
  d_->a2 = new QLineSeries;
  d_->a2->setName(QStringLiteral("A2"));
  d_->a2->setPen(QPen(QColor(0, 150, 0), 1.2));
  d_->mark = new QBarSeries;
  d_->mark->setName(QStringLiteral("Mark"));
  d_->zero = new QLineSeries;
  d_->zero->setName(QStringLiteral("Zero"));
  d_->zero->setPen(QPen(QColor(0, 0, 220), 1));
  d_->x = MakeAxis(QStringLiteral("s"), QStringLiteral("%.2f"));
  d_->y = MakeValueAxis(QStringLiteral("mm/sec"));
  d_->chart->addAxis(d_->x, Qt::AlignBottom);
  d_->chart->addAxis(d_->y, Qt::AlignLeft);
  for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{d_->a1, d_->a2, d_->zero}) {
    d_->chart->addSeries(s);
    s->attachAxis(d_->x);
    s->attachAxis(d_->y);
  }
  d_->chart->addSeries(d_->mark);
  d_->mark->attachAxis(d_->y);
  HideFromLegend(d_->chart, d_->mark);
  HideFromLegend(d_->chart, d_->zero);
  MakeView(d_->chart, this);
  Clear();
}

SignalChart::~SignalChart() { delete d_; }

void SignalChart::SetSignals(const std::vector<double>& s1, const std::vector<double>& s2,
                             double step) {
  QList<QPointF> p1, p2, zero;
  double peak = 0;
  const size_t n = std::min(s1.size(), s2.size());
  for (size_t j = 0; j < n; ++j) {
    const double t = static_cast<double>(j) * step;
    p1.append({t, s1[j]});
    p2.append({t, s2[j]});
    zero.append({t, 0.0});
    peak = std::max({peak, std::fabs(s1[j]), std::fabs(s2[j])});
  }
  d_->a1->replace(p1);
  d_->a2->replace(p2);
  d_->zero->replace(zero);
  const double limit = NiceLimit(peak);
  d_->x->setRange(0, n > 1 ? static_cast<double>(n - 1) * step : 1.0);
  SetValueRange(d_->y, -limit, limit);
}

void SignalChart::Clear() {
  d_->a1->clear();
  d_->a2->clear();
  d_->zero->clear();
  d_->x->setRange(0, 1);
  SetValueRange(d_->y, -1, 1);
}

int SignalChart::PointCount() const { return static_cast<int>(d_->a1->count()); }

QStringList SignalChart::ValueAxisLabels() const { return d_->y->categoriesLabels(); }

QString SignalChart::SeriesName(int index) const {
  const QList<QAbstractSeries*> all = d_->chart->series();
  return index >= 0 && index < all.size() ? all[index]->name() : QString();
}

struct SpectrumChart::Impl {
  QChart* chart = nullptr;
  QBarSeries* bars = nullptr;
  QBarSet* a1 = nullptr;
  QBarSet* a2 = nullptr;
  QLineSeries* zero = nullptr;
  QValueAxis* hz = nullptr;
  QValueAxis* rpm = nullptr;
  QCategoryAxis* y = nullptr;
};

SpectrumChart::SpectrumChart(const QString& title, bool rpmTopAxis, QWidget* parent)
    : QWidget(parent), d_(new Impl) {
  d_->chart = new QChart;
  d_->chart->setTitle(title);
  d_->a1 = new QBarSet(QStringLiteral("A1"));
  d_->a1->setColor(QColor(220, 0, 0));
  d_->a1->setBorderColor(QColor(220, 0, 0));
  d_->a2 = new QBarSet(QStringLiteral("A2"));
  d_->a2->setColor(QColor(0, 150, 0));
  d_->a2->setBorderColor(QColor(0, 150, 0));
  d_->bars = new QBarSeries;
  d_->bars->append(d_->a1);
  d_->bars->append(d_->a2);
  d_->bars->setBarWidth(1.0);  // full width: neighbouring lines touch
  d_->hz = MakeAxis(QStringLiteral("Hz"), QStringLiteral("%.0f"));
  d_->hz->setRange(0, 128);
  d_->hz->setTickType(QValueAxis::TicksDynamic);
  d_->hz->setTickAnchor(0);
  d_->hz->setTickInterval(10);
  d_->y = MakeValueAxis(QStringLiteral("mm/sec"));
  SetValueRange(d_->y, 0, 1);
  d_->chart->addAxis(d_->hz, Qt::AlignBottom);
  d_->chart->addAxis(d_->y, Qt::AlignLeft);
  d_->chart->addSeries(d_->bars);
  d_->bars->attachAxis(d_->hz);
  d_->bars->attachAxis(d_->y);
  d_->zero = new QLineSeries;
  d_->zero->setName(QStringLiteral("Zero"));
  d_->zero->setPen(QPen(QColor(0, 0, 220), 1));
  d_->chart->addSeries(d_->zero);
  if (rpmTopAxis) {
    d_->rpm = MakeAxis(QStringLiteral("RPM"), QStringLiteral("%.0f"));
    d_->rpm->setRange(0, 7680);
    d_->rpm->setTickType(QValueAxis::TicksDynamic);
    d_->rpm->setTickAnchor(0);
    d_->rpm->setTickInterval(600);
    d_->chart->addAxis(d_->rpm, Qt::AlignTop);
    d_->zero->attachAxis(d_->rpm);
  } else {
    d_->zero->attachAxis(d_->hz);
  }
  d_->zero->attachAxis(d_->y);
  HideFromLegend(d_->chart, d_->zero);
  MakeView(d_->chart, this);
}

SpectrumChart::~SpectrumChart() { delete d_; }

void SpectrumChart::SetSpectrum(const std::vector<double>& a1, const std::vector<double>& a2) {
  QList<qreal> v1(a1.begin(), a1.end()), v2(a2.begin(), a2.end());
  d_->a1->remove(0, d_->a1->count());
  d_->a2->remove(0, d_->a2->count());
  d_->a1->append(v1);
  d_->a2->append(v2);
  QList<QPointF> zero;
  const double scale = d_->rpm ? 60.0 : 1.0;
  for (size_t j = 0; j < a1.size(); ++j) zero.append({static_cast<double>(j) * scale, 0.0});
  d_->zero->replace(zero);
  double peak = 0;
  for (double v : a1) peak = std::max(peak, v);
  for (double v : a2) peak = std::max(peak, v);
  SetValueRange(d_->y, 0, NiceLimit(peak));
}

void SpectrumChart::Clear() {
  d_->a1->remove(0, d_->a1->count());
  d_->a2->remove(0, d_->a2->count());
  d_->zero->clear();
}

QStringList SpectrumChart::ValueAxisLabels() const { return d_->y->categoriesLabels(); }

int SpectrumChart::BarCount() const { return static_cast<int>(d_->a1->count()); }

double SpectrumChart::BarValue(int set, int line) const {
  QBarSet* s = set == 0 ? d_->a1 : d_->a2;
  return line >= 0 && line < s->count() ? s->at(line) : 0.0;
}

}  // namespace vintor
