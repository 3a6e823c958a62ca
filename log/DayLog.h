// A day-by-day log file in a given folder. Every call opens the
// file for appending, writes and closes it again, so the file is complete on disk
// after each call and nothing stays open in between. Other instances of the program
// may append to the same file at the same time.
//
// Errors: a file that cannot be opened for appending or is no regular file (a
// pipe, a device), or a write that does not reach the file whole, throws LogError
// and the caller decides what to do. A line cut short is taken back where that
// cannot touch what anyone else wrote (see append()).
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

    // Fixes the day's file from the clock and writes the opening block into it: the
    // new-file block when this call made the file, else the block of a later start.
    void open();
    // Appends `text` and CR LF to the file of the last open that wrote its block.
    // Before such an open it throws LogError: no line goes into a file
    // without the block that opens it.
    void write(const std::string& text);

    // Empty until an open has written its block.
    const std::string& logFilePath() const { return logFilePath_; }

private:
    static void append(int fd, const std::string& path, const std::string& text);

    Clock& clock_;
    std::string directory_;
    std::string logFilePath_;
};

}  // namespace kinemo
