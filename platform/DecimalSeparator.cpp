#include "platform/DecimalSeparator.h"

#include <QLocale>
#include <QString>

namespace vintor {
namespace {
QChar g_override;
}

QChar DecimalSeparator() {
  if (!g_override.isNull()) return g_override;
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() ? QChar('.') : point.at(0);
}

void SetDecimalSeparatorOverride(QChar separator) { g_override = separator; }

}  // namespace vintor
