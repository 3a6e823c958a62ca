#include "log/DayLog.h"

#include "core/WriteAll.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

DayLog::DayLog(Clock& clock, std::string directory)
    : clock_(clock), directory_(std::move(directory)) {}

void DayLog::open(bool enabled, const std::string& /*logName*/) {
    if (!enabled) return;
    // One reading of the clock names the file and stamps the block, so a call just
    // at midnight cannot put the next day's date into the previous day's file.
    const LocalDateTime now = clock_.now();
    logFilePath_ = (std::filesystem::path(directory_) / (yymmddText(now) + ".log")).string();
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
    // Without waiting: a pipe of that name would hold the open until a writer came.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

void DayLog::append(const std::string& text) const {
    const auto failure = [this](const char* what, int error) {
        return LogError(std::string(what) + " log file " + logFilePath_ + ": " + std::strerror(error));
    };
    const int fd = ::open(logFilePath_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) throw failure("cannot open", errno);
    struct stat info {};
    const int statError = ::fstat(fd, &info) == 0 ? 0 : errno;
    if (statError != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (statError != 0) throw failure("cannot open", statError);
        throw LogError("not a regular file: " + logFilePath_);
    }
    // Unbuffered and checked to the last byte.
    if (!writeAll(fd, text)) {
        const int error = errno;
        // Takes back a partial line, so that the file ends as it did; if even
        // that fails, the error below is still the one to report.
        [[maybe_unused]] const int undone = ::ftruncate(fd, info.st_size);
        ::close(fd);
        throw failure("cannot write", error);
    }
    if (::close(fd) != 0) throw failure("cannot write", errno);
}

}  // namespace kinemo
