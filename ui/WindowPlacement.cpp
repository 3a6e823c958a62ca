#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kinemo {

namespace {

void centreFrame(QWidget& window) {
    const QRect screen = window.screen()->geometry();
    const QSize outer = window.frameGeometry().size();
    window.move(screen.x() + screen.width() / 2 - outer.width() / 2,
                screen.y() + screen.height() / 2 - outer.height() / 2);
}

bool frameKnown(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle && !handle->frameMargins().isNull();
}

// Recentres the window once its frame margins arrive from the window manager.
class CentreWhenFramed final : public QObject {
public:
    explicit CentreWhenFramed(QWidget& window) : QObject(&window), window_(&window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
             event->type() == QEvent::WindowActivate) &&
            frameKnown(*window_)) {
            window_->removeEventFilter(this);
            deleteLater();
            centreFrame(*window_);
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

}  // namespace

void centreOnScreen(QWidget& window) {
    centreFrame(window);
    static const char* const kWaiting = "kinemoCentreWhenFramed";
    if (!frameKnown(window) && window.isWindow() && !window.property(kWaiting).toBool()) {
        window.setProperty(kWaiting, true);
        new CentreWhenFramed(window);
    }
}

void centreHorizontally(QWidget& child) {
    const int parentWidth = child.parentWidget()->width();
    child.move(parentWidth / 2 - child.width() / 2, child.y());
}

}  // namespace kinemo
