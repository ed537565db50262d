#include "rig/UnitRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>
#include <complex>
#include <numbers>

#include "base/Formatting.h"
#include "kit/NumericField.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/SimRig.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

constexpr int kMaxBlades = 1000;
constexpr double kBig = 1e6;
const char* const kShownText = "rigShownText";

const QString kWrongSpeed = QStringLiteral("Wrong speed! Enter rev/min from 0 to 60000.");
const QString kWrongNoise =
    QStringLiteral("Wrong noise level! Enter mm/s, 0 or more, for both channels.");
const QString kWrongUnbalance =
    QStringLiteral("Wrong unbalance! Enter g\u00B7mm, 0 or more, at an angle in degrees.");
const QString kWrongMass =
    QStringLiteral("Wrong mass! Enter grams other than 0 (below 0: material taken off).");
const QString kWrongAngle = QStringLiteral("Wrong angle! Enter degrees.");
const QString kWrongBlade =
    QStringLiteral("Wrong blade! Enter blade K of N blades, 1 <= K <= N <= 1000.");
const QString kWrongRadius = QStringLiteral(
    "Wrong radius! Enter mm above 0, or leave the field empty for the plane's radius.");
const QString kNoMassChosen = QStringLiteral("Choose the mass to remove in the list first.");

constexpr int kTachoWorking = 0, kTachoNoSignal = 1, kTachoBounce = 2;
constexpr int kModuleConnected = 0, kModuleDisconnected = 1;

// A number as the operator types it: either separator, blanks around.
bool ReadNumber(const QLineEdit* edit, double* value) {
  double v = 0;
  if (!ParseNumber(MendSeparators(edit->text().trimmed()), &v) || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ReadWhole(const QLineEdit* edit, int lo, int hi, int* value) {
  double v = 0;
  if (!ReadNumber(edit, &v) || v != std::floor(v) || v < lo || v > hi) return false;
  *value = static_cast<int>(v);
  return true;
}

QString Shown(double x) { return FormatUpToDecimals(x, 3); }

double Degrees(std::complex<double> v) {
  double d = std::arg(v) * 180.0 / std::numbers::pi;
  if (d < 0) d += 360.0;
  return d;
}

QString Vector(std::complex<double> v, const QString& unit, bool vibration) {
  const QString amount = vibration ? FormatVibValue(std::abs(v)) : FormatPicture(std::abs(v), 0);
  return amount + QLatin1Char(' ') + unit + QStringLiteral(" at ") +
         FormatPicture(std::abs(v) > 0 ? Degrees(v) : 0.0, 0) + QStringLiteral("\u00B0");
}

QLineEdit* Field(QWidget* parent, const QString& name, int width, bool numeric = true) {
  QLineEdit* e = MakeEdit(parent, name, QString());
  e->setFixedWidth(width);
  if (numeric) MakeNumeric(e, ExitMend::PointAndComma);
  return e;
}

}  // namespace

// Keeps the rig window usable while a modal window is up. Qt blocks every window that is not a
// transient child of the topmost modal window, so the rig window follows that window as its
// transient parent, and the main window while none is up. It also shows the rig window after
// the main window's first showing (the working directory is known only then) and hides it with
// the main window.
class FormRig::Follower final : public QObject {
 public:
  Follower(FormRig* rig, QWidget* main) : QObject(rig), rig_(rig), main_(main) {
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::ShowToParent) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !w->isWindow() || w == rig_) return false;
    if (w == main_) {
      if (type == QEvent::Show && !shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, rig_, [this] {
          QWidget* main = main_.data();
          if (main && main->isVisible()) rig_->ShowBeside(main);
        });
      }
      if (type == QEvent::Hide && !event->spontaneous()) rig_->hide();
      return false;
    }
    // Qt counts a modal window as modal between its Show and its ShowToParent, and no longer
    // before its Hide. A transient parent set while Qt's list is not up to date would leave the
    // rig window blocked.
    if (type == QEvent::Show || w->windowModality() == Qt::NonModal) return false;
    Follow(nullptr);
    return false;
  }

  // Makes `over` (or the topmost modal window, or the main window) the transient parent.
  void Follow(QWindow* over) {
    QWindow* own = rig_->windowHandle();
    if (!own) return;
    if (!over) over = QGuiApplication::modalWindow();
    // A modal window of the rig window's own blocks it, as it should.
    if (over && (over == own || own->isAncestorOf(over, QWindow::IncludeTransients)))
      over = nullptr;
    if (!over && main_) over = main_->windowHandle();
    if (own->transientParent() != over) own->setTransientParent(over);
  }

 private:
  FormRig* rig_;
  QPointer<QWidget> main_;
  bool shownOnce_ = false;
};

