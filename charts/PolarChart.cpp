#include "charts/PolarChart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/DecimalSeparator.h"

namespace vintor {
namespace {

constexpr double kDeg = 180.0 / std::numbers::pi;

const QColor kRun0(31, 78, 156);
const QColor kRun1(192, 57, 43);
const QColor kRun2(30, 132, 73);
const QColor kRunC(125, 60, 152);
const QColor kPlane1(211, 84, 0);
const QColor kPlane2(17, 122, 139);
const QColor kGrid(200, 200, 200);
const QColor kScale(110, 110, 110);

QColor ColourOf(const PolarItem& it) {
  switch (it.kind) {
    case PolarKind::Run:
    case PolarKind::TrialEffect:
      if (it.label.startsWith(QLatin1String("Run#0"))) return kRun0;
      if (it.label.startsWith(QLatin1String("Run#1"))) return kRun1;
      if (it.label.startsWith(QLatin1String("Run#2"))) return kRun2;
      return kRunC;
    case PolarKind::Correction:
      return it.label == QLatin1String("M2") ? kPlane2 : kPlane1;
    case PolarKind::Blade:
      break;
  }
  return kScale;
}

// Ring spacing of 1, 2, 2.5 or 5 times a power of ten, for two to five rings.
std::vector<double> Rings(double reach) {
  if (!(reach > 0.0) || !std::isfinite(reach)) return {0.5, 1.0};
  const double p = std::pow(10.0, std::floor(std::log10(reach / 4.0)));
  double step = 10.0 * p;
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (reach / (m * p) <= 4.0) {
      step = m * p;
      break;
    }
  }
  const int count = std::max(2, static_cast<int>(std::ceil(reach / step - 1e-9)));
  std::vector<double> rings;
  for (int k = 1; k <= count; ++k) rings.push_back(k * step);
  return rings;
}

QString Number(double v) {
  QString s = QString::number(v, 'g', 4);
  s.replace(QLatin1Char('.'), DecimalSeparator());
  return s;
}

// Everything the drawing needs about its frame.
struct Frame {
  QPointF centre;
  double radius = 0.0;  // rim, pixels
  double scale = 0.0;   // pixels per mm/s
  double px = 10.0;     // base font size, pixels
  QRectF bounds;

  // Clockwise from the top: the chart's picture of the direction of rotation.
  QPointF Dir(double angle) const { return {std::sin(angle / kDeg), -std::cos(angle / kDeg)}; }
  QPointF At(double amplitude, double angle) const {
    return centre + Dir(angle) * (amplitude * scale);
  }
  QPointF OnRim(double angle, double extra = 0.0) const {
    return centre + Dir(angle) * (radius + extra);
  }
};

QFont FontOf(double px, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(std::max(7, static_cast<int>(std::lround(px))));
  f.setBold(bold);
  return f;
}

// Labels placed so far; a new one steps sideways until it overlaps none.
class LabelPlacer {
 public:
  explicit LabelPlacer(QRectF bounds) : bounds_(bounds) {}

  // Space taken by fixed texts, which labels step around.
  void Reserve(const QRectF& r) { placed_.push_back(r); }

  // Beside where it should go, stepping along `step` and then sideways too; when every place
  // overlaps something, the one that overlaps least.
  QRectF Place(QRectF r, QPointF step) {
    const QPointF side(r.width() * 0.6, 0.0);
    QRectF best = Clamp(r);
    double bestOverlap = Overlap(best);
    for (int k = 0; k < 24 && bestOverlap > 0.0; ++k) {
      const double sign = (k % 2 == 0) ? 1.0 : -1.0;
      const int ring = k / 2;  // 0..11: along the step, then sideways with a step
      QPointF offset = step * (sign * (ring % 4 + 1));
      if (ring >= 4) offset += side * ((ring < 8) ? 1.0 : -1.0);
      const QRectF candidate = Clamp(r.translated(offset));
      const double overlap = Overlap(candidate);
      if (overlap < bestOverlap) {
        best = candidate;
        bestOverlap = overlap;
      }
    }
    placed_.push_back(best);
    return best;
  }

 private:
  QRectF Clamp(QRectF r) const {
    if (r.left() < bounds_.left()) r.moveLeft(bounds_.left());
    if (r.right() > bounds_.right()) r.moveRight(bounds_.right());
    if (r.top() < bounds_.top()) r.moveTop(bounds_.top());
    if (r.bottom() > bounds_.bottom()) r.moveBottom(bounds_.bottom());
    return r;
  }
  double Overlap(const QRectF& r) const {
    double area = 0.0;
    for (const QRectF& p : placed_) {
      const QRectF i = p.intersected(r);
      if (!i.isEmpty()) area += i.width() * i.height();
    }
    return area;
  }

