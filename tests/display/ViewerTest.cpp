// Drawing a stored run and the data viewer, with viewerScrollBar, on the real main window.
#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTimer>

#include <array>
#include <limits>

namespace kinemo::test {
namespace {

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255), kGrey = qRgb(128, 128, 128);

class ViewerTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        c().sampleTimer->stop();  // ticks only where a test asks
    }
    Viewer& viewer() { return window->viewer(); }
    QScrollBar* bar() { return c().viewerScrollBar; }
    void scrollTo(int viewStart) { bar()->setValue(bar()->maximum() - viewStart); }
    const QImage& traces() { return c().plot->image(); }
    // What the user sees: the traces beneath the grid and labels.
    QImage screen() { return c().plot->canvas()->grab().toImage(); }
    // Pixels of the traces that are not background.
    int litPixels(QRect area = QRect(0, 0, 501, 301)) {
        const QRgb back = c().plot->backColor().rgb();
        area &= traces().rect();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) count += traces().pixel(x, y) != back;
        return count;
    }

    // X: the window's first sample at y = 30, the end of its last segment at y = 20,
    // the samples just outside it at y = 250, where no correct window reaches.
    void markWindow(int first, int last) {
        s().samples.fill({131, 131, 131});
        s().samples[first][0] = 30;
        if (first > 0) s().samples[first - 1][0] = 250;
        s().samples[last + 1][0] = 20;
        if (last + 2 < kStoreSize) s().samples[last + 2][0] = 250;
    }
    void expectWindow(int first, int last, float period) {
        EXPECT_EQ(traces().pixel(0, 30), kBlue);
        EXPECT_EQ(litPixels(QRect(0, 240, 501, 61)), 0);
        const double end = (last + 1 - first) * static_cast<double>(period);
        if (end > 500) {
            EXPECT_GT(litPixels(QRect(500, 0, 1, 301)), 0) << "clipped at the edge";
        } else {
            EXPECT_GT(litPixels(QRect(static_cast<int>(end) - 1, 18, 3, 8)), 0) << "ends at x = " << end;
            EXPECT_EQ(litPixels(QRect(static_cast<int>(end) + 2, 0, 501, 301)), 0);
        }
    }
    void expectAxis(int phase, int firstSecond) {
        for (int i = 0; i < 6; ++i) {
            const int x = 100 * i - phase;
            const LineShape *whole = c().secondLines[i], *half = c().halfSecondLines[i];
            EXPECT_EQ((std::vector{whole->x1(), whole->x2(), half->x1(), half->x2(), c().secondLabels[i]->x()}),
                      (std::vector{x, x, x + 50, x + 50, x}));
            EXPECT_EQ(c().secondLabels[i]->text(), QString::number(firstSecond + i));
        }
    }

    // Mouse events on the real scroll bar.
    QPoint centreOf(QStyle::SubControl control) {
        struct Access : QScrollBar {
            using QScrollBar::initStyleOption;
        };
        void (QScrollBar::*init)(QStyleOptionSlider*) const = &Access::initStyleOption;
        QStyleOptionSlider option;
        (bar()->*init)(&option);
        return bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar()).center();
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent event(type, QPointF(at), bar()->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar(), &event);
    }
};

