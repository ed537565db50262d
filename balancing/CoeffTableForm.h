#pragma once

#include <QPointer>
#include <QSize>
#include <functional>

#include "balancing/core/BalRecords.h"
#include "kit/WindowKit.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vintor {

class RecordGrid;
class RecordNavigator;
class TableBrowser;

// The initial-data window's controls that "Select" fills; EditM2 and EditD2 only in two-plane.
struct InitialDataFields {
  QPointer<RadioGroup> RadioGroup1;  // "Trial mass weight": "Percent", "Gramm"
  QPointer<RadioGroup> RadioGroup2;  // "Coordinate system": "Polar", "Blades"
  QPointer<QLineEdit> EditM1, EditM2, Edit2, EditD1, EditD2;
};

// The radio choices the fields hold now.
InitialDataChoices ChoicesOf(const InitialDataFields& fields);
// Makes the selection's choices as the operator would (the window's own handlers run with
// their effects on the fields), then writes every text of the mode.
void ApplyKftSelection(const InitialDataFields& fields, Planes planes, const KftSelection& s);

// What differs between the single-plane and the two-plane coefficient table window.
struct CoeffTableTraits {
  Planes planes;
  const char* name;
  const char* caption;
  const char* selectCaption;  // Button1
  const char* exitCaption;    // Button2
  QSize size;
};

// A coefficient table to pick a rotor from (FormKft1, FormKft2): the table's grid, edited in
// place, with its record navigator. F2 copies the current record into the initial-data window
// of the mode and closes; F10 closes. Leaving the window posts an edit in progress.
class CoeffTableForm : public KitDialog {
  Q_OBJECT
 public:
  CoeffTableForm(QWidget* parent, const CoeffTableTraits& traits);

  Planes Mode() const { return traits_.planes; }

  RecordGrid* DBGrid1;
  RecordNavigator* DBNavigator1;
  QPushButton* Button1;  // "F2 - Select" / "F2 - OK"
  QPushButton* Button2;  // "F10 - Exit" / "F10 - Cancel"

  // "Select" of the initial-data window: shown modally at the record it stood on last.
  void ShowForSelection();
  // After "F9 - Save" of the entry window: shown modally on record `number`.
  void ShowOnRecord(int number);

  // F2: the coefficients of the current record go to the balancing input, then `selected`
  // gets the choices and texts for the initial-data window, computed from `currentChoices`
  // (unset: "Percent" and "Polar").
  std::function<InitialDataChoices()> currentChoices;
  std::function<void(const KftSelection&)> selected;
  // Sets both hooks to read and fill these controls.
  void SelectInto(const InitialDataFields& fields);

  void Button1Click();
  void Button2Click();

  TableBrowser* Browser() const { return browser_; }

 protected:
  void FormShow() override;
  void done(int result) override;

 private:
  CoeffTableTraits traits_;
  TableBrowser* browser_;
  int showOn_ = 0;
};

}  // namespace vintor
