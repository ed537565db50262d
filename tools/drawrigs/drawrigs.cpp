// Draws the two set-up pictures of the main window and saves them as JPEG files.
// Run once when the pictures change: drawrigs OUTDIR (writes rig1.jpg and rig2.jpg).
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr int kW = 360, kH = 330;
constexpr int kShaftY = 142;

void Label(QPainter& p, int x, int y, const QString& text, int size = 9, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(size + 2);
  f.setBold(bold);
  p.setFont(f);
  p.setPen(QColor(20, 30, 60));
  p.drawText(QPointF(x, y), text);
}

void Metal(QPainter& p, const QRectF& r, QColor base) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, base.lighter(160));
  g.setColorAt(0.5, base);
  g.setColorAt(1, base.darker(160));
  p.setBrush(g);
  p.setPen(QPen(base.darker(220), 1.2));
  p.drawRect(r);
}

void Motor(QPainter& p) {
  Metal(p, QRectF(12, kShaftY - 32, 56, 64), QColor(70, 110, 170));
  for (int i = 0; i < 5; ++i)
    p.drawLine(QLineF(20 + i * 10, kShaftY - 32, 20 + i * 10, kShaftY + 32));
  Metal(p, QRectF(8, kShaftY + 32, 64, 10), QColor(90, 90, 90));
  Label(p, 16, kShaftY + 60, QStringLiteral("Motor"));
}

void Shaft(QPainter& p) { Metal(p, QRectF(68, kShaftY - 5, 262, 10), QColor(160, 160, 165)); }

void Bearing(QPainter& p, int x) {
  Metal(p, QRectF(x - 14, kShaftY - 16, 28, 32), QColor(120, 120, 125));
  QPainterPath stand;
  stand.moveTo(x - 12, kShaftY + 16);
  stand.lineTo(x + 12, kShaftY + 16);
  stand.lineTo(x + 20, kShaftY + 52);
  stand.lineTo(x - 20, kShaftY + 52);
  stand.closeSubpath();
  p.setBrush(QColor(100, 100, 105));
  p.drawPath(stand);
  Metal(p, QRectF(x - 26, kShaftY + 52, 52, 6), QColor(80, 80, 80));
}

void Disk(QPainter& p, int x, const QString& name) {
  Metal(p, QRectF(x - 9, kShaftY - 62, 18, 124), QColor(180, 120, 60));
  // Correction plane marker.
  p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
  p.drawLine(x, kShaftY - 74, x, kShaftY + 70);
  Label(p, x - 14, kShaftY - 78, name, 9, true);
}

// A vibration sensor on top of a bearing, with its cable running to the acquisition unit.
void Sensor(QPainter& p, int x, const QString& name, QPointF unitInput) {
  Metal(p, QRectF(x - 7, kShaftY - 34, 14, 18), QColor(30, 140, 60));
  Label(p, x - 8, kShaftY - 40, name, 9, true);
  QPainterPath cable;
  cable.moveTo(x, kShaftY - 34);
  cable.cubicTo(x + 30, kShaftY - 60, x + 40, kShaftY + 110, unitInput.x(), unitInput.y());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(30, 140, 60), 2));
  p.drawPath(cable);
}

