#include "platform/SimAdc.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <thread>

namespace vintor {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kRangeMv = 5000.0;
constexpr double kRangeStep = 3.16227;
constexpr int kMaxCode = 2047;
// The ADC clock is an integer division of this clock, in kHz.
constexpr double kBaseClockKhz = 48000.0;
constexpr double kMinRateKhz = 1.0;
constexpr double kMaxRateKhz = 120.0;
// Frames between two updates of the speed drift.
constexpr int kWanderStep = 64;

// splitmix64: small, fast and the same everywhere, so a seed gives the same recording.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
  double Gauss() {
    if (haveSpare_) {
      haveSpare_ = false;
      return spare_;
    }
    const double u = 1.0 - Uniform();  // (0, 1]
    const double v = Uniform();
    const double r = std::sqrt(-2.0 * std::log(u));
    spare_ = r * std::sin(kTwoPi * v);
    haveSpare_ = true;
    return r * std::cos(kTwoPi * v);
  }

 private:
  uint64_t state_;
  double spare_ = 0.0;
  bool haveSpare_ = false;
};

// The signals at the module's four inputs, in mV, frame by frame.
class Rotor {
 public:
  explicit Rotor(const SimConfig& c) : c_(c), random_(c.Seed) {
    theta_ = random_.Uniform();  // the recording starts somewhere in a revolution
    for (int ch = 0; ch < 2; ++ch) {
      const SimChannel& s = ch == 0 ? c.Ch1 : c.Ch2;
      Vib& v = vib_[ch];
      v.a1 = s.Amp1x * 11.28 / 8.0 * s.Sensitivity;
      v.p1 = s.Phase1x * kDeg;
      // Without unbalance the fixed part stays exactly as given.
      if (SimUnbalanceResponse(c, ch) != 0.0) {
        const std::complex<double> whole = SimVibration1x(c, ch);
        v.a1 = std::abs(whole) * 11.28 / 8.0 * s.Sensitivity;
        v.p1 = std::arg(whole);
      }
      v.a2 = std::numbers::sqrt2 * s.Amp2x * s.Sensitivity;
      v.p2 = s.Phase2x * kDeg;
      v.a3 = std::numbers::sqrt2 * s.Amp3x * s.Sensitivity;
      v.p3 = s.Phase3x * kDeg;
      v.noise = s.Noise * s.Sensitivity;
    }
    pulseStart_ = 1.0 - std::clamp(c.TachoWidthDeg, 0.0, 360.0) / 360.0;
  }

  void SetFrameRate(double framesPerSecond) { frameRate_ = framesPerSecond; }

  // Advances one frame; mv[0], mv[1] vibration, mv[2] tachometer, mv[3] the spare input.
  void Next(double* mv) {
    if (c_.RpmWander > 0 && frame_ % kWanderStep == 0) {
      // Ornstein-Uhlenbeck drift: RMS RpmWander, correlation time WanderTime.
      const double dt = kWanderStep / frameRate_;
      const double k = c_.WanderTime > 0 ? std::exp(-dt / c_.WanderTime) : 0.0;
      wander_ = wander_ * k + c_.RpmWander * std::sqrt(1.0 - k * k) * random_.Gauss();
    }
    ++frame_;
    theta_ += std::max(0.0, c_.Rpm + wander_) / 60.0 / frameRate_;
    const bool mark = theta_ >= 1.0;
    theta_ -= std::floor(theta_);
    const double a = kTwoPi * theta_;
    for (int ch = 0; ch < 2; ++ch) {
      const Vib& v = vib_[ch];
      double x = v.a1 * std::cos(a - v.p1);
      if (v.a2 != 0) x += v.a2 * std::cos(2 * a - v.p2);
      if (v.a3 != 0) x += v.a3 * std::cos(3 * a - v.p3);
      if (v.noise != 0) x += v.noise * random_.Gauss();
      mv[ch] = x;
    }
    // The pulse ends where the revolution begins: its falling edge is the mark.
    bool high = theta_ >= pulseStart_;
    if (c_.TachoFault == SimTachoFault::NoSignal) high = false;
    if (c_.TachoFault == SimTachoFault::Bounce) {
      if (mark) StartBounce();
      high = high || Bouncing();
    }
    mv[2] = (high ? c_.TachoHeightMv : 0.0) + c_.TachoNoiseMv * random_.Gauss();
    mv[3] = random_.Gauss();
  }