  QRectF bounds_;
  std::vector<QRectF> placed_;
};

// A text box whose centre sits `gap` pixels beyond `anchor` in direction `dir`.
QRectF BoxBeyond(const QFontMetricsF& fm, const QString& text, QPointF anchor, QPointF dir,
                 double gap) {
  const QSizeF sz(fm.horizontalAdvance(text) + 2.0, fm.height());
  // Reach the box's edge rather than its centre along the direction.
  const double half = std::abs(dir.x()) * sz.width() / 2.0 + std::abs(dir.y()) * sz.height() / 2.0;
  const QPointF c = anchor + dir * (gap + half);
  return QRectF(c.x() - sz.width() / 2.0, c.y() - sz.height() / 2.0, sz.width(), sz.height());
}

void Head(QPainter& p, QPointF to, QPointF u, double head) {
  const QPointF n(-u.y(), u.x());
  QPainterPath tip;
  tip.moveTo(to);
  tip.lineTo(to - u * head + n * (head * 0.4));
  tip.lineTo(to - u * head - n * (head * 0.4));
  tip.closeSubpath();
  p.fillPath(tip, p.pen().color());
}

// A line with a filled head; too short for a head, just the line.
void Arrow(QPainter& p, QPointF from, QPointF to, double head) {
  p.drawLine(from, to);
  const QPointF d = to - from;
  const double len = std::hypot(d.x(), d.y());
  if (len >= head * 0.8) Head(p, to, d / len, head);
}

void DrawGrid(QPainter& p, const Frame& f, const std::vector<double>& rings, bool blades,
              LabelPlacer& placer) {
  p.setPen(QPen(kGrid, 1.0));
  p.setBrush(Qt::NoBrush);
  for (double r : rings) {
    const double px = r * f.scale;
    p.drawEllipse(f.centre, px, px);
  }
  for (int a = 0; a < 360; a += 30) p.drawLine(f.centre, f.OnRim(a));
  p.setPen(QPen(kScale, 1.2));
  p.drawEllipse(f.centre, f.radius, f.radius);

  // Ring values along the ray just below 90 degrees, clear of the spokes.
  p.setFont(FontOf(f.px * 0.8));
  const QFontMetricsF small(p.font());
  const auto ringText = [&](const QString& t, QPointF at, double line) {
    const QPointF base(at.x() - small.horizontalAdvance(t) - 1.0, at.y() + line * small.ascent());
    p.drawText(base, t);
    placer.Reserve(
        QRectF(base.x(), base.y() - small.ascent(), small.horizontalAdvance(t), small.height()));
  };
  for (double r : rings) ringText(Number(r), f.At(r, 105.0), 1.0);
  ringText(QStringLiteral("mm/s"), f.At(rings.back(), 105.0), 2.0);

  // The trial-mass point at the top, the other quarters by degrees unless blades number them.
  p.setFont(FontOf(f.px, true));
  QFontMetricsF fm(p.font());
  const QString top = QStringLiteral("0° trial mass");
  const QPointF t = f.OnRim(0.0, 3.0);
  p.setPen(Qt::black);
  p.drawText(QPointF(t.x() - fm.horizontalAdvance(top) / 2.0, t.y() - fm.descent()), top);
  p.setFont(FontOf(f.px * 0.85));
  fm = QFontMetricsF(p.font());
  p.setPen(kScale);
  if (!blades) {
    for (int a : {90, 180, 270}) {
      const QString s = QStringLiteral("%1°").arg(a);
      const QRectF box = BoxBeyond(fm, s, f.OnRim(a), f.Dir(a), 2.0);
      p.drawText(box, Qt::AlignCenter, s);
      placer.Reserve(box);
    }
  }

  // Direction of rotation: an arc outside the rim, clockwise, with its name.
  const double rr = f.radius + f.px * 0.7;
  const QRectF arcBox(f.centre.x() - rr, f.centre.y() - rr, 2 * rr, 2 * rr);
  p.setPen(QPen(Qt::black, 1.2));
  // Qt counts arcs from 3 o'clock, counter-clockwise, in 1/16 degree: 25..55 clockwise from top.
  p.drawArc(arcBox, (90 - 25) * 16, -30 * 16);
  const QPointF end = f.OnRim(55.0, f.px * 0.7);
  const QPointF tangent = f.Dir(145.0);  // clockwise tangent at 55 degrees
  Head(p, end, tangent, f.px * 0.7);
  p.setFont(FontOf(f.px * 0.85));
  const QString rot = QStringLiteral("rotation");
  const QRectF rb =
      BoxBeyond(QFontMetricsF(p.font()), rot, f.OnRim(40.0, f.px * 0.7), f.Dir(40.0), 1.0);
  p.drawText(rb, Qt::AlignCenter, rot);
}

void DrawBlades(QPainter& p, const Frame& f, const PolarChannel& c, LabelPlacer& placer) {
  std::vector<const PolarItem*> blades;
  for (const PolarItem& it : c.items)
    if (it.kind == PolarKind::Blade) blades.push_back(&it);
  if (blades.empty()) return;
  // Past two dozen blades every n-th gets its number, blade 1 always.
  const size_t every = (blades.size() + 23) / 24;
  p.setFont(FontOf(f.px * 0.8));
  const QFontMetricsF fm(p.font());
  for (size_t k = 0; k < blades.size(); ++k) {
    const PolarItem& b = *blades[k];
    p.setPen(QPen(kScale, 2.0));
    p.drawLine(f.OnRim(b.angle, -f.px * 0.45), f.OnRim(b.angle, f.px * 0.2));
    if (k % every != 0) continue;
    const QRectF box = BoxBeyond(fm, b.label, f.OnRim(b.angle, -f.px * 0.45), -f.Dir(b.angle), 1.0);
    p.drawText(box, Qt::AlignCenter, b.label);
    placer.Reserve(box);
  }
}

// A label waiting to be drawn, on a white ground so that it reads over lines.
struct Label {
  QRectF box;
  QString text;
  QColor colour;
  bool bold = false;
};

void DrawLabels(QPainter& p, const Frame& f, const std::vector<Label>& labels) {
  for (const Label& l : labels) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawRoundedRect(l.box.adjusted(-1, 0, 1, 0), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.setFont(FontOf(f.px * 0.9, l.bold));
    p.setPen(l.colour);
    p.drawText(l.box, Qt::AlignCenter, l.text);
  }
}

}  // namespace

