// Drawing a stored run: colours, layering, clipping, the check boxes, the date and
// rate fields, the background commands and the store's bounds.
#include "tests/display/ViewerFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>

#include <limits>

namespace kinemo::test {
namespace {

TEST_F(ViewerTest, FillValueDrawsFlatTracesZLastBeneathTheZeroLine) {
    s().measuredAt = "2024/05/17 9:30:00";
    viewer().DataRec_Click();
    EXPECT_TRUE(c().Picture1->AutoRedraw());
    EXPECT_EQ(c().Text2->text(), QStringLiteral("2024/05/17 9:30:00"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("95.2 HZ"));
    // At 1.05 the first screen reaches x = 526.05: the whole width, all at y = 131.
    EXPECT_EQ(traces().pixel(0, 131), kGreen);
    EXPECT_EQ(traces().pixel(500, 131), kGreen);
    EXPECT_EQ(litPixels(), traces().width());
    EXPECT_EQ(screen().pixel(250, 131), kWhite) << "the zero line lies above the traces";
}

TEST_F(ViewerTest, OnlyTickedAxesAreDrawnGreyedCountsAsCleared) {
    c().Check1[2]->setCheckState(Qt::Unchecked);
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(100, 131), kRed);

    c().Check1[1]->setTristate(true);
    c().Check1[1]->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(traces().pixel(100, 131), kRed) << "a changed box redraws nothing by itself";
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(100, 131), kBlue);

    c().Check1[0]->setCheckState(Qt::Unchecked);
    s().measuredAt = "run";
    viewer().DataRec_Click();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(c().Text2->text(), QStringLiteral("run"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("95.2 HZ"));
}

TEST_F(ViewerTest, FirstScreenIsSamples0To501WhateverThePeriod) {
    s().samples[0] = {20, 60, 200};
    s().samples[502][0] = 250;  // never drawn
    s().samplePeriod = 0.8f;    // ends at x = 400.8
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(0, 20), kBlue);
    EXPECT_EQ(traces().pixel(0, 60), kRed);
    EXPECT_EQ(traces().pixel(0, 200), kGreen);
    EXPECT_EQ(traces().pixel(400, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(402, 0, 200, 301)), 0);

    s().samplePeriod = 1.2f;  // reaches x = 601.2, clipped at the edge
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(traces().width() - 1, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 240, 501, 61)), 0);
}

TEST_F(ViewerTest, BackgroundCommandsSwapSurfaceAndZeroLineOnly) {
    viewer().DataRec_Click();
    const QStringList numbers = labelTexts();

    viewer().BackWhite_Click();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(traces().pixel(0, 0), kWhite);
    QImage shown = screen();
    EXPECT_EQ(shown.pixel(250, 131), kBlack);
    EXPECT_EQ(shown.pixel(250, 77), kGrey) << "a solid grid line";
    EXPECT_EQ(shown.pixel(100, 10), kGrey) << "a whole-second line";
    for (LineShape* line : {c().Line1, c().Line4, c().Line13, c().Line11[2], c().Line10[2]})
        EXPECT_EQ(line->BorderColor(), QColor(kGrey));
    EXPECT_EQ(labelTexts(), numbers);
    viewer().DataRec_Click();  // the traces come back with the next draw
    EXPECT_EQ(traces().pixel(250, 131), kGreen);

    viewer().BackBlack_Click();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(traces().pixel(0, 0), kBlack);
    shown = screen();
    EXPECT_EQ(shown.pixel(250, 131), kWhite);
    EXPECT_EQ(shown.pixel(250, 77), kGrey);
}

TEST_F(ViewerTest, Command2RedrawsTheRecordedFirstScreenAndNothingElse) {
    s().samples.fill({40, 40, 40});
    s().loadedMeasuredAt = "loaded";
    viewer().ReadDate_Click();
    scrollTo(300);
    const QStringList numbers = labelTexts();

    viewer().Command2_Click();
    EXPECT_EQ(traces().pixel(250, 40), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 131, 501, 1)), 0);
    EXPECT_FALSE(s().showRecorded);
    EXPECT_EQ(c().Text2->text(), QStringLiteral("loaded"));
    EXPECT_EQ(bar()->value(), bar()->maximum() - 300);
    EXPECT_EQ(labelTexts(), numbers);
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(ViewerTest, TraceWindowNeverReadsPastTheStore) {
    auto store = std::make_unique<SampleStore>();
    store->fill({131, 131, 131});
    (*store)[2001] = {250, 250, 250};
    c().Picture1->Cls();
    viewer().DrawTraceWindow(*store, 1.0f, 1990, 4000);
    EXPECT_EQ(traces().pixel(11, 250), kGreen) << "2000 -> 2001 is the last segment";
    EXPECT_EQ(litPixels(QRect(13, 0, 488, 301)), 0);

    c().Picture1->Cls();
    viewer().DrawTraceWindow(*store, 1.0f, 2001, 2600);
    viewer().DrawTraceWindow(*store, 1.0f, 100, 99);
    EXPECT_EQ(litPixels(), 0);
    // A start before the store keeps the segments' places and leaves out the rest.
    viewer().DrawTraceWindow(*store, 1.0f, -10, 20);
    EXPECT_EQ(litPixels(QRect(0, 0, 10, 301)), 0);
    EXPECT_EQ(traces().pixel(20, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(32, 0, 400, 301)), 0);
}

TEST_F(ViewerTest, UnusablePeriodsDrawSafelyAndShowNoRate) {
    for (float period : {0.0f, -1.05f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(period);
        s().samplePeriod = period;
        viewer().DrawRecordedData();
        EXPECT_EQ(c().Label15->text(), QStringLiteral("--- HZ"));
        // Zero puts every sample at x = 0, a negative period left of the surface.
        EXPECT_EQ(litPixels(QRect(1, 0, 500, 301)), 0);
    }
    // So long that x overflows: the first segment still spans the surface.
    s().samplePeriod = std::numeric_limits<float>::max();
    viewer().DrawRecordedData();
    EXPECT_EQ(litPixels(), traces().width());
}

// Lets every posted repaint happen, however the platform schedules it.
void drainEvents() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Segments are repainted once per burst, burst after burst, like the live trace's
// three segments a tick.
TEST_F(ViewerTest, EachBurstOfSegmentsIsRepaintedWhereItWasDrawn) {
    struct PaintLog : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->rect());
            return false;
        }
        std::vector<QRect> painted;
    } log;
    drainEvents();
    c().Picture1->canvas()->installEventFilter(&log);
    for (int burst = 0; burst < 2; ++burst) {
        const int x = 10 + 100 * burst;
        for (int k = 0; k < 3; ++k)
            c().Picture1->Line(QPointF(x + k, 20), QPointF(x + 30 + k, 200), QColor(kAxisColors[k]));
        c().Picture1->Line(QPointF(600, 20), QPointF(700, 40), Qt::white);  // beyond the edge
        drainEvents();
        ASSERT_EQ(log.painted.size(), burst + 1u);
        EXPECT_TRUE(log.painted.back().contains(QRect(x, 20, 33, 181)));
        EXPECT_LT(log.painted.back().width(), 50) << "not the whole surface";
    }
    EXPECT_EQ(screen().pixel(142, 200), kGreen);
}

}  // namespace
}  // namespace kinemo::test
