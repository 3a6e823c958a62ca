#include "ui/HelpWindows.h"

#include "ui/Form1.h"
#include "ui/Resources.h"
#include "ui/frmAbout.h"

#include <utility>

namespace kinemo {

namespace {

// A closed window deletes itself once control is back in the event loop; until then
// it still exists but must not be shown again.
bool isOpen(const QWidget* window) { return window && !window->isHidden(); }

void showInFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

HelpWindows::HelpWindows(std::shared_ptr<SysInfoPlatform> sysInfo) : sysInfo_(std::move(sysInfo)) {
    initResources();
}

HelpWindows::~HelpWindows() {
    delete about_.data();
    delete axis_.data();
}

void HelpWindows::WiiAx_Click() {
    if (!isOpen(axis_)) axis_ = new Form1;
    showInFront(*axis_);
}

void HelpWindows::InfoVersion_Click() {
    if (!isOpen(about_)) about_ = new frmAbout(sysInfo_);
    showInFront(*about_);
}

QWidget* HelpWindows::aboutWindow() const { return isOpen(about_) ? about_.data() : nullptr; }

QWidget* HelpWindows::axisWindow() const { return isOpen(axis_) ? axis_.data() : nullptr; }

}  // namespace kinemo
