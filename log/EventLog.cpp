#include "log/EventLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include <sys/stat.h>

namespace kinemo {

namespace {

// Each missing folder of the path is made private to the user, as the base
// directory specification asks for state.
void makeFolders(const std::string& directory) {
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string prefix = directory.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            throw LogError("cannot create " + prefix + ": " + std::strerror(errno));
        if (slash == std::string::npos) return;
    }
}

// A path from a file dialog may hold a line end; the log keeps one line per event.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

DayEventLog::DayEventLog(Clock& clock, std::string directory, std::ostream& errors)
    : clock_(clock), directory_(std::move(directory)), log_(clock, directory_), errors_(errors) {}

void DayEventLog::start() {
    if (directory_.empty()) {
        warnOnce("neither XDG_STATE_HOME nor HOME is set");
        return;
    }
    try {
        open();
    } catch (const std::exception& error) {
        warnOnce(error.what());
    }
}

void DayEventLog::record(const std::string& event) {
    if (directory_.empty()) return;
    try {
        // A start that failed (no folder yet, a full disk) is tried again, so the
        // first line that gets into the file follows an opening block.
        if (log_.logFilePath().empty()) open();
        log_.write(timeText(clock_.now()) + " " + oneLine(event));
    } catch (const std::exception& error) {
        warnOnce(error.what());
    }
}

void DayEventLog::open() {
    makeFolders(directory_);
    log_.open();
}

void DayEventLog::warnOnce(const std::string& reason) {
    if (warned_) return;
    warned_ = true;
    errors_ << "kinemo: the day log cannot be written (" << reason << "); Kinemo runs on without it" << std::endl;
}

std::string defaultLogDirectory() {
    // Relative values are to be ignored, says the base directory specification.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/kinemo";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/kinemo";
    return {};
}

}  // namespace kinemo
