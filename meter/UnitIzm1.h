#pragma once

#include "kit/WindowKit.h"
#include "measurement/MeasObserver.h"

class QRadioButton;
class QComboBox;
class QLabel;
class QProgressBar;
class QGroupBox;
class QPushButton;
class QTimer;
class QWidget;

namespace vintor {

class SignalChart;
class SpectrumChart;
struct MeterResults;

// The vibration meter: speed, broadband and rotation-frequency vibration of one or two planes,
// once or continuously, with the spectrum of every good measurement.
class FormIzm1 : public KitDialog, public MeasObserver {
  Q_OBJECT
 public:
  explicit FormIzm1(QWidget* parent = nullptr);

  QRadioButton* RadioButton2;  // Auto
  QRadioButton* RadioButton1;  // Single
  QRadioButton* RadioButton3;  // AutoSave
  QComboBox* AverNumCBox1;
  QLabel* LabelN1;
  QLabel* Label5;
  QProgressBar* Gauge1;
  QGroupBox* GroupBox1;
  QGroupBox* GroupBox2;
  QLabel* LabelS11;
  QLabel* LabelV11;
  QLabel* LabelF11;
  QLabel* LabelS21;
  QLabel* LabelV21;
  QLabel* LabelF21;
  QPushButton* btn2Run;
  QPushButton* Button2;  // Stop
  QPushButton* Button1;  // F10 - Exit
  QPushButton* RunSpk;
  QWidget* Panel2;  // the charts
  SignalChart* Chart1;
  SpectrumChart* Chart2;
  QTimer* Timer1;

  // Shows or hides the channel-2 results (single-plane work hides them).
  void SetPlaneTwoShown(bool shown);
  bool Measuring() const { return measuring_; }

  void FormShow() override;
  void btn2RunClick();
  void Button2Click();
  void Button1Click();
  void RunSpkClick();
  void Timer1Timer();

  // MeasObserver: the gauge and the wrong-tachometer indicators of this window.
  void GaugesSetMax(int max) override;
  void GaugesSetProgress(int value) override;
  void GaugesStep() override;
  void WrongTachoShown(bool shown) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  void Run();
  void PlaceTexts(const MeterResults& r);
  void ShowResults(const MeterResults& r);
  void FileIntoArchive();
  void CloseWindow();
  bool measuring_ = false;
  bool planeTwoShown_ = false;
};

}  // namespace vintor
