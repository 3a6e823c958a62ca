// Opens the Help windows without the main window, so that a script can look at them.
// Usage: kinemo_show_help_windows about|axis ...
#include "ui/HelpWindows.h"

#include "ui/Resources.h"

#include <QApplication>
#include <QIcon>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kinemo::initResources();
    // As the program does: one icon for all its windows.
    QIcon icon(QStringLiteral(":/icons/kinemo-16.png"));
    icon.addFile(QStringLiteral(":/icons/kinemo-32.png"));
    QApplication::setWindowIcon(icon);
    kinemo::HelpWindows windows;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "about") == 0) windows.showAbout();
        if (std::strcmp(argv[i], "axis") == 0) windows.showAxisDirections();
    }
    if (!windows.aboutWindow() && !windows.axisWindow()) return 2;
    return QApplication::exec();
}
