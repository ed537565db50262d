#include "measurement/Broadband.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

constexpr int32_t kPulseHigh = 99;  // a pulse is above this
constexpr int32_t kPulseLow = 50;   // and re-arms below this

// Longest line: three int32 texts, two tabs, CR LF.
constexpr size_t kMaxLineBytes = 3 * 11 + 2 + 2;

char* PutInt(char* p, int32_t v) { return std::to_chars(p, p + 11, v).ptr; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One field of a line: optional blanks around, an optional sign, digits.
bool ParseField(const char* b, const char* e, int32_t* out) {
  while (b < e && *b == ' ') ++b;
  while (e > b && e[-1] == ' ') --e;
  if (b < e && *b == '+') ++b;
  if (b == e) return false;
  const auto r = std::from_chars(b, e, *out);
  return r.ec == std::errc() && r.ptr == e;
}

}  // namespace

std::vector<OutputLine> BroadbandLines(const int16_t* samples, int64_t frames, ChannelMeans means) {
  std::vector<OutputLine> lines(static_cast<size_t>(std::max<int64_t>(frames, 0)));
  int32_t peak = 0;
  bool armed = false;
  for (size_t k = 0; k < lines.size(); ++k) {
    const int16_t* f = samples + k * kFrameSamples;
    const int32_t x1 = f[0] - means.mean1;
    const int32_t x2 = f[1] - means.mean2;
    const int32_t t = f[2];
    peak = std::max({peak, std::abs(x1), std::abs(x2)});
    int32_t mark = 0;
    if (t > kPulseHigh && !armed) {
      mark = peak;
      armed = true;
    }
    if (t < kPulseLow && armed) armed = false;
    lines[k] = {x1, x2, mark};
  }
  return lines;
}

QByteArray OutputFileBytes(const std::vector<OutputLine>& lines) {
  QByteArray bytes;
  bytes.resize(static_cast<qsizetype>(lines.size() * kMaxLineBytes));
  char* const start = bytes.data();
  char* p = start;
  for (const OutputLine& l : lines) {
    p = PutInt(p, l.c1);
    *p++ = '\t';
    p = PutInt(p, l.c2);
    *p++ = '\t';
    p = PutInt(p, l.c3);
    *p++ = '\r';
    *p++ = '\n';
  }
  bytes.truncate(p - start);
  return bytes;
}

void WriteOutputFile(const QString& path, const std::vector<OutputLine>& lines) {
  QString error;
  if (!ReplaceFile(path, OutputFileBytes(lines), &error, Flush::Working))
    throw MeasError(QStringLiteral("Cannot write %1: %2").arg(path, error));
}

std::vector<OutputLine> ParseOutputFile(const QByteArray& bytes, const QString& name, int columns) {
  columns = std::clamp(columns, 1, 3);
  std::vector<OutputLine> lines;
  // Most files come from the writer above: about 14 bytes a line.
  lines.reserve(static_cast<size_t>(bytes.size() / 12 + 1));
  const char* p = bytes.constData();
  const char* const end = p + bytes.size();
  int64_t lineNo = 0;
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!eol) eol = end;
    ++lineNo;
    const char* lineEnd = eol;
    if (lineEnd > p && lineEnd[-1] == '\r') --lineEnd;
    const char* b = p;
    p = eol < end ? eol + 1 : end;
    if (std::all_of(b, lineEnd, IsBlank)) continue;
    int32_t v[3] = {0, 0, 0};
    bool ok = true;
    for (int i = 0; i < columns && ok; ++i) {
      const char* tab = std::find(b, lineEnd, '\t');
      if (i < columns - 1 && tab == lineEnd)
        ok = false;
      else
        ok = ParseField(b, tab, &v[i]);
      b = tab < lineEnd ? tab + 1 : lineEnd;
    }
    if (!ok)
      throw MeasError(QStringLiteral("%1, line %2: not %3 whole numbers")
                          .arg(name)
                          .arg(lineNo)
                          .arg(columns == 3 ? QStringLiteral("three") : QStringLiteral("two")));
    lines.push_back({v[0], v[1], v[2]});
  }
  return lines;
}

std::vector<OutputLine> ReadOutputFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw MeasError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw MeasError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
  return ParseOutputFile(bytes, path);
}

const std::vector<OutputLine>& OutputFileCache::Lines(const QString& path) {
  const FileStamp now = StampOfFile(path);
  if (valid_ && path == path_ && now == stamp_) return lines_;
  valid_ = false;
  lines_ = now.exists ? ReadOutputFile(path) : std::vector<OutputLine>{};
  path_ = path;
  stamp_ = now;  // taken before the read: a write meanwhile makes the next call read again
  valid_ = true;
  return lines_;
}

void OutputFileCache::Remember(const QString& path, std::vector<OutputLine> lines) {
  lines_ = std::move(lines);
  path_ = path;
  stamp_ = StampOfFile(path);
  valid_ = stamp_.exists;
}

void OutputFileCache::Forget() {
  valid_ = false;
  lines_.clear();
  lines_.shrink_to_fit();
}

std::vector<GroupAverage> GroupAverages(const std::vector<OutputLine>& lines, int64_t begin,
                                        int64_t end) {
  std::vector<GroupAverage> groups;
  const auto n = static_cast<int64_t>(lines.size());
  // The smallest g with 16 g >= begin.
  int64_t g = begin <= 0 ? 0 : (begin + kGroupLines - 1) / kGroupLines;
  const int64_t count = std::min(n / kGroupLines, (end + kGroupLines - 1) / kGroupLines) - g;
  if (count > 0) groups.reserve(static_cast<size_t>(count));
  for (; g * kGroupLines < end && g * kGroupLines + kGroupLines <= n; ++g) {
    int64_t s1 = 0, s2 = 0, s3 = 0;
    const OutputLine* l = lines.data() + g * kGroupLines;
    for (int i = 0; i < kGroupLines; ++i) {
      s1 += l[i].c1;
      s2 += l[i].c2;
      s3 += l[i].c3;
    }
    groups.push_back({g * kGroupLines,
                      static_cast<int32_t>(Nearest(static_cast<double>(s1) / kGroupLines)),
                      static_cast<int32_t>(Nearest(static_cast<double>(s2) / kGroupLines)), s3});
  }
  return groups;
}

std::vector<OutputLine> RunBroadbandOutput() {
  const RawRecording rec = RawRecording::Read(Paths().TestDatPath);
  const ChannelMeans means = ChannelMeansOf(rec.data(), rec.frames());
  Meas().AdcMean1 = means.mean1;
  Meas().AdcMean2 = means.mean2;
  std::vector<OutputLine> lines = BroadbandLines(rec.data(), rec.frames(), means);
  WriteOutputFile(JoinPath(Paths().WorkDir, QStringLiteral("Output.txt")), lines);
  return lines;
}

}  // namespace vintor
