#pragma once

// The balancing windows of both modes, linked as the program links them, and a helper that
// answers the modal correction windows.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>

#include "balancing/BalancingLinks.h"
#include "balancing/UnitB10.h"
#include "balancing/UnitB11.h"
#include "balancing/UnitB12.h"
#include "balancing/UnitB20.h"
#include "balancing/UnitB21.h"
#include "balancing/UnitB22.h"
#include "kit/WindowObserver.h"
#include "measurement/MeasObserver.h"

namespace vintor::test {

// Created in the program's order and linked per mode; the run windows hear the measurement.
struct BalancingWindows {
  FormB11 b11;
  FormB10 b10;
  FormB12 b12;
  FormB20 b20;
  FormB21 b21;
  FormB22 b22;
  WindowObserver observer;

  BalancingWindows() {
    LinkBalancingWindows(b10, b11, b12);
    LinkBalancingWindows(b20, b21, b22);
    observer.Add(&b11);
    observer.Add(&b21);
    SetObserver(&observer);
  }
  ~BalancingWindows() { SetObserver(nullptr); }

  InitialDataForm& Initial(bool two) { return two ? static_cast<InitialDataForm&>(b20) : b10; }
  RunForm& Runs(bool two) { return two ? static_cast<RunForm&>(b21) : b11; }
  CorrectionForm& Correction(bool two) { return two ? static_cast<CorrectionForm&>(b22) : b12; }
};

// Each time the correction window is shown modally, runs the next expected check on it and
// closes it with F10. A showing with no check left counts as unexpected.
class CorrectionAnswerer final : public QObject {
 public:
  explicit CorrectionAnswerer(CorrectionForm* window) : w_(window) {
    window->installEventFilter(this);
  }
  void Expect(std::function<void()> check = [] {}) { checks_.push_back(std::move(check)); }
  int Pending() const { return static_cast<int>(checks_.size()); }
  int shown = 0;
  int unexpected = 0;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == w_ && event->type() == QEvent::Show) {
      ++shown;
      QTimer::singleShot(0, w_, [this] { Answer(); });
    }
    return false;
  }

 private:
  void Answer() {
    if (!w_->isVisible()) return;
    if (checks_.empty()) {
      ++unexpected;
    } else {
      const std::function<void()> check = checks_.front();
      checks_.pop_front();
      check();
    }
    QTest::keyClick(w_, Qt::Key_F10);
  }
  CorrectionForm* w_;
  std::deque<std::function<void()>> checks_;
};

inline bool Enabled(const QWidget* w) { return w->isEnabled(); }

}  // namespace vintor::test