FormRig::FormRig(QWidget* parent)
    : KitDialog(parent, QStringLiteral("FormRig"), QStringLiteral("Simulated rig")) {
  // Rotor.
  auto* rotor = MakeGroup(this, QStringLiteral("GroupRotor"), QStringLiteral("Rotor"));
  EditRpm = Field(rotor, QStringLiteral("EditRpm"), 70);
  EditNoise = Field(rotor, QStringLiteral("EditNoise"), 70);
  auto* rotorGrid = new QGridLayout(rotor);
  rotorGrid->addWidget(new QLabel(QStringLiteral("Speed"), rotor), 0, 0);
  rotorGrid->addWidget(EditRpm, 0, 1);
  rotorGrid->addWidget(new QLabel(QStringLiteral("rev/min"), rotor), 0, 2);
  rotorGrid->addWidget(new QLabel(QStringLiteral("Noise"), rotor), 1, 0);
  rotorGrid->addWidget(EditNoise, 1, 1);
  rotorGrid->addWidget(new QLabel(QStringLiteral("mm/s"), rotor), 1, 2);
  rotorGrid->setColumnStretch(3, 1);
  GroupTacho = new RadioGroup(this, QStringLiteral("GroupTacho"), QStringLiteral("Tachometer"),
                              {QStringLiteral("Working"), QStringLiteral("No signal"),
                               QStringLiteral("Bouncing contact")},
                              kTachoWorking);
  GroupModule = new RadioGroup(this, QStringLiteral("GroupModule"), QStringLiteral("Module"),
                               {QStringLiteral("Connected"), QStringLiteral("Disconnected")},
                               kModuleConnected);

  // Planes.
  auto* planes = new QHBoxLayout;
  for (int j = 0; j < 2; ++j) {
    const QString n = QString::number(j + 1);
    QGroupBox* g = GroupPlane[j] =
        MakeGroup(this, QStringLiteral("GroupPlane") + n, QStringLiteral("Plane ") + n);
    EditUnbalance[j] = Field(g, QStringLiteral("EditUnbalance") + n, 55);
    EditUnbalanceAngle[j] = Field(g, QStringLiteral("EditUnbalanceAngle") + n, 40);
    ListMasses[j] = new QListWidget(g);
    ListMasses[j]->setObjectName(QStringLiteral("ListMasses") + n);
    ListMasses[j]->setFixedHeight(76);  // four masses in sight
    ListMasses[j]->installEventFilter(this);
    ButtonRemove[j] = MakeButton(g, QStringLiteral("ButtonRemove") + n, QStringLiteral("Remove"));
    ButtonClear[j] = MakeButton(g, QStringLiteral("ButtonClear") + n, QStringLiteral("Clear"));
    LabelTotal[j] = MakeLabel(g, QStringLiteral("LabelTotal") + n, kNoData);
    auto* unbalance = new QHBoxLayout;
    unbalance->addWidget(new QLabel(QStringLiteral("Initial unbalance"), g));
    unbalance->addWidget(EditUnbalance[j]);
    unbalance->addWidget(new QLabel(QStringLiteral("g\u00B7mm at"), g));
    unbalance->addWidget(EditUnbalanceAngle[j]);
    unbalance->addWidget(new QLabel(QStringLiteral("\u00B0"), g));
    unbalance->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonRemove[j]);
    buttons->addWidget(ButtonClear[j]);
    auto* column = new QVBoxLayout(g);
    column->addLayout(unbalance);
    column->addWidget(ListMasses[j]);
    column->addLayout(buttons);
    column->addWidget(LabelTotal[j]);
    planes->addWidget(g);
  }

  // Attaching a mass.
  auto* attach = MakeGroup(this, QStringLiteral("GroupAttach"), QStringLiteral("Attach a mass"));
  ComboPlane = MakeCombo(attach, QStringLiteral("ComboPlane"),
                         {QStringLiteral("Plane 1"), QStringLiteral("Plane 2")}, false);
  EditMass = Field(attach, QStringLiteral("EditMass"), 60, false);  // a sign is allowed
  MendOnExit(EditMass, ExitMend::PointAndComma);
  EditRadius = Field(attach, QStringLiteral("EditRadius"), 60);
  RadioAngle = new QRadioButton(QStringLiteral("At angle"), attach);
  RadioAngle->setObjectName(QStringLiteral("RadioAngle"));
  RadioBlade = new QRadioButton(QStringLiteral("On blade"), attach);
  RadioBlade->setObjectName(QStringLiteral("RadioBlade"));
  placeGroup_ = new QButtonGroup(this);
  placeGroup_->addButton(RadioAngle);
  placeGroup_->addButton(RadioBlade);
  RadioAngle->setChecked(true);
  EditAngle = Field(attach, QStringLiteral("EditAngle"), 60);
  EditBlade = Field(attach, QStringLiteral("EditBlade"), 40);
  EditBlades = Field(attach, QStringLiteral("EditBlades"), 40);
  ButtonAttach = MakeButton(attach, QStringLiteral("ButtonAttach"), QStringLiteral("Attach"));
  auto* grid = new QGridLayout(attach);
  grid->addWidget(ComboPlane, 0, 0);
  auto* massRow = new QHBoxLayout;
  massRow->addWidget(new QLabel(QStringLiteral("Mass"), attach));
  massRow->addWidget(EditMass);
  massRow->addWidget(new QLabel(QStringLiteral("g"), attach));
  massRow->addSpacing(8);
  massRow->addWidget(new QLabel(QStringLiteral("Radius"), attach));
  massRow->addWidget(EditRadius);
  massRow->addWidget(new QLabel(QStringLiteral("mm"), attach));
  massRow->addStretch();
  grid->addLayout(massRow, 0, 1);
  grid->addWidget(RadioAngle, 1, 0);
  auto* angleRow = new QHBoxLayout;
  angleRow->addWidget(EditAngle);
  angleRow->addWidget(new QLabel(QStringLiteral("\u00B0"), attach));
  angleRow->addStretch();
  grid->addLayout(angleRow, 1, 1);
  grid->addWidget(RadioBlade, 2, 0);
  auto* bladeRow = new QHBoxLayout;
  bladeRow->addWidget(EditBlade);
  bladeRow->addWidget(new QLabel(QStringLiteral("of"), attach));
  bladeRow->addWidget(EditBlades);
  bladeRow->addWidget(new QLabel(QStringLiteral("blades"), attach));
  bladeRow->addStretch();
  bladeRow->addWidget(ButtonAttach);
  grid->addLayout(bladeRow, 2, 1);
  grid->setColumnStretch(1, 1);

  // What the rotor does.
  auto* vibration =
      MakeGroup(this, QStringLiteral("GroupVibration"), QStringLiteral("1x vibration now"));
  auto* vibrationRow = new QHBoxLayout(vibration);
  vibrationRow->setContentsMargins(9, 4, 9, 4);
  for (int ch = 0; ch < 2; ++ch) {
    LabelVibration[ch] = MakeLabel(vibration, QStringLiteral("LabelVibration%1").arg(ch + 1), kNoData);
    vibrationRow->addWidget(LabelVibration[ch], 1);
  }
  LabelFile = MakeLabel(this, QStringLiteral("LabelFile"), QString());
  LabelFile->setWordWrap(true);
  QFont small = LabelFile->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  LabelFile->setFont(small);

  auto* top = new QHBoxLayout;
  top->addWidget(rotor, 1);
  top->addWidget(GroupTacho);
  top->addWidget(GroupModule);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(top);
  layout->addLayout(planes, 1);
  layout->addWidget(attach);
  layout->addWidget(vibration);
  layout->addWidget(LabelFile);

  setTabOrder(EditRpm, EditNoise);
  setTabOrder(EditNoise, GroupTacho->Item(0));
  setTabOrder(GroupTacho->Item(0), GroupModule->Item(0));
  setTabOrder(GroupModule->Item(0), EditUnbalance[0]);
  QWidget* previous = EditUnbalance[0];
  for (int j = 0; j < 2; ++j) {
    for (QWidget* w : std::initializer_list<QWidget*>{EditUnbalance[j], EditUnbalanceAngle[j],
                                                      ListMasses[j], ButtonRemove[j],
                                                      ButtonClear[j]}) {
      if (w != previous) setTabOrder(previous, w);
      previous = w;
    }
  }
  for (QWidget* w : std::initializer_list<QWidget*>{ComboPlane, EditMass, EditRadius, RadioAngle,
                                                    EditAngle, RadioBlade, EditBlade, EditBlades,
                                                    ButtonAttach}) {
    setTabOrder(previous, w);
    previous = w;
  }

  connect(EditRpm, &QLineEdit::editingFinished, this, &FormRig::EditRpmExit);
  connect(EditNoise, &QLineEdit::editingFinished, this, &FormRig::EditNoiseExit);
  for (int j = 0; j < 2; ++j) {
    for (QLineEdit* e : {EditUnbalance[j], EditUnbalanceAngle[j]})
      connect(e, &QLineEdit::editingFinished, this, [this, j] { EditUnbalanceExit(j + 1); });
    connect(ButtonRemove[j], &QPushButton::clicked, this, [this, j] { ButtonRemoveClick(j + 1); });
    connect(ButtonClear[j], &QPushButton::clicked, this, [this, j] { ButtonClearClick(j + 1); });
  }
  connect(GroupTacho, &RadioGroup::itemChosen, this, &FormRig::GroupTachoChosen);
  connect(GroupModule, &RadioGroup::itemChosen, this, &FormRig::GroupModuleChosen);
  connect(placeGroup_, &QButtonGroup::buttonToggled, this, [this] { PlaceChosen(); });
  connect(ButtonAttach, &QPushButton::clicked, this, &FormRig::ButtonAttachClick);
  // Enter in any field of a mass attaches it.
  for (QLineEdit* e : {EditMass, EditRadius, EditAngle, EditBlade, EditBlades})
    connect(e, &QLineEdit::returnPressed, this, &FormRig::ButtonAttachClick);
  PlaceChosen();
}

