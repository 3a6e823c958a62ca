// The picture of the Wii Remote with its three acceleration axes, so the user can
// tell which trace belongs to which direction. Each load is a new window (it deletes
// itself on close) and centres itself.
#pragma once

#include <QWidget>

namespace kinemo {

inline constexpr const char* kAxisPicture = ":/help/wii-axes.jpg";

class AxisDirectionsWindow : public QWidget {
    Q_OBJECT
public:
    AxisDirectionsWindow();
};

}  // namespace kinemo
