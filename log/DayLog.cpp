#include "log/DayLog.h"

#include "core/WriteAll.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kinemo {

namespace {

constexpr const char* kCrLf = "\r\n";
// Without waiting: a pipe of the file's name would hold the open until a reader came.
constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

LogError failure(const char* what, const std::string& path, int error) {
    return LogError(std::string(what) + " log file " + path + ": " + std::strerror(error));
}

std::string newFileBlock(const std::string& date, const std::string& time) {
    return std::string(kLogShortRuler) + kCrLf + "Quiverlab" + kCrLf + "   logfile create " + date + "  " + time +
           kCrLf + kLogShortRuler + kCrLf + kCrLf + kCrLf;
}

std::string existingFileBlock(const std::string& date, const std::string& time) {
    return std::string(kCrLf) + kCrLf + kCrLf + kLogLongRuler + kCrLf + "...logging start " + date + "  " + time +
           " ..." + kCrLf + kLogLongRuler + kCrLf;
}

}  // namespace

DayLog::DayLog(Clock& clock, std::string directory) : clock_(clock), directory_(std::move(directory)) {}

void DayLog::open() {
    // One reading of the clock names the file and stamps the block, so a call just
    // at midnight cannot put the next day's date into the previous day's file.
    const LocalDateTime now = clock_.now();
    const std::string path = (std::filesystem::path(directory_) / (yymmddText(now) + ".log")).string();
    // Of two instances starting at once on a new day, exactly one makes the file
    // and writes the new-file block; a test for the file before opening it would
    // let both see none.
    int fd = ::open(path.c_str(), kAppendFlags | O_CREAT | O_EXCL, 0666);
    const bool made = fd >= 0;
    if (!made && errno == EEXIST) fd = ::open(path.c_str(), kAppendFlags);
    if (fd < 0) throw failure("cannot open", path, errno);
    const std::string date = dateText(now);
    const std::string time = timeText(now);
    // The block's own text ends one line short; the line end after it closes the block.
    append(fd, path, (made ? newFileBlock(date, time) : existingFileBlock(date, time)) + kCrLf);
    logFilePath_ = path;
}

void DayLog::write(const std::string& text) {
    if (logFilePath_.empty()) throw LogError("no log file: no opening block has been written");
    // Never made here: a file that has gone since its block was written stays gone
    // rather than come back with lines and no block.
    const int fd = ::open(logFilePath_.c_str(), kAppendFlags);
    if (fd < 0) throw failure("cannot open", logFilePath_, errno);
    append(fd, logFilePath_, text + kCrLf);
}

// Every instance appends with O_APPEND, so each write lands at the end as it is then,
// never over another's. A write cut short (a full disk, the file-size limit) leaves
// the start of a line; its bytes are taken back only while they are still the end
// of the file: under the lock that every instance holds around its write (no other
// instance's line can land between the check and the cut), and only when the file
// is exactly as long as before plus this write (nothing anyone else wrote lies
// behind them). The cut never goes below where this write began, so it cannot take
// another's line nor pad a file that shrank. The lock is held around one line's
// write only, so waiting for it takes as long as that write. Where no lock can be
// had, a cut-short line stays as it is: a broken line is better than a lost one.
void DayLog::append(int fd, const std::string& path, const std::string& text) {
    const bool locked = ::flock(fd, LOCK_EX) == 0;
    struct stat before {};
    const int statError = ::fstat(fd, &before) == 0 ? 0 : errno;
    if (statError != 0 || !S_ISREG(before.st_mode)) {
        ::close(fd);
        if (statError != 0) throw failure("cannot open", path, statError);
        throw LogError("not a regular file: " + path);
    }
    std::size_t written = 0;
    if (!writeAll(fd, text, &written)) {
        const int error = errno;
        struct stat after {};
        if (locked && written > 0 && ::fstat(fd, &after) == 0 &&
            after.st_size == before.st_size + static_cast<off_t>(written)) {
            // If even that fails, the error below is still the one to report.
            [[maybe_unused]] const int undone = ::ftruncate(fd, before.st_size);
        }
        ::close(fd);  // also lets go of the lock
        throw failure("cannot write", path, error);
    }
    if (::close(fd) != 0) throw failure("cannot write", path, errno);
}

}  // namespace kinemo
