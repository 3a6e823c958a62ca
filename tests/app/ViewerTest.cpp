// The data viewer and its scroll bar on the real main window.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0);

// The viewer open on a recorded run that climbs by one a sample from 0 to 199 and again, at period 1.05.
class Viewer : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        for (int i = 0; i < kStoreSize; ++i) s().recorded.samples[i].fill(static_cast<std::uint8_t>(i % 200));
        s().recorded.measuredAt = "recorded";
        window->actions().showRecordedRun->trigger();
    }
    // A run from a file, flat at 40, dated and timed apart from the recorded one.
    void showLoadedRun() {
        s().loaded.samples.fill({40, 40, 40});
        s().loaded.samplePeriod = 0.8f;
        s().loaded.measuredAt = "loaded";
        window->actions().showLoadedRun->trigger();
    }
    void scrollTo(int viewStart) { c().viewerScrollBar->setValue(c().viewerScrollBar->maximum() - viewStart); }
    QRgb trace(int x, int y) { return c().plot->image().pixel(x, y); }
};

TEST_F(Viewer, OpeningTheViewerStopsTheMonitor) {
    EXPECT_FALSE(c().sampleTimer->isActive());
}

// The monitor button, pressed in the viewer, has started the monitor again.
TEST_F(Viewer, OpeningTheViewerAgainSaysTheMonitorHasStopped) {
    c().monitorButton->click();
    window->actions().showRecordedRun->trigger();
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
}

// Sample 1427 (x = 1498.35, y = 27) is drawn at x = 0; the second lines stand 98 pixels left of the hundreds.
TEST_F(Viewer, TheScrollBarsLeftEndShowsTheLastWindowAndItsSeconds) {
    scrollTo(1427);
    EXPECT_EQ(trace(0, 27), kGreen);
    EXPECT_EQ(trace(0, 0), kBlack);
    EXPECT_EQ(c().secondLabels[0]->text(), QStringLiteral("14"));
    EXPECT_EQ(c().secondLines[1]->x1(), 2);
}

TEST_F(Viewer, TheLoadedRunOpensAtItsStartInPlaceOfTheRecordedOneAndScrollsAlongItself) {
    scrollTo(1427);
    showLoadedRun();
    EXPECT_EQ(c().secondLabels[0]->text(), QStringLiteral("0"));
    EXPECT_EQ(trace(250, 40), kGreen);
    EXPECT_EQ(trace(0, 27), kBlack) << "the recorded run's trace is gone";
    scrollTo(1000);
    EXPECT_EQ(trace(0, 40), kGreen) << "scrolled along the loaded run";
}

TEST_F(Viewer, TheLoadedRunShowsItsOwnDateAndRate) {
    showLoadedRun();
    EXPECT_EQ(c().measuredAtField->text(), QStringLiteral("loaded"));
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("124.9 HZ"));
}

// 0.8 of a pixel a sample: fifteen seconds are 1874 samples.
TEST_F(Viewer, TheLoadedRunsScrollBarSpansItsOwnFifteenSeconds) {
    showLoadedRun();
    EXPECT_EQ(c().viewerScrollBar->maximum(), 1874);
}

TEST_F(Viewer, TheRecordedRunComesBackFromItsMenuItemAfterALoad) {
    showLoadedRun();
    window->actions().showRecordedRun->trigger();
    EXPECT_EQ(trace(105, 100), kGreen);
    EXPECT_EQ(c().measuredAtField->text(), QStringLiteral("recorded"));
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(Viewer, AWindowPastTheStoresEndStopsAtItsLastEntry) {
    auto run = std::make_unique<kinemo::Run>();
    run->samplePeriod = 1.0f;
    run->samples[2001] = {250, 250, 250};
    window->viewer().drawWindow(*run, 1990, 4000);
    EXPECT_EQ(trace(11, 250), kGreen) << "2000 -> 2001 is the last segment";
}

TEST_F(Viewer, OpeningTheViewerGivesUpARunningRecording) {
    c().calibrateButton->click();
    window->actions().showRecordedRun->trigger();
    EXPECT_FALSE(s().recording.isRecording());
    EXPECT_TRUE(c().calibrateButton->isEnabled());
    EXPECT_TRUE(c().monitorButton->isEnabled());
    EXPECT_EQ(log.events.back(), "記録を中止しました（記録中にデータの表示を開いたため）");
}

TEST_F(Viewer, ABackgroundCommandErasesTheTracesAndTurnsTheZeroLine) {
    const struct { QAction* command; QRgb background, zeroLine; } cases[] = {
        {window->actions().whiteBackground, qRgb(255, 255, 255), kBlack},
        {window->actions().blackBackground, kBlack, qRgb(255, 255, 255)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.command->text().toStdString());
        window->actions().showRecordedRun->trigger();
        k.command->trigger();
        EXPECT_EQ(trace(105, 100), k.background) << "where sample 100 was drawn";
        EXPECT_EQ(c().plot->canvas()->grab().toImage().pixel(250, 131), k.zeroLine);
    }
}

}  // namespace
}  // namespace kinemo
