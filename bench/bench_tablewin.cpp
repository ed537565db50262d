// The coefficient-table and archive windows on tables of 10 000 records: opening the table in
// the window, standing on the last record, scrolling the grid to the end and painting it
// (goal: 200 ms or less).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include "BenchTables.h"
#include "balancing/TableWidgets.h"
#include "balancing/UnitArch2.h"
#include "balancing/UnitKft2.h"
#include "balancing/core/BalRecords.h"
#include "measurement/MeasState.h"

using namespace vintor;
using bench::kRecords;

namespace {

// A working directory holding both two-plane tables with `kRecords` filled records each.
const QString& FilledDir() {
  static QTemporaryDir dir;
  static const QString path = [] {
    for (TableKind kind : {TableKind::Kft2, TableKind::Arch2})
      bench::FillTable(kind, dir.path(), kRecords);
    return dir.path();
  }();
  return path;
}

// Scrolled to the end and painted, as the operator sees it.
bool AtEnd(RecordGrid* grid) {
  grid->scrollToBottom();
  grid->viewport()->repaint();
  QCoreApplication::processEvents();
  return grid->verticalScrollBar()->value() == grid->verticalScrollBar()->maximum();
}

void BM_ArchiveWindowOnLastRecord(benchmark::State& state) {
  Paths().WorkDir = FilledDir();
  FormArch2 w;
  for (auto _ : state) {
    w.ShowForBrowsing(false, nullptr);  // opens the table, shows record 1
    const bool moved = w.Browser()->MoveToRecord(kRecords);
    if (!moved || !AtEnd(w.DBGrid1) || w.DBEdit1->text().isEmpty()) {
      state.SkipWithError("last record not reached");
      break;
    }
    state.PauseTiming();
    w.close();  // closes the table
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel(QStringLiteral("%1 records").arg(kRecords).toStdString());
}
BENCHMARK(BM_ArchiveWindowOnLastRecord)->Unit(benchmark::kMillisecond);

void BM_CoeffWindowOnLastRecord(benchmark::State& state) {
  Paths().WorkDir = FilledDir();
  FormKft2 w;
  for (auto _ : state) {
    w.show();  // opens the table as ShowForSelection does, without the modal loop
    const bool moved = w.Browser()->MoveToRecord(kRecords);
    if (!moved || !AtEnd(w.DBGrid1)) {
      state.SkipWithError("last record not reached");
      break;
    }
    state.PauseTiming();
    w.close();
    w.Browser()->Detach();  // the grid lets go of the model before the table drops it
    CloseProgramTables();   // the next round opens the file again
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel(QStringLiteral("%1 records").arg(kRecords).toStdString());
}
BENCHMARK(BM_CoeffWindowOnLastRecord)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CloseProgramTables();
  return 0;
}
