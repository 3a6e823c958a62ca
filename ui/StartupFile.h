// A data file named on the command line, as the file manager starts the program
// for a double-clicked file ("kinemo FILE"). It is loaded by the menu's load
// command once the main window runs, so it passes the same checks and a refused
// file gives the same message and leaves the program running with nothing loaded.
#pragma once

#include <string>

class QCommandLineParser;
class QObject;

namespace kinemo {

class FileCommands;

// Declares the optional FILE argument, so that --help lists it.
void addStartupFileArgument(QCommandLineParser& options);

// Loads `path` through `commands` as soon as the event loop runs, so that a
// message box opens over the shown main window. `context` is the main window.
// `path` holds the name's bytes as given on the command line.
void loadWhenRunning(QObject& context, FileCommands& commands, const std::string& path);

}  // namespace kinemo
