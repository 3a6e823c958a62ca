// Placing top-level windows the way every window of the program places itself.
#pragma once

class QWidget;

namespace kinemo {

// Centres the window's outer frame on its screen. Before the window is first shown
// the frame is unknown and taken as the window itself, so windows centre themselves
// when loaded and once more when first shown.
void centreOnScreen(QWidget& window);

// Centres a child horizontally in its parent's width.
void centreHorizontally(QWidget& child);

}  // namespace kinemo
