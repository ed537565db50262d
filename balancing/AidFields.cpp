#include "balancing/AidFields.h"

#include <QComboBox>
#include <QLineEdit>
#include <cmath>

#include "base/Formatting.h"
#include "kit/NumericField.h"
#include "kit/WindowKit.h"

namespace vintor {
namespace {

bool Same(double a, double b) { return a == b || std::fabs(a - b) <= 1e-12 * std::fabs(b); }

}  // namespace

AidEntries& AidEntries::Hub() {
  static AidEntries* hub = new AidEntries;
  return *hub;
}

std::optional<double> ReadAidNumber(const QString& text) {
  double v = 0.0;
  if (!ParseNumber(MendSeparators(text), &v) || !std::isfinite(v)) return std::nullopt;
  return v;
}

QLineEdit* AidField(QWidget* parent, const QString& name, double AidsInput::*entry, double scale,
                    double whenEmpty) {
  QLineEdit* e = MakeEdit(parent, name, QString());
  e->setFixedWidth(80);
  MakeNumeric(e, ExitMend::Point);
  const auto valueOf = [scale, whenEmpty](const QString& text) {
    const auto v = ReadAidNumber(text);
    return v ? *v / scale : whenEmpty;
  };
  const auto show = [e, entry, scale, valueOf] {
    const double held = Aids().*entry;
    // A text that already reads as the entry stays as typed ("2," while typing "2,5").
    if (Same(valueOf(e->text()), held)) return;
    e->setText(held == 0.0 ? QString() : FormatGeneral(held * scale));
  };
  QObject::connect(e, &QLineEdit::textChanged, e, [entry, valueOf](const QString& text) {
    const double v = valueOf(text);
    if (Same(v, Aids().*entry)) return;
    Aids().*entry = v;
    AidEntries::Hub().Changed();
  });
  QObject::connect(&AidEntries::Hub(), &AidEntries::changed, e, show);
  // The entry as it stands, the default share included.
  if (Aids().*entry != 0.0) e->setText(FormatGeneral(Aids().*entry * scale));
  return e;
}

QComboBox* GradeCombo(QWidget* parent, const QString& name) {
  QStringList items{QString()};
  for (double g : BalanceGrades()) items << QStringLiteral("G ") + FormatGeneral(g);
  QComboBox* c = MakeCombo(parent, name, items, false);
  const auto show = [c] {
    int index = 0;
    const auto& grades = BalanceGrades();
    for (size_t k = 0; k < grades.size(); ++k)
      if (Same(Aids().Grade, grades[k])) index = static_cast<int>(k) + 1;
    c->setCurrentIndex(index);
  };
  QObject::connect(c, &QComboBox::currentIndexChanged, c, [](int index) {
    const double g = index > 0 ? BalanceGrades()[static_cast<size_t>(index - 1)] : 0.0;
    if (Same(g, Aids().Grade)) return;
    Aids().Grade = g;
    AidEntries::Hub().Changed();
  });
  QObject::connect(&AidEntries::Hub(), &AidEntries::changed, c, show);
  show();
  return c;
}

}  // namespace vintor