TEST_F(ViewerTest, TickedAxesInTheirColoursZLastBeneathTheZeroLineClippedAtTheEdge) {
    s().samples[0] = {20, 60, 200};
    viewer().showRecordedRun();
    EXPECT_EQ(traces().pixel(0, 20), kBlue);
    EXPECT_EQ(traces().pixel(0, 60), kRed);
    EXPECT_EQ(traces().pixel(0, 200), kGreen);
    // From x = 2 all three run flat at 131, Z on top, to the edge (x = 526 at 1.05).
    EXPECT_EQ(litPixels(QRect(2, 0, 499, 301)), 499);
    EXPECT_EQ(traces().pixel(500, 131), kGreen);
    EXPECT_EQ(screen().pixel(250, 131), kWhite) << "the zero line lies above the traces";

    // A cleared or greyed box leaves its axis out.
    c().axisCheckBoxes[2]->setCheckState(Qt::Unchecked);
    viewer().showRecordedRun();
    EXPECT_EQ(traces().pixel(100, 131), kRed);
    c().axisCheckBoxes[1]->setTristate(true);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(traces().pixel(100, 131), kRed) << "a changed box redraws nothing by itself";
    viewer().showRecordedRun();
    EXPECT_EQ(traces().pixel(100, 131), kBlue);
    c().axisCheckBoxes[0]->setCheckState(Qt::Unchecked);
    viewer().showRecordedRun();
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(ViewerTest, BackgroundCommandsSwapSurfaceAndZeroLineColoursOnly) {
    viewer().showRecordedRun();
    window->menuItem("whiteBackgroundAction")->trigger();
    EXPECT_EQ(litPixels(), 0) << "the traces are erased";
    EXPECT_EQ(traces().pixel(0, 0), kWhite);
    EXPECT_EQ(screen().pixel(250, 131), kBlack);
    EXPECT_EQ(screen().pixel(250, 77), kGrey) << "a solid grid line";
    EXPECT_EQ(screen().pixel(100, 10), kGrey) << "a whole-second line";
    for (LineShape* line : {c().levelLines[5], c().levelLines[2], c().traceAreaEdge, c().secondLines[2], c().halfSecondLines[2]})
        EXPECT_EQ(line->borderColor(), QColor(kGrey));

    window->menuItem("blackBackgroundAction")->trigger();
    EXPECT_EQ(traces().pixel(0, 0), kBlack);
    EXPECT_EQ(screen().pixel(250, 131), kWhite);
    EXPECT_EQ(screen().pixel(250, 77), kGrey);
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(ViewerTest, TraceWindowNeverReadsOutsideTheStore) {
    auto store = std::make_unique<SampleStore>();
    store->fill({131, 131, 131});
    (*store)[2001] = {250, 250, 250};
    c().plot->clear();
    viewer().drawWindow(*store, 1.0f, 1990, 4000);
    EXPECT_EQ(traces().pixel(11, 250), kGreen) << "2000 -> 2001 is the last segment";
    EXPECT_EQ(litPixels(QRect(13, 0, 488, 301)), 0);

    c().plot->clear();
    viewer().drawWindow(*store, 1.0f, 2001, 2600);
    viewer().drawWindow(*store, 1.0f, 100, 99);
    EXPECT_EQ(litPixels(), 0);
    // A start before the store keeps the segments' places and leaves out the rest.
    viewer().drawWindow(*store, 1.0f, -10, 20);
    EXPECT_EQ(litPixels(QRect(0, 0, 10, 301)), 0);
    EXPECT_EQ(traces().pixel(20, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(32, 0, 400, 301)), 0);
}

// Each burst of segments, like the live trace's three a tick, is repainted once and
// only around where it was drawn.
TEST_F(ViewerTest, EachBurstOfSegmentsIsRepaintedWhereItWasDrawn) {
    struct PaintLog : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
            return false;
        }
        std::vector<QRect> painted;
    } log;
    const auto drainEvents = [] {  // lets every posted repaint happen
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 100) QApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    drainEvents();
    c().plot->canvas()->installEventFilter(&log);
    for (int x : {10, 110}) {
        for (int k = 0; k < 3; ++k) c().plot->drawSegment(QPointF(x + k, 20), QPointF(x + 30 + k, 200), Qt::green);
        c().plot->drawSegment(QPointF(600, 20), QPointF(700, 40), Qt::white);  // beyond the edge
        drainEvents();
        ASSERT_EQ(log.painted.size(), x == 10 ? 1u : 2u);
        EXPECT_TRUE(log.painted.back().contains(QRect(x, 20, 33, 181)));
        EXPECT_LT(log.painted.back().width(), 50) << "not the whole surface";
    }
}

