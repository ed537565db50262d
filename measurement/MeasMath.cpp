#include "measurement/MeasMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "measurement/FrameKernels.h"

namespace vintor {
namespace {

// cos and sin of l x 22.5 degrees to six decimals, as the program has always used them.
constexpr double kCos16[kHarmonicPoints] = {
    1.0,  0.923880,  0.707107,  0.382683,  0.0, -0.382683, -0.707107, -0.923880,
    -1.0, -0.923880, -0.707107, -0.382683, 0.0, 0.382683,  0.707107,  0.923880};
constexpr double kSin16[kHarmonicPoints] = {
    0.0, 0.382683,  0.707107,  0.923880,  1.0,  0.923880,  0.707107,  0.382683,
    0.0, -0.382683, -0.707107, -0.923880, -1.0, -0.923880, -0.707107, -0.382683};

// Frame numbers are 32-bit throughout; longer recordings are not read (RawRecording).
int64_t FrameLimit(int64_t frames) {
  return std::clamp<int64_t>(frames, 0, std::numeric_limits<int32_t>::max());
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

int64_t Nearest(double x) {
  const double r = std::nearbyint(x);  // default rounding: ties to even
  if (std::isnan(r)) return 0;
  if (r <= -9.2e18) return std::numeric_limits<int64_t>::min();
  if (r >= 9.2e18) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(r);
}

ChannelMeans ChannelMeansOf(const int16_t* samples, int64_t frames) {
  ChannelMeans means;
  if (frames <= 0) return means;
  // 64-bit sums: a 32-bit sum overflows on long recordings with a large offset.
  int64_t sum1 = 0, sum2 = 0;
  for (int64_t k = 0; k < frames; ++k) {
    sum1 += samples[k * kFrameSamples];
    sum2 += samples[k * kFrameSamples + 1];
  }
  means.mean1 = ClampToInt32(Nearest(static_cast<double>(sum1) / static_cast<double>(frames)));
  means.mean2 = ClampToInt32(Nearest(static_cast<double>(sum2) / static_cast<double>(frames)));
  return means;
}

ChannelMeans RemoveMeans(int16_t* samples, int64_t frames) {
  const ChannelMeans means = ChannelMeansOf(samples, frames);
  const auto m1 = static_cast<int16_t>(means.mean1);
  const auto m2 = static_cast<int16_t>(means.mean2);
  for (int64_t k = 0; k < frames; ++k) {
    int16_t* f = samples + k * kFrameSamples;
    f[0] = static_cast<int16_t>(static_cast<uint16_t>(f[0]) - static_cast<uint16_t>(m1));
    f[1] = static_cast<int16_t>(static_cast<uint16_t>(f[1]) - static_cast<uint16_t>(m2));
  }
  return means;
}

ScanResult ScanMarks(const int16_t* samples, int64_t frames, int averNum, ScanState& state,
                     int32_t& adcPeak, const IrregularIntervalFn& onIrregular) {
  FrameSurvey survey;
  survey.Survey(samples, frames, false);
  return survey.ScanMarks(averNum, state, adcPeak, onIrregular);
}

RevolutionPeriod PeriodFromMarks(Pass pass, int32_t M, int32_t First, int32_t Lend) {
  RevolutionPeriod p;
  const double span = static_cast<double>(int64_t{Lend} - int64_t{First});
  if (pass == Pass::Sighting) {
    const int32_t m = M < 3 ? 0 : M;
    p.RevPeriod = span / (m - 2);
    p.RPM = p.RevPeriod > 0 ? kSpeedConstant / p.RevPeriod : 0.0;
  } else {
    const int32_t m = M == 2 ? 3 : M;
    p.RevPeriod = span / (m - 2);
    // Fewer than two marks, or a second mark on the last frame, give no period at all.
    p.RPM = (M >= 2 && p.RevPeriod > 0) ? kSpeedConstant / p.RevPeriod * kWorkingSpeedFactor : 0.0;
  }
  if (p.RPM < 0) p.RPM = 0.0;
  p.RevLen = ClampToInt32(Nearest(p.RevPeriod));
  return p;
}

AveragingInfo AverageRevolution(const int16_t* samples, int64_t frames, int32_t First,
                                double RevPeriod, int averNum, int32_t* s1, int32_t* s2,
                                int capacity, ChannelMeans removed) {
  std::vector<int32_t> pairs;
  return AverageRevolutionInto(pairs, samples, frames, First, RevPeriod, averNum, s1, s2, capacity,
                               removed);
}

AveragingInfo AverageRevolutionInto(std::vector<int32_t>& pairs, const int16_t* samples,
                                    int64_t frames, int32_t First, double RevPeriod, int averNum,
                                    int32_t* s1, int32_t* s2, int capacity, ChannelMeans removed) {
  AveragingInfo info;
  // The two channels sum side by side, as they lie in a frame: the loop over the frames of a
  // revolution then has little to rearrange.
  pairs.assign(2 * static_cast<size_t>(std::max(capacity, 0)), 0);
  int64_t used = 0;
  const int64_t total = FrameLimit(frames);
  int64_t n = std::max<int64_t>(1, First);  // frames before First never add
  int64_t boundary = First;                 // First + nearest(m x RevPeriod)
  int m = 0;
  int64_t j = 0;
  while (n <= total) {
    if (n >= boundary) {
      ++m;
      if (m > averNum) break;
      j = 0;
      boundary = int64_t{First} + Nearest(m * RevPeriod);
    }
    // Frames n .. last belong to the current revolution (at least frame n itself).
    const int64_t last = std::max(n, std::min(boundary - 1, total));
    const int64_t count = last - n + 1;
    const int64_t room = std::clamp<int64_t>(capacity - j, 0, count);
    AddRevolution(samples + (n - 1) * kFrameSamples, room, static_cast<int16_t>(removed.mean1),
                  static_cast<int16_t>(removed.mean2), pairs.data() + 2 * j);
    used = std::max(used, j + room);
    if (room < count) info.clipped = true;
    j += count;
    n = last + 1;
  }
  for (int64_t i = 0; i < used; ++i) {
    s1[i] += pairs[static_cast<size_t>(2 * i)];
    s2[i] += pairs[static_cast<size_t>(2 * i + 1)];
  }
  info.revolutions = std::min(m, averNum);
  return info;
}

int32_t DivideSample(int32_t sum, int averNum) {
  if (sum == 0 || averNum == 0) return 0;
  return ClampToInt32(Nearest(static_cast<double>(sum) / averNum));
}

std::vector<int32_t> ResampleRevolution(const int32_t* averaged, int32_t revLen, int capacity) {
  auto at = [&](int64_t i) { return (i >= 0 && i < capacity) ? averaged[i] : 0; };
  std::vector<int32_t> points(kHarmonicPoints);
  for (int l = 0; l < kHarmonicPoints; ++l) {
    const double pos = static_cast<double>(int64_t{l} * (int64_t{revLen} - 1)) / kHarmonicPoints;
    const int64_t i = Nearest(pos);
    const int64_t a1 = at(i + 1);
    const int64_t a2 = at(i + 2);
    points[static_cast<size_t>(l)] =
        ClampToInt32(Nearest((pos - static_cast<double>(i)) * static_cast<double>(a2 - a1)) + a1);
  }
  return points;
}

FirstHarmonicResult FirstHarmonicOfPoints(const std::vector<int32_t>& points, double scale) {
  double sumCos = 0.0, sumSin = 0.0;
  for (int l = 0; l < kHarmonicPoints && l < static_cast<int>(points.size()); ++l) {
    const double v = scale * points[static_cast<size_t>(l)];
    sumCos += v * kCos16[l];
    sumSin += v * kSin16[l];
  }
  const double a = std::sqrt(sumCos * sumCos + sumSin * sumSin);
  double f = 0.0;
  if (a != 0.0) {
    f = std::acos(std::clamp(sumCos / a, -1.0, 1.0)) * kDegreesPerRadian;
    if (sumSin < 0) f = -f;
    if (f < 0) f += 360.0;
    if (f >= 360.0) f -= 360.0;  // -tiny + 360 may round up to 360
  }
  return {a / kAmplitudeDivisor, f};
}

FirstHarmonicResult FirstHarmonic(const int32_t* averaged, int32_t revLen, double scale,
                                  int capacity) {
  return FirstHarmonicOfPoints(ResampleRevolution(averaged, revLen, capacity), scale);
}

BroadbandResult BroadbandRms(const int16_t* samples, int64_t frames, double scale1, double scale2,
                             double offset1, double offset2) {
  FrameSurvey survey;
  survey.Survey(samples, frames, false);
  return survey.BroadbandRms(scale1, scale2, offset1, offset2);
}

BroadbandResult BroadbandRmsOfSquares(int64_t squares1, int64_t squares2, int64_t frames,
                                      double scale1, double scale2, double offset1,
                                      double offset2) {
  BroadbandResult r;
  if (frames < 1) {
    r.v1 = std::sqrt(std::max(0.0, -offset1));
    r.v2 = std::sqrt(std::max(0.0, -offset2));
    return r;
  }
  const double root = std::sqrt(static_cast<double>(frames));
  auto finish = [&](double scale, int64_t q, double offset) {
    const double raw = scale / root * std::sqrt(static_cast<double>(q));
    const double v = raw * raw - offset;
    return v < 0 ? 0.0 : std::sqrt(v);
  };
  r.v1 = finish(scale1, squares1, offset1);
  r.v2 = finish(scale2, squares2, offset2);
  return r;
}

}  // namespace vintor
