#include "display/PlotSurface.h"
#include "app/FileDialogs.h"
#include "files/FileIo.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/PipeWithPartner.h"
#include "ui/CommandLine.h"
#include "ui/StartupFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kinemo {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A file of `samples` samples value, value + 1, ... (each on all three axes), period 1.2.
QByteArray sampleFile(const char* date, int samples, int value) {
    QByteArray bytes = QByteArray("\"Kinemo\"\r\n\"") + date + "\"\r\n1.2\r\n";
    for (int i = 0; i < samples; ++i) {
        const QByteArray v = QByteArray::number((value + i) % 256);
        bytes += v + "," + v + "," + v + "\r\n";
    }
    return bytes;
}

std::string loadFailed(const std::string& reason) { return "データファイルを読み込めませんでした。\n" + reason; }
std::string saveFailed(const std::string& reason) { return "データを保存できませんでした。\n" + reason; }

// What a save writes before any recording run.
QByteArray flatRun() {
    QByteArray bytes = "\"Kinemo\"\r\n\"\"\r\n1.05\r\n";
    for (int i = 0; i <= 2000; ++i) bytes += "131,131,131\r\n";
    return bytes;
}

class FileCommandsTest : public test::MainWindowFixture {
protected:
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void load(const QString& file) {
        dialogs.answers.push_back(file);
        window->menuItem("loadRunAction")->trigger();
    }
    void save(const QString& file) {
        dialogs.answers.push_back(file);
        window->menuItem("saveRunAction")->trigger();
    }

    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, SaveBeforeAnyRunReplacesAnOldFileWithTheFlatRun) {
    writeAll(path("run.KMO"), QByteArray(100000, 'x'));
    save(path("run.KMO"));
    EXPECT_EQ(readAll(path("run.KMO")), flatRun());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.KMO"});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    window->menuItem("saveRunAction")->trigger();
    window->menuItem("loadRunAction")->trigger();
    const QString filter = QStringLiteral("Kinemo File|*.KMO|CSV File|*.CSV|Text File|*.TXT|");
    EXPECT_EQ(dialogs.filters, (std::vector<QString>{filter, filter}));
    EXPECT_EQ(nameFilters(filter),
              (QStringList{"Kinemo File (*.KMO *.kmo)", "CSV File (*.CSV *.csv)", "Text File (*.TXT *.txt)"}));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(c().viewerScrollBar->isHidden());
}

TEST_F(FileCommandsTest, RoundTripOpensTheViewerThenAShortFileLeavesNothingOfItBehind) {
    for (int i = 0; i < kStoreSize; ++i)
        s().samples[i] = {static_cast<std::uint8_t>(i % 256), static_cast<std::uint8_t>(i / 8), 77};
    s().measuredAt = "2026/12/06 9:05:07";
    s().samplePeriod = 1.052342f;
    save(path("run.kmo"));
    load(path("run.kmo"));
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().toStdString();
    for (int i = 0; i <= 2000; ++i) ASSERT_EQ(s().loadedSamples[i], s().samples[i]) << i;
    EXPECT_EQ(s().loadedSamples[2001], (AccTriple{131, 131, 131})) << "entry 2001 is never saved";
    EXPECT_EQ(s().loadedMeasuredAt, "2026/12/06 9:05:07");
    EXPECT_EQ(s().loadedSamplePeriod, 1.052342f);
    EXPECT_FALSE(s().showRecorded);
    EXPECT_FALSE(c().viewerScrollBar->isHidden());
    EXPECT_EQ(c().viewerScrollBar->maximum(), 1425);
    EXPECT_EQ(c().rateLabel->text(), QStringLiteral("95 HZ"));

    writeAll(path("short.csv"), sampleFile("second", 3, 50));
    load(path("short.csv"));
    ASSERT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s().loadedSamples[0], (AccTriple{50, 50, 50}));
    EXPECT_EQ(s().loadedSamples[2], (AccTriple{52, 52, 52}));
    for (int i = 3; i < kStoreSize; ++i) ASSERT_EQ(s().loadedSamples[i], (AccTriple{131, 131, 131})) << i;
    EXPECT_EQ(s().loadedMeasuredAt, "second");
    EXPECT_EQ(c().viewerScrollBar->maximum(), 1249);
}

