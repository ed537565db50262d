#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "balancing/core/BalancingAids.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace vintor {

// The aids' entries (Aids()) as fields of several windows at once: the initial-data and the
// correction windows show the same rotor mass and service speed. A field writes its entry as
// it is typed; every other field of that entry then shows the new value.
class AidEntries : public QObject {
  Q_OBJECT
 public:
  static AidEntries& Hub();
  // Aids() changed: the fields show it again and the windows update what depends on it.
  void Changed() { emit changed(); }

 signals:
  void changed();
};

// A number as the operator entered it, with either separator; nothing when empty or unreadable.
std::optional<double> ReadAidNumber(const QString& text);

// A numeric field bound to one entry of Aids(), shown as the entry times `scale` (the share of
// plane 1 in percent). An empty or unreadable text sets the entry to `whenEmpty`; a text that
// reads as the entry is left as typed, so a field emptied for the default stays empty.
QLineEdit* AidField(QWidget* parent, const QString& name, double AidsInput::*entry,
                    double scale = 1.0, double whenEmpty = 0.0);

// The balance grade list bound to Aids().Grade: "" (no grade), then "G 0.4" ... "G 40".
QComboBox* GradeCombo(QWidget* parent, const QString& name);

}  // namespace vintor