// Tachometer on a stand aimed at the reflective mark of the first disk.
void Tacho(QPainter& p, int diskX, QPointF unitInput) {
  const QPointF head(diskX - 36, kShaftY - 96);
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.drawLine(head + QPointF(-6, 6), QPointF(head.x() - 24, kShaftY + 58));
  p.save();
  p.translate(head);
  p.rotate(55);
  Metal(p, QRectF(-16, -6, 26, 12), QColor(40, 40, 40));
  p.restore();
  // Mark on the disk and the beam.
  p.setBrush(Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(QRectF(diskX - 9, kShaftY - 58, 18, 6));
  p.setPen(QPen(QColor(230, 30, 30), 1.5, Qt::DashLine));
  p.drawLine(head + QPointF(6, 8), QPointF(diskX - 6, kShaftY - 56));
  Label(p, int(head.x()) - 80, int(head.y()) + 2, QStringLiteral("Tachometer"), 8);
  QPainterPath cable;
  cable.moveTo(head.x() - 10, head.y() + 4);
  cable.cubicTo(head.x() - 60, head.y() + 60, 60, 260, unitInput.x(), unitInput.y());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.drawPath(cable);
}

void AcquisitionUnitAndComputer(QPainter& p) {
  Metal(p, QRectF(110, 246, 96, 44), QColor(60, 70, 80));
  Label(p, 126, 266, QStringLiteral("E-154"), 10, true);
  p.setPen(Qt::white);
  p.drawText(QPointF(120, 282), QStringLiteral("ADC unit"));
  for (int i = 0; i < 4; ++i) {
    p.setBrush(QColor(200, 200, 200));
    p.setPen(Qt::black);
    p.drawEllipse(QPointF(122 + i * 24, 246), 4, 4);
  }
  // USB cable to the computer.
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(Qt::NoBrush);
  QPainterPath usb;
  usb.moveTo(206, 270);
  usb.cubicTo(230, 270, 236, 292, 252, 292);
  p.drawPath(usb);
  // Laptop.
  QPainterPath lid;
  lid.addRoundedRect(QRectF(258, 232, 84, 56), 3, 3);
  p.setBrush(QColor(40, 40, 45));
  p.drawPath(lid);
  QLinearGradient screen(QPointF(262, 236), QPointF(338, 284));
  screen.setColorAt(0, QColor(120, 180, 240));
  screen.setColorAt(1, QColor(30, 80, 160));
  p.setBrush(screen);
  p.drawRect(QRectF(263, 237, 74, 46));
  p.setPen(QPen(QColor(255, 255, 120), 1.5));
  QPainterPath wave;
  wave.moveTo(266, 262);
  for (int i = 0; i <= 68; ++i) wave.lineTo(266 + i, 262 - 12 * std::sin(i / 5.0));
  p.drawPath(wave);
  QPainterPath base;
  base.moveTo(252, 292);
  base.lineTo(348, 292);
  base.lineTo(356, 302);
  base.lineTo(244, 302);
  base.closeSubpath();
  p.setPen(Qt::black);
  p.setBrush(QColor(90, 90, 95));
  p.drawPath(base);
  Label(p, 268, 320, QStringLiteral("Computer"));
}

QImage Canvas(const QString& title) {
  QImage img(kW, kH, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient bg(QPointF(0, 0), QPointF(0, kH));
  bg.setColorAt(0, QColor(250, 250, 245));
  bg.setColorAt(1, QColor(225, 230, 235));
  p.fillRect(img.rect(), bg);
  p.setRenderHint(QPainter::Antialiasing);
  Label(p, 10, 18, title, 10, true);
  return img;
}

QImage SinglePlane() {
  QImage img = Canvas(QStringLiteral("Single-plane balancing"));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Motor(p);
  Shaft(p);
  Bearing(p, 110);
  Bearing(p, 290);
  Disk(p, 205, QStringLiteral("Plane 1"));
  Tacho(p, 205, QPointF(194, 246));
  Sensor(p, 290, QStringLiteral("S1"), QPointF(122, 246));
  AcquisitionUnitAndComputer(p);
  return img;
}

QImage TwoPlane() {
  QImage img = Canvas(QStringLiteral("Two-plane balancing"));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Motor(p);
  Shaft(p);
  Bearing(p, 100);
  Bearing(p, 310);
  Disk(p, 165, QStringLiteral("Plane 1"));
  Disk(p, 250, QStringLiteral("Plane 2"));
  Tacho(p, 165, QPointF(194, 246));
  Sensor(p, 100, QStringLiteral("S1"), QPointF(122, 246));
  Sensor(p, 310, QStringLiteral("S2"), QPointF(146, 246));
  AcquisitionUnitAndComputer(p);
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const bool ok = SinglePlane().save(dir + "/rig1.jpg", "JPG", 92) &&
                  TwoPlane().save(dir + "/rig2.jpg", "JPG", 92);
  return ok ? 0 : 1;
}