 private:
  struct Vib {
    double a1, p1, a2, p2, a3, p3, noise;
  };

  // A contact that bounces after it opens: 2 to 4 short pulses, evenly spread over a bounce
  // that lasts from a third of TachoBounceMs to all of it.
  void StartBounce() {
    const double seconds = c_.TachoBounceMs / 1000.0 * (1.0 + 2.0 * random_.Uniform()) / 3.0;
    bounces_ = 2 + static_cast<int>(random_.Uniform() * 3.0);
    bounceFrames_ = seconds * frameRate_;
    bounceStart_ = frame_;
    if (!(bounceFrames_ > 0)) bounces_ = 0;
  }
  // Pulse i of n is high over the last 60 % of its share of the bounce.
  bool Bouncing() const {
    if (bounces_ == 0) return false;
    const double t = static_cast<double>(frame_ - bounceStart_) / bounceFrames_;
    if (t >= 1.0) return false;
    const double share = t * bounces_;
    return share - std::floor(share) >= 0.4;
  }

  SimConfig c_;
  Random random_;
  Vib vib_[2]{};
  double frameRate_ = 25000.0;
  double theta_ = 0.0;  // revolutions after the mark, [0, 1)
  double wander_ = 0.0;
  double pulseStart_ = 1.0;
  uint64_t frame_ = 0;
  int bounces_ = 0;  // none before the first mark
  double bounceFrames_ = 0.0;
  uint64_t bounceStart_ = 0;
};

// Turns the rotor's voltages into the sample stream the control table asks for.
class SignalSource {
 public:
  explicit SignalSource(const SimConfig& c) : c_(c), rotor_(c) {}

  void Program(const AdcParsE154& pars) {
    channels_ = std::max<int>(1, pars.ChannelsQuantity);
    for (int i = 0; i < channels_; ++i) {
      const int entry = pars.ControlTable[static_cast<size_t>(i)];
      input_[i] = entry & 3;
      gain_[i] = kMaxCode / (kRangeMv / std::pow(kRangeStep, (entry >> 6) & 3));
    }
    rotor_.SetFrameRate(pars.KadrRate * 1000.0);
  }

  void Fill(int16_t* out, uint32_t words, uint64_t block) {
    if (c_.CounterPattern) {
      for (uint32_t i = 0; i < words; ++i) out[i] = static_cast<int16_t>((i + block) & 0x7FF);
      if (words > 0) out[0] = static_cast<int16_t>(block & 0xFFFF);
      if (words > 1) out[1] = static_cast<int16_t>((block >> 16) & 0xFFFF);
      return;
    }
    for (uint32_t i = 0; i < words; ++i) {
      if (pos_ == 0) rotor_.Next(mv_);
      const int input = input_[pos_];
      double code = std::nearbyint(mv_[input] * gain_[pos_]);
      if (input == 0) code += std::nearbyint(c_.Ch1.DcCodes);
      if (input == 1) code += std::nearbyint(c_.Ch2.DcCodes);
      out[i] = static_cast<int16_t>(std::clamp(code, double(-kMaxCode), double(kMaxCode)));
      if (++pos_ == channels_) pos_ = 0;
    }
  }

 private:
  SimConfig c_;
  Rotor rotor_;
  int channels_ = 4;
  int pos_ = 0;
  int input_[kAdcControlTableSize]{};
  double gain_[kAdcControlTableSize]{};
  double mv_[4]{};
};