FormRig::~FormRig() { DisconnectControls(this); }

QString FormRig::FilePath() {
  return JoinPath(Paths().WorkDir, QString::fromLatin1(SimAdcLibrary::kDefaultFile));
}

void FormRig::Reload() {
  SimRig rig;
  QString error;
  if (!rig.Load(FilePath(), &error)) {
    Show(SimRig(), error);
    return;
  }
  Show(rig);
}

void FormRig::FormShow() { Reload(); }

bool FormRig::event(QEvent* event) {
  // Back in the window: the command line may have changed the rig meanwhile.
  if (event->type() == QEvent::WindowActivate && !busy_) Reload();
  return KitDialog::event(event);
}

bool FormRig::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return KitDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  // Delete in a mass list takes the chosen mass off.
  for (int j = 0; j < 2; ++j) {
    if (watched == ListMasses[j] && key == Qt::Key_Delete) {
      ButtonRemoveClick(j + 1);
      return true;
    }
  }
  return KitDialog::eventFilter(watched, event);
}

bool FormRig::Changed(const QLineEdit* edit) const {
  return edit->text() != edit->property(kShownText).toString();
}

void FormRig::Show(const SimRig& rig, const QString& error) {
  showing_ = true;
  QStringList problems;
  const SimConfig c = rig.Config(&problems);
  auto set = [](QLineEdit* e, const QString& text) {
    e->setText(text);
    e->setProperty(kShownText, text);
  };
  set(EditRpm, Shown(c.Rpm));
  set(EditNoise, c.Ch1.Noise == c.Ch2.Noise
                     ? Shown(c.Ch1.Noise)
                     : Shown(c.Ch1.Noise) + QStringLiteral(" / ") + Shown(c.Ch2.Noise));
  GroupTacho->SetItemIndex(c.TachoFault == SimTachoFault::NoSignal ? kTachoNoSignal
                           : c.TachoFault == SimTachoFault::Bounce ? kTachoBounce
                                                                   : kTachoWorking);
  GroupModule->SetItemIndex(c.ModuleSlot >= kAdcVirtualSlots ? kModuleDisconnected
                                                             : kModuleConnected);
  for (int j = 0; j < 2; ++j) {
    const SimPlane& p = c.Plane[j];
    set(EditUnbalance[j], Shown(p.Unbalance.Amount));
    set(EditUnbalanceAngle[j], Shown(p.Unbalance.AngleDeg));
    const int chosen = ListMasses[j]->currentRow();
    ListMasses[j]->clear();
    int index = 0;
    for (const SimMass& m : p.Masses) {
      const double r = m.RadiusMm > 0 ? m.RadiusMm : p.RadiusMm;
      ListMasses[j]->addItem(QStringLiteral("%1. %2 g at %3\u00B0, r %4 mm")
                                 .arg(++index)
                                 .arg(FormatUpToDecimals(m.Grams, 3),
                                      FormatUpToDecimals(m.AngleDeg, 1),
                                      FormatUpToDecimals(r, 1)));
    }
    if (ListMasses[j]->count() > 0)
      ListMasses[j]->setCurrentRow(std::clamp(chosen, 0, ListMasses[j]->count() - 1));
    LabelTotal[j]->setText(QStringLiteral("Total unbalance: ") +
                           Vector(SimPlaneUnbalance(c, j), QStringLiteral("g\u00B7mm"), false));
  }
  for (int ch = 0; ch < 2; ++ch)
    LabelVibration[ch]->setText(QStringLiteral("Channel %1: ").arg(ch + 1) +
                                Vector(SimVibration1x(c, ch), QStringLiteral("mm/s"), true));
  // What the simulator skips in the file is worth knowing; the first line of it says where.
  QString file = FilePath();
  if (!error.isEmpty())
    file += QStringLiteral(": ") + error;
  else if (!problems.isEmpty())
    file += QStringLiteral(" (%1 skipped: %2)").arg(problems.size()).arg(problems.first());
  LabelFile->setText(file);
  showing_ = false;
}

