#pragma once

#include <QString>

#include "measurement/MeasState.h"

namespace vintor {

// What the meter's seven result labels show after a measurement, and which are over the limit.
struct MeterResults {
  QString N1, S11, V11, F11, S21, V21, F21;
  bool overS11 = false, overV11 = false, overS21 = false, overV21 = false;
  bool AnyOver() const { return overS11 || overV11 || overS21 || overV21; }
};

MeterResults MeterResultTexts(const MeasState& m, double maxV);

// The texts the labels show before the first measurement of a showing.
MeterResults MeterEmptyTexts();

inline const QString kSetCoefficientMessage = QStringLiteral("Set proper coefficient!");
inline const QString kTooHighMessage = QStringLiteral(
    "Vibration level is too high to measure! Mount vibration sensors in other place! ");

}  // namespace vintor
