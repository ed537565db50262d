// Analysis subcommands: the measurement processing, the spectra and the harmonics run on
// recordings already on disk (such as archived measurements), and the vibration meter's runs on
// the module. Results are printed as JSON.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <csignal>
#include <cstdio>

#include "app/cli/CliCommand.h"
#include "app/cli/CliTerminal.h"
#include "app/core/ConfigFile.h"
#include "base/Formatting.h"
#include "measurement/MeasCycle.h"
#include "measurement/MeasObserver.h"
#include "measurement/MeasState.h"
#include "measurement/RawRecording.h"
#include "measurement/Spectrum.h"
#include "platform/Services.h"
#include "platform/SimAdc.h"
#include "platform/TextFile.h"

namespace vintor::cli {
namespace {

// Sensitivities and offsets: Kavero.cfg when given, else 20, 20, 0, 0.
bool LoadSettings(const QString& configPath, QString& error) {
  SensorSettings& s = Settings();
  s = SensorSettings{20.0, 20.0, 0.0, 0.0, 100.0};
  if (configPath.isEmpty()) return true;
  SettingsTexts texts = InitialSettingsTexts();
  switch (LoadSensorConfig(configPath, s, texts)) {
    case ConfigLoad::NotRead:
      error = QStringLiteral("cannot read configuration file ") + configPath;
      return false;
    case ConfigLoad::BadValue:
      error = QStringLiteral("configuration file %1 holds a value that is not a number")
                  .arg(configPath);
      return false;
    case ConfigLoad::Loaded:
      break;
  }
  if (s.Kpr1 <= 0 || s.Kpr2 <= 0) {
    error = QStringLiteral("configuration file %1: sensitivities must be above 0").arg(configPath);
    return false;
  }
  return true;
}

// The measurement state starts afresh; the settings just loaded stay.
void ResetProgramStateKeepingSettings() {
  const SensorSettings keep = Settings();
  ResetProgramState();
  Settings() = keep;
}

// A recording named on the command line: an existing file holding at least one frame.
bool CheckRecording(const QString& path, QString& error) {
  const QFileInfo info(path);
  if (!info.isFile()) {
    error = QStringLiteral("no such file: ") + path;
    return false;
  }
  if (info.size() < kRawFrameBytes) {
    error = QStringLiteral("%1 holds no whole frame").arg(path);
    return false;
  }
  return true;
}

// Gain code from --par (first character of the file) or --gain; nullopt when neither is given.
bool ReadGain(const ParsedArgs& p, std::optional<int16_t>& gain, QString& error) {
  if (p.Has("par") && p.Has("gain")) {
    error = QStringLiteral("give either --par or --gain, not both");
    return false;
  }
  if (p.Has("par")) {
    try {
      gain = ReadParFile(p.Value("par"));
    } catch (const MeasError& e) {
      error = QString::fromStdString(e.what());
      return false;
    }
  } else if (p.Has("gain")) {
    const auto g = ToInt(p.Value("gain"));
    if (!g || *g < 0 || *g > 3) {
      error = QStringLiteral("--gain must be 0, 1, 2 or 3");
      return false;
    }
    gain = static_cast<int16_t>(*g);
  }
  return true;
}

// The options every offline analysis shares: one recording, its gain code and the settings.
struct OfflineInput {
  QString dat;
  std::optional<int16_t> gain;
};

bool ReadOfflineInput(const ParsedArgs& p, OfflineInput& in, QString& error) {
  if (!p.error.isEmpty()) {
    error = p.error;
    return false;
  }
  if (p.positional.size() != 1) {
    error = p.positional.isEmpty() ? QStringLiteral("name one recording FILE.dat")
                                   : QStringLiteral("unexpected argument ") + p.positional[1];
    return false;
  }
  in.dat = p.positional[0];
  if (!CheckRecording(in.dat, error) || !ReadGain(p, in.gain, error)) return false;
  if (!LoadSettings(p.Value("config"), error)) return false;
  ResetProgramStateKeepingSettings();
  Meas().GainCode = in.gain.value_or(0);
  Meas().AdcRate = 100.0;
  Paths().TestDatPath = in.dat;
  return true;
}

double Rounded4(double v) { return FormatPicture(v, 4, QLatin1Char('.')).toDouble(); }

QJsonArray ListJson(const SpectrumData& d) {
  QJsonArray lines;
  for (int j = 0; j < kListedBins; ++j) {
    const auto i = static_cast<size_t>(j);
    lines.append(
        QJsonArray{j * d.df, Rounded4(d.p1[i] / kPeakToRms), Rounded4(d.p2[i] / kPeakToRms)});
  }
  return lines;
}

QJsonObject ResultsJson(const CycleDetails* d) {
  const MeasState& m = Meas();
  QJsonObject o;
  o["RPM"] = m.RPM;
  o["RevPeriod"] = m.RevPeriod;
  o["V1o"] = m.V1o;
  o["F1"] = m.F1;
  o["V2o"] = m.V2o;
  o["F2"] = m.F2;
  o["V1s"] = m.V1s;
  o["V2s"] = m.V2s;
  o["AdcMean1"] = m.AdcMean1;
  o["AdcMean2"] = m.AdcMean2;
  o["AdcPeak"] = m.AdcPeak;
  o["WrongTacho"] = m.WrongTacho;
  o["GainCode"] = m.GainCode;
  o["NextGainCode"] = m.NextGainCode;
  o["AverNum"] = m.AverNum;
  o["Dlit"] = m.Dlit;
  if (d) {
    o["RevLen"] = d->RevLen;
    o["First"] = d->First;
    o["Lend"] = d->Lend;
    QJsonArray marks;
    for (int32_t k : d->marks) marks.append(k);
    o["marks"] = marks;
  }
  return o;
}

// What every recording of one `measure` call shares.
struct MeasureOptions {
  std::optional<int16_t> gain;  // --gain, or the --par of a single recording
  QString sighting;
  QString aver = QStringLiteral("64");
  QString output;
};

// The raw parameter file filed beside a recording: the same stem with ".par" (".PAR" beside
// an upper-case ".DAT").
QString ParBeside(const QString& dat) {
  const QString suffix = QFileInfo(dat).suffix();
  const QString par =
      suffix == QLatin1String("DAT") ? QStringLiteral("PAR") : QStringLiteral("par");
  if (suffix.isEmpty()) return dat + QLatin1Char('.') + par;
  return dat.left(dat.size() - suffix.size()) + par;
}

// One recording measured as the program measures it: the sighting file first when there is
// one, then the working file with the gain code it was recorded with. Returns false with the
// reason when the recording cannot be measured.
bool MeasureRecording(const QString& dat, const MeasureOptions& o, QJsonObject& out,
                      QString& error) {
  if (!CheckRecording(dat, error)) return false;
  int16_t gain = 0;
  try {
    gain = o.gain ? *o.gain : ReadParFile(ParBeside(dat));
  } catch (const MeasError& e) {
    error = QString::fromStdString(e.what());
    return false;
  }
  ResetProgramStateKeepingSettings();
  MeasState& m = Meas();
  m.GainCode = gain;
  m.AdcRate = 100.0;
  m.AverNumText = o.aver;
  m.NeedSighting = !o.sighting.isEmpty();
  int pass = m.NeedSighting ? 0 : 1;
  CycleIo io;
  io.outputPath = o.output;
  io.pauseBeforeAveraging = false;
  io.mapRecordings = true;  // recordings at rest, read once
  io.acquire = [&] {
    if (pass == 0) {
      Paths().TestDatPath = o.sighting;
    } else {
      Paths().TestDatPath = dat;
      m.GainCode = gain;
    }
    m.GainText = QString::number(m.GainCode);
    m.AcqStatus = 1;
    ++pass;
  };
  CycleDetails details;
  try {
    MeasCycle(io, &details);
  } catch (const MeasError& e) {
    error = QString::fromStdString(e.what());
    return false;
  }
  out = ResultsJson(&details);
  out["file"] = dat;
  out["sighting"] = details.sightingRan;
  out["averaged"] = details.workingRan && details.averaged1.size() > 0;
  return true;
}

// measure FILE.dat ...: one JSON line per recording, in the order given. With several, a
// recording that cannot be measured gets a line with its reason and the others go on (exit 1);
// a single one is a bad argument then, as it always was.
int RunMeasure(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"par", "config", "aver", "gain", "sighting", "output"}, {});
  if (!p.error.isEmpty()) return UsageError(p.error);
  const QStringList& files = p.positional;
  if (files.isEmpty()) return UsageError("name one recording FILE.dat or more");
  const bool batch = files.size() > 1;
  if (batch && p.Has("par"))
    return UsageError(
        "--par names the parameter file of a single recording; "
        "with several, each takes the .par beside it");
  if (batch && p.Has("output"))
    return UsageError("--output takes the averaged revolution of a single recording");
  MeasureOptions o;
  QString error;
  if (!ReadGain(p, o.gain, error)) return UsageError(error);
  o.sighting = p.Value("sighting");
  if (p.Has("sighting") && !CheckRecording(o.sighting, error)) return UsageError(error);
  if (p.Has("aver")) {
    const auto n = ToInt(p.Value("aver"));
    if (!n || *n < 1 || *n > 100000) return UsageError("--aver must be a whole number from 1");
    o.aver = QString::number(*n);
  }
  if (p.Has("output")) {
    o.output = QFileInfo(p.Value("output")).absoluteFilePath();
    if (!QFileInfo(QFileInfo(o.output).absolutePath()).isDir())
      return UsageError("no such directory for --output: " + o.output);
  }
  if (!LoadSettings(p.Value("config"), error)) return UsageError(error);

