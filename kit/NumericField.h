#pragma once

class QLineEdit;
class QMenu;

namespace vintor {

// What leaving a field does to the separators in its text.
enum class ExitMend {
  None,
  Point,         // every "." becomes the decimal separator
  PointAndComma  // every "." and then every "," becomes the decimal separator
};

// A numeric field: typed keys pass through NumKeyFilter, and pasted text (keyboard, context
// menu, middle button) keeps only what typing it would have kept; drops are refused. Leaving the
// field applies `mend`.
void MakeNumeric(QLineEdit* edit, ExitMend mend = ExitMend::Point);

// Only the mending on leaving, for fields that take any key.
void MendOnExit(QLineEdit* edit, ExitMend mend);

// The context menu a numeric field shows: the standard one, with a filtered Paste.
QMenu* NumericContextMenu(QLineEdit* edit);

}  // namespace vintor
