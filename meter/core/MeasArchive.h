#pragma once

#include <QDateTime>
#include <QString>

namespace vintor {

// 12-character local stamp of a filing: YYMMDDhhmmss.
QString ArchiveStamp(const QDateTime& when);

struct FilingResult {
  bool ok = true;
  QString error;  // the system's text of the first failure
};

// Files the raw data of the measurement just made into the archive as a pair named
// ArcDir/stamp+tag.par and .dat: TestParPath is pointed at the .par, which receives the gain
// code; then TestDatPath is copied to the .dat. The copy goes through a temporary file in ArcDir,
// so an interrupted copy never leaves a truncated .dat under the final name. Both steps are
// tried even when the first fails.
FilingResult FileMeasurement(const QString& tag, const QDateTime& when);

// The two steps of a filing, for callers that treat their failures differently. `stem` is
// stamp + tag. The first points TestParPath at ArcDir/stem.par and writes the gain code there;
// the second copies TestDatPath to ArcDir/stem.dat through a temporary file.
bool FileParameterFile(const QString& stem, QString* error);
bool FileRawData(const QString& stem, QString* error);

}  // namespace vintor
