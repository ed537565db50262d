#include "app/core/ProgramStart.h"

#include <QDir>

#include "measurement/MeasState.h"
#include "platform/TextFile.h"

namespace vintor {

void InitProgramPaths(const QString& currentDir) {
  Meas().AdcRate = 100.0;
  ProgramPaths& p = Paths();
  p.WorkDir = QDir::cleanPath(currentDir);
  p.ArcRootDir = JoinPath(p.WorkDir, QStringLiteral("Arc"));
  QDir().mkdir(p.ArcRootDir);
  p.ArcDir = JoinPath(p.ArcRootDir, QStringLiteral("Arc1"));
  QDir().mkdir(p.ArcDir);
  p.TestDatPath = JoinPath(p.WorkDir, QStringLiteral("Test.dat"));
  p.TestParPath = JoinPath(p.WorkDir, QStringLiteral("Test.par"));
}

}  // namespace vintor
