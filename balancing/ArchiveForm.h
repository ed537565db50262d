#pragma once

#include <QSize>
#include <vector>

#include "balancing/core/BalTables.h"
#include "kit/WindowKit.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vintor {

class RecordGrid;
class RecordNavigator;
class TableBrowser;

// What differs between the single-plane and the two-plane archive window.
struct ArchiveTraits {
  Planes planes;
  const char* name;
  const char* caption;
  QSize size;
  bool centred;        // on the screen rather than over the main window
  bool dateEditable;   // DBEdit2
  bool mendTolerance;  // leaving DBEdit12 (DOP_V) turns "." into the decimal separator
  bool hintOnHelp;     // a help request shows "Hint!"
  bool modalAfterAdding;
};

// The balancing archive of one mode (FormArch1, FormArch2): the current record in data-bound
// fields over the grid of all records, the record navigator, and "F9 - Report". The table is
// open while the window is shown; closing the window posts an edit in progress and closes it.
class ArchiveForm : public KitDialog {
  Q_OBJECT
 public:
  ArchiveForm(QWidget* parent, const ArchiveTraits& traits);
  ~ArchiveForm() override;

  Planes Mode() const { return traits_.planes; }

  // "F9 - Archive" of the correction window `over`: adds the record (with DOP_D from the
  // permissible unbalance when the operator gave a balance grade) and shows it: single-plane
  // not modally over `over`, two-plane modally. Nothing is shown when the record was not added.
  void ShowAfterAdding(QWidget* over);
  // "F6 - Reports" (modal) and "View archieves" (not modal, over `over`): stands on record 1.
  void ShowForBrowsing(bool modal, QWidget* over);

  QFrame* Panel1;
  QLabel* Label1;  // "Rotor name"
  QLabel* Label2;  // "Date and time"
  QLabel* Label3;  // "Place"
  QLineEdit* DBEdit1;   // NAME
  QLineEdit* DBEdit2;   // Date
  QLineEdit* DBEdit3;   // Place
  QLineEdit* DBEdit4;   // VO1
  QLineEdit* DBEdit5;   // VO7
  QLineEdit* DBEdit6 = nullptr;   // VO2, two-plane
  QLineEdit* DBEdit7 = nullptr;   // VO8, two-plane
  QLineEdit* DBEdit8;   // D1
  QLineEdit* DBEdit9;   // D7
  QLineEdit* DBEdit10 = nullptr;  // D2, two-plane
  QLineEdit* DBEdit11 = nullptr;  // D8, two-plane
  QLineEdit* DBEdit12;  // DOP_V
  QLineEdit* DBEdit14;  // DOP_D
  QGroupBox* GroupBox1;  // "Vibration, mm/sec"
  QGroupBox* GroupBox2;  // "Unbalance, g*mm"
  QGroupBox* GroupBox3;  // "Plane 1" (vibration)
  QGroupBox* GroupBox4 = nullptr;  // "Plane 2" (vibration), two-plane
  QGroupBox* GroupBox5;  // "Plane 1" (unbalance)
  QGroupBox* GroupBox6 = nullptr;  // "Plane 2" (unbalance), two-plane
  QGroupBox* GroupBox7;  // "Tolerance" (vibration)
  QGroupBox* GroupBox8;  // "Tolerance" (unbalance)
  QLabel* Label4;  // "Before"
  QLabel* Label5;  // "After"
  QLabel* Label6;  // "Before"
  QLabel* Label7;  // "After"
  RecordNavigator* DBNavigator1;
  QPushButton* Button3;  // "F9 - Report"
  QPushButton* Button2;  // "F10 - Exit"
  RecordGrid* DBGrid1;

  void Button3Click();
  void Button2Click();

  TableBrowser* Browser() const { return browser_; }

 protected:
  void FormShow() override;
  void FormClose() override;
  void done(int result) override;
  bool event(QEvent* event) override;

 private:
  struct Bound {
    QLineEdit* edit;
    QString field;
    bool measured;
  };
  QLineEdit* BindField(QWidget* parent, const char* name, const char* field);
  void ShowRecord();
  void CommitField(const Bound& b);
  void CommitFields();
  void Reposition();
  // The program's archive table in the grid, standing on the record the archive stands on.
  void AttachTable();
  // Shown (modally or not, over `over`), or brought to the front with the table attached again.
  void Present(bool modal, QWidget* over);
  void ShowHint();

  ArchiveTraits traits_;
  TableBrowser* browser_;
  std::vector<Bound> bound_;
};

}  // namespace vintor
