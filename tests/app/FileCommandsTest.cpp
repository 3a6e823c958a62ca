#include "app/FileCommands.h"
#include "files/DataFormat.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/PipeWithPartner.h"
#include "tests/support/TestFiles.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <cstring>

namespace kinemo {
namespace {

using test::filesIn;
using test::readFile;
using test::writeFile;

const std::string kBlankValueFile = "Kinemo\r\n\"\"\r\n1.05\r\n131,,131\r\n";

class FileCommandsTest : public test::MainWindowFixture {
protected:
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void use(QAction* item, const QString& answer) {
        dialogs.answers.push_back(answer);
        item->trigger();
    }
    void save(const QString& answer) { use(window->actions().saveRun, answer); }
    void load(const QString& answer) { use(window->actions().loadRun, answer); }
    std::vector<std::string> lastTwoLogLines() { return {log.events.end() - 2, log.events.end()}; }
    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, ACancelledDialogSavesAndLoadsNothing) {
    save("");
    load("");
    EXPECT_EQ(dialogs.messages, std::vector<QString>{});
}

// A run in progress, or one given up for the viewer, leaves part of a run in the store
// under the previous run's period; the next whole run can be saved.
TEST_F(FileCommandsTest, ASaveOfAnUnfinishedRunIsRefusedBeforeAnyDialog) {
    c().calibrateButton->click();
    save(path("run.KMO"));
    window->actions().showRecordedRun->trigger();
    save(path("run.KMO"));
    EXPECT_EQ(dialogs.answers.size(), 2u) << "no dialog was asked, so no file was written";
    EXPECT_EQ(dialogs.messages, (std::vector<QString>{"記録中は保存できません。記録が終わってから保存してください。",
                                                      "最後の記録は途中で中止されたため、保存できません。"
                                                      "もう一度記録してから保存してください。"}));
    EXPECT_EQ(log.events, (std::vector<std::string>{"リモコンが見つかりません。探し続けます。",
                                                    "記録を開始しました（標準測定）",
                                                    "データを保存しませんでした（記録中のため）",
                                                    "記録を中止しました（記録中にデータの表示を開いたため）",
                                                    "データを保存しませんでした（最後の記録が途中で中止されたため）"}));
    c().calibrateButton->click();
    for (int i = 0; i < kRunLength; ++i) tick();
    window->actions().saveRun->trigger();
    EXPECT_EQ(filesIn(dir.path()), "run.KMO");
}

TEST_F(FileCommandsTest, ARunSavedOverAnOldFileLoadsBackWholeIntoTheViewer) {
    for (int i = 0; i < kStoreSize; ++i)
        s().recorded.samples[i] = {std::uint8_t(i % 256), std::uint8_t(i / 8), 77};
    s().recorded.measuredAt = "２０２６年 9:05:07";
    s().recorded.samplePeriod = 1.052342f;
    writeFile(path("run.KMO"), std::string(100000, 'x'));
    save(path("run.KMO"));
    load(path("run.KMO"));
    ASSERT_EQ(dialogs.messages, std::vector<QString>{});
    s().recorded.samples[2001] = kZeroSample;  // entry 2001 is not saved
    EXPECT_EQ(s().loaded.samples, s().recorded.samples);
    EXPECT_EQ(s().loaded.measuredAt, "２０２６年 9:05:07");
    EXPECT_EQ(s().loaded.samplePeriod, 1.052342f);
    EXPECT_EQ(s().viewed, StoredRun::Loaded);
}

TEST_F(FileCommandsTest, ARefusedLoadSaysWhyAndKeepsTheLoadedRun) {
    kinemo::Run good;
    good.samples.fill({40, 90, 200});
    writeFile(path("good.csv"), writeDataFile(good));
    load(path("good.csv"));
    const SampleStore shown = s().loaded.samples;
    writeFile(path("foreign.csv"), "time,x,y,z\r\n1,2,3,4\r\n");
    writeFile(path("blank.csv"), kBlankValueFile);
    const QString failed = "データファイルを読み込めませんでした。\n";
    const std::pair<const char*, QString> cases[] = {
        {"foreign.csv", "開こうとしたファイルはKinemoのデータファイルではないようです。"},
        {"blank.csv", failed + "4行目：値が空です。"},
        {"missing.csv", failed + std::strerror(ENOENT)},
    };
    for (const auto& [name, message] : cases) {
        dialogs.messages.clear();
        load(path(name));
        EXPECT_EQ(dialogs.messages, std::vector<QString>{message}) << name;
        EXPECT_EQ(s().loaded.samples, shown) << name;
    }
}

TEST_F(FileCommandsTest, ARefusedSaveSaysWhyAndLeavesTheFolderAsItWas) {
    writeFile(path("old.csv"), "old");
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { save(path("old.csv")); });
    EXPECT_EQ(dialogs.messages, std::vector<QString>{"データを保存できませんでした。\n" + QString(std::strerror(EACCES))});
    EXPECT_EQ(filesIn(dir.path()), "old.csv");
    EXPECT_EQ(readFile(path("old.csv")), "old");
}

TEST_F(FileCommandsTest, TheDayLogNamesTheSavedAndTheLoadedFile) {
    save(path("run.KMO"));
    load(path("run.KMO"));
    const std::string file = path("run.KMO").toStdString();
    EXPECT_EQ(lastTwoLogLines(), (std::vector{"データを保存しました：" + file, "データファイルを読み込みました：" + file}));
}

TEST_F(FileCommandsTest, TheDayLogGivesTheReasonOfARefusedSaveOrLoad) {
    test::PipeWithPartner pipe(path("pipe.kmo").toStdString());
    save(path("pipe.kmo"));
    writeFile(path("blank.csv"), kBlankValueFile);
    load(path("blank.csv"));
    const std::string blank = path("blank.csv").toStdString();
    EXPECT_EQ(lastTwoLogLines(), (std::vector{"データを保存できませんでした：" + pipe.path + "（通常のファイルではありません。）",
                                              "データファイルを読み込めませんでした：" + blank + "（4行目：値が空です。）"}));
}

}  // namespace
}  // namespace kinemo
