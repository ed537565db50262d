#include "balancing/core/BalRecords.h"

#include <QCoreApplication>
#include <QDir>
#include <array>
#include <cmath>

#include "base/Formatting.h"
#include "balancing/core/BalReport.h"
#include "balancing/core/BalTableModel.h"
#include "balancing/core/BalancingAids.h"
#include "balancing/core/BalancingState.h"
#include "balancing/core/CorrectionView.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

ArchivePositions g_positions;

// Never destroyed by static destruction: the database layer may be gone by then. They are
// closed at application end through a post routine.
std::array<BalTable*, 4> g_tables{};
bool g_postRoutine = false;

void Warn(const QString& text) { Svc().dialogs->Warning(text); }

void Refresh(BalTable& table) {
  if (BalTableModel* m = table.Model()) m->select();
}

}  // namespace

ArchivePositions& ArchPos() { return g_positions; }

int32_t& ArchRecNo(Planes planes) {
  return planes == Planes::One ? g_positions.ArchRecNo1 : g_positions.ArchRecNo2;
}

KftSelection SelectCoefficients(Planes planes, const TableRecord& r, InitialDataChoices current) {
  const bool two = planes == Planes::Two;
  KftSelection s;
  s.choices = current;
  auto chooseTrial = [&](TrialUnit unit) {
    if (s.choices.trial == unit) return;
    s.choices.trial = unit;
    if (unit == TrialUnit::Percent) {
      s.EditM1 = s.EditD1 = kNotDefined;
      if (two) s.EditM2 = s.EditD2 = kNotDefined;
    }
  };
  auto chooseCoords = [&](Coordinates coords) {
    if (s.choices.coords == coords) return;
    s.choices.coords = coords;
    if (coords == Coordinates::Polar) s.Edit2 = kNotDefined;
  };
  auto mass = [&](const char* field, QString& edit) {
    edit = r.Text(QString::fromLatin1(field));
    if (!edit.isEmpty()) {
      chooseTrial(TrialUnit::Gramm);
    } else {
      edit = kEmptyFieldMark;
      chooseTrial(TrialUnit::Percent);
    }
  };
  auto radius = [&](const char* field, QString& edit) {
    edit = r.Text(QString::fromLatin1(field));
    if (edit.isEmpty()) edit = kEmptyFieldMark;
  };

  s.R11 = r.Num(QStringLiteral("R11"));
  s.R12 = r.Num(QStringLiteral("R12"));
  if (two) {
    s.R21 = r.Num(QStringLiteral("R21"));
    s.R22 = r.Num(QStringLiteral("R22"));
    s.R31 = r.Num(QStringLiteral("R31"));
    s.R32 = r.Num(QStringLiteral("R32"));
    s.R41 = r.Num(QStringLiteral("R41"));
    s.R42 = r.Num(QStringLiteral("R42"));
  }
  mass("M1", s.EditM1);
  if (two) mass("M2", s.EditM2);
  s.Edit2 = r.Text(QStringLiteral("L1"));
  if (!s.Edit2.isEmpty()) {
    chooseCoords(Coordinates::Blades);
  } else {
    s.Edit2 = kEmptyFieldMark;
    chooseCoords(Coordinates::Polar);
  }
  radius("D1", s.EditD1);
  if (two) radius("D2", s.EditD2);
  return s;
}

void CopyCoefficients(Planes planes, const KftSelection& s) {
  BalancingInput& in = BalInput();
  in.R11 = s.R11;
  in.R12 = s.R12;
  if (planes == Planes::Two) {
    in.R21 = s.R21;
    in.R22 = s.R22;
    in.R31 = s.R31;
    in.R32 = s.R32;
    in.R41 = s.R41;
    in.R42 = s.R42;
  }
}

TableRecord CoefficientsRecord(Planes planes) {
  const bool two = planes == Planes::Two;
  const BalancingInput& in = BalInput();
  TableRecord r(CoeffTableOf(planes));
  r.Set(QStringLiteral("R11"), in.R11);
  r.Set(QStringLiteral("R12"), in.R12);
  if (two) {
    r.Set(QStringLiteral("R21"), in.R21);
    r.Set(QStringLiteral("R22"), in.R22);
    r.Set(QStringLiteral("R31"), in.R31);
    r.Set(QStringLiteral("R32"), in.R32);
    r.Set(QStringLiteral("R41"), in.R41);
    r.Set(QStringLiteral("R42"), in.R42);
  }
  if (in.TrialM1 != 0.0) r.Set(QStringLiteral("M1"), in.TrialM1);
  if (two && in.TrialM2 != 0.0) r.Set(QStringLiteral("M2"), in.TrialM2);
  if (in.PlaceRadius1 != 0.0) r.Set(QStringLiteral("D1"), in.PlaceRadius1);
  if (two && in.PlaceRadius2 != 0.0) r.Set(QStringLiteral("D2"), in.PlaceRadius2);
  if (in.BladeCount != 0) r.Set(QStringLiteral("L1"), static_cast<double>(in.BladeCount));
  return r;
}

std::vector<std::pair<QString, QString>> CoefficientLabels(Planes planes) {
  const BalancingInput& in = BalInput();
  std::vector<std::pair<QString, double>> values = {{QStringLiteral("R11"), in.R11},
                                                    {QStringLiteral("R12"), in.R12}};
  if (planes == Planes::Two) {
    values.insert(values.end(), {{QStringLiteral("R21"), in.R21},
                                 {QStringLiteral("R22"), in.R22},
                                 {QStringLiteral("R31"), in.R31},
                                 {QStringLiteral("R32"), in.R32},
                                 {QStringLiteral("R41"), in.R41},
                                 {QStringLiteral("R42"), in.R42}});
  }
  std::vector<std::pair<QString, QString>> out;
  for (const auto& [name, value] : values)
    out.emplace_back(QStringLiteral("Label") + name,
                     name + QStringLiteral("= ") + FormatPicture(value, 3));
  return out;
}

