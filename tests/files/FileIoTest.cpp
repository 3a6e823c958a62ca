#include "files/FileIo.h"
#include "tests/support/FilePermissions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace kinemo {
namespace {

class FileIo : public ::testing::Test {
protected:
    std::string pathOf(const char* name) const { return dir_.filePath(name).toStdString(); }
    QStringList entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
    std::string contentOf(const char* name) const {
        auto result = readWholeFile(pathOf(name));
        return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "(unreadable)";
    }

    QTemporaryDir dir_;
};

TEST_F(FileIo, SaveCreatesOrReplacesTheWholeFile) {
    ASSERT_EQ(saveFileAtomically(pathOf("run.KMO"), std::string(5000, 'a')), std::nullopt);
    ASSERT_EQ(saveFileAtomically(pathOf("run.KMO"), "short"), std::nullopt);
    EXPECT_EQ(contentOf("run.KMO"), "short");
    EXPECT_EQ(entries(), QStringList{"run.KMO"});
}

// A write that fails half way, even for root: the file-size limit cuts it short.
TEST_F(FileIo, FailedWriteLeavesTheOldFileAndNoTemporary) {
    ASSERT_EQ(saveFileAtomically(pathOf("run.KMO"), "old content"), std::nullopt);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failure = saveFileAtomically(pathOf("run.KMO"), std::string(200000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(failure, std::string(std::strerror(EFBIG)));
    EXPECT_EQ(contentOf("run.KMO"), "old content");
    EXPECT_EQ(entries(), QStringList{"run.KMO"});
}

TEST_F(FileIo, ReadOnlyFolderRefusesTheSaveWithTheSystemsReason) {
    ASSERT_EQ(saveFileAtomically(pathOf("run.KMO"), "old content"), std::nullopt);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    std::optional<std::string> failure;
    {
        test::PermissionsBind bind;  // root, as in CI, would write all the same
        failure = saveFileAtomically(pathOf("run.KMO"), "new content");
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->empty());
    EXPECT_EQ(contentOf("run.KMO"), "old content");
    EXPECT_EQ(entries(), QStringList{"run.KMO"});
}

TEST_F(FileIo, MissingFolderOrFileIsReported) {
    const auto saveFailure = saveFileAtomically(pathOf("no-such-folder/run.KMO"), "x");
    ASSERT_TRUE(saveFailure.has_value());
    EXPECT_FALSE(saveFailure->empty());

    const auto readResult = readWholeFile(pathOf("missing.KMO"));
    ASSERT_TRUE(std::holds_alternative<ReadFailure>(readResult));
    EXPECT_FALSE(std::get<ReadFailure>(readResult).reason.empty());
}

TEST_F(FileIo, OversizedFileIsNotRead) {
    ASSERT_EQ(saveFileAtomically(pathOf("big.KMO"), std::string(101, 'b')), std::nullopt);
    EXPECT_EQ(std::get<std::string>(readWholeFile(pathOf("big.KMO"), 101)).size(), 101u);
    const auto result = readWholeFile(pathOf("big.KMO"), 100);
    ASSERT_TRUE(std::holds_alternative<ReadFailure>(result));
    EXPECT_EQ(std::get<ReadFailure>(result).reason, "ファイルが大きすぎます。");
}

}  // namespace
}  // namespace kinemo
