#pragma once

#include <QChar>

namespace vintor {

// The system decimal separator (from the locale), unless a test has set one.
QChar DecimalSeparator();
// Tests pin the separator with this; QChar() returns to the system's.
void SetDecimalSeparatorOverride(QChar separator);

}  // namespace vintor
