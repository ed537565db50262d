#pragma once

// The broadband recording of the charts window: the raw recording as "Output.txt" lines with the
// running-peak revolution marks, reading such a file back, and the 16-line group averages that
// the chart draws between its two limits.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "measurement/MeasMath.h"
#include "platform/FileStamp.h"

namespace vintor {

// One "Output.txt" line: three whole numbers (codes, codes, mark or 0).
struct OutputLine {
  int32_t c1 = 0;
  int32_t c2 = 0;
  int32_t c3 = 0;
};

// One line per frame: both channel codes less their means, and in column 3 the running peak of
// |x1|, |x2| at the first frame of each tachometer pulse (a rise above 99 after having been
// below 50), else 0.
std::vector<OutputLine> BroadbandLines(const int16_t* samples, int64_t frames, ChannelMeans means);

// The file's bytes: "c1\tc2\tc3" per line, each ended by CR LF.
QByteArray OutputFileBytes(const std::vector<OutputLine>& lines);
// Replaces the file whole (a working file: without waiting for the disk); throws MeasError
// when it cannot be written.
void WriteOutputFile(const QString& path, const std::vector<OutputLine>& lines);

// Splits each line at its tabs and converts the first `columns` fields (2 or 3; the others are
// left 0). Blank lines are skipped; a line without that many whole numbers throws MeasError
// naming `name` and the line.
std::vector<OutputLine> ParseOutputFile(const QByteArray& bytes, const QString& name,
                                        int columns = 3);
// Throws MeasError when the file cannot be read or parsed.
std::vector<OutputLine> ReadOutputFile(const QString& path);

// The lines of an "Output.txt", read again only when the file on disk changed since the last
// read (or since it was written through Remember). Other windows rewrite the file at any time,
// so every call looks at the file first.
class OutputFileCache {
 public:
  // The lines of the file at `path`; a missing file has none. Throws like ReadOutputFile.
  const std::vector<OutputLine>& Lines(const QString& path);
  // The caller has just written `lines` to `path`.
  void Remember(const QString& path, std::vector<OutputLine> lines);
  void Forget();

 private:
  QString path_;
  FileStamp stamp_;
  bool valid_ = false;
  std::vector<OutputLine> lines_;
};

inline constexpr int kGroupLines = 16;

// One point of the broadband chart: group g covers lines 16g .. 16g + 15.
struct GroupAverage {
  int64_t frame = 0;  // 16 g, the point's label
  int32_t a1 = 0;     // nearest(sum of column 1 / 16)
  int32_t a2 = 0;
  int64_t s3 = 0;  // sum of column 3 (the marks are summed, not averaged)
};

// Groups from the first whose start is not below `begin` while 16 g < `end` and a whole group of
// 16 lines remains.
std::vector<GroupAverage> GroupAverages(const std::vector<OutputLine>& lines, int64_t begin,
                                        int64_t end);

// The broadband run after its recording: reads Paths().TestDatPath whole, stores the channel
// means in MeasState and writes WorkDir/Output.txt. Returns the lines written. Throws MeasError
// when the recording cannot be read or the file cannot be written.
std::vector<OutputLine> RunBroadbandOutput();

}  // namespace vintor
