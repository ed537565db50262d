#include "kit/KeyPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

#include "kit/WindowKit.h"

namespace vintor {

KeyPreview& KeyPreview::Instance() {
  static KeyPreview* instance = [] {
    auto* p = new KeyPreview;
    p->setParent(qApp);
    qApp->installEventFilter(p);
    return p;
  }();
  return *instance;
}

void KeyPreview::Register(QWidget* window, Handler handler) {
  auto& entries = Instance().entries_;
  // Windows of tests come and go: forget the ones that are gone.
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [](const Entry& e) { return e.window.isNull(); }),
                entries.end());
  entries.push_back({window, std::move(handler)});
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  QWidget* window = widget->window();
  for (const Entry& e : entries_) {
    if (e.window != window) continue;
    if (type == QEvent::KeyRelease) return true;
    return e.handler(widget, static_cast<QKeyEvent*>(event));
  }
  return false;
}

bool ClickIfEnabled(QAbstractButton* button) {
  if (button && button->isEnabled() && button->isVisibleTo(button->window())) button->click();
  return true;
}

KeyTable::KeyTable(QWidget* window) {
  On(Qt::Key_F1, [] { ShowAbout(); });
  KeyPreview::Register(window, [this](QWidget* target, QKeyEvent* e) { return Handle(target, e); });
}

KeyTable& KeyTable::Click(int key, QAbstractButton* button) {
  QPointer<QAbstractButton> b(button);
  return On(key, [b] { ClickIfEnabled(b.data()); });
}

KeyTable& KeyTable::On(int key, std::function<void()> action) {
  actions_[key] = std::move(action);
  passed_.erase(std::remove(passed_.begin(), passed_.end(), key), passed_.end());
  return *this;
}

KeyTable& KeyTable::Pass(int key) {
  actions_.erase(key);
  passed_.push_back(key);
  return *this;
}

bool KeyTable::Handle(QWidget* target, QKeyEvent* event) {
  const int key = event->key();
  if (std::find(passed_.begin(), passed_.end(), key) != passed_.end()) return false;
  auto it = actions_.find(key);
  if (it != actions_.end()) {
    // A copy: the action may rebind keys of this very table.
    const std::function<void()> action = it->second;
    action();
    return true;
  }
  // Buttons and choices act on the release of Space, which never reaches them: a focused one
  // acts on the press of Space or Enter instead.
  const bool pressKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
  if (pressKey && event->modifiers() == Qt::NoModifier) {
    auto* button = qobject_cast<QAbstractButton*>(target);
    if (button) {
      if (button->isEnabled()) button->click();
      return true;
    }
  }
  const bool functionKey = key >= Qt::Key_F1 && key <= Qt::Key_F35;
  return functionKey || key == Qt::Key_Escape;
}

}  // namespace vintor
