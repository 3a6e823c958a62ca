// The plot surface and the data viewer with its scroll bar on the real main window.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo::test {
namespace {

const QRgb kGreen = qRgb(0, 255, 0), kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

class ViewerTest : public MainWindowFixture {
protected:
    Viewer& viewer() { return window->viewer(); }
    QScrollBar* bar() { return c().viewerScrollBar; }
    void scrollTo(int viewStart) { bar()->setValue(bar()->maximum() - viewStart); }
    int viewStart() { return bar()->maximum() - bar()->value(); }
    const QImage& traces() { return c().plot->image(); }
    int lit(QRect area = QRect(0, 0, 501, 301)) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) count += traces().pixel(x, y) != kBlack;
        return count;
    }
    // What the time axis shows: the first number and the first whole-second line.
    std::pair<QString, int> axis() { return {c().secondLabels[0]->text(), c().secondLines[1]->x1()}; }
};

TEST_F(ViewerTest, TheScrollBarMovesTheWindowAndTheTimeAxis) {
    for (int i = 0; i < kStoreSize; ++i) s().recorded.samples[i].fill(static_cast<std::uint8_t>(i % 200));
    window->actions().showRecordedRun->trigger();  // period 1.05
    EXPECT_TRUE(bar()->isVisible() && bar()->maximum() == 1428);
    EXPECT_EQ(std::pair(traces().pixel(0, 0), traces().pixel(105, 100)), std::pair(kGreen, kGreen));

    scrollTo(95);  // starts at x = 99.75: the line at x = 0 stands for second 1
    EXPECT_EQ(std::tuple(viewStart(), traces().pixel(0, 95), traces().pixel(0, 0)),
              std::tuple(95, kGreen, kBlack));
    EXPECT_EQ(axis(), std::pair(QStringLiteral("1"), 100));
    scrollTo(1427);  // the left end: 1498.35, the window's last segment starts at 1998
    EXPECT_EQ(axis(), std::pair(QStringLiteral("14"), 2));
    EXPECT_EQ(traces().pixel(0, 27), kGreen);

    // A dragged thumb redraws once, when it is let go.
    bar()->setSliderDown(true);
    bar()->setSliderPosition(1000);
    EXPECT_EQ(axis(), std::pair(QStringLiteral("14"), 2));
    bar()->setSliderDown(false);
    EXPECT_EQ(viewStart(), 428);

    s().loaded.samples.fill({40, 40, 40});  // the loaded run opens at its start
    window->actions().showLoadedRun->trigger();
    EXPECT_EQ(axis(), std::pair(QStringLiteral("0"), 100));
    EXPECT_EQ(std::tuple(viewStart(), lit(), traces().pixel(250, 40)), std::tuple(0, 501, kGreen));
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(ViewerTest, AWindowNeverReadsOutsideTheStore) {
    auto run = std::make_unique<kinemo::Run>();
    run->samplePeriod = 1.0f;
    run->samples[2001] = {250, 250, 250};
    c().plot->clear();
    viewer().drawWindow(*run, 1990, 4000);
    EXPECT_EQ(traces().pixel(11, 250), kGreen) << "2000 -> 2001 is the last segment";
    EXPECT_EQ(lit(QRect(13, 0, 488, 301)), 0);
    c().plot->clear();
    viewer().drawWindow(*run, 2001, 2600);
    viewer().drawWindow(*run, -10, 5);
    EXPECT_EQ(lit(), 7) << "segments 0..5 from x = 10 to 16";
}

TEST_F(ViewerTest, OpeningTheViewerGivesUpARunningRecording) {
    c().calibrateButton->click();
    for (int i = 0; i < 5; ++i) tick();
    viewer().openViewer(StoredRun::Recorded);
    EXPECT_FALSE(s().recording.isRecording() || c().sampleTimer->isActive());
    EXPECT_TRUE(c().calibrateButton->isEnabled() && c().monitorButton->isEnabled());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
}

TEST_F(ViewerTest, TheLogSaysARunWasGivenUpForTheViewer) {
    c().calibrateButton->click();
    window->actions().showRecordedRun->trigger();
    EXPECT_EQ(log.events.back(), "記録を中止しました（記録中にデータの表示を開いたため）");
}

TEST_F(ViewerTest, ABackgroundCommandErasesTheTracesAndTurnsTheZeroLine) {
    viewer().openViewer(StoredRun::Recorded);
    const auto zeroLine = [this] { return c().plot->canvas()->grab().toImage().pixel(250, 131); };
    window->actions().whiteBackground->trigger();
    EXPECT_EQ(std::pair(traces().pixel(250, 131), zeroLine()), std::pair(kWhite, kBlack));
    window->actions().blackBackground->trigger();
    EXPECT_EQ(std::pair(lit(), zeroLine()), std::pair(0, kWhite));
}

// Segments show on screen without anything else to repaint the surface, and a
// burst of them is repainted once, only around where it was drawn.
TEST_F(ViewerTest, SegmentsAreRepaintedWhereTheyWereDrawn) {
    struct PaintLog : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
            return false;
        }
        std::vector<QRect> painted;
    } log;
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    c().plot->canvas()->installEventFilter(&log);
    for (int k = 0; k < 3; ++k) c().plot->drawSegment(QPointF(110 + k, 20), QPointF(140 + k, 200), Qt::green);
    for (int i = 0; i < 20 && log.painted.empty(); ++i) QApplication::processEvents();
    ASSERT_EQ(log.painted.size(), 1u);
    EXPECT_TRUE(log.painted[0].contains(QRect(110, 20, 33, 181)));
    EXPECT_LT(log.painted[0].width(), 50) << "not the whole surface";
}

}  // namespace
}  // namespace kinemo::test
