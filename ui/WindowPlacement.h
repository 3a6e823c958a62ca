// Placing top-level windows the way every window of the program places itself.
#pragma once

class QWidget;

namespace kinemo {

// Centres the window's outer frame on its screen. A window manager adds the frame
// only after the window is shown, so until then the frame is taken as the window
// itself; the window centres itself once more as soon as its frame is known.
void centreOnScreen(QWidget& window);

// Centres a child horizontally in its parent's width.
void centreHorizontally(QWidget& child);

}  // namespace kinemo