  int status = kExitOk;
  for (const QString& dat : files) {
    QJsonObject out;
    if (!MeasureRecording(dat, o, out, error)) {
      if (!batch) return UsageError(error);
      out = QJsonObject{{"file", dat}, {"error", error}};
      status = kExitFailed;
    }
    PrintJson(out);
  }
  return status;
}

int RunSpectrum(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"par", "config", "gain"}, {});
  OfflineInput in;
  QString error;
  if (!ReadOfflineInput(p, in, error)) return UsageError(error);
  try {
    // The meter takes the means the cycle found over the whole recording.
    const RawRecording rec = RawRecording::Read(in.dat);
    const ChannelMeans means = ChannelMeansOf(rec.data(), rec.frames());
    const SpectrumData d =
        MeterSpectrum(rec.data(), rec.frames(), means, ChanScale(1), ChanScale(2));
    QJsonObject out;
    out["file"] = in.dat;
    out["GainCode"] = Meas().GainCode;
    out["AdcMean1"] = means.mean1;
    out["AdcMean2"] = means.mean2;
    out["lines"] = ListJson(d);
    PrintJson(out);
  } catch (const MeasError& e) {
    return UsageError(QString::fromStdString(e.what()));
  }
  return kExitOk;
}

int RunHarmonics(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"par", "config", "gain", "revs"}, {});
  OfflineInput in;
  QString error;
  if (!ReadOfflineInput(p, in, error)) return UsageError(error);
  if (!p.Has("revs")) return UsageError("harmonics needs --revs R");
  const auto revs = ToInt(p.Value("revs"));
  if (!revs || *revs < 1 || *revs > 1000000)
    return UsageError("--revs must be a whole number from 1");
  try {
    const RawRecording rec = RawRecording::Read(in.dat);
    const std::vector<ExtractedLine> lines =
        ExtractRevolutions(rec.data(), rec.frames(), static_cast<int>(*revs));
    std::vector<std::array<int32_t, 2>> columns;
    columns.reserve(lines.size());
    for (const ExtractedLine& l : lines) columns.push_back({l.c1, l.c2});
    const auto r =
        AnalyseHarmonics(columns, ChanScale(1), ChanScale(2), static_cast<int>(*revs), 32);
    if (!r) {
      PrintLine(QStringLiteral("Requare more points to calculate spectrum !!!"));
      return kExitFailed;
    }
    QJsonArray rows;
    for (const HarmonicRow& row : r->rows) {
      QJsonObject o;
      o["harmonic"] = row.label;
      o["ch1"] = Rounded4(row.h1 / kPeakToRms);
      o["ch2"] = Rounded4(row.h2 / kPeakToRms);
      rows.append(o);
    }
    QJsonObject out;
    out["file"] = in.dat;
    out["GainCode"] = Meas().GainCode;
    out["revs"] = static_cast<int>(*revs);
    out["j"] = r->j;
    out["N"] = r->N;
    out["q"] = r->q;
    out["lines"] = rows;
    PrintJson(out);
  } catch (const MeasError& e) {
    return UsageError(QString::fromStdString(e.what()));
  }
  return kExitOk;
}

