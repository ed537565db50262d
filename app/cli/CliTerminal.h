#pragma once

#include <QString>
#include <csignal>

namespace vintor::cli {

struct ParsedArgs;

// The working directory (--dir, default ".") and the simulated module's parameter file
// (--sim-file, default SimE154.cfg in that directory) of a command that records.
// Returns an error text when either does not exist (a missing parameter file is accepted with
// `newSimFile`, when its folder exists).
QString ResolveWorkDir(const ParsedArgs& args, QString* dir, QString* simFile,
                       bool newSimFile = false);

// One line on stderr, flushed.
void PrintLine(const QString& line);

// For the length of a command that measures: the device log and every message go to stderr,
// and Ctrl+C stops a running recording as the stop key would.
class TerminalSession {
 public:
  TerminalSession();
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;
  static bool Interrupted();

 private:
  struct Impl;
  Impl* d_;
};

}  // namespace vintor::cli
