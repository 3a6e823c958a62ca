// A named pipe with a partner thread that holds its read end open and keeps
// opening and closing its write end. Code that wrongly opens the pipe and waits
// on it is released that way, so its test fails instead of hanging.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace kinemo::test {

class PipeWithPartner {
public:
    explicit PipeWithPartner(std::string path) : path_(std::move(path)) {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        partner_ = std::thread([this] {
            const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
            while (!done_) {
                const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0) ::close(writer);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (reader >= 0) ::close(reader);
        });
    }
    ~PipeWithPartner() {
        done_ = true;
        partner_.join();
    }
    PipeWithPartner(const PipeWithPartner&) = delete;
    PipeWithPartner& operator=(const PipeWithPartner&) = delete;

    bool made() const { return made_; }
    // Still the pipe, not replaced by a file.
    bool intact() const {
        struct stat info {};
        return ::lstat(path_.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    }

private:
    std::string path_;
    bool made_ = false;
    std::atomic<bool> done_{false};
    std::thread partner_;
};

}  // namespace kinemo::test
