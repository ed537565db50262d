#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

namespace vintor {

// The two charts every measuring window shows after a measurement: the first second of both
// vibration signals, and their spectrum as bars. Qt Charts stays behind these two classes.
class SignalChart : public QWidget {
  Q_OBJECT
 public:
  explicit SignalChart(const QString& title, QWidget* parent = nullptr);
  ~SignalChart() override;
  // One point every `step` seconds for each channel, mm/s.
  void SetSignals(const std::vector<double>& s1, const std::vector<double>& s2, double step);
  void Clear();
  int PointCount() const;
  QString SeriesName(int index) const;
  // The texts along the value axis ("##0.###").
  QStringList ValueAxisLabels() const;

 private:
  struct Impl;
  Impl* d_;
};

class SpectrumChart : public QWidget {
  Q_OBJECT
 public:
  // `rpmTopAxis`: a second axis along the top reads the frequency in rev/min.
  SpectrumChart(const QString& title, bool rpmTopAxis, QWidget* parent = nullptr);
  ~SpectrumChart() override;
  // Line j of each list is drawn as a bar at j Hz (mm/s).
  void SetSpectrum(const std::vector<double>& a1, const std::vector<double>& a2);
  void Clear();
  int BarCount() const;
  double BarValue(int set, int line) const;
  QStringList ValueAxisLabels() const;

 private:
  struct Impl;
  Impl* d_;
};

}  // namespace vintor
