#include "measurement/RawRecording.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <limits>

namespace vintor {

MeasError::MeasError(const QString& message) : std::runtime_error(message.toStdString()) {}

RawRecording RawRecording::Read(const QString& path, int64_t maxFrames) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw MeasError(
        QStringLiteral("Cannot open raw data file %1: %2").arg(path, file.errorString()));
  int64_t frames = file.size() / kRawFrameBytes;
  if (maxFrames >= 0) frames = std::min(frames, maxFrames);
  // Frame numbers are 32-bit; nothing the module records comes near that.
  if (frames > std::numeric_limits<int32_t>::max())
    throw MeasError(QStringLiteral("Raw data file %1 is too large").arg(path));
  RawRecording rec;
  rec.data_.reset(new int16_t[static_cast<size_t>(frames) * 4]);
  const qint64 bytes = frames * kRawFrameBytes;
  qint64 done = 0;
  auto* out = reinterpret_cast<char*>(rec.data_.get());
  while (done < bytes) {
    const qint64 got = file.read(out + done, bytes - done);
    if (got <= 0) break;
    done += got;
  }
  if (done < bytes && file.error() != QFileDevice::NoError)
    throw MeasError(
        QStringLiteral("Cannot read raw data file %1: %2").arg(path, file.errorString()));
  // A file that shrank while being read keeps the frames that arrived.
  rec.frames_ = done / kRawFrameBytes;
  if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
    for (int64_t i = 0; i < rec.samples(); ++i)
      rec.data_[static_cast<size_t>(i)] = qFromLittleEndian(rec.data_[static_cast<size_t>(i)]);
  }
  return rec;
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
