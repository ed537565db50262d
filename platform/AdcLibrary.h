#pragma once

#include <array>
#include <cstdint>

#include "platform/AdcEvent.h"

// The seam to the ADC module's vendor library: its two exported functions and the module
// interface object. The acquisition calls nothing else, so a build on the vendor's platform adds
// one back-end file implementing these classes over the real library.
namespace vintor {

// Library version the program is written for: major in the high word, minor in the low word.
inline constexpr uint32_t kAdcLibraryVersion = 0x30004;  // 3.4
inline constexpr int kAdcVirtualSlots = 127;
inline constexpr int kAdcControlTableSize = 128;

// Control table entry: channel (bits 0-1) + 32 + 64 x input range (bits 6-7).
inline constexpr uint16_t AdcControlEntry(int channel, int range) {
  return static_cast<uint16_t>((channel & 3) + 32 + 64 * (range & 3));
}

// ADC parameter record of the module. The program reads it, changes a few fields and writes it
// back; everything else keeps the module's values.
struct AdcParsE154 {
  uint16_t ClkSource = 0;  // the first three: clock and input-mode settings
  uint16_t EnableClkOutput = 0;
  uint16_t InputMode = 0;
  uint16_t SynchroMode = 0;
  uint16_t SynchroChannel = 0;
  int16_t SynchroLevel = 0;
  uint16_t ChannelsQuantity = 0;
  std::array<uint16_t, kAdcControlTableSize> ControlTable{};
  double AdcRate = 0.0;         // kHz, conversions per ms over all channels
  double InterKadrDelay = 0.0;  // ms, pause between frames
  double KadrRate = 0.0;        // kHz, frames per ms (set by the module)
};

// Module description record (strings NUL-terminated).
struct ModuleDescriptionE154 {
  char ModuleName[16];
  char SerialNumber[16];
  char Revision[4];
  char McuName[24];
  char McuDriverVersion[16];
  char McuDriverDate[16];
};

// Overlapped-I/O record of a read: the event is signalled when the request completes.
struct IoOverlapped {
  uintptr_t Internal;
  uintptr_t InternalHigh;
  AdcEvent* hEvent;
};

// One read request: fill `Buffer` with `NumberOfWordsToPass` samples.
struct IoReq {
  int16_t* Buffer;
  uint32_t NumberOfWordsToPass;
  uint32_t NumberOfWordsPassed;
  IoOverlapped* Overlapped;
  uint32_t TimeOut;  // ms
};

using AdcDeviceHandle = void*;

// The module interface object. True means success unless stated otherwise.
class ILE154 {
 public:
  virtual bool OpenLDevice(uint16_t virtualSlot) = 0;
  // Frees the object whatever the result: it must not be used afterwards.
  virtual bool ReleaseLInstance() = 0;
  // Handle of the open device, for cancelling its outstanding transfers; null when none.
  virtual AdcDeviceHandle GetModuleHandle() = 0;
  // Writes the module name into `name`: at most 7 characters and a terminating NUL.
  virtual bool GetModuleName(char* name) = 0;
  // 0 = full speed, other = high speed.
  virtual bool GetUsbSpeed(uint8_t* speed) = 0;
  virtual bool GET_ADC_PARS(AdcParsE154* pars) = 0;
  // Programs the ADC; the rate fields are updated to the values really set.
  virtual bool SET_ADC_PARS(AdcParsE154* pars) = 0;
  virtual bool START_ADC() = 0;
  virtual bool STOP_ADC() = 0;
  // Queues a read; its event is signalled once the buffer is full.
  virtual bool ReadData(IoReq* request) = 0;
  virtual bool GET_MODULE_DESCRIPTION(ModuleDescriptionE154* description) = 0;

 protected:
  virtual ~ILE154() = default;
};

class AdcLibrary {
 public:
  virtual ~AdcLibrary() = default;
  virtual uint32_t GetDllVersion() = 0;
  // The interface object for `deviceName` ("e154"), or null.
  virtual ILE154* CreateLInstance(const char* deviceName) = 0;
  // The system's cancel of every outstanding transfer on a device handle. Once STOP_ADC and this
  // have been called, whatever they returned, no request queued before is touched again.
  virtual bool CancelIo(AdcDeviceHandle handle) = 0;
};

// The library in use: the platform's default (the simulated module here) unless a test or the
// program installed another. Set it only while no acquisition runs.
AdcLibrary& AdcLib();
void SetAdcLibrary(AdcLibrary* library);  // null restores the default

}  // namespace vintor
