#include "app/ui/Unit0.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Formatting.h"
#include "app/core/ProgramStart.h"
#include "kit/NumericField.h"
#include "app/ui/Pictures.h"
#include "platform/Services.h"

namespace vintor {
namespace {

constexpr int kTabSinglePlane = 0;
constexpr int kTabTwoPlane = 1;
constexpr int kTabSettings = 2;

QPushButton* MainButton(const QString& name, const QString& caption, QWidget* parent) {
  return MakeBoldButton(parent, name, caption, 40);
}

// A set-up picture on the left, the five buttons stacked on the right.
QWidget* MakeRigTab(QLabel*& image, const QPixmap& picture, QPushButton* const (&buttons)[5]) {
  auto* tab = new QWidget;
  image = new QLabel(tab);
  image->setPixmap(picture);
  image->setFixedSize(360, 330);
  image->setFrameShape(QFrame::Panel);
  image->setFrameShadow(QFrame::Sunken);
  image->setScaledContents(true);
  auto* column = new QVBoxLayout;
  for (QPushButton* b : buttons) {
    b->setParent(tab);
    column->addWidget(b);
  }
  column->addStretch();
  auto* layout = new QHBoxLayout(tab);
  layout->addWidget(image);
  layout->addLayout(column, 1);
  return tab;
}

QLineEdit* SettingsEdit(const QString& name, const QString& text) {
  auto* e = MakeEdit(nullptr, name, text);
  e->setMaximumWidth(90);
  return e;
}

}  // namespace

Form0::Form0(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form0"));
  setWindowTitle(QStringLiteral("Balancing system Vintor-1"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setFixedSize(590, 446);

  Button13 = MainButton("Button13", "F1 - About      ", this);
  Button11 = MainButton("Button11", "F5 - Vibration Meter", this);
  Button6 = MainButton("Button6", "F6 - Reports", this);
  Button7 = MainButton("Button7", "F7 - Balancing ", this);
  Button8 = MainButton("Button8", "F8 - Charts", this);
  Button14 = MainButton("Button14", "F1 - About      ", this);
  Button12 = MainButton("Button12", "F5 - Vibration Meter", this);
  Button1 = MainButton("Button1", "F6 - Reports", this);
  Button2 = MainButton("Button2", "F7 - Balancing ", this);
  Button4 = MainButton("Button4", "F8 - Charts", this);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setFocusPolicy(Qt::NoFocus);
  PageControl1->addTab(
      MakeRigTab(Image1, SinglePlaneRigPicture(), {Button13, Button11, Button6, Button7, Button8}),
      QStringLiteral("F2 - Single-plane"));
  PageControl1->addTab(
      MakeRigTab(Image2, TwoPlaneRigPicture(), {Button14, Button12, Button1, Button2, Button4}),
      QStringLiteral("F3 - Two-plane"));
  Image1->setObjectName(QStringLiteral("Image1"));
  Image2->setObjectName(QStringLiteral("Image2"));

  // Settings tab: sensor settings on the left, the device log along the right edge.
  const SettingsTexts init = InitialSettingsTexts();
  EditKPR1 = SettingsEdit("EditKPR1", init[0]);
  EditKPR2 = SettingsEdit("EditKPR2", init[1]);
  EditVs1 = SettingsEdit("EditVs1", init[2]);
  EditVs2 = SettingsEdit("EditVs2", init[3]);
  EditMaxV = SettingsEdit("EditMaxV", init[4]);
  GroupBox1 = new QGroupBox(QStringLiteral("Sensitivity"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* g1 = new QGridLayout(GroupBox1);
  g1->addWidget(new QLabel(QStringLiteral("Channel 1 (mV/mm)")), 0, 0);
  g1->addWidget(EditKPR1, 0, 1);
  g1->addWidget(new QLabel(QStringLiteral("Channel 2 (mV/mm)")), 1, 0);
  g1->addWidget(EditKPR2, 1, 1);
  GroupBox2 = new QGroupBox(QStringLiteral("Offset"));
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  auto* g2 = new QGridLayout(GroupBox2);
  g2->addWidget(new QLabel(QStringLiteral("Vs1")), 0, 0);
  g2->addWidget(EditVs1, 0, 1);
  g2->addWidget(new QLabel(QStringLiteral("Vs2")), 1, 0);
  g2->addWidget(EditVs2, 1, 1);
  auto* maxLabel = new QLabel(QStringLiteral("Maximum vibration level (mm/sec)"));
  maxLabel->setWordWrap(true);
  Button9 = MainButton("Button9", "Cancel", this);
  Button10 = MainButton("Button10", QString::fromUtf8("ОК"), this);
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setMaximumBlockCount(20000);  // the log is for reading, not a store
  Memo1->setFixedWidth(290);
  QFont mono(QStringLiteral("DejaVu Sans Mono"));
  mono.setPointSize(8);
  Memo1->setFont(mono);

  auto* settings = new QWidget;
  auto* left = new QVBoxLayout;
  left->addWidget(GroupBox1);
  left->addWidget(GroupBox2);
  auto* maxRow = new QHBoxLayout;
  maxRow->addWidget(maxLabel, 1);
  maxRow->addWidget(EditMaxV);
  left->addLayout(maxRow);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button9);
  buttons->addWidget(Button10);
  left->addLayout(buttons);
  left->addStretch();
  auto* settingsLayout = new QHBoxLayout(settings);
  settingsLayout->addLayout(left, 1);
  settingsLayout->addWidget(Memo1);
  PageControl1->addTab(settings, QStringLiteral("F4 - Settings"));
  PageControl1->setCurrentIndex(kTabTwoPlane);

  Button5 = MainButton("Button5", "F10 - Exit", this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(PageControl1, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Button5);
  layout->addLayout(bottom);

  // The first field mends both separators on leaving, the next three only "."; the limit field
  // takes any key.
  MakeNumeric(EditKPR1, ExitMend::PointAndComma);
  for (QLineEdit* e : {EditKPR2, EditVs1, EditVs2}) MakeNumeric(e, ExitMend::Point);

  connect(Button13, &QPushButton::clicked, this, [this] {
    if (actions_.about) actions_.about();
  });
  connect(Button14, &QPushButton::clicked, this, [this] {
    if (actions_.about) actions_.about();
  });
  connect(Button11, &QPushButton::clicked, this, [this] {
    if (actions_.vibrationMeter) actions_.vibrationMeter(false);
  });
  connect(Button12, &QPushButton::clicked, this, [this] {
    if (actions_.vibrationMeter) actions_.vibrationMeter(true);
  });
  connect(Button6, &QPushButton::clicked, this, [this] {
    if (actions_.reports) actions_.reports(false);
  });
  connect(Button1, &QPushButton::clicked, this, [this] {
    if (actions_.reports) actions_.reports(true);
  });
  connect(Button7, &QPushButton::clicked, this, [this] {
    if (actions_.balancing) actions_.balancing(false);
  });
  connect(Button2, &QPushButton::clicked, this, [this] {
    if (actions_.balancing) actions_.balancing(true);
  });
  connect(Button8, &QPushButton::clicked, this, [this] {
    if (actions_.charts) actions_.charts();
  });
  connect(Button4, &QPushButton::clicked, this, [this] {
    if (actions_.charts) actions_.charts();
  });
  connect(Button9, &QPushButton::clicked, this, &Form0::Button9Click);
  connect(Button10, &QPushButton::clicked, this, &Form0::Button10Click);
  connect(Button5, &QPushButton::clicked, this, &QWidget::close);
  keys_.On(Qt::Key_F1, [this] {
         if (actions_.about) actions_.about();
       })
      .On(Qt::Key_F2, [this] { PageControl1->setCurrentIndex(kTabSinglePlane); })
      .On(Qt::Key_F3, [this] { PageControl1->setCurrentIndex(kTabTwoPlane); })
      .On(Qt::Key_F4, [this] { PageControl1->setCurrentIndex(kTabSettings); })
      .On(Qt::Key_F5, [this] { ClickOnTab(Button11, Button12); })
      .On(Qt::Key_F6, [this] { ClickOnTab(Button6, Button1); })
      .On(Qt::Key_F7, [this] { ClickOnTab(Button7, Button2); })
      .On(Qt::Key_F8, [this] { ClickOnTab(Button8, Button4); })
      .Click(Qt::Key_F10, Button5);
}

void Form0::ClickOnTab(QPushButton* single, QPushButton* two) {
  const int tab = PageControl1->currentIndex();
  if (tab == kTabSinglePlane) ClickIfEnabled(single);
  if (tab == kTabTwoPlane) ClickIfEnabled(two);
}

void Form0::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void Form0::FormShow() {
  InitProgramPaths(QDir::currentPath());
  LoadSettings();
}

void Form0::LoadSettings() {
  SettingsTexts texts = FieldTexts();
  const ConfigLoad result = LoadSensorConfig(SensorConfigPath(), Settings(), texts);
  SetFieldTexts(texts);
  if (result == ConfigLoad::BadValue) {
    PageControl1->setCurrentIndex(kTabSettings);
    // Shown once the main window is on screen, not from inside its show event.
    QTimer::singleShot(
        0, this, [] { Svc().dialogs->Warning(QStringLiteral("Wrong sensitivity value!!!")); });
  }
}

SettingsTexts Form0::FieldTexts() const {
  return {EditKPR1->text(), EditKPR2->text(), EditVs1->text(), EditVs2->text(), EditMaxV->text()};
}

void Form0::SetFieldTexts(const SettingsTexts& texts) {
  EditKPR1->setText(texts[0]);
  EditKPR2->setText(texts[1]);
  EditVs1->setText(texts[2]);
  EditVs2->setText(texts[3]);
  EditMaxV->setText(texts[4]);
}

void Form0::Button10Click() {
  QString error;
  if (!SaveSensorConfig(SensorConfigPath(), FieldTexts(), &error))
    Svc().dialogs->Warning(QStringLiteral("Wrong sensitivity value!!!"));
  PageControl1->setCurrentIndex(kTabSinglePlane);
  raise();
  activateWindow();
}

void Form0::Button9Click() {
  SetFieldTexts(TextsFromValues(Settings(), FieldTexts()));
  PageControl1->setCurrentIndex(kTabSinglePlane);
}

void Form0::AppendLog(const QString& line) { Memo1->appendPlainText(line); }

}  // namespace vintor
