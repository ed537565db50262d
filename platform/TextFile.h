#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vintor {

// How a replacement reaches the disk.
enum class Flush {
  // The new bytes are on the disk before they replace the old file: what the operator keeps.
  Durable,
  // Left to the system: working files that every run rewrites (Output.txt, Garmoniki.txt). A
  // crash may lose the newest version but never leaves a mix of two; waiting for the disk would
  // cost a few milliseconds per file on every run.
  Working,
};

// Replaces the file at `path` whole: the bytes go to a temporary file beside it, which is then
// renamed over the target, so a crash or a full disk never leaves half a file behind.
// On failure returns false, leaves the old file untouched and puts the system's text in `error`.
bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                 Flush flush = Flush::Durable);

// Writes `lines` as Windows-1251 text, every line ended by CR LF, through ReplaceFile.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error = nullptr,
                    Flush flush = Flush::Durable);

// Joins a directory and a file name with this platform's separator.
QString JoinPath(const QString& dir, const QString& name);

}  // namespace vintor
