#pragma once

#include <QChar>
#include <QString>

#include "platform/DecimalSeparator.h"

namespace vintor {

// Nearest integer, exact halves to the even neighbour (the program's usual rounding).
double RoundHalfEven(double x);

// Picture format with `decimals` mandatory decimals ("0." / "0" for 0, "0.00" for 2, ...):
// the value is taken to 15 significant digits, then rounded half away from zero.
QString FormatPicture(double x, int decimals, QChar separator = DecimalSeparator());

// printf-style "%W.Pf": exact binary value rounded to P decimals, right-aligned in W columns.
QString FormatFixedWidth(double x, int width, int precision, QChar separator = DecimalSeparator());

// Picture format with optional decimals ("0.###" for 3): at most `maxDecimals`, no trailing
// zeros, never an exponent.
QString FormatUpToDecimals(double x, int maxDecimals, QChar separator = DecimalSeparator());

// The general number-to-text conversion: shortest form with up to 15 significant digits.
QString FormatGeneral(double x, QChar separator = DecimalSeparator());

// Vibration values: "0.0" from 10 up, "0.00" from 1, "0.000" below 1 (negatives included).
QString FormatVibValue(double x, QChar separator = DecimalSeparator());
// Masses: "0" from 100 up, "0.0" from 10, "0.00" from 1, "0.000" below 1.
QString FormatMassValue(double x, QChar separator = DecimalSeparator());

// Text to number as the operator's entries are read: optional blanks around, optional sign,
// digits with at most one `separator`, optional exponent. Anything else fails.
bool ParseNumber(const QString& text, double* value, QChar separator = DecimalSeparator());

// Key filter of numeric fields: backspace, digits and the separator pass; "." and "," become
// the separator; anything else becomes the null character (the key is dropped).
QChar NumKeyFilter(QChar key, QChar separator = DecimalSeparator());

// Replaces every "." and then every "," by `separator` (how typed and read numbers are mended).
QString MendSeparators(QString text, QChar separator = DecimalSeparator());

}  // namespace vintor
