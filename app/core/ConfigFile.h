#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "measurement/MeasState.h"
#include "platform/DecimalSeparator.h"

namespace vintor {

// Texts of the five settings fields, in file order: EditKPR1, EditKPR2, EditVs1, EditVs2, EditMaxV.
using SettingsTexts = std::array<QString, 5>;

// Texts the fields show before anything is loaded.
SettingsTexts InitialSettingsTexts();

enum class ConfigLoad {
  NotRead,  // no file or unreadable: nothing changed
  Loaded,
  BadValue  // a line did not convert; earlier values were taken, the rest kept
};

// Reads Kavero.cfg content in groups of five lines. Fields and values are updated line by line,
// so on BadValue the failing field shows its text while its value keeps the previous one.
ConfigLoad ParseSensorConfig(const QByteArray& content, SensorSettings& values,
                             SettingsTexts& texts, QChar separator = DecimalSeparator());
ConfigLoad LoadSensorConfig(const QString& path, SensorSettings& values, SettingsTexts& texts,
                            QChar separator = DecimalSeparator());

// Writes the five texts, one per line, replacing the file whole.
bool SaveSensorConfig(const QString& path, const SettingsTexts& texts, QString* error = nullptr);

// The texts Cancel puts back into the first four fields (EditMaxV is left alone).
SettingsTexts TextsFromValues(const SensorSettings& values, const SettingsTexts& current,
                              QChar separator = DecimalSeparator());

// Where the file lives: WorkDir + "Kavero.cfg".
QString SensorConfigPath();

}  // namespace vintor
