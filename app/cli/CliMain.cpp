#include <QCoreApplication>
#include <QJsonDocument>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "acquisition/AdcAcquire.h"
#include "app/cli/CliCommand.h"
#include "measurement/MeasCycle.h"

namespace vintor::cli {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

QString ParsedArgs::Value(const QString& name, const QString& fallback) const {
  auto it = options.find(name);
  return it == options.end() ? fallback : it->second;
}

ParsedArgs ParseArgs(const QStringList& args, const QStringList& valueOptions,
                     const QStringList& flags) {
  ParsedArgs out;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a.startsWith(QLatin1String("--"))) {
      const QString name = a.mid(2);
      if (flags.contains(name)) {
        out.options[name] = QStringLiteral("1");
      } else if (valueOptions.contains(name)) {
        if (i + 1 >= args.size()) {
          out.error = QStringLiteral("option --%1 needs a value").arg(name);
          return out;
        }
        out.options[name] = args[++i];
      } else {
        out.error = QStringLiteral("unknown option %1").arg(a);
        return out;
      }
    } else {
      out.positional << a;
    }
  }
  return out;
}

std::optional<double> ToDouble(const QString& text) {
  bool ok = false;
  const double v = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<long long> ToInt(const QString& text) {
  bool ok = false;
  const long long v = QLocale::c().toLongLong(text.trimmed(), &ok);
  if (!ok) return std::nullopt;
  return v;
}

int UsageError(const QString& message) {
  std::fprintf(stderr, "vintor-cli: %s\n", message.toLocal8Bit().constData());
  return kExitUsage;
}

void PrintJson(const QJsonObject& object) {
  const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
  std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace vintor::cli

int main(int argc, char** argv) {
  using namespace vintor::cli;
  // measure reads files and prints: it needs no application object, whose set-up (event
  // dispatcher, C locale from the environment, logging rules) is a good part of its start.
  std::optional<QCoreApplication> app;
  if (argc < 2 || std::strcmp(argv[1], "measure") != 0) app.emplace(argc, argv);
  vintor::BindCycleAcquisition([] { vintor::AdcAcquire(); });
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (args.isEmpty() || args[0] == QLatin1String("help") || args[0] == QLatin1String("--help")) {
    std::fprintf(stderr, "usage: vintor-cli COMMAND [options]\n");
    for (const Command& c : Registry())
      std::fprintf(stderr, "  %s\n", c.usage.toLocal8Bit().constData());
    return args.isEmpty() ? kExitUsage : kExitOk;
  }
  const QString name = args.takeFirst();
  for (const Command& c : Registry()) {
    if (c.name == name) {
      try {
        return c.run(args);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "vintor-cli: %s\n", e.what());
        return kExitUsage;
      }
    }
  }
  return UsageError(QStringLiteral("unknown command %1").arg(name));
}
