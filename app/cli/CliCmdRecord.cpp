// vintor-cli record: one acquisition from the ADC module into Test.dat / Test.par.
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <csignal>
#include <cstdio>

#include "acquisition/AdcAcquire.h"
#include "app/cli/CliCommand.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

namespace vintor::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

void PrintLine(const QString& line) {
  std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

// The device log goes to stderr; Ctrl+C stops the recording as the stop key would.
class StderrObserver final : public MeasObserver {
 public:
  void LogLine(const QString& line) override { PrintLine(line); }
  void ProcessEvents() override {
    if (g_interrupted) Meas().StopRequested = true;
  }
};

class StderrDialogs final : public Dialogs {
 public:
  void Warning(const QString& message) override { PrintLine(message); }
  void Message(const QString& caption, const QString& text) override {
    PrintLine(caption + QStringLiteral(": ") + text);
  }
  void Error(const QString& text) override { PrintLine(text); }
};

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
  const QString dir = QDir(p.Value("dir", ".")).absolutePath();
  if (!QFileInfo(dir).isDir()) return UsageError("no such directory: " + dir);
  QString simFile = p.Value("sim-file");
  if (!simFile.isEmpty() && !QFileInfo(simFile).isFile())
    return UsageError("no such file: " + simFile);
  if (simFile.isEmpty()) simFile = JoinPath(dir, QString::fromLatin1(SimAdcLibrary::kDefaultFile));

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

  StderrObserver observer;
  StderrDialogs dialogs;
  SetObserver(&observer);
  Dialogs* oldDialogs = Svc().dialogs;
  Svc().dialogs = &dialogs;
  g_interrupted = 0;
  auto oldHandler = std::signal(SIGINT, OnInterrupt);
  AdcAcquire();
  std::signal(SIGINT, oldHandler);
  Svc().dialogs = oldDialogs;
  SetObserver(nullptr);

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
