#include "measurement/Spectrum.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Formatting.h"
#include "measurement/Broadband.h"
#include "measurement/FFTBase.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

// 512 points of m frames each from the start of the recording. The meter's routine takes the
// differences in 16 bits as the codes are stored; frames past the end of the file count as 0.
SpectrumData BlockSpectrum(const int16_t* samples, int64_t frames, int m, double df,
                           ChannelMeans means, double scale1, double scale2, bool wrap16) {
  SpectrumData d;
  d.df = df;
  d.means = means;
  d.s1.assign(kSpectrumPoints, 0.0);
  d.s2.assign(kSpectrumPoints, 0.0);
  const int64_t used = std::min<int64_t>(frames, int64_t{kSpectrumPoints} * m);
  for (int64_t f = 0; f < used; ++f) {
    int32_t x1 = samples[f * kFrameSamples] - means.mean1;
    int32_t x2 = samples[f * kFrameSamples + 1] - means.mean2;
    if (wrap16) {
      x1 = static_cast<int16_t>(static_cast<uint16_t>(x1));
      x2 = static_cast<int16_t>(static_cast<uint16_t>(x2));
    }
    const auto q = static_cast<size_t>(f / m);
    d.s1[q] += scale1 * x1;
    d.s2[q] += scale2 * x2;
  }
  for (int q = 0; q < kSpectrumPoints; ++q) {
    d.s1[static_cast<size_t>(q)] /= m;
    d.s2[static_cast<size_t>(q)] /= m;
  }
  // A sine of peak a on a line comes out of the scaled transform as 8 x sqrt(2) x a.
  const double divisor = 2.0 * std::numbers::sqrt2 * 4.0;
  const std::vector<float> mag1 = ScaledMagnitudes(d.s1.data(), kSpectrumPoints);
  const std::vector<float> mag2 = ScaledMagnitudes(d.s2.data(), kSpectrumPoints);
  d.p1.resize(kSpectrumBins);
  d.p2.resize(kSpectrumBins);
  for (size_t j = 0; j < kSpectrumBins; ++j) {
    d.p1[j] = mag1[j] / divisor;
    d.p2[j] = mag2[j] / divisor;
  }
  return d;
}

// Garmoniki.txt: a working file that every run rewrites.
void WriteLinesOrThrow(const QString& path, const QStringList& lines) {
  QString error;
  if (!WriteTextLines(path, lines, &error, Flush::Working))
    throw MeasError(QStringLiteral("Cannot write %1: %2").arg(path, error));
}

QString GarmonikiPath() { return JoinPath(Paths().WorkDir, QStringLiteral("Garmoniki.txt")); }
QString OutputPath() { return JoinPath(Paths().WorkDir, QStringLiteral("Output.txt")); }

void RequireRevs(int revs) {
  if (revs < 1)
    throw MeasError(QStringLiteral("The number of revolutions must be a whole number from 1"));
}

}  // namespace

SpectrumData MeterSpectrum(const int16_t* samples, int64_t frames, ChannelMeans means,
                           double scale1, double scale2) {
  return BlockSpectrum(samples, frames, kMeterDecimation, 1.0, means, scale1, scale2, true);
}

std::optional<Bandwidth> BandwidthFromItem(const QString& item) {
  auto make = [](double rate, int d, double df) {
    return Bandwidth{rate, d, static_cast<int>(Nearest(d / double{kSpectrumPoints})), df};
  };
  const QString t = item.trimmed();
  if (t == QLatin1String("64")) return make(100.5, 49920, 0.5);
  if (t == QLatin1String("128")) return make(100.63, 24886, 1.0);
  if (t == QLatin1String("320")) return make(102.6, 10004, 2.5);
  if (t == QLatin1String("640")) return make(102.7, 4992, 5.0);
  return std::nullopt;
}

SpectrumData BandSpectrum(const int16_t* samples, int64_t frames, const Bandwidth& bandwidth,
                          double scale1, double scale2) {
  const ChannelMeans means = ChannelMeansOf(samples, frames);
  return BlockSpectrum(samples, frames, std::max(bandwidth.m, 1), bandwidth.df, means, scale1,
                       scale2, false);
}

QStringList SpectrumListLines(const SpectrumData& data, QChar separator) {
  QStringList lines;
  lines.reserve(kListedBins);
  const QChar tab(u'\t');
  for (int j = 0; j < kListedBins && j < static_cast<int>(data.p1.size()); ++j) {
    const auto i = static_cast<size_t>(j);
    lines << FormatGeneral(j * data.df, separator) + tab +
                 FormatPicture(data.p1[i] / kPeakToRms, 4, separator) + tab +
                 FormatPicture(data.p2[i] / kPeakToRms, 4, separator);
  }
  return lines;
}

std::optional<SpectrumData> RunSpectrumRoutine(bool skipMissingFile) {
  MeasState& s = Meas();
  s.Dlit = 4;
  s.AdcRate = 100.63;
  struct RateBack {
    ~RateBack() { Meas().AdcRate = 100.0; }
  } rateBack;
  const QString path = Paths().TestDatPath;
  if (skipMissingFile && !QFileInfo::exists(path)) return std::nullopt;
  const RawRecording rec = RawRecording::Read(path, int64_t{kSpectrumPoints} * kMeterDecimation);
  SpectrumData d =
      MeterSpectrum(rec.data(), rec.frames(), {s.AdcMean1, s.AdcMean2}, ChanScale(1), ChanScale(2));
  WriteLinesOrThrow(GarmonikiPath(), SpectrumListLines(d));
  return d;
}

