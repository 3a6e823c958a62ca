#include "ui/CommandLine.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>

namespace kinemo {
namespace {

struct Outcome {
    int status = -1;  // also for a crash
    std::string out;
    std::string err;
};

// The program itself with no window system; `display`: the DISPLAY variable, if any.
Outcome runWithoutDisplay(const QStringList& arguments, const char* display = nullptr) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    if (display) env.insert("DISPLAY", display);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(KINEMO_PROGRAM, arguments);
    Outcome outcome;
    if (!program.waitForFinished(30000)) return outcome;
    if (program.exitStatus() == QProcess::NormalExit) outcome.status = program.exitCode();
    outcome.out = program.readAllStandardOutput().toStdString();
    outcome.err = program.readAllStandardError().toStdString();
    return outcome;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutputWithoutADisplay) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--help"}, "--simulate"},
        {{"-h"}, "[FILE]"},
        {{"--version"}, "Kinemo 1.0.15\n"},
    };
    for (const auto& [arguments, answer] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Outcome outcome = runWithoutDisplay(arguments);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_TRUE(contains(outcome.out, answer)) << outcome.out;
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(CommandLine, WithoutADisplayTheProgramSaysSoInOneLine) {
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "WAYLAND_DISPLAY unset"},
        {":4711", "DISPLAY=':4711'"},  // a display that does not answer
    };
    for (const auto& [display, said] : cases) {
        SCOPED_TRACE(display ? display : "no display");
        const Outcome outcome = runWithoutDisplay({"--simulate"}, display);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(contains(outcome.err, said)) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
}

TEST(CommandLine, AWrongArgumentIsRefusedWithTheUsage) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--frobnicate"}, "Unknown option 'frobnicate'"},
        {{"--simulate", "one.KMO", "two.KMO"}, "'two.KMO'"},
    };
    for (const auto& [arguments, said] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Outcome outcome = runWithoutDisplay(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(contains(outcome.err, said)) << outcome.err;
        EXPECT_TRUE(contains(outcome.err, "Usage: kinemo [options]")) << outcome.err;
    }
}

TEST(CommandLine, NoLogTurnsTheDayLogOff) {
    EXPECT_FALSE(parseCommandLine({"kinemo", "--no-log"}).options.writeLog);
}

TEST(CommandLine, AFileArgumentIsTheFileToOpenAtStart) {
    EXPECT_EQ(parseCommandLine({"kinemo", "/tmp/run.KMO"}).options.file, QStringLiteral("/tmp/run.KMO"));
}

}  // namespace
}  // namespace kinemo
