// The measurement handlers on the real main window: the tick, the run, the buttons.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cerrno>

namespace kinemo {
namespace {

const std::string kConnected = "リモコンを接続しました（/dev/hidraw0、Wiiリモコン 057E:0306）";
const std::string kNotFound = "リモコンが見つかりません。探し続けます。";

class Measurement : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }
    // A remote that holds still: the same triple is waiting at every tick.
    void hold(std::uint8_t x, std::uint8_t y, std::uint8_t z) {
        remote->alwaysReport = true;
        remote->repeatedReport = test::accReport(x, y, z);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) tick();
    }
    // A whole run of 20.5 s (a period of 1.025) across the wrap of the clock, 9, 9, 9 first and 7, 7, 7 last.
    void recordFullRun() {
        hold(9, 9, 9);
        clock.ms = 0xFFFFFFFFu - 7000;
        c().calibrateButton->click();
        for (int i = 1; i <= kRunLength; ++i) {
            clock.ms += i % 4 == 0 ? 11 : 10;
            if (i == kRunLength) remote->repeatedReport = test::accReport(7, 7, 7);
            tick();
        }
    }
    bool blank() {
        QImage black(c().plot->image().size(), c().plot->image().format());
        black.fill(Qt::black);
        return c().plot->image() == black;
    }
    std::string readouts() {
        const auto& r = c().readouts;
        return (r[0]->text() + ' ' + r[1]->text() + ' ' + r[2]->text()).toStdString();
    }
    test::FakeDeviceState* remote = nullptr;
};

// The bytes as a Wii Remote takes them, the whole output report long.
TEST_F(Measurement, StartUpAsksTheRemoteForContinuousReports) {
    test::Bytes request = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/mode-request-continuous.txt");
    request.resize(22);
    EXPECT_EQ(hid.device("/dev/hidraw0").written.at(0), request);
}

TEST_F(Measurement, ClearedOrGreyedAxesAreNotDrawn) {
    for (QCheckBox* box : c().axisCheckBoxes) box->setCheckState(Qt::Unchecked);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    hold(50, 100, 200);
    ticks(10);
    EXPECT_TRUE(blank());
}

TEST_F(Measurement, TheReadoutsShowValuesInGOnlyWhileTheRemoteGivesThem) {
    EXPECT_EQ(readouts(), "--- --- ---") << "at start-up, before the first tick";
    tick();
    EXPECT_EQ(readouts(), "--- --- ---") << "connected, nothing sent yet";
    hold(50, 100, 200);
    tick();
    EXPECT_EQ(readouts(), "3 1.14 -2.56");
    remote->failNextRead = true;
    tick();
    EXPECT_EQ(readouts(), "--- --- ---") << "lost";
}

TEST_F(Measurement, TheTraceStartsAgainAtTheLeftPastFiveHundred) {
    hold(131, 131, 131);
    ticks(477);  // 477 x 1.05 = 500.85
    EXPECT_EQ(c().plot->image().pixelColor(0, 131), Qt::green);
    EXPECT_EQ(c().plot->image().pixelColor(300, 131), Qt::black);
}

TEST_F(Measurement, TheRecordAndMonitorButtonsAreGreyedForTheRunOnly) {
    c().calibrateButton->click();
    EXPECT_FALSE(c().calibrateButton->isEnabled());
    EXPECT_FALSE(c().monitorButton->isEnabled());
    recordFullRun();
    EXPECT_TRUE(c().calibrateButton->isEnabled());
    EXPECT_TRUE(c().monitorButton->isEnabled());
}

TEST_F(Measurement, ARunIsDatedWhenItStarts) {
    c().calibrateButton->click();
    EXPECT_EQ(s().recorded.measuredAt, "2026/12/06 9:05:07");
}

