#pragma once

// Synthetic raw recordings for the measurement tests and benchmarks: a rotor turning at a fixed
// period with a once-per-revolution tachometer pulse and sinusoidal vibration on both channels.

#include <QFile>
#include <QString>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace vintor::test {

struct SynthChannel {
  double amp = 0.0;    // codes, peak
  double phase = 0.0;  // degrees after the mark at which the component peaks
  double order = 1.0;  // periods per revolution
  double dc = 0.0;     // offset, codes
  double noise = 0.0;  // RMS of white noise, codes
};

struct SynthSpec {
  int64_t frames = 3 * 16384;
  double period = 500.0;     // frames per revolution; <= 0: the tachometer stays Low
  double firstEdge = 120.0;  // frame number (from 1) of the first falling edge
  int pulseWidth = 20;       // frames High before each falling edge
  int16_t tachoHigh = 2000;
  int16_t tachoLow = 0;
  SynthChannel ch1, ch2;
  uint32_t seed = 7;
};

// Amplitude in codes that the program reads back as `v1o` mm/s (8 x a x K / 11.28 = v1o).
inline double CodesFor1x(double v1o, double scale) { return v1o * 11.28 / (8.0 * scale); }

inline std::vector<int16_t> MakeRecording(const SynthSpec& s) {
  std::vector<int16_t> out(static_cast<size_t>(s.frames) * 4, 0);
  std::mt19937 rng(s.seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  // Tachometer: High for pulseWidth frames before every edge.
  if (s.period > 0) {
    for (int64_t r = 0;; ++r) {
      const auto edge = static_cast<int64_t>(std::nearbyint(s.firstEdge + r * s.period));
      if (edge - s.pulseWidth > s.frames) break;
      for (int64_t k = std::max<int64_t>(1, edge - s.pulseWidth); k < edge && k <= s.frames; ++k)
        out[static_cast<size_t>(k - 1) * 4 + 2] = 1;
    }
  }
  auto value = [&](const SynthChannel& c, int64_t k) {
    double v = c.dc;
    if (s.period > 0 && c.amp != 0.0) {
      const double angle = 2.0 * std::numbers::pi * (k - s.firstEdge) / s.period;
      v += c.amp * std::cos(c.order * angle - c.phase * std::numbers::pi / 180.0);
    }
    if (c.noise > 0) v += c.noise * gauss(rng);
    return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
  };
  for (int64_t k = 1; k <= s.frames; ++k) {
    int16_t* f = out.data() + static_cast<size_t>(k - 1) * 4;
    f[0] = value(s.ch1, k);
    f[1] = value(s.ch2, k);
    f[2] = f[2] ? s.tachoHigh : s.tachoLow;
    f[3] = 0;
  }
  return out;
}

inline bool WriteRaw(const QString& path, const std::vector<int16_t>& samples, int extraBytes = 0) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const auto bytes = static_cast<qint64>(samples.size() * sizeof(int16_t));
  if (f.write(reinterpret_cast<const char*>(samples.data()), bytes) != bytes) return false;
  if (extraBytes > 0) f.write(QByteArray(extraBytes, '\x7f'));
  return true;
}

}  // namespace vintor::test
