#include "app/ui/Pictures.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

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

QPixmap WarningPicture() {
  QPixmap pm(84, 66);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath tri;
  tri.moveTo(42, 3);
  tri.lineTo(81, 63);
  tri.lineTo(3, 63);
  tri.closeSubpath();
  p.setPen(QPen(QColor(120, 0, 0), 3));
  p.setBrush(QColor(255, 210, 0));
  p.drawPath(tri);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(38);
  p.setFont(f);
  p.setPen(QColor(120, 0, 0));
  p.drawText(QRect(0, 16, 84, 48), Qt::AlignCenter, QStringLiteral("!"));
  return pm;
}

}  // namespace vintor
