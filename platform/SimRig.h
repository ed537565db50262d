#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/SimAdc.h"

namespace vintor {

// The simulated module's parameter file as a rig that can be changed: keys set, masses
// attached and taken off. Edits touch only the lines of the keys they change; comments, blank
// lines, unknown keys and bad lines stay as written, byte for byte. Planes are numbered 1 and 2.
class SimRig {
 public:
  // Reads the file. A missing file is a rig with every default (Save creates it). False, with
  // the system's text, when the file exists but cannot be read.
  bool Load(const QString& path, QString* error = nullptr);
  // Replaces the file whole (temporary file, then rename), every line ended by CR LF.
  bool Save(QString* error = nullptr) const;

  const QString& Path() const { return path_; }
  bool Exists() const { return exists_; }  // the file was there when loaded

  // What the simulator would make of the text now, and its messages about what it would skip.
  SimConfig Config(QStringList* problems = nullptr) const;
  // Every "key = value" line, known to the simulator or not, in file order (key in lower case;
  // the last line of a key wins).
  std::vector<std::pair<QString, QString>> Keys() const;
  // The value of the line that sets `key` (the last one), or a null string.
  QString Value(const QString& key) const;

  // Sets a key on its last line, keeping that line's comment, or appends "key = value". An
  // empty value takes the key out (its comments stay), so the default applies again. Refuses,
  // with the reason, a key the simulator does not know and a value it would skip.
  QString Set(const QString& key, const QString& value);

  // The masses of a plane as the simulator reads them; Remove counts them from 1 in this order.
  std::vector<SimMass> Masses(int plane) const;
  QString Attach(int plane, const SimMass& mass);
  bool Remove(int plane, int index);
  void Clear(int plane);  // 0: both planes

  // Where blade k of n sits: (k - 1) * 360 / n degrees from blade 1, the trial-mass point.
  static double BladeAngle(int blade, int blades);

 private:
  int LastLineOf(const QString& key) const;
  void SetMasses(int plane, const std::vector<SimMass>& masses);

  QString path_;
  bool exists_ = false;
  // The file's lines as Latin-1, one character per byte, so untouched bytes go back unchanged
  // whatever their encoding.
  QStringList lines_;
};

}  // namespace vintor
