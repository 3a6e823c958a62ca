// The plot surface on its own: what it repaints.
#include "display/PlotSurface.h"

#include <QApplication>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kinemo {

// The ticks between two frames draw into the image at once; their segments all show
// at the next frame, not before it is due, in one repaint around them and nothing else.
TEST(PlotSurface, ABurstOfTicksBetweenTwoFramesShowsWhollyInOneRepaint) {
    struct PaintLog : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
            return false;
        }
        std::vector<QRect> painted;
    } log;
    QWidget window;
    PlotSurface* plot = new PlotSurface(&window, QRect(5, 5, 505, 305));
    plot->setFrameInterval(300);
    window.show();
    plot->requestFrame();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    plot->canvas()->installEventFilter(&log);
    for (int tick = 0; tick < 5; ++tick) {
        plot->drawSegment(QPointF(110 + 10 * tick, 20), QPointF(114 + 10 * tick, 200), Qt::green);
        plot->requestFrame();
    }
    for (int tick = 0; tick < 5; ++tick) EXPECT_EQ(plot->image().pixelColor(112 + 10 * tick, 110), QColor(Qt::green));
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    EXPECT_TRUE(log.painted.empty()) << "a frame just after the last one";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.painted.empty(); }, 2000)) << "the frame never came";
    ASSERT_EQ(log.painted.size(), 1u);
    EXPECT_TRUE(log.painted[0].contains(QRect(110, 20, 45, 181)));
    EXPECT_LT(log.painted[0].width(), 60) << "not the whole surface";
}

// A frame not yet due waits a whole interval from the newest tick: while ticks go on,
// the tick that makes it due brings it, not a timer some milliseconds after a tick.
TEST(PlotSurface, WhileTicksGoOnNoFrameComesBetweenThem) {
    PlotSurface plot(nullptr, QRect(5, 5, 505, 305));
    plot.setFrameInterval(2000);
    QSignalSpy frames(&plot, &PlotSurface::frameDue);
    plot.requestFrame();
    QTest::qWait(50);
    plot.requestFrame();
    QTest::qWait(1300);
    plot.requestFrame();
    QTest::qWait(1300);
    EXPECT_EQ(frames.size(), 1);
}

}  // namespace kinemo