TEST_F(Measurement, ARunStoresItsTwoThousandSamplesInOrder) {
    recordFullRun();
    EXPECT_EQ(s().recorded.samples[0], (AccTriple{9, 9, 9}));
    EXPECT_EQ(s().recorded.samples[1999], (AccTriple{7, 7, 7}));
}

// Entry 2000 is saved as the last line of a file; 2001 never is.
TEST_F(Measurement, ARunPutsEntry2000BackToTheZeroLevelButNot2001) {
    s().recorded.samples.fill({1, 2, 3});
    c().calibrateButton->click();
    EXPECT_EQ(s().recorded.samples[2000], kZeroSample);
    EXPECT_EQ(s().recorded.samples[2001], (AccTriple{1, 2, 3}));
}

TEST_F(Measurement, AFinishedRunShowsThatItEndedAndItsRate) {
    recordFullRun();
    EXPECT_EQ(c().sampleCounter->text(), QStringLiteral("2000/2000"));
    EXPECT_EQ(c().statusText->text(), QStringLiteral("測定・記録が終了しました。"));
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("97.5 HZ"));
}

TEST_F(Measurement, FineModeDrawsNothingDuringARunOnly) {
    hold(60, 60, 60);
    window->actions().fineMode->trigger();
    ticks(2);
    EXPECT_FALSE(blank()) << "outside a run";
    c().calibrateButton->click();
    ticks(10);
    EXPECT_TRUE(blank()) << "during the run";
    window->actions().normalMode->trigger();
    tick();
    EXPECT_FALSE(blank()) << "switched to normal mode during the run";
}

TEST_F(Measurement, TheMonitorButtonStopsAndStartsTheMonitor) {
    c().monitorButton->click();
    EXPECT_FALSE(c().sampleTimer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
    c().monitorButton->click();
    EXPECT_TRUE(c().sampleTimer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));
}

TEST_F(Measurement, AMonitorPressEndsFineMode) {
    window->actions().fineMode->trigger();
    c().monitorButton->click();
    EXPECT_FALSE(s().isFineMode);
}

TEST_F(Measurement, TheQuitButtonAndMenuItemEndTheProgram) {
    c().quitButton->click();
    window->actions().quit->trigger();
    EXPECT_EQ(endProgramCalls, 2);
}

// Each change of the link once, never at every search: not found after each loss, and a refused
// open once per reason, and again after the remote was opened.
TEST_F(Measurement, TheLogTellsEachChangeOfTheLinkOnce) {
    remote->failNextRead = true;
    hid.removeDevice("/dev/hidraw0");
    ticks(3);
    hid.addWiiRemote().openError = EBUSY;
    ticks(2);
    hid.device("/dev/hidraw0").openError = EACCES;
    ticks(2);
    hid.device("/dev/hidraw0").openError = 0;
    tick();
    hid.device("/dev/hidraw0").failNextRead = true;
    hid.removeDevice("/dev/hidraw0");
    ticks(3);
    hid.addWiiRemote().openError = EACCES;
    ticks(2);
    const std::string lost = "リモコンとの接続が切れました（読み取りができなくなりました）";
    const std::string locked = "リモコンが見つかりましたが開けません（/dev/hidraw0、読み書きの権限がありません）";
    const std::string busy = "リモコンが見つかりましたが開けません（/dev/hidraw0、ほかのプログラムが使用中です）";
    EXPECT_EQ(log.events, (std::vector{kConnected, lost, kNotFound, busy, locked, kConnected, lost, kNotFound, locked}));
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

// One tick more must not finish the run again. The log's disk is slow: its writes must
// not count into the run's measured length.
TEST_F(Measurement, TheLogTellsARunsStartAndEndOnce) {
    log.onRecord = [this] { clock.ms += 500; };
    recordFullRun();
    tick();
    EXPECT_EQ(log.events, (std::vector<std::string>{kConnected, "記録を開始しました（標準測定）",
                                                    "記録が終了しました（2000サンプル、20.5秒、97.5 HZ）"}));
}

}  // namespace
}  // namespace kinemo
