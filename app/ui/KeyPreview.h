#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QKeyEvent;
class QAbstractButton;

namespace vintor {

// Windows see key presses before their controls and swallow every key release. One application
// event filter routes each key event to the handler of the window that holds the focus widget.
class KeyPreview : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<bool(QKeyEvent*)>;  // true: the key was used
  static void Register(QWidget* window, Handler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QPointer<QWidget> window;
    Handler handler;
  };
  std::vector<Entry> entries_;
  static KeyPreview& Instance();
};

// A function key acts as a click of its button, and only while that button is enabled.
bool ClickIfEnabled(QAbstractButton* button);

}  // namespace vintor
