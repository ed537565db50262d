#pragma once

#include <QPixmap>

namespace vintor {

// The set-up pictures of the main window (decoded from the shipped JPEGs with libjpeg) and the
// warning picture of the warning window.
QPixmap SinglePlaneRigPicture();
QPixmap TwoPlaneRigPicture();
QPixmap WarningPicture();

}  // namespace vintor
