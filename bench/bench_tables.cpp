// Balancing tables: opening a table of 10 000 records in the grid's model and standing on the
// last record (goal: 200 ms or less), and the cost of one durable post.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchTables.h"
#include "balancing/core/BalTableModel.h"
#include "balancing/core/BalTables.h"

using namespace vintor;
using bench::kRecords;

namespace {

// A working directory holding a table of `kRecords` filled records, made once per kind.
const QString& FilledDir(TableKind kind) {
  static QTemporaryDir dirs[4];
  QTemporaryDir& dir = dirs[static_cast<int>(kind)];
  static bool filled[4] = {};
  if (!filled[static_cast<int>(kind)]) {
    bench::FillTable(kind, dir.path(), kRecords);
    filled[static_cast<int>(kind)] = true;
  }
  static QString paths[4];
  paths[static_cast<int>(kind)] = dir.path();
  return paths[static_cast<int>(kind)];
}

void BM_OpenGridOnLastRecord(benchmark::State& state) {
  const auto kind = static_cast<TableKind>(state.range(0));
  const QString dir = FilledDir(kind);
  for (auto _ : state) {
    BalTable table(kind);
    if (!table.Open(dir)) {
      state.SkipWithError("cannot open");
      break;
    }
    BalTableModel* model = table.Model();
    const int row = model->RowOfRecord(kRecords);
    if (row != kRecords - 1) {
      state.SkipWithError("last record not reached");
      break;
    }
    benchmark::DoNotOptimize(model->data(model->index(row, 1)));
  }
  state.SetLabel(QStringLiteral("%1 records").arg(kRecords).toStdString());
}
BENCHMARK(BM_OpenGridOnLastRecord)
    ->Arg(static_cast<int>(TableKind::Kft2))
    ->Arg(static_cast<int>(TableKind::Arch2))
    ->Unit(benchmark::kMillisecond);

// One insert that is on disk when it returns (journal and folder synced).
void BM_DurablePost(benchmark::State& state) {
  QTemporaryDir dir;
  BalTable table(TableKind::Arch2);
  table.Open(dir.path());
  TableRecord r(TableKind::Arch2);
  r.Set(QStringLiteral("NAME"), QStringLiteral("Fan"));
  r.Set(QStringLiteral("VO1"), 3.46);
  for (auto _ : state) benchmark::DoNotOptimize(table.Insert(r));
}
BENCHMARK(BM_DurablePost)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  static int qtArgc = 1;
  QCoreApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
