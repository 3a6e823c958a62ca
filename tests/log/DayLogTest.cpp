#include "log/DayLog.h"
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

class DayLogTest : public ::testing::Test {
protected:
    DayLogTest() { clock.dateTime = {2009, 12, 31, 9, 5, 7}; }
    QByteArray content(const char* name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir dir;
    test::FakeClock clock;
    DayLog log{clock, dir.path().toStdString()};
};

TEST_F(DayLogTest, BlocksAndLinesByteForByteInTheFileOfTheOpenDay) {
    log.open(true, "ignored.log");
    EXPECT_EQ(log.logFilePath(), dir.filePath("091231.log").toStdString());
    clock.dateTime = {2009, 12, 31, 13, 45, 0};
    log.open(true, "");
    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    log.write(true, "-Sub reportContinuously");
    log.write(false, "never written");
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
              "-Sub reportContinuously\r\n");
}

TEST_F(DayLogTest, WithoutAnEnabledOpenThereIsNoFile) {
    log.open(false, "");
    log.write(false, "text");
    EXPECT_TRUE(log.logFilePath().empty());
    EXPECT_THROW(log.write(true, "text"), LogError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(DayLogTest, UnwritableDirectoryRaisesAnErrorAndNothingIsWritten) {
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        test::PermissionsBind bind;  // root, as in CI, would write all the same
        EXPECT_THROW(log.open(true, ""), LogError);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// A write cut short by the file-size limit takes back what it wrote; a pipe in
// place of the day's file is refused rather than waited on.
TEST_F(DayLogTest, AWriteThatDoesNotReachTheFileWholeRaisesAnErrorAndLeavesTheFileAsItWas) {
    log.open(true, "");
    const QByteArray before = content("091231.log");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size()) + 5;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(log.write(true, "-Sub reportContinuously"), LogError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(content("091231.log"), before);

    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    test::PipeWithPartner pipe(dir.filePath("100101.log").toStdString());
    ASSERT_TRUE(pipe.made());
    EXPECT_THROW(log.open(true, ""), LogError);
}

}  // namespace
}  // namespace kinemo
