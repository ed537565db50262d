#include "app/core/ConfigFile.h"

#include <QFile>

#include "base/Formatting.h"
#include "platform/Cp1251.h"
#include "platform/TextFile.h"

namespace vintor {
namespace {

// Line reader with text-file semantics: CR LF, a lone CR or a lone LF ends a line; reading
// past the end gives empty text.
class LineReader {
 public:
  explicit LineReader(const QByteArray& data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  QByteArray Next() {
    const qsizetype start = pos_;
    while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
    QByteArray line = data_.mid(start, pos_ - start);
    if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    return line;
  }

 private:
  const QByteArray& data_;
  qsizetype pos_ = 0;
};

constexpr double kEmptyValues[5] = {20.0, 20.0, 0.0, 0.0, 100.0};

double* ValueSlot(SensorSettings& s, int i) {
  switch (i) {
    case 0:
      return &s.Kpr1;
    case 1:
      return &s.Kpr2;
    case 2:
      return &s.Vs1Offset;
    case 3:
      return &s.Vs2Offset;
    default:
      return &s.MaxV;
  }
}

}  // namespace

SettingsTexts InitialSettingsTexts() {
  return {QStringLiteral("20,1"), QStringLiteral("20,01"), QStringLiteral("0,0"),
          QStringLiteral("0,0"), QStringLiteral("80")};
}

ConfigLoad ParseSensorConfig(const QByteArray& content, SensorSettings& values,
                             SettingsTexts& texts, QChar separator) {
  LineReader reader(content);
  while (!reader.AtEnd()) {
    for (int i = 0; i < 5; ++i) {
      QString text = DecodeCp1251(reader.Next());
      // The four channel settings accept either separator; the level limit is taken as written.
      if (i < 4) text = MendSeparators(text, separator);
      texts[static_cast<size_t>(i)] = text;
      if (text.isEmpty()) {
        *ValueSlot(values, i) = kEmptyValues[i];
        continue;
      }
      double v = 0.0;
      if (!ParseNumber(text, &v, separator)) return ConfigLoad::BadValue;
      *ValueSlot(values, i) = v;
    }
  }
  return ConfigLoad::Loaded;
}

ConfigLoad LoadSensorConfig(const QString& path, SensorSettings& values, SettingsTexts& texts,
                            QChar separator) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return ConfigLoad::NotRead;
  const QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) return ConfigLoad::NotRead;
  return ParseSensorConfig(content, values, texts, separator);
}

bool SaveSensorConfig(const QString& path, const SettingsTexts& texts, QString* error) {
  return WriteTextLines(path, QStringList(texts.begin(), texts.end()), error);
}

SettingsTexts TextsFromValues(const SensorSettings& values, const SettingsTexts& current,
                              QChar separator) {
  SettingsTexts out = current;
  out[0] = FormatGeneral(values.Kpr1, separator);
  out[1] = FormatGeneral(values.Kpr2, separator);
  out[2] = FormatGeneral(values.Vs1Offset, separator);
  out[3] = FormatGeneral(values.Vs2Offset, separator);
  return out;
}

QString SensorConfigPath() { return JoinPath(Paths().WorkDir, QStringLiteral("Kavero.cfg")); }

}  // namespace vintor