void CopyText(char* dst, size_t size, const char* src) {
  std::memset(dst, 0, size);
  std::strncpy(dst, src, size - 1);
}

}  // namespace

// One simulated module. A worker thread, started by the first START_ADC, completes the queued
// requests in order, each when its samples would have been converted. The ADC never drops data:
// while no request is queued the samples wait, as if the module's buffer had no end.
class SimE154 final : public ILE154 {
 public:
  SimE154(SimAdcLibrary& lib, const SimConfig& config) : lib_(lib), c_(config), source_(config) {
    pars_.ClkSource = 1;
    pars_.InputMode = 2;
    pars_.ChannelsQuantity = 1;
    for (size_t i = 0; i < pars_.ControlTable.size(); ++i)
      pars_.ControlTable[i] = AdcControlEntry(int(i), 0);
    pars_.AdcRate = 100.0;
    pars_.InterKadrDelay = 0.01;
    pars_.KadrRate = 1.0 / (1.0 / pars_.AdcRate + pars_.InterKadrDelay);
  }

  bool OpenLDevice(uint16_t virtualSlot) override {
    ++lib_.openAttempts_;
    if (Fails(SimCall::OpenLDevice) || virtualSlot != c_.ModuleSlot) return false;
    open_ = true;
    return true;
  }

  bool ReleaseLInstance() override {
    const bool ok = !Fails(SimCall::ReleaseLInstance);
    {
      std::lock_guard lock(lib_.mutex_);
      lib_.instances_.erase(this);
    }
    Shutdown();
    --lib_.live_;
    delete this;
    return ok;
  }

  AdcDeviceHandle GetModuleHandle() override {
    if (!open_ || Fails(SimCall::GetModuleHandle)) return nullptr;
    return this;
  }

  bool GetModuleName(char* name) override {
    if (!open_ || Fails(SimCall::GetModuleName)) return false;
    CopyText(name, 8, c_.ModuleName.c_str());
    return true;
  }

  bool GetUsbSpeed(uint8_t* speed) override {
    if (!open_ || Fails(SimCall::GetUsbSpeed)) return false;
    *speed = c_.UsbHighSpeed ? 1 : 0;
    return true;
  }

  bool GET_ADC_PARS(AdcParsE154* pars) override {
    if (!open_ || Fails(SimCall::GET_ADC_PARS)) return false;
    *pars = pars_;
    return true;
  }

  bool SET_ADC_PARS(AdcParsE154* pars) override {
    if (!open_ || Fails(SimCall::SET_ADC_PARS)) return false;
    if (pars->ChannelsQuantity < 1 || pars->ChannelsQuantity > kAdcControlTableSize) return false;
    if (!(pars->AdcRate > 0) || !(pars->InterKadrDelay >= 0)) return false;
    const double rate = std::clamp(pars->AdcRate, kMinRateKhz, kMaxRateKhz);
    pars->AdcRate = kBaseClockKhz / std::round(kBaseClockKhz / rate);
    pars->KadrRate = 1.0 / (pars->ChannelsQuantity / pars->AdcRate + pars->InterKadrDelay);
    {
      std::lock_guard lock(mutex_);
      pars_ = *pars;
      source_.Program(pars_);
    }
    std::lock_guard lock(lib_.mutex_);
    lib_.lastSetPars_ = *pars;
    return true;
  }

  bool START_ADC() override {
    if (!open_ || Fails(SimCall::START_ADC)) return false;
    std::lock_guard lock(mutex_);
    running_ = true;
    startTime_ = std::chrono::steady_clock::now();
    startBlock_ = block_;
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
    cond_.notify_all();
    return true;
  }

  bool STOP_ADC() override {
    const int call = ++stopCalls_;
    {
      std::unique_lock lock(mutex_);
      running_ = false;
      cond_.notify_all();
      cond_.wait(lock, [this] { return !filling_; });
    }
    return !(Fails(SimCall::STOP_ADC) || call == c_.StopFailAt);
  }

