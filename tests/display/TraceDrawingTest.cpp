// Drawing a stored run: colours, layering, clipping, the check boxes, the date and
// rate fields, the background commands and the store's bounds.
#include "tests/display/ViewerFixture.h"

#include <QLineEdit>

#include <cmath>
#include <limits>

namespace kinemo::test {
namespace {

void fillStore(SampleStore& store, std::uint8_t x, std::uint8_t y, std::uint8_t z) { store.fill({x, y, z}); }

TEST_F(ViewerTest, FillValueDrawsThreeFlatTracesZLastBeneathTheZeroLine) {
    s().measuredAt = "2024/05/17 9:30:00";
    viewer().DataRec_Click();

    EXPECT_TRUE(c().Picture1->AutoRedraw());
    EXPECT_EQ(c().Text2->text(), QStringLiteral("2024/05/17 9:30:00"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("95.2 HZ"));
    // At 1.05 the first screen reaches x = 526.05: the whole width, all at y = 131.
    for (int x : {0, 250, 500}) EXPECT_EQ(traces().pixel(x, 131), kGreen) << x;
    EXPECT_EQ(litPixels(), traces().width());
    // The white zero line lies above the traces.
    EXPECT_EQ(screen().pixel(250, 131), kWhite);
}

TEST_F(ViewerTest, EachAxisInItsColourAtItsRawValue) {
    fillStore(s().samples, 50, 100, 200);
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(300, 50), kBlue);
    EXPECT_EQ(traces().pixel(300, 100), kRed);
    EXPECT_EQ(traces().pixel(300, 200), kGreen);
    EXPECT_EQ(litPixels(), 3 * traces().width());
    EXPECT_EQ(screen().pixel(320, 200), kGreen);
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

TEST_F(ViewerTest, FirstScreenIsSamples0To501ClippedAtTheEdges) {
    // Samples 0..501 only: the first at y = 20, everything later at the fill value
    // except 502, which must never be drawn.
    c().Check1[1]->setCheckState(Qt::Unchecked);
    c().Check1[2]->setCheckState(Qt::Unchecked);
    s().samples[0][0] = 20;
    s().samples[502][0] = 250;

    s().samplePeriod = 0.8f;  // ends at x = 400.8; the right part stays empty
    viewer().DataRec_Click();
    EXPECT_EQ(c().Label15->text(), QStringLiteral("124.9 HZ"));
    EXPECT_EQ(traces().pixel(0, 20), kBlue);
    EXPECT_EQ(traces().pixel(400, 131), kBlue);
    EXPECT_EQ(litPixels(QRect(402, 0, 200, 301)), 0);

    s().samplePeriod = 1.2f;  // reaches x = 601.2, clipped at the edge
    viewer().DataRec_Click();
    EXPECT_EQ(traces().pixel(traces().width() - 1, 131), kBlue);
    EXPECT_EQ(litPixels(QRect(0, 240, 501, 61)), 0);
}

TEST_F(ViewerTest, RecordedAndLoadedRunsTakeTheirOwnStorePeriodAndDate) {
    fillStore(s().loadedSamples, 60, 60, 60);
    s().loadedSamplePeriod = 0.75f;
    s().loadedMeasuredAt = "loaded";
    s().measuredAt = "recorded";
    viewer().DrawLoadedData();
    EXPECT_EQ(c().Text2->text(), QStringLiteral("loaded"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("133.3 HZ"));
    EXPECT_EQ(traces().pixel(200, 60), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 131, 501, 1)), 0);

    s().samplePeriod = 1.0f;
    viewer().DrawRecordedData();
    EXPECT_EQ(c().Text2->text(), QStringLiteral("recorded"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("100 HZ"));
    EXPECT_EQ(traces().pixel(200, 131), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 60, 501, 1)), 0);
}

TEST_F(ViewerTest, BackgroundCommandsSwapSurfaceAndZeroLineOnly) {
    viewer().DataRec_Click();
    const QStringList numbers = labelTexts();

    viewer().BackWhite_Click();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(traces().pixel(0, 0), kWhite);
    EXPECT_EQ(c().Line2->BorderColor(), QColor(Qt::black));
    QImage shown = screen();
    EXPECT_EQ(shown.pixel(250, 131), kBlack);
    EXPECT_EQ(shown.pixel(250, 77), kGrey) << "a solid grid line";
    EXPECT_EQ(shown.pixel(100, 10), kGrey) << "a whole-second line";
    EXPECT_EQ(shown.pixel(250, 10), kWhite);
    for (LineShape* line : {c().Line1, c().Line3, c().Line4, c().Line13, c().Line11[2], c().Line10[2]})
        EXPECT_EQ(line->BorderColor(), QColor(kGrey));
    EXPECT_EQ(labelTexts(), numbers);

    viewer().DataRec_Click();  // traces come back with the next draw, on white
    EXPECT_EQ(traces().pixel(250, 131), kGreen);

    viewer().BackBlack_Click();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_EQ(traces().pixel(0, 0), kBlack);
    EXPECT_EQ(c().Line2->BorderColor(), QColor(Qt::white));
    shown = screen();
    EXPECT_EQ(shown.pixel(250, 131), kWhite);
    EXPECT_EQ(shown.pixel(250, 77), kGrey);
}

TEST_F(ViewerTest, Command2RedrawsTheRecordedFirstScreenAndNothingElse) {
    fillStore(s().samples, 40, 40, 40);
    s().loadedSamplePeriod = 1.0f;
    s().loadedMeasuredAt = "loaded";
    viewer().ReadDate_Click();
    scrollTo(300);
    const QStringList numbers = labelTexts();
    const int value = bar()->value();

    viewer().Command2_Click();
    EXPECT_EQ(traces().pixel(250, 40), kGreen);
    EXPECT_EQ(litPixels(QRect(0, 131, 501, 1)), 0);
    EXPECT_FALSE(s().showRecorded);
    EXPECT_EQ(c().Text2->text(), QStringLiteral("loaded"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("100 HZ"));
    EXPECT_EQ(bar()->value(), value);
    EXPECT_EQ(labelTexts(), numbers);
}

// The window loop reads index pos + 1 and stops after 2000, whatever it is asked.
// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(ViewerTest, TraceWindowNeverReadsPastTheStore) {
    auto store = std::make_unique<SampleStore>();
    fillStore(*store, 131, 131, 131);
    (*store)[2001] = {250, 250, 250};
    c().Picture1->Cls();
    viewer().DrawTraceWindow(*store, 1.0f, 1990, 4000);
    EXPECT_EQ(traces().pixel(11, 250), kGreen) << "2000 -> 2001 is drawn";
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
    // Periods so long that the samples' x overflows: the first segment still
    // spans the surface where it is finite, and nothing fails.
    s().samplePeriod = std::numeric_limits<float>::max();
    viewer().DrawRecordedData();
    EXPECT_EQ(litPixels(), traces().width());
    s().samplePeriod = std::numeric_limits<float>::infinity();
    viewer().DrawRecordedData();
    EXPECT_EQ(litPixels(), 0);
}

}  // namespace
}  // namespace kinemo::test
