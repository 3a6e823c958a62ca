// A named pipe whose partner thread holds the read end open and keeps opening the write
// end: code that wrongly waits on the pipe is released, and its test fails, not hangs.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace kinemo::test {

struct PipeWithPartner {
    explicit PipeWithPartner(std::string name) : path(std::move(name)) {
        ::mkfifo(path.c_str(), 0600);
        reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);  // a writer never finds it closed
        partner = std::thread([this] {
            for (; !done; ::usleep(10000))
                if (const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) ::close(writer);
        });
    }
    ~PipeWithPartner() {
        done = true;
        partner.join();
        ::close(reader);
    }
    const std::string path;
    int reader = -1;
    std::atomic<bool> done{false};
    std::thread partner;
};

}  // namespace kinemo::test
