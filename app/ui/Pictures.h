#pragma once

#include <QPixmap>

namespace vintor {

// The set-up pictures of the main window, decoded from the shipped JPEGs with libjpeg.
QPixmap SinglePlaneRigPicture();
QPixmap TwoPlaneRigPicture();

}  // namespace vintor
