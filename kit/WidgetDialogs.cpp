#include "kit/WidgetDialogs.h"

#include <QLabel>
#include <QMessageBox>

#include "kit/NSOUnit.h"

namespace vintor {

void WidgetDialogs::Warning(const QString& message) {
  if (!message.isNull()) warning_->Label1->setText(message);
  warning_->exec();
}

void WidgetDialogs::Message(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok);
  box.exec();
}

void WidgetDialogs::Error(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
  box.exec();
}

}  // namespace vintor