  bool ReadData(IoReq* request) override {
    const int call = ++readCalls_;
    if (!open_ || Fails(SimCall::ReadData) || call == c_.ReadFailAt) return false;
    if (!request || !request->Buffer || request->NumberOfWordsToPass == 0 || !request->Overlapped ||
        !request->Overlapped->hEvent)
      return false;
    std::lock_guard lock(mutex_);
    request->NumberOfWordsPassed = 0;
    queue_.push_back(request);
    cond_.notify_all();
    return true;
  }

  bool GET_MODULE_DESCRIPTION(ModuleDescriptionE154* d) override {
    if (!open_ || Fails(SimCall::GET_MODULE_DESCRIPTION)) return false;
    CopyText(d->ModuleName, sizeof d->ModuleName, c_.ModuleName.c_str());
    CopyText(d->SerialNumber, sizeof d->SerialNumber, "5S000001");
    CopyText(d->Revision, sizeof d->Revision, "A");
    CopyText(d->McuName, sizeof d->McuName, "simulated");
    CopyText(d->McuDriverVersion, sizeof d->McuDriverVersion, "1.20");
    CopyText(d->McuDriverDate, sizeof d->McuDriverDate, "12.11.2008");
    return true;
  }

  // Drops every queued request; one being filled is finished first.
  void Cancel() {
    std::unique_lock lock(mutex_);
    queue_.clear();
    cond_.wait(lock, [this] { return !filling_; });
  }

  bool Fails(SimCall call) const { return c_.FailCall == call; }

 private:
  ~SimE154() override = default;

  void Shutdown() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
      running_ = false;
      queue_.clear();
      cond_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
  }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      cond_.wait(lock, [this] { return quit_ || (running_ && !queue_.empty()); });
      if (quit_) return;
      const uint64_t n = block_;
      if (c_.ReadHangAt > 0 && n + 1 == uint64_t(c_.ReadHangAt)) {
        cond_.wait(lock, [this] { return quit_ || !running_; });
        continue;
      }
      IoReq* request = queue_.front();
      if (c_.Pace > 0) {
        const double frames = double(request->NumberOfWordsToPass) / pars_.ChannelsQuantity;
        const double seconds = frames / (pars_.KadrRate * 1000.0) / c_.Pace;
        const auto due =
            startTime_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(seconds * double(n + 1 - startBlock_)));
        if (cond_.wait_until(lock, due, [this] { return quit_ || !running_; })) continue;
      }
      queue_.pop_front();
      filling_ = true;
      lock.unlock();
      source_.Fill(request->Buffer, request->NumberOfWordsToPass, n);
      request->NumberOfWordsPassed = request->NumberOfWordsToPass;
      request->Overlapped->hEvent->Set();
      ++lib_.blocksDelivered_;
      lock.lock();
      filling_ = false;
      ++block_;
      cond_.notify_all();
    }
  }

  SimAdcLibrary& lib_;
  const SimConfig c_;
  bool open_ = false;
  std::atomic<int> stopCalls_{0};
  std::atomic<int> readCalls_{0};

  std::mutex mutex_;
  std::condition_variable cond_;
  AdcParsE154 pars_;
  SignalSource source_;
  std::deque<IoReq*> queue_;
  bool running_ = false;
  bool filling_ = false;
  bool quit_ = false;
  uint64_t block_ = 0;
  uint64_t startBlock_ = 0;
  std::chrono::steady_clock::time_point startTime_;
  std::thread worker_;
};

SimAdcLibrary::~SimAdcLibrary() = default;

void SimAdcLibrary::SetConfig(const SimConfig& config) {
  std::lock_guard lock(mutex_);
  fixed_ = true;
  config_ = config;
  recordings_ = 0;
}

