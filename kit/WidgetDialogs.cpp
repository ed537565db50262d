#include "kit/WidgetDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

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

QString WidgetDialogs::AskSaveFileName() {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // existing pictures are replaced
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

bool WidgetDialogs::Confirm(const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                  QMessageBox::Ok | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

bool WidgetDialogs::GoOnOrRepeat(const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text);
  QPushButton* goOn = box.addButton(QStringLiteral("Go on"), QMessageBox::AcceptRole);
  QPushButton* repeat = box.addButton(QStringLiteral("Repeat"), QMessageBox::RejectRole);
  // What the warning advises is the default; Escape repeats too.
  box.setDefaultButton(repeat);
  box.setEscapeButton(repeat);
  box.exec();
  return box.clickedButton() == goOn;
}

void WidgetDialogs::Error(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
  box.exec();
}

}  // namespace vintor
