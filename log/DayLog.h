// A day-by-day log file in a given folder. Every call opens the
// file for appending, writes and closes it again, so the file is complete on disk
// after each call and nothing stays open in between.
//
// Errors: a file that cannot be opened for appending or is no regular file (a
// pipe, a device), or a write that does not reach the file whole, throws LogError
// and the caller decides what to do; nothing is written then. Checking whether
// the day's file exists never throws and never waits.
//
// Texts are written byte for byte as given (UTF-8 on Linux), every line ending in
// CR LF so the files read the same on every system the program's users have.
#pragma once

#include "core/Clock.h"

#include <stdexcept>
#include <string>

namespace kinemo {

class LogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kLogShortRuler = "/*****************************************/";
inline constexpr const char* kLogLongRuler = "/************************************************/";

class DayLog {
public:
    DayLog(Clock& clock, std::string directory);

    // Fixes the day's file from the clock and writes the opening block into it.
    // `logName` is accepted for the callers' sake; the name always comes from the date.
    void open(bool enabled, const std::string& logName);
    // Appends `text` and CR LF. Before the first enabled open there is no file and
    // an enabled call throws LogError.
    void write(bool enabled, const std::string& text);

    // Empty until open has run with `enabled` true.
    const std::string& logFilePath() const { return logFilePath_; }

private:
    static bool fileExists(const std::string& path);
    void append(const std::string& text) const;

    Clock& clock_;
    std::string directory_;
    std::string logFilePath_;
};

}  // namespace kinemo
