#include "app/ui/KeyPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

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
  Instance().entries_.push_back({window, std::move(handler)});
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
    return e.handler(static_cast<QKeyEvent*>(event));
  }
  return false;
}

bool ClickIfEnabled(QAbstractButton* button) {
  if (button && button->isEnabled() && button->isVisible()) button->click();
  return true;
}

}  // namespace vintor
