#pragma once

// The one place that knows the raw data file: frames of four little-endian int16 samples
// (vibration channel 1, channel 2, tachometer, spare), no header. A partial frame at the end of
// a file (odd size, truncated copy) is ignored.

#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

namespace vintor {

// A file or conversion failure of the measurement code; callers show what() as an error.
class MeasError : public std::runtime_error {
 public:
  explicit MeasError(const QString& message);
};

inline constexpr int kRawFrameBytes = 8;

class RawRecording {
 public:
  RawRecording() = default;
  int64_t frames() const { return frames_; }
  int64_t samples() const { return frames_ * 4; }
  int16_t* data() { return data_.get(); }
  const int16_t* data() const { return data_.get(); }
  bool empty() const { return frames_ == 0; }

  // Reads whole frames of the file, at most `maxFrames` of them (all when negative).
  // Throws MeasError when the file cannot be opened or read.
  static RawRecording Read(const QString& path, int64_t maxFrames = -1);

 private:
  std::unique_ptr<int16_t[]> data_;
  int64_t frames_ = 0;
};

// The whole frames of a raw data file, read-only, for processing that never writes the samples:
// read into a buffer that the next Open reuses, or mapped into memory when asked and the system
// allows it (only for files nobody rewrites meanwhile: a mapped file cut short under the reader
// ends the process). The samples stay valid until the next Open or Close.
class RawFileView {
 public:
  RawFileView() = default;
  RawFileView(const RawFileView&) = delete;
  RawFileView& operator=(const RawFileView&) = delete;
  ~RawFileView() { Close(); }

  // At most `maxFrames` frames (all when negative). Throws MeasError as RawRecording::Read does.
  void Open(const QString& path, int64_t maxFrames = -1, bool map = false);
  void Close();

  int64_t frames() const { return frames_; }
  int64_t samples() const { return frames_ * 4; }
  const int16_t* data() const { return data_; }
  bool empty() const { return frames_ == 0; }
  bool mapped() const { return map_ != nullptr; }

 private:
  QFile file_;
  uchar* map_ = nullptr;
  std::unique_ptr<int16_t[]> buffer_;
  int64_t bufferFrames_ = 0;
  const int16_t* data_ = nullptr;
  int64_t frames_ = 0;
};

// Gain code from the text of a raw parameter file: its first character, "0" to "3".
std::optional<int16_t> GainCodeFromParText(const QByteArray& content);
// Reads a raw parameter file; throws MeasError when it cannot be read or holds no gain code.
int16_t ReadParFile(const QString& path);

}  // namespace vintor