bool FormRig::Change(const std::function<QString(SimRig&)>& change) {
  busy_ = true;
  SimRig rig;
  QString error;
  bool done = false;
  if (!rig.Load(FilePath(), &error)) {
    Svc().dialogs->Warning(FilePath() + QStringLiteral(": ") + error);
  } else if (const QString refused = change(rig); !refused.isEmpty()) {
    Svc().dialogs->Warning(refused);
  } else if (!rig.Save(&error)) {
    Svc().dialogs->Warning(FilePath() + QStringLiteral(": ") + error);
  } else {
    done = true;
  }
  busy_ = false;
  Reload();
  return done;
}

void FormRig::EditRpmExit() {
  if (showing_ || busy_ || !Changed(EditRpm)) return;
  double rpm = 0;
  const bool ok = ReadNumber(EditRpm, &rpm) && rpm >= 0 && rpm <= 60000;
  Change([&](SimRig& rig) { return ok ? rig.Set("rpm", FormatSimNumber(rpm)) : kWrongSpeed; });
}

void FormRig::EditNoiseExit() {
  if (showing_ || busy_ || !Changed(EditNoise)) return;
  double noise = 0;
  const bool ok = ReadNumber(EditNoise, &noise) && noise >= 0 && noise <= kBig;
  Change([&](SimRig& rig) {
    if (!ok) return kWrongNoise;
    QString refused = rig.Set("ch1_noise", FormatSimNumber(noise));
    if (refused.isEmpty()) refused = rig.Set("ch2_noise", FormatSimNumber(noise));
    return refused;
  });
}

