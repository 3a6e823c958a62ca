#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace kinemo {
namespace {

using test::accReport;

class Recording : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }

    // Runs a whole recording with ticks `periodMs` apart, the clock starting at
    // `startMs`. Sample i of the run is (i % 256, (i / 7) % 256, 255 - i % 256).
    void record(double periodMs, std::uint32_t startMs = 5000) {
        clock.ms = startMs;
        c().calibrateButton->click();
        for (int i = 1; i <= kRunLength; ++i) {
            const int k = i - 1;
            remote->inputQueue.push_back(accReport(static_cast<std::uint8_t>(k % 256),
                                                   static_cast<std::uint8_t>((k / 7) % 256),
                                                   static_cast<std::uint8_t>(255 - k % 256)));
            clock.ms = startMs + static_cast<std::uint32_t>(std::llround(i * periodMs));
            tick();
            if (i < kRunLength) {
                ASSERT_TRUE(s().run.isRecording()) << i;
                ASSERT_EQ(c().sampleCounter->text(), QString::number(i) + QStringLiteral("/2000"));
            }
        }
    }

    test::FakeDeviceState* remote = nullptr;
};

TEST_F(Recording, StartOfARunSetsEverythingInOrder) {
    s().samples[2000] = {1, 2, 3};
    s().samples[2001] = {4, 5, 6};
    clock.dateTime = {2026, 12, 6, 14, 30, 0};
    clock.ms = 777;
    c().calibrateButton->click();
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始"));
    EXPECT_FALSE(c().calibrateButton->isEnabled());
    EXPECT_FALSE(c().monitorButton->isEnabled());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));
    EXPECT_TRUE(c().statusStrip->isVisibleTo(window.get()));
    EXPECT_TRUE(c().viewerScrollBar->isHidden());
    EXPECT_EQ(c().statusText->text(), QStringLiteral("測定・記録中です。しばらくお待ちください。"));
    EXPECT_EQ(c().sampleCounter->text(), QStringLiteral("0/2000")) << "the old text stays until the first tick";
    EXPECT_TRUE(s().run.isRecording());
    EXPECT_EQ(s().run.sampleIndex(), 0);
    EXPECT_EQ(s().measuredAt, "2026/12/06 14:30:00");
    EXPECT_EQ(c().measuredAtField->text(), QStringLiteral("2026/12/06 14:30:00"));
    EXPECT_EQ(s().run.startMs(), 777u);
    EXPECT_TRUE(c().sampleTimer->isActive());
    EXPECT_EQ(s().samples[2000], (AccTriple{131, 131, 131}));
    EXPECT_EQ(s().samples[2001], (AccTriple{4, 5, 6})) << "index 2001 is never reset";
    // A disabled button takes no click.
    c().calibrateButton->click();
    EXPECT_EQ(s().run.startMs(), 777u);
}

TEST_F(Recording, CalibratesFromTheMeasuredDuration) {
    struct Case {
        double periodMs;
        float samplePeriod;
        const char* rate;
        const char* elapsed;
    };
    for (const Case& k : {Case{10.0, 1.0f, "100 HZ", "20"}, Case{15.625, 1.5625f, "64 HZ", "31.25"},
                          Case{10.25, 1.025f, "97.5 HZ", "20.5"}}) {
        SCOPED_TRACE(k.rate);
        record(k.periodMs);
        EXPECT_EQ(s().samplePeriod, k.samplePeriod);
        EXPECT_EQ(c().rateLabel->text(), QString::fromUtf8(k.rate));
        EXPECT_EQ(c().elapsedLabel->text(), QStringLiteral("timeGetTime　: ") + QString::fromUtf8(k.elapsed));
        // The tick that stores the 2000th sample shows the end of the run as well.
        EXPECT_EQ(c().sampleCounter->text(), QStringLiteral("2000/2000"));
        EXPECT_EQ(c().statusText->text(), QStringLiteral("測定・記録が終了しました。"));
        EXPECT_FALSE(s().run.isRecording());
        EXPECT_EQ(s().run.sampleIndex(), 0);
        EXPECT_TRUE(c().calibrateButton->isEnabled());
        EXPECT_TRUE(c().monitorButton->isEnabled());
        EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));
        EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始"));
        EXPECT_TRUE(c().sampleTimer->isActive()) << "the monitor goes on";
    }
}

TEST_F(Recording, StoresEveryTickAndASecondRunOverwritesTheFirst) {
    record(10.0);
    for (int k = 0; k < kRunLength; ++k)
        ASSERT_EQ(s().samples[k], (AccTriple{static_cast<std::uint8_t>(k % 256),
                                             static_cast<std::uint8_t>((k / 7) % 256),
                                             static_cast<std::uint8_t>(255 - k % 256)}))
            << k;
    EXPECT_EQ(s().samples[2000], (AccTriple{131, 131, 131}));

    // A remote that holds still for the second run, and ticks 12 ms apart.
    clock.dateTime = {2026, 12, 7, 8, 0, 0};
    remote->alwaysReport = true;
    remote->repeatedReport = accReport(9, 9, 9);
    clock.ms = 100000;
    c().calibrateButton->click();
    for (int i = 1; i <= kRunLength; ++i) {
        clock.ms = 100000 + 12 * i;
        tick();
    }
    for (int k = 0; k < kRunLength; ++k) ASSERT_EQ(s().samples[k], (AccTriple{9, 9, 9})) << k;
    EXPECT_EQ(s().samplePeriod, 1.2f);
    EXPECT_EQ(s().measuredAt, "2026/12/07 8:00:00");
    EXPECT_EQ(c().measuredAtField->text(), QStringLiteral("2026/12/07 8:00:00"));
}

TEST_F(Recording, ARunAcrossTheClocksSignAndWrapMeasuresCorrectly) {
    record(10.0, 0x80000000u - 7000);  // passes 2^31 ms mid-run
    EXPECT_EQ(s().samplePeriod, 1.0f);
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("100 HZ"));
    record(10.0, 0xFFFFFFFFu - 7000);  // passes 2^32 ms, the wrap to zero
    EXPECT_EQ(s().samplePeriod, 1.0f);
    EXPECT_EQ(c().elapsedLabel->text(), QStringLiteral("timeGetTime　: 20"));
}

TEST_F(Recording, RecordModesAndCommand4) {
    m().chooseFineMode();
    EXPECT_TRUE(s().isFineMode);
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（精密）"));
    m().chooseNormalMode();
    EXPECT_FALSE(s().isFineMode);
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（標準）"));
    window->menuItem("fineModeAction")->trigger();
    EXPECT_TRUE(s().isFineMode);

    record(10.0);
    clock.dateTime = {2027, 1, 2, 3, 4, 5};
    c().stampTimeButton->click();
    EXPECT_EQ(s().measuredAt, "2027/01/02 3:04:05");
    EXPECT_EQ(c().stampTimeButton->text(), QStringLiteral("2027/01/02 3:04:05"));
}

TEST_F(Recording, AStandardRunContinuesTheSweepWhereItWas) {
    remote->alwaysReport = true;
    remote->repeatedReport = accReport(131, 131, 131);
    for (int i = 0; i < 100; ++i) tick();
    c().calibrateButton->click();
    tick();
    EXPECT_EQ(s().sweep.liveX(), 101);
}

}  // namespace
}  // namespace kinemo
