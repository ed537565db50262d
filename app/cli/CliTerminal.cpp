#include "app/cli/CliTerminal.h"

#include <cstdio>

#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"

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
