#include "core/WriteAll.h"

#include <cerrno>

#include <unistd.h>

namespace kinemo {

bool writeAll(int fd, std::string_view bytes, std::size_t* written) {
    while (!bytes.empty()) {
        const ssize_t took = ::write(fd, bytes.data(), bytes.size());
        if (took < 0 && errno == EINTR) continue;
        if (took < 0) return false;
        if (took == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(took));
        if (written) *written += static_cast<std::size_t>(took);
    }
    return true;
}

}  // namespace kinemo
