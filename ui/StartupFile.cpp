#include "ui/StartupFile.h"

#include "app/FileCommands.h"

#include <QCommandLineParser>
#include <QTimer>

namespace kinemo {

void addStartupFileArgument(QCommandLineParser& options) {
    options.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("A Kinemo data file (*.KMO) to open in the viewer at start."),
                                  QStringLiteral("[FILE]"));
}

void loadWhenRunning(QObject& context, FileCommands& commands, const std::string& path) {
    QTimer::singleShot(0, &context, [&commands, path] { commands.loadFile(path); });
}

}  // namespace kinemo
