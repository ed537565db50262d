#pragma once

// Spectra and harmonics of a recording: the one-second spectrum the meter and the run windows
// show after a measurement, the block-averaged spectrum of the spectrum view, and the harmonics
// of the rotation frequency. Results are plain data; the windows draw them.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "measurement/MeasMath.h"
#include "platform/DecimalSeparator.h"

namespace vintor {

inline constexpr int kSpectrumPoints = 512;
inline constexpr int kSpectrumStages = 9;
inline constexpr int kSpectrumBins = 256;
inline constexpr int kListedBins = 128;
inline constexpr int kMeterDecimation = 49;  // nearest(24886 / 512)
inline constexpr double kPeakToRms = 1.41421;

struct SpectrumData {
  std::vector<double> s1, s2;  // 512 averaged time points per channel, mm/s
  std::vector<double> p1, p2;  // 256 lines, peak amplitude in mm/s
  double df = 1.0;             // label step of one line, Hz
  ChannelMeans means;          // the means that were subtracted
};

// The meter's and run windows' spectrum: 512 points of 49 frames from the start of the
// recording, with the given means and scales. Frames past the end of a short file count as 0.
SpectrumData MeterSpectrum(const int16_t* samples, int64_t frames, ChannelMeans means,
                           double scale1, double scale2);

// One item of the spectrum view's bandwidth list.
struct Bandwidth {
  double adcRate = 0.0;  // kHz
  int D = 0;             // nominal frames analysed
  int m = 0;             // frames per point, nearest(D / 512)
  double df = 0.0;       // nominal line width, Hz
};
// "64", "128", "320" or "640"; anything else (the empty item included) has no bandwidth.
std::optional<Bandwidth> BandwidthFromItem(const QString& item);

// The spectrum view's block-averaged spectrum; the means come from the whole recording.
SpectrumData BandSpectrum(const int16_t* samples, int64_t frames, const Bandwidth& bandwidth,
                          double scale1, double scale2);

// The 128 "Garmoniki.txt" lines of a spectrum: f, P1 / 1.41421, P2 / 1.41421.
QStringList SpectrumListLines(const SpectrumData& data, QChar separator = DecimalSeparator());

// The spectrum routine run after a measurement: the first second of TestDatPath with the means
// and gain code of MeasState, Garmoniki.txt written, Dlit := 4 and AdcRate 100.63 while it
// runs, 100.0 after. A missing file gives nullopt when `skipMissingFile` (the meter), else
// MeasError (the run windows). The window handles its own gauge, panels and charts.
std::optional<SpectrumData> RunSpectrumRoutine(bool skipMissingFile);

// The spectrum view's analysis of the recording at TestDatPath (made by the window): stores
// the means in MeasState and writes Garmoniki.txt.
SpectrumData RunBandSpectrumAnalysis(const Bandwidth& bandwidth);

// Harmonics of the rotation frequency.
inline constexpr int kMinHarmonicLines = 64;
inline constexpr int kMaxHarmonicPoints = 4096;
inline constexpr int kMaxHarmonicBin = 128;

struct ExtractedLine {
  int32_t c1 = 0;
  int32_t c2 = 0;
  int32_t mark = 0;
};

// Raw codes from the frame of the second tachometer pulse to the frame of pulse revs + 2.
// Throws MeasError when revs < 1.
std::vector<ExtractedLine> ExtractRevolutions(const int16_t* samples, int64_t frames, int revs);
// "Output.txt" lines of an extraction: c1, c2, mark, tab-separated.
QStringList ExtractedLinesText(const std::vector<ExtractedLine>& lines);

// Columns 1 and 2 of an Output.txt (either producer). Throws MeasError when the file cannot be
// read or a line does not start with two whole numbers.
std::vector<std::array<int32_t, 2>> ReadOutputColumns(const QString& path);

struct HarmonicRow {
  QString label;  // the order as a number text when whole, else "."
  double h1 = 0.0;
  double h2 = 0.0;
};

struct HarmonicsResult {
  int j = 0;                    // lines analysed
  int N = 0;                    // transform length
  double q = 0.0;               // sqrt(N / 64)
  std::vector<double> z1, z2;   // N resampled points, mm/s
  std::vector<double> H1, H2;   // N / 2 magnitudes, mm/s (RMS of each harmonic)
  QStringList pointCountItems;  // the rebuilt point-count list
  std::vector<HarmonicRow> rows;
};

// Analysis of the extracted lines; nullopt when there are fewer than 64. `listLimit` is the
// highest order listed (the point-count list, 32). Throws MeasError when revs < 1.
std::optional<HarmonicsResult> AnalyseHarmonics(const std::vector<std::array<int32_t, 2>>& lines,
                                                double scale1, double scale2, int revs,
                                                int listLimit);
// "Garmoniki.txt" of a harmonics run: the title line and one line per row.
QStringList HarmonicTableLines(const HarmonicsResult& result, QChar separator = DecimalSeparator());

// The charts window's harmonics run after its measurement: TestDatPath to Output.txt, then
// Output.txt to Garmoniki.txt with the current gain code. nullopt: too few lines.
void RunHarmonicsExtraction(int revs);
std::optional<HarmonicsResult> RunHarmonicsAnalysis(int revs, int listLimit);

}  // namespace vintor