void SimAdcLibrary::SetConfigFile(const QString& path) {
  std::lock_guard lock(mutex_);
  fixed_ = false;
  file_ = path;
  recordings_ = 0;
}

void SimAdcLibrary::UseConfigFile() {
  std::lock_guard lock(mutex_);
  fixed_ = false;
  recordings_ = 0;
}

SimConfig SimAdcLibrary::CurrentConfig() {
  std::lock_guard lock(mutex_);
  if (fixed_) return config_;
  SimConfig config;
  configErrors_.clear();
  QFile file(file_.isEmpty() ? QDir::current().filePath(QString::fromLatin1(kDefaultFile)) : file_);
  if (file.open(QIODevice::ReadOnly))
    configErrors_ = ParseSimConfig(QString::fromUtf8(file.readAll()), &config);
  for (const QString& e : configErrors_)
    qWarning("%s: %s", qPrintable(file.fileName()), qPrintable(e));
  return config;
}

uint32_t SimAdcLibrary::GetDllVersion() { return CurrentConfig().DllVersion; }

ILE154* SimAdcLibrary::CreateLInstance(const char* deviceName) {
  SimConfig config = CurrentConfig();
  {
    // Each recording after a (re)configuration draws fresh noise and drift, in a fixed order,
    // so repeated measurements differ as real ones do and a sequence stays reproducible.
    std::lock_guard lock(mutex_);
    config.Seed += recordings_++;
  }
  if (config.FailCall == SimCall::CreateLInstance || !deviceName ||
      std::strcmp(deviceName, "e154") != 0)
    return nullptr;
  auto* module = new SimE154(*this, config);
  ++live_;
  std::lock_guard lock(mutex_);
  instances_.insert(module);
  return module;
}

bool SimAdcLibrary::CancelIo(AdcDeviceHandle handle) {
  std::lock_guard lock(mutex_);
  if (!instances_.count(handle)) return false;
  auto* module = static_cast<SimE154*>(handle);
  module->Cancel();
  return !module->Fails(SimCall::CancelIo);
}

AdcParsE154 SimAdcLibrary::LastSetPars() const {
  std::lock_guard lock(mutex_);
  return lastSetPars_;
}

QStringList SimAdcLibrary::LastConfigErrors() const {
  std::lock_guard lock(mutex_);
  return configErrors_;
}

// ---- rotor model ----

std::complex<double> SimPlaneUnbalance(const SimConfig& config, int plane) {
  const SimPlane& p = config.Plane[plane];
  std::complex<double> u = std::polar(p.Unbalance.Amount, p.Unbalance.AngleDeg * kDeg);
  for (const SimMass& m : p.Masses) {
    const double r = m.RadiusMm > 0 ? m.RadiusMm : p.RadiusMm;
    u += m.Grams * r * std::polar(1.0, m.AngleDeg * kDeg);  // polar() wants rho >= 0
  }
  return u;
}

std::complex<double> SimUnbalanceResponse(const SimConfig& config, int channel) {
  std::complex<double> v = 0.0;
  for (int plane = 0; plane < 2; ++plane) {
    const std::complex<double> u = SimPlaneUnbalance(config, plane);
    if (u == 0.0) continue;
    const SimPolar& k = config.Influence[channel][plane];
    // A mass ahead of the trial-mass point passes the sensor earlier, so its vibration peaks
    // at a smaller angle after the mark: rotor angles count against the measured phase.
    v += std::polar(k.Amount / 1000.0, k.AngleDeg * kDeg) * std::conj(u);
  }
  return v;
}

std::complex<double> SimVibration1x(const SimConfig& config, int channel) {
  const SimChannel& s = channel == 0 ? config.Ch1 : config.Ch2;
  return std::polar(s.Amp1x, s.Phase1x * kDeg) + SimUnbalanceResponse(config, channel);
}

// ---- parameter file ----

