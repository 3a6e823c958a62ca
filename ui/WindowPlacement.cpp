#include "ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

namespace kinemo {

void centreOnScreen(QWidget& window) {
    const QRect screen = window.screen()->geometry();
    const QSize outer = window.frameGeometry().size();
    window.move(screen.x() + screen.width() / 2 - outer.width() / 2,
                screen.y() + screen.height() / 2 - outer.height() / 2);
}

void centreHorizontally(QWidget& child) {
    const int parentWidth = child.parentWidget()->width();
    child.move(parentWidth / 2 - child.width() / 2, child.y());
}

}  // namespace kinemo
