// Time from process start to the first tick, and peak resident memory, offscreen.
// Without arguments it starts itself again as a child a number of times and reports
// the median and the worst; the child (argument "child") is the program's own
// start-up on a machine without a Wii Remote, which stops at its first tick.
#include "core/Clock.h"
#include "device/HidPlatform.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int child(int argc, char** argv) {
    QApplication app(argc, argv);
    kinemo::SystemClock clock;
    kinemo::NoHidPlatform hid;
    kinemo::MainWindow window({hid, clock});
    // The first tick is stamped instead of run: it would search and pause again.
    QTimer* timer = window.controls().sampleTimer;
    timer->disconnect(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [] {
        std::printf("%.3f\n", monotonicMs());
        std::fflush(stdout);
        std::_Exit(0);
    });
    window.start();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "child") return child(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> startup;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        int fds[2];
        if (pipe(fds) != 0) return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        char arg0[] = "kinemo_bench_startup";
        char arg1[] = "child";
        char* args[] = {arg0, arg1, nullptr};
        const double started = monotonicMs();
        pid_t pid = 0;
        if (posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, args, environ) != 0) return 1;
        close(fds[1]);
        char buf[64] = {};
        const ssize_t n = read(fds[0], buf, sizeof buf - 1);
        close(fds[0]);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (n <= 0) {
            std::fprintf(stderr, "child gave no tick\n");
            return 1;
        }
        startup.push_back(std::atof(buf) - started);
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    std::sort(startup.begin(), startup.end());
    std::printf("process start to first tick: median %.1f ms, worst %.1f ms over %d runs (goal <= 300 ms)\n",
                startup[startup.size() / 2], startup.back(), runs);
    std::printf("peak resident memory: %.1f MB (goal <= 80 MB)\n", peakKb / 1024.0);
    return 0;
}
