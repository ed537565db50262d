// FrameSurvey (MeasMath.h): the steps of a working pass from one walk over the frames.
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "measurement/FrameKernels.h"
#include "measurement/MeasMath.h"

namespace vintor {
namespace {

constexpr int kChunk = kSurveyChunkFrames;
constexpr int16_t kMin16 = std::numeric_limits<int16_t>::min();
constexpr int16_t kMax16 = std::numeric_limits<int16_t>::max();

// The mean-free sample as RemoveMeans stores it: the subtraction wraps in 16 bits.
inline int16_t Less(int16_t x, int16_t mean) {
  return static_cast<int16_t>(static_cast<uint16_t>(x) - static_cast<uint16_t>(mean));
}

inline bool High(int16_t t) { return t >= kTachoHighLevel; }

int32_t MeanOf(int64_t sum, int64_t frames) {
  const int64_t m = Nearest(static_cast<double>(sum) / static_cast<double>(frames));
  return static_cast<int32_t>(std::clamp<int64_t>(m, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

void FrameSurvey::Survey(const int16_t* samples, int64_t frames, bool removeMeans) {
  samples_ = samples;
  frames_ = std::max<int64_t>(frames, 0);
  chunks_.resize(static_cast<size_t>((frames_ + kChunk - 1) / kChunk));
  edges_.clear();
  SurveyChunks(samples, frames_, chunks_.data(), edges_);
  all_ = ChunkStats{};
  for (const ChunkStats& s : chunks_) {
    all_.sum1 += s.sum1;
    all_.sum2 += s.sum2;
    all_.squares1 += s.squares1;
    all_.squares2 += s.squares2;
    all_.lo1 = std::min(all_.lo1, s.lo1);
    all_.hi1 = std::max(all_.hi1, s.hi1);
    all_.lo2 = std::min(all_.lo2, s.lo2);
    all_.hi2 = std::max(all_.hi2, s.hi2);
  }
  means_ = ChannelMeans{};
  if (frames_ > 0) means_ = {MeanOf(all_.sum1, frames_), MeanOf(all_.sum2, frames_)};
  removed_ = removeMeans ? means_ : ChannelMeans{};
}

// No sample of the channel wraps when its mean is taken off: the sums then give the squares
// of the mean-free samples, and the chunk ranges give their peak.
bool FrameSurvey::WrapFree(int channel) const {
  if (frames_ == 0) return true;
  const int64_t m = channel == 1 ? removed_.mean1 : removed_.mean2;
  const int64_t lo = channel == 1 ? all_.lo1 : all_.lo2;
  const int64_t hi = channel == 1 ? all_.hi1 : all_.hi2;
  return hi - m <= kMax16 && lo - m >= kMin16;
}

int32_t FrameSurvey::PeakUpTo(int64_t last) const {
  last = std::clamp<int64_t>(last, 0, frames_);
  if (last == 0) return 0;
  const auto m1 = static_cast<int16_t>(removed_.mean1);
  const auto m2 = static_cast<int16_t>(removed_.mean2);
  if (!WrapFree(1) || !WrapFree(2)) {
    int32_t peak = 0;
    for (int64_t k = 0; k < last; ++k) {
      const int16_t* f = samples_ + k * kFrameSamples;
      peak = std::max({peak, std::abs(int32_t{Less(f[0], m1)}), std::abs(int32_t{Less(f[1], m2)})});
    }
    return peak;
  }
  int16_t lo1 = kMax16, hi1 = kMin16, lo2 = kMax16, hi2 = kMin16;
  const auto whole = static_cast<size_t>(last / kChunk);
  for (size_t c = 0; c < whole; ++c) {
    lo1 = std::min(lo1, chunks_[c].lo1);
    hi1 = std::max(hi1, chunks_[c].hi1);
    lo2 = std::min(lo2, chunks_[c].lo2);
    hi2 = std::max(hi2, chunks_[c].hi2);
  }
  for (int64_t k = static_cast<int64_t>(whole) * kChunk; k < last; ++k) {
    const int16_t* f = samples_ + k * kFrameSamples;
    lo1 = std::min(lo1, f[0]);
    hi1 = std::max(hi1, f[0]);
    lo2 = std::min(lo2, f[1]);
    hi2 = std::max(hi2, f[1]);
  }
  return std::max(
      {hi1 - removed_.mean1, removed_.mean1 - lo1, hi2 - removed_.mean2, removed_.mean2 - lo2});
}

ScanResult FrameSurvey::ScanMarks(int averNum, ScanState& state, int32_t& adcPeak,
                                  const IrregularIntervalFn& onIrregular) const {
  ScanResult r;
  r.First = state.First;
  r.marks.reserve(static_cast<size_t>(std::max(averNum, 0)) + 5);
  const int64_t total = std::min<int64_t>(frames_, std::numeric_limits<int32_t>::max());
  const int32_t markLimit = averNum + 4;
  int32_t lastMark = 0;
  bool stopped = false;
  // Frames between edges change nothing but the peak, which the chunks hold.
  auto edgeAt = [&](int32_t frame) {
    state.Delta = frame - lastMark;
    const int64_t difference = std::llabs(int64_t{state.Delta} - int64_t{state.DeltaOld});
    if (state.DeltaOld > 0 && r.M > 1 && difference > kIntervalTolerance && onIrregular)
      onIrregular(r.M, difference);
    state.DeltaOld = state.Delta;
    if (state.Delta <= kMinMarkInterval) return;
    r.marks.push_back(frame);
    lastMark = frame;
    ++r.M;
    if (r.M == 2) r.First = frame;
    if (r.M > markLimit) {
      stopped = true;
      r.Lend = frame;
    }
  };
  // Frame 1 falls against the level the previous scan of the cycle left.
  if (total >= 1 && state.previousHigh && !High(samples_[2])) edgeAt(1);
  for (size_t e = 0; !stopped && e < edges_.size() && edges_[e] <= total; ++e) edgeAt(edges_[e]);
  if (stopped) {
    state.previousHigh = false;  // a falling edge ends Low
  } else {
    r.Lend = static_cast<int32_t>(total);
    if (total >= 1) state.previousHigh = High(samples_[(total - 1) * kFrameSamples + 2]);
  }
  state.First = r.First;
  adcPeak = std::max(adcPeak, PeakUpTo(r.Lend));
  return r;
}

AveragingInfo FrameSurvey::AverageRevolution(int32_t First, double RevPeriod, int averNum,
                                             int32_t* s1, int32_t* s2, int capacity) const {
  return AverageRevolutionInto(pairs_, samples_, frames_, First, RevPeriod, averNum, s1, s2,
                               capacity, removed_);
}

BroadbandResult FrameSurvey::BroadbandRms(double scale1, double scale2, double offset1,
                                          double offset2) const {
  // Sum of (x - m)^2 = sum x^2 - 2 m sum x + n m^2, exact in 64 bits for 32-bit frame counts.
  auto centred = [&](int channel) {
    const int64_t m = channel == 1 ? removed_.mean1 : removed_.mean2;
    const int64_t sum = channel == 1 ? all_.sum1 : all_.sum2;
    const int64_t squares = channel == 1 ? all_.squares1 : all_.squares2;
    if (WrapFree(channel)) return squares - 2 * m * sum + frames_ * m * m;
    const auto m16 = static_cast<int16_t>(m);
    int64_t q = 0;
    for (int64_t k = 0; k < frames_; ++k) {
      const int32_t x = Less(samples_[k * kFrameSamples + (channel - 1)], m16);
      q += x * x;
    }
    return q;
  };
  return BroadbandRmsOfSquares(centred(1), centred(2), frames_, scale1, scale2, offset1, offset2);
}

}  // namespace vintor
