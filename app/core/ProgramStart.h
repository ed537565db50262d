#pragma once

#include <QString>

namespace vintor {

// What the main window's first showing sets up: the ADC rate, the working paths and the
// archive directories (created if missing; a failure is left for the archive users to report).
void InitProgramPaths(const QString& currentDir);

}  // namespace vintor
