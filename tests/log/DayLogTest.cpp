#include "log/DayLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/PipeWithPartner.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::filesIn;
using test::readFile;

const std::string kCreationBlock = "/*****************************************/\r\nQuiverlab\r\n"
                                   "   logfile create 2009/12/31  9:05:07\r\n"
                                   "/*****************************************/\r\n\r\n\r\n\r\n";

class DayLogTest : public ::testing::Test {
protected:
    void SetUp() override { clock.dateTime = {2009, 12, 31, 9, 5, 7}; }
    QString dayFile() { return dir.filePath("091231.log"); }

    QTemporaryDir dir;
    test::FakeClock clock;
    DayLog log{clock, dir.path().toStdString()};
};

TEST_F(DayLogTest, ALaterStartOnTheSameDayOpensWithTheLoggingStartBlock) {
    log.open(true, "");
    clock.dateTime = {2009, 12, 31, 13, 45, 0};
    log.open(true, "");
    EXPECT_EQ(readFile(dayFile()), kCreationBlock + "\r\n\r\n\r\n/************************************************/\r\n"
                                                    "...logging start 2009/12/31  13:45:00 ...\r\n"
                                                    "/************************************************/\r\n\r\n");
}

TEST_F(DayLogTest, AfterMidnightTheLinesStillGoIntoTheFileOfTheOpenDay) {
    log.open(true, "ignored.log");
    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    log.write(true, "-Sub reportContinuously");
    EXPECT_EQ(readFile(dayFile()), kCreationBlock + "-Sub reportContinuously\r\n");
    EXPECT_EQ(filesIn(dir.path()), "091231.log");
}

TEST_F(DayLogTest, AFolderThatRefusesTheFileThrows) {
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { EXPECT_THROW(log.open(true, ""), LogError); });
}

TEST_F(DayLogTest, AWriteCutShortByTheFileSizeLimitIsTakenBackAndThrows) {
    log.open(true, "");
    test::withFileSizeLimit(kCreationBlock.size() + 5, [&] { EXPECT_THROW(log.write(true, "-Sub report"), LogError); });
    EXPECT_EQ(readFile(dayFile()), kCreationBlock);
}

TEST_F(DayLogTest, APipeInPlaceOfTheDaysFileIsRefusedNotWaitedOn) {
    test::PipeWithPartner pipe(dayFile().toStdString());
    EXPECT_THROW(log.open(true, ""), LogError);
}

}  // namespace
}  // namespace kinemo
