// The colours the traces and the grid share with the window's builder.
#pragma once

#include "core/Sample.h"

#include <QColor>

namespace kinemo {

// X blue, Y red, Z green.
inline const QColor kAxisColors[kAxisCount] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(0, 255, 0)};
inline const QColor kGridGrey(128, 128, 128);

}  // namespace kinemo