namespace {

const std::pair<SimCall, const char*> kCallNames[] = {
    {SimCall::None, "none"},
    {SimCall::CreateLInstance, "CreateLInstance"},
    {SimCall::OpenLDevice, "OpenLDevice"},
    {SimCall::ReleaseLInstance, "ReleaseLInstance"},
    {SimCall::GetModuleHandle, "GetModuleHandle"},
    {SimCall::GetModuleName, "GetModuleName"},
    {SimCall::GetUsbSpeed, "GetUsbSpeed"},
    {SimCall::GET_ADC_PARS, "GET_ADC_PARS"},
    {SimCall::SET_ADC_PARS, "SET_ADC_PARS"},
    {SimCall::START_ADC, "START_ADC"},
    {SimCall::STOP_ADC, "STOP_ADC"},
    {SimCall::ReadData, "ReadData"},
    {SimCall::GET_MODULE_DESCRIPTION, "GET_MODULE_DESCRIPTION"},
    {SimCall::CancelIo, "CancelIo"},
};

std::optional<double> Number(const QString& text) {
  bool ok = false;
  const double v = QLocale::c().toDouble(text, &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

// "amount@degrees" (or a lone amount at 0 degrees) with the amount in [lo, hi].
std::optional<SimPolar> PolarValue(const QString& text, double lo, double hi) {
  const QStringList parts = text.split(QLatin1Char('@'));
  if (parts.size() > 2) return std::nullopt;
  const auto amount = Number(parts[0].trimmed());
  if (!amount || *amount < lo || *amount > hi) return std::nullopt;
  SimPolar p{*amount, 0.0};
  if (parts.size() == 2) {
    const auto angle = Number(parts[1].trimmed());
    if (!angle || std::fabs(*angle) > 1e6) return std::nullopt;
    p.AngleDeg = *angle;
  }
  return p;
}

}  // namespace

QString FormatSimNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, result.ptr - buffer);
}

void ParseSimMasses(const QString& text, std::vector<SimMass>* masses, QStringList* bad) {
  for (const QString& item : text.split(QLatin1Char(';'))) {
    const QString entry = item.trimmed();
    if (entry.isEmpty()) continue;
    const QStringList parts = entry.split(QLatin1Char('@'));
    std::optional<double> grams, angle, radius = 0.0;
    if (parts.size() == 2 || parts.size() == 3) {
      grams = Number(parts[0].trimmed());
      angle = Number(parts[1].trimmed());
      if (parts.size() == 3) radius = Number(parts[2].trimmed());
    }
    if (!grams || !angle || !radius || std::fabs(*grams) > 1e6 || std::fabs(*angle) > 1e6 ||
        (parts.size() == 3 && !(*radius > 0 && *radius <= 1e6))) {
      if (bad) *bad << entry;
      continue;
    }
    masses->push_back({*grams, *angle, *radius});
  }
}

QString FormatSimMasses(const std::vector<SimMass>& masses) {
  QStringList items;
  for (const SimMass& m : masses) {
    QString item = FormatSimNumber(m.Grams) + QLatin1Char('@') + FormatSimNumber(m.AngleDeg);
    if (m.RadiusMm > 0) item += QLatin1Char('@') + FormatSimNumber(m.RadiusMm);
    items << item;
  }
  return items.join(QStringLiteral("; "));
}

QString SimTachoFaultName(SimTachoFault fault) {
  switch (fault) {
    case SimTachoFault::None:
      return QStringLiteral("none");
    case SimTachoFault::NoSignal:
      return QStringLiteral("no_signal");
    case SimTachoFault::Bounce:
      return QStringLiteral("bounce");
  }
  return QString();
}

bool SimTachoFaultFromName(const QString& name, SimTachoFault* fault) {
  for (SimTachoFault f : {SimTachoFault::None, SimTachoFault::NoSignal, SimTachoFault::Bounce}) {
    if (name.compare(SimTachoFaultName(f), Qt::CaseInsensitive) == 0) {
      *fault = f;
      return true;
    }
  }
  return false;
}