struct PolarChart::Impl {
  PolarChannel channel;

  void Paint(QPainter& p, QSize size) const {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);

    Frame f;
    const double side = std::min(size.width(), size.height());
    f.px = std::clamp(side / 30.0, 8.0, 16.0);
    const double margin = f.px * 2.4;
    f.bounds = QRectF(1, 1, size.width() - 2, size.height() - 2);
    f.centre = QPointF(size.width() / 2.0, size.height() / 2.0 + f.px * 0.5);
    f.radius = std::max(10.0, side / 2.0 - margin);
    const std::vector<double> rings = Rings(channel.Reach());
    f.scale = f.radius / rings.back();

    const bool blades =
        std::any_of(channel.items.begin(), channel.items.end(),
                    [](const PolarItem& it) { return it.kind == PolarKind::Blade; });
    LabelPlacer placer(f.bounds);
    DrawGrid(p, f, rings, blades, placer);
    DrawBlades(p, f, channel, placer);

    p.setPen(Qt::black);
    p.setFont(FontOf(f.px, true));
    const QFontMetricsF titleFm(p.font());
    p.drawText(QPointF(3.0, titleFm.ascent() + 1.0), channel.title);

    // Labels go where they are clear of each other and of the fixed texts: runs first, then
    // trial effects, then corrections. They are drawn last, over every line.
    placer.Reserve(
        QRectF(0, 0, titleFm.horizontalAdvance(channel.title) + 6, titleFm.height() + 2));
    placer.Reserve(QRectF(f.centre.x() - 4 * f.px, f.centre.y() - f.radius - 1.6 * f.px, 8 * f.px,
                          1.5 * f.px));  // "0° trial mass"
    const QFontMetricsF fm(FontOf(f.px * 0.9));
    const QFontMetricsF fmb(FontOf(f.px * 0.9, true));
    const double head = f.px * 0.8;
    std::vector<Label> labels;

    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::Run) continue;
      const QPointF tip = f.At(it.amplitude, it.angle);
      const QRectF box = placer.Place(BoxBeyond(fmb, it.label, tip, f.Dir(it.angle), 2.0),
                                      QPointF(0.0, fmb.height()));
      labels.push_back({box, it.label, ColourOf(it), true});
    }
    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::TrialEffect) continue;
      const QPointF from = f.At(it.tailAmplitude, it.tailAngle);
      const QPointF to = from + f.Dir(it.angle) * (it.amplitude * f.scale);
      const QPointF normal(-f.Dir(it.angle).y(), f.Dir(it.angle).x());
      const QRectF box = placer.Place(BoxBeyond(fm, it.label, (from + to) / 2.0, normal, 2.0),
                                      QPointF(0.0, fm.height()));
      labels.push_back({box, it.label, ColourOf(it), false});
    }
    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::Correction) continue;
      const QString text = it.label + QLatin1Char(' ') + it.text;
      const QRectF box =
          placer.Place(BoxBeyond(fmb, text, f.OnRim(it.angle, -f.px * 1.2), -f.Dir(it.angle), 0.0),
                       QPointF(0.0, fmb.height()));
      labels.push_back({box, text, ColourOf(it), true});
    }

    // Corrections underneath: a dotted ray and a dot on the rim.
    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::Correction) continue;
      const QColor col = ColourOf(it);
      p.setPen(QPen(col, 1.2, Qt::DotLine));
      p.drawLine(f.centre, f.OnRim(it.angle));
      p.setPen(Qt::NoPen);
      p.setBrush(col);
      p.drawEllipse(f.OnRim(it.angle), f.px * 0.5, f.px * 0.5);
      p.setBrush(Qt::NoBrush);
    }
    // Trial effects dashed, from Run#0's tip.
    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::TrialEffect) continue;
      const QPointF from = f.At(it.tailAmplitude, it.tailAngle);
      const QPointF to = from + f.Dir(it.angle) * (it.amplitude * f.scale);
      p.setPen(QPen(ColourOf(it), 1.3, Qt::DashLine));
      Arrow(p, from, to, head * 0.85);
    }
    // Runs on top.
    for (const PolarItem& it : channel.items) {
      if (it.kind != PolarKind::Run) continue;
      const QColor col = ColourOf(it);
      const QPointF tip = f.At(it.amplitude, it.angle);
      p.setPen(QPen(col, 2.0));
      if (it.amplitude * f.scale < 2.0) {
        p.setBrush(col);
        p.drawEllipse(tip, 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
      } else {
        Arrow(p, f.centre, tip, head);
      }
    }
    DrawLabels(p, f, labels);
  }
};

