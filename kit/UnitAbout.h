#pragma once

#include "kit/WindowKit.h"

class QLabel;
class QPushButton;
class QFrame;

namespace vintor {

// About window; also opens the user manual.
class FormAbout : public KitDialog {
  Q_OBJECT
 public:
  explicit FormAbout(QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  QPushButton* Button1;
  QPushButton* Button5;

  void Button1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOutPanel();
};

}  // namespace vintor