TEST_F(ViewerTest, WindowAndTimeAxisForEachPeriodAndPosition) {
    const struct { float period; int maximum, viewStart, last, phase, firstSecond; } cases[] = {
        {1.0f, 1500, 1499, 1999, 99, 14},  // the thumb's left end, Value 1
        {1.05f, 1428, 1427, 1998, 98, 14},  // starts at x = 1498.35
        {1.05f, 1428, 700, 1235, 35, 7},    // just under 735
        {1.05f, 1428, 95, 600, 0, 1},       // 99.75: the line at x = 0 stands for second 1
        {1.05f, 1428, 94, 599, 99, 0},      // 98.7
        {0.8f, 1874, 1873, 1998, 98, 14},   // 1500 / 0.800000011920929 is just under 1875
        {1.2f, 1249, 1248, 1998, 98, 14},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.period << " at " << k.viewStart);
        s().samplePeriod = k.period;
        markWindow(0, 500);
        window->menuItem("showRecordedRunAction")->trigger();
        EXPECT_EQ(bar()->maximum(), k.maximum);
        EXPECT_EQ(bar()->value(), k.maximum);
        expectWindow(0, 500, k.period);  // samples 0..501 whatever the period
        expectAxis(0, 0);

        markWindow(k.viewStart, k.last);
        scrollTo(k.viewStart);
        EXPECT_EQ(s().viewStart, k.viewStart);
        EXPECT_EQ(s().gridPhase, k.phase);
        expectWindow(k.viewStart, k.last, k.period);
        expectAxis(k.phase, k.firstSecond);
    }
}

TEST_F(ViewerTest, OpenViewerRunsTheHandlerNestedOnlyWhenItMovesTheThumb) {
    using Seen = std::vector<std::array<int, 4>>;  // monitor running, Max, Value, viewStart
    Seen seen;
    QObject::connect(bar(), &QScrollBar::valueChanged, [&] {
        seen.push_back({c().sampleTimer->isActive(), bar()->maximum(), bar()->value(), s().viewStart});
    });
    const auto open = [&](bool recorded) {
        seen.clear();
        c().sampleTimer->start();
        viewer().openViewer(recorded);
        return seen;
    };
    viewer().showRecordedRun();
    scrollTo(1427);
    // From the left end setting Value moves the thumb, before the monitor is stopped.
    EXPECT_EQ(open(true), (Seen{{1, 1428, 1428, 0}}));
    s().loadedSamplePeriod = 1.2f;  // a smaller Max pulls the thumb along, then Value moves nothing
    EXPECT_EQ(open(false), (Seen{{1, 1249, 1249, 0}}));
    EXPECT_EQ(open(true), (Seen{{1, 1428, 1428, 0}}));  // a larger Max leaves it, Value moves it

    s().samples.fill({40, 40, 40});
    viewer().placeTimeAxis(35, 7);
    EXPECT_EQ(open(true), Seen{});  // the shown run at its start: nothing moves, all is redrawn
    EXPECT_EQ(traces().pixel(250, 40), kGreen);
    expectAxis(0, 0);
}

TEST_F(ViewerTest, LoadedRunBeforeAnyLoadIsFlatAt131WithNoDate) {
    s().measuredAt = "recorded";
    s().samples.fill({70, 70, 70});
    window->menuItem("showLoadedRunAction")->trigger();
    EXPECT_FALSE(s().showRecorded);
    EXPECT_EQ(bar()->maximum(), 1428);  // period 1.05
    EXPECT_EQ(c().measuredAtField->text(), QString());
    EXPECT_EQ(litPixels(), 501);
    EXPECT_EQ(traces().pixel(250, 131), kGreen);
    scrollTo(100);  // scrolling stays on the loaded store
    EXPECT_EQ(litPixels(), 501);
    EXPECT_EQ(traces().pixel(250, 131), kGreen);
    c().showRecordedButton->click();  // showRecordedButton draws the recorded run's first screen, nothing else
    EXPECT_EQ(traces().pixel(250, 70), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 131, 501, 1)), 0);
    EXPECT_FALSE(s().showRecorded);
    EXPECT_EQ(s().viewStart, 100);
}

