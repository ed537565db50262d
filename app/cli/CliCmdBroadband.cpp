// The broadband job of the charts window on a recording already on disk: Output.txt with the
// running-peak marks, and the 16-line groups between two limits.
#include <QFileInfo>
#include <QJsonObject>

#include "app/cli/CliCommand.h"
#include "measurement/Broadband.h"
#include "measurement/MeasMath.h"
#include "measurement/RawRecording.h"

namespace vintor::cli {
namespace {

int RunBroadband(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"output", "begin", "end"}, {});
  if (!p.error.isEmpty()) return UsageError(p.error);
  if (p.positional.size() != 1)
    return UsageError(p.positional.isEmpty()
                          ? QStringLiteral("name one recording FILE.dat")
                          : QStringLiteral("unexpected argument ") + p.positional[1]);
  const QString dat = p.positional[0];
  if (!QFileInfo(dat).isFile()) return UsageError(QStringLiteral("no such file: ") + dat);
  const std::optional<long long> begin = ToInt(p.Value("begin", QStringLiteral("1")));
  if (!begin || *begin < 1) return UsageError("--begin must be a whole number from 1");
  std::optional<long long> end;
  if (p.Has("end")) {
    end = ToInt(p.Value("end"));
    if (!end || *end < 1) return UsageError("--end must be a whole number from 1");
  }
  const QString output = p.Value("output", QStringLiteral("Output.txt"));
  try {
    const RawRecording rec = RawRecording::Read(dat);
    const ChannelMeans means = ChannelMeansOf(rec.data(), rec.frames());
    const std::vector<OutputLine> lines = BroadbandLines(rec.data(), rec.frames(), means);
    WriteOutputFile(output, lines);
    int marks = 0;
    int32_t peak = 0;
    for (const OutputLine& l : lines) {
      if (l.c3 != 0) ++marks;
      peak = std::max(peak, l.c3);
    }
    // The window's first view: up to a tenth of the recording.
    const auto n = static_cast<int64_t>(lines.size());
    const int64_t last = end ? *end : Nearest(static_cast<double>(n) / 10.0);
    const std::vector<GroupAverage> groups = GroupAverages(lines, *begin, last);
    QJsonObject out;
    out["file"] = dat;
    out["output"] = output;
    out["lines"] = static_cast<qint64>(n);
    out["AdcMean1"] = means.mean1;
    out["AdcMean2"] = means.mean2;
    out["marks"] = marks;
    out["peak"] = peak;
    out["begin"] = *begin;
    out["end"] = static_cast<qint64>(last);
    out["points"] = static_cast<qint64>(groups.size());
    if (!groups.empty()) {
      out["firstPoint"] = static_cast<qint64>(groups.front().frame);
      out["lastPoint"] = static_cast<qint64>(groups.back().frame);
    }
    PrintJson(out);
  } catch (const MeasError& e) {
    return UsageError(QString::fromStdString(e.what()));
  }
  return kExitOk;
}

Registrar regBroadband{
    {"broadband", "broadband FILE.dat [--output Output.txt] [--begin B] [--end E]", RunBroadband}};

}  // namespace
}  // namespace vintor::cli
