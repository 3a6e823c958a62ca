// Kinemo's entry point. Without options the program runs on the Wii Remote over
// hidraw; --simulate runs it on a simulated remote instead.
#include "app/Clock.h"
#include "app/Version.h"
#include "device/LinuxHidPlatform.h"
#include "device/SimulatedHidPlatform.h"
#include "ui/StartupFile.h"
#include "ui/Translations.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>
#include <optional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kinemo::kAppTitle));
    QApplication::setApplicationVersion(QString::fromStdString(kinemo::versionText()));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Shows the accelerometer of a Wii Remote as a live trace, records and calibrates runs, "
        "and saves them as data files."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Use a simulated Wii Remote instead of a real one."));
    options.addOption(simulate);
    kinemo::addStartupFileArgument(options);
    options.process(app);
    const std::optional<QString> file = kinemo::startupFile(options);
    kinemo::installQtTranslation();  // after --help, which stays English like its option texts

    kinemo::SystemClock clock;
    std::unique_ptr<kinemo::HidPlatform> hid;
    if (options.isSet(simulate))
        hid = std::make_unique<kinemo::SimulatedHidPlatform>(clock);
    else
        hid = std::make_unique<kinemo::LinuxHidPlatform>();

    kinemo::frmMain window({*hid, clock});
    window.measurement().Form_Load();
    if (file) kinemo::loadWhenRunning(window, window.fileCommands(), *file);
    const int status = app.exec();
    return status;
}
