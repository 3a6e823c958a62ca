#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace {

// The program on the offscreen platform with its state folder in `state`; killed
// once `done` holds or after ten seconds.
void runProgramUntil(const QString& state, const QStringList& arguments, const std::function<bool()>& done) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_STATE_HOME", state);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(KINEMO_PROGRAM, arguments);
    ASSERT_TRUE(program.waitForStarted());
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QThread::msleep(50);
    program.kill();
    program.waitForFinished();
}

QString logText(const QString& state) {
    const QDir folder(state + "/kinemo");
    QString text;
    for (const QString& name : folder.entryList({"*.log"}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly)) text += QString::fromUtf8(file.readAll());
    }
    return text;
}

TEST(Main, TheProgramWritesItsStartIntoTheDayLogInTheStateFolder) {
    QTemporaryDir state;
    const auto started = [&] { return logText(state.path()).contains("を起動しました（模擬リモコン）"); };
    runProgramUntil(state.path(), {"--simulate"}, started);
    EXPECT_TRUE(started()) << logText(state.path()).toStdString();
}

// A log would be there well within the two seconds: start-up takes a quarter of one.
TEST(Main, WithNoLogTheStateFolderStaysEmpty) {
    QTemporaryDir state;
    runProgramUntil(state.path(), {"--simulate", "--no-log"}, [] {
        QThread::msleep(2000);
        return true;
    });
    EXPECT_EQ(QDir(state.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
}

}  // namespace
