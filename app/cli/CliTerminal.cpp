#include "app/cli/CliTerminal.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

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

}  // namespace

QString ResolveWorkDir(const ParsedArgs& args, QString* dir, QString* simFile, bool newSimFile) {
  *dir = QDir(args.Value(QStringLiteral("dir"), QStringLiteral("."))).absolutePath();
  if (!QFileInfo(*dir).isDir()) return QStringLiteral("no such directory: ") + *dir;
  *simFile = args.Value(QStringLiteral("sim-file"));
  if (!simFile->isEmpty() && !QFileInfo(*simFile).isFile() &&
      !(newSimFile && !QFileInfo(*simFile).exists() && QFileInfo(*simFile).dir().exists()))
    return QStringLiteral("no such file: ") + *simFile;
  if (simFile->isEmpty())
    *simFile = JoinPath(*dir, QString::fromLatin1(SimAdcLibrary::kDefaultFile));
  return QString();
}

void PrintLine(const QString& line) {
  std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

struct TerminalSession::Impl {
  StderrObserver observer;
  StderrDialogs dialogs;
  Dialogs* oldDialogs = nullptr;
  void (*oldHandler)(int) = nullptr;
};

TerminalSession::TerminalSession() : d_(new Impl) {
  SetObserver(&d_->observer);
  d_->oldDialogs = Svc().dialogs;
  Svc().dialogs = &d_->dialogs;
  g_interrupted = 0;
  d_->oldHandler = std::signal(SIGINT, OnInterrupt);
}

TerminalSession::~TerminalSession() {
  std::signal(SIGINT, d_->oldHandler);
  Svc().dialogs = d_->oldDialogs;
  SetObserver(nullptr);
  delete d_;
}

bool TerminalSession::Interrupted() { return g_interrupted != 0; }

}  // namespace vintor::cli
