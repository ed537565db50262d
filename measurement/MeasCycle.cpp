#include "measurement/MeasCycle.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

#include "base/Formatting.h"
#include "measurement/MeasMath.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "platform/Services.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

constexpr int16_t kSightingDlit = 3;
constexpr int16_t kSightingAverNum = 4;
constexpr int16_t kMinAverNum = 2;
constexpr int16_t kMaxAverNum = 128;
constexpr double kFramesPerSecond = 25000.0;
constexpr int kAveragingGaugeMax = 500000;

void Log(const QString& line) { Observer().LogLine(line); }

// Time of day in the system's long time format, without a time-zone part.
QString TimeOfDay(const QDateTime& when) {
  static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
  QString format = QLocale::system().timeFormat(QLocale::LongFormat);
  format.remove(zone);
  return QLocale::system().toString(when.time(), format.trimmed());
}

// The survey's buffers are kept from one cycle to the next (the cycle runs on one thread only).
FrameSurvey& KeptSurvey() {
  static FrameSurvey survey;
  return survey;
}

int GaugeMaxFor(const RawFileView& rec) {
  const int64_t v = Nearest(static_cast<double>(rec.samples()) / 1000.0) * 4;
  return static_cast<int>(std::min<int64_t>(v, std::numeric_limits<int>::max()));
}

class Cycle {
 public:
  Cycle(const CycleIo& io, CycleDetails& details)
      : io_(io), d_(details), s_(Meas()), obs_(Observer()) {}

  void Run();

 private:
  // Logs the start, records, and on success logs the end and the elapsed time.
  bool Record(bool setStatusFirst);
  void ReadRecording();
  void RaiseWrongTacho();
  ScanResult Scan();
  void Average();
  void RmsStep();
  void FinalStep();

  const CycleIo& io_;
  CycleDetails& d_;
  MeasState& s_;
  MeasObserver& obs_;
  ScanState scan_;
  // The recording of the current pass, only read: the steps take the means off as they go.
  RawFileView rec_;
  FrameSurvey& survey_ = KeptSurvey();
};

void Cycle::RaiseWrongTacho() {
  obs_.WrongTachoShown(true);
  obs_.ProcessEvents();
  s_.WrongTacho = true;
  s_.NeedSighting = true;
}

bool Cycle::Record(bool setStatusFirst) {
  rec_.Close();  // the recording is about to be rewritten: let go of the sighting one
  const qint64 startMs = Svc().clock->MonotonicMs();
  Log(QStringLiteral("Начало измерения=") + TimeOfDay(Svc().clock->Now()));
  if (setStatusFirst) s_.AcqStatus = 1;
  if (io_.acquire) io_.acquire();
  if (s_.AcqStatus == -1) return false;
  Log(QStringLiteral("Конец измерения=") + TimeOfDay(Svc().clock->Now()));
  Log(QStringLiteral("Время измерения=") + QString::number(Svc().clock->MonotonicMs() - startMs));
  obs_.GaugesSetProgress(0);
  return true;
}

void Cycle::ReadRecording() {
  rec_.Open(Paths().TestDatPath, -1, io_.mapRecordings);  // the previous pass's goes first
  survey_.Survey(rec_.data(), rec_.frames());
  const ChannelMeans& means = survey_.means();
  s_.AdcMean1 = means.mean1;
  s_.AdcMean2 = means.mean2;
}

ScanResult Cycle::Scan() {
  ScanResult r =
      survey_.ScanMarks(s_.AverNum, scan_, s_.AdcPeak, [this](int32_t marks, int64_t difference) {
        Log(QString::number(marks) + QStringLiteral("( abs(Delta - DeltaOld))=") +
            QString::number(difference));
        RaiseWrongTacho();
      });
  d_.marks = r.marks;
  d_.M = r.M;
  d_.First = r.First;
  d_.Lend = r.Lend;
  return r;
}