int RunBandSpectrum(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"par", "config", "gain", "bandwidth"}, {});
  OfflineInput in;
  QString error;
  if (!ReadOfflineInput(p, in, error)) return UsageError(error);
  const auto bandwidth = BandwidthFromItem(p.Value("bandwidth"));
  if (!bandwidth) return UsageError("--bandwidth must be 64, 128, 320 or 640");
  try {
    const RawRecording rec = RawRecording::Read(in.dat);
    const SpectrumData d =
        BandSpectrum(rec.data(), rec.frames(), *bandwidth, ChanScale(1), ChanScale(2));
    QJsonObject out;
    out["file"] = in.dat;
    out["GainCode"] = Meas().GainCode;
    out["AdcRate"] = bandwidth->adcRate;
    out["m"] = bandwidth->m;
    out["df"] = bandwidth->df;
    out["AdcMean1"] = d.means.mean1;
    out["AdcMean2"] = d.means.mean2;
    out["lines"] = ListJson(d);
    PrintJson(out);
  } catch (const MeasError& e) {
    return UsageError(QString::fromStdString(e.what()));
  }
  return kExitOk;
}

int RunMeter(const QStringList& args) {
  const ParsedArgs p = ParseArgs(args, {"count", "aver", "dir", "sim-file"}, {});
  if (!p.error.isEmpty()) return UsageError(p.error);
  if (!p.positional.isEmpty()) return UsageError("unexpected argument " + p.positional.first());
  const auto count = ToInt(p.Value("count", "1"));
  if (!count || *count < 1 || *count > 100000)
    return UsageError("--count must be a whole number from 1");
  const auto aver = ToInt(p.Value("aver", "64"));
  if (!aver || *aver < 1 || *aver > 100000)
    return UsageError("--aver must be a whole number from 1");
  QString dir, simFile;
  if (const QString bad = ResolveWorkDir(p, &dir, &simFile); !bad.isEmpty()) return UsageError(bad);

  // As at program start: the settings from the working directory's Kavero.cfg when it exists.
  QString error;
  const QString config = JoinPath(dir, QStringLiteral("Kavero.cfg"));
  if (!LoadSettings(QFileInfo::exists(config) ? config : QString(), error))
    return UsageError(error);
  ResetProgramStateKeepingSettings();
  ProgramPaths& paths = Paths();
  paths.WorkDir = QDir::cleanPath(dir);
  MeasState& m = Meas();
  m.AdcRate = 100.0;
  m.AverNumText = QString::number(*aver);
  DefaultSimAdc().SetConfigFile(simFile);

  TerminalSession terminal;
  int status = kExitOk;
  for (long long run = 1; run <= *count && !TerminalSession::Interrupted(); ++run) {
    // One "Single" run of the vibration meter.
    paths.TestDatPath = JoinPath(paths.WorkDir, QStringLiteral("Test.dat"));
    paths.TestParPath = JoinPath(paths.WorkDir, QStringLiteral("Test.par"));
    m.StopRequested = false;
    m.GainCode = m.NextGainCode;
    const bool sighting = m.NeedSighting;
    try {
      MeasCycle();
      if (m.NeedSighting && m.RPM > 0 && !m.WrongTacho) m.NeedSighting = false;
      if (m.AcqStatus != -1) RunSpectrumRoutine(true);
    } catch (const MeasError& e) {
      return UsageError(QString::fromStdString(e.what()));
    }
    QJsonObject out = ResultsJson(nullptr);
    out["run"] = run;
    out["sighting"] = sighting;
    out["AcqStatus"] = m.AcqStatus;
    out["NeedSighting"] = m.NeedSighting;
    PrintJson(out);
    if (m.AcqStatus == -1) {
      status = kExitFailed;
      break;
    }
  }
  return status;
}

Registrar regMeasure{{"measure",
                      "measure FILE.dat [--par FILE.par] [--config Kavero.cfg] [--aver N] "
                      "[--gain G] [--sighting FILE.dat] [--output FILE] | "
                      "measure A.dat B.dat ... [--config Kavero.cfg] [--aver N] [--gain G] "
                      "[--sighting FILE.dat]",
                      RunMeasure}};
Registrar regSpectrum{{"spectrum",
                       "spectrum FILE.dat [--par FILE.par] [--config Kavero.cfg] [--gain G]",
                       RunSpectrum}};
Registrar regHarmonics{
    {"harmonics", "harmonics FILE.dat --revs R [--par FILE.par] [--config Kavero.cfg] [--gain G]",
     RunHarmonics}};
Registrar regBand{{"bandspectrum",
                   "bandspectrum FILE.dat --bandwidth 64|128|320|640 [--par FILE.par] "
                   "[--config Kavero.cfg] [--gain G]",
                   RunBandSpectrum}};
Registrar regMeter{
    {"meter", "meter [--count N] [--aver N] [--dir WORKDIR] [--sim-file FILE]", RunMeter}};

}  // namespace
}  // namespace vintor::cli
