#include "measurement/FrameKernels.h"

#include <algorithm>
#include <limits>

#include "measurement/MeasMath.h"

namespace vintor {
namespace {

constexpr int kChunk = kSurveyChunkFrames;
constexpr int kFrame = kFrameSamples;
constexpr int16_t kMin16 = std::numeric_limits<int16_t>::min();
constexpr int16_t kMax16 = std::numeric_limits<int16_t>::max();
// Up to this magnitude, a chunk's squares add up in 32 bits (2896^2 x 256 < 2^31).
constexpr int32_t kSmallSample = 2896;
static_assert(int64_t{kSmallSample} * kSmallSample * kChunk <= std::numeric_limits<int32_t>::max());

// One loop over `count` frames without early exit or branch, so that the compiler makes vector
// code of it; the hot call passes a constant count and gets a loop of known length. The squares
// add up in 32 bits, exact while no sample exceeds kSmallSample; a chunk that holds a larger
// one is summed again in 64 bits.
[[gnu::always_inline]] inline ChunkStats Chunk(const int16_t* __restrict f, int count) {
  int32_t s1 = 0, s2 = 0;
  uint32_t q1 = 0, q2 = 0;
  int16_t lo1 = kMax16, hi1 = kMin16, lo2 = kMax16, hi2 = kMin16, loT = kMax16, hiT = kMin16;
  for (int i = 0; i < count; ++i) {
    const int16_t x1 = f[i * kFrame];
    const int16_t x2 = f[i * kFrame + 1];
    const int16_t t = f[i * kFrame + 2];
    s1 += x1;
    s2 += x2;
    q1 += static_cast<uint32_t>(int32_t{x1} * x1);
    q2 += static_cast<uint32_t>(int32_t{x2} * x2);
    lo1 = x1 < lo1 ? x1 : lo1;
    hi1 = x1 > hi1 ? x1 : hi1;
    lo2 = x2 < lo2 ? x2 : lo2;
    hi2 = x2 > hi2 ? x2 : hi2;
    loT = t < loT ? t : loT;
    hiT = t > hiT ? t : hiT;
  }
  ChunkStats c;
  c.sum1 = s1;
  c.sum2 = s2;
  c.squares1 = q1;
  c.squares2 = q2;
  c.lo1 = lo1;
  c.hi1 = hi1;
  c.lo2 = lo2;
  c.hi2 = hi2;
  c.loT = loT;
  c.hiT = hiT;
  if (std::max({-int32_t{lo1}, int32_t{hi1}, -int32_t{lo2}, int32_t{hi2}}) > kSmallSample) {
    c.squares1 = c.squares2 = 0;
    for (int i = 0; i < count; ++i) {
      const int32_t x1 = f[i * kFrame];
      const int32_t x2 = f[i * kFrame + 1];
      c.squares1 += x1 * x1;
      c.squares2 += x2 * x2;
    }
  }
  return c;
}

}  // namespace

// The same loops once more for AVX2 (x86-64-v3), chosen when the program loads. Not under the
// sanitizers, whose run-time starts after such a choice is made.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VINTOR_FRAME_LOOP [[gnu::target_clones("arch=x86-64-v3", "default")]]
#else
#define VINTOR_FRAME_LOOP
#endif

VINTOR_FRAME_LOOP
void SurveyChunks(const int16_t* samples, int64_t frames, ChunkStats* out,
                  std::vector<int32_t>& edges) {
  const int64_t limit = std::numeric_limits<int32_t>::max();
  bool highBefore = false;  // frame 1 has no frame before it: its edge is the scan's
  for (int64_t c = 0, first = 0; first < frames; ++c, first += kChunk) {
    const int16_t* f = samples + first * kFrame;
    const auto count = static_cast<int>(std::min<int64_t>(kChunk, frames - first));
    const ChunkStats s = count == kChunk ? Chunk(f, kChunk) : Chunk(f, count);
    out[c] = s;
    // A falling edge needs a Low frame in the chunk and a High one in it or just before it;
    // such a chunk is looked at frame by frame while it is still in the cache.
    if (s.loT < kTachoHighLevel && (s.hiT >= kTachoHighLevel || highBefore)) {
      bool before = highBefore;
      for (int i = 0; i < count && first + i < limit; ++i) {
        const bool high = f[i * kFrame + 2] >= kTachoHighLevel;
        if (!high && before) edges.push_back(static_cast<int32_t>(first + i + 1));
        before = high;
      }
    }
    highBefore = f[(count - 1) * kFrame + 2] >= kTachoHighLevel;
  }
}

VINTOR_FRAME_LOOP
void AddRevolution(const int16_t* __restrict f, int64_t count, int16_t mean1, int16_t mean2,
                   int32_t* __restrict pairs) {
  const auto m1 = static_cast<uint16_t>(mean1);
  const auto m2 = static_cast<uint16_t>(mean2);
  for (int64_t i = 0; i < count; ++i) {
    pairs[2 * i] += static_cast<int16_t>(static_cast<uint16_t>(f[i * kFrame]) - m1);
    pairs[2 * i + 1] += static_cast<int16_t>(static_cast<uint16_t>(f[i * kFrame + 1]) - m2);
  }
}

}  // namespace vintor
