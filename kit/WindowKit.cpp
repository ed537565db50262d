#include "kit/WindowKit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace vintor {

KitHooks& Kit() {
  static KitHooks hooks;
  return hooks;
}

void ShowAbout() {
  if (Kit().showAbout) Kit().showAbout();
}

void DisconnectControls(QWidget* window) {
  for (QObject* child : window->findChildren<QObject*>()) child->disconnect(window);
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  // Buttons act on a click or their function key; Enter in a field must not press them.
  b->setAutoDefault(false);
  b->setDefault(false);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

QPushButton* MakeBoldButton(QWidget* parent, const QString& name, const QString& caption,
                            int minHeight) {
  QPushButton* b = MakeButton(parent, name, caption);
  b->setMinimumHeight(minHeight);
  QFont f = b->font();
  f.setBold(true);
  b->setFont(f);
  return b;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  return e;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& caption) {
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(name);
  return g;
}

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QStringList& items,
                     bool editable) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(editable);
  c->addItems(items);
  if (editable) c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

RadioGroup::RadioGroup(QWidget* parent, const QString& name, const QString& caption,
                       const QStringList& items, int itemIndex)
    : QGroupBox(caption, parent) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(name + QStringLiteral("_") + QString::number(i));
    b->setChecked(i == itemIndex);
    layout->addWidget(b);
    buttons_.push_back(b);
    // Only the button that becomes checked reports, so one choice emits once.
    connect(b, &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) emit itemChosen(i);
    });
  }
}

int RadioGroup::ItemIndex() const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

void RadioGroup::SetItemIndex(int index) {
  // Choosing the item already chosen does nothing, as clicking it does nothing.
  if (index < 0 || index >= static_cast<int>(buttons_.size()) || ItemIndex() == index) return;
  buttons_[static_cast<size_t>(index)]->setChecked(true);
}

QColor GroupColourValue(GroupColour colour) {
  switch (colour) {
    case GroupColour::PaleGreen:
      return QColor(131, 224, 147);
    case GroupColour::Green:
      return QColor(0, 128, 0);
    case GroupColour::Lime:
      return QColor(0, 255, 0);
    case GroupColour::Red:
      return QColor(255, 0, 0);
  }
  return QColor(131, 224, 147);
}

void PaintGroup(QGroupBox* group, GroupColour colour) {
  group->setAutoFillBackground(true);
  QPalette p = group->palette();
  p.setColor(QPalette::Window, GroupColourValue(colour));
  group->setPalette(p);
}

QColor GroupColourOf(const QGroupBox* group) { return group->palette().color(QPalette::Window); }

KitDialog::KitDialog(QWidget* parent, const QString& name, const QString& caption)
    : QDialog(parent), keys_(this) {
  setObjectName(name);
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
}

int KitDialog::ShowModal() {
  setWindowModality(Qt::ApplicationModal);
  return exec();
}

void KitDialog::ShowModeless(QWidget* over) {
  if (!isVisible()) setWindowModality(Qt::NonModal);
  if (over && over->window() != this) {
    // A modal window blocks every window that is not its transient child.
    winId();
    QWindow* overWindow = over->window()->windowHandle();
    if (windowHandle() && overWindow) windowHandle()->setTransientParent(overWindow);
  }
  if (!isVisible()) show();
  raise();
  activateWindow();
}

void KitDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void KitDialog::done(int result) {
  if (isVisible()) FormClose();
  QDialog::done(result);
}

}  // namespace vintor
