#include <QApplication>
#include <QDateTime>
#include <QTimer>
#include <cstdio>

#include "app/ui/AppWindows.h"

namespace {

// For tools/start-time.sh: with VINTOR_FIRST_PAINT set, the main window's first paint prints the
// wall clock in microseconds and ends the program.
class FirstPaintProbe final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      const qint64 us = QDateTime::currentMSecsSinceEpoch() * 1000;
      std::printf("first-paint %lld\n", static_cast<long long>(us));
      std::fflush(stdout);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vintor-1"));
  vintor::AppWindows windows;
  FirstPaintProbe probe;
  if (qEnvironmentVariableIsSet("VINTOR_FIRST_PAINT")) windows.Main().installEventFilter(&probe);
  windows.Main().show();
  return QApplication::exec();
}
