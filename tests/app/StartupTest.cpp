#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace kinemo {
namespace {

class Startup : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { hid.addWiiRemote(); }
};

TEST_F(Startup, StateTimeAxisAndGridAfterStartUp) {
    for (int i = 0; i < kStoreSize; ++i) {
        ASSERT_EQ(s().samples[i], (AccTriple{131, 131, 131})) << i;
        ASSERT_EQ(s().loadedSamples[i], (AccTriple{131, 131, 131})) << i;
    }
    EXPECT_EQ(s().samplePeriod, 1.05f);
    EXPECT_EQ(s().loadedSamplePeriod, 1.05f);
    EXPECT_EQ(s().reportCmd, 0x12);
    EXPECT_EQ(s().reportFlags, 0x04);
    EXPECT_EQ(s().reportMode, 0x31);
    EXPECT_FALSE(s().run.isRecording());
    EXPECT_TRUE(s().showRecorded);
    EXPECT_EQ(s().fileSignature, "Kinemo");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kinemo  1.0.15"));
    EXPECT_EQ(c().measuredAtField->text(), QStringLiteral("2026/12/06 9:05:07"));
    EXPECT_TRUE(c().sampleTimer->isActive());
    EXPECT_EQ(c().sampleTimer->interval(), 10);
    EXPECT_EQ(c().sampleTimer->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(c().monitorButton->text(), QStringLiteral("モニター開始"));

    // Start-up finds the remote and asks it for continuous accelerometer reports.
    const auto& written = hid.device("/dev/hidraw0").written;
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], test::modeRequest(0x04));

    const QColor grey(128, 128, 128);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(c().secondLines[i]->x1(), 100 * i);
        EXPECT_EQ(c().secondLines[i]->x2(), 100 * i);
        EXPECT_EQ(c().halfSecondLines[i]->x1(), 100 * i - 50);
        EXPECT_EQ(c().halfSecondLines[i]->x2(), 100 * i - 50);
        EXPECT_EQ(c().secondLabels[i]->text(), QString::number(i));
        EXPECT_EQ(c().secondLabels[i]->x(), 100 * i);
        EXPECT_EQ(c().halfSecondLines[i]->borderColor(), grey);
        EXPECT_EQ(c().secondLines[i]->borderColor(), grey);
    }
    for (LineShape* line : {c().levelLines[5], c().levelLines[3], c().levelLines[2], c().levelLines[1], c().levelLines[0], c().levelLines[6], c().levelLines[7], c().levelLines[8],
                            c().traceAreaEdge})
        EXPECT_EQ(line->borderColor(), grey);
    EXPECT_EQ(c().zeroLine()->borderColor(), QColor(255, 255, 255));
    EXPECT_EQ(c().cursorLine->x1(), -1);
    EXPECT_EQ(c().cursorLine->x2(), -1);
}

TEST_F(Startup, ModeButtonsResendTheReportAndTouchNothingElse) {
    auto& written = hid.device("/dev/hidraw0").written;
    c().reportOnChangeButton->click();
    EXPECT_EQ(s().reportFlags, 0x00);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1][1], 0x00);
    c().reportContinuouslyButton->click();
    EXPECT_EQ(s().reportCmd, 0x12);
    EXPECT_EQ(s().reportFlags, 0x04);
    EXPECT_EQ(s().reportMode, 0x31);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[2][1], 0x04);
    EXPECT_TRUE(c().sampleTimer->isActive());
}

TEST_F(Startup, EndCommandsEndAtOnceButTheCloseBoxReleasesTheRemote) {
    auto& remote = hid.device("/dev/hidraw0");
    c().quitButton->click();
    EXPECT_EQ(endProgramCalls, 1);
    window->menuItem("quitAction")->trigger();
    EXPECT_EQ(endProgramCalls, 2);
    EXPECT_EQ(remote.closes, 0);
    EXPECT_NE(m().remote(), nullptr);

    window->close();
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(m().remote(), nullptr);
}

}  // namespace
}  // namespace kinemo