QString SimCallName(SimCall call) {
  for (const auto& [c, name] : kCallNames)
    if (c == call) return QString::fromLatin1(name);
  return QString();
}

bool SimCallFromName(const QString& name, SimCall* call) {
  for (const auto& [c, n] : kCallNames) {
    if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
      *call = c;
      return true;
    }
  }
  return false;
}

namespace {

using Setter = std::function<bool(const QString&)>;

// Every key of the parameter file but the mass lists, each with what reads its value into `c`.
std::map<QString, Setter> SimKeys(SimConfig& c) {
  auto real = [](double* field, double lo, double hi) -> Setter {
    return [=](const QString& v) {
      const auto x = Number(v);
      if (!x || *x < lo || *x > hi) return false;
      *field = *x;
      return true;
    };
  };
  auto whole = [](int* field, int lo, int hi) -> Setter {
    return [=](const QString& v) {
      bool ok = false;
      const int x = QLocale::c().toInt(v, &ok);
      if (!ok || x < lo || x > hi) return false;
      *field = x;
      return true;
    };
  };
  auto flag = [](bool* field) -> Setter {
    return [=](const QString& v) {
      const QString l = v.toLower();
      if (l == QLatin1String("1") || l == QLatin1String("yes") || l == QLatin1String("true"))
        *field = true;
      else if (l == QLatin1String("0") || l == QLatin1String("no") || l == QLatin1String("false"))
        *field = false;
      else
        return false;
      return true;
    };
  };
  constexpr double kBig = 1e6;
  std::map<QString, Setter> keys = {
      {QStringLiteral("seed"),
       [&c](const QString& v) {
         bool ok = false;
         const qulonglong x = v.toULongLong(&ok, 0);
         if (ok) c.Seed = x;
         return ok;
       }},
      {QStringLiteral("rpm"), real(&c.Rpm, 0, 60000)},
      {QStringLiteral("rpm_wander"), real(&c.RpmWander, 0, kBig)},
      {QStringLiteral("wander_time"), real(&c.WanderTime, 0, kBig)},
      {QStringLiteral("tacho_height"), real(&c.TachoHeightMv, -kBig, kBig)},
      {QStringLiteral("tacho_width"), real(&c.TachoWidthDeg, 0, 360)},
      {QStringLiteral("tacho_noise"), real(&c.TachoNoiseMv, 0, kBig)},
      {QStringLiteral("tacho_fault"),
       [&c](const QString& v) { return SimTachoFaultFromName(v, &c.TachoFault); }},
      {QStringLiteral("tacho_bounce_time"), real(&c.TachoBounceMs, 0, 1000)},
      {QStringLiteral("pace"), real(&c.Pace, 0, kBig)},
      {QStringLiteral("pattern"),
       [&c](const QString& v) {
         if (v == QLatin1String("rotor"))
           c.CounterPattern = false;
         else if (v == QLatin1String("counter"))
           c.CounterPattern = true;
         else
           return false;
         return true;
       }},
      {QStringLiteral("usb_high_speed"), flag(&c.UsbHighSpeed)},
      {QStringLiteral("module_slot"), whole(&c.ModuleSlot, 0, 1 << 16)},
      {QStringLiteral("module_name"),
       [&c](const QString& v) {
         c.ModuleName = v.toStdString();
         return true;
       }},
      {QStringLiteral("dll_version"),
       [&c](const QString& v) {
         const QStringList parts = v.split(QLatin1Char('.'));
         bool ok1 = false, ok2 = true;
         if (parts.size() == 2) {
           const uint major = parts[0].toUInt(&ok1), minor = parts[1].toUInt(&ok2);
           if (ok1 && ok2 && major < 0x10000 && minor < 0x10000) c.DllVersion = major << 16 | minor;
         } else if (parts.size() == 1) {
           c.DllVersion = v.toUInt(&ok1, 0);
         }
         return ok1 && ok2;
       }},
      {QStringLiteral("fail_call"),
       [&c](const QString& v) { return SimCallFromName(v, &c.FailCall); }},
      {QStringLiteral("stop_fail_at"), whole(&c.StopFailAt, 0, 1 << 30)},
      {QStringLiteral("read_fail_at"), whole(&c.ReadFailAt, 0, 1 << 30)},
      {QStringLiteral("read_hang_at"), whole(&c.ReadHangAt, 0, 1 << 30)},
  };
  auto polar = [](SimPolar* field, double lo, double hi) -> Setter {
    return [=](const QString& v) {
      const auto p = PolarValue(v, lo, hi);
      if (p) *field = *p;
      return p.has_value();
    };
  };
  for (int j = 1; j <= 2; ++j) {
    SimPlane& plane = c.Plane[j - 1];
    keys[QStringLiteral("unbalance%1").arg(j)] = polar(&plane.Unbalance, 0, kBig);
    keys[QStringLiteral("radius%1").arg(j)] = real(&plane.RadiusMm, 1e-6, kBig);
    for (int i = 1; i <= 2; ++i)
      keys[QStringLiteral("influence%1%2").arg(i).arg(j)] =
          polar(&c.Influence[i - 1][j - 1], 0, kBig);
  }
  for (int ch = 1; ch <= 2; ++ch) {
    SimChannel& s = ch == 1 ? c.Ch1 : c.Ch2;
    const QString p = QStringLiteral("ch%1_").arg(ch);
    keys[p + "1x"] = real(&s.Amp1x, 0, kBig);
    keys[p + "1x_phase"] = real(&s.Phase1x, -kBig, kBig);
    keys[p + "2x"] = real(&s.Amp2x, 0, kBig);
    keys[p + "2x_phase"] = real(&s.Phase2x, -kBig, kBig);
    keys[p + "3x"] = real(&s.Amp3x, 0, kBig);
    keys[p + "3x_phase"] = real(&s.Phase3x, -kBig, kBig);
    keys[p + "noise"] = real(&s.Noise, 0, kBig);
    keys[p + "dc"] = real(&s.DcCodes, -kBig, kBig);
    keys[p + "sensitivity"] = real(&s.Sensitivity, 1e-6, kBig);
  }
  return keys;
}

bool IsMassesKey(const QString& key) {
  return key == QLatin1String("masses1") || key == QLatin1String("masses2");
}

}  // namespace

