#pragma once

#include "kit/WindowKit.h"
#include "measurement/Broadband.h"
#include "measurement/MeasObserver.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;

namespace vintor {

class SignalChart;
class SpectrumChart;
class ChartArea;

// The charts window: a broadband recording of both channels between two limits, the averaged
// revolution, the harmonics of the rotation frequency and the spectrum, each with its list and
// diagram files. Shown without being modal.
class FormIzm2 : public KitDialog, public MeasObserver {
  Q_OBJECT
 public:
  explicit FormIzm2(QWidget* parent = nullptr);
  ~FormIzm2() override;

  QProgressBar* Gauge1;
  QTabWidget* PageControl1;
  // Tab 0, broadband vibration.
  QComboBox* ComboBox1;   // duration, s
  QPushButton* Button1;   // F9 - Run
  QPushButton* Button13;  // F7 - Save Diagram (not visible)
  // Tab 1, rotational frequency vibration.
  QLabel* LabelN1;
  QLabel* LabelS11;
  QLabel* LabelV11;
  QLabel* LabelF11;
  QLabel* LabelS21;
  QLabel* LabelV21;
  QLabel* LabelF21;
  QPushButton* Button2;   // F9 - Run
  QPushButton* Button12;  // F7 - Save Diagram
  // Tab 2, harmonics.
  QComboBox* ComboBox2;   // revolutions
  QComboBox* ComboBox3;   // highest order listed (never shown)
  QPushButton* Button5;   // F9 - Run
  QPushButton* Button3;   // F8 - List
  QPushButton* Button11;  // F7 - Save Diagram
  // Tab 3, spectrum.
  QComboBox* ComboBox4;   // bandwidth
  QPushButton* Button8;   // F9 - Run
  QPushButton* Button9;   // F8 - List
  QPushButton* Button10;  // F7 - Save Diagram
  // Charts and limits.
  SignalChart* Chart1;
  QWidget* Splitter1;
  SpectrumChart* Chart2;
  QLabel* Label8;
  QWidget* Panel2;
  QSlider* TrackBar1;  // Begin
  QSlider* TrackBar2;  // End

  // A run is recording or measuring (a second one never starts meanwhile).
  bool Running() const { return running_; }
  int Chart2Height() const;
  int HarmRevs() const { return harmRevs_; }

  void FormShow() override;
  void FormClose() override;
  void PageControl1Change();
  void Button1Click();  // broadband run
  // The broadband run after its recording: Output.txt, the limits and the chart.
  void ShowRecording();
  void Button2Click();  // rotational run
  void Button5Click();  // harmonics run
  void Button8Click();  // spectrum run
  void ListClick();     // F8 - List of the harmonics and spectrum tabs
  // F7 - Save Diagram: Chart1 to F + suffix1, and Chart2 to F + suffix2 when given.
  void SaveDiagram(const QString& suffix1, const QString& suffix2 = QString());
  void TrackBarChange();
  void ComboBox4Change();

  // MeasObserver: the gauge and the cycle's zero results.
  void GaugesSetMax(int max) override;
  void GaugesSetProgress(int value) override;
  void GaugesStep() override;
  void ChartsResultLabels(const QString& v1, const QString& v2) override;

  // The harmonics run after its measurement: the revolutions of the raw data file to
  // Output.txt, then their analysis, bars and list. Throws MeasError on a file failure.
  void Extraction(int revs);

 private:
  class RunScope;
  void ApplyLayout(int tab);
  void EmptyCharts();
  void ResetResultLabels();
  QPushButton* RunButton(int tab) const;
  bool SensorsSet() const;
  void ShowRotationalResults();
  void Analysis(int revs);
  QString OutputPath() const;

  ChartArea* chartArea_ = nullptr;
  OutputFileCache output_;
  bool running_ = false;
  bool showing_ = false;
  bool centred_ = false;  // the tab is set by showing the window, not by the operator
  int harmRevs_ = 0;
};

}  // namespace vintor
