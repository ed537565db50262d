#pragma once

// The loops that walk the frames of a recording, kept apart so that they are built for the
// vectoriser (see Measurement.cmake) and, on x86-64, a second time for AVX2 processors.

#include <cstdint>
#include <vector>

#include "measurement/MeasMath.h"

namespace vintor {

// Fills out[c] for each chunk of kSurveyChunkFrames frames (the last one may be shorter), and
// appends to `edges` the frame numbers (from 2, up to the largest 32-bit one) at which the
// tachometer falls from High to Low.
void SurveyChunks(const int16_t* samples, int64_t frames, ChunkStats* out,
                  std::vector<int32_t>& edges);

// Adds `count` frames from f, each channel sample less its mean in 16 bits, to the sums of
// positions 0 .. count - 1 held in pairs: channel 1 at pairs[2 i], channel 2 at pairs[2 i + 1].
void AddRevolution(const int16_t* f, int64_t count, int16_t mean1, int16_t mean2, int32_t* pairs);

// AverageRevolution with the side-by-side sums in `pairs`, which keeps its memory from call to
// call.
AveragingInfo AverageRevolutionInto(std::vector<int32_t>& pairs, const int16_t* samples,
                                    int64_t frames, int32_t First, double RevPeriod, int averNum,
                                    int32_t* s1, int32_t* s2, int capacity, ChannelMeans removed);

}  // namespace vintor
