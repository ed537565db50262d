#pragma once

#include <QSize>

#include "balancing/core/BalTables.h"
#include "kit/WindowKit.h"

class QLabel;
class QPushButton;

namespace vintor {

class CoeffTableForm;

// What differs between the single-plane and the two-plane coefficient entry window.
struct CoeffEntryTraits {
  Planes planes;
  const char* name;
  const char* caption;
  QSize size;
  bool leaveToArcDir;  // "F10 - Cancel" makes ArcDir the current directory
};

// The coefficients just derived or selected (FormKft1L, FormKft2L): "F9 - Save" stores them as
// a new record and shows the coefficient table window of the mode on it, to name the rotor.
class CoeffEntryForm : public KitDialog {
  Q_OBJECT
 public:
  // `table`: the coefficient table window of the mode.
  CoeffEntryForm(QWidget* parent, const CoeffEntryTraits& traits, CoeffTableForm* table);

  // "F8 - Int. Ratio" / "F8-Int.Ratio" of the correction windows: shown modally.
  void ShowForEntry();

  QLabel* LabelR11;
  QLabel* LabelR12;
  QLabel* LabelR21 = nullptr;  // two-plane only, as the three below
  QLabel* LabelR22 = nullptr;
  QLabel* LabelR31 = nullptr;
  QLabel* LabelR32 = nullptr;
  QLabel* LabelR41 = nullptr;
  QLabel* LabelR42 = nullptr;
  QPushButton* Button1;  // "F9 - Save"
  QPushButton* Button2;  // "F10 - Cancel"

  void Button1Click();
  void Button2Click();

 protected:
  void FormShow() override;

 private:
  CoeffEntryTraits traits_;
  CoeffTableForm* table_;
};

}  // namespace vintor
