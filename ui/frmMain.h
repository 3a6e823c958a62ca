// frmMain, the main window. ui/ builds the windows and menus and routes each event
// to the subsystem that owns it: measurement handlers to app/, drawing and the
// viewer to display/, the file commands to files/. It holds no measurement logic.
#pragma once

#include "app/Clock.h"
#include "app/MainControls.h"
#include "app/Measurement.h"
#include "app/MeasurementState.h"
#include "ui/HelpWindows.h"
#include "display/Viewer.h"
#include "files/FileCommands.h"
#include "files/FileDialogs.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QAction;
class QMenu;

namespace kinemo {

class HidPlatform;

struct MainServices {
    HidPlatform& hid;
    Clock& clock;
    // The file dialog and message box of the file commands; the window's own Qt
    // dialogs when none is given.
    FileDialogs* dialogs = nullptr;
};

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(MainServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    MainControls& controls() { return controls_; }
    MeasurementState& state() { return state_; }
    Measurement& measurement() { return *measurement_; }
    HelpWindows& helpWindows() { return helpWindows_; }
    Viewer& viewer() { return *viewer_; }
    FileCommands& fileCommands() { return *fileCommands_; }
    // Menu items and menus by their design names (Readfile, Fend, Recmode, ...).
    QAction* menuItem(const QString& name) const;
    QMenu* menu(const QString& name) const;
    // The client area below the menu bar.
    QWidget* clientArea() const { return centralWidget(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildClientArea();
    void buildPlotSurface();
    void buildMenus();
    void connectEvents();

    MainServices services_;
    MeasurementState state_;
    MainControls controls_;
    std::unique_ptr<Measurement> measurement_;
    HelpWindows helpWindows_;
    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::map<QString, QAction*> menuItems_;
    std::map<QString, QMenu*> menus_;
};

}  // namespace kinemo
