#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace vintor {

// The diagram export the windows share: the file name asked through the dialog seam, the
// picture written whole as a JPEG file, then shown with the desktop shell.

// The name the operator enters in the save dialog, without a suffix; empty when cancelled.
QString AskDiagramFileName();

// Writes `image` to `path` as a JPEG file, whole or not at all (an old picture of that name
// stays as it was). A failure is reported with Svc().dialogs->Error and gives false; a null
// image is reported with `emptyReason`.
bool WriteDiagramJpeg(const QImage& image, const QString& path,
                      const QString& emptyReason = QStringLiteral("the picture is empty"));

// The widget as it is drawn on screen (pending layouts applied first), written as above.
bool SaveWidgetJpeg(QWidget* widget, const QString& path);

// Shows a written file with the shell's "open"; "PATH file not found" when it cannot.
void OpenDocument(const QString& path);

}  // namespace vintor
