#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "balancing/core/BalTables.h"

namespace vintor {

// Record numbers at which the archive windows open; 0: no position.
struct ArchivePositions {
  int32_t ArchRecNo1 = 0;
  int32_t ArchRecNo2 = 0;
};
ArchivePositions& ArchPos();
int32_t& ArchRecNo(Planes planes);

// ---- Coefficient tables ----------------------------------------------------------------------

inline const QString kEmptyFieldMark = QStringLiteral("e.f.");

// The initial-data window's radio choices.
enum class TrialUnit { Percent, Gramm };   // "Trial mass weight"
enum class Coordinates { Polar, Blades };  // "Coordinate system"

struct InitialDataChoices {
  TrialUnit trial = TrialUnit::Percent;
  Coordinates coords = Coordinates::Polar;
};

// What "Select" puts into the initial-data window. The window makes the choices first (with
// their usual effects on the fields) and then sets every text of its mode. A choice that
// changes nothing has no effect, so the outcome depends on the choices held before.
struct KftSelection {
  InitialDataChoices choices;
  QString EditM1, EditM2, Edit2, EditD1, EditD2;  // EditM2, EditD2: two-plane only
  double R11 = 0.0, R12 = 0.0, R21 = 0.0, R22 = 0.0;
  double R31 = 0.0, R32 = 0.0, R41 = 0.0, R42 = 0.0;  // two-plane only
};

KftSelection SelectCoefficients(Planes planes, const TableRecord& record,
                                InitialDataChoices current);
// The coefficients of the mode into BalInput() (single-plane: R11 and R12 only).
void CopyCoefficients(Planes planes, const KftSelection& selection);

// "F9 - Save": a new record from BalInput(); masses, radii and the blade count only when
// not 0.
TableRecord CoefficientsRecord(Planes planes);

// The entry windows' labels: {"LabelR11", "R11= 0.000"}, ... in control order.
std::vector<std::pair<QString, QString>> CoefficientLabels(Planes planes);

// ---- Archive tables --------------------------------------------------------------------------

// Formatted "0.00" and read back, as every measured value of the archive is stored.
std::optional<double> RoundForArchive(double value);
// The archive's measured fields of the mode (VO1, VO7, D1, D7; two-plane also VO2, VO8, D2, D8).
bool IsMeasuredField(Planes planes, const QString& field);

// "F9 - Archive": a new record dated `now` with the measured values from Runs() and Corr().
// DOP_D gets `unbalanceTolerance` (rounded as the measured values) when given, else stays empty.
TableRecord ArchiveRecord(Planes planes, const QDateTime& now,
                          std::optional<double> unbalanceTolerance = std::nullopt);

// The permissible residual unbalance (g*mm, whole rotor) for DOP_D when the operator entered a
// balance grade with the aids, at the aids' service speed or else `lastRunRpm` (the speed the
// correction windows compare with); none otherwise. The share of plane 1 does not enter it.
std::optional<double> ArchiveUnbalanceTolerance(double lastRunRpm);

// ---- The program's tables --------------------------------------------------------------------
// The actions below report every failure to the operator with Svc().dialogs->Warning, naming
// the file and the problem, and leave the file as it was.

// The program's table of a kind, one per kind, opened on first use in Paths().WorkDir and
// again when the working directory changed. Null (after the warning) when it cannot be opened.
BalTable* OpenProgramTable(TableKind kind);
// Closes every program table (called at program end; tests call it between cases).
void CloseProgramTables();

// "F9 - Save" of the coefficient entry windows: the new record's number. Two-plane first makes
// WorkDir the current directory. The table's grid model is selected again.
std::optional<int> SaveCoefficients(Planes planes);

// "F9 - Archive" of the correction windows: adds the record dated Svc().clock->Now() and sets
// ArchRecNo1/ArchRecNo2 to its number. Two-plane first makes WorkDir the current directory.
// `unbalanceTolerance` goes to DOP_D (see ArchiveRecord).
std::optional<int> AddToArchive(Planes planes,
                                std::optional<double> unbalanceTolerance = std::nullopt);

// Opening an archive window to browse: opens the table and, when it holds a record, sets
// ArchRecNo1/ArchRecNo2 to 1.
bool OpenArchiveForBrowsing(Planes planes);
// Closing an archive window closes its table.
void CloseArchive(Planes planes);

// "F9 - Report": writes WorkDir/Protokol.txt from `record` and opens it with the shell.
// Warns once when characters had to be replaced, and with the mode's own warning when the
// shell cannot open the file. False when the report was not written or not opened.
bool ReportRecord(Planes planes, const TableRecord& record);

inline const QString kReportReplacedWarning = QStringLiteral(
    "Some characters could not be written to the report: each was replaced by \"?\"");
QString ReportOpenWarning(Planes planes);

}  // namespace vintor
