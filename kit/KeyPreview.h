#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

class QKeyEvent;
class QAbstractButton;

namespace vintor {

// Windows see key presses before their controls and swallow every key release. One application
// event filter routes each key event to the handler of the window that holds the focus widget.
class KeyPreview : public QObject {
  Q_OBJECT
 public:
  // `target`: the widget the key was sent to. True: the key was used.
  using Handler = std::function<bool(QWidget* target, QKeyEvent*)>;
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

// A function key acts as a click of its button, and only while that button is enabled (and not
// hidden inside its window, such as a button on a tab page that is not shown).
bool ClickIfEnabled(QAbstractButton* button);

// The keys of one window: a table from key to action. Function keys and Escape never reach the
// controls: a bound key acts, an unbound one does nothing (a drop-down list would otherwise open
// on F4, and a dialog close on Escape). Every other key reaches the focused control unless bound.
// F1 shows the About window unless the window binds it to something else. Space and Enter press
// a focused button or choice (at the key press, since releases are swallowed).
class KeyTable {
 public:
  explicit KeyTable(QWidget* window);
  KeyTable(const KeyTable&) = delete;
  KeyTable& operator=(const KeyTable&) = delete;

  KeyTable& Click(int key, QAbstractButton* button);
  KeyTable& On(int key, std::function<void()> action);
  // The key reaches the focused control as if nothing previewed it.
  KeyTable& Pass(int key);

  // What the window's key preview does with a key press sent to `target`: true when consumed.
  bool Handle(QWidget* target, QKeyEvent* event);

 private:
  std::map<int, std::function<void()>> actions_;
  std::vector<int> passed_;
};

}  // namespace vintor
