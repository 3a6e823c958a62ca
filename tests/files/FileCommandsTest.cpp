#include "display/PlotSurface.h"
#include "files/DataFormat.h"
#include "files/FileIo.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/PipeWithPartner.h"
#include "ui/StartupFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <fstream>

#include <sys/prctl.h>
#include <sys/wait.h>

namespace kinemo {
namespace {

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}
void writeAll(const QString& path, const std::string& bytes) { std::ofstream(path.toStdString()) << bytes; }
std::string filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).join(' ').toStdString();
}
QString loadFailed(const QString& why) { return "データファイルを読み込めませんでした。\n" + why; }
QString saveFailed(const QString& why) { return "データを保存できませんでした。\n" + why; }
const QString kNotRegular = "通常のファイルではありません。";

// A header and `samples` lines "v,v,v", v counting up from `first` by `step`.
std::string dataFile(int samples, int first = 1, int step = 0, std::string head = "Kinemo\r\n\"\"\r\n1.05\r\n") {
    for (int i = 0; i < samples; ++i) {
        const std::string v = std::to_string((first + i * step) % 256);
        head += v + ',' + v + ',' + v + "\r\n";
    }
    return head;
}
const std::string flatRun = dataFile(2001, 131, 0, "\"Kinemo\"\r\n\"\"\r\n1.05\r\n");  // saved before any run

Run loaded(std::string_view file) { return std::get<Run>(parseDataFile(file)); }
// The first `n` samples of a loaded run, and the next one, which must be padding.
std::vector<AccTriple> first(const Run& run, std::size_t n) {
    return {run.samples.begin(), run.samples.begin() + static_cast<std::ptrdiff_t>(n + 1)};
}
// "foreign" or the error's message; empty for a file that loads.
std::string refusal(std::string_view bytes) {
    const ParseResult result = parseDataFile(bytes);
    if (const auto* error = std::get_if<FormatError>(&result)) return error->message();
    return std::holds_alternative<SignatureMismatch>(result) ? "foreign" : "";
}

TEST(DataFileRead, TakesWhatASpreadsheetWritesBack) {
    using Samples = std::vector<AccTriple>;
    EXPECT_EQ(first(loaded(dataFile(0) + "1,2\r\n3,4\r\n5,6\r\n"), 2), (Samples{{1, 2, 3}, {4, 5, 6}, kZeroSample}));
    EXPECT_EQ(loaded(dataFile(2002)).samples[2001], (AccTriple{1, 1, 1}));
    // LF line ends, byte-order mark, padded rows, blanks before fields, quoted numbers.
    const kinemo::Run padded = loaded("\xEF\xBB\xBF\"Kinemo\",,\n 2026/12/06 9:05,,\n\"1.05\",,\n 1, \"2\" ,3,,\n");
    EXPECT_EQ(padded.measuredAt, "2026/12/06 9:05");
    EXPECT_EQ(first(padded, 1), (Samples{{1, 2, 3}, kZeroSample}));
    // An empty date cell is a row of empty fields; blank rows end the file.
    EXPECT_EQ(first(loaded("Kinemo,,\r\n,,\r\n1.05,,\r\n7,7,7\r\n\r\n,,\r\n"), 1), (Samples{{7, 7, 7}, kZeroSample}));
    // "２０２６年" as Japanese Windows writes it (CP932).
    EXPECT_EQ(loaded("Kinemo\r\n\"\x82\x51\x82\x4f\x82\x51\x82\x55\x94\x4e\"\r\n1\r\n").measuredAt, "２０２６年");
    EXPECT_EQ(first(loaded(dataFile(0) + "+1,1.0,01\r\n-0,255.,0\r\n"), 2), (Samples{{1, 1, 1}, {0, 255, 0}, kZeroSample}));
    for (const float period : {0.95f, 0.04578f, 1500.0f})  // 1500 / 32767 < period <= 1500
        EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n" + std::to_string(period) + "\r\n").samplePeriod, period);
}

