#include "kit/NumericField.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include "base/Formatting.h"

namespace vintor {
namespace {

void PasteFiltered(QLineEdit* edit, const QString& text) {
  if (edit->isReadOnly()) return;
  const QChar sep = DecimalSeparator();
  QString kept;
  for (QChar c : text) {
    const QChar k = NumKeyFilter(c, sep);
    if (!k.isNull() && k != QChar(8)) kept += k;
  }
  if (!kept.isEmpty()) edit->insert(kept);
}

QString Mended(const QString& text, ExitMend mend) {
  switch (mend) {
    case ExitMend::None:
      return text;
    case ExitMend::Point: {
      QString t = text;
      return t.replace(QLatin1Char('.'), DecimalSeparator());
    }
    case ExitMend::PointAndComma:
      return MendSeparators(text, DecimalSeparator());
  }
  return text;
}

class FieldFilter final : public QObject {
 public:
  FieldFilter(QLineEdit* edit, bool numeric, ExitMend mend)
      : QObject(edit), edit_(edit), numeric_(numeric), mend_(mend) {
    edit->installEventFilter(this);
    if (numeric) edit->setAcceptDrops(false);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != edit_) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
        return numeric_ && KeyPress(static_cast<QKeyEvent*>(event));
      case QEvent::ContextMenu:
        if (!numeric_) return false;
        {
          QMenu* menu = NumericContextMenu(edit_);
          menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
          delete menu;
        }
        return true;
      case QEvent::MouseButtonRelease:
        if (numeric_ && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
          // The X11 selection paste.
          if (QGuiApplication::clipboard()->supportsSelection())
            PasteFiltered(edit_, QGuiApplication::clipboard()->text(QClipboard::Selection));
          return true;
        }
        return false;
      case QEvent::FocusOut: {
        // Leaving the field for another control; switching windows or opening a menu is not.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
          const QString t = Mended(edit_->text(), mend_);
          if (t != edit_->text()) edit_->setText(t);
        }
        return false;
      }
      default:
        return false;
    }
  }

 private:
  bool KeyPress(QKeyEvent* key) {
    if (key->matches(QKeySequence::Paste)) {
      PasteFiltered(edit_, QGuiApplication::clipboard()->text());
      return true;
    }
    const QString text = key->text();
    // Only typed characters are filtered; editing, navigation and control keys pass.
    if (text.size() != 1) return false;
    const QChar c = text[0];
    if ((c.unicode() < 32 && c != QChar(8)) || c.unicode() == 127) return false;
    const QChar k = NumKeyFilter(c, DecimalSeparator());
    if (k.isNull()) return true;
    if (k != c) {
      edit_->insert(QString(k));
      return true;
    }
    return false;
  }

  QLineEdit* edit_;
  bool numeric_;
  ExitMend mend_;
};

}  // namespace

void MakeNumeric(QLineEdit* edit, ExitMend mend) { new FieldFilter(edit, true, mend); }

void MendOnExit(QLineEdit* edit, ExitMend mend) { new FieldFilter(edit, false, mend); }

QMenu* NumericContextMenu(QLineEdit* edit) {
  QMenu* menu = edit->createStandardContextMenu();
  const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
  for (QAction* a : menu->actions()) {
    if (!a->text().startsWith(pasteText)) continue;
    a->setObjectName(QStringLiteral("edit-paste"));
    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
    QObject::connect(a, &QAction::triggered, edit,
                     [edit] { PasteFiltered(edit, QGuiApplication::clipboard()->text()); });
  }
  return menu;
}

}  // namespace vintor
