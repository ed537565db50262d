#pragma once

#include <QStringList>
#include <functional>

#include "balancing/core/CorrectionView.h"
#include "balancing/core/InitialData.h"
#include "balancing/core/PolarDiagram.h"
#include "kit/WindowKit.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vintor {

class InitialDataForm;
class PolarPanel;
class RunForm;
class VectorToolsForm;

// What differs between the single-plane and the two-plane correction window, besides the
// computation (which the two subclasses hold).
struct CorrectionFormTable {
  BalancingMode mode;
  QString name;
  QString caption;
  QString groupP, groupL;                      // captions of GroupBoxP and GroupBoxL
  QString label17, label18, label19, label20;  // mass and angle captions (18, 20 two-plane)
  QString label3, label4;                      // blade column (single) or plane row headings
  QString button2, button2Hint, button3, button1;
  bool successEnablesArchive;  // a good computation also enables "F9 - Archive"
};

// The correction window, one mechanism for both modes (FormB12, FormB22): it shows the
// correction that CorrectionView computes from the runs, with the "Correction method" choice,
// the polar or blade layout and the residual unbalance, and offers the coefficient entry and the
// balancing archive.
class CorrectionForm : public KitDialog {
  Q_OBJECT
 public:
  CorrectionForm(QWidget* parent, const CorrectionFormTable& table);

  BalancingMode Mode() const { return mode_; }
  void SetWindows(InitialDataForm* initial, RunForm* runs);

  RadioGroup* RadioGroup1;  // "Correction method": "Add mass", "Remove mass"
  QGroupBox* GroupBoxP;     // polar: masses and angles
  QLabel *Label17, *LabelM1, *Label19;
  QLineEdit *EditM1, *EditF1;
  QLabel *Label18, *LabelM2, *Label20;  // two-plane only
  QLineEdit *EditM2, *EditF2;           // two-plane only
  QLabel* Label2;        // single-plane: the degree sign of the angle; two-plane: "D2,g*mm"
  QGroupBox* GroupBoxL;  // blades: masses split onto the two neighbouring blades
  QLabel *Label3, *Label4;
  QLabel *LabelZ11, *LabelM11, *LabelZ12, *LabelM12;
  QLineEdit *EditM11, *EditM12;
  QLabel *LabelZ21, *LabelM21, *LabelZ22, *LabelM22;  // two-plane only
  QLineEdit *EditM21, *EditM22;                       // two-plane only
  QGroupBox* GroupBoxD;                               // "Residual unbalance"
  QLabel* Label1;
  QLineEdit *EditD1, *EditD2;  // EditD2 two-plane only
  QLabel* LabelNote;           // why a shown angle means nothing, when it does not
  QPushButton* Button2;        // F8: coefficient entry
  QPushButton* Button3;        // "F9 - Archive"
  QPushButton* Button1;        // F10: exit
  // Room for balancing aids: GroupBoxD's grid has the unbalance in columns 0 and 1 and leaves
  // the columns after them free; AidArea beside the groups is empty and hidden until used.
  QGridLayout* ResidualGrid;
  QWidget* AidArea;
  // The aids placed there: the verdicts beside EditD1/EditD2, the polar diagram, the permissible
  // residual unbalance and the vector tools.
  QLabel *LabelVerdict1, *LabelVerdict2;  // LabelVerdict2 two-plane only
  PolarPanel* Polar;
  QPushButton* ButtonVectorTools;  // "Vector tools"
  QGroupBox* GroupBoxTolerance;    // "Permissible residual unbalance"
  QLineEdit* EditRotorMass;        // kg
  QComboBox* ComboGrade;           // "", "G 0.4" .. "G 40"
  QLineEdit* EditServiceRpm;       // empty: the speed of the last run
  QLineEdit* EditShare1;           // plane 1's part, %; two-plane only
  QLabel* LabelUper;

  // The diagram and the verdicts of the computation held; the window redraws both after every
  // computation, "Add mass"/"Remove mass" and every change of the entries.
  virtual PolarJob PolarJobFor(const PolarHistory& history) const = 0;
  virtual ResidualVerdicts Verdicts(const Tolerance& tolerance) const = 0;
  Tolerance CurrentTolerance() const;
  void RefreshAids();
  // "Vector tools", shown modally over this window (created on first use).
  VectorToolsForm* VectorTools();

  // F8: the coefficient entry window of the mode, modally. F9: a balancing archive record of
  // the values in Runs() and Corr(), then the archive window. Unset: nothing happens.
  std::function<void()> showIntRatio;
  std::function<void()> addArchiveRecord;
  // Called after every computation, shown or not.
  std::function<void()> onComputed;

  // F8 and F9 off: the initial-data Continue and the closing of the run window.
  void DisableButtons();
  // "F9 - Archive" on: the run sequence after an accepted run.
  void EnableArchive();
  // Puts the window's top edge at that of `window`.
  void MoveToTopOf(const QWidget* window);
  // The computation of a showing, without showing the window.
  void ComputeWithoutShowing() {
    Recompute();
    RefreshAids();
  }
  // The mass and angle texts the run window's log line carries: M1, f1 (, M2, f2).
  QStringList LogTexts() const;

  void RadioGroup1Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  void FormShow() override;
  // The computation of the mode and its texts.
  virtual CorrectionOutcome Compute() = 0;
  virtual const CorrectionTexts& Texts() const = 0;
  virtual void SetMethod(CorrectionMethod method) = 0;
  // What a showing does before the computation (two-plane: the initial-data Continue).
  virtual void BeforeCompute() {}

  InitialDataForm* initial_ = nullptr;
  RunForm* runs_ = nullptr;

 private:
  void Recompute();
  void PlaceTexts();
  void BuildAids();

  VectorToolsForm* vectorTools_ = nullptr;

  BalancingMode mode_;
  bool successEnablesArchive_;
};

}  // namespace vintor
