#pragma once

// One walk over the frames of a recording that gathers what the mark scan, the peak, the means
// and the broadband RMS need, so that a working pass reads the recording twice instead of six
// times (means, mean removal, scan, averaging, RMS) and never writes it. The results are those of
// RemoveMeans followed by ScanMarks, AverageRevolution and BroadbandRms on the mean-free copy.

#include <cstdint>
#include <vector>

#include "measurement/FrameKernels.h"
#include "measurement/MeasMath.h"

namespace vintor {

class FrameSurvey {
 public:
  // Walks every frame. The samples are only read, and must stay in place and unchanged while the
  // survey is used. With `removeMeans` the steps below see every channel sample less its channel
  // mean in 16 bits, as RemoveMeans leaves a recording; without it they see the samples as they
  // are (a recording whose means are already removed).
  void Survey(const int16_t* samples, int64_t frames, bool removeMeans = true);

  int64_t frames() const { return frames_; }
  // Means of the two channels (0 for an empty recording), whether removed or not.
  const ChannelMeans& means() const { return means_; }

  // As ScanMarks on the mean-free recording.
  ScanResult ScanMarks(int averNum, ScanState& state, int32_t& adcPeak,
                       const IrregularIntervalFn& onIrregular = {}) const;
  // As AverageRevolution on the mean-free recording.
  AveragingInfo AverageRevolution(int32_t First, double RevPeriod, int averNum, int32_t* s1,
                                  int32_t* s2, int capacity = kRevCapacity) const;
  // As BroadbandRms on the mean-free recording.
  BroadbandResult BroadbandRms(double scale1, double scale2, double offset1, double offset2) const;

 private:
  // Largest |x1|, |x2| of the mean-free frames 1 .. last.
  int32_t PeakUpTo(int64_t last) const;
  bool WrapFree(int channel) const;

  const int16_t* samples_ = nullptr;
  int64_t frames_ = 0;
  ChannelMeans means_;
  ChannelMeans removed_;            // what the steps subtract: the means, or 0
  ChunkStats all_;                  // the whole recording, samples as stored
  std::vector<ChunkStats> chunks_;  // each kSurveyChunkFrames frames: the peak up to a frame
  // Frame numbers (from 2) at which the tachometer falls from High to Low.
  std::vector<int32_t> edges_;
};

}  // namespace vintor
