#include "platform/AdcEvent.h"

#include <chrono>

namespace vintor {

void AdcEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  cond_.notify_one();
}

void AdcEvent::Wait() {
  std::unique_lock lock(mutex_);
  cond_.wait(lock, [this] { return signalled_; });
  signalled_ = false;
}

bool AdcEvent::Wait(unsigned timeoutMs) {
  std::unique_lock lock(mutex_);
  if (!cond_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; }))
    return false;
  signalled_ = false;
  return true;
}

}  // namespace vintor
