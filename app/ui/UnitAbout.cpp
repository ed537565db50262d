#include "app/ui/UnitAbout.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/KeyPreview.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

QLabel* MakeLabel(const QString& name, const QString& text, int pointDelta, bool bold,
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

FormAbout::FormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About"));
  setModal(true);
  resize(520, 330);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setAutoFillBackground(true);
  Label1 = MakeLabel("Label1", "DYNAMIC BALANCER AND VIBRATION ANALYSER", 2, true, Panel1);
  Label2 = MakeLabel("Label2", "Vintor-1", 10, true, Panel1);
  Label3 = MakeLabel("Label3", "v.1.1 English", 0, false, Panel1);
  Label5 = MakeLabel("Label5", "2015", 0, false, Panel1);
  Label6 = MakeLabel("Label6", "Vintor field instruments", 0, true, Panel1);
  Label7 = MakeLabel("Label7", "www.vintor.example", 0, false, Panel1);
  Label8 = MakeLabel("Label8", "support@vintor.example", 0, false, Panel1);
  Button1 = new QPushButton(QStringLiteral("F1 - Manual"), Panel1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setFixedWidth(160);
  Button5 = new QPushButton(QStringLiteral("F10 - Exit"), this);
  Button5->setObjectName(QStringLiteral("Button5"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1, 1);
  layout->addWidget(Button5, 0, Qt::AlignRight);
  Panel1->installEventFilter(this);

  connect(Button1, &QPushButton::clicked, this, &FormAbout::Button1Click);
  connect(Button5, &QPushButton::clicked, this, &QDialog::accept);
  KeyPreview::Register(this, [this](QKeyEvent* e) { return FormKeyDown(e); });
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

bool FormAbout::FormKeyDown(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_F1:
      Button1Click();
      return true;
    case Qt::Key_F10:
      accept();
      return true;
    default:
      return false;
  }
}

}  // namespace vintor
