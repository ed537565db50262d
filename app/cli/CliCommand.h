#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace vintor::cli {

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Command {
  QString name;
  QString usage;  // one line, shown by "vintor-cli help"
  std::function<int(const QStringList& args)> run;
};

std::vector<Command>& Registry();

// Registers a subcommand from a static object in its own source file.
struct Registrar {
  explicit Registrar(Command command) { Registry().push_back(std::move(command)); }
};

// "--name value" options and positional arguments. Flags listed in `flags` take no value.
struct ParsedArgs {
  std::map<QString, QString> options;
  QStringList positional;
  QString error;  // non-empty when the words were off
  bool Has(const QString& name) const { return options.count(name) != 0; }
  QString Value(const QString& name, const QString& fallback = {}) const;
};
ParsedArgs ParseArgs(const QStringList& args, const QStringList& valueOptions,
                     const QStringList& flags);

// Strict number readers for option values (C locale, whole text).
std::optional<double> ToDouble(const QString& text);
std::optional<long long> ToInt(const QString& text);

// One-line error on stderr; returns kExitUsage.
int UsageError(const QString& message);
// Prints one JSON object on one line to stdout.
void PrintJson(const QJsonObject& object);

}  // namespace vintor::cli
