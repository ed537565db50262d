#pragma once

// Resources of one acquisition, shared by the connection code, AdcAcquire and ReadThread.
// Everything except the four atomics is touched by the UI thread before the acquisition thread
// starts and after it has been joined, and by the acquisition thread in between.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/AdcLibrary.h"

namespace vintor {

struct AdcContext {
  ILE154* module = nullptr;
  AdcDeviceHandle device = nullptr;
  char moduleName[8] = {};
  AdcParsE154 pars;
  ModuleDescriptionE154 description = {};
  std::vector<int16_t> buffers[2];
  int dataFile = -1;
  std::thread thread;

  // Shared by the two threads.
  std::atomic<int16_t> ThreadError{0};
  std::atomic<bool> ThreadDone{false};
  std::atomic<uint16_t> BlocksWritten{0};
  std::atomic<uint16_t> BlocksToRead{0};
};

AdcContext& Acq();

}  // namespace vintor
