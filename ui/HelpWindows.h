// HelpWindows: the two windows of the Help menu. Each exists at most once; a command
// loads it when it is not open and brings it to the front when it is. They are
// top-level windows without an owner and not modal, so the main window stays usable
// and closing the main window leaves them open until they are closed too.
//
// Keep the HelpWindows object alive until the event loop has returned (a member of a
// main window that lives on main()'s stack will do): its destructor closes whatever
// is still open, so a program ended at once leaves nothing behind.
#pragma once

#include <QPointer>

class QWidget;

namespace kinemo {

class AboutDialog;
class AxisDirectionsWindow;

class HelpWindows {
public:
    HelpWindows();
    ~HelpWindows();
    HelpWindows(const HelpWindows&) = delete;
    HelpWindows& operator=(const HelpWindows&) = delete;

    void showAxisDirections();
    void showAbout();

    // The open window, or nullptr while it is closed.
    QWidget* aboutWindow() const;
    QWidget* axisWindow() const;

private:
    QPointer<AboutDialog> about_;
    QPointer<AxisDirectionsWindow> axis_;
};

}  // namespace kinemo
