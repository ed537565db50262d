#include "meter/core/MeterResults.h"

#include "base/Formatting.h"

namespace vintor {

MeterResults MeterResultTexts(const MeasState& m, double maxV) {
  MeterResults r;
  r.N1 = QStringLiteral("Nrev= ") + FormatPicture(m.RPM, 0) + QStringLiteral(" rpm");
  r.S11 = QStringLiteral("V1s= ") + FormatVibValue(m.V1s) + QStringLiteral(" mm/s");
  r.V11 = QStringLiteral("V1o= ") + FormatVibValue(m.V1o) + QStringLiteral(" mm/s");
  r.F11 = QStringLiteral("F1= ") + FormatPicture(m.F1, 0) + QStringLiteral(" degree");
  r.S21 = QStringLiteral("V2s= ") + FormatVibValue(m.V2s) + QStringLiteral(" mm/s");
  r.V21 = QStringLiteral("V2o= ") + FormatVibValue(m.V2o) + QStringLiteral(" mm/s");
  r.F21 = QStringLiteral("F2= ") + FormatPicture(m.F2, 0) + QStringLiteral(" degree");
  // Equal to the limit is still measurable.
  r.overS11 = m.V1s > maxV;
  r.overV11 = m.V1o > maxV;
  r.overS21 = m.V2s > maxV;
  r.overV21 = m.V2o > maxV;
  return r;
}

MeterResults MeterEmptyTexts() {
  MeterResults r;
  r.N1 = QStringLiteral("Nrev= n.d.");
  r.S11 = QStringLiteral("V1s= n.d.");
  r.V11 = QStringLiteral("V1o= n.d.");
  r.F11 = QStringLiteral("F1= n.d.");
  r.S21 = QStringLiteral("V2s= n.d.");
  r.V21 = QStringLiteral("V2o= n.d.");
  r.F21 = QStringLiteral("F2= n.d.");
  return r;
}

}  // namespace vintor
