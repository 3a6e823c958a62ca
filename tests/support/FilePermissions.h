// Limits that bind a test's own writes: a folder made read-only even for root (as in
// CI), and the file-size limit, which binds root too.
#pragma once

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace kinemo::test {

// Runs `act` with `folder` read-only, the override capabilities out of effect.
template <typename Act>
void inReadOnlyFolder(const std::string& folder, Act act) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    __user_cap_data_struct reduced[2]{};
    const bool got = syscall(SYS_capget, &header, saved) == 0;
    reduced[0] = saved[0];
    reduced[1] = saved[1];
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        reduced[cap / 32].effective &= ~(1u << cap % 32);
    if (got) syscall(SYS_capset, &header, reduced);
    ::chmod(folder.c_str(), 0500);
    act();
    ::chmod(folder.c_str(), 0700);
    if (got) syscall(SYS_capset, &header, saved);
}

// Runs `act` with files limited to `bytes`; SIGXFSZ ignored, as the program does.
template <typename Act>
void withFileSizeLimit(rlim_t bytes, Act act) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{bytes, saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    act();
    setrlimit(RLIMIT_FSIZE, &saved);
}

}  // namespace kinemo::test
