#pragma once

#include <functional>

#include "kit/WindowKit.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vintor {

class SimRig;

// "Simulated rig": the simulated rotor behind the simulated module, shown and changed through
// its parameter file (WorkDir/SimE154.cfg). Every change is written at once, so the command line
// sees the same rig; the file is read again whenever the window is shown or activated. The
// window binds no function keys of its own (F1 shows About, as everywhere).
class FormRig : public KitDialog {
  Q_OBJECT
 public:
  explicit FormRig(QWidget* parent = nullptr);
  ~FormRig() override;

  // Rotor.
  QLineEdit* EditRpm;
  QLineEdit* EditNoise;  // both channels: one value, or "ch1 / ch2" as found
  RadioGroup* GroupTacho;   // working, no signal, bouncing contact
  RadioGroup* GroupModule;  // connected, disconnected
  // Planes 1 and 2 (index 0 and 1).
  QGroupBox* GroupPlane[2];
  QLineEdit* EditUnbalance[2];       // g*mm
  QLineEdit* EditUnbalanceAngle[2];  // degrees
  QListWidget* ListMasses[2];
  QPushButton* ButtonRemove[2];
  QPushButton* ButtonClear[2];
  QLabel* LabelTotal[2];
  // Attaching a mass.
  QComboBox* ComboPlane;
  QLineEdit* EditMass;
  QLineEdit* EditRadius;  // empty: the plane's radius
  QRadioButton* RadioAngle;
  QRadioButton* RadioBlade;
  QLineEdit* EditAngle;
  QLineEdit* EditBlade;
  QLineEdit* EditBlades;
  QPushButton* ButtonAttach;
  // What the rotor does now: the 1x vector at each channel.
  QLabel* LabelVibration[2];
  QLabel* LabelFile;

  // The parameter file the window works on.
  static QString FilePath();
  // Shows the file as it is now.
  void Reload();

  // Shows the window beside `main` after main's first showing, and keeps it usable over every
  // modal window of the program.
  void Accompany(QWidget* main);
  // Puts the window to the right of `main` (within the screen) and shows it without taking the
  // focus from `main`.
  void ShowBeside(QWidget* main);

  void EditRpmExit();
  void EditNoiseExit();
  void EditUnbalanceExit(int plane);
  void ButtonAttachClick();
  void ButtonRemoveClick(int plane);
  void ButtonClearClick(int plane);
  void GroupTachoChosen(int index);
  void GroupModuleChosen(int index);

 protected:
  void FormShow() override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Follower;

  // Reads the file, lets `change` edit it and writes it; `change` returns the reason for a
  // refusal, which the operator is told and nothing is written. The window then shows the file.
  bool Change(const std::function<QString(SimRig&)>& change);
  void Show(const SimRig& rig, const QString& error = QString());
  void PlaceChosen();
  bool Changed(const QLineEdit* edit) const;

  bool showing_ = false;  // filling the controls: their signals change nothing
  bool busy_ = false;     // a change is being made (its warning may move the focus)
  QButtonGroup* placeGroup_;
  Follower* follower_ = nullptr;  // a child of the window
};

}  // namespace vintor
