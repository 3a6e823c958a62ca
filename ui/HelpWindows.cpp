#include "ui/HelpWindows.h"

#include "ui/AboutDialog.h"
#include "ui/AxisDirectionsWindow.h"
#include "ui/Resources.h"

namespace kinemo {

namespace {

// A closed window deletes itself once control is back in the event loop; until then
// it still exists but must not be shown again.
bool isOpen(const QWidget* window) { return window && !window->isHidden(); }

void showInFront(QWidget& window) {
    // show() alone leaves a minimised window minimised: nothing would appear.
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

HelpWindows::HelpWindows() { initResources(); }

HelpWindows::~HelpWindows() {
    delete about_.data();
    delete axis_.data();
}

void HelpWindows::showAxisDirections() {
    if (!isOpen(axis_)) axis_ = new AxisDirectionsWindow;
    showInFront(*axis_);
}

void HelpWindows::showAbout() {
    if (!isOpen(about_)) about_ = new AboutDialog;
    showInFront(*about_);
}

QWidget* HelpWindows::aboutWindow() const { return isOpen(about_) ? about_.data() : nullptr; }

QWidget* HelpWindows::axisWindow() const { return isOpen(axis_) ? axis_.data() : nullptr; }

}  // namespace kinemo
