#pragma once

#include <QPixmap>

#include "kit/WindowKit.h"

class QLabel;
class QPushButton;

namespace vintor {

// The warning window: the program's one way of telling the operator that something is wrong.
class NSOForm : public KitDialog {
  Q_OBJECT
 public:
  explicit NSOForm(QWidget* parent = nullptr);

  QLabel* Label1;
  QLabel* Image2;
  QPushButton* Button1;

  void Button1Click();
};

// The picture beside the message.
QPixmap WarningPicture();

}  // namespace vintor
