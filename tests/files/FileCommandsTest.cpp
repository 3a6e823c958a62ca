#include "display/PlotSurface.h"
#include "files/FileCommands.h"
#include "tests/support/FakeFileDialogs.h"
#include "tests/support/FilePermissions.h"
#include "tests/support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

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

QByteArray sampleFile(const char* date, const char* period, int samples, int value = 100) {
    QByteArray bytes = QByteArray("\"Kinemo\"\r\n\"") + date + "\"\r\n" + period + "\r\n";
    for (int i = 0; i < samples; ++i) {
        const QByteArray v = QByteArray::number((value + i) % 256);
        bytes += v + "," + v + "," + v + "\r\n";
    }
    return bytes;
}

class FileCommandsTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void load(const QString& file) {
        dialogs.answers.push_back(file);
        window->menuItem("Readfile")->trigger();
    }
    void save(const QString& file) {
        dialogs.answers.push_back(file);
        window->menuItem("WriteFile")->trigger();
    }

    QTemporaryDir dir;
};

TEST_F(FileCommandsTest, SaveBeforeAnyRunWritesTheZeroRun) {
    save(path("first.KMO"));
    save(path("again.CSV"));
    QByteArray expected = "\"Kinemo\"\r\n\"\"\r\n1.05\r\n";
    for (int i = 0; i <= 2000; ++i) expected += "131,131,131\r\n";
    EXPECT_EQ(readAll(path("first.KMO")), expected);
    EXPECT_EQ(readAll(path("again.CSV")), expected);
    EXPECT_EQ(readAll(path("first.KMO")).count("\r\n"), 2004);
    EXPECT_EQ(dialogs.filters.front(), QStringLiteral("Kinemo File|*.KMO|CSV File|*.CSV|Text File|*.TXT|"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    window->menuItem("WriteFile")->trigger();
    window->menuItem("Readfile")->trigger();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(c().HScroll1->isHidden());
    EXPECT_TRUE(c().tmrContinuousDataCollect->isActive());
}

TEST_F(FileCommandsTest, RoundTripOpensTheViewerOnTheLoadedRun) {
    for (int i = 0; i < kStoreSize; ++i)
        s().samples[i] = {static_cast<std::uint8_t>(i % 256), static_cast<std::uint8_t>(i / 8), 77};
    s().measuredAt = "2026/12/06 9:05:07";
    s().samplePeriod = 1.0007f;
    save(path("run.kmo"));
    load(path("run.kmo"));
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().toStdString();
    for (int i = 0; i <= 2000; ++i) ASSERT_EQ(s().loadedSamples[i], s().samples[i]) << i;
    EXPECT_EQ(s().loadedSamples[2001], (AccTriple{131, 131, 131})) << "entry 2001 is never saved";
    EXPECT_EQ(s().loadedMeasuredAt, "2026/12/06 9:05:07");
    EXPECT_EQ(s().loadedSamplePeriod, 1.0007f);

    EXPECT_FALSE(s().showRecorded);
    EXPECT_FALSE(c().HScroll1->isHidden());
    EXPECT_EQ(c().HScroll1->maximum(), 1498);
    EXPECT_EQ(c().HScroll1->value(), 1498);
    EXPECT_TRUE(c().Picture4->isHidden());
    EXPECT_FALSE(c().tmrContinuousDataCollect->isActive());
    EXPECT_EQ(c().cmdContinuous->text(), QStringLiteral("モニター開始"));
    EXPECT_EQ(c().Label9[0]->text(), QStringLiteral("0"));
    EXPECT_EQ(c().Label9[5]->text(), QStringLiteral("5"));
    EXPECT_EQ(c().Label15->text(), QStringLiteral("99.9 HZ"));
}

TEST_F(FileCommandsTest, AShortFileLeavesNothingOfAnEarlierOneBehind) {
    writeAll(path("long.csv"), sampleFile("first", "1.05", 2001, 10));
    writeAll(path("short.csv"), sampleFile("second", "1.2", 3, 50));
    load(path("long.csv"));
    load(path("short.csv"));
    ASSERT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s().loadedSamples[0], (AccTriple{50, 50, 50}));
    EXPECT_EQ(s().loadedSamples[2], (AccTriple{52, 52, 52}));
    for (int i = 3; i < kStoreSize; ++i) ASSERT_EQ(s().loadedSamples[i], (AccTriple{131, 131, 131})) << i;
    EXPECT_EQ(s().loadedMeasuredAt, "second");
}

TEST_F(FileCommandsTest, EveryFailedLoadLeavesTheLoadedRunAndTheScreenAsTheyWere) {
    writeAll(path("good.csv"), sampleFile("good", "1.2", 2001, 40));
    load(path("good.csv"));
    ASSERT_TRUE(dialogs.messages.empty());
    const SampleStore store = s().loadedSamples;
    const QImage screen = c().Picture1->grab().toImage();
    const int scroll = c().HScroll1->value();

    const QString loadFailed = QStringLiteral("データファイルを読み込めませんでした。\n");
    struct Bad {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    QByteArray tooMany = sampleFile("x", "1", 2003);
    QByteArray outOfRange = sampleFile("x", "1", 12);
    outOfRange.replace("\r\n111,", "\r\n300,");
    const Bad bad[] = {
        {"other.csv", "time,x,y,z\r\n1,2,3,4\r\n", QStringLiteral("開こうとしたファイルはKinemoのデータファイルではないようです。")},
        {"case.csv", sampleFile("x", "1", 5).replace("Kinemo", "KINEMO"),
         QStringLiteral("開こうとしたファイルはKinemoのデータファイルではないようです。")},
        {"empty.csv", "", QString()},
        {"header.csv", "\"Kinemo\"\r\n\"date\"\r\n", loadFailed},
        {"period.csv", sampleFile("x", "0", 5), loadFailed},
        {"nan.csv", sampleFile("x", "abc", 5), loadFailed},
        {"range.csv", outOfRange, loadFailed + QStringLiteral("15行目")},
        {"triple.csv", sampleFile("x", "1", 5) + "1,2\r\n", loadFailed},
        {"toomany.csv", tooMany, loadFailed},
        {"text.csv", sampleFile("x", "1", 5).replace("\r\n103,", "\r\nabc,"), loadFailed},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        writeAll(path(b.name), b.bytes);
        dialogs.messages.clear();
        load(path(b.name));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        if (!b.message.isEmpty()) {
            EXPECT_TRUE(dialogs.messages[0].startsWith(b.message)) << dialogs.messages[0].toStdString();
        }
        EXPECT_EQ(s().loadedSamples, store);
        EXPECT_EQ(s().loadedSamplePeriod, 1.2f);
        EXPECT_EQ(s().loadedMeasuredAt, "good");
        EXPECT_EQ(c().HScroll1->value(), scroll);
        EXPECT_EQ(c().Picture1->grab().toImage(), screen);
    }
    dialogs.messages.clear();
    load(path("missing.csv"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].startsWith(loadFailed));
}

TEST_F(FileCommandsTest, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    const QString target = path("kept.kmo");
    writeAll(target, "old contents");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        test::PermissionsBind bind;
        save(target);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(target), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.kmo"}) << "nothing half-written";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("データを保存できませんでした。\n")));
    EXPECT_GT(dialogs.messages[0].size(), QStringLiteral("データを保存できませんでした。\n").size());
}

TEST_F(FileCommandsTest, ASaveDuringARunWritesTheStoreAsItIsWhenTheDialogCloses) {
    auto& remote = hid.addWiiRemote("/dev/hidraw9");
    remote.alwaysReport = true;
    remote.repeatedReport = test::accReport(5, 6, 7);
    tick();  // finds the remote
    c().Command1->click();
    tick();
    dialogs.whileOpen = [this] {
        tick();
        tick();
    };
    save(path("partial.kmo"));
    const QList<QByteArray> lines = readAll(path("partial.kmo")).split('\n');
    EXPECT_EQ(lines[3], QByteArray("5,6,7\r"));
    EXPECT_EQ(lines[5], QByteArray("5,6,7\r"));
    EXPECT_EQ(lines[6], QByteArray("131,131,131\r"));
    EXPECT_TRUE(s().isRecording) << "saving does not stop the run";
}

}  // namespace
}  // namespace kinemo