TEST(DataFileRead, RefusesAFileWithTheLineAtFault) {
    const std::string two = dataFile(1), noPeriod = "Kinemo\r\n\"\"\r\n";  // after `two` comes line 5
    const std::pair<std::string, std::string> cases[] = {
        {"\"kinemo\"\r\n\"\"\r\n1.05\r\n", "foreign"},
        {" \r\n,,\r\n", "1行目: ファイルが空です。"},
        {"Kinemo\r\n\"x\"\r\n", "2行目: ファイルが見出しの途中で終わっています。"},
        {"Kinemo\r\n\"\xff\xfe\"\r\n1.05\r\n", "2行目: 測定日時の文字コードを判別できません。"},
        {noPeriod + ",,\r\n1,2,3\r\n", "3行目: サンプリング周期が空です。"},
        {noPeriod + "1e2\r\n", "3行目: サンプリング周期が数値ではありません。"},
        {noPeriod + "0.04577\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {noPeriod + "1500.001\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {two + "131,131\r\n", "5行目: ファイルがサンプルの途中で終わっています。"},
        {two + "119,114,\r\n1,2,\r\n3,4,\r\n", "5行目: 値が空です。"},
        {two + "\r\n131,131,131\r\n", "5行目: 値が空です。"},
        {two + "131,1.3.1,131\r\n", "5行目: 値が数値ではありません。"},
        {two + "131,131,256\r\n", "5行目: 値が0から255の範囲にありません。"},
        {two + "131,131.5,131\r\n", "5行目: 値が整数ではありません。"},
        {two + "131,\"131,131\r\n", "5行目: 引用符が閉じられていません。"},
        {dataFile(2003), "2006行目: サンプルが2002個を超えています。"},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(refusal(bytes), expected) << bytes.substr(0, 40);
}

class FileCommandsTest : public test::MainWindowFixture {
protected:
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void use(QAction* action, const QString& file) {
        dialogs.answers.push_back(file);
        action->trigger();
    }
    void load(const QString& file) { use(window->actions().loadRun, file); }
    void save(const QString& file) { use(window->actions().saveRun, file); }
    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, SavesOverAnOldFileByteExactlyAndLoadsBackIntoTheViewer) {
    use(window->actions().saveRun, ""), use(window->actions().loadRun, "");  // cancelled
    EXPECT_TRUE(filesIn(dir.path()).empty() && c().viewerScrollBar->isHidden());
    writeAll(path("run.KMO"), std::string(100000, 'x'));
    save(path("run.KMO"));
    EXPECT_EQ(readAll(path("run.KMO")), flatRun);
    for (int i = 0; i < kStoreSize; ++i) s().recorded.samples[i] = {std::uint8_t(i % 256), std::uint8_t(i / 8), 77};
    s().recorded.measuredAt = "２０２６年 9:05:07", s().recorded.samplePeriod = 1.052342f;
    save(path("run.KMO"));
    load(path("run.KMO"));
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().toStdString();
    EXPECT_EQ(filesIn(dir.path()), "run.KMO");
    s().recorded.samples[2001] = kZeroSample;  // entry 2001 is not saved
    EXPECT_TRUE(s().loaded.samples == s().recorded.samples && s().loaded.measuredAt == s().recorded.measuredAt);
    EXPECT_EQ(s().loaded.samplePeriod, 1.052342f);
    EXPECT_TRUE(s().viewed == StoredRun::Loaded && !c().viewerScrollBar->isHidden());
    // A shorter file leaves nothing of the longer one behind.
    writeAll(path("short.csv"), dataFile(3, 50, 1));
    load(path("short.csv"));
    const SampleStore& store = s().loaded.samples;
    EXPECT_EQ(store[2], (AccTriple{52, 52, 52}));
    EXPECT_EQ(std::count(store.begin() + 3, store.end(), kZeroSample), kStoreSize - 3);
}

// Loads through the menu and as "kinemo FILE" (once the event loop runs), then saves
// into a folder that refuses the new file and over a pipe.
TEST_F(FileCommandsTest, ARefusedLoadOrSaveSaysWhyAndChangesNothing) {
    const std::string good = dataFile(2001, 40, 1);
    writeAll(path("good.csv"), good);
    load(path("good.csv"));
    const SampleStore store = s().loaded.samples;
    const QImage screen = c().plot->grab().toImage();
    writeAll(path("foreign.csv"), "time,x,y,z\r\n1,2,3,4\r\n");
    writeAll(path("blank.csv"), dataFile(0) + "131,,131\r\n");
    test::PipeWithPartner pipe(path("pipe.kmo").toStdString());
    const std::pair<const char*, QString> cases[] = {
        {"foreign.csv", "開こうとしたファイルはKinemoのデータファイルではないようです。"},
        {"blank.csv", loadFailed("4行目: 値が空です。")},
        {"missing.csv", loadFailed(std::strerror(ENOENT))},
        {"pipe.kmo", loadFailed(kNotRegular)},
    };
    for (const bool atStart : {false, true}) {
        for (const auto& [name, message] : cases) {
            dialogs.messages.clear();
            if (atStart) loadWhenRunning(*window, window->fileCommands(), path(name));
            EXPECT_TRUE(dialogs.messages.empty());
            atStart ? QCoreApplication::processEvents() : load(path(name));
            EXPECT_EQ(dialogs.messages, std::vector<QString>{message}) << name;
            EXPECT_TRUE(s().loaded.samples == store && c().plot->grab().toImage() == screen) << name;
        }
    }
    dialogs.messages.clear();
    const std::string files = filesIn(dir.path());
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { save(path("good.csv")); });
    save(path("pipe.kmo"));
    EXPECT_EQ(dialogs.messages, (std::vector{saveFailed(std::strerror(EACCES)), saveFailed(kNotRegular)}));
    EXPECT_TRUE(pipe.intact() && filesIn(dir.path()) == files && readAll(path("good.csv")) == good);
}

TEST_F(FileCommandsTest, TheLogNamesTheSavedFile) {
    save(path("run.KMO"));
    EXPECT_EQ(log.events.back(), "データを保存しました：" + path("run.KMO").toStdString());
}

TEST_F(FileCommandsTest, TheLogGivesTheReasonOfARefusedSave) {
    test::PipeWithPartner pipe(path("pipe.kmo").toStdString());
    save(path("pipe.kmo"));
    EXPECT_EQ(log.events.back(),
              "データを保存できませんでした：" + path("pipe.kmo").toStdString() + "（通常のファイルではありません。）");
}

TEST_F(FileCommandsTest, TheLogNamesTheLoadedFile) {
    writeAll(path("good.csv"), dataFile(2001, 40, 1));
    load(path("good.csv"));
    EXPECT_EQ(log.events.back(), "データファイルを読み込みました：" + path("good.csv").toStdString());
}

TEST_F(FileCommandsTest, TheLogGivesTheReasonOfARefusedLoad) {
    writeAll(path("blank.csv"), dataFile(0) + "131,,131\r\n");
    load(path("blank.csv"));
    EXPECT_EQ(log.events.back(),
              "データファイルを読み込めませんでした：" + path("blank.csv").toStdString() + "（4行目: 値が空です。）");
}

// A save over an old file cut short by the file-size limit at every size up to the
// whole file, or killed at any moment, leaves one of the two whole files and nothing else.
TEST(FileIo, ASaveCutShortOrKilledLeavesOneWholeFileAndNoOther) {
    QTemporaryDir memory(QStringLiteral("/dev/shm/kinemo-XXXXXX")), disk;  // tmpfs: no time spent syncing
    const QTemporaryDir& dir = memory.isValid() ? memory : disk;
    const QString path = dir.filePath("run.kmo");
    writeAll(path, "old");
    for (rlim_t limit = 0; limit <= flatRun.size(); ++limit) {
        std::optional<std::string> error;
        test::withFileSizeLimit(limit, [&] { error = saveFileAtomically(path.toStdString(), flatRun); });
        const bool whole = limit == flatRun.size();
        ASSERT_EQ(error, whole ? std::nullopt : std::optional(std::string(std::strerror(EFBIG)))) << limit;
        ASSERT_EQ(readAll(path), whole ? flatRun : "old") << limit;
        ASSERT_EQ(filesIn(dir.path()), "run.kmo") << limit;
    }
    EXPECT_EQ(std::get<ReadFailure>(readWholeFile(path.toStdString(), 1000)).reason, "ファイルが大きすぎます。");

    const std::string one(20000, '1'), two(26000, '2');
    // The save's own child may outlive a killed saver; adopted, it is waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    writeAll(path, one);
    for (int kill = 0; kill < 300; ++kill) {
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        for (bool odd = false; saver == 0; odd = !odd) saveFileAtomically(path.toStdString(), odd ? one : two);
        usleep(200 + kill * 37 % 3000);
        ::kill(saver, SIGKILL);
        while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {}
        const std::string left = readAll(path);
        ASSERT_TRUE(left == one || left == two) << kill;
        ASSERT_EQ(filesIn(dir.path()), "run.kmo") << kill;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
}  // namespace kinemo
