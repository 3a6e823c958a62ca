#include "log/CLogging.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/PipeWithPartner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace kinemo {
namespace {

class CLoggingTest : public ::testing::Test {
protected:
    CLoggingTest() { clock.dateTime = {2009, 12, 31, 9, 5, 7}; }
    QByteArray content(const char* name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir dir;
    test::FakeClock clock;
    CLogging log{clock, dir.path().toStdString()};
};

TEST_F(CLoggingTest, BlocksAndLinesByteForByteInTheFileOfTheInitDay) {
    log.Init(true, "ignored.log");
    EXPECT_EQ(log.logFilePath(), dir.filePath("091231.log").toStdString());
    clock.dateTime = {2009, 12, 31, 13, 45, 0};
    log.Init(true, "");
    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    log.WriteLog(true, "-Sub cmdMode0x04_Click");
    log.WriteLog(false, "never written");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"091231.log"});
    EXPECT_EQ(content("091231.log"),
              "/*****************************************/\r\n"
              "Quiverlab\r\n"
              "   logfile create 2009/12/31  9:05:07\r\n"
              "/*****************************************/\r\n"
              "\r\n"
              "\r\n"
              "\r\n"
              // the block of a file that exists:
              "\r\n"
              "\r\n"
              "\r\n"
              "/************************************************/\r\n"
              "...logging start 2009/12/31  13:45:00 ...\r\n"
              "/************************************************/\r\n"
              "\r\n"
              "-Sub cmdMode0x04_Click\r\n");
}

TEST_F(CLoggingTest, WithoutAnEnabledInitThereIsNoFile) {
    log.Init(false, "");
    log.WriteLog(false, "text");
    EXPECT_TRUE(log.logFilePath().empty());
    EXPECT_THROW(log.WriteLog(true, "text"), LogError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(CLoggingTest, UnwritableDirectoryRaisesAnErrorAndNothingIsWritten) {
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        test::PermissionsBind bind;  // root, as in CI, would write all the same
        EXPECT_THROW(log.Init(true, ""), LogError);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A write cut short by the file-size limit takes back what it wrote; a pipe in
// place of the day's file is refused rather than waited on.
TEST_F(CLoggingTest, AWriteThatDoesNotReachTheFileWholeRaisesAnErrorAndLeavesTheFileAsItWas) {
    log.Init(true, "");
    const QByteArray before = content("091231.log");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size()) + 5;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(log.WriteLog(true, "-Sub cmdMode0x04_Click"), LogError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(content("091231.log"), before);

    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    test::PipeWithPartner pipe(dir.filePath("100101.log").toStdString());
    ASSERT_TRUE(pipe.made());
    EXPECT_THROW(log.Init(true, ""), LogError);
}

}  // namespace
}  // namespace kinemo
