#pragma once

#include <QDateTime>
#include <QString>

namespace vintor {

// What the operator is told. The real implementation shows modal windows; tests record and answer.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The warning window: shows `message`, or whatever it holds when `message` is null.
  virtual void Warning(const QString& message) = 0;
  // A plain message box with an information icon (module set-up errors, file-copy errors).
  virtual void Message(const QString& caption, const QString& text) = 0;
  // A failure that reaches the standard error display (unexpected file or conversion errors).
  virtual void Error(const QString& text) = 0;
  // The file-save dialog: the full path as the operator entered it (no filter, no default
  // extension), or an empty text when cancelled.
  virtual QString AskSaveFileName() { return QString(); }
  // Asks the operator to confirm an action that cannot be undone (deleting a record); true to
  // go ahead. Without a window to ask in, the answer is no.
  virtual bool Confirm(const QString& text) {
    (void)text;
    return false;
  }
  // Warns with `text` and asks whether to go on or to repeat the step just made; true to go
  // on. Without a window to ask in, the job goes on.
  virtual bool GoOnOrRepeat(const QString& text) {
    (void)text;
    return true;
  }
};

// The desktop shell's "open" verb: shows a document in its default viewer.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool Open(const QString& path) = 0;
};

// Wall clock for time stamps and elapsed times.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime Now() const = 0;
  virtual qint64 MonotonicMs() const = 0;
};

}  // namespace vintor
