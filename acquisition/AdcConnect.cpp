#include <unistd.h>

#include <cstring>

#include "acquisition/AdcAcquire.h"
#include "acquisition/AdcContext.h"
#include "base/Formatting.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"

namespace vintor {
namespace {

void Log(const QString& line) { Observer().LogLine(line); }

// Control table entries 0..3 for an input-range code: the two vibration channels on that range,
// the tachometer and the spare input always on the widest one.
void FillControlTable(AdcParsE154& pars, int gainCode) {
  if (gainCode < 0 || gainCode > 3) return;
  pars.ControlTable[0] = AdcControlEntry(0, gainCode);
  pars.ControlTable[1] = AdcControlEntry(1, gainCode);
  pars.ControlTable[2] = AdcControlEntry(2, 0);
  pars.ControlTable[3] = AdcControlEntry(3, 0);
}

}  // namespace

AdcContext& Acq() {
  static AdcContext context;
  return context;
}

bool AdcConnect() {
  AdcContext& a = Acq();
  AdcLibrary& library = AdcLib();

  const uint32_t version = library.GetDllVersion();
  if (version == kAdcLibraryVersion) {
    Log(QStringLiteral(" DLL Version --> OK"));
  } else {
    // Only reported: a library of another version that still works is used.
    AdcRelease(QStringLiteral("Wrong DLL version Lusbapi.dll!            Current: ") +
               QString::number(version >> 16) + QStringLiteral(".") +
               QString::number(version & 0xFFFF) + QStringLiteral(".") +
               QStringLiteral(" Required: ") + QStringLiteral("3") + QStringLiteral(".") +
               QStringLiteral("4") + QStringLiteral("."));
  }

  a.module = library.CreateLInstance("e154");
  if (!a.module) {
    AdcRelease(QStringLiteral("Can\"t find interface E-154!"));
    return false;
  }
  Log(QStringLiteral(" Module Interface --> OK"));

  int slot = 0;
  while (slot < kAdcVirtualSlots && !a.module->OpenLDevice(static_cast<uint16_t>(slot))) ++slot;
  if (slot == kAdcVirtualSlots) {
    a.ThreadError = 14;
    AdcRelease(QStringLiteral("Can\"t find  E-154 device! "));
    return false;
  }
  Log(QString::asprintf(" OpenLDevice(%u) --> OK", unsigned(slot)));

  a.device = a.module->GetModuleHandle();

  std::memcpy(a.moduleName, "0123456", sizeof a.moduleName);
  if (!a.module->GetModuleName(a.moduleName)) {
    AdcRelease(QStringLiteral("Cant read device name!"));
    return false;
  }
  a.moduleName[sizeof a.moduleName - 1] = '\0';  // never read past the buffer
  Log(QStringLiteral(" GetModuleName() --> OK"));
  if (std::strcmp(a.moduleName, "E154") != 0) {
    AdcRelease(QStringLiteral("Found device is not E-154!"));
    return false;
  }
  Log(QStringLiteral(" The module is 'E-154'"));

  uint8_t usbSpeed = 0;
  if (!a.module->GetUsbSpeed(&usbSpeed)) {
    AdcRelease(QStringLiteral(" Cant check USB speed"));
    return false;
  }
  Log(QStringLiteral(" GetUsbSpeed() --> OK\\n"));
  Log(QStringLiteral("   USB is in ") + (usbSpeed != 0
                                             ? QStringLiteral("High-Speed Mode (480 Mbit/s)")
                                             : QStringLiteral("Full-Speed Mode (12 Mbit/s)")));

  a.description = {};
  if (!a.module->GET_MODULE_DESCRIPTION(&a.description)) {
    AdcRelease(QStringLiteral("Cant get device info!"));
    return false;
  }
  a.description.Revision[sizeof a.description.Revision - 1] = '\0';
  a.description.McuDriverVersion[sizeof a.description.McuDriverVersion - 1] = '\0';
  a.description.McuDriverDate[sizeof a.description.McuDriverDate - 1] = '\0';
  Log(QStringLiteral(" GET_MODULE_DESCRIPTION() --> OK"));

  a.pars = {};
  if (!a.module->GET_ADC_PARS(&a.pars)) {
    AdcRelease(QStringLiteral("Cant get data parameters!"));
    return false;
  }
  Log(QStringLiteral(" GET_ADC_PARS --> OK"));

  const MeasState& m = Meas();
  a.pars.ClkSource = 0;
  a.pars.EnableClkOutput = 0;
  a.pars.InputMode = 0;
  a.pars.ChannelsQuantity = ChannelsQuantity;
  FillControlTable(a.pars, m.GainCode);
  a.pars.AdcRate = m.AdcRate;
  a.pars.InterKadrDelay = 0.0;
  if (!a.module->SET_ADC_PARS(&a.pars)) {
    AdcRelease(QStringLiteral("Cant set data parameters!"));
    return false;
  }
  const QString rateLine =
      QStringLiteral(" SET_ADC_PARS --> OK AdcRate=") + FormatGeneral(a.pars.AdcRate);
  Log(rateLine);
  Log(rateLine);
  Log(QStringLiteral(" SET_ADC_PARS --> OK Dlit=") + QString::number(m.Dlit));
  return true;
}

void AdcRelease(const QString& message) {
  AdcContext& a = Acq();
  if (a.module) {
    const bool released = a.module->ReleaseLInstance();
    Log(released ? QStringLiteral(" ReleaseLInstance() --> OK")
                 : QStringLiteral(" ReleaseLInstance() --> Bad"));
    a.module = nullptr;
    a.device = nullptr;
  }
  if (a.thread.joinable()) a.thread.join();
  if (a.dataFile != -1) {
    ::close(a.dataFile);
    a.dataFile = -1;
  }
  for (auto& buffer : a.buffers) std::vector<int16_t>().swap(buffer);
  if (message != QLatin1String(" ")) Svc().dialogs->Message(QStringLiteral("Error !!! "), message);
}

QString AdcThreadErrorText(int code) {
  switch (code) {
    case 1:
      return QStringLiteral(" ADC Thread: STOP_ADC() --> Bad! :(((");
    case 2:
      return QStringLiteral(" ADC Thread: ReadData() --> Bad :(((");
    case 3:
      return QStringLiteral(" ADC Thread: Waiting data Error! :(((");
    case 5:
      return QStringLiteral(" ADC Thread: Writing data file error! :(((");
    case 6:
      return QStringLiteral(" ADC Thread: START_ADC() --> Bad :(((");
    case 7:
      return QStringLiteral(
          " ADC Thread: Can't cancel ending input and output (I/O) operations! :(((");
    case 14:
      return QStringLiteral(" ADC Thread: F10 key pressed!");
    default:
      return QStringLiteral(" ADC Thread: Unknown error! :(((");
  }
}

}  // namespace vintor
