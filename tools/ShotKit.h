#pragma once

// What the screenshot programs that work the program's windows share: the picture folder and
// the working directory, failures told and counted, waiting with the event loop running, and
// the correction window answered with a picture.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <utility>

#include "app/ui/AppWindows.h"
#include "balancing/CorrectionForm.h"
#include "balancing/RunForm.h"

namespace shot {

inline const char* g_name = "shot";
// Where the pictures go.
inline QString g_out;
// The working directory, kept: the two-plane windows change the current one.
inline QString g_work;
// Pictures in 256 colours, compressed hardest.
inline bool g_small = false;
inline int g_failures = 0;

inline void Fail(const QString& what) {
  std::fprintf(stderr, "%s: %s\n", g_name, qPrintable(what));
  ++g_failures;
}

inline void Write(const QString& name, const QByteArray& bytes) {
  QFile f(QDir(g_work).filePath(name));
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) Fail(name + " not written");
}

// Reads OUTDIR from the command line, keeps the working directory (the current one) and writes
// its "Kavero.cfg" for the simulated sensors. False without OUTDIR.
inline bool Begin(int argc, char** argv, const char* name) {
  g_name = name;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", name);
    return false;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_out);
  g_work = QDir::currentPath();
  Write(QStringLiteral("Kavero.cfg"), "20\r\n20\r\n0\r\n0\r\n100\r\n");
  return true;
}

// The exit code; the failures are counted on stderr.
inline int Finish() {
  if (g_failures) std::fprintf(stderr, "%s: %d pictures or files failed\n", g_name, g_failures);
  return g_failures ? 1 : 0;
}

inline void SaveImage(const QImage& image, const QString& name) {
  const QString path = QDir(g_out).filePath(name);
  // Screenshots are flat colours: a palette of 256 keeps them small without a visible loss.
  const bool saved =
      g_small
          ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).save(path, "PNG", 0)
          : image.save(path);
  if (!saved) Fail("cannot save " + name);
}

inline void Save(QWidget* w, const QString& name) { SaveImage(w->grab().toImage(), name); }

inline void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Answers each showing of a correction window once it has been on screen a moment: `first`
// (once), `settleMs` of waiting, a picture named `next` (once), then "F10 - Exit" as the operator
// would.
class CorrectionAnswer final : public QObject {
 public:
  explicit CorrectionAnswer(vintor::CorrectionForm* w, int settleMs = 0)
      : w_(w), settleMs_(settleMs) {
    w->installEventFilter(this);
  }
  QString next;                 // picture name for the next showing; empty: none
  std::function<void()> first;  // runs at the next showing, before the picture

  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == w_ && e->type() == QEvent::Show) {
      QTimer::singleShot(400, w_, [this] {
        if (first) std::exchange(first, nullptr)();
        if (settleMs_ > 0) Pause(settleMs_);
        if (!next.isEmpty()) Save(w_, next);
        next.clear();
        w_->Button1->click();
      });
    }
    return false;
  }

 private:
  vintor::CorrectionForm* w_;
  int settleMs_;
};

// The check run of a job: the correction window after it pictured as `correction`, the run
// window as `run`.
inline void CheckRun(vintor::RunForm& w, CorrectionAnswer& answer, const QString& correction,
                     const QString& run) {
  answer.next = correction;
  w.ButtonP4->click();
  Pause(300);
  Save(&w, run);
}

// Shows the main window, then runs `singlePlane` inside the modal initial-data window that F7
// opens on the single-plane tab and `twoPlane` in the one it opens on the two-plane tab.
inline void RunJobs(vintor::AppWindows& app, const std::function<void()>& singlePlane,
                    const std::function<void()>& twoPlane) {
  app.Main().show();
  QTimer::singleShot(300, [&] {
    QTimer::singleShot(0, singlePlane);
    app.Main().Button7->click();
    app.Main().PageControl1->setCurrentIndex(1);
    QTimer::singleShot(0, twoPlane);
    app.Main().Button2->click();
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
}

}  // namespace shot
