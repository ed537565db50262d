#include "platform/SimRig.h"

#include <QFile>
#include <cmath>

#include "platform/TextFile.h"

namespace vintor {
namespace {

struct KeyLine {
  QString key;        // lower case, empty when the line sets nothing
  qsizetype eq = -1;  // position of '='
};

// The same reading of a line as the simulator's: '#' starts a comment, then "key = value".
KeyLine ReadKey(const QString& line) {
  QString text = line;
  const qsizetype hash = text.indexOf(QLatin1Char('#'));
  if (hash >= 0) text.truncate(hash);
  const qsizetype eq = text.indexOf(QLatin1Char('='));
  if (eq < 0) return {};
  return {text.left(eq).trimmed().toLower(), eq};
}

// The comment of a line with the blanks before it, or nothing.
QString CommentOf(const QString& line) {
  qsizetype hash = line.indexOf(QLatin1Char('#'));
  if (hash < 0) return QString();
  while (hash > 0 && line[hash - 1].isSpace()) --hash;
  return line.mid(hash);
}

QString MassesKey(int plane) { return QStringLiteral("masses%1").arg(plane); }

}  // namespace

bool SimRig::Load(const QString& path, QString* error) {
  path_ = path;
  lines_.clear();
  QFile file(path);
  exists_ = file.exists();
  if (!exists_) return true;
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  const QByteArray bytes = file.readAll();
  QList<QByteArray> lines = bytes.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QByteArray& l : lines) {
    if (l.endsWith('\r')) l.chop(1);
    lines_ << QString::fromLatin1(l);
  }
  return true;
}

bool SimRig::Save(QString* error) const {
  QByteArray bytes;
  for (const QString& l : lines_) bytes += l.toLatin1() + "\r\n";
  return ReplaceFile(path_, bytes, error);
}

SimConfig SimRig::Config(QStringList* problems) const {
  QByteArray bytes;
  for (const QString& l : lines_) bytes += l.toLatin1() + '\n';
  SimConfig config;
  const QStringList errors = ParseSimConfig(QString::fromUtf8(bytes), &config);
  if (problems) *problems = errors;
  return config;
}

std::vector<std::pair<QString, QString>> SimRig::Keys() const {
  std::vector<std::pair<QString, QString>> out;
  for (const QString& l : lines_) {
    const KeyLine k = ReadKey(l);
    if (k.key.isEmpty()) continue;
    QString value = l.mid(k.eq + 1);
    const qsizetype hash = value.indexOf(QLatin1Char('#'));
    if (hash >= 0) value.truncate(hash);
    out.emplace_back(k.key, QString::fromUtf8(value.trimmed().toLatin1()));
  }
  return out;
}

QString SimRig::Value(const QString& key) const {
  QString value;
  for (const auto& [k, v] : Keys())
    if (k == key.toLower()) value = v;
  return value;
}

int SimRig::LastLineOf(const QString& key) const {
  for (qsizetype i = lines_.size() - 1; i >= 0; --i)
    if (ReadKey(lines_[i]).key == key) return int(i);
  return -1;
}

QString SimRig::Set(const QString& key, const QString& value) {
  const QString k = key.trimmed().toLower();
  const QString v = value.trimmed();
  if (k.isEmpty() || k.contains(QLatin1Char('=')) || k.contains(QLatin1Char('#')) ||
      k.contains(QLatin1Char(' ')))
    return QStringLiteral("bad key \"%1\"").arg(key);
  if (v.contains(QLatin1Char('#')) || v.contains(QLatin1Char('\n')) ||
      v.contains(QLatin1Char('\r')))
    return QStringLiteral("bad value \"%1\" for %2").arg(value, k);
  if (!IsSimConfigKey(k)) return QStringLiteral("unknown setting \"%1\"").arg(k);
  if (!v.isEmpty()) {
    // Checked the way the simulator will read it.
    SimConfig scratch;
    if (!ParseSimConfig(k + QStringLiteral(" = ") + v, &scratch).isEmpty())
      return QStringLiteral("bad value \"%1\" for %2").arg(v, k);
  }

  const QString stored = QString::fromLatin1(v.toUtf8());
  if (v.isEmpty()) {
    for (qsizetype i = lines_.size() - 1; i >= 0; --i) {
      if (ReadKey(lines_[i]).key != k) continue;
      const QString comment = CommentOf(lines_[i]).trimmed();
      if (comment.isEmpty())
        lines_.removeAt(i);
      else
        lines_[i] = comment;
    }
    return QString();
  }
  const int at = LastLineOf(k);
  if (at < 0) {
    lines_ << k + QStringLiteral(" = ") + stored;
    return QString();
  }
  QString& line = lines_[at];
  const QString name = line.left(ReadKey(line).eq).trimmed();
  line = name + QStringLiteral(" = ") + stored + CommentOf(line);
  return QString();
}

std::vector<SimMass> SimRig::Masses(int plane) const {
  if (plane < 1 || plane > 2) return {};
  return Config().Plane[plane - 1].Masses;
}

void SimRig::SetMasses(int plane, const std::vector<SimMass>& masses) {
  Set(MassesKey(plane), FormatSimMasses(masses));
}

QString SimRig::Attach(int plane, const SimMass& mass) {
  if (plane < 1 || plane > 2) return QStringLiteral("the plane is 1 or 2");
  if (!std::isfinite(mass.Grams) || mass.Grams == 0.0 || std::fabs(mass.Grams) > 1e6)
    return QStringLiteral("the mass must be a number other than 0");
  if (!std::isfinite(mass.AngleDeg) || std::fabs(mass.AngleDeg) > 1e6)
    return QStringLiteral("bad angle");
  if (!(mass.RadiusMm >= 0.0 && mass.RadiusMm <= 1e6))
    return QStringLiteral("the radius must be above 0");
  SimMass m = mass;
  m.AngleDeg = std::fmod(m.AngleDeg, 360.0);
  if (m.AngleDeg < 0) m.AngleDeg += 360.0;
  m.AngleDeg += 0.0;  // no "-0"
  std::vector<SimMass> masses = Masses(plane);
  masses.push_back(m);
  SetMasses(plane, masses);
  return QString();
}

bool SimRig::Remove(int plane, int index) {
  std::vector<SimMass> masses = Masses(plane);
  if (index < 1 || index > int(masses.size())) return false;
  masses.erase(masses.begin() + (index - 1));
  SetMasses(plane, masses);
  return true;
}

void SimRig::Clear(int plane) {
  for (int p = 1; p <= 2; ++p)
    if (plane == 0 || plane == p) Set(MassesKey(p), QString());
}

double SimRig::BladeAngle(int blade, int blades) {
  return blades > 0 ? (blade - 1) * 360.0 / blades : 0.0;
}

}  // namespace vintor
