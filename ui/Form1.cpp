#include "ui/Form1.h"

#include "app/WindowPlacement.h"
#include "ui/Resources.h"

#include <QLabel>
#include <QPixmap>

namespace kinemo {

Form1::Form1()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("３軸の方向"));
    setFixedSize(185, 293);

    // The box is wider than the window on purpose: the picture's white margins are cut
    // off at both sides.
    picture1_ = new QLabel(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture1_->setLineWidth(2);
    picture1_->setGeometry(-8, 0, 199, 298);
    picture1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture1_->setPixmap(QPixmap(QString::fromLatin1(kAxisPicture)));

    Form_Load();
}

void Form1::Form_Load() { centreOnScreen(*this); }

}  // namespace kinemo
