#include "platform/FileStamp.h"

#include <sys/stat.h>

#include <QFile>

namespace vintor {

FileStamp StampOfFile(const QString& path) {
  FileStamp s;
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
  s.exists = true;
  s.device = static_cast<uint64_t>(st.st_dev);
  s.fileId = static_cast<uint64_t>(st.st_ino);
  s.size = static_cast<int64_t>(st.st_size);
  s.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

}  // namespace vintor
