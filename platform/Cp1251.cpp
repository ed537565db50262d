#include "platform/Cp1251.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace vintor {
namespace {

// Runs iconv over the whole input; returns nullopt on any unconvertible sequence.
std::optional<QByteArray> Convert(const char* to, const char* from, const QByteArray& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::vector<char> out(static_cast<size_t>(in.size()) * 4 + 16);
  char* inPtr = const_cast<char*>(in.constData());
  size_t inLeft = static_cast<size_t>(in.size());
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  return QByteArray(out.data(), static_cast<qsizetype>(out.size() - outLeft));
}

}  // namespace

std::optional<QByteArray> EncodeCp1251(const QString& text) {
  return Convert("CP1251", "UTF-8", text.toUtf8());
}

QString DecodeCp1251(const QByteArray& bytes) {
  // Every byte value maps to a character in CP1251 except 0x98; decode that one as U+FFFD.
  QByteArray clean = bytes;
  clean.replace('\x98', '?');
  auto utf8 = Convert("UTF-8", "CP1251", clean);
  return utf8 ? QString::fromUtf8(*utf8) : QString::fromLatin1(bytes);
}

}  // namespace vintor
