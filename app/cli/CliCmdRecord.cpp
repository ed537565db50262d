// vintor-cli record: one acquisition from the ADC module into Test.dat / Test.par.
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <csignal>
#include <cstdio>

#include "acquisition/AdcAcquire.h"
#include "app/cli/CliCommand.h"
#include "app/cli/CliTerminal.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

namespace vintor::cli {
namespace {

int RunRecord(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"blocks", "gain", "rate", "dir", "sim-file"}, /*flags=*/{});
  if (!p.error.isEmpty()) return UsageError(p.error);
  if (!p.positional.isEmpty()) return UsageError("unexpected argument " + p.positional.first());
  if (!p.Has("blocks")) return UsageError("record needs --blocks N");
  const auto blocks = ToInt(p.Value("blocks"));
  if (!blocks || *blocks < 1 || *blocks > 32767)
    return UsageError("--blocks must be a whole number from 1 to 32767");
  const auto gain = ToInt(p.Value("gain", "0"));
  if (!gain || *gain < 0 || *gain > 3) return UsageError("--gain must be 0, 1, 2 or 3");
  const auto rate = ToDouble(p.Value("rate", "100"));
  if (!rate || *rate <= 0 || *rate > 1000) return UsageError("--rate must be above 0 kHz");
  QString dir, simFile;
  if (const QString bad = ResolveWorkDir(p, &dir, &simFile); !bad.isEmpty()) return UsageError(bad);

  ResetProgramState();
  ProgramPaths& paths = Paths();
  paths.WorkDir = QDir::cleanPath(dir);
  paths.TestDatPath = JoinPath(paths.WorkDir, QStringLiteral("Test.dat"));
  paths.TestParPath = JoinPath(paths.WorkDir, QStringLiteral("Test.par"));
  MeasState& m = Meas();
  m.Dlit = static_cast<int16_t>(*blocks);
  m.GainCode = static_cast<int16_t>(*gain);
  m.AdcRate = *rate;
  DefaultSimAdc().SetConfigFile(simFile);

  {
    TerminalSession terminal;
    AdcAcquire();
  }

  QJsonObject out;
  out["AcqStatus"] = m.AcqStatus;
  out["GainText"] = m.GainText;
  out["file"] = paths.TestDatPath;
  out["bytes"] =
      QFileInfo(paths.TestDatPath).exists() ? double(QFileInfo(paths.TestDatPath).size()) : 0.0;
  PrintJson(out);
  return m.AcqStatus == 1 ? kExitOk : kExitFailed;
}

Registrar reg{{"record",
               "record --blocks N [--gain G] [--rate KHZ] [--dir WORKDIR] [--sim-file FILE]",
               RunRecord}};

}  // namespace
}  // namespace vintor::cli
