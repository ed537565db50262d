// Fills the four balancing tables of the current directory with a few records and saves a
// picture of each coefficient-table and archive window: shottables OUTDIR. Run it under Xvfb
// (tools/tables-shot.sh).
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "balancing/UnitArch1.h"
#include "balancing/UnitArch2.h"
#include "balancing/UnitKft1.h"
#include "balancing/UnitKft1L.h"
#include "balancing/UnitKft2.h"
#include "balancing/UnitKft2L.h"
#include "balancing/core/BalRecords.h"
#include "balancing/core/BalancingState.h"
#include "measurement/MeasState.h"

using namespace vintor;

namespace {

void Add(TableKind kind, const QVariantMap& fields) {
  BalTable* table = OpenProgramTable(kind);
  if (!table) return;
  TableRecord r(kind);
  for (auto it = fields.begin(); it != fields.end(); ++it) r.Set(it.key(), it.value());
  table->Insert(r);
}

void Fill() {
  Add(TableKind::Kft1, {{"Name", "Fan 3"}, {"L1", 6}, {"M1", 10}, {"D1", 250}, {"R11", 1.234}, {"R12", -0.412}});
  Add(TableKind::Kft1, {{"Name", "Pump P-12"}, {"R11", 0.85}, {"R12", 0.031}});
  Add(TableKind::Kft1, {{"Name", QString::fromUtf8("Дымосос ДН-10")}, {"M1", 4.5}, {"D1", 180}, {"R11", -2.17}, {"R12", 3.5}});
  Add(TableKind::Kft2, {{"Name", "Fan 3"}, {"L1", 8}, {"M1", 10}, {"D1", 250}, {"M2", 12.5}, {"D2", 250},
                        {"R11", 1.234}, {"R12", -0.412}, {"R21", 0.37}, {"R22", 0.9}, {"R31", -0.05},
                        {"R32", 1.1}, {"R41", 2.5}, {"R42", -0.7}});
  Add(TableKind::Kft2, {{"Name", "Compressor K-250"}, {"M1", 20}, {"M2", 20}, {"R11", 0.02}, {"R12", -0.02},
                        {"R21", 0.11}, {"R22", 0.13}, {"R31", 0.4}, {"R32", 0.6}, {"R41", 1.9}, {"R42", 0.08}});
  Add(TableKind::Kft2, {{"Name", "Mill"}, {"R11", 5}, {"R12", 4}});
  const QVariantMap arch1[] = {
      {{"NAME", "Fan 3"}, {"Date", "2024-03-05 14:30:00"}, {"Place", "Boiler house 2"}, {"VO1", 7.83},
       {"VO7", 0.91}, {"DOP_V", 2.8}, {"D1", 1520.4}, {"D7", 176.66}, {"DOP_D", 398}},
      {{"NAME", "Pump P-12"}, {"Date", "2024-03-07 09:12:45"}, {"Place", "Pumping station"}, {"VO1", 4.2},
       {"VO7", 1.05}, {"DOP_V", 4.5}, {"D1", 610}, {"D7", 152.5}},
      {{"NAME", QString::fromUtf8("Дымосос ДН-10")}, {"Date", "2024-04-11 16:03:10"}, {"VO1", 12.4},
       {"VO7", 2.2}, {"D1", 3010}, {"D7", 534.12}, {"DOP_D", 600}},
      {{"Date", "2024-05-02 08:00:00"}, {"VO1", 3.46}, {"VO7", 0.5}}};
  for (const auto& r : arch1) Add(TableKind::Arch1, r);
  const QVariantMap arch2[] = {
      {{"NAME", "Fan 3"}, {"Date", "2024-03-05 14:30:00"}, {"Place", "Boiler house 2"}, {"VO1", 7.83},
       {"VO2", 5.1}, {"VO7", 0.91}, {"VO8", 0.64}, {"DOP_V", 2.8}, {"D1", 1520.4}, {"D2", 980.2},
       {"D7", 176.66}, {"D8", 120.5}, {"DOP_D", 398}},
      {{"NAME", "Compressor K-250"}, {"Date", "2024-03-09 11:40:00"}, {"Place", "Shop 4, line B"},
       {"VO1", 1234.5}, {"VO2", 9.9}, {"VO7", 2.05}, {"VO8", 1.7}, {"D1", 4410}, {"D2", 3900},
       {"D7", 310.2}, {"D8", 280}},
      {{"NAME", "Mill"}, {"Date", "2024-04-01 07:55:21"}, {"VO1", 6}, {"VO2", 5}, {"VO7", 1}, {"VO8", 1.2}}};
  for (const auto& r : arch2) Add(TableKind::Arch2, r);
}

bool Save(QWidget* w, const QString& dir, const char* name) {
  return w->grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  ResetProgramState();
  Paths().WorkDir = QDir::currentPath();
  Paths().ArcDir = Paths().WorkDir;
  ResetBalancingState();
  Fill();
  BalancingInput& in = BalInput();
  in.R11 = 1.234;
  in.R12 = -0.412;
  in.R21 = 0.37;
  in.R22 = 0.9;
  in.R31 = -0.05;
  in.R32 = 1.1;
  in.R41 = 2.5;
  in.R42 = -0.7;

  FormKft1 kft1;
  FormKft2 kft2;
  FormKft1L kft1l(nullptr, &kft1);
  FormKft2L kft2l(nullptr, &kft2);
  FormArch1 arch1;
  FormArch2 arch2;
  ArchRecNo(Planes::One) = 2;
  ArchRecNo(Planes::Two) = 2;
  QWidget* windows[] = {&kft1, &kft2, &kft1l, &kft2l, &arch1, &arch2};
  for (QWidget* w : windows) w->show();
  int rc = 1;
  QTimer::singleShot(500, [&] {
    bool ok = Save(&kft1, out, "kft1.png") && Save(&kft2, out, "kft2.png") &&
              Save(&kft1l, out, "kft1l.png") && Save(&kft2l, out, "kft2l.png") &&
              Save(&arch1, out, "arch1.png") && Save(&arch2, out, "arch2.png");
    rc = ok ? 0 : 1;
    for (QWidget* w : windows) w->close();
    app.quit();
  });
  app.exec();
  CloseProgramTables();
  return rc;
}