void FormRig::EditUnbalanceExit(int plane) {
  const int j = plane - 1;
  if (showing_ || busy_ || !(Changed(EditUnbalance[j]) || Changed(EditUnbalanceAngle[j]))) return;
  double amount = 0, angle = 0;
  const bool ok = ReadNumber(EditUnbalance[j], &amount) && amount >= 0 && amount <= kBig &&
                  ReadNumber(EditUnbalanceAngle[j], &angle) && std::fabs(angle) <= kBig;
  Change([&](SimRig& rig) {
    return ok ? rig.Set(QStringLiteral("unbalance%1").arg(plane),
                        FormatSimNumber(amount) + QLatin1Char('@') + FormatSimNumber(angle))
              : kWrongUnbalance;
  });
}

void FormRig::ButtonAttachClick() {
  if (busy_) return;
  SimMass mass;
  QString wrong;
  int blade = 0, blades = 0;
  if (!ReadNumber(EditMass, &mass.Grams) || mass.Grams == 0 || std::fabs(mass.Grams) > kBig)
    wrong = kWrongMass;
  else if (!EditRadius->text().trimmed().isEmpty() &&
           !(ReadNumber(EditRadius, &mass.RadiusMm) && mass.RadiusMm > 0 &&
             mass.RadiusMm <= kBig))
    wrong = kWrongRadius;
  else if (RadioAngle->isChecked() &&
           !(ReadNumber(EditAngle, &mass.AngleDeg) && std::fabs(mass.AngleDeg) <= kBig))
    wrong = kWrongAngle;
  else if (RadioBlade->isChecked() && !(ReadWhole(EditBlades, 1, kMaxBlades, &blades) &&
                                        ReadWhole(EditBlade, 1, blades, &blade)))
    wrong = kWrongBlade;
  if (RadioBlade->isChecked() && wrong.isEmpty()) mass.AngleDeg = SimRig::BladeAngle(blade, blades);
  const int plane = ComboPlane->currentIndex() + 1;
  if (Change([&](SimRig& rig) { return wrong.isEmpty() ? rig.Attach(plane, mass) : wrong; })) {
    QListWidget* list = ListMasses[plane - 1];
    list->setCurrentRow(list->count() - 1);
  }
}

