// SIGTERM (logout, shutdown, kill), SIGHUP (the terminal or the session gone) and
// SIGINT (Ctrl+C) end the program as its 終了 does: the event loop ends with status 0,
// and main() writes the day log's end line. A lesson ended so has ended normally.
#pragma once

class QObject;

namespace kinemo {

// From here on for the program's life; `application` reads the signals on the
// user-interface thread. A signal that was ignored when the program started (nohup,
// a script's background job) stays ignored.
void quitOnSignals(QObject& application);

}  // namespace kinemo
