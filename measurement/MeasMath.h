#pragma once

// The arithmetic of a measurement: mean removal, tachometer marks and speed, synchronous
// averaging, the rotation-frequency component and the broadband RMS. Plain functions over
// interleaved frames (channel 1, channel 2, tachometer, spare), and FrameSurvey, which serves the
// same steps from one walk over a recording that is only read; no program state inside.

#include <cstdint>
#include <functional>
#include <vector>

namespace vintor {

inline constexpr int kFrameSamples = 4;
inline constexpr int32_t kTachoHighLevel = 100;      // codes at input range 0, about 244 mV
inline constexpr int32_t kMinMarkInterval = 30;      // an edge is a mark only beyond this
inline constexpr int32_t kIntervalTolerance = 100;   // frames between consecutive intervals
inline constexpr double kSpeedConstant = 1500000.0;  // 60 s x 25 000 frames per second
inline constexpr double kWorkingSpeedFactor = 0.9977;
inline constexpr int kRevCapacity = 16384;  // positions of the summing arrays
inline constexpr int kHarmonicPoints = 16;  // points per revolution for the 1x component
inline constexpr double kAmplitudeDivisor = 11.28;
inline constexpr double kDegreesPerRadian = 57.2958;

// Nearest integer, exact halves to the even neighbour.
int64_t Nearest(double x);

struct ChannelMeans {
  int32_t mean1 = 0;
  int32_t mean2 = 0;
};

// Means of the two vibration channels over `frames` frames (0 for an empty recording).
ChannelMeans ChannelMeansOf(const int16_t* samples, int64_t frames);
// Computes the means and subtracts them from every channel-1 and channel-2 sample in place,
// wrapping in 16 bits as the stored codes do. The tachometer samples are left alone.
ChannelMeans RemoveMeans(int16_t* samples, int64_t frames);

enum class Pass { Sighting, Working };

// Scan state that lives for one cycle: the working scan goes on from where the sighting scan
// left the tachometer level and the intervals.
struct ScanState {
  bool previousHigh = false;
  int32_t Delta = 0;
  int32_t DeltaOld = 0;
  int32_t First = 0;  // kept from an earlier scan when a scan accepts fewer than two marks
};

struct ScanResult {
  std::vector<int32_t> marks;  // frame numbers (from 1) of the accepted marks
  int32_t M = 0;
  int32_t First = 0;  // frame of the second accepted mark: where averaging starts
  int32_t Lend = 0;   // frame at which the scan stopped
};

// Called on every irregular interval with the mark count and |Delta - DeltaOld|.
using IrregularIntervalFn = std::function<void(int32_t marks, int64_t difference)>;

// Finds the falling edges of the tachometer channel and accepts those far enough from the last
// mark; stops on mark averNum + 5. Raises `adcPeak` to the largest |x1|, |x2| it passes.
ScanResult ScanMarks(const int16_t* samples, int64_t frames, int averNum, ScanState& state,
                     int32_t& adcPeak, const IrregularIntervalFn& onIrregular = {});

struct RevolutionPeriod {
  double RevPeriod = 0.0;  // frames per revolution
  int32_t RevLen = 0;      // nearest(RevPeriod)
  double RPM = 0.0;
};

RevolutionPeriod PeriodFromMarks(Pass pass, int32_t M, int32_t First, int32_t Lend);

struct AveragingInfo {
  int revolutions = 0;   // revolutions that contributed
  bool clipped = false;  // a revolution ran past the summing arrays; its tail was dropped
};

// Sums up to averNum revolutions cut on the fixed grid First + nearest(m x RevPeriod) into
// s1, s2 (which the caller zeroes). Positions at or beyond `capacity` are never written.
// `removed` is taken off every channel sample first, in 16 bits as RemoveMeans does.
AveragingInfo AverageRevolution(const int16_t* samples, int64_t frames, int32_t First,
                                double RevPeriod, int averNum, int32_t* s1, int32_t* s2,
                                int capacity = kRevCapacity, ChannelMeans removed = {});

// One averaged sample: nearest(sum / averNum).
int32_t DivideSample(int32_t sum, int averNum);

struct FirstHarmonicResult {
  double amplitude = 0.0;  // mm/s, the program's RMS value (sum amplitude / 11.28)
  double phase = 0.0;      // degrees, 0 <= phase < 360
};

// The 16 resampled points of an averaged revolution (positions 1 .. RevLen; reads outside
// [0, capacity) count as 0).
std::vector<int32_t> ResampleRevolution(const int32_t* averaged, int32_t revLen,
                                        int capacity = kRevCapacity);
// Rotation-frequency component from 16 points scaled by `scale` (mm/s per code).
FirstHarmonicResult FirstHarmonicOfPoints(const std::vector<int32_t>& points, double scale);
FirstHarmonicResult FirstHarmonic(const int32_t* averaged, int32_t revLen, double scale,
                                  int capacity = kRevCapacity);

struct BroadbandResult {
  double v1 = 0.0;
  double v2 = 0.0;
};

// RMS of both vibration channels over every frame, in mm/s, less the squared offsets.
BroadbandResult BroadbandRms(const int16_t* samples, int64_t frames, double scale1, double scale2,
                             double offset1, double offset2);
// The same from the sums of the squared samples of each channel over `frames` frames.
BroadbandResult BroadbandRmsOfSquares(int64_t squares1, int64_t squares2, int64_t frames,
                                      double scale1, double scale2, double offset1, double offset2);

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

// One walk over the frames of a recording that gathers what the mark scan, the peak, the means
// and the broadband RMS need, so that a working pass reads the recording twice instead of six
// times (means, mean removal, scan, averaging, RMS) and never writes it. The results are those of
// RemoveMeans followed by ScanMarks, AverageRevolution and BroadbandRms on the mean-free copy.
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
  mutable std::vector<int32_t> pairs_;  // the averaging's sums, kept for the next recording
};

}  // namespace vintor
