// What the program tells its day log: one line per event, in the program's
// language. The window's handlers hold an EventLog the way they hold the clock, so
// tests and benchmarks see what would be written without touching the user's
// state folder.
#pragma once

#include "core/Clock.h"
#include "log/DayLog.h"

#include <iosfwd>
#include <string>

namespace kinemo {

class EventLog {
public:
    virtual ~EventLog() = default;
    // One event, without the time of day.
    virtual void record(const std::string& event) = 0;
};

// --no-log, and every window built without a log.
class NoEventLog final : public EventLog {
public:
    void record(const std::string&) override {}
};

// The day's file in `directory`, each line led by the time of day. A log that
// cannot be written says so once on `errors` and then keeps quiet: a lesson must
// never stop for its log.
class DayEventLog final : public EventLog {
public:
    DayEventLog(Clock& clock, std::string directory, std::ostream& errors);

    // Creates the folder when missing and writes the opening block; when that
    // fails, the next event tries again.
    void start();
    void record(const std::string& event) override;

private:
    void open();
    void warnOnce(const std::string& reason);

    Clock& clock_;
    std::string directory_;
    DayLog log_;
    std::ostream& errors_;
    bool warned_ = false;
};

// $XDG_STATE_HOME/kinemo, else ~/.local/state/kinemo; empty when neither is known.
std::string defaultLogDirectory();

}  // namespace kinemo
