// The real main window on the fake HID platform and the fake clock, started up.
#pragma once

#include "app/FileDialogs.h"
#include "log/EventLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeHidPlatform.h"
#include "tests/support/WindowState.h"
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
    std::optional<QString> askSavePath(const QStringList&) override {
        if (whileAsking) whileAsking();
        return next();
    }
    std::optional<QString> askOpenPath(const QStringList&) override { return next(); }
    void showMessage(const QString& text) override { messages.push_back(text); }
    void showNotice(const QString& text) override { messages.push_back(text); }

    std::deque<QString> answers;
    std::vector<QString> messages;
    std::function<void()> whileAsking;  // what goes on while the save dialog is open

private:
    std::optional<QString> next() {
        const QString answer = answers.empty() ? QString() : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer.isEmpty() ? std::nullopt : std::optional(answer);
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

// The window started on a remote that has sent nothing yet. Its steps compare the
// whole window with `expected`, which starts as the window shows itself then.
class MainWindowFixture : public ::testing::Test {
protected:
    // The tests drive the tick by hand and never run the event loop, so the real timer
    // stays armed but never fires.
    void SetUp() override {
        window = std::make_unique<MainWindow>(MainServices{hid, clock, &dialogs, &log});
        window->measurement().endProgram = [this] { ++endProgramCalls; };
        window->start();
    }
    void TearDown() override { window.reset(); }

    MainControls& c() { return window->controls(); }
    MeasurementState& s() { return window->state(); }
    Measurement& m() { return window->measurement(); }
    void tick() { m().onSampleTick(); }
    // Ticks 12 ms apart: a run of them measures a period of 1.2.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock.ms += 12;
            tick();
        }
    }

    // A run's start, whatever came before: both buttons greyed, the strip shown, no scroll bar, the plot cleared.
    void expectRunStart(const std::string& mode, const std::string& date, const std::string& strip) {
        expected["mode"] = mode;
        expected["monitor button"] = "モニター停止 (greyed)";
        expected["record button"] = "記録開始 (greyed)";
        expected["date"] = date;
        expected["strip"] = strip;
        expected["scroll bar"] = "hidden";
        expected["plot"] = "black";
    }
    // The viewer opened on a stored run, whatever came before.
    void expectViewer(const std::string& run, const std::string& date, const std::string& rate,
                      const std::string& bar) {
        expected["mode"] = "viewing " + run;
        expected["monitor button"] = "モニター開始";
        expected["date"] = date;
        expected["rate"] = rate;
        expected["strip"] = "hidden";
        expected["scroll bar"] = bar;
    }

    FakeHidPlatform hid;
    FakeDeviceState* remote = &hid.addWiiRemote();
    FakeClock clock;
    FakeFileDialogs dialogs;
    RecordingEventLog log;
    std::unique_ptr<MainWindow> window;
    int endProgramCalls = 0;
    WindowState expected = {
        {"axis boxes", "on on on"},
        {"date", "2026/12/06 9:05:07"},
        {"day log", "1 lines, last リモコンを接続しました（/dev/hidraw0、Wiiリモコン 057E:0306）"},
        {"help windows", "axes 0 shown, about 0 shown"},
        {"loaded run", "1.0500 \"\" 131,131,131 131,131,131 .. 131,131,131 | 131,131,131"},
        {"messages", "0, last "},
        {"mode", "monitoring, next run standard"},
        {"monitor button", "モニター開始"},
        {"plot", "black"},
        {"quit button", "終了"},
        {"rate", ""},
        {"readouts", "--- --- --- G"},
        {"record button", "時間軸の校正"},
        {"recorded run", "1.0500 \"\" 131,131,131 131,131,131 .. 131,131,131 | 131,131,131"},
        {"scroll bar", "hidden"},
        {"seconds", "0 1 2 3 4 5 from x 0"},
        {"strip", "波形が現れたら、「時間軸の校正」ボタンをクリックします。 | 0/2000"},
        {"title", "Kinemo  1.0.16"},
        {"zero line", "white"},
    };
};

}  // namespace kinemo::test

// The whole window against the fixture's `expected`, the differing lines printed.
#define EXPECT_WINDOW() \
    EXPECT_TRUE(::kinemo::test::sameWindow(expected, ::kinemo::test::readState(*window, dialogs.messages, log.events)))
