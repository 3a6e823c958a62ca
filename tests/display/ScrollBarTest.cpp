// HScroll1 driven like a user drives it: the change handler runs once per arrow or
// trough click, once when a dragged thumb is released, never while it is dragged,
// and not at all when the position stays.
#include "tests/display/ViewerFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

namespace kinemo::test {
namespace {

class ScrollBarTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        viewer().DataRec_Click();  // period 1.05: Max 1428, thumb at the right end
        QObject::connect(bar(), &QScrollBar::valueChanged, [this] { ++runs; });
    }

    QRect subControl(QStyle::SubControl control) {
        QStyleOptionSlider option;
        option.initFrom(bar());
        option.subControls = QStyle::SC_All;
        option.orientation = Qt::Horizontal;
        option.state |= QStyle::State_Horizontal;
        option.minimum = bar()->minimum();
        option.maximum = bar()->maximum();
        option.sliderPosition = bar()->sliderPosition();
        option.sliderValue = bar()->value();
        option.singleStep = bar()->singleStep();
        option.pageStep = bar()->pageStep();
        return bar()->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar());
    }
    void mouse(QEvent::Type type, QPoint position, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(position), bar()->mapToGlobal(QPointF(position)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(bar(), &event);
    }
    void click(QPoint position) {
        mouse(QEvent::MouseButtonPress, position, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, position, Qt::NoButton);
    }

    int runs = 0;
};

TEST_F(ScrollBarTest, ArrowAndTroughClicksMoveOneSampleAndRunTheHandlerOnce) {
    bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(s().viewStart, 1);
    bar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(s().viewStart, 2);

    click(subControl(QStyle::SC_ScrollBarAddLine).center());  // right arrow: back towards the start
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(s().viewStart, 1);
    click(subControl(QStyle::SC_ScrollBarSubPage).center());  // trough left of the thumb
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(s().viewStart, 2);
}

TEST_F(ScrollBarTest, NoHandlerRunWhenThePositionStays) {
    bar()->setValue(bar()->value());
    bar()->setMaximum(bar()->maximum());
    bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // already at the right end
    click(subControl(QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(s().viewStart, 0);
}

TEST_F(ScrollBarTest, DraggedThumbRunsTheHandlerOnceWhenReleased) {
    const QImage firstScreen = traces().copy();
    const QPoint grip = subControl(QStyle::SC_ScrollBarSlider).center();
    mouse(QEvent::MouseButtonPress, grip, Qt::LeftButton);
    for (int dx = 20; dx <= 200; dx += 20) mouse(QEvent::MouseMove, grip - QPoint(dx, 0), Qt::LeftButton);
    EXPECT_EQ(runs, 0);
    EXPECT_LT(bar()->sliderPosition(), 1300);
    EXPECT_EQ(bar()->value(), 1428);
    EXPECT_EQ(traces(), firstScreen) << "nothing is redrawn while dragging";

    mouse(QEvent::MouseButtonRelease, grip - QPoint(200, 0), Qt::NoButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(bar()->value(), bar()->sliderPosition());
    EXPECT_EQ(s().viewStart, 1428 - bar()->value());
    EXPECT_GT(s().viewStart, 100);

    // A drag that ends where it began moves nothing.
    const QPoint back = subControl(QStyle::SC_ScrollBarSlider).center();
    mouse(QEvent::MouseButtonPress, back, Qt::LeftButton);
    mouse(QEvent::MouseMove, back - QPoint(50, 0), Qt::LeftButton);
    mouse(QEvent::MouseMove, back, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, back, Qt::NoButton);
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace kinemo::test
