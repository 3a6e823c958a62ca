// A Wii Remote that is not there: `kinemo --simulate` runs the whole program on it,
// and tests drive it with a fake clock.
//
// The platform shows one interface, 057E:0306 with 22-byte input and output reports.
// Like a real remote on hidraw it streams reports at 100 Hz of the monotonic clock
// into a queue of 64 reports per open handle that drops new reports while full, it
// follows output report 0x12 (mode 0x31 carries the accelerometer; flag 0x04 asks
// for a report every 10 ms, otherwise one comes only when the data change), and it
// now and then slips in a status report 0x20 or an acknowledgement 0x22, as Linux's
// wiimote driver provokes. After an unrequested status report the remote stops
// reporting until it is sent 0x12 again. Everything it sends depends on the clock
// alone, so a run can be repeated exactly.
#pragma once

#include "core/Clock.h"
#include "core/Sample.h"
#include "device/HidPlatform.h"
#include "device/WiiRemoteProtocol.h"

#include <cstdint>
#include <memory>

namespace kinemo {

class SimulatedHidPlatform final : public HidPlatform {
public:
    static constexpr const char* kPath = "simulated-wiimote";
    static constexpr std::uint16_t kReportLength = 22;
    static constexpr std::uint32_t kReportPeriodMs = 10;
    static constexpr std::size_t kQueueLength = 64;

    // With `sleepOnPause` false, pause() returns at once (for tests).
    explicit SimulatedHidPlatform(Clock& clock, bool sleepOnPause = true);
    ~SimulatedHidPlatform() override;

    std::vector<HidInterface> enumerate() override;
    HidOpenResult open(const std::string& path) override;
    void pause(std::chrono::milliseconds duration) override;

    struct Remote;

private:
    std::shared_ptr<Remote> remote_;
    bool sleepOnPause_;
};

// The remote's motion: X, Y, Z of the report due at `tick` (10 ms apart, from when the
// platform was made). Gravity rests on one axis and a slow tilt carries it between
// the axes; now and then the remote is shaken at a few Hz; a little noise on top.
AccTriple simulatedAcceleration(std::uint64_t tick);

}  // namespace kinemo
