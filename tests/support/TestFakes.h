#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "measurement/MeasObserver.h"
#include "platform/Seams.h"

namespace vintor::test {

// Records what the measurement logic tells the windows. Install with SetObserver(&observer).
class RecordingObserver : public MeasObserver {
 public:
  QStringList lines;
  int gaugeSteps = 0;
  int gaugeMax = 0;
  int gaugeProgress = 0;
  int processEventsCalls = 0;
  std::vector<bool> wrongTacho;  // every WrongTachoShown call, in order
  std::vector<std::pair<QString, QString>> chartsLabels;
  // Runs inside ProcessEvents (a test's stand-in for the operator acting meanwhile).
  std::function<void()> onProcessEvents;

  void LogLine(const QString& line) override { lines << line; }
  void GaugesSetMax(int max) override { gaugeMax = max; }
  void GaugesSetProgress(int value) override { gaugeProgress = value; }
  void GaugesStep() override { ++gaugeSteps; }
  void WrongTachoShown(bool shown) override { wrongTacho.push_back(shown); }
  void ChartsResultLabels(const QString& v1, const QString& v2) override {
    chartsLabels.emplace_back(v1, v2);
  }
  void ProcessEvents() override {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
  }
};

// Records what the operator would have been shown. Install with Svc().dialogs = &dialogs.
class RecordingDialogs : public Dialogs {
 public:
  struct Box {
    QString caption;
    QString text;
  };
  QStringList warnings;
  std::vector<Box> messages;
  QStringList errors;
  QString saveName;               // what the save dialog answers; empty: cancelled
  QStringList questions;          // every go-on-or-repeat question
  std::vector<bool> goOnAnswers;  // answered in order; none left: go on

  void Warning(const QString& message) override { warnings << message; }
  void Message(const QString& caption, const QString& text) override {
    messages.push_back({caption, text});
  }
  void Error(const QString& text) override { errors << text; }
  QString AskSaveFileName() override { return saveName; }
  bool GoOnOrRepeat(const QString& text) override {
    questions << text;
    if (goOnAnswers.empty()) return true;
    const bool goOn = goOnAnswers.front();
    goOnAnswers.erase(goOnAnswers.begin());
    return goOn;
  }
};

// Records what the shell was asked to open; `answer` is what it reports.
class RecordingShell : public Shell {
 public:
  QStringList opened;
  bool answer = true;
  bool Open(const QString& path) override {
    opened << path;
    return answer;
  }
};

// A clock that stands still at `now`. Install with Svc().clock = &clock.
class FixedClock final : public Clock {
 public:
  FixedClock() = default;
  explicit FixedClock(const QDateTime& at) : now(at) {}
  QDateTime now{QDate(2026, 1, 8), QTime(14, 3, 5)};
  QDateTime Now() const override { return now; }
  qint64 MonotonicMs() const override { return 0; }
};

}  // namespace vintor::test
