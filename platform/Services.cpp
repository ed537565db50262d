#include "platform/Services.h"

#include <QElapsedTimer>

namespace vintor {
namespace {

class QuietDialogs final : public Dialogs {
 public:
  void Warning(const QString&) override {}
  void Message(const QString&, const QString&) override {}
  void Error(const QString&) override {}
};

class NoShell final : public Shell {
 public:
  bool Open(const QString&) override { return false; }
};

class SystemClock final : public Clock {
 public:
  SystemClock() { timer_.start(); }
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
  qint64 MonotonicMs() const override { return timer_.elapsed(); }

 private:
  QElapsedTimer timer_;
};

QuietDialogs g_quietDialogs;
NoShell g_noShell;
SystemClock g_systemClock;
Services g_services{&g_quietDialogs, &g_noShell, &g_systemClock};

}  // namespace

Services& Svc() { return g_services; }

void ResetServices() { g_services = Services{&g_quietDialogs, &g_noShell, &g_systemClock}; }

}  // namespace vintor
