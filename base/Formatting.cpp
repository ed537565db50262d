#include "base/Formatting.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace vintor {

double RoundHalfEven(double x) { return std::nearbyint(x); }

QString FormatPicture(double x, int decimals, QChar separator) {
  if (std::isnan(x)) return QStringLiteral("NAN");
  if (std::isinf(x)) return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (decimals < 0) decimals = 0;

  // 15 significant digits: d.dddddddddddddde+XX
  std::array<char, 64> buf{};
  auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(x),
                                 std::chars_format::scientific, 14);
  if (ec != std::errc()) return QString();
  const std::string text(buf.data(), end);
  const size_t ePos = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, ePos - 2);  // 15 digits
  int exponent = std::stoi(text.substr(ePos + 1));
  const bool negative = std::signbit(x);

  // The value is 0.d1d2...d15 x 10^(exponent+1); keep the digits down to 10^-decimals.
  int pointPos = exponent + 1;  // digits before the decimal point
  int keep = pointPos + decimals;
  if (keep < 0) {
    digits = "0";
    pointPos = 1;
  } else if (keep < static_cast<int>(digits.size())) {
    const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
      int i = keep - 1;
      while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
        digits[static_cast<size_t>(i--)] = '0';
      if (i >= 0) {
        ++digits[static_cast<size_t>(i)];
      } else {
        digits.insert(digits.begin(), '1');
        ++pointPos;
      }
    }
    if (digits.empty()) {
      digits = "0";
      pointPos = 1;
    }
  }

  // Lay the digits out around the point, padding with zeros on either side.
  std::string intPart, fracPart;
  for (int i = 0; i < pointPos; ++i)
    intPart += i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
  for (int i = 0; i < decimals; ++i) {
    const int idx = pointPos + i;
    fracPart += (idx >= 0 && idx < static_cast<int>(digits.size()))
                    ? digits[static_cast<size_t>(idx)]
                    : '0';
  }
  const size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "0" : intPart.substr(nz);

  const bool allZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
  QString out = (negative && !allZero) ? QStringLiteral("-") : QString();
  out += QString::fromLatin1(intPart.c_str());
  if (decimals > 0) {
    out += separator;
    out += QString::fromLatin1(fracPart.c_str());
  }
  return out;
}

QString FormatUpToDecimals(double x, int maxDecimals, QChar separator) {
  QString t = FormatPicture(x, maxDecimals, separator);
  if (maxDecimals <= 0 || !t.contains(separator)) return t;
  while (t.endsWith(QLatin1Char('0'))) t.chop(1);
  if (t.endsWith(separator)) t.chop(1);
  return t;
}

QString FormatFixedWidth(double x, int width, int precision, QChar separator) {
  std::array<char, 400> buf{};
  auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, precision);
  QString out = ec == std::errc() ? QString::fromLatin1(buf.data(), end - buf.data()) : QString();
  out.replace(QLatin1Char('.'), separator);
  return out.rightJustified(width, QLatin1Char(' '));
}

QString FormatGeneral(double x, QChar separator) {
  if (std::isnan(x)) return QStringLiteral("NAN");
  if (std::isinf(x)) return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  std::array<char, 64> buf{};
  auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::general, 15);
  if (ec != std::errc()) return QString();
  std::string text(buf.data(), end);
  // "1e-05" is written "1E-5".
  const size_t e = text.find('e');
  if (e != std::string::npos) {
    std::string mant = text.substr(0, e);
    std::string exp = text.substr(e + 1);
    const bool neg = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '-' || exp[0] == '+')) exp.erase(0, 1);
    exp.erase(0, std::min(exp.find_first_not_of('0'), exp.size() - 1));
    text = mant + "E" + (neg ? "-" : "") + exp;
  }
  QString out = QString::fromLatin1(text.c_str());
  out.replace(QLatin1Char('.'), separator);
  return out;
}

QString FormatVibValue(double x, QChar separator) {
  if (x >= 10) return FormatPicture(x, 1, separator);
  if (x >= 1) return FormatPicture(x, 2, separator);
  return FormatPicture(x, 3, separator);
}

QString FormatMassValue(double x, QChar separator) {
  if (x >= 100) return FormatPicture(x, 0, separator);
  if (x >= 10) return FormatPicture(x, 1, separator);
  if (x >= 1) return FormatPicture(x, 2, separator);
  return FormatPicture(x, 3, separator);
}

bool ParseNumber(const QString& text, double* value, QChar separator) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return false;
  std::string s;
  s.reserve(static_cast<size_t>(t.size()));
  int i = 0;
  const int n = static_cast<int>(t.size());
  if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) s += t[i++].toLatin1();
  int mantDigits = 0;
  while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
    s += t[i++].toLatin1();
    ++mantDigits;
  }
  if (i < n && t[i] == separator) {
    s += '.';
    ++i;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
      s += t[i++].toLatin1();
      ++mantDigits;
    }
  }
  if (mantDigits == 0) return false;
  if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
    s += 'e';
    ++i;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) s += t[i++].toLatin1();
    int expDigits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
      s += t[i++].toLatin1();
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  const char* first = s.c_str();
  if (*first == '+') ++first;
  double v = 0;
  auto [ptr, ec] = std::from_chars(first, s.c_str() + s.size(), v);
  if (ec != std::errc() || ptr != s.c_str() + s.size() || !std::isfinite(v)) return false;
  if (value) *value = v;
  return true;
}

QChar NumKeyFilter(QChar key, QChar separator) {
  if (key == QChar(8) || key == separator) return key;
  if (key >= QLatin1Char('0') && key <= QLatin1Char('9')) return key;
  if (key == QLatin1Char('.') || key == QLatin1Char(',')) return separator;
  return QChar(0);
}

QString MendSeparators(QString text, QChar separator) {
  text.replace(QLatin1Char('.'), separator);
  text.replace(QLatin1Char(','), separator);
  return text;
}

}  // namespace vintor
