#include "log/EventLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace kinemo {
namespace {

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override { clock.dateTime = {2026, 12, 7, 8, 30, 5}; }
    QString folder() { return dir.filePath("state/kinemo"); }
    QString dayFile() { return folder() + "/261207.log"; }

    QTemporaryDir dir;
    test::FakeClock clock;
    std::ostringstream errors;
    DayEventLog log{clock, folder().toStdString(), errors};
};

TEST_F(EventLogTest, AnEventWithALineEndStaysOneLine) {
    log.start();
    log.record("データを保存しました：/tmp/a\nb.KMO");
    const std::string day = test::readFile(dayFile());
    EXPECT_TRUE(day.ends_with("\r\n8:30:05 データを保存しました：/tmp/a b.KMO\r\n")) << day;
}

TEST_F(EventLogTest, TheMissingFoldersAreMadePrivateToTheUser) {
    log.start();
    EXPECT_EQ(QFileInfo(folder()).permissions() & 0x0077, 0) << "group and others may not look in";
}

TEST_F(EventLogTest, AFolderThatCannotBeMadeIsReportedOnceOnStandardError) {
    test::inReadOnlyFolder(dir.path().toStdString(), [&] {
        log.start();
        log.record("one");
        log.record("two");
    });
    const std::string said = errors.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

}  // namespace
}  // namespace kinemo
