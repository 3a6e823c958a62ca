// The measurement handlers on the real main window: the tick, the run, the buttons.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kinemo {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);
const std::string kConnected = "リモコンを接続しました（/dev/hidraw0、Wiiリモコン 057E:0306）";
const std::string kLost = "リモコンとの接続が切れました（読み取りができなくなりました）";
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
    // A whole run of 12 ms ticks across the wrap of the clock, the last one 7, 7, 7.
    void recordFullRun() {
        hold(9, 9, 9);
        clock.ms = 0xFFFFFFFFu - 7000;
        c().calibrateButton->click();
        for (int i = 1; i <= kRunLength; ++i) {
            clock.ms += 12;
            if (i == kRunLength) remote->repeatedReport = test::accReport(7, 7, 7);
            tick();
        }
    }
    QColor at(int x, int y) { return c().plot->image().pixelColor(x, y); }
    bool blank() {
        QImage black(c().plot->image().size(), c().plot->image().format());
        black.fill(kBlack);
        return c().plot->image() == black;
    }
    // The row of readouts as the user reads it: X, Y and Z.
    std::string readouts() {
        const auto& r = c().readouts;
        return (r[0]->text() + ' ' + r[1]->text() + ' ' + r[2]->text()).toStdString();
    }
    test::FakeDeviceState* remote = nullptr;
};

class MeasurementWithoutRemote : public Measurement {
protected:
    void arrangePlatform() override {}
};

TEST_F(Measurement, StartUpAsksTheRemoteForContinuousReports) {
    EXPECT_EQ(hid.device("/dev/hidraw0").written.at(0), test::modeRequest(0x04));
}

TEST_F(Measurement, EachTickDrawsTheAxesInTheirColoursUpToItsPosition) {
    hold(50, 100, 200);
    ticks(21);
    EXPECT_EQ(at(10, 50), kBlue);
    EXPECT_EQ(at(10, 100), kRed);
    EXPECT_EQ(at(10, 200), kGreen);
    EXPECT_EQ(at(30, 50), kBlack) << "nothing beyond x = 21 x 1.05";
}

TEST_F(Measurement, ClearedOrGreyedAxesAreNotDrawn) {
    for (QCheckBox* box : c().axisCheckBoxes) box->setCheckState(Qt::Unchecked);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    hold(50, 100, 200);
    ticks(10);
    EXPECT_TRUE(blank());
}

TEST_F(Measurement, TheReadoutsShowTheValuesInG) {
    hold(50, 100, 200);
    tick();
    EXPECT_EQ(readouts(), "3 1.14 -2.56");
}

TEST_F(Measurement, TheReadoutsShowNoValueUntilTheRemotesFirstReport) {
    tick();
    EXPECT_EQ(readouts(), "--- --- ---");
}

TEST_F(Measurement, TheReadoutsShowNoValueOnceTheRemoteIsLost) {
    hold(50, 100, 200);
    tick();
    remote->failNextRead = true;
    tick();
    EXPECT_EQ(readouts(), "--- --- ---");
}

TEST_F(Measurement, TheTraceStartsAgainAtTheLeftPastFiveHundred) {
    hold(131, 131, 131);
    ticks(476);
    ASSERT_EQ(at(400, 131), kGreen);
    tick();  // 477 x 1.05 = 500.85
    EXPECT_EQ(at(0, 131), kGreen);
    EXPECT_EQ(at(300, 131), kBlack);
}

TEST_F(Measurement, ARunGreysTheRecordAndMonitorButtons) {
    c().calibrateButton->click();
    EXPECT_FALSE(c().calibrateButton->isEnabled());
    EXPECT_FALSE(c().monitorButton->isEnabled());
}

TEST_F(Measurement, ARunIsDatedWhenItStarts) {
    clock.dateTime = {2026, 12, 7, 8, 0, 0};
    c().calibrateButton->click();
    EXPECT_EQ(s().recorded.measuredAt, "2026/12/07 8:00:00");
}

TEST_F(Measurement, ARunStoresItsTwoThousandSamplesInOrder) {
    recordFullRun();
    EXPECT_EQ(s().recorded.samples[0], (AccTriple{9, 9, 9}));
    EXPECT_EQ(s().recorded.samples[1999], (AccTriple{7, 7, 7}));
}

