#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/Pixels.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo {
namespace {

using test::accReport;
using test::colorNear;
using test::countColor;

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kGreen(0, 255, 0), kBlack(0, 0, 0);

class Monitor : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }
    // A remote that holds still: the same triple is waiting at every tick.
    void hold(std::uint8_t x, std::uint8_t y, std::uint8_t z) {
        remote->alwaysReport = true;
        remote->repeatedReport = accReport(x, y, z);
    }
    QImage traces() { return c().plot->image(); }
    test::FakeDeviceState* remote = nullptr;
};

TEST_F(Monitor, SweepWrapsWhenTheFloatProductPassesFiveHundred) {
    hold(131, 131, 131);
    for (int i = 0; i < 476; ++i) tick();
    EXPECT_EQ(s().sweep.liveX(), 476);
    EXPECT_GT(countColor(traces(), kGreen), 400);
    tick();  // 477 x 1.05 = 500.85
    EXPECT_EQ(s().sweep.liveX(), 1);
    // Cleared, then the segment from x = 0 to 1.05 drawn.
    const QImage image = traces();
    EXPECT_TRUE(colorNear(image, 0, 131, kGreen));
    EXPECT_FALSE(colorNear(image, 300, 131, kGreen));

    s().samplePeriod = 1.0f;
    s().sweep.restartAt(0);
    for (int i = 0; i < 500; ++i) tick();
    EXPECT_EQ(s().sweep.liveX(), 500) << "exactly 500 does not wrap";
    tick();
    EXPECT_EQ(s().sweep.liveX(), 1);
}

TEST_F(Monitor, EachAxisInItsColourAndTheFirstTickStartsAtTheTopEdge) {
    hold(50, 100, 200);
    tick();
    QImage image = traces();
    // From (0, 0) to (1.05, value): the three segments meet at the top-left corner,
    // where Z, drawn last, covers the others.
    EXPECT_EQ(image.pixelColor(0, 0), kGreen);
    EXPECT_TRUE(colorNear(image, 1, 50, kBlue));
    EXPECT_TRUE(colorNear(image, 1, 100, kRed));
    EXPECT_TRUE(colorNear(image, 1, 200, kGreen));
    for (int i = 0; i < 20; ++i) tick();
    image = traces();
    EXPECT_EQ(image.pixelColor(10, 50), kBlue);
    EXPECT_EQ(image.pixelColor(10, 100), kRed);
    EXPECT_EQ(image.pixelColor(10, 200), kGreen);
    EXPECT_EQ(image.pixelColor(10, 150), kBlack);
    EXPECT_EQ(image.pixelColor(30, 50), kBlack) << "nothing beyond x = 21 x 1.05";
}

TEST_F(Monitor, GridLinesStayAboveTheTrace) {
    hold(131, 77, 200);  // X on the zero line, Y on the +2 G line
    for (int i = 0; i < 30; ++i) tick();
    const QImage shown = c().plot->grab().toImage();
    const int b = PlotSurface::kBorder;
    EXPECT_EQ(shown.pixelColor(b + 20, b + 131), QColor(255, 255, 255));
    EXPECT_EQ(shown.pixelColor(b + 20, b + 77), QColor(128, 128, 128));
    EXPECT_EQ(shown.pixelColor(b + 20, b + 200), kGreen);
    // The traces are still there beneath.
    EXPECT_EQ(traces().pixelColor(20, 131), kBlue);
}

TEST_F(Monitor, ClearedBoxesDrawNothingButTheLabelsStillChange) {
    for (QCheckBox* box : c().axisCheckBoxes) box->setCheckState(Qt::Unchecked);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    hold(104, 130, 132);
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(countColor(traces(), kBlack), traces().width() * traces().height());
    EXPECT_EQ(c().readouts[0]->text(), QStringLiteral("1"));
    EXPECT_EQ(c().readouts[1]->text(), QStringLiteral("0.03"));
    EXPECT_EQ(c().readouts[2]->text(), QStringLiteral("-0.04"));
}

TEST_F(Monitor, ALostReadDrawsToTheTopEdgeAndShows485) {
    hold(131, 131, 131);
    for (int i = 0; i < 5; ++i) tick();
    remote->failNextRead = true;
    tick();
    EXPECT_EQ(s().acc, (AccTriple{0, 0, 0}));
    for (QLabel* label : c().readouts) EXPECT_EQ(label->text(), QStringLiteral("4.85"));
    EXPECT_TRUE(colorNear(traces(), static_cast<int>(6 * 1.05), 0, kGreen));
}

TEST_F(Monitor, FineModeSuppressesDrawingOnlyDuringARun) {
    hold(60, 60, 60);
    m().chooseFineMode();
    tick();
    tick();
    EXPECT_GT(countColor(traces(), kGreen), 0) << "fine mode outside a run draws";

    c().calibrateButton->click();
    EXPECT_EQ(c().statusText->text(), QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(countColor(traces(), kGreen), 0);
    EXPECT_EQ(c().readouts[0]->text(), QStringLiteral("2.62"));

    m().chooseNormalMode();  // switched mid-run: drawing resumes on the next tick
    tick();
    EXPECT_GT(countColor(traces(), kGreen), 0);
    m().chooseFineMode();
    const int before = countColor(traces(), kGreen);
    for (int i = 0; i < 5; ++i) tick();
    EXPECT_EQ(countColor(traces(), kGreen), before);
    EXPECT_EQ(c().statusText->text(), QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
}

TEST_F(Monitor, ButtonCaptionSequenceAndRecordModeReset) {
    QTimer* timer = c().sampleTimer;
    ASSERT_TRUE(timer->isActive());
    m().chooseFineMode();
    c().viewerScrollBar->show();
    c().monitorButton->click();  // first press stops the running monitor
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
    EXPECT_FALSE(s().isFineMode);
    EXPECT_EQ(c().calibrateButton->text(), QStringLiteral("記録開始（精密）"));
    EXPECT_TRUE(c().viewerScrollBar->isHidden());

    hold(70, 70, 70);
    const std::int16_t x = s().sweep.liveX();
    c().monitorButton->click();  // the next press starts it
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター停止"));
    EXPECT_EQ(s().sweep.liveX(), x) << "a restarted monitor continues where it stopped";
    c().monitorButton->click();
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));
}

}  // namespace
}  // namespace kinemo
