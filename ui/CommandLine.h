// What happens before the first window: the command line, read before anything needs
// a window system, and the connection to the display, which fails with one line on
// standard error rather than an abort.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QApplication;

namespace kinemo {

struct StartOptions {
    bool simulate = false;
    bool writeLog = true;             // the day log, unless --no-log
    std::optional<std::string> file;  // the data file to open in the viewer at start, its name's bytes
};

struct ParsedCommandLine {
    StartOptions options;
    // Set when the program is to end at once with this status (--help, --version, a
    // wrong argument); what to say has been written already.
    std::optional<int> exitStatus;
};

// `arguments` as main() gets them, the program's name first.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The application on the display, or nullptr (after saying why on standard error)
// when there is no display to show windows on.
std::unique_ptr<QApplication> connectToDisplay(int& argc, char** argv);

}  // namespace kinemo