void Cycle::Average() {
  const int32_t revLen = d_.RevLen;
  std::vector<int32_t> s1(kRevCapacity, 0), s2(kRevCapacity, 0);
  obs_.GaugesSetMax(kAveragingGaugeMax);
  if (io_.pauseBeforeAveraging) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  Log(QStringLiteral("\"Рабочий\" цикл обработка - Второй проход суммирование и усреднение"));
  Log(QStringLiteral("Waiting, step - 5"));
  const AveragingInfo info =
      survey_.AverageRevolution(d_.First, s_.RevPeriod, s_.AverNum, s1.data(), s2.data());
  d_.revolutionsAveraged = info.revolutions;
  obs_.GaugesSetProgress(0);
  obs_.GaugesSetMax(std::abs(2 * revLen));

  Log(QStringLiteral("\"Рабочий\" цикл обработка - Второй проход Делим накопленное"));
  Log(QStringLiteral("Waiting, step - 6"));
  const bool write = !io_.outputPath.isEmpty();
  QStringList lines;
  if (write) lines.reserve(revLen);
  const QString tail = QStringLiteral("\t0");
  for (int32_t v = 0; v < revLen; ++v) {
    const auto i = static_cast<size_t>(v);
    s1[i] = DivideSample(s1[i], s_.AverNum);
    s2[i] = DivideSample(s2[i], s_.AverNum);
    if (write) lines << QString::number(s1[i]) + QLatin1Char('\t') + QString::number(s2[i]) + tail;
    obs_.GaugesSetProgress(v + 1);
  }
  if (write) {
    QString error;
    if (!WriteTextLines(io_.outputPath, lines, &error))
      throw MeasError(QStringLiteral("Cannot write %1: %2").arg(io_.outputPath, error));
  }
  obs_.GaugesSetProgress(0);

  Log(QStringLiteral("\"Рабочий\" цикл обработка - Второй проход Выделяем гармоники"));
  Log(QStringLiteral("Waiting, step - 7"));
  const FirstHarmonicResult h1 = FirstHarmonic(s1.data(), revLen, ChanScale(1));
  const FirstHarmonicResult h2 = FirstHarmonic(s2.data(), revLen, ChanScale(2));
  s_.V1o = h1.amplitude;
  s_.F1 = h1.phase;
  s_.V2o = h2.amplitude;
  s_.F2 = h2.phase;
  d_.averaged1.assign(s1.begin(), s1.begin() + std::max(revLen, 0));
  d_.averaged2.assign(s2.begin(), s2.begin() + std::max(revLen, 0));
}

void Cycle::RmsStep() {
  obs_.GaugesSetProgress(0);
  obs_.GaugesSetMax(GaugeMaxFor(rec_));
  Log(QStringLiteral("657\"Рабочий\" цикл СКЗ"));
  Log(QStringLiteral("658 Waiting, step - 8"));
  Log(QString(39, QLatin1Char('=')));
  const SensorSettings& cfg = Settings();
  const BroadbandResult rms =
      survey_.BroadbandRms(ChanScale(1), ChanScale(2), cfg.Vs1Offset, cfg.Vs2Offset);
  s_.V1s = rms.v1;
  s_.V2s = rms.v2;
}

void Cycle::FinalStep() {
  obs_.GaugesSetProgress(0);
  if (!s_.WrongTacho) obs_.WrongTachoShown(false);
  if (s_.RevPeriod > 50 && s_.RevPeriod < 5000) s_.NextGainCode = GainFromPeak(s_.AdcPeak);
}

