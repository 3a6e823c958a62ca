#include "log/DayLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/PipeWithPartner.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>

#include <latch>
#include <thread>

namespace kinemo {
namespace {

using test::filesIn;
using test::readFile;

const std::string kCreationBlock =
    "/*****************************************/\r\nQuiverlab\r\n"
    "   logfile create 2009/12/31  9:05:07\r\n"
    "/*****************************************/\r\n\r\n\r\n\r\n";

const std::string kLaterStartBlock =
    "\r\n\r\n\r\n/************************************************/\r\n...logging start 2009/12/31  9:05:07 ..."
    "\r\n/************************************************/\r\n\r\n";

// Another instance's line, appended at the instant this one's write fails: the
// failing write raises the file-size signal, and the other process has no such limit.
const char* otherInstancesFile = nullptr;
const std::string kOtherInstancesLine = "9:05:08 Kinemo を起動しました\r\n";
void otherInstanceAppends(int) {
    const int savedErrno = errno;
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &unlimited);
    const int fd = ::open(otherInstancesFile, O_WRONLY | O_APPEND);
    [[maybe_unused]] const ssize_t written = ::write(fd, kOtherInstancesLine.data(), kOtherInstancesLine.size());
    ::close(fd);
    errno = savedErrno;
}

class DayLogTest : public ::testing::Test {
protected:
    void SetUp() override { clock.dateTime = {2009, 12, 31, 9, 5, 7}; }
    QString dayFile() { return dir.filePath("091231.log"); }

    QTemporaryDir dir;
    test::FakeClock clock;
    DayLog log{clock, dir.path().toStdString()};
};

TEST_F(DayLogTest, AfterMidnightTheLinesStillGoIntoTheFileOfTheOpenDay) {
    log.open();
    clock.dateTime = {2010, 1, 1, 0, 0, 1};
    log.write("-Sub reportContinuously");
    EXPECT_EQ(readFile(dayFile()), kCreationBlock + "-Sub reportContinuously\r\n");
    EXPECT_EQ(filesIn(dir.path()), "091231.log");
}

TEST_F(DayLogTest, AFolderThatRefusesTheFileThrows) {
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { EXPECT_THROW(log.open(), LogError); });
}

TEST_F(DayLogTest, AWriteCutShortByTheFileSizeLimitIsTakenBackAndThrows) {
    log.open();
    test::withFileSizeLimit(kCreationBlock.size() + 5, [&] { EXPECT_THROW(log.write("-Sub report"), LogError); });
    EXPECT_EQ(readFile(dayFile()), kCreationBlock);
}

TEST_F(DayLogTest, AFailedWriteKeepsTheLineAnotherInstanceWroteMeanwhile) {
    log.open();
    const std::string path = dayFile().toStdString();
    otherInstancesFile = path.c_str();
    test::withFileSizeLimit(kCreationBlock.size(), [&] {
        std::signal(SIGXFSZ, otherInstanceAppends);
        EXPECT_THROW(log.write("9:05:07 記録を開始しました（標準測定）"), LogError);
        std::signal(SIGXFSZ, SIG_IGN);
    });
    EXPECT_EQ(readFile(dayFile()), kCreationBlock + kOtherInstancesLine);
}

TEST_F(DayLogTest, OfTwoInstancesStartingAtOnceOnANewDayExactlyOneWritesTheNewFileBlock) {
    for (int i = 0; i < 2000; ++i) {
        const std::string folder = dir.filePath(QString::number(i)).toStdString();
        ::mkdir(folder.c_str(), 0700);
        std::latch together{2};
        std::thread other([&] {
            together.arrive_and_wait();
            DayLog(clock, folder).open();
        });
        together.arrive_and_wait();
        DayLog(clock, folder).open();
        other.join();
        const std::string day = readFile(QString::fromStdString(folder + "/091231.log"));
        // Which of the two blocks gets in first is the two instances' race.
        ASSERT_TRUE(day == kCreationBlock + kLaterStartBlock || day == kLaterStartBlock + kCreationBlock) << day;
    }
}

TEST_F(DayLogTest, APipeInPlaceOfTheDaysFileIsRefusedNotWaitedOn) {
    test::PipeWithPartner pipe(dayFile().toStdString());
    EXPECT_THROW(log.open(), LogError);
}

}  // namespace
}  // namespace kinemo
