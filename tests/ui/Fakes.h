#pragma once

#include <QStringList>

#include "platform/Seams.h"

// Dialogs and shell that record what the program asked for and never block.
class RecordingDialogs final : public vintor::Dialogs {
 public:
  QStringList warnings, messages, errors;
  void Warning(const QString& m) override {
    warnings << (m.isNull() ? QStringLiteral("<none>") : m);
  }
  void Message(const QString& c, const QString& t) override { messages << c + "|" + t; }
  void Error(const QString& t) override { errors << t; }
};

class FakeShell final : public vintor::Shell {
 public:
  bool answer = true;
  QStringList opened;
  bool Open(const QString& path) override {
    opened << path;
    return answer;
  }
};