SpectrumData RunBandSpectrumAnalysis(const Bandwidth& bandwidth) {
  const RawRecording rec = RawRecording::Read(Paths().TestDatPath);
  SpectrumData d = BandSpectrum(rec.data(), rec.frames(), bandwidth, ChanScale(1), ChanScale(2));
  Meas().AdcMean1 = d.means.mean1;
  Meas().AdcMean2 = d.means.mean2;
  WriteLinesOrThrow(GarmonikiPath(), SpectrumListLines(d));
  return d;
}

std::vector<ExtractedLine> ExtractRevolutions(const int16_t* samples, int64_t frames, int revs) {
  RequireRevs(revs);
  std::vector<ExtractedLine> lines;
  int32_t peak = 0;
  bool armed = false;
  int64_t marks = 0;
  for (int64_t k = 0; k < frames; ++k) {
    const int16_t* f = samples + k * kFrameSamples;
    const int32_t c1 = f[0], c2 = f[1], t = f[2];
    peak = std::max({peak, std::abs(c1), std::abs(c2)});
    int32_t mark = 0;
    if (t >= kTachoHighLevel && !armed) {
      mark = peak;
      armed = true;
    }
    if (t < 50 && armed) armed = false;
    if (mark >= 1) ++marks;
    if (marks >= 2) lines.push_back({c1, c2, mark});
    if (marks > int64_t{revs} + 1) break;
  }
  return lines;
}

QStringList ExtractedLinesText(const std::vector<ExtractedLine>& lines) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(lines.size()));
  for (const ExtractedLine& l : lines)
    out << QStringLiteral("%1\t%2\t%3").arg(l.c1).arg(l.c2).arg(l.mark);
  return out;
}

std::vector<std::array<int32_t, 2>> ReadOutputColumns(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw MeasError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
  const std::vector<OutputLine> lines = ParseOutputFile(file.readAll(), path, 2);
  std::vector<std::array<int32_t, 2>> columns(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) columns[i] = {lines[i].c1, lines[i].c2};
  return columns;
}

std::optional<HarmonicsResult> AnalyseHarmonics(const std::vector<std::array<int32_t, 2>>& lines,
                                                double scale1, double scale2, int revs,
                                                int listLimit) {
  RequireRevs(revs);
  HarmonicsResult r;
  r.j = static_cast<int>(std::min<size_t>(lines.size(), 1u << 30));
  if (r.j < kMinHarmonicLines) return std::nullopt;
  r.N = kMinHarmonicLines;
  while (r.N * 2 <= r.j && r.N * 2 <= kMaxHarmonicPoints) r.N *= 2;
  r.q = std::sqrt(r.N / 64.0);
  for (int v = 32;; v *= 2) {
    r.pointCountItems << QString::number(v);
    if (v >= r.N / 2) break;
  }

  const auto n = static_cast<size_t>(r.N);
  r.z1.resize(n);
  r.z2.resize(n);
  const double step = static_cast<double>(r.j) / r.N;
  for (size_t m = 0; m < n; ++m) {
    const auto k = static_cast<size_t>(
        std::clamp<int64_t>(Nearest(step * static_cast<double>(m)), 0, r.j - 1));
    r.z1[m] = scale1 * lines[k][0];
    r.z2[m] = scale2 * lines[k][1];
  }
  const std::vector<float> mag1 = ScaledMagnitudes(r.z1.data(), r.N);
  const std::vector<float> mag2 = ScaledMagnitudes(r.z2.data(), r.N);
  r.H1.resize(n / 2);
  r.H2.resize(n / 2);
  for (size_t l = 0; l < n / 2; ++l) {
    r.H1[l] = mag1[l] / std::numbers::sqrt2 / r.q / 4.0;
    r.H2[l] = mag2[l] / std::numbers::sqrt2 / r.q / 4.0;
  }

  for (int i = 0;; ++i) {
    const double h = static_cast<double>(i) / revs;
    HarmonicRow row;
    row.label = h == std::floor(h) ? FormatGeneral(h) : QStringLiteral(".");
    row.h1 = r.H1[static_cast<size_t>(i)];
    row.h2 = r.H2[static_cast<size_t>(i)];
    r.rows.push_back(row);
    if (h >= listLimit || i >= kMaxHarmonicBin || i >= r.N / 2 - 1) break;
  }
  return r;
}

QStringList HarmonicTableLines(const HarmonicsResult& result, QChar separator) {
  QStringList lines{QStringLiteral("Harmonic\tChan-1\tChan-2")};
  const QChar tab(u'\t');
  for (const HarmonicRow& row : result.rows)
    lines << row.label + tab + FormatPicture(row.h1 / kPeakToRms, 4, separator) + tab +
                 FormatPicture(row.h2 / kPeakToRms, 4, separator);
  return lines;
}

void RunHarmonicsExtraction(int revs) {
  RequireRevs(revs);
  const RawRecording rec = RawRecording::Read(Paths().TestDatPath);
  const std::vector<ExtractedLine> extracted = ExtractRevolutions(rec.data(), rec.frames(), revs);
  std::vector<OutputLine> lines(extracted.size());
  for (size_t i = 0; i < lines.size(); ++i)
    lines[i] = {extracted[i].c1, extracted[i].c2, extracted[i].mark};
  WriteOutputFile(OutputPath(), lines);
}

std::optional<HarmonicsResult> RunHarmonicsAnalysis(int revs, int listLimit) {
  auto result = AnalyseHarmonics(ReadOutputColumns(OutputPath()), ChanScale(1), ChanScale(2), revs,
                                 listLimit);
  if (result) WriteLinesOrThrow(GarmonikiPath(), HarmonicTableLines(*result));
  return result;
}

}  // namespace vintor