PolarChart::PolarChart(QWidget* parent) : QWidget(parent), d_(new Impl) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(minimumSizeHint());
}

PolarChart::~PolarChart() { delete d_; }

void PolarChart::SetChannel(const PolarChannel& channel) {
  d_->channel = channel;
  update();
}

void PolarChart::Clear() {
  const QString title = d_->channel.title;
  d_->channel = PolarChannel{};
  d_->channel.title = title;
  update();
}

const PolarChannel& PolarChart::Channel() const { return d_->channel; }

std::vector<double> PolarChart::RingValues() const { return Rings(d_->channel.Reach()); }

QImage PolarChart::Render(QSize size) const {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  QPainter p(&image);
  d_->Paint(p, image.size());
  return image;
}

bool PolarChart::SaveJpeg(const QString& path, QSize size) const {
  const QSize s = size.isValid() && !size.isEmpty() ? size : this->size();
  return Render(s).save(path, "JPG", 92);
}

QImage PolarChart::RenderDiagram(const PolarDiagram& diagram, int side) {
  side = std::max(side, 1);
  const int count = std::max<int>(1, static_cast<int>(diagram.channels.size()));
  QImage sheet(count * side, side, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  Impl one;
  for (int k = 0; k < static_cast<int>(diagram.channels.size()); ++k) {
    one.channel = diagram.channels[static_cast<size_t>(k)];
    p.save();
    p.translate(k * side, 0);
    p.setClipRect(0, 0, side, side);
    one.Paint(p, QSize(side, side));
    p.restore();
  }
  return sheet;
}

bool PolarChart::SaveDiagramJpeg(const PolarDiagram& diagram, const QString& path, int side) {
  return RenderDiagram(diagram, side).save(path, "JPG", 92);
}

QSize PolarChart::sizeHint() const { return {300, 300}; }
QSize PolarChart::minimumSizeHint() const { return {220, 220}; }

void PolarChart::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  d_->Paint(p, size());
}

}  // namespace vintor
