// Kinemo's entry point. Without options the program runs on the Wii Remote over
// hidraw; --simulate runs it on a simulated remote instead.
#include "core/Clock.h"
#include "core/Version.h"
#include "device/LinuxHidPlatform.h"
#include "device/SimulatedHidPlatform.h"
#include "files/FileIo.h"
#include "log/EventLog.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/QuitSignals.h"
#include "ui/StartupFile.h"
#include "ui/Translations.h"

#include <QApplication>

#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    const kinemo::ParsedCommandLine commandLine = kinemo::parseCommandLine({argv, argv + argc});
    if (commandLine.exitStatus) return *commandLine.exitStatus;
    kinemo::ignoreFileSizeSignal();

    const std::unique_ptr<QApplication> app = kinemo::connectToDisplay(argc, argv);
    if (!app) return 1;
    kinemo::quitOnSignals(*app);
    kinemo::installQtTranslation();  // after --help, which stays English like its option texts

    kinemo::SystemClock clock;
    std::unique_ptr<kinemo::HidPlatform> hid;
    if (commandLine.options.simulate) hid = std::make_unique<kinemo::SimulatedHidPlatform>(clock);
    else hid = std::make_unique<kinemo::LinuxHidPlatform>();

    std::unique_ptr<kinemo::EventLog> log;
    if (commandLine.options.writeLog) {
        auto dayLog = std::make_unique<kinemo::DayEventLog>(clock, kinemo::defaultLogDirectory(), std::cerr);
        dayLog->start();
        log = std::move(dayLog);
    } else {
        log = std::make_unique<kinemo::NoEventLog>();
    }
    log->record(std::string(kinemo::kAppTitle) + " " + kinemo::versionText() + " を起動しました" +
                (commandLine.options.simulate ? "（模擬リモコン）" : ""));

    int status = 0;
    {
        kinemo::MainWindow window({*hid, clock, nullptr, log.get()});
        window.start();
        if (commandLine.options.file) kinemo::loadWhenRunning(window, window.fileCommands(), *commandLine.options.file);
        status = QApplication::exec();
    }
    log->record(std::string(kinemo::kAppTitle) + " を終了しました");
    return status;
}
