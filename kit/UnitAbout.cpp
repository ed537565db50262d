#include "kit/UnitAbout.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

QLabel* AboutLabel(const QString& name, const QString& text, int pointDelta, bool bold,
                  QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setAlignment(Qt::AlignHCenter);
  QFont f = l->font();
  f.setPointSize(f.pointSize() + pointDelta);
  f.setBold(bold);
  l->setFont(f);
  return l;
}

}  // namespace

FormAbout::FormAbout(QWidget* parent) : KitDialog(parent, "FormAbout", "About") {
  setModal(true);
  resize(520, 330);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setAutoFillBackground(true);
  Label1 = AboutLabel("Label1", "DYNAMIC BALANCER AND VIBRATION ANALYSER", 2, true, Panel1);
  Label2 = AboutLabel("Label2", "Vintor-1", 10, true, Panel1);
  Label3 = AboutLabel("Label3", "v.1.1 English", 0, false, Panel1);
  Label5 = AboutLabel("Label5", "2015", 0, false, Panel1);
  Label6 = AboutLabel("Label6", "Vintor field instruments", 0, true, Panel1);
  Label7 = AboutLabel("Label7", "www.vintor.example", 0, false, Panel1);
  Label8 = AboutLabel("Label8", "support@vintor.example", 0, false, Panel1);
  Button1 = MakeButton(Panel1, "Button1", "F1 - Manual");
  Button1->setFixedWidth(160);
  Button5 = MakeButton(this, "Button5", "F10 - Exit");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1, 1);
  layout->addWidget(Button5, 0, Qt::AlignRight);
  Panel1->installEventFilter(this);

  connect(Button1, &QPushButton::clicked, this, &FormAbout::Button1Click);
  connect(Button5, &QPushButton::clicked, this, &QDialog::accept);
  // F1 opens the manual here; the window closes only with F10 or its button, never with Esc.
  Keys().On(Qt::Key_F1, [this] { Button1Click(); }).On(Qt::Key_F10, [this] { accept(); });
}

bool FormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel1 && event->type() == QEvent::Resize) LayOutPanel();
  return QDialog::eventFilter(watched, event);
}

void FormAbout::LayOutPanel() {
  // Labels span the panel less one pixel; the manual button keeps 182 px from the right edge.
  const int w = Panel1->width() - 1;
  int y = 12;
  for (QLabel* l : {Label1, Label2, Label3, Label5, Label6, Label7, Label8}) {
    const int h = l->sizeHint().height();
    l->setGeometry(0, y, w, h);
    y += h + 8;
  }
  Button1->move(Panel1->width() - 182, y + 4);
}

void FormAbout::Button1Click() {
  const QString manual = JoinPath(Paths().WorkDir, QStringLiteral("Kavero_manual.pdf"));
  if (!Svc().shell->Open(manual))
    Svc().dialogs->Warning(QStringLiteral("Requested document not found"));
}

}  // namespace vintor