std::optional<double> RoundForArchive(double value) {
  double back = 0.0;
  if (!ParseNumber(FormatPicture(value, 2, QLatin1Char('.')), &back, QLatin1Char('.')))
    return std::nullopt;
  return back;
}

bool IsMeasuredField(Planes planes, const QString& field) {
  QStringList names = {QStringLiteral("VO1"), QStringLiteral("VO7"), QStringLiteral("D1"),
                       QStringLiteral("D7")};
  if (planes == Planes::Two)
    names << QStringLiteral("VO2") << QStringLiteral("VO8") << QStringLiteral("D2")
          << QStringLiteral("D8");
  return names.contains(field, Qt::CaseInsensitive);
}

TableRecord ArchiveRecord(Planes planes, const QDateTime& now,
                          std::optional<double> unbalanceTolerance) {
  const RunRecords& runs = Runs();
  const CorrectionRecords& corr = Corr();
  TableRecord r(ArchiveTableOf(planes));
  r.Set(QStringLiteral("Date"), ArchiveDateText(now));
  auto put = [&](const char* field, double value) {
    // A value that has no "0.00" form (not a number) stays empty.
    const auto rounded = RoundForArchive(value);
    r.Set(QString::fromLatin1(field), rounded ? QVariant(*rounded) : QVariant());
  };
  put("VO1", runs.StartV1o);
  put("VO7", runs.EndV1o);
  put("D1", corr.StartD1);
  put("D7", corr.EndD1);
  if (planes == Planes::Two) {
    put("VO2", runs.StartV2o);
    put("VO8", runs.EndV2o);
    put("D2", corr.StartD2);
    put("D8", corr.EndD2);
  }
  if (unbalanceTolerance) put("DOP_D", *unbalanceTolerance);
  return r;
}

std::optional<double> ArchiveUnbalanceTolerance(double lastRunRpm) {
  // The whole rotor's figure: how a two-plane job shares it does not enter it.
  AidsInput entries = Aids();
  entries.Share1 = 0.5;
  const Tolerance t = ToleranceFor(entries, lastRunRpm);
  if (!t.valid) return std::nullopt;
  return t.Uper;
}

// ---------------------------------------------------------------------------------------------

BalTable* OpenProgramTable(TableKind kind) {
  BalTable*& slot = g_tables[static_cast<size_t>(kind)];
  if (!slot) slot = new BalTable(kind);
  if (!g_postRoutine && QCoreApplication::instance()) {
    qAddPostRoutine(CloseProgramTables);
    g_postRoutine = true;
  }
  const QString dir = Paths().WorkDir;
  if (slot->IsOpen() && slot->WorkDir() == dir) return slot;
  if (!slot->Open(dir)) {
    Warn(slot->ErrorText());
    return nullptr;
  }
  return slot;
}

void CloseProgramTables() {
  for (BalTable*& t : g_tables) {
    delete t;
    t = nullptr;
  }
}

std::optional<int> SaveCoefficients(Planes planes) {
  if (planes == Planes::Two) QDir::setCurrent(Paths().WorkDir);
  BalTable* table = OpenProgramTable(CoeffTableOf(planes));
  if (!table) return std::nullopt;
  const auto number = table->Insert(CoefficientsRecord(planes));
  if (!number) {
    Warn(table->ErrorText());
    return std::nullopt;
  }
  Refresh(*table);
  return number;
}

std::optional<int> AddToArchive(Planes planes, std::optional<double> unbalanceTolerance) {
  if (planes == Planes::Two) QDir::setCurrent(Paths().WorkDir);
  BalTable* table = OpenProgramTable(ArchiveTableOf(planes));
  if (!table) return std::nullopt;
  const auto number = table->Insert(ArchiveRecord(planes, Svc().clock->Now(), unbalanceTolerance));
  if (!number) {
    Warn(table->ErrorText());
    return std::nullopt;
  }
  ArchRecNo(planes) = *number;
  Refresh(*table);
  return number;
}

bool OpenArchiveForBrowsing(Planes planes) {
  BalTable* table = OpenProgramTable(ArchiveTableOf(planes));
  if (!table) return false;
  const auto count = table->Count();
  if (!count) {
    Warn(table->ErrorText());
    return false;
  }
  if (*count >= 1) ArchRecNo(planes) = 1;
  return true;
}

void CloseArchive(Planes planes) {
  if (BalTable* t = g_tables[static_cast<size_t>(ArchiveTableOf(planes))]) t->Close();
}

QString ReportOpenWarning(Planes planes) {
  return planes == Planes::One ? QStringLiteral("Requested document not found")
                               : QStringLiteral("Requested document was not found");
}

bool ReportRecord(Planes planes, const TableRecord& record) {
  const QString path = JoinPath(Paths().WorkDir, kReportFileName);
  const ReportOutcome out = WriteReport(path, planes, record);
  if (!out.ok) {
    Warn(out.error);
    return false;
  }
  if (out.replaced) Warn(kReportReplacedWarning);
  if (!Svc().shell->Open(path)) {
    Warn(ReportOpenWarning(planes));
    return false;
  }
  return true;
}

}  // namespace vintor
