#include "log/DayLog.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/PipeWithPartner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A folder that refuses the file, a write cut short by the file-size limit (taken back
// whole) and a pipe in place of the day's file (refused, not waited on) throw.
TEST(DayLog, WritesByteForByteIntoTheFileOfTheOpenDayAndThrowsOnEveryFailure) {
    QTemporaryDir dir;
    const QString file = dir.filePath("091231.log");
    test::FakeClock clock;
    clock.dateTime = {2009, 12, 31, 9, 5, 7};
    DayLog log{clock, dir.path().toStdString()};
    log.open(false, ""), log.write(false, "never written");
    EXPECT_THROW(log.write(true, "before any open"), LogError);
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { EXPECT_THROW(log.open(true, ""), LogError); });
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    log.open(true, "ignored.log");
    clock.dateTime = {2009, 12, 31, 13, 45, 0};
    log.open(true, "");
    clock.dateTime = {2010, 1, 1, 0, 0, 1};  // still the file of the open day
    log.write(true, "-Sub reportContinuously"), log.write(false, "never written");
    const QByteArray written = readAll(file);
    test::withFileSizeLimit(written.size() + 5, [&] { EXPECT_THROW(log.write(true, "-Sub report"), LogError); });
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"091231.log"});
    EXPECT_EQ(readAll(file), "/*****************************************/\r\nQuiverlab\r\n"
                             "   logfile create 2009/12/31  9:05:07\r\n"
                             "/*****************************************/\r\n\r\n\r\n\r\n"
                             // the block of a file that exists:
                             "\r\n\r\n\r\n/************************************************/\r\n"
                             "...logging start 2009/12/31  13:45:00 ...\r\n"
                             "/************************************************/\r\n\r\n"
                             "-Sub reportContinuously\r\n");

    test::PipeWithPartner pipe(dir.filePath("100101.log").toStdString());
    EXPECT_THROW(log.open(true, ""), LogError);
}

}  // namespace
}  // namespace kinemo
