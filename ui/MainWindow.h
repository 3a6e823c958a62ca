// The main window: it builds the client area and the menus and routes each event
// to the handler in app/ that owns it (Measurement, Viewer, FileCommands) or to the
// Help windows. It holds no measurement logic.
#pragma once

#include "app/FileCommands.h"
#include "app/FileDialogs.h"
#include "app/MainControls.h"
#include "app/Measurement.h"
#include "app/MeasurementMode.h"
#include "app/MeasurementState.h"
#include "app/Viewer.h"
#include "core/Clock.h"
#include "log/EventLog.h"
#include "ui/HelpWindows.h"

#include <QMainWindow>

#include <memory>

class QAction;

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

// The menu bar's items, as the user finds them.
struct MenuActions {
    // ファイル
    QAction* loadRun = nullptr;
    QAction* saveRun = nullptr;
    QAction* quit = nullptr;
    // 記録 ▸ 記録のモード
    QAction* normalMode = nullptr;
    QAction* fineMode = nullptr;
    // 表示
    QAction* showRecordedRun = nullptr;
    QAction* showLoadedRun = nullptr;
    // モニター
    QAction* blackBackground = nullptr;
    QAction* whiteBackground = nullptr;
    // ヘルプ
    QAction* axisDirections = nullptr;
    QAction* about = nullptr;
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window in the middle of the screen with its title, and starts the
    // measurement: the remote, the stores and the tick.
    void start();

    MainControls& controls() { return controls_; }
    const MenuActions& actions() const { return actions_; }
    MeasurementState& state() { return state_; }
    MeasurementMode mode() const { return measurementMode(state_, controls_); }
    Measurement& measurement() { return *measurement_; }
    HelpWindows& helpWindows() { return helpWindows_; }
    Viewer& viewer() { return *viewer_; }
    FileCommands& fileCommands() { return *fileCommands_; }
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
    MenuActions actions_;
};

}  // namespace kinemo
