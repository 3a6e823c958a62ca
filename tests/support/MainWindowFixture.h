// The real main window on the fake HID platform and the fake clock, started up.
#pragma once

#include "app/FileDialogs.h"
#include "log/EventLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeHidPlatform.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kinemo::test {

// A scripted file dialog and message box: each question takes the next answer (a
// path; an empty one, or none left, is a cancelled dialog). Messages are recorded.
class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<QString> askSavePath(const QStringList&) override { return next(); }
    std::optional<QString> askOpenPath(const QStringList&) override { return next(); }
    void showMessage(const QString& text) override { messages.push_back(text); }
    void showNotice(const QString& text) override { messages.push_back(text); }

    std::deque<QString> answers;
    std::vector<QString> messages;

private:
    std::optional<QString> next() {
        if (answers.empty()) return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

// A day log the tests read: the events as the handlers tell them, without the time.
class RecordingEventLog final : public EventLog {
public:
    void record(const std::string& event) override {
        events.push_back(event);
        if (onRecord) onRecord();
    }

    std::vector<std::string> events;
    std::function<void()> onRecord;  // e.g. a write that takes time
};

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
