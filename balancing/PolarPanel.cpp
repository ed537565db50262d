#include "balancing/PolarPanel.h"

#include <QBoxLayout>
#include <QPushButton>

#include "charts/DiagramExport.h"
#include "charts/PolarChart.h"
#include "kit/WindowKit.h"

namespace vintor {
namespace {

constexpr int kExportSide = 420;  // pixels per channel in the exported picture

}  // namespace

PolarPanel::PolarPanel(QWidget* parent, int channels, Qt::Orientation orientation)
    : QWidget(parent) {
  setObjectName(QStringLiteral("PolarPanel"));
  auto* charts =
      orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout) : new QVBoxLayout;
  charts->setContentsMargins(0, 0, 0, 0);
  for (int k = 0; k < channels; ++k) {
    auto* chart = new PolarChart(this);
    chart->setObjectName(QStringLiteral("PolarChart%1").arg(k + 1));
    charts_.push_back(chart);
    charts->addWidget(chart, orientation == Qt::Horizontal ? 1 : 0);
  }

  ButtonSave =
      MakeButton(this, QStringLiteral("ButtonSavePolar"), QStringLiteral("Save polar diagram"));
  ButtonSave->setToolTip(QStringLiteral("The polar diagram as a JPEG picture, NAME_pl.jpg"));
  ButtonRow = new QHBoxLayout;
  ButtonRow->addWidget(ButtonSave);
  ButtonRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  const bool across = orientation == Qt::Horizontal;
  layout->addLayout(charts, across ? 1 : 0);
  layout->addLayout(ButtonRow);
  // One over the other: the charts and their button at the top, whatever height is left.
  if (!across) layout->addStretch(1);
  connect(ButtonSave, &QPushButton::clicked, this, &PolarPanel::Save);
  Show(PolarDiagram{});
}

void PolarPanel::Show(const PolarDiagram& diagram) {
  diagram_ = diagram;
  for (size_t k = 0; k < charts_.size(); ++k) {
    if (k < diagram.channels.size()) {
      charts_[k]->SetChannel(diagram.channels[k]);
    } else {
      PolarChannel empty;
      empty.title = QStringLiteral("Channel %1").arg(k + 1);
      charts_[k]->SetChannel(empty);
    }
  }
}

void PolarPanel::SetMinimumChartSide(int side) {
  for (PolarChart* c : charts_) c->setMinimumSize(side, side);
}

void PolarPanel::Save() {
  const QString name = AskDiagramFileName();
  if (name.isEmpty()) return;
  const QString path = name + QStringLiteral("_pl.jpg");
  // Every chart of the window, as shown, even before the first run.
  PolarDiagram shown;
  for (const PolarChart* c : charts_) shown.channels.push_back(c->Channel());
  if (WriteDiagramJpeg(PolarChart::RenderDiagram(shown, kExportSide), path)) OpenDocument(path);
}

}  // namespace vintor
