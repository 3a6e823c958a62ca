// The real main window on the fake HID platform and the fake clock, started up.
#pragma once

#include "tests/support/FakeClock.h"
#include "tests/support/FakeFileDialogs.h"
#include "tests/support/FakeHidPlatform.h"
#include "tests/support/RecordingEventLog.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace kinemo::test {

class MainWindowFixture : public ::testing::Test {
protected:
    // Called before start-up, so a test can put devices on the platform first. The
    // tests drive the tick by hand and never run the event loop, so the real timer
    // stays armed but never fires.
    virtual void arrangePlatform() {}

    void SetUp() override {
        arrangePlatform();
        window = std::make_unique<MainWindow>(MainServices{hid, clock, &dialogs, &log});
        window->measurement().endProgram = [this] { ++endProgramCalls; };
        window->start();
    }
    void TearDown() override { window.reset(); }

    MainControls& c() { return window->controls(); }
    MeasurementState& s() { return window->state(); }
    Measurement& m() { return window->measurement(); }
    void tick() { m().onSampleTick(); }

    FakeHidPlatform hid;
    FakeClock clock;
    FakeFileDialogs dialogs;
    RecordingEventLog log;
    std::unique_ptr<MainWindow> window;
    int endProgramCalls = 0;
};

}  // namespace kinemo::test
