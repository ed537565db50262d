#pragma once

// The loops that walk the frames of a recording, kept apart so that they are built for the
// vectoriser (see Measurement.cmake) and, on x86-64, a second time for AVX2 processors.

#include <cstdint>
#include <vector>

namespace vintor {

// Frames per chunk of a survey: a chunk's sums fit in 32 bits.
inline constexpr int kSurveyChunkFrames = 256;

// What one chunk of frames holds: the sums and the sums of squares of both channels, and the
// range of both channels and of the tachometer.
struct ChunkStats {
  int64_t sum1 = 0, sum2 = 0;
  int64_t squares1 = 0, squares2 = 0;
  int16_t lo1 = INT16_MAX, hi1 = INT16_MIN, lo2 = INT16_MAX, hi2 = INT16_MIN;
  int16_t loT = INT16_MAX, hiT = INT16_MIN;
};

// Fills out[c] for each chunk of kSurveyChunkFrames frames (the last one may be shorter), and
// appends to `edges` the frame numbers (from 2, up to the largest 32-bit one) at which the
// tachometer falls from High to Low.
void SurveyChunks(const int16_t* samples, int64_t frames, ChunkStats* out,
                  std::vector<int32_t>& edges);

// Adds `count` frames from f, each channel sample less its mean in 16 bits, to s1[0 ..] and
// s2[0 ..].
void AddRevolution(const int16_t* f, int64_t count, int16_t mean1, int16_t mean2, int32_t* s1,
                   int32_t* s2);

}  // namespace vintor
