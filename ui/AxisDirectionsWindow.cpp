#include "ui/AxisDirectionsWindow.h"

#include "ui/Resources.h"
#include "ui/WindowPlacement.h"

#include <QLabel>
#include <QPixmap>

namespace kinemo {

AxisDirectionsWindow::AxisDirectionsWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    initResources();
    setObjectName(QStringLiteral("AxisDirectionsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("３軸の方向"));
    setFixedSize(185, 293);

    // Kept on purpose: the box is wider than the window, so the picture's white margins
    // are cut off at both sides.
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    picture->setGeometry(-8, 0, 199, 298);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap(QString::fromLatin1(kAxisPicture)));

    centreOnScreen(*this);
}

}  // namespace kinemo
