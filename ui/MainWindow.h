// The main window: it builds the client area and the menus and routes each event
// to the handler in app/ that owns it (Measurement, Viewer, FileCommands) or to the
// Help windows. It holds no measurement logic.
#pragma once

#include "app/FileCommands.h"
#include "app/FileDialogs.h"
#include "app/MainControls.h"
#include "app/Measurement.h"
#include "app/MeasurementState.h"
#include "app/Viewer.h"
#include "core/Clock.h"
#include "log/EventLog.h"
#include "ui/HelpWindows.h"

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
    // The day log; none is written when none is given.
    EventLog* log = nullptr;
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainControls& controls() { return controls_; }
    MeasurementState& state() { return state_; }
    Measurement& measurement() { return *measurement_; }
    HelpWindows& helpWindows() { return helpWindows_; }
    Viewer& viewer() { return *viewer_; }
    FileCommands& fileCommands() { return *fileCommands_; }
    // Menu items and menus by object name (loadRunAction, quitAction, recordModeMenu, ...).
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
    NoEventLog noLog_;
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
