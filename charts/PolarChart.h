#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>
#include <vector>

#include "balancing/core/PolarDiagram.h"

namespace vintor {

// The polar diagram of one channel of a balancing job, drawn as a picture of the rotor:
// 0 degrees (the trial-mass point) at the top, angles growing clockwise, which the chart takes
// as the direction of rotation and marks with an arrow. Rings are labelled in mm/s; runs are
// arrows from the centre, trial effects dashed arrows from Run#0's tip, corrections marks on
// the rim with their mass, blades numbered ticks. Readable from about 250 x 250 pixels.
class PolarChart : public QWidget {
  Q_OBJECT
 public:
  explicit PolarChart(QWidget* parent = nullptr);
  ~PolarChart() override;

  // Shows the channel (redraws at once); Clear() leaves the empty rings.
  void SetChannel(const PolarChannel& channel);
  void Clear();
  const PolarChannel& Channel() const;

  // Amplitudes of the rings, mm/s, innermost first; the last one is the rim.
  std::vector<double> RingValues() const;

  // The drawing at any size, on white.
  QImage Render(QSize size) const;
  // JPEG of the drawing at the widget's size (or `size` when given); false when not written.
  bool SaveJpeg(const QString& path, QSize size = QSize()) const;

  // Every channel of a diagram side by side, each `side` pixels square (one picture for an
  // export of a two-plane job), and the same as a JPEG file.
  static QImage RenderDiagram(const PolarDiagram& diagram, int side = 300);
  static bool SaveDiagramJpeg(const PolarDiagram& diagram, const QString& path, int side = 300);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Impl;
  Impl* d_;
};

}  // namespace vintor
