#include "ui/StartupFile.h"

#include "files/FileCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace kinemo {

void addStartupFileArgument(QCommandLineParser& options) {
    options.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("A Kinemo data file (*.KMO) to open in the viewer at start."),
                                  QStringLiteral("[FILE]"));
}

std::optional<QString> startupFile(const QCommandLineParser& options) {
    const QStringList files = options.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: only one FILE can be opened\n",
                     qUtf8Printable(QCoreApplication::applicationName()));
        std::exit(EXIT_FAILURE);
    }
    if (files.isEmpty()) return std::nullopt;
    return files.constFirst();
}

void loadWhenRunning(QObject& context, FileCommands& commands, const QString& path) {
    QTimer::singleShot(0, &context, [&commands, path] { commands.LoadFile(path); });
}

}  // namespace kinemo
