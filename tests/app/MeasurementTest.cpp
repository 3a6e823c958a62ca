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
using Reports = std::vector<std::vector<std::uint8_t>>;
const QString kFineText = QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。");

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
    QColor at(int x, int y) { return c().plot->image().pixelColor(x, y); }
    bool blank() {
        const QImage& image = c().plot->image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != kBlack) return false;
        return true;
    }
    std::string readouts() {
        return (c().readouts[0]->text() + ' ' + c().readouts[1]->text() + ' ' + c().readouts[2]->text()).toStdString();
    }
    test::FakeDeviceState* remote = nullptr;
};

TEST_F(Measurement, EachTickDrawsTheTickedAxesInTheirColoursAndShowsTheValues) {
    ASSERT_EQ(hid.device("/dev/hidraw0").written, Reports{test::modeRequest(0x04)});
    hold(50, 100, 200);
    ticks(21);
    EXPECT_EQ(at(10, 50), kBlue);
    EXPECT_EQ(at(10, 100), kRed);
    EXPECT_EQ(at(10, 200), kGreen);
    EXPECT_EQ(at(30, 50), kBlack) << "nothing beyond x = 21 x 1.05";
    EXPECT_EQ(readouts(), "3 1.14 -2.56");

    remote->failNextRead = true;  // a lost remote reads 0, 0, 0
    tick();
    EXPECT_EQ(readouts(), "4.85 4.85 4.85");
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
    EXPECT_EQ(s().sweep.liveX(), 1);
    EXPECT_EQ(at(0, 131), kGreen);
    EXPECT_EQ(at(300, 131), kBlack);
}

TEST_F(Measurement, AFullRunCalibratesTheTimeAxisAndTheMonitorGoesOn) {
    hold(9, 9, 9);
    clock.dateTime = {2026, 12, 7, 8, 0, 0};
    clock.ms = 0xFFFFFFFFu - 7000;  // the run passes the clock's wrap
    c().calibrateButton->click();
    EXPECT_FALSE(c().calibrateButton->isEnabled());
    EXPECT_FALSE(c().monitorButton->isEnabled());
    EXPECT_EQ(s().measuredAt, "2026/12/07 8:00:00");
    for (int i = 1; i <= kRunLength; ++i) {
        clock.ms += 12;
        if (i == kRunLength) remote->repeatedReport = test::accReport(7, 7, 7);
        tick();
        if (i == 1999) {
            ASSERT_EQ(c().sampleCounter->text(), QStringLiteral("1999/2000"));
        }
    }
    EXPECT_EQ(s().samples[0], (AccTriple{9, 9, 9}));
    EXPECT_EQ(s().samples[kRunLength - 1], (AccTriple{7, 7, 7}));
    EXPECT_EQ(s().samples[kRunLength], kZeroSample);
    EXPECT_EQ(s().samplePeriod, 1.2f);
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("83.3 HZ"));
    EXPECT_EQ(c().elapsedLabel->text(), QStringLiteral("timeGetTime　: 24"));
    EXPECT_EQ(c().sampleCounter->text(), QStringLiteral("2000/2000"));
    EXPECT_EQ(c().statusText->text(), QStringLiteral("測定・記録が終了しました。"));
    EXPECT_FALSE(s().run.isRecording());
    EXPECT_TRUE(c().calibrateButton->isEnabled() && c().monitorButton->isEnabled());
    EXPECT_TRUE(c().sampleTimer->isActive());
}

TEST_F(Measurement, FineModeDrawsNothingDuringARunOnly) {
    hold(60, 60, 60);
    window->menuItem("fineModeAction")->trigger();
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（精密）"));
    ticks(2);
    EXPECT_FALSE(blank()) << "outside a run";
    c().calibrateButton->click();
    EXPECT_EQ(c().statusText->text(), kFineText);
    ticks(10);
    EXPECT_TRUE(blank());
    EXPECT_EQ(c().readouts[0]->text(), QStringLiteral("2.62"));
    window->menuItem("normalModeAction")->trigger();  // switched mid-run: drawing resumes
    tick();
    EXPECT_FALSE(blank());
}

TEST_F(Measurement, TheButtonsStopAndStartTheMonitorAndResendTheReportMode) {
    QTimer* timer = c().sampleTimer;
    m().chooseFineMode();
    c().monitorButton->click();
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(s().isFineMode);
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
    c().monitorButton->click();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));

    auto& written = hid.device("/dev/hidraw0").written;
    c().reportOnChangeButton->click();
    c().reportContinuouslyButton->click();
    EXPECT_EQ(written, (Reports{test::modeRequest(0x04), test::modeRequest(0x00), test::modeRequest(0x04)}));

    clock.dateTime = {2027, 1, 2, 3, 4, 5};
    c().stampTimeButton->click();
    EXPECT_EQ(s().measuredAt, "2027/01/02 3:04:05");
    c().quitButton->click();
    window->menuItem("quitAction")->trigger();
    EXPECT_EQ(endProgramCalls, 2);
    EXPECT_EQ(hid.device("/dev/hidraw0").closes, 0) << "ending the program is left to the loop";
}

}  // namespace
}  // namespace kinemo
