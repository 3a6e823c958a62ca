#include "tests/ui/help/FakeSysInfoPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::FakeSysInfoPlatform;
using test::regString;
using Strings = std::vector<std::string>;

class StartSysInfoTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(platform.openKeys.empty()) << "a registry key was left open"; }
    FakeSysInfoPlatform platform;
};

TEST_F(StartSysInfoTest, PathValueIsStartedWithoutLookingForTheFile) {
    platform.registry[kMsinfoKey]["PATH"] = regString("C:\\Tools\\msinfo32.exe");
    StartSysInfo(platform);
    EXPECT_EQ(platform.started, Strings{"C:\\Tools\\msinfo32.exe"});
    EXPECT_EQ(platform.keysTried, Strings{kMsinfoKey});
    EXPECT_TRUE(platform.filesLookedFor.empty());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartSysInfoTest, LocationIsUsedWhenItHoldsMsinfo32) {
    platform.registry[kMsinfoKey]["OTHER"] = regString("x");  // key present, PATH missing
    platform.registry[kMsinfoLocationKey]["MSINFO"] = regString("C:\\Shared");
    platform.files.insert("C:\\Shared\\MSINFO32.EXE");
    StartSysInfo(platform);
    EXPECT_EQ(platform.keysTried, (Strings{kMsinfoKey, kMsinfoLocationKey}));
    EXPECT_EQ(platform.filesLookedFor, Strings{"C:\\Shared\\MSINFO32.EXE"});
    EXPECT_EQ(platform.started, Strings{"C:\\Shared\\MSINFO32.EXE"});
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartSysInfoTest, EveryDeadEndShowsTheMessageOnce) {
    FakeSysInfoPlatform nothing;
    StartSysInfo(nothing);
    EXPECT_EQ(nothing.keysTried, (Strings{kMsinfoKey, kMsinfoLocationKey}));

    FakeSysInfoPlatform locationWithoutFile;
    locationWithoutFile.registry[kMsinfoLocationKey]["MSINFO"] = regString("C:\\Shared");
    StartSysInfo(locationWithoutFile);

    FakeSysInfoPlatform startFails;
    startFails.registry[kMsinfoKey]["PATH"] = regString("C:\\gone.exe");
    startFails.startSucceeds = false;
    StartSysInfo(startFails);

    for (const auto* p : {&nothing, &locationWithoutFile, &startFails}) {
        EXPECT_EQ(p->messages, Strings{"現時点ではｼｽﾃﾑ情報を使用できません"});
        EXPECT_TRUE(p->openKeys.empty());
    }
    EXPECT_TRUE(nothing.started.empty());
    EXPECT_TRUE(locationWithoutFile.started.empty());
}

TEST_F(StartSysInfoTest, GetKeyValueTextForms) {
    auto& values = platform.registry["K"];
    values["terminated"] = regString("abc");
    values["unterminated"] = regString("abc", false);
    values["dword"] = {kRegDword, {0x0A, 0x02, 0x01, 0x00}};
    values["expandable"] = {2, {'%', 'X', '%', 0}};
    values["huge"] = regString(std::string(kRegistryValueBuffer, 'x'));

    std::string value;
    EXPECT_TRUE(GetKeyValue(platform, kHkeyLocalMachine, "K", "terminated", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(GetKeyValue(platform, kHkeyLocalMachine, "K", "unterminated", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(GetKeyValue(platform, kHkeyLocalMachine, "K", "dword", value));
    EXPECT_EQ(value, "&h0001020A");
    value = "kept";
    EXPECT_TRUE(GetKeyValue(platform, kHkeyLocalMachine, "K", "expandable", value));
    EXPECT_EQ(value, "kept");

    for (const char* missing : {"absent", "huge"}) {
        value = "stale";
        EXPECT_FALSE(GetKeyValue(platform, kHkeyLocalMachine, "K", missing, value)) << missing;
        EXPECT_EQ(value, "") << missing;
    }
    value = "stale";
    EXPECT_FALSE(GetKeyValue(platform, kHkeyLocalMachine, "No\\Such\\Key", "PATH", value));
    EXPECT_EQ(value, "");
}

// On Linux there is no such tool: the user gets the real message box, captioned with
// the program's title and offering only OK.
TEST(LinuxSysInfo, TellsTheUserInAMessageBox) {
    QString caption, text;
    int buttons = -1;
    int polls = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        } else if (++polls > 200 && QApplication::activeModalWidget()) {
            QApplication::activeModalWidget()->close();  // not a message box: end the test, don't hang
        }
    });
    poll.start(10);
    LinuxSysInfoPlatform platform;
    StartSysInfo(platform);
    EXPECT_EQ(caption, QStringLiteral("Kinemo"));
    EXPECT_EQ(text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
    EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace kinemo