TEST_F(ViewerTest, UnusablePeriodsKeepScrollRangeAndWindowWithinTheStore) {
    using limits = std::numeric_limits<float>;
    const struct { float period; int maximum; } cases[] = {
        {0.0f, 1}, {-1.05f, 1}, {limits::quiet_NaN(), 1}, {limits::infinity(), 1}, {1600.0f, 1},
        {limits::max(), 1}, {1e-7f, 32767}, {1500.0f / 32768, 32767}, {0.046f, 32608},
    };
    for (const auto& [period, maximum] : cases) {
        SCOPED_TRACE(period);
        const auto expectPhase = [&] { EXPECT_TRUE(s().gridPhase >= 0 && s().gridPhase < 100) << s().gridPhase; };
        // Changed under the open viewer, as a load that fails after reading it leaves it.
        s().loadedSamplePeriod = 1.05f;
        viewer().showLoadedRun();
        scrollTo(1427);
        s().loadedSamplePeriod = period;
        scrollTo(1426);
        EXPECT_EQ(s().viewStart, 1426);
        expectPhase();

        viewer().showLoadedRun();
        EXPECT_EQ(bar()->maximum(), maximum);
        EXPECT_EQ(bar()->value(), maximum);
        for (int value : {1, maximum / 2 + 1, maximum}) {
            bar()->setValue(value);
            EXPECT_EQ(s().viewStart, maximum - value);
            expectPhase();
        }
    }
}

TEST_F(ViewerTest, OpeningTheViewerGivesUpARunningRecording) {
    for (bool recorded : {true, false}) {
        SCOPED_TRACE(recorded);
        c().calibrateButton->click();
        for (int i = 0; i < 5; ++i) tick();
        ASSERT_EQ(s().run.sampleIndex(), 5);
        ASSERT_FALSE(c().calibrateButton->isEnabled());
        viewer().openViewer(recorded);
        EXPECT_FALSE(s().run.isRecording());
        EXPECT_EQ(s().run.sampleIndex(), 0);
        EXPECT_TRUE(c().calibrateButton->isEnabled());
        EXPECT_TRUE(c().monitorButton->isEnabled());
        EXPECT_FALSE(c().sampleTimer->isActive());
        EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
    }
}

// The change handler runs once per arrow or trough click, once when a dragged thumb
// is released, never while it is dragged, and not at all when the position stays.
TEST_F(ViewerTest, ScrollBarRunsTheHandlerOncePerMoveTheUserMakes) {
    viewer().showRecordedRun();  // period 1.05: Max 1428, thumb at the right end
    const QImage firstScreen = traces().copy();
    int runs = 0;
    QObject::connect(bar(), &QScrollBar::valueChanged, [&] { ++runs; });
    const QPoint grip = centreOf(QStyle::SC_ScrollBarSlider);
    mouse(QEvent::MouseButtonPress, grip);
    for (int dx = 20; dx <= 200; dx += 20) mouse(QEvent::MouseMove, grip - QPoint(dx, 0));
    EXPECT_EQ(runs, 0);
    EXPECT_LT(bar()->sliderPosition(), 1300);
    EXPECT_EQ(bar()->value(), 1428);
    EXPECT_EQ(traces(), firstScreen) << "nothing is redrawn while dragging";
    mouse(QEvent::MouseButtonRelease, grip - QPoint(200, 0), Qt::NoButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(s().viewStart, 1428 - bar()->value());
    EXPECT_GT(s().viewStart, 100);

    const QPoint back = centreOf(QStyle::SC_ScrollBarSlider);  // a drag back to where it began
    mouse(QEvent::MouseButtonPress, back);
    mouse(QEvent::MouseMove, back - QPoint(50, 0));
    mouse(QEvent::MouseMove, back);
    mouse(QEvent::MouseButtonRelease, back, Qt::NoButton);
    EXPECT_EQ(runs, 1);

    scrollTo(0);  // arrows and trough: one sample each
    runs = 0;
    const std::pair<QStyle::SubControl, int> clicks[] = {
        {QStyle::SC_ScrollBarAddLine, 0},  // already at the right end
        {QStyle::SC_ScrollBarSubLine, 1}, {QStyle::SC_ScrollBarSubPage, 2}, {QStyle::SC_ScrollBarAddLine, 1}};
    for (const auto& [control, viewStart] : clicks) {
        const QPoint at = centreOf(control);
        mouse(QEvent::MouseButtonPress, at);
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
        EXPECT_EQ(s().viewStart, viewStart) << control;
    }
    EXPECT_EQ(runs, 3);
}

}  // namespace
}  // namespace kinemo::test
