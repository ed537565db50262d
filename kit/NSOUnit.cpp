#include "kit/NSOUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace vintor {

NSOForm::NSOForm(QWidget* parent) : KitDialog(parent, "NSOForm", "Warning !!!") {
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);

  Image2 = MakeLabel(this, "Image2", QString());
  Image2->setFixedSize(84, 66);
  Image2->setPixmap(WarningPicture());
  Label1 = MakeLabel(this, "Label1", "Set proper coefficient!");
  Label1->setWordWrap(true);
  QFont f = Label1->font();
  f.setPointSize(f.pointSize() + 2);
  f.setBold(true);
  Label1->setFont(f);
  Label1->setMinimumWidth(300);
  Button1 = MakeButton(this, "Button1", "OK");
  Button1->setFocusPolicy(Qt::StrongFocus);
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
  // Esc, Insert and F10 close and keep the message; F1 shows About on top.
  Keys()
      .On(Qt::Key_Escape, [this] { reject(); })
      .On(Qt::Key_Insert, [this] { reject(); })
      .On(Qt::Key_F10, [this] { reject(); });
}

void NSOForm::Button1Click() {
  // A later caller that does not set a message shows this one.
  Label1->setText(QStringLiteral("Unknown device"));
  accept();
}

QPixmap WarningPicture() {
  QPixmap pm(84, 66);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath tri;
  tri.moveTo(42, 3);
  tri.lineTo(81, 63);
  tri.lineTo(3, 63);
  tri.closeSubpath();
  p.setPen(QPen(QColor(120, 0, 0), 3));
  p.setBrush(QColor(255, 210, 0));
  p.drawPath(tri);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(38);
  p.setFont(f);
  p.setPen(QColor(120, 0, 0));
  p.drawText(QRect(0, 16, 84, 48), Qt::AlignCenter, QStringLiteral("!"));
  return pm;
}

}  // namespace vintor
