#include "ui/CommandLine.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>

namespace kinemo {
namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The program itself, with no window system: answers on standard output alone; a
// refusal on standard error alone, in one line for the display, with the usage after
// a wrong argument.
TEST(CommandLine, AnswersAndRefusalsNeedNoDisplay) {
    // The DISPLAY variable (nullptr: unset), the exit status and a part of what is said.
    const struct { QStringList arguments; const char* display; int status; const char* said; } cases[] = {
        {{"--help"}, nullptr, 0, "--simulate"},
        {{"-h"}, nullptr, 0, "[FILE]"},
        {{"--version"}, ":4711", 0, "Kinemo 1.0.16\n"},
        {{}, nullptr, 1, "WAYLAND_DISPLAY unset"},
        {{"--simulate"}, ":4711", 1, "DISPLAY=':4711'"},
        {{"--frobnicate"}, nullptr, 2, "Unknown option 'frobnicate'"},
        {{"--simulate", "one.KMO", "two.KMO"}, nullptr, 2, "'two.KMO'"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.arguments.join(' ').toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        if (k.display) env.insert("DISPLAY", k.display);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(KINEMO_PROGRAM, k.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        const std::string out = program.readAllStandardOutput().toStdString();
        const std::string err = program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, k.status);
        EXPECT_TRUE(contains(k.status == 0 ? out : err, k.said)) << out << err;
        EXPECT_EQ(k.status == 0 ? err : out, "") << "the other stream";
        EXPECT_EQ(contains(err, "Usage: kinemo [options]"), k.status == 2) << err;
        if (k.status == 1) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
    }
}

TEST(CommandLine, AFileArgumentIsTheFileToOpenAtStart) {
    EXPECT_EQ(parseCommandLine({"kinemo", "/tmp/run.KMO"}).options.file, QStringLiteral("/tmp/run.KMO"));
}

}  // namespace
}  // namespace kinemo
