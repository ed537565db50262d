#include "charts/DiagramExport.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QWidget>

#include "platform/Services.h"

namespace vintor {

QString AskDiagramFileName() { return Svc().dialogs->AskSaveFileName(); }

bool WriteDiagramJpeg(const QImage& image, const QString& path, const QString& emptyReason) {
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  const bool ok = !image.isNull() && file.open(QIODevice::WriteOnly) &&
                  image.convertToFormat(QImage::Format_RGB32).save(&file, "JPG", 90) &&
                  file.commit();
  if (!ok) {
    // An old picture of that name must not be shown as the new one.
    const QString reason = image.isNull() ? emptyReason : file.errorString();
    Svc().dialogs->Error(QStringLiteral("Cannot write %1: %2").arg(path, reason));
  }
  return ok;
}

bool SaveWidgetJpeg(QWidget* widget, const QString& path) {
  // Pending layout of the widget (after its size changed) first, then the picture as drawn.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  return WriteDiagramJpeg(widget->grab().toImage(), path, QStringLiteral("the chart has no area"));
}

void OpenDocument(const QString& path) {
  if (!Svc().shell->Open(path)) Svc().dialogs->Warning(path + QStringLiteral(" file not found"));
}

}  // namespace vintor
