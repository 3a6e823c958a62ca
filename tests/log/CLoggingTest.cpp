#include "log/CLogging.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kinemo {
namespace {

namespace fs = std::filesystem;

class FakeClock final : public Clock {
public:
    LocalDateTime time;
    std::uint32_t timeGetTime() override { return 0; }
    LocalDateTime now() override { return time; }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "kinemo-log-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::string kNewBlock9Jan =
    "/*****************************************/\r\n"
    "Quiverlab\r\n"
    "   logfile create 2008/01/09  9:05:07\r\n"
    "/*****************************************/\r\n"
    "\r\n"
    "\r\n"
    "\r\n";

class CLoggingTest : public ::testing::Test {
protected:
    CLoggingTest() { clock.time = {2008, 1, 9, 9, 5, 7}; }
    TempDir dir;
    FakeClock clock;
    CLogging log{clock, dir.path().string()};
};

TEST_F(CLoggingTest, FirstInitOfTheDayCreatesTheFileWithTheNewFileBlock) {
    log.Init(true, "ignored.log");
    const fs::path expected = dir.path() / "080109.log";
    EXPECT_EQ(log.logFilePath(), expected.string());
    EXPECT_EQ(readAll(expected), kNewBlock9Jan);
}

TEST_F(CLoggingTest, InitOnAnExistingFileAppendsTheStartBlock) {
    log.Init(true, "");
    clock.time = {2008, 1, 9, 13, 45, 0};
    log.Init(true, "");
    EXPECT_EQ(readAll(dir.path() / "080109.log"),
              kNewBlock9Jan +
                  "\r\n"
                  "\r\n"
                  "\r\n"
                  "/************************************************/\r\n"
                  "...logging start 2008/01/09  13:45:00 ...\r\n"
                  "/************************************************/\r\n"
                  "\r\n");
}

TEST_F(CLoggingTest, WriteLogAppendsExactlyTheTextAndCrLf) {
    log.Init(true, "");
    log.WriteLog(true, "-Sub cmdMode0x04_Click");
    log.WriteLog(false, "never written");
    EXPECT_EQ(readAll(log.logFilePath()), kNewBlock9Jan + "-Sub cmdMode0x04_Click\r\n");
}

TEST_F(CLoggingTest, WithoutAnEnabledInitThereIsNoFile) {
    log.Init(false, "");
    log.WriteLog(false, "text");
    EXPECT_TRUE(log.logFilePath().empty());
    EXPECT_THROW(log.WriteLog(true, "text"), LogError);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(CLoggingTest, NameIsYearMonthDayOfInitAndKeptPastMidnight) {
    clock.time = {2009, 12, 31, 23, 59, 59};
    log.Init(true, "");
    EXPECT_EQ(fs::path(log.logFilePath()).filename(), "091231.log");
    clock.time = {2010, 1, 1, 0, 0, 1};
    log.WriteLog(true, "after midnight");
    EXPECT_FALSE(fs::exists(dir.path() / "100101.log"));
    EXPECT_NE(readAll(dir.path() / "091231.log").find("after midnight\r\n"), std::string::npos);
}

TEST_F(CLoggingTest, UnwritableDirectoryIsReportedAndNothingIsWritten) {
    // A regular file in place of the directory defeats even a superuser.
    const fs::path notADirectory = dir.path() / "plain-file";
    std::ofstream(notADirectory) << "x";
    CLogging blocked(clock, notADirectory.string());
    EXPECT_THROW(blocked.Init(true, ""), LogError);
    EXPECT_EQ(readAll(notADirectory), "x");

    log.Init(true, "");
    fs::remove_all(dir.path());
    EXPECT_THROW(log.WriteLog(true, "lost"), LogError);
    EXPECT_FALSE(fs::exists(dir.path()));
}

}  // namespace
}  // namespace kinemo
