#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vintor {

// Windows-1251 is the single-byte code page of every text file the program reads or writes.
// Encoding fails (nullopt) on characters the code page lacks rather than writing a substitute.
std::optional<QByteArray> EncodeCp1251(const QString& text);
QString DecodeCp1251(const QByteArray& bytes);

}  // namespace vintor
