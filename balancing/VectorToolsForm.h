#pragma once

#include <array>

#include "kit/WindowKit.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vintor {

// "Vector tools": masses at one radius combined into one, and one mass split onto two chosen
// angles (two existing holes, two blades). Masses in any unit, angles in degrees counted as the
// correction angles are. Enter in a field computes its group.
class VectorToolsForm : public KitDialog {
  Q_OBJECT
 public:
  explicit VectorToolsForm(QWidget* parent = nullptr);

  static constexpr int kRows = 6;
  // Combine: masses and angles, the button and the result.
  std::array<QLineEdit*, kRows> EditMass{};
  std::array<QLineEdit*, kRows> EditAngle{};
  QPushButton* ButtonCombine;
  QLabel* LabelCombined;
  // Split: the mass, its angle, the two angles to split onto, the button and the two masses.
  QLineEdit* EditSplitMass;
  QLineEdit* EditSplitAngle;
  QLineEdit* EditAt1;
  QLineEdit* EditAt2;
  QPushButton* ButtonSplit;
  QLabel* LabelSplit1;
  QLabel* LabelSplit2;
  QPushButton* Button1;  // "F10 - Exit"

  // Each warns and leaves the results empty when the entries do not do.
  bool Combine();
  bool Split();
};

}  // namespace vintor
