#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vintor {

bool DesktopShell::Open(const QString& path) {
  // A missing document is a failure even where the desktop would report success.
  if (!QFileInfo::exists(path)) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

}  // namespace vintor
