#pragma once

#include <QWidget>
#include <vector>

#include "balancing/core/PolarDiagram.h"

class QHBoxLayout;
class QPushButton;

namespace vintor {

class PolarChart;

// The polar diagram of a balancing job beside a window's controls: one chart per channel
// (`PolarChart1`, `PolarChart2`) and "Save polar diagram", which exports the whole diagram as
// a JPEG file NAME_pl.jpg through the charts' diagram export.
class PolarPanel : public QWidget {
  Q_OBJECT
 public:
  // `channels` charts, side by side or one over the other.
  PolarPanel(QWidget* parent, int channels, Qt::Orientation orientation);

  void Show(const PolarDiagram& diagram);
  // No chart smaller than `side` pixels square.
  void SetMinimumChartSide(int side);
  const PolarDiagram& Diagram() const { return diagram_; }
  PolarChart* Chart(int channel) const { return charts_.at(static_cast<size_t>(channel)); }
  int ChartCount() const { return static_cast<int>(charts_.size()); }

  QPushButton* ButtonSave;  // "Save polar diagram"
  QHBoxLayout* ButtonRow;   // the save button, with room for more

  // The save dialog, the picture, then the shell; nothing written when cancelled.
  void Save();

 private:
  std::vector<PolarChart*> charts_;
  PolarDiagram diagram_;
};

}  // namespace vintor
