// The data viewer: opening it, the window and time axis for each scroll position
// at the periods whose rounding matters, unusable periods, and the recording run
// that opening the viewer interrupts.
#include "tests/display/ViewerFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <limits>

namespace kinemo::test {
namespace {

class ViewerWindowTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        c().Check1[1]->setCheckState(Qt::Unchecked);
        c().Check1[2]->setCheckState(Qt::Unchecked);
    }
    // X marks the window's first sample at y = 30 and, if it exists, the sample
    // before it at y = 250, which no correct window ever reaches.
    void markStart(int first) {
        s().samples[first][0] = 30;
        if (first > 0) s().samples[first - 1][0] = 250;
    }
    void expectAxis(std::vector<int> wholeSeconds, QStringList numbers) {
        EXPECT_EQ(lineXs(c().Line11), wholeSeconds);
        std::vector<int> halves;
        for (int x : wholeSeconds) halves.push_back(x + 50);
        EXPECT_EQ(lineXs(c().Line10), halves);
        EXPECT_EQ(labelLefts(), wholeSeconds);
        EXPECT_EQ(labelTexts(), numbers);
    }
    void expectStartDrawn() {
        EXPECT_EQ(traces().pixel(0, 30), kBlue);
        EXPECT_EQ(litPixels(QRect(0, 240, 501, 61)), 0);
    }
};

const QStringList kFirstSeconds{"0", "1", "2", "3", "4", "5"};

TEST_F(ViewerWindowTest, WindowAndTimeAxisForEachPeriodAndPosition) {
    const struct {
        float period;
        int maximum;
        int viewStart;
        int phase;
        int firstSecond;
    } cases[] = {
        {1.0f, 1500, 1499, 99, 14},  // the thumb's left end
        {1.05f, 1428, 1427, 98, 14},  // 1498.35
        {1.05f, 1428, 700, 35, 7},    // just under 735
        {1.05f, 1428, 95, 0, 1},      // 99.75: the line at x = 0 stands for second 1
        {1.05f, 1428, 94, 99, 0},     // 98.7
        {0.8f, 1874, 1873, 98, 14},   // 1500 / 0.800000011920929 is just under 1875
        {1.2f, 1249, 1248, 98, 14},   // 751 segments reaching x = 901.2
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.period << " at " << k.viewStart);
        s().samples.fill({131, 131, 131});
        markStart(k.viewStart);
        s().samplePeriod = k.period;
        viewer().DataRec_Click();
        EXPECT_EQ(bar()->maximum(), k.maximum);
        EXPECT_EQ(bar()->value(), k.maximum);
        expectAxis({0, 100, 200, 300, 400, 500}, kFirstSeconds);

        scrollTo(k.viewStart);
        EXPECT_EQ(s().viewStart, k.viewStart);
        EXPECT_EQ(s().gridPhase, k.phase);
        std::vector<int> wholeSeconds;
        QStringList numbers;
        for (int i = 0; i < 6; ++i) {
            wholeSeconds.push_back(100 * i - k.phase);
            numbers << QString::number(k.firstSecond + i);
        }
        expectAxis(wholeSeconds, numbers);
        expectStartDrawn();
    }
}

TEST_F(ViewerWindowTest, WindowEndsFiveSecondsOfXAfterItsStart) {
    // Period 1: the last window's last segment, 1999 -> 2000, runs from x = 500 to 501.
    s().samplePeriod = 1.0f;
    s().samples[2000][0] = 20;
    viewer().DataRec_Click();
    bar()->setValue(1);
    EXPECT_GT(litPixels(QRect(500, 80, 1, 50)), 0);

    // Period 0.8: the last window ends with sample 1999 at x = 100.8, short of the edge.
    s().samplePeriod = 0.8f;
    s().samples[1999][0] = 20;
    s().samples[2000][0] = 250;
    viewer().DataRec_Click();
    bar()->setValue(1);
    EXPECT_GT(litPixels(QRect(99, 18, 3, 8)), 0);
    EXPECT_EQ(litPixels(QRect(103, 0, 398, 301)), 0);

    // Period 1.2: 751 segments, clipped at the edge.
    s().samplePeriod = 1.2f;
    viewer().DataRec_Click();
    bar()->setValue(1);
    EXPECT_EQ(traces().pixel(500, 131), kBlue);
}

TEST_F(ViewerWindowTest, ReopeningTheShownRunAtItsStartMovesNothingAndRedraws) {
    viewer().DataRec_Click();
    int runs = 0;
    QObject::connect(bar(), &QScrollBar::valueChanged, [&] { ++runs; });
    s().samples.fill({40, 40, 40});

    viewer().DataRec_Click();
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(traces().pixel(250, 40), kBlue);
    expectAxis({0, 100, 200, 300, 400, 500}, kFirstSeconds);
}

TEST_F(ViewerWindowTest, ChangesOfMaxOrValueRunTheHandlerNestedInsideOpenViewer) {
    struct Seen {
        bool timerRunning;
        int value;
        int maximum;
        int viewStart;
    };
    std::vector<Seen> seen;
    QObject::connect(bar(), &QScrollBar::valueChanged, [&] {
        seen.push_back({c().tmrContinuousDataCollect->isActive(), bar()->value(), bar()->maximum(), s().viewStart});
    });

    // From the thumb's left end back to the start: setting Value moves it.
    viewer().DataRec_Click();
    scrollTo(1427);
    seen.clear();
    c().tmrContinuousDataCollect->start();
    viewer().DataRec_Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].timerRunning) << "runs before OpenViewer stops the monitor";
    EXPECT_EQ(seen[0].value, 1428);
    EXPECT_EQ(seen[0].viewStart, 0);

    // A smaller Max pulls the thumb with it; setting Value then changes nothing.
    seen.clear();
    s().loadedSamplePeriod = 1.2f;
    c().tmrContinuousDataCollect->start();
    viewer().ReadDate_Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].timerRunning);
    EXPECT_EQ(seen[0].maximum, 1249);
    EXPECT_EQ(seen[0].value, 1249);

    // A larger Max leaves the thumb, setting Value moves it.
    seen.clear();
    viewer().DataRec_Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].maximum, 1428);
    EXPECT_EQ(seen[0].value, 1428);
}