bool IsSimConfigKey(const QString& key) {
  SimConfig scratch;
  return IsMassesKey(key) || SimKeys(scratch).count(key) != 0;
}

QStringList ParseSimConfig(const QString& text, SimConfig* config) {
  SimConfig& c = *config;
  const std::map<QString, Setter> keys = SimKeys(c);
  QStringList errors;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    const qsizetype hash = line.indexOf(QLatin1Char('#'));
    if (hash >= 0) line.truncate(hash);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString key = eq < 0 ? line : line.left(eq).trimmed().toLower();
    const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
    if (eq >= 0 && IsMassesKey(key)) {
      // A list replaces the plane's masses; an entry it cannot read is left out alone.
      std::vector<SimMass>& masses = c.Plane[key.back() == QLatin1Char('1') ? 0 : 1].Masses;
      QStringList bad;
      masses.clear();
      ParseSimMasses(value, &masses, &bad);
      for (const QString& b : bad)
        errors << QStringLiteral("line %1: bad mass \"%2\" for %3").arg(i + 1).arg(b, key);
      continue;
    }
    auto it = keys.find(key);
    if (eq < 0 || it == keys.end())
      errors << QStringLiteral("line %1: unknown setting \"%2\"").arg(i + 1).arg(key);
    else if (!it->second(value))
      errors << QStringLiteral("line %1: bad value \"%2\" for %3").arg(i + 1).arg(value, key);
  }
  return errors;
}

}  // namespace vintor
