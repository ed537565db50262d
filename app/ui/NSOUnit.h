#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace vintor {

// The warning window: the program's one way of telling the operator that something is wrong.
class NSOForm : public QDialog {
  Q_OBJECT
 public:
  explicit NSOForm(QWidget* parent = nullptr);

  QLabel* Label1;
  QLabel* Image2;
  QPushButton* Button1;

  // F1 shows the About window on top of this one.
  std::function<void()> showAbout;

  void Button1Click();
  bool FormKeyDown(QKeyEvent* event);
};

}  // namespace vintor
