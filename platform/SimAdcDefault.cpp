// On this platform the ADC library in use is the simulated module unless another is installed.
#include <atomic>

#include "platform/SimAdc.h"

namespace vintor {
namespace {
std::atomic<AdcLibrary*> g_library{nullptr};
}  // namespace

SimAdcLibrary& DefaultSimAdc() {
  static SimAdcLibrary library;
  return library;
}

AdcLibrary& AdcLib() {
  AdcLibrary* library = g_library.load();
  return library ? *library : DefaultSimAdc();
}

void SetAdcLibrary(AdcLibrary* library) { g_library.store(library); }

bool SimulatedModuleInUse() { return dynamic_cast<SimAdcLibrary*>(&AdcLib()) != nullptr; }

}  // namespace vintor