TEST_F(Measurement, AFinishedRunShowsTheRateItsDurationGives) {
    recordFullRun();
    EXPECT_EQ(s().recorded.samplePeriod, 1.2f);
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("83.3 HZ"));
    EXPECT_EQ(c().unreachable.elapsedLabel->text(), QStringLiteral("timeGetTime　: 24"));
}

TEST_F(Measurement, AFinishedRunSaysSoAndTheMonitorGoesOn) {
    recordFullRun();
    EXPECT_EQ(c().sampleCounter->text(), QStringLiteral("2000/2000"));
    EXPECT_EQ(c().statusText->text(), QStringLiteral("測定・記録が終了しました。"));
    EXPECT_TRUE(c().sampleTimer->isActive());
    EXPECT_TRUE(c().calibrateButton->isEnabled());
    EXPECT_TRUE(c().monitorButton->isEnabled());
}

TEST_F(Measurement, FineModeRenamesTheRecordButton) {
    window->actions().fineMode->trigger();
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（精密）"));
}

TEST_F(Measurement, FineModeStillDrawsOutsideARun) {
    hold(60, 60, 60);
    window->actions().fineMode->trigger();
    ticks(2);
    EXPECT_FALSE(blank());
}

TEST_F(Measurement, AFineRunDrawsNothingAndSaysWhy) {
    hold(60, 60, 60);
    window->actions().fineMode->trigger();
    c().calibrateButton->click();
    ticks(10);
    EXPECT_TRUE(blank());
    EXPECT_EQ(c().statusText->text(),
              QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
}

TEST_F(Measurement, NormalModeChosenDuringAFineRunDrawsAgain) {
    hold(60, 60, 60);
    window->actions().fineMode->trigger();
    c().calibrateButton->click();
    window->actions().normalMode->trigger();
    tick();
    EXPECT_FALSE(blank());
}

TEST_F(Measurement, TheMonitorButtonStopsTheMonitorAndFineMode) {
    m().chooseFineMode();
    c().monitorButton->click();
    EXPECT_FALSE(c().sampleTimer->isActive());
    EXPECT_FALSE(s().isFineMode);
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
}

TEST_F(Measurement, TheMonitorButtonStartsAStoppedMonitor) {
    c().monitorButton->click();
    c().monitorButton->click();
    EXPECT_TRUE(c().sampleTimer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));
}

TEST_F(Measurement, TheQuitButtonAndMenuItemEndTheProgramThroughTheLoop) {
    c().quitButton->click();
    window->actions().quit->trigger();
    EXPECT_EQ(endProgramCalls, 2);
    EXPECT_EQ(hid.device("/dev/hidraw0").closes, 0) << "closing the remote is left to the window's unload";
}

TEST_F(Measurement, TheLogNamesTheConnectedRemote) {
    EXPECT_EQ(log.events, std::vector{kConnected});
}

TEST_F(Measurement, TheLogNamesAWiiRemotePlus) {
    hid.removeDevice("/dev/hidraw0");
    hid.addDevice("/dev/hidraw7", 0x057E, 0x0330);
    remote->failNextRead = true;
    ticks(2);
    EXPECT_EQ(log.events.back(), "リモコンを接続しました（/dev/hidraw7、Wiiリモコンプラス 057E:0330）");
}

TEST_F(MeasurementWithoutRemote, TheLogSaysOnceThatNoRemoteIsFound) {
    ticks(5);
    EXPECT_EQ(log.events, std::vector{kNotFound});
}

TEST_F(MeasurementWithoutRemote, TheLogSaysNoRemoteIsFoundAgainAfterARemoteCameAndWent) {
    hid.addWiiRemote();
    tick();
    hid.device("/dev/hidraw0").failNextRead = true;
    hid.removeDevice("/dev/hidraw0");
    ticks(3);
    EXPECT_EQ(log.events, (std::vector{kNotFound, kConnected, kLost, kNotFound}));
}

TEST_F(Measurement, TheLogTellsAFineRun) {
    window->actions().fineMode->trigger();
    c().calibrateButton->click();
    EXPECT_EQ(log.events.back(), "記録を開始しました（精密測定）");
}

// One tick more must not finish the run again.
TEST_F(Measurement, TheLogTellsARunsStartAndEndOnce) {
    recordFullRun();
    tick();
    EXPECT_EQ(log.events, (std::vector<std::string>{kConnected, "記録を開始しました（標準測定）",
                                                    "記録が終了しました（2000サンプル、24秒、83.3 HZ）"}));
}

}  // namespace
}  // namespace kinemo
