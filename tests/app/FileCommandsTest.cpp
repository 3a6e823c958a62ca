#include "files/DataFormat.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/PipeWithPartner.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

namespace kinemo {
namespace {

using test::readFile;
using test::writeFile;

class FileCommandsTest : public test::MainWindowFixture {
protected:
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void use(QAction* item, const QString& answer) {
        dialogs.answers.push_back(answer);
        item->trigger();
    }
    void save(const QString& answer) { use(window->actions().saveRun, answer); }
    void load(const QString& answer) { use(window->actions().loadRun, answer); }
    // A save refused before its dialog, which leaves the answer unused.
    void refusedSave() {
        save(path("refused.KMO"));
        EXPECT_EQ(dialogs.answers.size(), 1u) << "no dialog was asked";
        dialogs.answers.clear();
    }
    // A written file's first four lines and its length in lines.
    std::string fileHead(const char* name) {
        const std::string bytes = readFile(path(name));
        std::size_t end = 0;
        for (int line = 0; line < 4; ++line) end = bytes.find('\n', end) + 1;
        return bytes.substr(0, end) + std::to_string(std::ranges::count(bytes, '\n')) + " lines";
    }
    QTemporaryDir dir;
};

// The two stored runs through loads, views and saves, before, during and after a run.
TEST_F(FileCommandsTest, TheLoadedAndTheRecordedRunThroughLoadsViewsAndSaves) {
    SampleRun fileRun;
    fileRun.samples.fill({40, 41, 42});
    fileRun.samplePeriod = 0.8f;
    fileRun.measuredAt = "2026/11/30 8:00:00";
    writeFile(path("long.KMO"), writeDataFile(fileRun));
    writeFile(path("short.csv"), "Kinemo\r\n\"short\"\r\n1.25\r\n1,2,3\r\n4,5,6\r\n");
    writeFile(path("foreign.csv"), "time,x,y,z\r\n");
    writeFile(path("blank.csv"), "Kinemo\r\n\"\"\r\n1.05\r\n131,,131\r\n");
    save(path("before.KMO"));
    EXPECT_EQ(fileHead("before.KMO"), "\"Kinemo\"\r\n\"\"\r\n1.05\r\n131,131,131\r\n2004 lines");
    save("");
    load("");
    test::PipeWithPartner pipe(path("pipe.KMO").toStdString());
    save(path("pipe.KMO"));
    test::inReadOnlyFolder(dir.path().toStdString(), [&] { save(path("locked.KMO")); });
    expected["messages"] = "2, last データを保存できませんでした。 … " + std::string(std::strerror(EACCES));
    expected["day log"] = "4 lines, last データを保存できませんでした：" + path("locked.KMO").toStdString() + "（" +
                          std::strerror(EACCES) + "）";
    EXPECT_WINDOW() << "cancelled dialogs, a pipe and a folder that refuses the file change nothing";
    load(path("long.KMO"));
    expectViewer("loaded", "2026/11/30 8:00:00", "124.9 HZ", "1..1874 at 1874");
    expected["plot"] = "black X 0..400 Y 0..400 Z 0..400";
    expected["loaded run"] = "0.8000 \"2026/11/30 8:00:00\" 40,41,42 40,41,42 .. 40,41,42 | 40,41,42";
    expected["day log"] = "5 lines, last データファイルを読み込みました：" + path("long.KMO").toStdString();
    EXPECT_WINDOW();
    c().viewerScrollBar->setValue(1);
    load(path("foreign.csv"));
    expected["scroll bar"] = "1..1874 at 1";
    expected["seconds"] = "14 15 16 17 18 19 from x -98";
    expected["plot"] = "black X 0..100 Y 0..100 Z 0..100";
    expected["messages"] = "3, last 開こうとしたファイルはKinemoのデータファイルではないようです。";
    expected["day log"] = "6 lines, last データファイルを読み込めませんでした：" + path("foreign.csv").toStdString() +
                          "（開こうとしたファイルはKinemoのデータファイルではないようです。）";
    EXPECT_WINDOW() << "a refused file changes nothing";
    load(path("blank.csv"));
    expected["messages"] = "4, last データファイルを読み込めませんでした。 … 4行目：値が空です。";
    expected["day log"] = "7 lines, last データファイルを読み込めませんでした：" + path("blank.csv").toStdString() +
                          "（4行目：値が空です。）";
    EXPECT_WINDOW();
    load(path("short.csv"));
    expectViewer("loaded", "short", "80 HZ", "1..1200 at 1200");
    expected["seconds"] = "0 1 2 3 4 5 from x 0";
    expected["plot"] = "black X 0..2 Y 0..1 Z 0..500";
    expected["loaded run"] = "1.2500 \"short\" 1,2,3 4,5,6 .. 131,131,131 | 131,131,131";
    expected["day log"] = "8 lines, last データファイルを読み込みました：" + path("short.csv").toStdString();
    EXPECT_WINDOW() << "a shorter file puts the entries past its end back to the zero level";
    window->actions().showRecordedRun->trigger();
    expectViewer("recorded", "", "95.2 HZ", "1..1428 at 1428");
    expected["plot"] = "black Z 0..500";
    EXPECT_WINDOW() << "the recorded run before any run";
    window->actions().showLoadedRun->trigger();
    window->actions().showLoadedRun->trigger();
    expectViewer("loaded", "short", "80 HZ", "1..1200 at 1200");
    expected["plot"] = "black X 0..2 Y 0..1 Z 0..500";
    EXPECT_WINDOW();
    c().recordButton->click();
    refusedSave();
    expectRunStart("recording standard", "2026/12/06 9:05:07", "測定・記録中です。しばらくお待ちください。 | 0/2000");
    expected["recorded run"] = "1.0500 \"2026/12/06 9:05:07\" 131,131,131 131,131,131 .. 131,131,131 | 131,131,131";
    expected["messages"] = "5, last 記録中は保存できません。記録が終わってから保存してください。";
    expected["day log"] = "10 lines, last データを保存しませんでした（記録中のため）";
    EXPECT_WINDOW();
    tick();
    load(path("long.KMO"));
    refusedSave();
    expectViewer("loaded", "2026/11/30 8:00:00", "124.9 HZ", "1..1874 at 1874");
    expected["record button"] = "記録開始";
    expected["plot"] = "black X 0..400 Y 0..400 Z 0..400";
    expected["recorded run"] = "1.0500 \"2026/12/06 9:05:07\" 0,0,0 131,131,131 .. 131,131,131 | 131,131,131";
    expected["loaded run"] = "0.8000 \"2026/11/30 8:00:00\" 40,41,42 40,41,42 .. 40,41,42 | 40,41,42";
    expected["messages"] =
        "6, last 最後の記録は途中で中止されたため、保存できません。もう一度記録してから保存してください。";
    expected["day log"] = "13 lines, last データを保存しませんでした（最後の記録が途中で中止されたため）";
    EXPECT_WINDOW() << "a load gives the run up, and a given-up run is not saved";
    clock.dateTime = {2026, 12, 8, 7, 6, 5};
    c().recordButton->click();
    ticks(kRunLength);
    dialogs.whileAsking = [this] { tick(); };
    const mode_t umask = ::umask(027);
    save(path("after.KMO"));
    ::umask(umask);
    std::filesystem::create_symlink("after.KMO", path("link.KMO").toStdString());
    save(path("link.KMO"));
    EXPECT_EQ(fileHead("after.KMO"), "\"Kinemo\"\r\n\"2026/12/08 7:06:05\"\r\n1.2\r\n0,0,0\r\n2004 lines");
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.KMO").toStdString())) << "a link stays a link";
    EXPECT_EQ(std::filesystem::status(path("after.KMO").toStdString()).permissions(), std::filesystem::perms(0640));
    expected["mode"] = "monitoring, next run standard";
    expected["monitor button"] = "モニター停止";
    expected["date"] = "2026/12/08 7:06:05";
    expected["rate"] = "83.3 HZ";
    expected["strip"] = "測定・記録が終了しました。 | 2000/2000";
    expected["scroll bar"] = "hidden";
    expected["plot"] = "black Z 0..118";
    expected["recorded run"] = "1.2000 \"2026/12/08 7:06:05\" 0,0,0 0,0,0 .. 0,0,0 | 131,131,131";
    expected["day log"] = "17 lines, last データを保存しました：" + path("link.KMO").toStdString();
    EXPECT_WINDOW() << "the save writes the recorded run, not the loaded one";
    window->actions().showRecordedRun->trigger();
    expectViewer("recorded", "2026/12/08 7:06:05", "83.3 HZ", "1..1249 at 1249");
    expected["plot"] = "black Z 0..500";
    EXPECT_WINDOW() << "the recorded run at its measured period";
}

}  // namespace
}  // namespace kinemo
