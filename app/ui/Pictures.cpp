#include "app/ui/Pictures.h"

#include <QFile>

#include "platform/JpegImage.h"

// The pictures live in a static library: register its resources before the first use.
static void InitPictureResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)done;
}

namespace vintor {
namespace {

QPixmap LoadJpeg(const QString& resource) {
  InitPictureResources();
  QFile file(resource);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}

}  // namespace

QPixmap SinglePlaneRigPicture() { return LoadJpeg(QStringLiteral(":/pictures/rig1.jpg")); }
QPixmap TwoPlaneRigPicture() { return LoadJpeg(QStringLiteral(":/pictures/rig2.jpg")); }

}  // namespace vintor
