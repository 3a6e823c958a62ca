#include "display/PlotSurface.h"
#include "tests/support/MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

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
    EXPECT_FALSE(c().sampleTimer->isActive());
}

// The program itself, with no window system: what it says, where, and its status.
TEST(CommandLine, AnswersAndRefusalsNeedNoDisplay) {
    struct Case {
        QStringList arguments;
        const char* display;  // nullptr: unset
        int status;
        const char* out;
        const char* err;
    } const cases[] = {
        {{"--help"}, nullptr, 0, "--simulate", ""},
        {{"-h"}, nullptr, 0, "[FILE]", ""},
        {{"--version"}, ":4711", 0, "Kinemo 1.0.15\n", ""},
        {{}, nullptr, 1, "", "WAYLAND_DISPLAY"},
        {{"--simulate"}, ":4711", 1, "", "DISPLAY=':4711'"},
        {{"--frobnicate"}, nullptr, 2, "", "Unknown option 'frobnicate'"},
        {{"--simulate", "one.KMO", "two.KMO"}, nullptr, 2, "", "'two.KMO'"},
    };
    for (const Case& c : cases) {
        const std::string what = c.arguments.join(' ').toStdString();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
        if (c.display) env.insert("DISPLAY", c.display);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(KINEMO_PROGRAM, c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000)) << what;
        const std::string out = program.readAllStandardOutput().toStdString();
        const std::string err = program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(program.exitCode(), c.status) << what;
        EXPECT_TRUE(out.find(c.out) != out.npos && err.find(c.err) != err.npos) << what << "\n" << out << err;
        // Help and version on standard output alone; a refusal on standard error alone,
        // one line for the display, the usage after a wrong argument.
        EXPECT_EQ(c.status == 0 ? err : out, "") << what;
        if (c.status == 1) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << what << err;
        } else if (c.status == 2) {
            EXPECT_NE(err.find("Usage: kinemo [options]"), err.npos) << what << err;
        }
    }
}

}  // namespace
}  // namespace kinemo
