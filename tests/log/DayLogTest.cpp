#include "log/DayLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kinemo