TEST_F(ViewerTest, MenuItemsAndCommand2ReachTheViewer) {
    window->menuItem("ReadDate")->trigger();
    EXPECT_FALSE(s().showRecorded);
    EXPECT_TRUE(bar()->isVisible());
    window->menuItem("DataRec")->trigger();
    EXPECT_TRUE(s().showRecorded);
    window->menuItem("BackWhite")->trigger();
    EXPECT_EQ(c().Picture1->BackColor(), QColor(Qt::white));
    window->menuItem("BackBlack")->trigger();
    EXPECT_EQ(c().Picture1->BackColor(), QColor(Qt::black));
    EXPECT_EQ(litPixels(), 0);
    c().Command2->click();
    EXPECT_EQ(traces().pixel(250, 131), kGreen);
    bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(s().viewStart, 1);
}

TEST_F(ViewerTest, LoadedRunBeforeAnyLoadShowsTheFillValue) {
    s().measuredAt = "recorded";
    c().tmrContinuousDataCollect->start();
    viewer().ReadDate_Click();

    EXPECT_FALSE(s().showRecorded);
    EXPECT_EQ(bar()->maximum(), 1428);
    EXPECT_EQ(bar()->value(), 1428);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_FALSE(c().Picture4->isVisible());
    EXPECT_FALSE(c().tmrContinuousDataCollect->isActive());
    EXPECT_EQ(c().cmdContinuous->text(), QStringLiteral("モニター開始"));
    EXPECT_EQ(c().Text2->text(), QString());
    EXPECT_EQ(c().Label15->text(), QStringLiteral("95.2 HZ"));
    EXPECT_EQ(litPixels(), traces().width());
    EXPECT_EQ(traces().pixel(250, 131), kGreen);

    // Scrolling stays on the loaded store.
    s().samples.fill({70, 70, 70});
    scrollTo(100);
    EXPECT_EQ(traces().pixel(250, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 70, 501, 1)), 0);
}

// Periods a run could in principle measure but the scroll range cannot hold.
TEST_F(ViewerTest, UnusablePeriodsGiveAScrollRangeWithinTheStore) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float period;
        int maximum;
    } cases[] = {
        {0.0f, 1}, {-1.05f, 1}, {nan, 1}, {inf, 1}, {1600.0f, 1}, {std::numeric_limits<float>::max(), 1},
        {1e-7f, 32767}, {1500.0f / 32768, 32767}, {0.046f, 32608},
    };
    for (const auto& [period, maximum] : cases) {
        SCOPED_TRACE(period);
        s().loadedSamplePeriod = period;
        viewer().ReadDate_Click();
        EXPECT_EQ(bar()->maximum(), maximum);
        EXPECT_EQ(bar()->value(), maximum);
        for (int value : {1, maximum / 2 + 1, maximum}) {
            bar()->setValue(value);
            EXPECT_EQ(s().viewStart, maximum - value);
            EXPECT_GE(s().gridPhase, 0);
            EXPECT_LT(s().gridPhase, 100);
        }
    }
}

// A load that fails after reading the period changes it under an open viewer.
TEST_F(ViewerTest, PeriodChangedUnderTheOpenViewerStillScrollsSafely) {
    viewer().ReadDate_Click();
    scrollTo(1427);
    for (float period : {1500.0f, std::numeric_limits<float>::quiet_NaN(), -3.0f, 0.0f}) {
        SCOPED_TRACE(period);
        s().loadedSamplePeriod = period;
        bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(s().viewStart, 1427);
        EXPECT_GE(s().gridPhase, 0);
        EXPECT_LT(s().gridPhase, 100);
    }
}

TEST_F(ViewerTest, OpeningTheViewerGivesUpARunningRecording) {
    for (bool recorded : {true, false}) {
        SCOPED_TRACE(recorded);
        c().Command1->click();
        for (int i = 0; i < 5; ++i) window->measurement().tmrContinuousDataCollect_Timer();
        ASSERT_EQ(s().sampleIndex, 5);
        ASSERT_FALSE(c().Command1->isEnabled());

        viewer().OpenViewer(recorded);
        EXPECT_FALSE(s().isRecording);
        EXPECT_EQ(s().sampleIndex, 0);
        EXPECT_TRUE(c().Command1->isEnabled());
        EXPECT_TRUE(c().cmdContinuous->isEnabled());
        EXPECT_FALSE(c().tmrContinuousDataCollect->isActive());
        EXPECT_EQ(c().cmdContinuous->text(), QStringLiteral("モニター開始"));
    }

    // Neither button is a dead end: the monitor restarts, and a new run completes.
    c().cmdContinuous->click();
    EXPECT_TRUE(c().tmrContinuousDataCollect->isActive());
    c().Command1->click();
    ASSERT_TRUE(s().isRecording);
    for (int i = 0; i < kRunLength; ++i) window->measurement().tmrContinuousDataCollect_Timer();
    EXPECT_FALSE(s().isRecording);
    EXPECT_EQ(c().Label17->text(), QStringLiteral("測定・記録が終了しました。"));
    EXPECT_TRUE(c().Command1->isEnabled());
}

}  // namespace
}  // namespace kinemo::test
