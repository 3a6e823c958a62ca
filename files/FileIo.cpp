#include "files/FileIo.h"

#include "core/WriteAll.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kinemo {

namespace {

constexpr std::string_view kTooLarge = "ファイルが大きすぎます。";
constexpr std::string_view kNotRegular = "通常のファイルではありません。";

std::string systemReason(int error) { return std::strerror(error); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

std::string temporaryName(const std::string& base) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::string name = base + '.';
    for (int i = 0; i < 6; ++i) name += kLetters[random() % kLetters.size()];
    return name;
}

constexpr int kNameAttempts = 100;

// A new file under a free temporary name beside the target; -1 with errno set.
int createNamed(int folder, const std::string& base, std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = temporaryName(base);
        const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The unnamed file `fd` as /proc names it, made before linkUnnamed needs it, which
// may run where nothing can be allocated.
std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Gives the unnamed file `fd` (`self`: its procPath) the name `name` in `folder`;
// false with errno set. Only system calls.
bool linkUnnamed(int folder, int fd, const std::string& self, const char* name) {
    // The direct form needs a privilege that a user seldom has; /proc serves the rest.
    if (::linkat(fd, "", folder, name, AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    return ::linkat(AT_FDCWD, self.c_str(), folder, name, AT_SYMLINK_FOLLOW) == 0;
}

// Gives the unnamed file `fd` a temporary name and renames it over `base`; 0 or the
// errno of the failure, with no temporary name left either way. A kill between the
// two calls would leave the temporary name behind, so a child process makes them:
// killing the program mid-save does not stop the child, which finishes the rename.
// The child uses nothing but system calls, as a child of a threaded process must.
int nameAndReplace(int folder, int fd, const std::string& base) {
    std::vector<std::string> names;
    for (int i = 0; i < 16; ++i) names.push_back(temporaryName(base));
    const std::string self = procPath(fd);
    const auto replace = [&]() -> int {
        for (const std::string& name : names) {
            if (!linkUnnamed(folder, fd, self, name.c_str())) {
                if (errno == EEXIST) continue;
                return errno;
            }
            if (::renameat(folder, name.c_str(), folder, base.c_str()) == 0) return 0;
            const int error = errno;
            ::unlinkat(folder, name.c_str(), 0);
            return error;
        }
        return EEXIST;
    };
    const pid_t child = ::fork();
    if (child < 0) return replace();  // no process to spare: the short window stays
    if (child == 0) ::_exit(replace());
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return errno;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : EIO;
}

// Makes the new name itself last. The new file is in place whatever this says.
void syncFolder(int folder) { ::fsync(folder); }

}  // namespace

std::optional<std::string> saveFileAtomically(const std::string& path, std::string_view bytes) {
    std::string target = path;
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return systemReason(errno);
    if (exists) {
        // Renaming over a pipe or a device would replace it by a file without a word.
        if (!S_ISREG(old.st_mode)) return std::string(kNotRegular);
        // A link stays a link: the file it points to is replaced.
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const std::filesystem::path targetPath(target);
    const std::string base = targetPath.filename().string();
    if (base.empty()) return systemReason(EISDIR);
    const std::string folderName = targetPath.has_parent_path() ? targetPath.parent_path().string() : ".";
    FileDescriptor folder(::open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) return systemReason(errno);

    std::string name;  // the temporary name, once the new file has one
    FileDescriptor file(::openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        // EISDIR: a kernel without unnamed files; EOPNOTSUPP: a file system without them.
        if (errno != EISDIR && errno != EOPNOTSUPP) return systemReason(errno);
        file.reset(createNamed(folder.get(), base, name));
        if (file.get() < 0) return systemReason(errno);
    }
    const auto fail = [&](int error) -> std::optional<std::string> {
        if (!name.empty()) ::unlinkat(folder.get(), name.c_str(), 0);
        return systemReason(error);
    };
    if (exists && ::fchmod(file.get(), old.st_mode & 07777) != 0) return fail(errno);
    // On the disk before it gets the target's name: after a power cut the target
    // is the old file or the new one, never an empty one.
    if (!writeAll(file.get(), bytes) || ::fsync(file.get()) != 0) return fail(errno);
    if (name.empty() && !exists) {
        // A new target takes the unnamed file's name at once, with no name in between.
        if (linkUnnamed(folder.get(), file.get(), procPath(file.get()), base.c_str())) {
            syncFolder(folder.get());
            return std::nullopt;
        }
        if (errno != EEXIST) return systemReason(errno);  // else made meanwhile: replaced below
    }
    if (name.empty()) {
        if (const int error = nameAndReplace(folder.get(), file.get(), base)) return systemReason(error);
    } else if (::renameat(folder.get(), name.c_str(), folder.get(), base.c_str()) != 0) {
        return fail(errno);
    }
    syncFolder(folder.get());
    return std::nullopt;
}

std::variant<std::string, ReadFailure> readWholeFile(const std::string& path, std::int64_t maxBytes) {
    // Looked at before it is opened: opening a pipe waits for a writer, and
    // opening a device can wake or reset it.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return ReadFailure{systemReason(errno)};
    if (!S_ISREG(info.st_mode)) return ReadFailure{std::string(kNotRegular)};
    // Without waiting all the same, should the name stand for something else by now.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return ReadFailure{systemReason(errno)};
    if (::fstat(file.get(), &info) != 0) return ReadFailure{systemReason(errno)};
    if (!S_ISREG(info.st_mode)) return ReadFailure{std::string(kNotRegular)};
    if (info.st_size > maxBytes) return ReadFailure{std::string(kTooLarge)};
    // Read up to the limit rather than trust the size: the file may grow meanwhile.
    std::string content;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadFailure{systemReason(errno)};
        if (got == 0) break;
        content.append(chunk, static_cast<std::size_t>(got));
        if (static_cast<std::int64_t>(content.size()) > maxBytes) return ReadFailure{std::string(kTooLarge)};
    }
    return content;
}

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace kinemo
