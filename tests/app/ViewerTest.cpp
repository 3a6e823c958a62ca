// The data viewer and its scroll bar on the real main window.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo {
namespace {

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// The recorded run climbs by one a sample from 0 to 199 and again, at the start's period 1.05.
class Viewer : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        for (int i = 0; i < kStoreSize; ++i) s().recorded.samples[i].fill(static_cast<std::uint8_t>(i % 200));
    }
    QScrollBar* bar() { return c().viewerScrollBar; }
    void scrollTo(int viewStart) { bar()->setValue(bar()->maximum() - viewStart); }
    QRgb trace(int x, int y) { return c().plot->image().pixel(x, y); }
    int lit(QRect area = QRect(0, 0, 501, 301)) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) count += trace(x, y) != kBlack;
        return count;
    }
    QString firstSecondNumber() { return c().secondLabels[0]->text(); }
    int firstSecondLineX() { return c().secondLines[1]->x1(); }
};

TEST_F(Viewer, OpeningTheViewerDrawsTheRunsFirstFiveSeconds) {
    window->actions().showRecordedRun->trigger();
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(trace(0, 0), kGreen);
    EXPECT_EQ(trace(105, 100), kGreen);
}

TEST_F(Viewer, TheScrollBarMovesTheTracesAlongTheRun) {
    window->actions().showRecordedRun->trigger();
    scrollTo(95);
    EXPECT_EQ(trace(0, 95), kGreen);
    EXPECT_EQ(trace(0, 0), kBlack);
}

// The left end shows from sample 1427 (1498.35 pixels): its lines stand 98 pixels to the left.
TEST_F(Viewer, TheScrollBarMovesTheTimeAxisAlong) {
    window->actions().showRecordedRun->trigger();
    scrollTo(1427);
    EXPECT_EQ(firstSecondNumber(), QStringLiteral("14"));
    EXPECT_EQ(firstSecondLineX(), 2);
}

TEST_F(Viewer, ADraggedThumbRedrawsOnlyWhenLetGo) {
    window->actions().showRecordedRun->trigger();
    bar()->setSliderDown(true);
    bar()->setSliderPosition(1000);
    EXPECT_EQ(firstSecondNumber(), QStringLiteral("0"));
    bar()->setSliderDown(false);
    EXPECT_EQ(firstSecondNumber(), QStringLiteral("4"));
}

TEST_F(Viewer, TheLoadedRunOpensAtItsStartInPlaceOfTheRecordedOne) {
    window->actions().showRecordedRun->trigger();
    scrollTo(1427);
    s().loaded.samples.fill({40, 40, 40});
    window->actions().showLoadedRun->trigger();
    EXPECT_EQ(firstSecondNumber(), QStringLiteral("0"));
    EXPECT_EQ(lit(), 501) << "one flat line across the surface";
    EXPECT_EQ(trace(250, 40), kGreen);
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(Viewer, AWindowPastTheStoresEndStopsAtItsLastEntry) {
    auto run = std::make_unique<kinemo::Run>();
    run->samplePeriod = 1.0f;
    run->samples[2001] = {250, 250, 250};
    window->viewer().drawWindow(*run, 1990, 4000);
    EXPECT_EQ(trace(11, 250), kGreen) << "2000 -> 2001 is the last segment";
    EXPECT_EQ(lit(QRect(13, 0, 488, 301)), 0);
}

TEST_F(Viewer, AWindowBeforeTheStoresStartBeginsAtItsFirstEntry) {
    auto run = std::make_unique<kinemo::Run>();
    run->samplePeriod = 1.0f;
    window->viewer().drawWindow(*run, -10, 5);
    EXPECT_EQ(lit(), 7) << "segments 0..5 from x = 10 to 16";
}

TEST_F(Viewer, OpeningTheViewerGivesUpARunningRecording) {
    c().calibrateButton->click();
    tick();
    window->actions().showRecordedRun->trigger();
    EXPECT_FALSE(s().recording.isRecording());
    EXPECT_TRUE(c().calibrateButton->isEnabled());
    EXPECT_TRUE(c().monitorButton->isEnabled());
    EXPECT_EQ(log.events.back(), "記録を中止しました（記録中にデータの表示を開いたため）");
}

TEST_F(Viewer, OpeningTheViewerStopsTheMonitor) {
    window->actions().showRecordedRun->trigger();
    EXPECT_FALSE(c().sampleTimer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
}

TEST_F(Viewer, ABackgroundCommandErasesTheTracesAndTurnsTheZeroLine) {
    const struct { QAction* command; QRgb background, zeroLine; } cases[] = {
        {window->actions().whiteBackground, kWhite, kBlack},
        {window->actions().blackBackground, kBlack, kWhite},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.command->text().toStdString());
        window->actions().showRecordedRun->trigger();
        k.command->trigger();
        EXPECT_EQ(trace(105, 100), k.background) << "the trace through sample 100";
        EXPECT_EQ(c().plot->canvas()->grab().toImage().pixel(250, 131), k.zeroLine);
    }
}

}  // namespace
}  // namespace kinemo
