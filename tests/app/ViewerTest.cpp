// The data viewer and its scroll bar on the real main window.
#include "tests/support/MainWindowFixture.h"

namespace kinemo {
namespace {

// The viewer open on a recorded run that climbs by one a sample from 0 to 199 and again, at period 1.05.
class ViewerTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        for (int i = 0; i < kStoreSize; ++i) s().recorded.samples[i].fill(static_cast<std::uint8_t>(i % 200));
        s().recorded.measuredAt = "recorded";
        window->actions().showRecordedRun->trigger();
    }
    void scrollTo(int viewStart) { c().viewerScrollBar->setValue(c().viewerScrollBar->maximum() - viewStart); }
};

// The viewer's commands in turn, each in the state an earlier one left.
TEST_F(ViewerTest, TheViewerThroughScrollsMonitorPressesAndARunGivenUp) {
    expectViewer("recorded", "recorded", "95.2 HZ", "1..1428 at 1428");
    expected["plot"] = "black Z 0..500";
    expected["recorded run"] = "1.0500 \"recorded\" 0,0,0 1,1,1 .. 199,199,199 | 0,0,0";
    EXPECT_WINDOW() << "the viewer opened on a run";
    c().axisCheckBoxes[2]->setCheckState(Qt::Unchecked);
    scrollTo(1427);
    c().viewerScrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    c().viewerScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    expected["axis boxes"] = "on on off";
    expected["scroll bar"] = "1..1428 at 3";
    expected["seconds"] = "14 15 16 17 18 19 from x -96";
    expected["plot"] = "black Y 0..500";
    EXPECT_WINDOW() << "arrow and trough move a sample; an unticked axis is left out";
    window->actions().showRecordedRun->trigger();
    expected["scroll bar"] = "1..1428 at 1428";
    expected["seconds"] = "0 1 2 3 4 5 from x 0";
    EXPECT_WINDOW() << "a second press starts from the run's start";
    scrollTo(428);
    c().monitorButton->click();
    expected["mode"] = "monitoring, next run standard";
    expected["monitor button"] = "モニター停止";
    expected["scroll bar"] = "hidden";
    expected["seconds"] = "4 5 6 7 8 9 from x -49";
    expected["plot"] = "black";
    EXPECT_WINDOW() << "the monitor leaves the axis as the viewer left it and the strip hidden";
    window->actions().showRecordedRun->trigger();
    c().recordButton->click();
    tick();
    expectRunStart("recording standard", "2026/12/06 9:05:07", "測定・記録中です。しばらくお待ちください。 | 1/2000");
    expected["plot"] = "black Y 0..1";
    expected["seconds"] = "0 1 2 3 4 5 from x 0";
    expected["recorded run"] = "1.0500 \"2026/12/06 9:05:07\" 0,0,0 131,131,131 .. 131,131,131 | 131,131,131";
    expected["day log"] = "2 lines, last 記録を開始しました（標準測定）";
    EXPECT_WINDOW() << "a run started from the viewer";
    window->actions().showRecordedRun->trigger();
    expectViewer("recorded", "2026/12/06 9:05:07", "95.2 HZ", "1..1428 at 1428");
    expected["record button"] = "記録開始";
    expected["plot"] = "black Y 0..500";
    expected["day log"] = "3 lines, last 記録を中止しました（記録中にデータの表示を開いたため）";
    EXPECT_WINDOW() << "the run is given up";
    c().recordButton->click();
    expectRunStart("recording standard", "2026/12/06 9:05:07", "測定・記録中です。しばらくお待ちください。 | 1/2000");
    expected["recorded run"] = "1.0500 \"2026/12/06 9:05:07\" 131,131,131 131,131,131 .. 131,131,131 | 131,131,131";
    expected["day log"] = "4 lines, last 記録を開始しました（標準測定）";
    EXPECT_WINDOW() << "the counter keeps its count until the next run stores";
    window->actions().showLoadedRun->trigger();
    expectViewer("loaded", "", "95.2 HZ", "1..1428 at 1428");
    expected["record button"] = "記録開始";
    expected["plot"] = "black Y 0..500";
    expected["day log"] = "5 lines, last 記録を中止しました（記録中にデータの表示を開いたため）";
    EXPECT_WINDOW() << "the loaded run before any load";
}

// A store of its own on the heap lets the address sanitizer see any read past it.
TEST_F(ViewerTest, AWindowPastTheStoresEndStopsAtItsLastEntry) {
    auto run = std::make_unique<SampleRun>();
    run->samplePeriod = 1.0f;
    run->samples[2001] = {250, 250, 250};
    window->viewer().drawSpan(*run, 1990, 4000);
    EXPECT_EQ(c().plot->image().pixelColor(11, 250), kAxisColors[2]) << "2000 -> 2001 is the last segment";
}

}  // namespace
}  // namespace kinemo
