#include "kit/WindowObserver.h"

#include <QCoreApplication>

namespace vintor {

void WindowObserver::LogLine(const QString& line) {
  for (auto* v : views_) v->LogLine(line);
}
void WindowObserver::GaugesSetMax(int max) {
  for (auto* v : views_) v->GaugesSetMax(max);
}
void WindowObserver::GaugesSetProgress(int value) {
  for (auto* v : views_) v->GaugesSetProgress(value);
}
void WindowObserver::GaugesStep() {
  for (auto* v : views_) v->GaugesStep();
}
void WindowObserver::WrongTachoShown(bool shown) {
  for (auto* v : views_) v->WrongTachoShown(shown);
}
void WindowObserver::ChartsResultLabels(const QString& v1, const QString& v2) {
  for (auto* v : views_) v->ChartsResultLabels(v1, v2);
}
void WindowObserver::ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace vintor