void FormRig::ButtonRemoveClick(int plane) {
  if (busy_) return;
  const int index = ListMasses[plane - 1]->currentRow() + 1;
  Change([&](SimRig& rig) {
    return index >= 1 && rig.Remove(plane, index) ? QString() : kNoMassChosen;
  });
}

void FormRig::ButtonClearClick(int plane) {
  if (busy_) return;
  Change([&](SimRig& rig) {
    rig.Clear(plane);
    return QString();
  });
}

void FormRig::GroupTachoChosen(int index) {
  if (showing_ || busy_) return;
  const SimTachoFault fault = index == kTachoNoSignal ? SimTachoFault::NoSignal
                              : index == kTachoBounce ? SimTachoFault::Bounce
                                                      : SimTachoFault::None;
  // A working tachometer is the default: the key goes.
  Change([&](SimRig& rig) {
    return rig.Set("tacho_fault",
                   fault == SimTachoFault::None ? QString() : SimTachoFaultName(fault));
  });
}

void FormRig::GroupModuleChosen(int index) {
  if (showing_ || busy_) return;
  // No virtual slot answers 127; reconnecting takes the key out.
  Change([&](SimRig& rig) {
    return rig.Set("module_slot", index == kModuleDisconnected
                                      ? QString::number(kAdcVirtualSlots)
                                      : QString());
  });
}

void FormRig::PlaceChosen() {
  const bool byBlade = RadioBlade->isChecked();
  EditAngle->setEnabled(!byBlade);
  EditBlade->setEnabled(byBlade);
  EditBlades->setEnabled(byBlade);
}

void FormRig::Accompany(QWidget* main) {
  if (!follower_) follower_ = new Follower(this, main);
}

void FormRig::ShowBeside(QWidget* main) {
  constexpr int kGap = 8;
  const QRect frame = main->frameGeometry();
  QPoint at(frame.right() + 1 + kGap, frame.top());
  ensurePolished();
  adjustSize();
  if (QScreen* screen = main->screen()) {
    const QRect room = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - size.width())));
    at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - size.height())));
  }
  move(at);
  setAttribute(Qt::WA_ShowWithoutActivating);
  show();
  if (follower_) follower_->Follow(nullptr);
  // The main window keeps the keyboard.
  main->activateWindow();
}

}  // namespace vintor
