#include "files/FileIo.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/PipeWithPartner.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace kinemo {
namespace {

using test::filesIn;
using test::readFile;
using test::writeFile;

class FileIoTest : public ::testing::Test {
protected:
    // On tmpfs where there is one: the loops below save tens of thousands of times.
    QTemporaryDir memory{QStringLiteral("/dev/shm/kinemo-XXXXXX")};
    QTemporaryDir disk;
    const QTemporaryDir& dir = memory.isValid() ? memory : disk;
    const QString path = dir.filePath("run.kmo");
    const std::string newContent = std::string(30000, 'n') + "\r\n";
};

TEST_F(FileIoTest, UnderAFileSizeLimitASaveLeavesTheOldFileOrTheWholeNewOneAndNoOther) {
    writeFile(path, "old");
    for (rlim_t limit = 0; limit <= newContent.size(); ++limit) {
        const bool whole = limit == newContent.size();
        std::optional<std::string> error;
        test::withFileSizeLimit(limit, [&] { error = saveFileAtomically(path.toStdString(), newContent); });
        ASSERT_EQ(error, whole ? std::nullopt : std::optional(std::string(std::strerror(EFBIG)))) << limit;
        ASSERT_EQ(readFile(path), whole ? newContent : "old") << limit;
        ASSERT_EQ(filesIn(dir.path()), "run.kmo") << limit;
    }
}

// The save's own child may outlive a killed saver; adopted, it is waited for.
TEST_F(FileIoTest, ASaveKilledAtAnyMomentLeavesOneWholeFileAndNoOther) {
    const std::string one(20000, '1');
    const std::string two(26000, '2');
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    writeFile(path, one);
    for (int kill = 0; kill < 300; ++kill) {
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        for (bool odd = false; saver == 0; odd = !odd) saveFileAtomically(path.toStdString(), odd ? one : two);
        usleep(200 + kill * 37 % 3000);
        ::kill(saver, SIGKILL);
        while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {}
        const std::string left = readFile(path);
        ASSERT_TRUE(left == one || left == two) << kill << ": " << left.size() << " bytes";
        ASSERT_EQ(filesIn(dir.path()), "run.kmo") << kill;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST_F(FileIoTest, AFileOverTheReadLimitIsRefusedAsTooLarge) {
    writeFile(path, std::string(1001, 'x'));
    EXPECT_EQ(std::get<ReadFailure>(readWholeFile(path.toStdString(), 1000)).reason, "ファイルが大きすぎます。");
}

TEST_F(FileIoTest, APipeIsNeitherReadNorReplacedNorWaitedOn) {
    test::PipeWithPartner pipe(dir.filePath("pipe.kmo").toStdString());
    EXPECT_EQ(std::get<ReadFailure>(readWholeFile(pipe.path)).reason, "通常のファイルではありません。");
    EXPECT_EQ(saveFileAtomically(pipe.path, "bytes"), "通常のファイルではありません。");
    struct stat left {};
    ASSERT_EQ(::lstat(pipe.path.c_str(), &left), 0);
    EXPECT_TRUE(S_ISFIFO(left.st_mode)) << "the pipe was replaced";
}

}  // namespace
}  // namespace kinemo
