#pragma once

#include <QByteArray>
#include <QImage>

namespace vintor {

// Decodes a baseline or progressive JPEG with libjpeg; a null image on any decoding error.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace vintor