void Cycle::Run() {
  s_.WrongTacho = false;
  Log(QStringLiteral("Waiting, step - 0"));

  bool toRms = false;
  if (s_.NeedSighting) {
    d_.sightingRan = true;
    s_.GainCode = 0;
    s_.Dlit = kSightingDlit;
    obs_.GaugesSetMax(2 * s_.Dlit);
    Log(QStringLiteral("\"Пристрелочний\" цикл - измерение"));
    Log(QStringLiteral("Waiting, step - 1"));
    if (!Record(false)) {
      FinalStep();
      return;
    }
    s_.AverNum = kSightingAverNum;
    if (!QFileInfo::exists(Paths().TestDatPath)) return;
    ReadRecording();
    obs_.GaugesSetMax(GaugeMaxFor(rec_));
    Log(QStringLiteral("\"Пристрелочний\" цикл - обработка"));
    Log(QStringLiteral("Waiting, step - 2"));
    s_.AdcPeak = 0;
    const ScanResult r = Scan();
    const RevolutionPeriod p = PeriodFromMarks(Pass::Sighting, r.M, r.First, r.Lend);
    s_.RevPeriod = p.RevPeriod;
    s_.RPM = p.RPM;
    if (s_.RPM < 1) {
      RaiseWrongTacho();
      const QString zero = FormatPicture(0.0, 2);
      obs_.ChartsResultLabels(QStringLiteral("V1o= ") + zero + QStringLiteral(" mm/sec"),
                              QStringLiteral("V2o= ") + zero + QStringLiteral(" mm/sec"));
      s_.V1o = 0;
      s_.V2o = 0;
      toRms = true;
    } else if (s_.RevPeriod <= 50 || s_.RevPeriod >= 5000) {
      s_.V1o = s_.V2o = s_.F1 = s_.F2 = 0;
      toRms = true;
    } else {
      s_.GainCode = GainFromPeak(s_.AdcPeak);
    }
  }

  if (!toRms) {
    s_.AverNum = AverNumFromText(s_.AverNumText);
    s_.Dlit = DlitFor(s_.RevPeriod, s_.AverNum);
    Log(QStringLiteral("Dlit=") + QString::number(s_.Dlit));
    obs_.GaugesSetMax(2 * s_.Dlit);
    Log(QStringLiteral("\"Рабочий\" цикл - измерение"));
    Log(QStringLiteral("Waiting, step - 3"));
    obs_.GaugesSetProgress(0);
    if (!Record(true)) {
      FinalStep();
      return;
    }
    ReadRecording();
    d_.workingRan = true;
    obs_.GaugesSetMax(GaugeMaxFor(rec_));
    Log(QStringLiteral("\"Рабочий\" цикл обработка - первый проход"));
    Log(QStringLiteral("Waiting, step - 4"));
    const ScanResult r = Scan();
    const RevolutionPeriod p = PeriodFromMarks(Pass::Working, r.M, r.First, r.Lend);
    s_.RevPeriod = p.RevPeriod;
    s_.RPM = p.RPM;
    d_.RevLen = p.RevLen;
    if (s_.RPM < 1) {
      RaiseWrongTacho();
    } else if (p.RevLen > kRevCapacity) {
      // Slower than the summing arrays can hold (below about 92 rev/min): no averaged
      // revolution, and no 1x results left over from an earlier measurement.
      d_.revolutionTooLong = true;
      RaiseWrongTacho();
      s_.V1o = s_.V2o = s_.F1 = s_.F2 = 0;
    } else {
      Average();
    }
  }

  RmsStep();
  FinalStep();
}

}  // namespace

int16_t AverNumFromText(const QString& text) {
  static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?[0-9]+$"));
  bool ok = false;
  const qlonglong v = whole.match(text).hasMatch() ? text.trimmed().toLongLong(&ok) : 0;
  if (!ok || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw MeasError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return static_cast<int16_t>(std::clamp<qlonglong>(v, kMinAverNum, kMaxAverNum));
}

int16_t DlitFor(double revPeriod, int averNum) {
  const int64_t blocks = Nearest(revPeriod / kFramesPerSecond * averNum * 3) + 1;
  return static_cast<int16_t>(
      std::clamp<int64_t>(blocks, kSightingDlit, std::numeric_limits<int16_t>::max()));
}

void MeasCycle(const CycleIo& io, CycleDetails* details) {
  CycleDetails local;
  Cycle cycle(io, details ? *details : local);
  if (details) *details = CycleDetails{};
  cycle.Run();
}

}  // namespace vintor
