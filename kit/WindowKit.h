#pragma once

// What every window of the program shares: named controls, "n.d." fields, the key table, the
// About window on F1, modal and modeless showing, and the step-group colours of the run windows.
// A window is a table of controls made with these helpers plus its handlers.

#include <QColor>
#include <QDialog>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "kit/KeyPreview.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vintor {

// Placeholder texts: no data yet, and a stored record whose field is empty.
inline const QString kNoData = QStringLiteral("n.d.");
inline const QString kEmptyField = QStringLiteral("e.f.");

// Program-wide hooks set by the composition root once the windows exist.
struct KitHooks {
  std::function<void()> showAbout;
};
KitHooks& Kit();

// Shows the About window modally (F1 in every window).
void ShowAbout();

// Named controls: the name is the object name, so a test finds `EditM1` by its name.
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption);
// A button with a bold caption, at least `minHeight` pixels high.
QPushButton* MakeBoldButton(QWidget* parent, const QString& name, const QString& caption,
                            int minHeight);
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text);
QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text = kNoData);
QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& caption);
QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& items,
                     bool editable);

// A captioned group of radio buttons with one chosen item, addressed by index. Choosing another
// item, by the operator or by the program, emits itemChosen once; choosing the chosen one does
// nothing.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(QWidget* parent, const QString& name, const QString& caption,
             const QStringList& items, int itemIndex);
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }

 signals:
  void itemChosen(int index);

 private:
  std::vector<QRadioButton*> buttons_;
};

// Cuts the connections from the window's controls to the window. A window whose handlers run on
// a control's signal (a field's editingFinished) calls it in its destructor: the base class hides
// the window when the derived part is already gone, and the focused field's editingFinished
// would otherwise reach it.
void DisconnectControls(QWidget* window);

// The control of `window` with this name, or null.
template <class T>
T* Control(const QWidget* window, const QString& name) {
  return window->findChild<T*>(name);
}

// Colours of the run windows' step groups.
enum class GroupColour { PaleGreen, Green, Lime, Red };
QColor GroupColourValue(GroupColour colour);
void PaintGroup(QGroupBox* group, GroupColour colour);
QColor GroupColourOf(const QGroupBox* group);

// A window of the program. Created once and kept; shown modally or not, and hidden again.
// FormShow runs each time it becomes visible, FormClose each time it is closed, whatever
// closed it.
class KitDialog : public QDialog {
  Q_OBJECT
 public:
  KitDialog(QWidget* parent, const QString& name, const QString& caption);

  KeyTable& Keys() { return keys_; }

  // Shows the window modally; returns when it is closed.
  int ShowModal();
  // Shows the window without making it modal, over `over`, which may itself be modal: the
  // window then stays usable while `over` is up. Brought to the front if already shown.
  void ShowModeless(QWidget* over = nullptr);

 protected:
  virtual void FormShow() {}
  virtual void FormClose() {}
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  KeyTable keys_;
};

}  // namespace vintor
