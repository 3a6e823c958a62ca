#include "ui/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kinemo {

namespace {

int wakeUp = -1;

// All a handler may safely do: one byte into a pipe the event loop watches. A full
// pipe already holds a wake-up, so a byte that does not fit is not missed.
void onQuitSignal(int) {
    const int savedErrno = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp, &byte, 1);
    errno = savedErrno;
}

}  // namespace

void quitOnSignals(QObject& application) {
    int pipe[2];
    // Without the pipe the signals keep ending the program as the system does.
    if (::pipe2(pipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    wakeUp = pipe[1];
    auto* notifier = new QSocketNotifier(pipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [readEnd = pipe[0]] {
        char bytes[64];
        while (::read(readEnd, bytes, sizeof bytes) > 0) {}
        // As 終了 does; it also ends a message box or a file dialog that is open.
        QCoreApplication::exit(0);
    });
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;  // the user-interface thread's own calls go on undisturbed
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace kinemo
