#pragma once

#include <QString>
#include <cstdint>

namespace vintor {

// What tells one version of a file from the next: every writer of the program replaces a file
// by a new one (ReplaceFile), so the file id changes with each write even when the size and the
// time stamp do not.
struct FileStamp {
  bool exists = false;
  uint64_t device = 0;
  uint64_t fileId = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOfFile(const QString& path);

}  // namespace vintor