TEST_F(FileCommandsTest, EveryFailedLoadSaysWhereAndLeavesTheLoadedRunAndTheScreenAsTheyWere) {
    writeAll(path("good.csv"), sampleFile("good", 2001, 40));
    load(path("good.csv"));
    ASSERT_TRUE(dialogs.messages.empty());
    const SampleStore store = s().loadedSamples;
    const QImage screen = c().plot->grab().toImage();
    const int scroll = c().viewerScrollBar->value();

    const std::string foreign = "開こうとしたファイルはKinemoのデータファイルではないようです。";
    const std::string head = "Kinemo\r\n\"\"\r\n1.05\r\n";
    const std::string two = head + "131,131,131\r\n";  // the next line is line 5
    std::string tooMany = head;
    for (int i = 0; i < 2003; ++i) tooMany += "1,2,3\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"time,x,y,z\r\n1,2,3,4\r\n", foreign},
        {"\"kinemo\"\r\n\"\"\r\n1.05\r\n", foreign},
        {"KINEMO\r\n\"\"\r\n1.05\r\n", foreign},
        {"\"Kinemo\r\n", foreign},
        {"", loadFailed("1行目: ファイルが空です。")},
        {"\"Kinemo\"\r\n", loadFailed("1行目: ファイルが見出しの途中で終わっています。")},
        {"Kinemo\r\n\"x\"\r\n", loadFailed("2行目: ファイルが見出しの途中で終わっています。")},
        {"Kinemo\r\n\"2026/12/06\r\n1.05\r\n", loadFailed("2行目: 引用符が閉じられていません。")},
        {"Kinemo\r\n\"\xff\xfe\"\r\n1.05\r\n", loadFailed("2行目: 測定日時の文字コードを判別できません。")},
        {"Kinemo\r\n\"\"\r\n,,\r\n1,2,3\r\n", loadFailed("3行目: サンプリング周期が空です。")},
        {"Kinemo\r\n\"\"\r\n1e2\r\n", loadFailed("3行目: サンプリング周期が数値ではありません。")},
        {"Kinemo\r\n\"\"\r\ninf\r\n", loadFailed("3行目: サンプリング周期が数値ではありません。")},
        {"Kinemo\r\n\"\"\r\n0\r\n", loadFailed("3行目: サンプリング周期が有効な範囲にありません。")},
        {"Kinemo\r\n\"\"\r\n0.04577\r\n", loadFailed("3行目: サンプリング周期が有効な範囲にありません。")},
        {"Kinemo\r\n\"\"\r\n1500.001\r\n", loadFailed("3行目: サンプリング周期が有効な範囲にありません。")},
        {"Kinemo\r\n\"\"\r\n1" + std::string(60, '0') + "\r\n", loadFailed("3行目: サンプリング周期が有効な範囲にありません。")},
        {two + "131,131\r\n", loadFailed("5行目: ファイルがサンプルの途中で終わっています。")},
        {two + "131,131,\r\n\r\n", loadFailed("5行目: 値が空です。")},
        {two + "119,114,\r\n1,2,\r\n3,4,\r\n", loadFailed("5行目: 値が空です。")},
        {two + "1,2,3,4,5,6,7,\r\n8,9\r\n", loadFailed("5行目: 値が空です。")},
        {two + "131,,131\r\n", loadFailed("5行目: 値が空です。")},
        {two + "\r\n131,131,131\r\n", loadFailed("5行目: 値が空です。")},
        {two + "131,0x10,131\r\n", loadFailed("5行目: 値が数値ではありません。")},
        {two + "131,1.3.1,131\r\n", loadFailed("5行目: 値が数値ではありません。")},
        {two + "131,131,256\r\n", loadFailed("5行目: 値が0から255の範囲にありません。")},
        {two + "-1,131,131\r\n", loadFailed("5行目: 値が0から255の範囲にありません。")},
        {two + "131,131.5,131\r\n", loadFailed("5行目: 値が整数ではありません。")},
        {two + "131,\"131,131\r\n", loadFailed("5行目: 引用符が閉じられていません。")},
        {tooMany, loadFailed("2006行目: サンプルが2002個を超えています。")},
    };
    const auto refused = [&](const QString& file, const std::string& message) {
        dialogs.messages.clear();
        load(file);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].toStdString(), message);
        EXPECT_EQ(s().loadedSamples, store);
        EXPECT_EQ(s().loadedSamplePeriod, 1.2f);
        EXPECT_EQ(s().loadedMeasuredAt, "good");
        EXPECT_EQ(c().viewerScrollBar->value(), scroll);
        EXPECT_EQ(c().plot->grab().toImage(), screen);
    };
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(bytes.substr(0, 40));
        writeAll(path("bad.csv"), QByteArray::fromStdString(bytes));
        refused(path("bad.csv"), message);
    }
    refused(path("missing.csv"), loadFailed(std::strerror(ENOENT)));
    refused(dir.path(), loadFailed("通常のファイルではありません。"));
}

