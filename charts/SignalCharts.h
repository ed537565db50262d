#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <vector>

class QLabel;

namespace vintor {

struct SpectrumData;

// What the chart widgets share: the Qt Charts chart behind a pimpl, its title, the value axis
// along the left edge labelled "##0.###", and a small corner text that stays 15 px above the
// bottom edge and 77 px left of the right edge whatever the chart's size.
class ChartWidget : public QWidget {
  Q_OBJECT
 public:
  ~ChartWidget() override;
  QString Title() const;
  QString ValueAxisTitle() const;
  void SetValueAxisTitle(const QString& title);
  // The texts along the value axis ("##0.###").
  QStringList ValueAxisLabels() const;
  // The corner text (empty and hidden until set).
  QLabel* CornerLabel() const;
  void SetCornerText(const QString& text);

 protected:
  explicit ChartWidget(const QString& title, QWidget* parent);
  void resizeEvent(QResizeEvent* event) override;
  struct Base;
  Base* b_;
};

// Points of a signal chart along its bottom axis.
struct ChartTrace {
  std::vector<double> x;         // position of each point: frame number, angle, index
  std::vector<double> ch1, ch2;  // mm/s
  std::vector<double> mark;      // revolution marks (mm/s), drawn as impulses; empty: none
  bool labelled = true;          // each point labelled with its x as a whole number ("0.")
};

// Two vibration signals over time, revolution marks and the zero line. Thousands of points
// are drawn as their envelope per pixel column, so that long recordings stay quick to draw;
// the points themselves are kept as given.
class SignalChart : public ChartWidget {
  Q_OBJECT
 public:
  explicit SignalChart(const QString& title, QWidget* parent = nullptr);
  ~SignalChart() override;
  // One point every `step` seconds for each channel, mm/s.
  void SetSignals(const std::vector<double>& s1, const std::vector<double>& s2, double step);
  // Points at the given positions; the bottom axis reads whole numbers.
  void SetTrace(ChartTrace trace);
  void Clear();
  int PointCount() const;
  // Series in order: the two signals, the marks, the zero line.
  QString SeriesName(int index) const;
  void SetSeriesNames(const QStringList& names);
  QColor SeriesColour(int index) const;
  // The value of point `index` in series 0 to 3, and its label ("" when unlabelled).
  double PointValue(int series, int index) const;
  QString PointLabel(int index) const;
  // How many points the chart hands to Qt Charts for a series (at most a few per pixel).
  int DrawnPointCount(int series) const;

 private:
  void Draw();
  void SetValueRangeFromTrace();
  struct Impl;
  Impl* d_;
};

// Two spectra (or harmonics) as bars, with a zero line.
class SpectrumChart : public ChartWidget {
  Q_OBJECT
 public:
  // `rpmTopAxis`: a second axis along the top reads the frequency in rev/min.
  SpectrumChart(const QString& title, bool rpmTopAxis, QWidget* parent = nullptr);
  ~SpectrumChart() override;
  // Line j of each list is drawn as a bar at j Hz (mm/s).
  void SetSpectrum(const std::vector<double>& a1, const std::vector<double>& a2);
  // Bar j labelled labels[j] along the bottom axis; as many labels are shown as fit.
  void SetBars(const QStringList& labels, const std::vector<double>& a1,
               const std::vector<double>& a2);
  void Clear();
  int BarCount() const;
  double BarValue(int set, int line) const;
  QString BarLabel(int line) const;
  // The labels the bottom axis shows after SetBars.
  QStringList BottomAxisLabels() const;
  // Series in order: the two bar sets, the zero line.
  QString SeriesName(int index) const;
  void SetSeriesNames(const QStringList& names);
  QColor SeriesColour(int index) const;
  void SetZeroColour(const QColor& colour);
  // The step between the frequency (and rev/min) labels, chosen so that they fit the width.
  double FrequencyStep() const;
  double RpmStep() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Draw();
  void PlaceBarLabels();
  void FitFrequencyTicks();
  struct Impl;
  Impl* d_;
};

// The spectrum routine's result as the meter and the run windows show it: the averaged signals
// (points 49 frames apart at the recording's 25 000 frames/s) and the first 128 lines as RMS.
void ShowMeterSpectrum(const SpectrumData& data, SignalChart* waves, SpectrumChart* lines);

}  // namespace vintor
