#include "log/DayLog.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace kinemo {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string newFileBlock(const std::string& date, const std::string& time) {
    return std::string(kLogShortRuler) + kCrLf + "Quiverlab" + kCrLf + "   logfile create " + date + "  " +
           time + kCrLf + kLogShortRuler + kCrLf + kCrLf + kCrLf;
}

std::string existingFileBlock(const std::string& date, const std::string& time) {
    return std::string(kCrLf) + kCrLf + kCrLf + kLogLongRuler + kCrLf + "...logging start " + date + "  " +
           time + " ..." + kCrLf + kLogLongRuler + kCrLf;
}

}  // namespace

DayLog::DayLog(Clock& clock, std::string programDirectory)
    : clock_(clock), programDirectory_(std::move(programDirectory)) {}

void DayLog::open(bool enabled, const std::string& /*logName*/) {
    if (!enabled) return;
    // One reading of the clock names the file and stamps the block, so a call just
    // at midnight cannot put the next day's date into the previous day's file.
    const LocalDateTime now = clock_.now();
    logFilePath_ = (std::filesystem::path(programDirectory_) / (yymmddText(now) + ".log")).string();
    const bool exists = fileExists(logFilePath_);
    const std::string date = dateText(now);
    const std::string time = timeText(now);
    // The block's own text ends one line short; the line end after it closes the block.
    append((exists ? existingFileBlock(date, time) : newFileBlock(date, time)) + kCrLf);
}

void DayLog::write(bool enabled, const std::string& text) {
    if (!enabled) return;
    if (logFilePath_.empty()) throw LogError("no log file: open has not run");
    append(text + kCrLf);
}

bool DayLog::fileExists(const std::string& path) {
    return std::ifstream(path, std::ios::binary).is_open();
}

void DayLog::append(const std::string& text) const {
    // Binary, so the CR LF line ends reach the file unchanged on every system.
    std::ofstream file(logFilePath_, std::ios::binary | std::ios::app);
    if (!file.is_open()) {
        throw LogError("cannot open log file " + logFilePath_ + " for appending: " + std::strerror(errno));
    }
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (file.fail()) throw LogError("cannot write log file " + logFilePath_);
}

}  // namespace kinemo