// "kinemo FILE", as the file manager starts it: the menu's load once the event loop
// runs, with the menu's message for a foreign or a missing file.
TEST_F(FileCommandsTest, AFileNamedAtStartLoadsOnceRunningAsTheMenuWould) {
    writeAll(path("run.KMO"), sampleFile("start", 3, 50));
    writeAll(path("foreign.KMO"), "time,x,y,z\r\n");
    const std::pair<QString, std::string> cases[] = {
        {path("foreign.KMO"), "開こうとしたファイルはKinemoのデータファイルではないようです。"},
        {path("missing.KMO"), loadFailed(std::strerror(ENOENT))},
        {path("run.KMO"), ""},
    };
    for (const auto& [file, message] : cases) {
        const ParsedCommandLine commandLine = parseCommandLine({"kinemo", file});
        ASSERT_FALSE(commandLine.exitStatus);
        loadWhenRunning(*window, window->fileCommands(), commandLine.options.file.value());
        EXPECT_TRUE(dialogs.messages.empty() && s().showRecorded) << "loaded before the window runs";
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.messages.empty() ? "" : dialogs.messages[0].toStdString(), message);
        EXPECT_EQ(s().loadedMeasuredAt, message.empty() ? "start" : "");
        dialogs.messages.clear();
    }
    EXPECT_FALSE(s().showRecorded);
}

// A folder that refuses the new file, and a write cut short by the file-size limit
// (which binds root too) at every size up to the whole file.
TEST_F(FileCommandsTest, AFailedSaveKeepsTheOldFileLeavesNothingAndSaysWhy) {
    const QString target = path("kept.kmo");
    writeAll(target, "old contents");
    const auto onlyTarget = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); };
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        test::PermissionsBind bind;
        save(target);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(target), QByteArray("old contents"));
    EXPECT_EQ(onlyTarget(), QStringList{"kept.kmo"});
    EXPECT_EQ(dialogs.messages, std::vector<QString>{QString::fromStdString(saveFailed(std::strerror(EACCES)))});

    // Straight to the save at every limit, and through the command at one of them.
    const QByteArray fresh = flatRun();
    const std::string bytes = fresh.toStdString();
    const rlim_t viaCommand = 10000;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (rlim_t limit = 0; limit <= bytes.size(); ++limit) {
        dialogs.messages.clear();
        rlimit small = saved;
        small.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::optional<std::string> error;
        if (limit != viaCommand) error = saveFileAtomically(target.toStdString(), bytes);
        else save(target);
        setrlimit(RLIMIT_FSIZE, &saved);
        if (!dialogs.messages.empty()) error = dialogs.messages.back().toStdString();
        const bool whole = limit == bytes.size();
        const std::string reason = std::strerror(EFBIG);
        ASSERT_EQ(error, whole ? std::nullopt : std::optional(limit == viaCommand ? saveFailed(reason) : reason)) << limit;
        ASSERT_EQ(readAll(target), whole ? fresh : QByteArray("old contents")) << limit;
        ASSERT_EQ(onlyTarget(), QStringList{"kept.kmo"}) << limit;
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(FileCommandsTest, APipeIsNeitherReadNorReplacedAndNothingWaitsForIt) {
    test::PipeWithPartner pipe(path("pipe.kmo").toStdString());
    ASSERT_TRUE(pipe.made());
    load(path("pipe.kmo"));
    save(path("pipe.kmo"));
    EXPECT_TRUE(pipe.intact());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"pipe.kmo"});
    const std::string reason = "通常のファイルではありません。";
    EXPECT_EQ(dialogs.messages, (std::vector<QString>{QString::fromStdString(loadFailed(reason)),
                                                      QString::fromStdString(saveFailed(reason))}));
    EXPECT_TRUE(c().viewerScrollBar->isHidden());
}

