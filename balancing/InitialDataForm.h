#pragma once

#include <functional>

#include "balancing/core/InitialData.h"
#include "kit/WindowKit.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vintor {

class RunForm;
class CorrectionForm;

// The balancing initial data, one mechanism for both modes (FormB10, FormB20): the operator
// states what is known about the rotor and how the trial masses are given; Continue checks the
// entries, stores them in the balancing input and opens the run window over this one.
class InitialDataForm : public KitDialog {
  Q_OBJECT
 public:
  InitialDataForm(QWidget* parent, BalancingMode mode, const QString& name);

  BalancingMode Mode() const { return mode_; }
  // The run and correction windows of the mode (set once by the composition root).
  void SetWindows(RunForm* runs, CorrectionForm* correction);

  RadioGroup* RadioGroup0;  // "Balancing": "New rotor", "Select rotor"
  QPushButton* Button3;     // "Select"
  RadioGroup* RadioGroup1;  // "Trial mass weight": "Percent", "Gramm"
  QLineEdit* EditM1;
  QLineEdit* EditM2;        // two-plane only (null in single-plane)
  RadioGroup* RadioGroup2;  // "Coordinate system": "Polar", "Blades"
  QLineEdit* Edit2;         // number of blades
  QGroupBox* GroupBox1;     // "Trial mass place radius, mm"
  QLineEdit* EditD1;
  QLineEdit* EditD2;     // two-plane only (null in single-plane)
  QPushButton* Button2;  // "F9 - Continue"
  QPushButton* Button1;  // "F10 - Exit"
  // Room beside the fields for balancing aids; empty and hidden until something is put there.
  QGridLayout* FieldGrid;  // rows: balancing, trial mass, coordinate system, radii; column 2 free
  QWidget* AidArea;
  // The trial-mass suggestion there: rotor mass and service speed (the aids' entries, shared
  // with the correction windows) and a hint per plane beside the trial masses, shown only when
  // the rotor mass, the plane's radius and a speed are known. It never fills a field.
  QGroupBox* GroupBoxRotor;
  QLineEdit* EditRotorMass;   // kg
  QLineEdit* EditServiceRpm;  // empty: the last measured speed
  QLabel* LabelTrialHint1;
  QLabel* LabelTrialHint2;  // two-plane only
  void ShowTrialHints();

  // "Select": the coefficient table window of the mode, shown modally. It fills the fields and
  // the radio groups as the operator would (texts, SetItemIndex). Unset: nothing happens.
  std::function<void()> selectRotor;

  // Continue (F9): true when the entries passed and the run window was shown.
  bool Continue();
  void Button1Click();
  void Button3Click();
  void RadioGroup0Click();
  void RadioGroup1Click();
  void RadioGroup2Click();

  // The entries as the checks read them.
  InitialDataEntries Entries() const;

 protected:
  void FormShow() override;

 private:
  void BuildAids();

  BalancingMode mode_;
  RunForm* runs_ = nullptr;
  CorrectionForm* correction_ = nullptr;
};

}  // namespace vintor
