#include "app/ui/NSOUnit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/KeyPreview.h"
#include "app/ui/Pictures.h"

namespace vintor {

NSOForm::NSOForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("NSOForm"));
  setWindowTitle(QStringLiteral("Warning !!!"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);

  Image2 = new QLabel(this);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setFixedSize(84, 66);
  Image2->setPixmap(WarningPicture());
  Label1 = new QLabel(QStringLiteral("Set proper coefficient!"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  QFont f = Label1->font();
  f.setPointSize(f.pointSize() + 2);
  f.setBold(true);
  Label1->setFont(f);
  Label1->setMinimumWidth(300);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);

  auto* top = new QHBoxLayout;
  top->addWidget(Image2);
  top->addWidget(Label1, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Button1);
  bottom->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(bottom);

  connect(Button1, &QPushButton::clicked, this, &NSOForm::Button1Click);
  KeyPreview::Register(this, [this](QKeyEvent* e) { return FormKeyDown(e); });
}

void NSOForm::Button1Click() {
  // A later caller that does not set a message shows this one.
  Label1->setText(QStringLiteral("Unknown device"));
  accept();
}

bool NSOForm::FormKeyDown(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Insert:
    case Qt::Key_F10:
      reject();
      return true;
    case Qt::Key_F1:
      if (showAbout) showAbout();
      return true;
    default:
      return false;
  }
}

}  // namespace vintor
