#include "acquisition/AdcAcquire.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <memory>
#include <system_error>

#include "acquisition/AdcContext.h"
#include "acquisition/AdcTesting.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kThreadEndPause = std::chrono::milliseconds(100);

bool g_failNextThreadStart = false;

void Log(const QString& line) { Observer().LogLine(line); }

bool WriteAll(int fd, const int16_t* data, size_t bytes) {
  const char* p = reinterpret_cast<const char*>(data);
  while (bytes > 0) {
    const ssize_t n = ::write(fd, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  return true;
}

// Appends one block to the data file. A block that could not be written whole is cut off
// again, so the file always holds whole blocks.
bool WriteBlock(AdcContext& a, int index, off_t* fileBytes) {
  if (WriteAll(a.dataFile, a.buffers[index].data(), BlockBytes)) {
    *fileBytes += BlockBytes;
    return true;
  }
  if (::ftruncate(a.dataFile, *fileBytes) == 0) ::lseek(a.dataFile, *fileBytes, SEEK_SET);
  return false;
}

}  // namespace

void AdcFailNextThreadStart() { g_failNextThreadStart = true; }

int ReadThread() {
  AdcContext& a = Acq();
  ILE154* module = a.module;

  if (!module->STOP_ADC()) {
    a.ThreadError = 1;
    a.ThreadDone = true;
    return 0;
  }

  // The read time-out: one block's duration at the rate really set, plus a second.
  const double rate = a.pars.AdcRate;
  const uint32_t timeout =
      (rate > 0 ? static_cast<uint32_t>(std::min(std::floor(DataStep / rate), 1e9)) : 0) + 1000;
  IoOverlapped overlapped[2];
  std::unique_ptr<AdcEvent> events[2];
  IoReq requests[2];
  for (int i = 0; i < 2; ++i) {
    overlapped[i] = IoOverlapped{};
    events[i] = std::make_unique<AdcEvent>();
    overlapped[i].hEvent = events[i].get();
    requests[i] = IoReq{a.buffers[i].data(), DataStep, 0, &overlapped[i], timeout};
  }

  if (!module->ReadData(&requests[0])) {
    events[0].reset();
    events[1].reset();
    a.ThreadError = 2;
    a.ThreadDone = true;
    return 0;
  }

  off_t fileBytes = 0;
  int r = 0;
  if (!module->START_ADC()) {
    a.ThreadError = 6;
  } else {
    const int repeats = int(a.BlocksToRead.load()) - 1;
    for (int i = 0; i < repeats; ++i) {
      r = 1 - r;
      if (!module->ReadData(&requests[r])) {
        a.ThreadError = 2;
        break;
      }
      if (!events[1 - r]->Wait(requests[1 - r].TimeOut)) {
        a.ThreadError = 3;
        break;
      }
      if (!WriteBlock(a, 1 - r, &fileBytes)) {
        a.ThreadError = 5;
        break;
      }
      if (a.ThreadError != 0) break;  // the UI asked to stop
      ++a.BlocksWritten;
    }
  }
  if (a.ThreadError == 0) {
    if (!events[r]->Wait(requests[r].TimeOut)) {
      a.ThreadError = 3;
    } else if (!WriteBlock(a, r, &fileBytes)) {
      a.ThreadError = 5;
    } else {
      ++a.BlocksWritten;
    }
  }

  if (!module->STOP_ADC()) a.ThreadError = 1;
  if (!AdcLib().CancelIo(a.device)) a.ThreadError = 7;

  events[0].reset();
  events[1].reset();
  std::this_thread::sleep_for(kThreadEndPause);
  a.ThreadDone = true;
  return 0;
}

void AdcAcquire() {
  AdcContext& a = Acq();
  MeasState& m = Meas();

  // The user interface runs while a recording waits, so another window may ask for one; the
  // module, its buffers and the data file serve one recording at a time.
  static bool recording = false;
  if (recording) {
    Log(QStringLiteral(" Another recording is running: this one is refused"));
    m.AcqStatus = -1;
    return;
  }
  recording = true;
  struct Done {
    ~Done() { recording = false; }
  } done;

  a.ThreadError = 0;
  a.ThreadDone = false;
  a.dataFile = -1;
  a.BlocksWritten = 0;
  uint16_t shown = 0xFFFF;

  if (!AdcConnect()) {
    // A missing module is reported like an operator's stop; any other set-up failure has
    // released the module already and ends here.
    if (a.ThreadError != 14) {
      m.AcqStatus = -1;
      return;
    }
  } else {
    a.buffers[0].assign(DataStep, 0);
    a.buffers[1].assign(DataStep, 0);
    Log(QString());

    a.dataFile = ::open(QFile::encodeName(Paths().TestDatPath).constData(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (a.dataFile == -1) {
      AdcRelease(QStringLiteral("Cant create file to write data! ") + Paths().TestDatPath);
      m.AcqStatus = -1;
      return;
    }
    Log(QStringLiteral(" Create file Test.dat ... OK"));

    m.GainText = QString::number(m.GainCode);
    const QString parPath = JoinPath(Paths().WorkDir, QStringLiteral("Test.par"));
    if (!WriteTextLines(parPath, {m.GainText})) {
      // Without its gain code the recording would be scaled with a stale one.
      AdcRelease(QStringLiteral("Cant create file to write data! ") + parPath);
      m.AcqStatus = -1;
      return;
    }

    // The count is set before the thread starts, so that the first counter line shows it.
    if (m.Dlit > 0) a.BlocksToRead = static_cast<uint16_t>(m.Dlit);
    try {
      if (g_failNextThreadStart) {
        g_failNextThreadStart = false;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      }
      a.thread = std::thread(ReadThread);
    } catch (const std::system_error&) {
      AdcRelease(QStringLiteral("Cant start thread!"));
      m.AcqStatus = -1;
      return;
    }
    Log(QStringLiteral(" Create ReadThread ... OK"));

    Log(QString());
    Log(QStringLiteral("   Module Info:"));
    Log(QString::asprintf("     Module  Revision   is '%1.1s'", a.description.Revision));
    Log(QString::asprintf("     MCU Driver Version is %s (%s)", a.description.McuDriverVersion,
                          a.description.McuDriverDate));
    Log(QStringLiteral("   ADC parameters:"));
    Log(QString::asprintf("     AdcRate = %5.3f kHz", a.pars.AdcRate));
    Log(QString::asprintf("     InterKadrDelay = %2.4f ms", a.pars.InterKadrDelay));
    Log(QString::asprintf("     KadrRate =  %5.3f kHz", a.pars.KadrRate));
    Log(QStringLiteral(" You can press ESC key to terminate the program..."));
    Log(QString(50, QLatin1Char('-')));
    Log(QStringLiteral(" "));

    while (!a.ThreadDone) {
      const uint16_t written = a.BlocksWritten;
      if (written == shown) {
        std::this_thread::sleep_for(kPollInterval);
        continue;
      }
      const QString counter = QString::asprintf(" Counter %3u from %3u", unsigned(written),
                                                unsigned(a.BlocksToRead.load()));
      Log(counter);
      Log(counter);
      shown = written;
      Observer().GaugesStep();
      Observer().ProcessEvents();
      if (m.StopRequested) {
        a.ThreadError = 14;
        break;
      }
    }
  }

  m.StopRequested = false;
  if (a.thread.joinable()) a.thread.join();

  Log(QString());
  AdcRelease(QStringLiteral(" "));

  if (a.ThreadError != 0) {
    Log(AdcThreadErrorText(a.ThreadError));
    m.AcqStatus = -1;
    a.ThreadError = 0;
    m.StopRequested = false;
    Log(QStringLiteral(" F10 pressed!!!"));
  } else {
    Log(QStringLiteral(" The program was completed successfully!!!"));
    m.AcqStatus = 1;
  }
}

}  // namespace vintor
