// The plot surface on its own: what it repaints.
#include "display/PlotSurface.h"

#include <QApplication>
#include <QPaintEvent>

#include <gtest/gtest.h>

namespace kinemo {

// Segments show without anything else repainting the surface, in one repaint only around them.
TEST(PlotSurface, ABurstOfSegmentsIsRepaintedOnceAroundWhereItWasDrawn) {
    struct PaintLog : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
            return false;
        }
        std::vector<QRect> painted;
    } log;
    QWidget window;
    PlotSurface* plot = new PlotSurface(&window, QRect(5, 5, 505, 305));
    window.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    plot->canvas()->installEventFilter(&log);
    for (int k = 0; k < 3; ++k) plot->drawSegment(QPointF(110 + k, 20), QPointF(140 + k, 200), Qt::green);
    for (int i = 0; i < 20 && log.painted.empty(); ++i) QApplication::processEvents();
    ASSERT_EQ(log.painted.size(), 1u);
    EXPECT_TRUE(log.painted[0].contains(QRect(110, 20, 33, 181)));
    EXPECT_LT(log.painted[0].width(), 50) << "not the whole surface";
}

}  // namespace kinemo
