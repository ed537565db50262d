#pragma once

#include <condition_variable>
#include <mutex>

namespace vintor {

// Auto-reset event: Set() lets exactly one Wait() through (or the next one, if nobody waits),
// then the event is not signalled again. Initially not signalled.
class AdcEvent {
 public:
  AdcEvent() = default;
  AdcEvent(const AdcEvent&) = delete;
  AdcEvent& operator=(const AdcEvent&) = delete;

  void Set();
  // Waits without a time limit.
  void Wait();
  // False when `timeoutMs` passed without the event being signalled.
  bool Wait(unsigned timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable cond_;
  bool signalled_ = false;
};

}  // namespace vintor
