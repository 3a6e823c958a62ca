// The measurement handlers on the real main window: the tick, the run, the buttons.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kinemo {
namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kGreen(0, 255, 0), kBlack(0, 0, 0);

class Measurement : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }
    // A remote that holds still: the same triple is waiting at every tick.
    void hold(std::uint8_t x, std::uint8_t y, std::uint8_t z) {
        remote->alwaysReport = true;
        remote->repeatedReport = test::accReport(x, y, z);
    }
    void ticks(int n) { for (int i = 0; i < n; ++i) tick(); }
    QColor at(int x, int y) { return c().plot->image().pixelColor(x, y); }
    bool blank() {
        QImage black(c().plot->image().size(), c().plot->image().format());
        black.fill(kBlack);
        return c().plot->image() == black;
    }
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

const std::string kConnected = "リモコンを接続しました（/dev/hidraw0、Wiiリモコン 057E:0306）";
const std::string kLost = "リモコンとの接続が切れました（読み取りができなくなりました）";
const std::string kNotFound = "リモコンが見つかりません。探し続けます。";

TEST_F(Measurement, EachTickDrawsTheTickedAxesInTheirColoursAndShowsTheValues) {
    ASSERT_EQ(hid.device("/dev/hidraw0").written.at(0), test::modeRequest(0x04));
    hold(50, 100, 200);
    ticks(21);
    EXPECT_EQ((std::vector{at(10, 50), at(10, 100), at(10, 200), at(30, 50)}),
              (std::vector{kBlue, kRed, kGreen, kBlack})) << "nothing beyond x = 21 x 1.05";
    EXPECT_EQ(readouts(), "3 1.14 -2.56");

    remote->failNextRead = true;  // a lost remote reads 0, 0, 0, which is no value
    tick();
    EXPECT_EQ(readouts(), "--- --- ---");
    EXPECT_EQ(at(23, 0), kGreen);

    c().plot->clear();  // cleared or greyed boxes draw nothing; the values still change
    for (QCheckBox* box : c().axisCheckBoxes) box->setCheckState(Qt::Unchecked);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    hold(104, 130, 132);
    ticks(10);
    EXPECT_TRUE(blank());
    EXPECT_EQ(readouts(), "1 0.03 -0.04");
}

TEST_F(Measurement, TheSweepStartsAgainAtTheLeftPastFiveHundred) {
    hold(131, 131, 131);
    ticks(476);
    EXPECT_EQ(at(400, 131), kGreen);
    tick();  // 477 x 1.05 = 500.85: cleared, then the segment from x = 0 to 1.05
    EXPECT_EQ((std::tuple{s().sweep.liveX(), at(0, 131), at(300, 131)}), (std::tuple{1, kGreen, kBlack}));
}

TEST_F(Measurement, AFullRunCalibratesTheTimeAxisAndTheMonitorGoesOn) {
    hold(9, 9, 9);
    clock.dateTime = {2026, 12, 7, 8, 0, 0};
    clock.ms = 0xFFFFFFFFu - 7000;  // the run passes the clock's wrap
    c().calibrateButton->click();
    EXPECT_FALSE(c().calibrateButton->isEnabled() || c().monitorButton->isEnabled());
    EXPECT_EQ(s().recorded.measuredAt, "2026/12/07 8:00:00");
    for (int i = 1; i <= kRunLength; ++i) {
        clock.ms += 12;
        if (i == kRunLength) remote->repeatedReport = test::accReport(7, 7, 7);
        tick();
    }
    EXPECT_EQ((std::vector{s().recorded.samples[0], s().recorded.samples[1999], s().recorded.samples[2000]}),
              (std::vector{AccTriple{9, 9, 9}, AccTriple{7, 7, 7}, kZeroSample}));
    EXPECT_EQ(s().recorded.samplePeriod, 1.2f);
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("83.3 HZ"));
    EXPECT_EQ(c().unreachable.elapsedLabel->text(), QStringLiteral("timeGetTime　: 24"));
    EXPECT_EQ(c().sampleCounter->text() + c().statusText->text(),
              QStringLiteral("2000/2000測定・記録が終了しました。"));
    EXPECT_TRUE(!s().recording.isRecording() && c().sampleTimer->isActive());
    EXPECT_TRUE(c().calibrateButton->isEnabled() && c().monitorButton->isEnabled());
}

TEST_F(Measurement, FineModeDrawsNothingDuringARunOnly) {
    hold(60, 60, 60);
    window->actions().fineMode->trigger();
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（精密）"));
    ticks(2);
    EXPECT_FALSE(blank()) << "outside a run";
    c().calibrateButton->click();
    EXPECT_EQ(c().statusText->text(),
              QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
    ticks(10);
    EXPECT_TRUE(blank());
    window->actions().normalMode->trigger();  // switched mid-run: drawing resumes
    tick();
    EXPECT_FALSE(blank());
}

TEST_F(Measurement, TheButtonsStopAndStartTheMonitorAndEndTheProgram) {
    QTimer* timer = c().sampleTimer;
    m().chooseFineMode();
    c().monitorButton->click();
    EXPECT_FALSE(timer->isActive() || s().isFineMode);
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
    c().monitorButton->click();
    EXPECT_TRUE(timer->isActive() && c().monitorButton->text() == QStringLiteral("モニター停止"));

    c().quitButton->click();
    window->actions().quit->trigger();
    EXPECT_EQ(endProgramCalls, 2);
    EXPECT_EQ(hid.device("/dev/hidraw0").closes, 0) << "ending the program is left to the loop";
}

TEST_F(MeasurementWithoutRemote, TheReadoutsShowNoValue) {
    tick();
    EXPECT_EQ(readouts(), "--- --- ---");
}

TEST_F(Measurement, TheReadoutsShowNoValueUntilTheRemotesFirstReport) {
    tick();
    EXPECT_EQ(readouts(), "--- --- ---") << "connected, nothing sent yet";
    hold(104, 131, 158);
    tick();
    EXPECT_EQ(readouts(), "1 0 -1");
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

TEST_F(Measurement, TheLogTellsALostRemoteAndThenOnceThatNoneIsFound) {
    remote->failNextRead = true;
    tick();
    hid.removeDevice("/dev/hidraw0");
    ticks(5);
    EXPECT_EQ(log.events, (std::vector{kConnected, kLost, kNotFound}));
}

TEST_F(MeasurementWithoutRemote, TheLogSaysNoRemoteIsFoundAgainAfterARemoteCameAndWent) {
    tick();
    hid.addWiiRemote();
    tick();
    hid.device("/dev/hidraw0").failNextRead = true;
    hid.removeDevice("/dev/hidraw0");
    ticks(3);
    EXPECT_EQ(log.events, (std::vector{kNotFound, kConnected, kLost, kNotFound}));
}

TEST_F(Measurement, TheLogTellsTheRecordModeOfARun) {
    window->actions().fineMode->trigger();
    c().calibrateButton->click();
    EXPECT_EQ(log.events.back(), "記録を開始しました（精密測定）");
}

TEST_F(Measurement, TheLogGivesAFinishedRunsSamplesSecondsAndRate) {
    hold(9, 9, 9);
    c().calibrateButton->click();
    for (int i = 0; i < kRunLength; ++i) {
        clock.ms += 12;
        tick();
    }
    EXPECT_EQ(log.events.back(), "記録が終了しました（2000サンプル、24秒、83.3 HZ）");
}

}  // namespace
}  // namespace kinemo