TEST_F(FileCommandsTest, ASaveDuringARunWritesTheStoreAsItIsWhenTheDialogCloses) {
    auto& remote = hid.addWiiRemote("/dev/hidraw9");
    remote.alwaysReport = true;
    remote.repeatedReport = test::accReport(5, 6, 7);
    tick();  // finds the remote
    c().calibrateButton->click();
    tick();
    dialogs.whileOpen = [this] { tick(); tick(); };
    save(path("partial.kmo"));
    const QList<QByteArray> lines = readAll(path("partial.kmo")).split('\n');
    EXPECT_EQ(lines[3], QByteArray("5,6,7\r"));
    EXPECT_EQ(lines[5], QByteArray("5,6,7\r"));
    EXPECT_EQ(lines[6], QByteArray("131,131,131\r"));
    EXPECT_TRUE(s().run.isRecording()) << "saving does not stop the run";
}

TEST(FileIo, OversizedFileIsNotRead) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("big.KMO").toStdString();
    ASSERT_EQ(saveFileAtomically(file, std::string(101, 'b')), std::nullopt);
    EXPECT_EQ(std::get<std::string>(readWholeFile(file, 101)).size(), 101u);
    const auto result = readWholeFile(file, 100);
    ASSERT_TRUE(std::holds_alternative<ReadFailure>(result));
    EXPECT_EQ(std::get<ReadFailure>(result).reason, "ファイルが大きすぎます。");
}

// A save over an old file killed at any moment, on the disk of the tests and on
// tmpfs: the target is one of the two whole files and nothing else is left.
TEST(FileIo, ASaveKilledAtAnyMomentLeavesOneWholeFileAndNoOther) {
    const std::string one(20000, '1'), two(26000, '2');
    // The save's own child may outlive a killed saver; adopted, it is waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    QTemporaryDir disk, memory(QStringLiteral("/dev/shm/kinemo-XXXXXX"));
    for (const QTemporaryDir* dir : {&disk, &memory}) {
        if (!dir->isValid()) continue;
        const QString target = dir->filePath("run.kmo");
        writeAll(target, QByteArray::fromStdString(one));
        for (int kill = 0; kill < 150; ++kill) {
            const pid_t saver = fork();
            ASSERT_GE(saver, 0);
            if (saver == 0) {
                for (int i = 0;; ++i) saveFileAtomically(target.toStdString(), i % 2 ? one : two);
            }
            usleep(200 + kill * 37 % 3000);
            ::kill(saver, SIGKILL);
            while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {}
            const QByteArray left = readAll(target);
            ASSERT_TRUE(left == QByteArray::fromStdString(one) || left == QByteArray::fromStdString(two)) << kill;
            ASSERT_EQ(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"run.kmo"})
                << kill;
        }
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
}  // namespace kinemo
