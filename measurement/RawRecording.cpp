#include "measurement/RawRecording.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <limits>

namespace vintor {

MeasError::MeasError(const QString& message) : std::runtime_error(message.toStdString()) {}

namespace {

// Opens a raw data file and returns how many whole frames to take from it.
int64_t OpenFrames(QFile& file, const QString& path, int64_t maxFrames) {
  file.setFileName(path);
  if (!file.open(QIODevice::ReadOnly))
    throw MeasError(
        QStringLiteral("Cannot open raw data file %1: %2").arg(path, file.errorString()));
  int64_t frames = file.size() / kRawFrameBytes;
  if (maxFrames >= 0) frames = std::min(frames, maxFrames);
  // Frame numbers are 32-bit; nothing the module records comes near that.
  if (frames > std::numeric_limits<int32_t>::max())
    throw MeasError(QStringLiteral("Raw data file %1 is too large").arg(path));
  return frames;
}

// Reads up to `frames` frames into `out`; returns the whole frames that arrived (a file that
// shrank while being read keeps those).
int64_t ReadFrames(QFile& file, const QString& path, int16_t* out, int64_t frames) {
  const qint64 bytes = frames * kRawFrameBytes;
  qint64 done = 0;
  auto* bytesOut = reinterpret_cast<char*>(out);
  while (done < bytes) {
    const qint64 got = file.read(bytesOut + done, bytes - done);
    if (got <= 0) break;
    done += got;
  }
  if (done < bytes && file.error() != QFileDevice::NoError)
    throw MeasError(
        QStringLiteral("Cannot read raw data file %1: %2").arg(path, file.errorString()));
  const int64_t got = done / kRawFrameBytes;
  if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
    for (int64_t i = 0; i < got * 4; ++i)
      out[static_cast<size_t>(i)] = qFromLittleEndian(out[static_cast<size_t>(i)]);
  }
  return got;
}

}  // namespace

RawRecording RawRecording::Read(const QString& path, int64_t maxFrames) {
  QFile file;
  const int64_t frames = OpenFrames(file, path, maxFrames);
  RawRecording rec;
  rec.data_.reset(new int16_t[static_cast<size_t>(frames) * 4]);
  rec.frames_ = ReadFrames(file, path, rec.data_.get(), frames);
  return rec;
}

void RawFileView::Open(const QString& path, int64_t maxFrames, bool map) {
  Close();
  const int64_t frames = OpenFrames(file_, path, maxFrames);
  if (frames == 0) {
    file_.close();
    return;
  }
  // Mapping spares the copy and the page faults of a fresh buffer; the samples are read in
  // place, so only a little-endian host can use them as they are.
  if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
    if (map) map_ = file_.map(0, frames * kRawFrameBytes);
    if (map_) {
      data_ = reinterpret_cast<const int16_t*>(map_);
      frames_ = frames;
      return;
    }
  }
  if (bufferFrames_ < frames) {
    buffer_.reset();
    buffer_.reset(new int16_t[static_cast<size_t>(frames) * 4]);
    bufferFrames_ = frames;
  }
  frames_ = ReadFrames(file_, path, buffer_.get(), frames);
  data_ = buffer_.get();
  file_.close();
}

void RawFileView::Close() {
  if (map_) file_.unmap(map_);
  map_ = nullptr;
  if (file_.isOpen()) file_.close();
  data_ = nullptr;
  frames_ = 0;
}

std::optional<int16_t> GainCodeFromParText(const QByteArray& content) {
  if (content.isEmpty()) return std::nullopt;
  const char c = content.at(0);
  if (c < '0' || c > '3') return std::nullopt;
  return static_cast<int16_t>(c - '0');
}

int16_t ReadParFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw MeasError(
        QStringLiteral("Cannot open parameter file %1: %2").arg(path, file.errorString()));
  const auto code = GainCodeFromParText(file.read(16));
  if (!code) throw MeasError(QStringLiteral("Parameter file %1 holds no gain code").arg(path));
  return *code;
}

}  // namespace vintor
