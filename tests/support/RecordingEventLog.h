// A day log the tests read: the events as the handlers tell them, without the time.
#pragma once

#include "log/EventLog.h"

#include <string>
#include <vector>

namespace kinemo::test {

class RecordingEventLog final : public EventLog {
public:
    void record(const std::string& event) override { events.push_back(event); }

    std::vector<std::string> events;
};

}  // namespace kinemo::test
